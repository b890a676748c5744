#include "sound/Synth.h"

#include <algorithm>
#include <cmath>

namespace bw::sound {

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double TwoPi = 2 * Pi;

double DbToGain(double db) {
    return std::pow(10.0, db / 20.0);
}

// Small, fast, reproducible random numbers (xorshift32).
struct Rng {
    uint32_t State;
    explicit Rng(uint32_t seed) : State(seed ? seed : 0x9E3779B9u) {}
    uint32_t Next() {
        State ^= State << 13;
        State ^= State >> 17;
        State ^= State << 5;
        return State;
    }
    // -1 .. 1
    double Signed() { return Next() / 2147483648.0 - 1.0; }
    // 0 .. 1
    double Unit() { return Next() / 4294967296.0; }
};

// Removes the step of a naive saw or square at a wrap (phase t in 0..1, increment dt).
double PolyBlep(double t, double dt) {
    if (dt <= 0) return 0;
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0;
}

} // namespace

double RecipeCurve::At(double t) const {
    if (Values.empty()) return 0;
    double start = 0;
    for (std::size_t i = 0; i + 1 < Values.size() && i < Times.size(); ++i) {
        const double span = Times[i];
        if (t < start + span && span > 0) {
            const double u = (t - start) / span;
            const double a = Values[i], b = Values[i + 1];
            if (Exponential && a > 0 && b > 0) return a * std::pow(b / a, u);
            return a + (b - a) * u;
        }
        start += span;
    }
    const std::size_t last = std::min(Values.size() - 1, Times.size());
    return Values[last];
}

void RecipeCurve::Scale(double factor) {
    for (double& v : Values) v *= factor;
}

SampleBuffer Oscillate(const Oscillator& osc, int frames, uint32_t seed) {
    SampleBuffer out(static_cast<std::size_t>(std::max(0, frames)), 0.0f);
    Rng random(seed);
    double phase = 0, modPhase = 0;
    double b0 = 0, b1 = 0, b2 = 0, b3 = 0, b4 = 0, b5 = 0, b6 = 0; // pink noise state
    double brown = 0;
    double triangle = -1.0; // the integral of the square starts at its lowest point
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / SampleRate;
        double f = osc.Frequency.At(t);
        if (osc.VibratoCents != 0)
            f *= std::pow(2.0, osc.VibratoCents / 1200.0 * std::sin(TwoPi * osc.VibratoRate * t));
        const double dt = std::clamp(f / SampleRate, 0.0, 0.5);
        double v = 0;
        switch (osc.Wave) {
        case Waveform::Sine: {
            double mod = 0;
            if (osc.FmIndex != 0) {
                const double depth =
                    osc.FmIndex * (osc.FmDecay > 0 ? std::exp(-t / osc.FmDecay) : 1.0);
                mod = depth * std::sin(TwoPi * modPhase);
                modPhase += dt * osc.FmRatio;
                modPhase -= std::floor(modPhase);
            }
            v = std::sin(TwoPi * phase + mod);
            break;
        }
        case Waveform::Saw:
            v = 2.0 * phase - 1.0 - PolyBlep(phase, dt);
            break;
        case Waveform::Square:
        case Waveform::Triangle: {
            const double duty =
                osc.Wave == Waveform::Square ? std::clamp(osc.Duty, 0.05, 0.95) : 0.5;
            double p2 = phase + (1.0 - duty);
            p2 -= std::floor(p2);
            v = (phase < duty ? 1.0 : -1.0) + PolyBlep(phase, dt) - PolyBlep(p2, dt);
            if (osc.Wave == Waveform::Triangle) {
                // A leaky integral of the band-limited square.
                triangle = dt * v * 4.0 + (1.0 - 0.001) * triangle;
                v = triangle;
            }
            break;
        }
        case Waveform::White:
            v = random.Signed();
            break;
        case Waveform::Pink: {
            // Paul Kellet's filter: -3 dB per octave from white noise.
            const double w = random.Signed();
            b0 = 0.99886 * b0 + w * 0.0555179;
            b1 = 0.99332 * b1 + w * 0.0750759;
            b2 = 0.96900 * b2 + w * 0.1538520;
            b3 = 0.86650 * b3 + w * 0.3104856;
            b4 = 0.55000 * b4 + w * 0.5329522;
            b5 = -0.7616 * b5 - w * 0.0168980;
            v = (b0 + b1 + b2 + b3 + b4 + b5 + b6 + w * 0.5362) * 0.2;
            b6 = w * 0.115926;
            break;
        }
        case Waveform::Brown:
            brown = (brown + 0.02 * random.Signed()) * 0.998;
            v = brown * 1.7;
            break;
        }
        out[static_cast<std::size_t>(i)] = static_cast<float>(v);
        phase += dt;
        phase -= std::floor(phase);
    }
    return out;
}

