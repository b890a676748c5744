#include "pack/PackManifest.h"

#include "data/ImageRecord.h"
#include "data/KilnArchive.h"
#include "data/KilnFonts.h"
#include "data/Xml.h"
#include "data/XmlLoad.h"
#include "pack/PackDescription.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <ostream>

namespace bw::pack {

namespace fs = std::filesystem;

namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (true) {
        const std::size_t tab = line.find('\t', pos);
        out.push_back(line.substr(pos, tab == std::string::npos ? std::string::npos : tab - pos));
        if (tab == std::string::npos) break;
        pos = tab + 1;
    }
    return out;
}

bool ParseCount(const std::string& text, int& value, bool& atLeast) {
    atLeast = !text.empty() && text.back() == '+';
    const std::string digits = atLeast ? text.substr(0, text.size() - 1) : text;
    const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return !digits.empty() && r.ec == std::errc() && r.ptr == digits.data() + digits.size() &&
           value >= 0;
}

// "WxH" where either side may be "*".
bool SizeMatches(const std::string& wanted, int w, int h) {
    if (wanted == "*" || wanted.empty()) return true;
    const std::size_t x = wanted.find('x');
    if (x == std::string::npos) return false;
    auto side = [](const std::string& s, int v) {
        if (s == "*") return true;
        int want = 0;
        const auto r = std::from_chars(s.data(), s.data() + s.size(), want);
        return r.ec == std::errc() && r.ptr == s.data() + s.size() && want == v;
    };
    return side(wanted.substr(0, x), w) && side(wanted.substr(x + 1), h);
}

bool ValidSizePattern(const std::string& wanted) {
    if (wanted == "*") return true;
    const std::size_t x = wanted.find('x');
    if (x == std::string::npos) return false;
    auto side = [](const std::string& s) {
        if (s == "*") return true;
        int v = 0;
        const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
        return r.ec == std::errc() && r.ptr == s.data() + s.size() && v > 0;
    };
    return side(wanted.substr(0, x)) && side(wanted.substr(x + 1));
}

std::string SizeText(TPoint2px s) {
    return std::to_string(s.x) + "x" + std::to_string(s.y);
}

// Archives opened once per check run.
class ArchiveCache {
public:
    explicit ArchiveCache(fs::path dir) : Dir(std::move(dir)) {}
    TKilnArchive* Get(const std::string& name) {
        auto& slot = Open[name];
        if (!slot) {
            slot = std::make_unique<TKilnArchive>();
            slot->SetOpenMode(aomReadOnly);
            std::error_code ec;
            if (fs::is_regular_file(Dir / name, ec)) slot->OpenFile((Dir / name).string());
        }
        return slot->Ready() ? slot.get() : nullptr;
    }

private:
    fs::path Dir;
    std::map<std::string, std::unique_ptr<TKilnArchive>> Open;
};

std::string CheckImage(const ManifestRow& row, const std::vector<uint8_t>& data,
                       TKilnImageData* decoded = nullptr) {
    TKilnImageData image;
    const auto result = DecodeImageRecord(data.data(), data.size(), image);
    if (result != ImageRecordResult::Ok)
        return std::string("damaged image record: ") + ImageRecordResultText(result);
    if (!SizeMatches(row.Pattern, image.PatternSize.x, image.PatternSize.y))
        return "pattern " + SizeText(image.PatternSize) + ", expected " + row.Pattern;
    if (!SizeMatches(row.Visible, image.VisibleSize.x, image.VisibleSize.y))
        return "visible size " + SizeText(image.VisibleSize) + ", expected " + row.Visible;
    if (row.Count != "*") {
        int want = 0;
        bool atLeast = false;
        ParseCount(row.Count, want, atLeast);
        if (atLeast ? image.PatternCount < want : image.PatternCount != want)
            return std::to_string(image.PatternCount) + " patterns, expected " + row.Count;
    }
    if (image.TextureSize.x > MaxImportTextureSize || image.TextureSize.y > MaxImportTextureSize)
        return "texture " + SizeText(image.TextureSize) + " is larger than " +
               std::to_string(MaxImportTextureSize);
    if (decoded) *decoded = std::move(image);
    return {};
}

// The characters every font needs: digits and the signs of task texts, the name-entry caret,
// the help arrows and the Latin-1 letters the name entry accepts.
std::u16string RequiredFontCharacters() {
    std::u16string s = u"0123456789/%:-_<>";
    for (char16_t c = u'A'; c <= u'Z'; ++c) s += c;
    for (char16_t c = u'a'; c <= u'z'; ++c) s += c;
    for (char16_t c = 0xC0; c <= 0xFF; ++c) {
        if (c != 0xD7 && c != 0xF7) s += c;
    }
    return s;
}

