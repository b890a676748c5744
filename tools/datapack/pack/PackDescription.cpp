#include "pack/PackDescription.h"

#include "data/ImageRecord.h"
#include "data/Xml.h"
#include "data/XmlLoad.h"
#include "data/XmlParser.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <set>

namespace bw::pack {

namespace fs = std::filesystem;

const char* DefaultFontRanges() {
    return "21-7E,A1-AC,AE-FF,400-45F,490-491,2013-2014,2018-201A,201C-201E,2022,2026,20AC,2116,"
           "2122";
}

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

bool ParseInt(std::string_view text, int& out) {
    text = Trim(text);
    if (text.empty()) return false;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), out);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

bool ParseUInt64(std::string_view text, uint64_t& out) {
    text = Trim(text);
    if (text.empty()) return false;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), out);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

// Plain decimal numbers only ("12", "-0.5", "337.5"); no exponents, no locale.
bool ParseNumber(std::string_view text, double& out) {
    text = Trim(text);
    if (text.empty()) return false;
    std::size_t i = 0;
    bool negative = false;
    if (text[i] == '-' || text[i] == '+') negative = text[i++] == '-';
    double value = 0;
    bool digits = false;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        value = value * 10 + (text[i++] - '0');
        digits = true;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        double scale = 0.1;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
            value += (text[i++] - '0') * scale;
            scale /= 10;
            digits = true;
        }
    }
    if (!digits || i != text.size()) return false;
    out = negative ? -value : value;
    return true;
}

std::vector<std::string> SplitList(std::string_view text) {
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (true) {
        const std::size_t comma = text.find(',', pos);
        out.emplace_back(
            Trim(text.substr(pos, comma == std::string_view::npos ? text.npos : comma - pos)));
        if (comma == std::string_view::npos) break;
        pos = comma + 1;
    }
    return out;
}

bool ValidUtf8(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= s.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            if ((static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) >> 6) != 2)
                return false;
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

// Descriptions are UTF-8 (with or without a byte-order mark); anything else is read the way
// the game reads XML files without one.
std::unique_ptr<TXMLNode> LoadDescriptionXml(const fs::path& file, bool& unreadable,
                                             XmlParseError& why) {
    std::ifstream in(file, std::ios::binary);
    unreadable = !in;
    if (!in) return nullptr;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    if (ValidUtf8(text)) return XMLFromText(text, &why);
    return XMLFromBytes(reinterpret_cast<const uint8_t*>(text.data()), text.size(), &why);
}

class Reader {
public:
    Reader(ArchiveDescription& out, std::string fileName)
        : Out(out), FileName(std::move(fileName)) {}

    std::string Error;

    bool Fail(const std::string& where, const std::string& message) {
        Error = FileName + ": " + where + ": " + message;
        return false;
    }
    void Warn(const std::string& where, const std::string& message) {
        Out.Warnings.push_back(FileName + ": " + where + ": " + message);
    }
    void CheckAttributes(const TXMLNode& node, const std::string& where,
                         std::initializer_list<const char*> known) {
        for (int i = 0; i < node.FieldCount(); ++i) {
            const std::string name = Lower(node.GetField(i)->Name);
            const bool ok =
                std::any_of(known.begin(), known.end(), [&](const char* k) { return name == k; });
            if (!ok) Warn(where, "unknown attribute \"" + node.GetField(i)->Name + "\" ignored");
        }
    }
    bool Has(const TXMLNode& node, std::string_view name) const {
        return node.FindFieldByName(name) >= 0;
    }
    bool RequireFile(const std::string& where, const std::string& attr, const std::string& name) {
        if (name.empty()) return Fail(where, "attribute \"" + attr + "\" is empty");
        const fs::path p = Out.Folder / name;
        std::error_code ec;
        if (!fs::is_regular_file(p, ec))
            return Fail(where, attr + " file \"" + name + "\" not found (" + p.string() + ")");
        return true;
    }

    bool ReadImage(const TXMLNode& node, int index);
    bool ReadFile(const TXMLNode& node, int index);
    bool ReadFont(const TXMLNode& node, int index);

private:
    ArchiveDescription& Out;
    std::string FileName;

    struct ParamRule {
        std::string Name;
        std::vector<std::string> PerFrame; // empty = constant
        std::string Constant;
        bool Linear = false;
        double From = 0, To = 0;
    };
    bool ReadParam(const TXMLNode& node, const std::string& where, bool frameLevel,
                   ParamRule& rule);
};

