// The recipe language: one statement per line.
//
// "#" after a space starts a comment ("C#4" is a note name).
//
//   level peak=-1.5 loudness=-16        level of the recipes that follow (dBFS)
//   sound NAME [from OTHER]             a recipe; "from" starts from a copy of an earlier one
//     length SECONDS | stereo | loop CROSSFADE | transpose SEMITONES
//     echo TIME FEEDBACK MIX | fade IN OUT | level peak=DB loudness=DB
//     layer                             a voice; the statements below shape it
//       wave sine|triangle|square|saw|white|pink|brown
//       freq V [T V ...] [linear]       Hz or note names (A4 = 440 Hz), glides over T seconds
//       vibrato RATE CENTS | fm RATIO INDEX [DECAY] | duty FRACTION
//       adsr A D S R | perc ATTACK DECAY | tremolo RATE DEPTH
//       lowpass|highpass|bandpass V [T V ...] [q=Q] [lfo=HZ] [depth=OCTAVES]
//       lowpass1|highpass1 V [T V ...]  one-pole filters
//       gain DB | pan P | at SECONDS | len SECONDS | seed N
//       repeat N EVERY [pitch=FACTOR] [gain=DB] [jitter=SEMITONES]
//       scatter N [pitch=SEMITONES] [gain=DB] [pan=SPREAD] [seed=N]
//   end
#include "sound/Synth.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <map>
#include <sstream>

namespace bw::sound {

namespace {

bool ParseDouble(const std::string& text, double& out) {
    if (text.empty()) return false;
    const char* begin = text.data();
    if (*begin == '+') ++begin;
    const auto r = std::from_chars(begin, text.data() + text.size(), out);
    return r.ec == std::errc() && r.ptr == text.data() + text.size() && std::isfinite(out);
}

// "A4" = 440 Hz, "C#5", "Eb3"; also plain numbers.
bool ParseFrequency(const std::string& text, double& out) {
    if (ParseDouble(text, out)) return out > 0;
    if (text.size() < 2) return false;
    static const int steps[] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G from C
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    if (letter < 'A' || letter > 'G') return false;
    int semitone = steps[letter - 'A'];
    std::size_t i = 1;
    if (text[i] == '#') {
        ++semitone;
        ++i;
    } else if (text[i] == 'b') {
        --semitone;
        ++i;
    }
    int octave = 0;
    const auto r = std::from_chars(text.data() + i, text.data() + text.size(), octave);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return false;
    const int midi = (octave + 1) * 12 + semitone;
    out = 440.0 * std::pow(2.0, (midi - 69) / 12.0);
    return true;
}

class RecipeParser {
public:
    RecipeParser(std::string fileName, std::vector<SoundRecipe>& out)
        : FileName(std::move(fileName)), Out(out) {}

    bool Run(const std::string& text, std::string& error);

private:
    bool Fail(const std::string& message) {
        Error = FileName + ":" + std::to_string(Line) + ": " + message;
        return false;
    }
    // Limits that keep a mistyped recipe from taking the build's memory or time.
    static constexpr double MaxSeconds = 600, MaxEvents = 10000;
    bool InRange(double v, double lo, double hi, const char* what) {
        if (v >= lo && v <= hi) return true;
        std::ostringstream text;
        text << what << " must be " << lo << " .. " << hi;
        return Fail(text.str());
    }
    bool Number(std::size_t i, double& out) {
        if (i >= Words.size()) return Fail("\"" + Words[0] + "\" needs more values");
        if (!ParseDouble(Words[i], out))
            return Fail("\"" + Words[i] + "\" is not a number (in \"" + Words[0] + "\")");
        return true;
    }
    // Splits words into plain values and name=value options.
    bool Options(std::size_t from, std::vector<std::string>& values,
                 std::map<std::string, double>& options, std::initializer_list<const char*> known);
    bool Curve(const std::vector<std::string>& values, RecipeCurve& out, bool frequency);
    bool Top();
    bool InSound();
    bool InLayer();

