#include "pack/PackSound.h"

#include "data/Xml.h"
#include "sound/Music.h"
#include "sound/Synth.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <fstream>
#include <iterator>

namespace bw::pack {

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool ParseNumber(const std::string& text, double& out) {
    const auto r = std::from_chars(text.data(), text.data() + text.size(), out);
    return !text.empty() && r.ec == std::errc() && r.ptr == text.data() + text.size();
}

} // namespace

bool IsSoundElement(std::string_view name) {
    return name == "sound" || name == "music";
}

bool ReadSoundItem(const TXMLNode& node, int index, const fs::path& folder,
                   std::vector<SoundItem>& out, std::vector<std::string>& warnings,
                   std::string& error) {
    SoundItem item;
    item.Music = Lower(node.Name()) == "music";
    item.Key = node.GetFieldValue("key");
    item.Where = std::string(item.Music ? "<music" : "<sound") + " key=\"" + item.Key +
                 "\"> (item " + std::to_string(index + 1) + ")";
    const std::string file = (folder / "archive.xml").string();
    auto fail = [&](const std::string& message) {
        error = file + ": " + item.Where + ": " + message;
        return false;
    };
    const std::vector<std::string> known =
        item.Music
            ? std::vector<std::string>{"key", "src", "peak", "loudness", "soundfont", "quality"}
            : std::vector<std::string>{"key", "recipe", "name", "quality"};
    for (int i = 0; i < node.FieldCount(); ++i) {
        const std::string name = Lower(node.GetField(i)->Name);
        if (std::find(known.begin(), known.end(), name) == known.end())
            warnings.push_back(file + ": " + item.Where + ": unknown attribute \"" +
                               node.GetField(i)->Name + "\" ignored");
    }
    if (item.Key.empty()) return fail("attribute \"key\" is missing");
    if (Lower(fs::path(item.Key).extension().string()) != ".ogg")
        return fail("a sound's key ends in \".ogg\"");

    auto number = [&](const char* attr, double& value) {
        const std::string text = node.GetFieldValue(attr);
        if (text.empty()) return true;
        if (ParseNumber(text, value)) return true;
        return fail("attribute \"" + std::string(attr) + "\" needs a number, not \"" + text + "\"");
    };
    double quality = item.Quality;
    if (!number("quality", quality)) return false;
    if (quality < -0.1 || quality > 1.0) return fail("quality is -0.1 .. 1");
    item.Quality = static_cast<float>(quality);

    const std::string fileAttr = item.Music ? "src" : "recipe";
    const std::string source = node.GetFieldValue(fileAttr);
    if (source.empty()) return fail("attribute \"" + fileAttr + "\" is missing");
    std::error_code ec;
    if (!fs::is_regular_file(folder / source, ec))
        return fail(fileAttr + " file \"" + source + "\" not found (" + (folder / source).string() +
                    ")");
    if (item.Music) {
        item.Src = source;
        item.SoundFont = node.GetFieldValue("soundfont");
        if (item.SoundFont.empty()) item.SoundFont = sound::DefaultSoundFont;
        if (!number("peak", item.PeakDb) || !number("loudness", item.LoudnessDb)) return false;
    } else {
        item.Recipe = source;
        item.Name = node.GetFieldValue("name");
        if (item.Name.empty()) item.Name = item.Key.substr(0, item.Key.size() - 4);
    }
    out.push_back(std::move(item));
    return true;
}

bool BuildSoundItem(const fs::path& folder, const SoundItem& item, std::vector<uint8_t>& bytes,
                    std::string& error) {
    sound::SampleBuffer samples;
    int channels = 2;
    if (item.Music) {
        sound::MusicSpec spec;
        spec.Source = folder / item.Src;
        spec.SoundFont = item.SoundFont;
        spec.PeakDb = item.PeakDb;
        spec.LoudnessDb = item.LoudnessDb;
        if (!sound::RenderMusic(spec, samples, error)) return false;
    } else {
        const fs::path path = folder / item.Recipe;
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            error = "cannot read " + path.string();
            return false;
        }
        const std::string text((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        std::vector<sound::SoundRecipe> recipes;
        if (!sound::ParseRecipes(text, path.string(), recipes, error)) return false;
        const auto it =
            std::find_if(recipes.begin(), recipes.end(),
                         [&](const sound::SoundRecipe& r) { return r.Name == item.Name; });
        if (it == recipes.end()) {
            error = path.string() + ": has no sound \"" + item.Name + "\"";
            return false;
        }
        channels = it->Stereo ? 2 : 1;
        samples = sound::Render(*it);
    }
    return sound::EncodeOgg(samples, channels, sound::SampleRate, item.Quality, bytes, error);
}

} // namespace bw::pack