bool Reader::ReadParam(const TXMLNode& node, const std::string& where, bool frameLevel,
                       ParamRule& rule) {
    CheckAttributes(node, where, {"name", "value", "from", "to", "values"});
    rule.Name = std::string(Trim(node.GetFieldValue("name")));
    if (rule.Name.empty()) return Fail(where, "<param> without a name");
    const std::string what = "<param name=\"" + rule.Name + "\">";
    const bool hasValue = Has(node, "value");
    const bool hasRange = Has(node, "from") || Has(node, "to");
    const bool hasValues = Has(node, "values");
    if (int(hasValue) + int(hasRange) + int(hasValues) != 1)
        return Fail(where, what + " needs exactly one of value, from/to or values");
    if (frameLevel && !hasValue) return Fail(where, what + " inside <frame> takes only a value");
    if (hasValue) {
        rule.Constant = node.GetFieldValue("value");
    } else if (hasRange) {
        if (!ParseNumber(node.GetFieldValue("from"), rule.From) ||
            !ParseNumber(node.GetFieldValue("to"), rule.To))
            return Fail(where, what + " needs decimal numbers in both from and to");
        rule.Linear = true;
    } else {
        rule.PerFrame = SplitList(node.GetFieldValue("values"));
    }
    return true;
}

bool Reader::ReadImage(const TXMLNode& node, int index) {
    ImageItem item;
    item.Key = node.GetFieldValue("key");
    item.Where = "<image key=\"" + item.Key + "\"> (item " + std::to_string(index + 1) + ")";
    const std::string& where = item.Where;
    CheckAttributes(node, where,
                    {"key", "svg", "draw", "pattern", "visible", "frames", "count", "seed"});
    if (item.Key.empty()) return Fail(where, "attribute \"key\" is missing");
    if (Lower(item.Key).size() < 6 || Lower(item.Key).compare(item.Key.size() - 6, 6, ".image"))
        Warn(where, "image keys end in \".image\"");
    item.Svg = node.GetFieldValue("svg");
    item.Draw = node.GetFieldValue("draw");
    if (Has(node, "svg") == Has(node, "draw"))
        return Fail(where, "give exactly one of the attributes svg and draw");
    if (Has(node, "svg") && !RequireFile(where, "svg", item.Svg)) return false;
    if (Has(node, "draw") && item.Draw.empty()) return Fail(where, "attribute \"draw\" is empty");

    if (!ParseSize(node.GetFieldValue("pattern"), item.Pattern))
        return Fail(where, "pattern \"" + node.GetFieldValue("pattern") +
                               "\" is not a size WxH (e.g. 64x64)");
    if (item.Pattern.x > MaxImportTextureSize || item.Pattern.y > MaxImportTextureSize)
        return Fail(where, "pattern is larger than a texture (" +
                               std::to_string(MaxImportTextureSize) + ")");
    if (Has(node, "visible")) {
        if (!ParseSize(node.GetFieldValue("visible"), item.Visible))
            return Fail(where,
                        "visible \"" + node.GetFieldValue("visible") + "\" is not a size WxH");
        if (item.Visible.x > item.Pattern.x || item.Visible.y > item.Pattern.y)
            return Fail(where, "visible size is larger than the pattern");
    }
    if (Has(node, "seed") && !ParseUInt64(node.GetFieldValue("seed"), item.Seed))
        return Fail(where, "seed \"" + node.GetFieldValue("seed") + "\" is not a whole number");

    // Parameters of the image and of its frames.
    std::vector<ParamRule> rules;
    std::vector<std::vector<ParamRule>> frameRules;
    for (const TXMLNode& child : node) {
        const std::string name = Lower(child.Name());
        if (name == "param") {
            ParamRule rule;
            if (!ReadParam(child, where, false, rule)) return false;
            rules.push_back(std::move(rule));
        } else if (name == "frame") {
            CheckAttributes(child, where, {});
            std::vector<ParamRule> list;
            for (const TXMLNode& p : child) {
                if (Lower(p.Name()) != "param") {
                    Warn(where, "<" + p.Name() + "> inside <frame> ignored");
                    continue;
                }
                ParamRule rule;
                if (!ReadParam(p, where, true, rule)) return false;
                list.push_back(std::move(rule));
            }
            frameRules.push_back(std::move(list));
        } else {
            Warn(where, "unknown element <" + child.Name() + "> ignored");
        }
    }

    int frames = 0;
    if (Has(node, "frames")) {
        if (!ParseInt(node.GetFieldValue("frames"), frames) || frames <= 0)
            return Fail(where,
                        "frames \"" + node.GetFieldValue("frames") + "\" is not a positive number");
        if (!frameRules.empty() && static_cast<int>(frameRules.size()) != frames)
            return Fail(where, "frames=\"" + std::to_string(frames) + "\" but " +
                                   std::to_string(frameRules.size()) + " <frame> elements");
    } else if (!frameRules.empty()) {
        frames = static_cast<int>(frameRules.size());
    } else {
        frames = 1;
        for (const auto& r : rules) {
            if (!r.PerFrame.empty()) {
                frames = static_cast<int>(r.PerFrame.size());
                break;
            }
        }
    }
    for (const auto& r : rules) {
        if (!r.PerFrame.empty() && static_cast<int>(r.PerFrame.size()) != frames)
            return Fail(where, "<param name=\"" + r.Name + "\"> lists " +
                                   std::to_string(r.PerFrame.size()) + " values for " +
                                   std::to_string(frames) + " frames");
    }

    item.Count = frames;
    if (Has(node, "count")) {
        if (!ParseInt(node.GetFieldValue("count"), item.Count) || item.Count <= 0 ||
            item.Count > frames)
            return Fail(where, "count \"" + node.GetFieldValue("count") +
                                   "\" must lie between 1 and the number of frames (" +
                                   std::to_string(frames) + ")");
    }

    item.Frames.resize(static_cast<std::size_t>(frames));
    for (int f = 0; f < frames; ++f) {
        ParamMap& map = item.Frames[static_cast<std::size_t>(f)];
        map["frame"] = std::to_string(f);
        map["frames"] = std::to_string(frames);
        map["seed"] = std::to_string(item.Seed);
        for (const auto& r : rules) {
            if (r.Linear) {
                const double t = frames > 1 ? static_cast<double>(f) / (frames - 1) : 0.0;
                map[r.Name] = FormatNumber(r.From + (r.To - r.From) * t);
            } else if (!r.PerFrame.empty()) {
                map[r.Name] = r.PerFrame[static_cast<std::size_t>(f)];
            } else {
                map[r.Name] = r.Constant;
            }
        }
        if (!frameRules.empty()) {
            for (const auto& r : frameRules[static_cast<std::size_t>(f)]) map[r.Name] = r.Constant;
        }
    }
    Out.Images.push_back(std::move(item));
    return true;
}