void ApplyAdsr(SampleBuffer& mono, const Envelope& env) {
    const int n = static_cast<int>(mono.size());
    if (n == 0) return;
    const double length = static_cast<double>(n - 1) / SampleRate;
    double attack = std::max(0.0, env.Attack), release = std::max(0.0, env.Release);
    if (attack + release > length && attack + release > 0) {
        const double k = length / (attack + release);
        attack *= k;
        release *= k;
    }
    const double decay = std::max(0.0, std::min(env.Decay, length - attack - release));
    const double sustain = std::clamp(env.Sustain, 0.0, 1.0);
    const double releaseStart = length - release;
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / SampleRate;
        double g;
        if (t < attack) {
            g = t / attack;
        } else if (t < attack + decay) {
            g = 1.0 - (1.0 - sustain) * (t - attack) / decay;
        } else {
            g = sustain;
        }
        if (t > releaseStart) {
            const double level = release > 0 ? (length - t) / release : 0.0;
            g = std::min(g, g * level);
        }
        if (i == 0 || i == n - 1) g = 0;
        mono[static_cast<std::size_t>(i)] *= static_cast<float>(std::max(0.0, g));
    }
}

void ApplyPerc(SampleBuffer& mono, const Percussion& env) {
    const int n = static_cast<int>(mono.size());
    if (n == 0) return;
    const double length = static_cast<double>(n - 1) / SampleRate;
    const double attack = std::min(std::max(0.0, env.Attack), length / 2);
    const double tail = std::min(0.005, length / 4);
    const double decay = std::max(env.Decay, 1e-4);
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / SampleRate;
        double g = t < attack ? t / attack : std::exp(-(t - attack) / decay);
        if (t > length - tail && tail > 0) g *= (length - t) / tail;
        if (i == 0 || i == n - 1) g = 0;
        mono[static_cast<std::size_t>(i)] *= static_cast<float>(std::max(0.0, g));
    }
}

void ApplyTremolo(SampleBuffer& mono, double rate, double depth) {
    if (rate <= 0 || depth <= 0) return;
    for (std::size_t i = 0; i < mono.size(); ++i) {
        const double t = static_cast<double>(i) / SampleRate;
        mono[i] *= static_cast<float>(1.0 - depth * 0.5 * (1.0 - std::cos(TwoPi * rate * t)));
    }
}

void ApplyFilter(SampleBuffer& mono, const Filter& filter) {
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double onePole = 0, lowState = 0;
    const double q = std::max(0.1, filter.Q);
    for (std::size_t i = 0; i < mono.size(); ++i) {
        if (i % 16 == 0) {
            const double t = static_cast<double>(i) / SampleRate;
            double fc = filter.Cutoff.At(t);
            if (filter.LfoDepth != 0 && filter.LfoRate > 0)
                fc *= std::pow(2.0, filter.LfoDepth * std::sin(TwoPi * filter.LfoRate * t));
            fc = std::clamp(fc, 10.0, SampleRate * 0.45);
            const double w = TwoPi * fc / SampleRate;
            onePole = 1.0 - std::exp(-w);
            const double cw = std::cos(w), alpha = std::sin(w) / (2 * q);
            const double a0 = 1 + alpha;
            switch (filter.Kind) {
            case FilterKind::LowPass:
                b0 = (1 - cw) / 2 / a0;
                b1 = (1 - cw) / a0;
                b2 = b0;
                break;
            case FilterKind::HighPass:
                b0 = (1 + cw) / 2 / a0;
                b1 = -(1 + cw) / a0;
                b2 = b0;
                break;
            case FilterKind::BandPass: // 0 dB peak gain
                b0 = alpha / a0;
                b1 = 0;
                b2 = -alpha / a0;
                break;
            default:
                break;
            }
            a1 = -2 * cw / a0;
            a2 = (1 - alpha) / a0;
        }
        const double x = mono[i];
        double y;
        switch (filter.Kind) {
        case FilterKind::LowPass1:
            lowState += onePole * (x - lowState);
            y = lowState;
            break;
        case FilterKind::HighPass1:
            lowState += onePole * (x - lowState);
            y = x - lowState;
            break;
        default:
            y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
            x2 = x1;
            x1 = x;
            y2 = y1;
            y1 = y;
            break;
        }
        mono[i] = static_cast<float>(y);
    }
}

