// A sound device that only keeps books: every sound is a fixed number of sample frames at
// 44100 Hz, and time passes only through Advance.
#pragma once

#include "audio/SoundDevice.h"

#include <vector>

namespace bw::test {

class FakeSoundDevice final : public ISoundDevice {
public:
    static constexpr int Rate = 44100;

    struct Copy {
        bool Playing = false;
        bool Loop = false;
        float Gain = 1.0f;
        float Pitch = 1.0f;
        double Offset = 0; // sample frames
    };
    struct Sound {
        int Frames = Rate; // one second
        std::vector<Copy> Copies;
        int Plays = 0;   // successful starts
        int Dropped = 0; // starts refused: every copy busy
    };

    std::vector<Sound> Sounds;
    bool ShutDown = false;

    int LoadFromMemory(const std::vector<uint8_t>& bytes, int copies) override {
        if (bytes.empty() || bytes[0] != 'O') return -1; // anything else "does not decode"
        Sound s;
        s.Copies.resize(static_cast<size_t>(copies));
        if (bytes.size() > 1) s.Frames = Rate * bytes[1]; // byte 1: length in seconds
        Sounds.push_back(s);
        return static_cast<int>(Sounds.size()) - 1;
    }

    int Play(int sound, const PlayParams& p) override {
        Sound& s = Sounds.at(static_cast<size_t>(sound));
        for (size_t i = 0; i < s.Copies.size(); ++i) {
            Copy& c = s.Copies[i];
            if (c.Playing) continue;
            c = Copy{true, p.Loop, p.Gain, p.Pitch, static_cast<double>(p.Offset)};
            ++s.Plays;
            return static_cast<int>(i);
        }
        ++s.Dropped;
        return -1;
    }

    template <class F> void ForCopies(int sound, int copy, F f) {
        Sound& s = Sounds.at(static_cast<size_t>(sound));
        if (copy == AllCopies) {
            for (Copy& c : s.Copies) f(c);
        } else if (copy == LastCopy) {
            f(s.Copies.back());
        } else if (copy >= 0 && copy < static_cast<int>(s.Copies.size())) {
            f(s.Copies[static_cast<size_t>(copy)]);
        }
    }

    void Stop(int sound, int copy) override {
        ForCopies(sound, copy, [](Copy& c) {
            c.Playing = false;
            c.Offset = 0;
        });
    }
    void SetGain(int sound, int copy, float gain) override {
        ForCopies(sound, copy, [&](Copy& c) {
            if (c.Playing) c.Gain = gain;
        });
    }
    void SetSpeed(int sound, int copy, float factor) override {
        ForCopies(sound, copy, [&](Copy& c) {
            if (c.Playing) c.Pitch = factor;
        });
    }
    void SetOffset(int sound, int copy, int offset) override {
        ForCopies(sound, copy, [&](Copy& c) {
            if (c.Playing) c.Offset = offset;
        });
    }
    int Query(int sound, int copy, SoundQuery what) override {
        int result = 0;
        ForCopies(sound, copy, [&](Copy& c) {
            if (!c.Playing) return;
            switch (what) {
            case SoundQuery::Playing:
                result = 1;
                break;
            case SoundQuery::TimeMs:
                result = static_cast<int>(c.Offset * 1000 / Rate);
                break;
            case SoundQuery::OffsetSamples:
                result = static_cast<int>(c.Offset);
                break;
            }
        });
        return result;
    }
    void Shutdown() override { ShutDown = true; }

    // Lets `frames` sample frames of time pass for every playing copy.
    void Advance(int frames) {
        for (Sound& s : Sounds)
            for (Copy& c : s.Copies) {
                if (!c.Playing) continue;
                c.Offset += frames * static_cast<double>(c.Pitch);
                if (c.Offset >= s.Frames) {
                    if (c.Loop) {
                        while (c.Offset >= s.Frames) c.Offset -= s.Frames;
                    } else {
                        c.Playing = false;
                        c.Offset = 0;
                    }
                }
            }
    }

    Copy& CopyOf(int sound, int copy = 0) {
        return Sounds.at(static_cast<size_t>(sound)).Copies.at(static_cast<size_t>(copy));
    }
    int PlayingCopies(int sound) {
        int n = 0;
        for (const Copy& c : Sounds.at(static_cast<size_t>(sound)).Copies) n += c.Playing ? 1 : 0;
        return n;
    }
};

} // namespace bw::test