bool Reader::ReadFile(const TXMLNode& node, int index) {
    FileItem item;
    item.Key = node.GetFieldValue("key");
    item.Src = node.GetFieldValue("src");
    item.Where = "<file key=\"" + item.Key + "\"> (item " + std::to_string(index + 1) + ")";
    CheckAttributes(node, item.Where, {"key", "src"});
    if (item.Key.empty()) return Fail(item.Where, "attribute \"key\" is missing");
    if (!RequireFile(item.Where, "src", item.Src)) return false;
    Out.Files.push_back(std::move(item));
    return true;
}

bool Reader::ReadFont(const TXMLNode& node, int index) {
    FontItem item;
    item.Name = node.GetFieldValue("name");
    item.Where = "<font name=\"" + item.Name + "\"> (item " + std::to_string(index + 1) + ")";
    const std::string& where = item.Where;
    CheckAttributes(node, where,
                    {"name", "face", "size", "style", "ranges", "outline", "shadow", "blur"});
    if (item.Name.empty()) return Fail(where, "attribute \"name\" is missing");
    item.Face = node.GetFieldValue("face");
    if (item.Face.empty()) return Fail(where, "attribute \"face\" (the font file) is missing");
    {
        std::error_code ec;
        const fs::path face =
            fs::path(item.Face).is_absolute() ? fs::path(item.Face) : Out.Folder / item.Face;
        if (!fs::is_regular_file(face, ec))
            return Fail(where, "font file \"" + item.Face + "\" not found (" + face.string() +
                                   "; is its package installed? see scripts/install-deps)");
        item.Face = face.string();
    }
    if (!ParseInt(node.GetFieldValue("size"), item.Size) || item.Size < 4 || item.Size > 512)
        return Fail(where, "size \"" + node.GetFieldValue("size") + "\" is not 4..512 pixels");
    const std::string style = Lower(Trim(node.GetFieldValue("style")));
    if (style.empty() || style == "plain") {
        item.Shadow = false;
    } else if (style == "shadow") {
        item.Shadow = true;
    } else {
        return Fail(where, "style \"" + style + "\" is neither plain nor shadow");
    }
    const std::string ranges =
        Has(node, "ranges") ? node.GetFieldValue("ranges") : std::string(DefaultFontRanges());
    if (!ParseRanges(ranges, item.Ranges))
        return Fail(where, "ranges \"" + ranges + "\" is not a list like 20-7E,A0-FF");
    struct IntAttribute {
        const char* Name;
        int* Target;
    };
    for (const IntAttribute& a :
         {IntAttribute{"outline", &item.Outline}, IntAttribute{"shadow", &item.ShadowOffset},
          IntAttribute{"blur", &item.Blur}}) {
        if (!Has(node, a.Name)) continue;
        if (!ParseInt(node.GetFieldValue(a.Name), *a.Target) || *a.Target < 0 || *a.Target > 32)
            return Fail(where, std::string(a.Name) + " must be 0..32 pixels");
    }
    Out.Fonts.push_back(std::move(item));
    return true;
}

} // namespace