void ApplyEcho(SampleBuffer& samples, int channels, double time, double feedback, double mix) {
    const int delay = static_cast<int>(std::lround(time * SampleRate)) * channels;
    if (delay <= 0 || mix <= 0) return;
    SampleBuffer wet(samples.size(), 0.0f);
    for (std::size_t i = static_cast<std::size_t>(delay); i < samples.size(); ++i)
        wet[i] = static_cast<float>(samples[i - static_cast<std::size_t>(delay)] +
                                    feedback * wet[i - static_cast<std::size_t>(delay)]);
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] += static_cast<float>(mix * wet[i]);
}

double PeakOf(const SampleBuffer& samples) {
    double peak = 0;
    for (float s : samples) peak = std::max(peak, static_cast<double>(std::fabs(s)));
    return peak;
}

double LoudnessOf(const SampleBuffer& samples, int channels) {
    channels = std::max(1, channels);
    const std::size_t frames = samples.size() / static_cast<std::size_t>(channels);
    if (frames == 0) return 0;
    const std::size_t window = std::min<std::size_t>(frames, SampleRate * 4 / 10);
    const std::size_t hop = SampleRate / 20;
    // Running sums of squares per frame.
    std::vector<double> sums(frames + 1, 0.0);
    for (std::size_t f = 0; f < frames; ++f) {
        double s = 0;
        for (int c = 0; c < channels; ++c) {
            const double v =
                samples[f * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)];
            s += v * v;
        }
        sums[f + 1] = sums[f] + s / channels;
    }
    double loudest = 0;
    for (std::size_t start = 0; start + window <= frames; start += hop)
        loudest = std::max(loudest, sums[start + window] - sums[start]);
    loudest = std::max(loudest, sums[frames] - sums[frames - window]);
    return std::sqrt(loudest / static_cast<double>(window));
}