    std::string FileName;
    std::vector<SoundRecipe>& Out;
    std::vector<std::string> Words;
    int Line = 0;
    std::string Error;
    SoundRecipe* Current = nullptr;
    SynthLayer* Layer = nullptr;
    double PeakDb = -1.5, LoudnessDb = -16;
};

bool RecipeParser::Options(std::size_t from, std::vector<std::string>& values,
                           std::map<std::string, double>& options,
                           std::initializer_list<const char*> known) {
    for (std::size_t i = from; i < Words.size(); ++i) {
        const std::size_t eq = Words[i].find('=');
        if (eq == std::string::npos) {
            values.push_back(Words[i]);
            continue;
        }
        const std::string name = Words[i].substr(0, eq);
        bool ok = false;
        for (const char* k : known) ok = ok || name == k;
        if (!ok) return Fail("\"" + Words[0] + "\" has no option \"" + name + "\"");
        double v = 0;
        if (!ParseDouble(Words[i].substr(eq + 1), v))
            return Fail("option \"" + name + "\" needs a number, not \"" + Words[i].substr(eq + 1) +
                        "\"");
        options[name] = v;
    }
    return true;
}

bool RecipeParser::Curve(const std::vector<std::string>& values, RecipeCurve& out, bool frequency) {
    RecipeCurve curve;
    curve.Values.clear();
    curve.Exponential = out.Exponential;
    if (values.empty()) return Fail("\"" + Words[0] + "\" needs a value");
    for (std::size_t i = 0; i < values.size(); ++i) {
        double v = 0;
        if (values[i] == "linear") {
            curve.Exponential = false;
            continue;
        }
        const bool isTime = curve.Values.size() == curve.Times.size() + 1;
        if (isTime) {
            if (!ParseDouble(values[i], v) || v < 0)
                return Fail("\"" + values[i] + "\" is not a time in seconds (in \"" + Words[0] +
                            "\")");
            curve.Times.push_back(v);
        } else {
            const bool ok = frequency ? ParseFrequency(values[i], v) : ParseDouble(values[i], v);
            if (!ok)
                return Fail("\"" + values[i] + "\" is not a frequency (in \"" + Words[0] + "\")");
            curve.Values.push_back(v);
        }
    }
    if (curve.Values.size() != curve.Times.size() + 1)
        return Fail("\"" + Words[0] + "\" must end with a value, not a time");
    out = curve;
    return true;
}

bool RecipeParser::Top() {
    const std::string& w = Words[0];
    if (w == "level") {
        std::vector<std::string> values;
        std::map<std::string, double> options;
        if (!Options(1, values, options, {"peak", "loudness"})) return false;
        if (!values.empty()) return Fail("\"level\" takes peak=DB and loudness=DB");
        if (options.count("peak")) PeakDb = options["peak"];
        if (options.count("loudness")) LoudnessDb = options["loudness"];
        return true;
    }
    if (w == "sound") {
        if (Words.size() != 2 && !(Words.size() == 4 && Words[2] == "from"))
            return Fail("write \"sound NAME\" or \"sound NAME from OTHER\"");
        SoundRecipe recipe;
        if (Words.size() == 4) {
            const SoundRecipe* base = nullptr;
            for (const SoundRecipe& r : Out)
                if (r.Name == Words[3]) base = &r;
            if (!base) return Fail("no sound \"" + Words[3] + "\" before this one");
            recipe = *base;
        } else {
            recipe.PeakDb = PeakDb;
            recipe.LoudnessDb = LoudnessDb;
        }
        for (const SoundRecipe& r : Out)
            if (r.Name == Words[1]) return Fail("sound \"" + Words[1] + "\" is defined twice");
        recipe.Name = Words[1];
        recipe.Line = Line;
        Out.push_back(recipe);
        Current = &Out.back();
        Layer = nullptr;
        return true;
    }
    return Fail("expected \"sound NAME\" or \"level\", found \"" + w + "\"");
}

bool RecipeParser::InSound() {
    const std::string& w = Words[0];
    SoundRecipe& r = *Current;
    if (w == "end") {
        if (r.Layers.empty()) return Fail("sound \"" + r.Name + "\" has no layer");
        Current = nullptr;
        Layer = nullptr;
        return true;
    }
    if (w == "layer") {
        r.Layers.emplace_back();
        Layer = &r.Layers.back();
        return true;
    }
    if (w == "length") return Number(1, r.Length) && InRange(r.Length, 0.001, MaxSeconds, "length");
    if (w == "stereo") {
        r.Stereo = true;
        return true;
    }
    if (w == "loop") return Number(1, r.Loop) && InRange(r.Loop, 0, MaxSeconds, "loop");
    if (w == "transpose") return Number(1, r.Transpose);
    if (w == "echo")
        return Number(1, r.EchoTime) && Number(2, r.EchoFeedback) && Number(3, r.EchoMix) &&
               InRange(r.EchoFeedback, 0, 0.95, "echo feedback");
    if (w == "fade") return Number(1, r.FadeIn) && Number(2, r.FadeOut);
    if (w == "level") {
        std::vector<std::string> values;
        std::map<std::string, double> options;
        if (!Options(1, values, options, {"peak", "loudness"})) return false;
        if (options.count("peak")) r.PeakDb = options["peak"];
        if (options.count("loudness")) r.LoudnessDb = options["loudness"];
        return true;
    }
    if (!Layer) return Fail("\"" + w + "\" belongs to a layer: write \"layer\" first");
    return InLayer();
}

bool RecipeParser::InLayer() {
    const std::string& w = Words[0];
    SynthLayer& l = *Layer;
    if (w == "wave") {
        static const std::map<std::string, Waveform> waves = {
            {"sine", Waveform::Sine},     {"triangle", Waveform::Triangle},
            {"square", Waveform::Square}, {"saw", Waveform::Saw},
            {"white", Waveform::White},   {"pink", Waveform::Pink},
            {"brown", Waveform::Brown}};
        const auto it = Words.size() == 2 ? waves.find(Words[1]) : waves.end();
        if (it == waves.end())
            return Fail("wave is one of sine, triangle, square, saw, white, pink, brown");
        l.Osc.Wave = it->second;
        return true;
    }
    if (w == "freq") {
        std::vector<std::string> values(Words.begin() + 1, Words.end());
        return Curve(values, l.Osc.Frequency, true);
    }
    if (w == "vibrato") return Number(1, l.Osc.VibratoRate) && Number(2, l.Osc.VibratoCents);
    if (w == "fm") {
        if (!Number(1, l.Osc.FmRatio) || !Number(2, l.Osc.FmIndex)) return false;
        return Words.size() < 4 || Number(3, l.Osc.FmDecay);
    }
    if (w == "duty") return Number(1, l.Osc.Duty);
    if (w == "adsr") {
        l.UsePerc = false;
        return Number(1, l.Adsr.Attack) && Number(2, l.Adsr.Decay) && Number(3, l.Adsr.Sustain) &&
               Number(4, l.Adsr.Release);
    }
    if (w == "perc") {
        l.UsePerc = true;
        return Number(1, l.Perc.Attack) && Number(2, l.Perc.Decay);
    }
    if (w == "tremolo") return Number(1, l.TremoloRate) && Number(2, l.TremoloDepth);
    static const std::map<std::string, FilterKind> filters = {{"lowpass", FilterKind::LowPass},
                                                              {"highpass", FilterKind::HighPass},
                                                              {"bandpass", FilterKind::BandPass},
                                                              {"lowpass1", FilterKind::LowPass1},
                                                              {"highpass1", FilterKind::HighPass1}};
    if (const auto it = filters.find(w); it != filters.end()) {
        Filter f;
        f.Kind = it->second;
        std::vector<std::string> values;
        std::map<std::string, double> options;
        if (!Options(1, values, options, {"q", "lfo", "depth"})) return false;
        if (!Curve(values, f.Cutoff, true)) return false;
        if (options.count("q")) f.Q = options["q"];
        if (options.count("lfo")) f.LfoRate = options["lfo"];
        if (options.count("depth")) f.LfoDepth = options["depth"];
        l.Filters.push_back(f);
        return true;
    }
    if (w == "gain") return Number(1, l.GainDb);
    if (w == "pan") return Number(1, l.Pan);
    if (w == "at") return Number(1, l.At) && InRange(l.At, 0, MaxSeconds, "at");
    if (w == "len") return Number(1, l.Length) && InRange(l.Length, 0.001, MaxSeconds, "len");
    if (w == "seed") {
        double s = 0;
        if (!Number(1, s)) return false;
        l.Seed = static_cast<uint32_t>(s);
        return true;
    }
    if (w == "repeat") {
        std::vector<std::string> values;
        std::map<std::string, double> options;
        if (!Options(1, values, options, {"pitch", "gain", "jitter"})) return false;
        double n = 0;
        if (values.size() != 2 || !ParseDouble(values[0], n) || n < 1 ||
            !ParseDouble(values[1], l.Every))
            return Fail("write \"repeat COUNT EVERY [pitch=FACTOR] [gain=DB] [jitter=SEMITONES]\"");
        if (!InRange(n, 1, MaxEvents, "repeat count") ||
            !InRange(l.Every, 0, MaxSeconds, "repeat time"))
            return false;
        l.Repeat = static_cast<int>(n);
        if (options.count("pitch")) l.RepeatPitch = options["pitch"];
        if (options.count("gain")) l.RepeatGainDb = options["gain"];
        if (options.count("jitter")) l.RepeatJitter = options["jitter"];
        return true;
    }
    if (w == "scatter") {
        std::vector<std::string> values;
        std::map<std::string, double> options;
        if (!Options(1, values, options, {"pitch", "gain", "pan", "seed"})) return false;
        double n = 0;
        if (values.size() != 1 || !ParseDouble(values[0], n) || n < 1)
            return Fail(
                "write \"scatter COUNT [pitch=SEMITONES] [gain=DB] [pan=SPREAD] [seed=N]\"");
        if (!InRange(n, 1, MaxEvents, "scatter count")) return false;
        l.Scatter = static_cast<int>(n);
        if (options.count("pitch")) l.ScatterPitch = options["pitch"];
        if (options.count("gain")) l.ScatterGainDb = options["gain"];
        if (options.count("pan")) l.ScatterPan = options["pan"];
        if (options.count("seed")) l.Seed = static_cast<uint32_t>(options["seed"]);
        return true;
    }
    return Fail("unknown statement \"" + w + "\"");
}

bool RecipeParser::Run(const std::string& text, std::string& error) {
    std::istringstream in(text);
    std::string raw;
    while (std::getline(in, raw)) {
        ++Line;
        // "#" starts a comment at the start of a line or after a space ("C#4" is a note).
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] == '#' && (i == 0 || std::isspace(static_cast<unsigned char>(raw[i - 1])))) {
                raw.resize(i);
                break;
            }
        }
        std::istringstream words(raw);
        Words.clear();
        for (std::string word; words >> word;) Words.push_back(word);
        if (Words.empty()) continue;
        const bool ok = Current ? InSound() : Top();
        if (!ok) {
            error = Error;
            return false;
        }
    }
    if (Current) {
        error = FileName + ": sound \"" + Current->Name + "\" (line " +
                std::to_string(Current->Line) + ") has no \"end\"";
        return false;
    }
    return true;
}

} // namespace

bool ParseRecipes(const std::string& text, const std::string& fileName,
                  std::vector<SoundRecipe>& out, std::string& error) {
    out.clear();
    // Pointers into the list stay valid while a recipe is read.
    out.reserve(1024);
    RecipeParser parser(fileName, out);
    return parser.Run(text, error);
}

} // namespace bw::sound