std::string CheckFont(const ManifestRow& row, TKilnArchive& archive,
                      const std::vector<uint8_t>& data) {
    const auto root = XMLFromBytes(data.data(), data.size());
    if (!root) return "font description is not well-formed XML";
    const FontDescription font = ReadFontDescription(*root);
    if (font.FontSize.x <= 0 || font.FontSize.y <= 0) return "font cell size is not positive";
    if (font.Glyphs.empty()) return "font has no glyphs";

    std::string imageKey = row.Key;
    const std::size_t dot = imageKey.rfind('.');
    if (dot != std::string::npos) imageKey.resize(dot);
    imageKey += ".image";
    std::vector<uint8_t> imageData;
    if (!archive.ReadRecord(imageKey, imageData)) return "its image " + imageKey + " is missing";
    TKilnImageData image;
    ManifestRow any = row;
    any.Pattern = any.Count = any.Visible = "*";
    const std::string problem = CheckImage(any, imageData, &image);
    if (!problem.empty()) return imageKey + ": " + problem;

    std::u16string present;
    for (const FontGlyph& g : font.Glyphs) {
        const LetterEntry& e = g.Entry;
        if (!e.HasGlyph()) continue;
        if (e.X < 0 || e.Y < 0 || e.X + e.Width > image.TextureSize.x ||
            e.Y + e.Height > image.TextureSize.y)
            return "glyph " + std::to_string(int(g.Code)) + " lies outside its image";
        present += g.Code;
    }
    std::string missing;
    for (const char16_t c : RequiredFontCharacters()) {
        if (present.find(c) == std::u16string::npos)
            missing += (missing.empty() ? "" : " ") + std::string("U+") + [c] {
                char hex[8];
                std::snprintf(hex, sizeof hex, "%04X", unsigned(c));
                return std::string(hex);
            }();
    }
    if (!missing.empty()) return "font lacks needed characters: " + missing;
    return {};
}

} // namespace

bool ReadManifest(const fs::path& file, std::vector<ManifestRow>& rows, std::string& error) {
    rows.clear();
    std::ifstream in(file);
    if (!in) {
        error = file.string() + ": cannot be read";
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const auto f = SplitTabs(line);
        if (f[0] == "status") continue;
        const std::string where = file.string() + ":" + std::to_string(number) + ": ";
        if (f.size() < 4) {
            error = where + "a row needs at least status, archive, key and kind";
            return false;
        }
        ManifestRow row;
        row.Line = number;
        if (f[0] == "required") {
            row.Required = true;
        } else if (f[0] != "planned") {
            error = where + "status \"" + f[0] + "\" is neither required nor planned";
            return false;
        }
        row.Archive = f[1];
        row.Key = f[2];
        row.Kind = f[3];
        if (f.size() > 4 && !f[4].empty()) row.Pattern = f[4];
        if (f.size() > 5 && !f[5].empty()) row.Count = f[5];
        if (f.size() > 6 && !f[6].empty()) row.Visible = f[6];
        if (f.size() > 7) row.Notes = f[7];
        int count = 0;
        bool atLeast = false;
        if (!ValidSizePattern(row.Pattern) || !ValidSizePattern(row.Visible) ||
            (row.Count != "*" && !ParseCount(row.Count, count, atLeast))) {
            error = where + "pattern, count or visible is malformed";
            return false;
        }
        rows.push_back(std::move(row));
    }
    return true;
}

namespace {

// "section/name": the element reached from the root through children of those names.
std::string CheckElementPath(const std::vector<uint8_t>& data, const std::string& path) {
    const auto root = XMLFromBytes(data.data(), data.size());
    if (!root) return "not well-formed XML";
    const TXMLNode* node = root.get();
    std::size_t pos = 0;
    while (pos <= path.size()) {
        const std::size_t slash = path.find('/', pos);
        const std::string name =
            path.substr(pos, slash == std::string::npos ? std::string::npos : slash - pos);
        node = node->GetChildNode(name);
        if (!node) return "no element " + path.substr(0, slash);
        if (slash == std::string::npos) break;
        pos = slash + 1;
    }
    return {};
}

std::string CheckRow(const ManifestRow& row, ArchiveCache& cache) {
    TKilnArchive* archive = cache.Get(row.Archive);
    if (!archive) return "missing (no archive " + row.Archive + ")";
    const std::size_t hash = row.Key.find('#');
    const std::string key = row.Key.substr(0, hash);
    if (archive->IndexOf(key) < 0) return "missing";
    std::vector<uint8_t> data;
    if (!archive->ReadRecord(key, data)) return "record cannot be read (damaged)";
    if (hash != std::string::npos) return CheckElementPath(data, row.Key.substr(hash + 1));
    if (row.Kind == "image") return CheckImage(row, data);
    if (row.Kind == "font") return CheckFont(row, *archive, data);
    if (row.Kind == "xml" || row.Kind == "particle") {
        if (!XMLFromBytes(data.data(), data.size())) return "not well-formed XML";
    }
    return {};
}

} // namespace

std::string CheckManifestRow(const ManifestRow& row, const fs::path& outDir) {
    ArchiveCache cache(outDir);
    return CheckRow(row, cache);
}

int RunVerify(const fs::path& manifest, const fs::path& outDir, bool all, std::ostream& out,
              std::ostream& err) {
    std::vector<ManifestRow> rows;
    std::string error;
    if (!ReadManifest(manifest, rows, error)) {
        err << "datapack: " << error << "\n";
        return 1;
    }
    ArchiveCache cache(outDir);
    int required = 0, requiredBad = 0, planned = 0, plannedPresent = 0;
    for (const ManifestRow& row : rows) {
        if (!row.Required && !all) continue;
        const std::string problem = CheckRow(row, cache);
        if (row.Required) {
            ++required;
            if (!problem.empty()) ++requiredBad;
        } else {
            ++planned;
            if (problem.empty()) ++plannedPresent;
        }
        if (!problem.empty()) {
            out << (row.Required ? "required" : "planned") << "\t" << row.Archive << "\t" << row.Key
                << "\t" << problem << "\n";
        }
    }
    out << "verify: " << (required - requiredBad) << " of " << required
        << " required items present and well-formed";
    if (all) out << "; " << plannedPresent << " of " << planned << " planned items present";
    out << "\n";
    return requiredBad ? 1 : 0;
}

} // namespace bw::pack
