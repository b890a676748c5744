#include "sound/Music.h"

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace bw::sound {

namespace fs = std::filesystem;

namespace {

uint32_t Be32(const std::vector<uint8_t>& b, std::size_t at) {
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 |
           uint32_t(b[at + 3]);
}

bool ReadAll(const fs::path& path, std::vector<uint8_t>& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// Runs a program (no shell) with its output going to `log`; its exit status, or -1.
int RunProgram(const std::vector<std::string>& args, const fs::path& log) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            dup2(fd, 1);
            dup2(fd, 2);
            close(fd);
        }
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    if (waitpid(pid, &status, 0) < 0) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A temporary folder removed with its contents.
struct Scratch {
    fs::path Path;
    Scratch() {
        std::string pattern = (fs::temp_directory_path() / "datapack-music-XXXXXX").string();
        if (mkdtemp(pattern.data())) Path = pattern;
    }
    ~Scratch() {
        std::error_code ec;
        if (!Path.empty()) fs::remove_all(Path, ec);
    }
};

} // namespace

bool MidiLength(const std::vector<uint8_t>& b, double& seconds, std::string& error) {
    if (b.size() < 14 || std::memcmp(b.data(), "MThd", 4) != 0) {
        error = "not a MIDI file";
        return false;
    }
    const uint32_t headerLength = Be32(b, 4);
    const int tracks = b[10] << 8 | b[11];
    const int division = b[12] << 8 | b[13];
    if (division <= 0 || (division & 0x8000)) {
        error = "MIDI files timed in SMPTE frames are not supported";
        return false;
    }
    std::map<uint64_t, uint32_t> tempos; // tick -> microseconds per quarter note
    uint64_t lastTick = 0;
    std::size_t at = 8 + headerLength;
    for (int t = 0; t < tracks; ++t) {
        if (at + 8 > b.size() || std::memcmp(&b[at], "MTrk", 4) != 0) {
            error = "MIDI track " + std::to_string(t + 1) + " is missing or damaged";
            return false;
        }
        const std::size_t end = at + 8 + Be32(b, at + 4);
        if (end > b.size()) {
            error = "MIDI track " + std::to_string(t + 1) + " is cut short";
            return false;
        }
        std::size_t p = at + 8;
        uint64_t tick = 0;
        uint8_t running = 0;
        auto varlen = [&](uint64_t& v) {
            v = 0;
            for (int k = 0; k < 4 && p < end; ++k) {
                const uint8_t c = b[p++];
                v = v << 7 | (c & 0x7F);
                if (!(c & 0x80)) return true;
            }
            return false;
        };
        while (p < end) {
            uint64_t delta = 0;
            if (!varlen(delta)) break;
            tick += delta;
            if (p >= end) break;
            uint8_t status = b[p];
            if (status & 0x80) {
                ++p;
            } else {
                status = running;
            }
            if (status == 0xFF) {
                if (p >= end) break;
                const uint8_t type = b[p++];
                uint64_t len = 0;
                if (!varlen(len) || p + len > end) break;
                if (type == 0x51 && len == 3)
                    tempos[tick] = uint32_t(b[p]) << 16 | uint32_t(b[p + 1]) << 8 | b[p + 2];
                p += len;
                if (type == 0x2F) break;
            } else if (status == 0xF0 || status == 0xF7) {
                uint64_t len = 0;
                if (!varlen(len)) break;
                p += len;
            } else if (status >= 0x80) {
                running = status;
                const int hi = status & 0xF0;
                p += (hi == 0xC0 || hi == 0xD0) ? 1 : 2;
            } else {
                error = "MIDI track " + std::to_string(t + 1) + " has an event without status";
                return false;
            }
        }
        lastTick = std::max(lastTick, tick);
        at = end;
    }
    // abc2midi ends its tracks a few ticks after the last bar line; the piece's length is the
    // end rounded to the nearest eighth note.
    const uint64_t eighth = static_cast<uint64_t>(division) / 2;
    if (eighth > 0) lastTick = (lastTick + eighth / 2) / eighth * eighth;
    seconds = 0;
    uint64_t tick = 0;
    uint32_t tempo = 500000;
    for (const auto& [when, value] : tempos) {
        if (when >= lastTick) break;
        seconds += double(when - tick) * tempo / 1e6 / division;
        tick = when;
        tempo = value;
    }
    seconds += double(lastTick - tick) * tempo / 1e6 / division;
    return true;
}

bool ReadWav(const std::vector<uint8_t>& b, SampleBuffer& samples, int& channels, int& sampleRate,
             std::string& error) {
    auto le32 = [&](std::size_t i) {
        return uint32_t(b[i]) | uint32_t(b[i + 1]) << 8 | uint32_t(b[i + 2]) << 16 |
               uint32_t(b[i + 3]) << 24;
    };
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 ||
        std::memcmp(b.data() + 8, "WAVE", 4) != 0) {
        error = "not a WAV file";
        return false;
    }
    channels = 0;
    int bits = 0;
    for (std::size_t at = 12; at + 8 <= b.size();) {
        const uint32_t size = le32(at + 4);
        const std::size_t body = at + 8;
        const std::size_t bodyEnd = std::min<std::size_t>(b.size(), body + size);
        if (std::memcmp(&b[at], "fmt ", 4) == 0 && size >= 16) {
            channels = b[body + 2] | b[body + 3] << 8;
            sampleRate = static_cast<int>(le32(body + 4));
            bits = b[body + 14] | b[body + 15] << 8;
        } else if (std::memcmp(&b[at], "data", 4) == 0) {
            if (bits != 16 || channels < 1) {
                error = "only 16-bit PCM WAV is read";
                return false;
            }
            samples.clear();
            for (std::size_t i = body; i + 1 < bodyEnd; i += 2)
                samples.push_back(static_cast<float>(static_cast<int16_t>(b[i] | b[i + 1] << 8)) /
                                  32768.0f);
            return true;
        }
        at = body + size + (size & 1);
    }
    error = "the WAV file has no sound data";
    return false;
}