bool ParseSize(std::string_view text, TPoint2px& out) {
    text = Trim(text);
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string_view::npos) return false;
    int w = 0, h = 0;
    if (!ParseInt(text.substr(0, x), w) || !ParseInt(text.substr(x + 1), h)) return false;
    if (w <= 0 || h <= 0) return false;
    out = TPoint2px{w, h};
    return true;
}

bool ParseRanges(std::string_view text, std::vector<std::pair<uint32_t, uint32_t>>& out) {
    out.clear();
    for (const std::string& part : SplitList(text)) {
        if (part.empty()) return false;
        const std::size_t dash = part.find('-');
        auto hex = [](std::string_view s, uint32_t& v) {
            s = Trim(s);
            if (s.empty()) return false;
            const auto r = std::from_chars(s.data(), s.data() + s.size(), v, 16);
            return r.ec == std::errc() && r.ptr == s.data() + s.size() && v <= 0x10FFFF;
        };
        uint32_t a = 0, b = 0;
        if (dash == std::string::npos) {
            if (!hex(part, a)) return false;
            b = a;
        } else if (!hex(std::string_view(part).substr(0, dash), a) ||
                   !hex(std::string_view(part).substr(dash + 1), b) || b < a) {
            return false;
        }
        out.emplace_back(a, b);
    }
    return !out.empty();
}

bool ReadArchiveDescription(const fs::path& folder, ArchiveDescription& out, std::string& error) {
    out = ArchiveDescription{};
    out.Folder = folder;
    out.Name = folder.filename().string();
    if (out.Name.empty()) out.Name = folder.parent_path().filename().string();
    const fs::path file = folder / "archive.xml";
    bool unreadable = false;
    XmlParseError why;
    const auto root = LoadDescriptionXml(file, unreadable, why);
    if (unreadable) {
        error = file.string() + ": cannot be read";
        return false;
    }
    if (!root) {
        error = file.string() + ":" + std::to_string(why.Line) +
                ": not a well-formed XML document: " + why.What;
        return false;
    }
    if (Lower(root->Name()) != "archive") {
        error = file.string() + ": the root element is <" + root->Name() + ">, not <archive>";
        return false;
    }
    Reader reader(out, file.string());
    int index = 0;
    for (const TXMLNode& child : *root) {
        const std::string name = Lower(child.Name());
        bool ok = true;
        if (name == "image") {
            ok = reader.ReadImage(child, index);
        } else if (name == "file") {
            ok = reader.ReadFile(child, index);
        } else if (name == "font") {
            ok = reader.ReadFont(child, index);
        } else if (IsSoundElement(name)) {
            ok = ReadSoundItem(child, index, folder, out.Sounds, out.Warnings, reader.Error);
        } else {
            reader.Warn("item " + std::to_string(index + 1),
                        "unknown element <" + child.Name() + "> ignored");
        }
        if (!ok) {
            error = reader.Error;
            return false;
        }
        ++index;
    }

    // Keys are unique under ASCII case folding, as the game looks them up.
    std::set<std::string> keys;
    auto claim = [&](const std::string& key, const std::string& where) {
        if (keys.insert(Lower(key)).second) return true;
        error = file.string() + ": " + where + ": key \"" + key + "\" is used twice";
        return false;
    };
    for (const auto& i : out.Images) {
        if (!claim(i.Key, i.Where)) return false;
    }
    for (const auto& f : out.Files) {
        if (!claim(f.Key, f.Where)) return false;
    }
    for (const auto& f : out.Fonts) {
        if (!claim(f.Name + ".image", f.Where) || !claim(f.Name + ".xml", f.Where)) return false;
    }
    for (const auto& s : out.Sounds) {
        if (!claim(s.Key, s.Where)) return false;
    }
    return true;
}

} // namespace bw::pack