double RmsOf(const SampleBuffer& samples) {
    double sum = 0;
    for (float s : samples) sum += static_cast<double>(s) * s;
    return samples.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

double Normalise(SampleBuffer& samples, int channels, double peakDb, double loudnessDb, bool loop) {
    const double peak = PeakOf(samples);
    const double loudness = loop ? RmsOf(samples) : LoudnessOf(samples, channels);
    if (peak < 1e-9 || loudness < 1e-12) return 1.0;
    const double gain = std::min(DbToGain(loudnessDb) / loudness, DbToGain(peakDb) / peak);
    for (float& s : samples) s = static_cast<float>(s * gain);
    return gain;
}

void LimitLoop(SampleBuffer& samples, int channels, double ceilingDb, double attack,
               double release) {
    const std::size_t ch = static_cast<std::size_t>(std::max(1, channels));
    const std::size_t n = samples.size() / ch;
    if (n == 0) return;
    const double ceiling = DbToGain(ceilingDb);
    std::vector<double> gain(n, 1.0);
    for (std::size_t f = 0; f < n; ++f) {
        double peak = 0;
        for (std::size_t c = 0; c < ch; ++c)
            peak = std::max(peak, static_cast<double>(std::fabs(samples[f * ch + c])));
        if (peak > ceiling) gain[f] = ceiling / peak;
    }
    // Backwards: the gain is already down when a peak arrives, ramping over `attack`.
    const double rampStep = 1.0 / std::max(1.0, attack * SampleRate);
    for (std::size_t k = 2 * n; k-- > 0;) {
        const std::size_t f = k % n, next = (k + 1) % n;
        gain[f] = std::min(gain[f], gain[next] + rampStep);
    }
    // Forwards: after a peak the gain climbs back smoothly.
    const double climb = 1.0 - std::exp(-1.0 / std::max(1.0, release * SampleRate));
    std::vector<double> held = gain;
    for (std::size_t k = 1; k < 2 * n; ++k) {
        const std::size_t f = k % n, prev = (k - 1) % n;
        held[f] = std::min(gain[f], held[prev] + (1.0 - held[prev]) * climb);
    }
    for (std::size_t f = 0; f < n; ++f)
        for (std::size_t c = 0; c < ch; ++c)
            samples[f * ch + c] = static_cast<float>(samples[f * ch + c] * held[f]);
}

void FadeEdges(SampleBuffer& samples, int channels, double in, double out) {
    channels = std::max(1, channels);
    const long frames = static_cast<long>(samples.size()) / channels;
    const long fin = std::min(frames, std::lround(in * SampleRate));
    const long fout = std::min(frames, std::lround(out * SampleRate));
    for (long f = 0; f < frames; ++f) {
        double g = 1.0;
        if (f < fin) g = static_cast<double>(f) / fin;
        if (f >= frames - fout) g = std::min(g, static_cast<double>(frames - 1 - f) / fout);
        if (g >= 1.0) continue;
        for (int c = 0; c < channels; ++c)
            samples[static_cast<std::size_t>(f * channels + c)] *= static_cast<float>(g);
    }
}

SampleBuffer CrossfadeLoop(const SampleBuffer& rendered, int channels, int loopFrames,
                           int crossfadeFrames) {
    const std::size_t ch = static_cast<std::size_t>(std::max(1, channels));
    const std::size_t body = static_cast<std::size_t>(std::max(0, loopFrames));
    const std::size_t frames = rendered.size() / ch;
    SampleBuffer out(body * ch, 0.0f);
    std::copy_n(rendered.begin(), static_cast<std::ptrdiff_t>(std::min(body, frames) * ch),
                out.begin());
    const std::size_t fade = std::min({static_cast<std::size_t>(std::max(0, crossfadeFrames)), body,
                                       frames > body ? frames - body : std::size_t{0}});
    for (std::size_t f = 0; f < fade; ++f) {
        // The tail fades out as the head fades in; at f = 0 only the sound that followed the
        // body is heard, so the end of the loop runs straight on into its start.
        const double u = (static_cast<double>(f) + 0.5) / static_cast<double>(fade);
        const double head = std::sin(u * Pi / 2), tail = std::cos(u * Pi / 2);
        for (std::size_t c = 0; c < ch; ++c) {
            const std::size_t i = f * ch + c;
            out[i] = static_cast<float>(head * rendered[i] + tail * rendered[body * ch + i]);
        }
    }
    return out;
}

SampleBuffer AddTail(const SampleBuffer& rendered, int channels, int loopFrames) {
    const std::size_t ch = static_cast<std::size_t>(std::max(1, channels));
    const std::size_t body =
        std::min(static_cast<std::size_t>(std::max(0, loopFrames)) * ch, rendered.size());
    SampleBuffer out(rendered.begin(), rendered.begin() + static_cast<std::ptrdiff_t>(body));
    if (body == 0) return out;
    for (std::size_t i = body; i < rendered.size(); ++i) out[(i - body) % body] += rendered[i];
    return out;
}

namespace {

void RenderInstance(const SynthLayer& layer, double pitch, double gainDb, double pan,
                    int startFrame, int frames, uint32_t seed, int channels, SampleBuffer& mix) {
    if (frames <= 0) return;
    Oscillator osc = layer.Osc;
    osc.Frequency.Scale(pitch);
    SampleBuffer voice = Oscillate(osc, frames, seed);
    for (const Filter& f : layer.Filters) ApplyFilter(voice, f);
    if (layer.UsePerc)
        ApplyPerc(voice, layer.Perc);
    else
        ApplyAdsr(voice, layer.Adsr);
    ApplyTremolo(voice, layer.TremoloRate, layer.TremoloDepth);
    const double gain = DbToGain(layer.GainDb + gainDb);
    const std::size_t total = mix.size() / static_cast<std::size_t>(channels);
    const double p = std::clamp(pan, -1.0, 1.0);
    const double left = channels == 2 ? std::cos((p + 1) * Pi / 4) * std::sqrt(2.0) : 1.0;
    const double right = channels == 2 ? std::sin((p + 1) * Pi / 4) * std::sqrt(2.0) : 1.0;
    for (int i = 0; i < frames; ++i) {
        const std::size_t f = static_cast<std::size_t>(startFrame + i);
        if (startFrame + i < 0 || f >= total) continue;
        const double v = voice[static_cast<std::size_t>(i)] * gain;
        if (channels == 2) {
            mix[f * 2] += static_cast<float>(v * left);
            mix[f * 2 + 1] += static_cast<float>(v * right);
        } else {
            mix[f] += static_cast<float>(v);
        }
    }
}

} // namespace

SampleBuffer Render(const SoundRecipe& recipe) {
    const int channels = recipe.Stereo ? 2 : 1;
    const std::size_t ch = static_cast<std::size_t>(channels);
    const bool loop = recipe.Loop > 0;
    const int bodyFrames = std::max(1, static_cast<int>(std::lround(recipe.Length * SampleRate)));
    const int fadeFrames =
        loop ? std::min(bodyFrames, static_cast<int>(std::lround(recipe.Loop * SampleRate))) : 0;
    const double transpose = std::pow(2.0, recipe.Transpose / 12.0);
    auto isEvent = [](const SynthLayer& l) { return l.Scatter > 0 || l.Repeat > 1; };
    // The time a layer runs when it gives no length: to the end of the sound, and for a loop
    // on through the part that is crossfaded into the head.
    const double soundSpan = recipe.Length + (loop ? recipe.Loop : 0.0);
    auto layerLength = [&](const SynthLayer& l) {
        return l.Length > 0 ? l.Length : std::max(0.0, soundSpan - l.At);
    };

    // Continuous layers ("beds") go into `beds`. In a loop, events (scattered or repeated
    // layers) go into `events`, which is long enough for every event to finish; it is folded
    // onto the loop exactly (what runs past the end continues at the start), so rhythms stay
    // even and no event is cut.
    SampleBuffer beds(static_cast<std::size_t>(bodyFrames + fadeFrames) * ch, 0.0f);
    std::size_t eventFrames = static_cast<std::size_t>(bodyFrames);
    if (loop) {
        for (const SynthLayer& l : recipe.Layers) {
            if (!isEvent(l)) continue;
            const double end = l.At + (l.Scatter > 0 ? recipe.Length : 0.0) +
                               std::max(0, l.Repeat - 1) * l.Every + layerLength(l);
            eventFrames = std::max(eventFrames, static_cast<std::size_t>(end * SampleRate) + 1);
        }
    }
    SampleBuffer events(loop ? eventFrames * ch : 0, 0.0f);

    uint32_t layerSeed = 0;
    for (const SynthLayer& layer : recipe.Layers) {
        ++layerSeed;
        SampleBuffer& mix = loop && isEvent(layer) ? events : beds;
        const double length = layerLength(layer);
        const int frames = static_cast<int>(std::lround(length * SampleRate));
        Rng jitterRandom(layer.Seed * 104729u + layerSeed);
        auto jitter = [&]() {
            return layer.RepeatJitter > 0
                       ? std::pow(2.0, jitterRandom.Signed() * layer.RepeatJitter / 12.0)
                       : 1.0;
        };
        if (layer.Scatter > 0) {
            Rng random(layer.Seed * 7919u + layerSeed);
            const double span =
                loop ? recipe.Length : std::max(0.0, recipe.Length - layer.At - length);
            for (int k = 0; k < layer.Scatter; ++k) {
                const double at = layer.At + random.Unit() * span;
                const double pitch = std::pow(2.0, random.Signed() * layer.ScatterPitch / 12.0);
                const double gain = -random.Unit() * layer.ScatterGainDb;
                const double pan = layer.Pan + random.Signed() * layer.ScatterPan;
                // Each scattered event may itself be a run of repeats (a bird's phrase).
                const uint32_t seed = random.Next();
                for (int j = 0; j < std::max(1, layer.Repeat); ++j) {
                    const double when = at + j * layer.Every;
                    RenderInstance(layer,
                                   pitch * std::pow(layer.RepeatPitch, j) * jitter() * transpose,
                                   gain + j * layer.RepeatGainDb, pan,
                                   static_cast<int>(std::lround(when * SampleRate)), frames,
                                   seed + static_cast<uint32_t>(j), channels, mix);
                }
            }
            continue;
        }
        for (int k = 0; k < std::max(1, layer.Repeat); ++k) {
            const double at = layer.At + k * layer.Every;
            RenderInstance(layer, std::pow(layer.RepeatPitch, k) * jitter() * transpose,
                           k * layer.RepeatGainDb, layer.Pan,
                           static_cast<int>(std::lround(at * SampleRate)), frames,
                           layer.Seed * 131u + layerSeed * 17u + static_cast<uint32_t>(k), channels,
                           mix);
        }
    }

    ApplyEcho(beds, channels, recipe.EchoTime, recipe.EchoFeedback, recipe.EchoMix);
    SampleBuffer out;
    if (loop) {
        ApplyEcho(events, channels, recipe.EchoTime, recipe.EchoFeedback, recipe.EchoMix);
        out = CrossfadeLoop(beds, channels, bodyFrames, fadeFrames);
        const SampleBuffer folded = AddTail(events, channels, bodyFrames);
        for (std::size_t i = 0; i < out.size(); ++i) out[i] += folded[i];
    } else {
        out = std::move(beds);
        out.resize(static_cast<std::size_t>(bodyFrames) * ch);
    }
    // Level first, so the fades work on the final sound; a loop has no edges to fade.
    Normalise(out, channels, recipe.PeakDb, recipe.LoudnessDb, loop);
    if (!loop) FadeEdges(out, channels, recipe.FadeIn, recipe.FadeOut);
    return out;
}

} // namespace bw::sound