bool RenderMusic(const MusicSpec& spec, SampleBuffer& stereo, std::string& error) {
    const std::string name = spec.Source.string();
    std::error_code ec;
    if (!fs::is_regular_file(spec.SoundFont, ec)) {
        error = "the soundfont " + spec.SoundFont +
                " is missing (install timgm6mb-soundfont: scripts/install-deps)";
        return false;
    }
    Scratch scratch;
    if (scratch.Path.empty()) {
        error = "cannot create a temporary folder";
        return false;
    }
    fs::path midi = spec.Source;
    std::string ext = spec.Source.extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == ".abc") {
        midi = scratch.Path / "music.mid";
        const fs::path log = scratch.Path / "abc2midi.log";
        const int rc = RunProgram({"abc2midi", name, "-o", midi.string()}, log);
        const std::string text = ReadText(log);
        if (rc == 127) {
            error = "abc2midi is not installed (install abcmidi: scripts/install-deps)";
            return false;
        }
        // abc2midi reports mistakes in the notes ("Error in line-char 12-5: ...") but may
        // still exit with 0; a mistake in the note data fails the build.
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            if (line.find("Error") != std::string::npos) {
                error = name + ": abc2midi: " + line;
                return false;
            }
        }
        if (rc != 0 || !fs::is_regular_file(midi, ec)) {
            error = name + ": abc2midi failed: " + text;
            return false;
        }
    } else if (ext != ".mid" && ext != ".midi") {
        error = name + ": music sources are .abc or .mid files";
        return false;
    }
    std::vector<uint8_t> bytes;
    if (!ReadAll(midi, bytes)) {
        error = "cannot read " + midi.string();
        return false;
    }
    double seconds = 0;
    if (!MidiLength(bytes, seconds, error)) {
        error = name + ": " + error;
        return false;
    }
    const fs::path wav = scratch.Path / "music.wav";
    const fs::path log = scratch.Path / "fluidsynth.log";
    const int rc =
        RunProgram({"fluidsynth", "-ni", "-q", "-F", wav.string(), "-T", "wav", "-O", "s16", "-r",
                    std::to_string(SampleRate), "-g", "0.5", spec.SoundFont, midi.string()},
                   log);
    if (rc == 127) {
        error = "fluidsynth is not installed (scripts/install-deps)";
        return false;
    }
    if (rc != 0 || !ReadAll(wav, bytes)) {
        error = name + ": fluidsynth failed: " + ReadText(log);
        return false;
    }
    SampleBuffer samples;
    int channels = 0, rate = 0;
    if (!ReadWav(bytes, samples, channels, rate, error)) {
        error = name + ": fluidsynth's output: " + error;
        return false;
    }
    if (channels != 2 || rate != SampleRate) {
        error = name + ": fluidsynth gave " + std::to_string(channels) + " channel(s) at " +
                std::to_string(rate) + " Hz";
        return false;
    }
    const int loopFrames = static_cast<int>(seconds * SampleRate + 0.5);
    if (loopFrames < SampleRate) {
        error = name + ": the piece is shorter than a second";
        return false;
    }
    // A piece that ends in rests renders shorter than its bars.
    if (samples.size() < static_cast<std::size_t>(loopFrames) * 2)
        samples.resize(static_cast<std::size_t>(loopFrames) * 2, 0.0f);
    stereo = AddTail(samples, 2, loopFrames);
    // Level to the loudness target, letting the peaks go up to 6 dB over the ceiling, then
    // limit those few peaks: a track with sharp attacks (xylophone, drums) is not left
    // quieter than the rest.
    Normalise(stereo, 2, spec.PeakDb + 6.0, spec.LoudnessDb, true);
    LimitLoop(stereo, 2, spec.PeakDb);
    return true;
}

} // namespace bw::sound
