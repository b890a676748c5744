#include "sound/Synth.h"

#include <algorithm>
#include <vorbis/vorbisenc.h>

namespace bw::sound {

bool EncodeOgg(const SampleBuffer& samples, int channels, int sampleRate, float quality,
               std::vector<uint8_t>& out, std::string& error) {
    out.clear();
    if (channels != 1 && channels != 2) {
        error = "only mono and stereo sounds can be encoded";
        return false;
    }
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, sampleRate, quality) != 0) {
        vorbis_info_clear(&info);
        error = "the Vorbis encoder refused " + std::to_string(channels) + " channel(s) at " +
                std::to_string(sampleRate) + " Hz";
        return false;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "ENCODER", "datapack");
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 0x42574B31); // fixed: the same sound gives the same bytes
    ogg_page page;
    ogg_packet packet;

    auto write = [&](const ogg_page& p) {
        out.insert(out.end(), p.header, p.header + p.header_len);
        out.insert(out.end(), p.body, p.body + p.body_len);
    };

    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    while (ogg_stream_flush(&stream, &page) != 0) write(page);

    const long frames = static_cast<long>(samples.size()) / channels;
    const long chunk = 4096;
    long done = 0;
    bool eos = false;
    while (!eos) {
        const long n = std::min(chunk, frames - done);
        if (n > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(n));
            for (long i = 0; i < n; ++i)
                for (int c = 0; c < channels; ++c)
                    buffer[c][i] = std::clamp(
                        samples[static_cast<std::size_t>((done + i) * channels + c)], -1.0f, 1.0f);
            vorbis_analysis_wrote(&dsp, static_cast<int>(n));
            done += n;
        } else {
            vorbis_analysis_wrote(&dsp, 0); // end of stream
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (!eos && ogg_stream_pageout(&stream, &page) != 0) {
                    write(page);
                    if (ogg_page_eos(&page)) eos = true;
                }
            }
        }
        if (n <= 0 && !eos) {
            while (ogg_stream_flush(&stream, &page) != 0) write(page);
            eos = true;
        }
    }

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return true;
}

} // namespace bw::sound
