#include "data/KilnFonts.h"

#include "data/AsciiText.h"
#include "data/KilnImages.h"
#include "data/MediaLink.h"
#include "data/Xml.h"
#include "data/XmlConvert.h"
#include "data/XmlLoad.h"
#include "platform/Log.h"
#include "platform/Rounding.h"
#include "render/DisplayState.h"

#include <algorithm>
#include <cmath>

namespace bw {

namespace {

// "#{" + sign and up to ten digits (or a hexadecimal form) + "}".
constexpr std::size_t kMaxSpacerBody = 12;

// The value of "#{N}" starting at text[i]; false when the text there is no spacer.
bool ParseSpacer(std::u16string_view text, std::size_t i, int& value, std::size_t& last) {
    if (i + 2 >= text.size() || text[i] != u'#' || text[i + 1] != u'{') return false;
    const std::size_t limit = std::min(text.size(), i + 2 + kMaxSpacerBody + 1);
    std::string body;
    for (std::size_t j = i + 2; j < limit; ++j) {
        const char16_t c = text[j];
        if (c == u'}') {
            if (body.empty()) return false;
            const int32_t a = TextToIntDef(body, 0);
            if (a != TextToIntDef(body, 1)) return false; // not an integer
            value = a;
            last = j;
            return true;
        }
        if (c >= 0x80) return false;
        body.push_back(static_cast<char>(c));
    }
    return false;
}

// Rounds a value in 0..2^22 to the nearest whole number, ties to even, without a library call:
// adding 1.5 * 2^23 leaves no fraction bits, so the sum is rounded in the default mode.
float RoundSmall(float v) {
    constexpr float kShift = 12582912.0f;
    return (v + kShift) - kShift;
}

// A colour channel from a float; NaN and negative values give 0.
uint32_t Channel(float v) {
    if (!(v > 0.0f)) return 0;
    return static_cast<uint32_t>(RoundSmall(std::min(v, 255.0f)));
}

// A vertical gradient between two colours, channel by channel, ready to be sampled per glyph.
class Gradient {
public:
    Gradient(const TColor2& colors, float alpha) : FAlpha(alpha) {
        const TColor top = colors.top, bottom = colors.bottom;
        const int shifts[4] = {24, 16, 8, 0};
        for (int i = 0; i < 4; ++i) {
            FBase[i] = static_cast<float>((top >> shifts[i]) & 0xFF);
            FDelta[i] = static_cast<float>((bottom >> shifts[i]) & 0xFF) - FBase[i];
        }
    }
    // The colour at t (0 = top, 1 = bottom); the rounded alpha is scaled by alpha.
    TColor At(float t) const {
        const uint32_t a = Channel(FBase[0] + FDelta[0] * t);
        const uint32_t scaled = Channel(static_cast<float>(a) * FAlpha);
        return scaled << 24 | Channel(FBase[1] + FDelta[1] * t) << 16 |
               Channel(FBase[2] + FDelta[2] * t) << 8 | Channel(FBase[3] + FDelta[3] * t);
    }

private:
    float FBase[4];
    float FDelta[4];
    float FAlpha;
};

// The description of a font link: from the archive given, from the archive file or file the
// link names beside the program, or as a path of its own (relative to the current folder).
std::unique_ptr<TXMLNode> ReadDescription(std::string_view link, TKilnArchive* archive) {
    const bool archiveLink = IsArchiveLink(link);
    if (archive != nullptr && archiveLink) {
        if (auto tree = XMLFromArchive(LinkKey(link), archive)) return tree;
    }
    if (auto tree = XMLFromMediaLink(link)) return tree;
    std::string path(TrimText(archiveLink ? link.substr(0, link.find('|')) : link));
    std::replace(path.begin(), path.end(), '\\', '/');
    if (path.empty()) return nullptr;
    return archiveLink ? XMLFromArchiveFile(LinkKey(link), path) : XMLFromFile(path);
}

} // namespace

// --- Text conversion -------------------------------------------------------------------------

// --- Font descriptions -----------------------------------------------------------------------

FontDescription ReadFontDescription(const TXMLNode& root) {
    FontDescription desc;
    desc.FontSize = TPoint2px{std::max(0, TextToInt(root.GetFieldValue("width"))),
                              std::max(0, TextToInt(root.GetFieldValue("height")))};
    for (const TXMLNode& item : root) {
        if (!AsciiSameText(item.Name(), "item")) continue;
        int32_t code = TextToIntDef(item.GetFieldValue("ascii"), -1);
        if (code < 0 || code > 255) {
            code = TextToIntDef(item.GetFieldValue("ucode"), -1);
            if (code < 0 || code > 0xFFFF) continue;
        }
        FontGlyph glyph;
        glyph.Code = static_cast<char16_t>(code);
        const auto value = [&](std::string_view name) {
            return TextToIntDef(item.GetFieldValue(name), 0);
        };
        glyph.Entry =
            LetterEntry{value("top"),    value("x"),       value("y"),       value("width"),
                        value("height"), value("leading"), value("trailing")};
        desc.Glyphs.push_back(glyph);
    }
    return desc;
}

std::unique_ptr<TXMLNode> WriteFontDescription(const FontDescription& description) {
    auto root = std::make_unique<TXMLNode>("font");
    root->AddField("width", std::to_string(description.FontSize.x));
    root->AddField("height", std::to_string(description.FontSize.y));
    for (const FontGlyph& g : description.Glyphs) {
        TXMLNode* item = root->AddChild("item");
        item->AddField(g.Code < 0x80 ? "ascii" : "ucode", std::to_string(int(g.Code)));
        const LetterEntry& e = g.Entry;
        item->AddField("top", std::to_string(e.Top));
        item->AddField("x", std::to_string(e.X));
        item->AddField("y", std::to_string(e.Y));
        item->AddField("width", std::to_string(e.Width));
        item->AddField("height", std::to_string(e.Height));
        item->AddField("leading", std::to_string(e.Leading));
        item->AddField("trailing", std::to_string(e.Trailing));
    }
    return root;
}

// --- TKilnFont -------------------------------------------------------------------------------

TKilnFont::TKilnFont(TKilnFonts* owner, std::string name)
    : FOwner(owner), FName(std::move(name)), Entries(EntryCount) {}

void TKilnFont::LoadDescription(const FontDescription& description) {
    std::fill(Entries.begin(), Entries.end(), LetterEntry{});
    FFontSize = description.FontSize;
    for (const FontGlyph& g : description.Glyphs) Entries[g.Code] = g.Entry;
}

float TKilnFont::MeasureWidth(std::u16string_view text) const {
    const float sx = FScale.x * DisplayScale.x;
    const std::size_t lastClose = text.rfind(u'>');
    float width = 0.0f;
    bool anyGlyph = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'<' && lastClose != std::u16string_view::npos && lastClose > i) {
            i = text.find(u'>', i + 1);
            continue;
        }
        const LetterEntry& e = Entries[c];
        if (e.HasGlyph()) {
            width += (static_cast<float>(e.Leading) + static_cast<float>(e.Width) +
                      static_cast<float>(e.Trailing) + FKerning) *
                     sx;
            anyGlyph = true;
        } else {
            width += FWhitespace * sx;
        }
    }
    if (anyGlyph) width -= FKerning * sx;
    return width;
}

TPoint2 TKilnFont::TextExtent(std::string_view text) const {
    Utf8ToUtf16(text, FWork);
    return TPoint2{MeasureWidth(FWork),
                   static_cast<float>(FFontSize.y) * FScale.y * DisplayScale.y};
}

void TKilnFont::PushStyle(const TColor2& colors, uint32_t style) {
    if (StyleCount >= MaxStyles) return;
    StyleStack[static_cast<std::size_t>(StyleCount++)] = FontStyle{colors, style};
}

void TKilnFont::ApplyMarkup(std::u16string_view name) {
    if (name == u"/") {
        if (StyleCount > 0) --StyleCount;
        return;
    }
    if (FOwner == nullptr || FOwner->Tags.empty()) return;
    if (const TFontTag* tag = FOwner->FindTag(Utf16ToUtf8(name)))
        PushStyle(tag->Colors, tag->Style);
}

void TKilnFont::DrawLine(TPoint2 pos, std::u16string_view text, bool centered, float alpha,
                         TColor2 colors) {
    const TPoint2 d = DisplayScale;
    if (centered) {
        const float height = static_cast<float>(FFontSize.y) * FScale.y * d.y;
        const float width = MeasureWidth(text);
        if (d.x != 0.0f) pos.x -= RoundEven(width / d.x / 2.0f);
        if (d.y != 0.0f) pos.y -= RoundEven(height / d.y / 2.0f);
    }

    Canvas* canvas = FOwner ? FOwner->GetCanvas() : nullptr;
    const TKilnImage* image =
        (FOwner && FOwner->Images()) ? FOwner->Images()->Image(FImageIndex) : nullptr;
    TextureId texture = kNoTexture;
    float invTexW = 1.0f, invTexH = 1.0f;
    if (image != nullptr) image->Touch();
    if (image != nullptr && !image->Textures.empty()) {
        texture = image->Textures.front();
        invTexW = 1.0f / static_cast<float>(image->TextureSize().x);
        invTexH = 1.0f / static_cast<float>(image->TextureSize().y);
    }
    const bool draws = canvas != nullptr && texture != kNoTexture;

    StyleCount = 0;
    PushStyle(colors, 0);
    const float sx = FScale.x * d.x;
    const float sy = FScale.y * d.y;
    const float invCellHeight = FFontSize.y > 0 ? 1.0f / static_cast<float>(FFontSize.y) : 0.0f;
    float penX = (pos.x - WorldOffset.x) * d.x;
    const float penY = (pos.y - WorldOffset.y) * d.y;
    const std::size_t lastClose = text.rfind(u'>');
    TColor2 gradientColors = colors;
    Gradient gradient(colors, alpha);

    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'<' && lastClose != std::u16string_view::npos && lastClose > i) {
            const std::size_t close = text.find(u'>', i + 1);
            ApplyMarkup(text.substr(i + 1, close - i - 1));
            i = close;
            continue;
        }
        if (c == u'#') {
            int amount = 0;
            std::size_t last = i;
            if (ParseSpacer(text, i, amount, last)) {
                penX += static_cast<float>(amount) * d.x;
                i = last;
                continue;
            }
        }
        const LetterEntry& e = Entries[c];
        if (!e.HasGlyph() || StyleCount == 0) {
            penX += FWhitespace * sx;
            continue;
        }
        penX += static_cast<float>(e.Leading) * sx;
        if (draws) {
            const float left = penX;
            const float top = penY + static_cast<float>(e.Top) * sy;
            const float right = left + static_cast<float>(e.Width) * sx;
            const float bottom = top + static_cast<float>(e.Height) * sy;
            const float u0 = static_cast<float>(e.X) * invTexW;
            const float v0 = static_cast<float>(e.Y) * invTexH;
            const float u1 = static_cast<float>(e.X + static_cast<int64_t>(e.Width)) * invTexW;
            const float v1 = static_cast<float>(e.Y + static_cast<int64_t>(e.Height)) * invTexH;
            canvas->UseTexture(texture, TPoint4{TPoint2{u0, v0}, TPoint2{u1, v0}, TPoint2{u1, v1},
                                                TPoint2{u0, v1}});
            // A cell height of 0 leaves both edges at the top colour.
            const float t0 = std::clamp(static_cast<float>(e.Top) * invCellHeight, 0.0f, 1.0f);
            const float t1 = std::clamp(static_cast<float>(static_cast<int64_t>(e.Top) + e.Height) *
                                            invCellHeight,
                                        0.0f, 1.0f);
            const TColor2& current = StyleStack[static_cast<std::size_t>(StyleCount - 1)].Colors;
            if (!(current == gradientColors)) {
                gradientColors = current;
                gradient = Gradient(current, alpha);
            }
            const TColor topColor = gradient.At(t0);
            const TColor bottomColor = gradient.At(t1);
            canvas->TexMap(TPoint4{TPoint2{left, top}, TPoint2{right, top}, TPoint2{right, bottom},
                                   TPoint2{left, bottom}},
                           TColor4(topColor, topColor, bottomColor, bottomColor), beNormal);
        }
        penX += (static_cast<float>(e.Width) + static_cast<float>(e.Trailing) + FKerning) * sx;
    }
    StyleCount = 0;
}

void TKilnFont::TextOut(TPoint2 pos, std::string_view text, bool centered, float alpha,
                        TColor2 colors) {
    Utf8ToUtf16(text, FWork);
    DrawLine(pos, FWork, centered, alpha, colors);
}

void TKilnFont::TextOut(TPoint2 pos, const TTSTextArray& lines, bool centered, float alpha,
                        TColor2 colors, float leading) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        TextOut(TPoint2{pos.x, pos.y + leading * static_cast<float>(i)}, lines[i], centered, alpha,
                colors);
    }
}

TTSTextArray TKilnFont::GetWordWrapedTextFromString(std::string_view text, float width) const {
    const std::u16string all = Utf8ToUtf16(text);
    const float limit = width * DisplayScale.x;
    if (width <= 0.0f || MeasureWidth(all) <= limit) return TTSTextArray{std::string(text)};

    TTSTextArray lines;
    std::u16string line;
    std::u16string word;
    std::u16string candidate;
    for (std::size_t i = 0; i < all.size(); ++i) {
        word.push_back(all[i]);
        const bool last = i + 1 == all.size();
        if (all[i] != u' ' && !last) continue;
        candidate = line;
        candidate += word;
        if (MeasureWidth(candidate) <= limit) {
            if (last) {
                lines.push_back(Utf16ToUtf8(candidate));
                line.clear();
            } else {
                line = candidate;
                line.push_back(u' ');
            }
        } else {
            if (!line.empty()) line.pop_back();
            lines.push_back(Utf16ToUtf8(line));
            line = word;
            line.push_back(u' ');
        }
        word.clear();
    }
    if (!line.empty()) lines.push_back(Utf16ToUtf8(line));
    return lines;
}

void TKilnFont::SaveState() {
    if (FStateCount < MaxStates) {
        StateStack[static_cast<std::size_t>(FStateCount)] = TFontState{
            FImageIndex, FFontSize, FDivSet, FParaSet, FScale, FKerning, FWhitespace, FLinespace};
    }
    ++FStateCount;
}

void TKilnFont::RestoreState() {
    if (FStateCount <= 0) return;
    --FStateCount;
    if (FStateCount >= MaxStates) return;
    const TFontState& s = StateStack[static_cast<std::size_t>(FStateCount)];
    FImageIndex = s.ImageIndex;
    FFontSize = s.FontSize;
    FDivSet = s.DivSet;
    FParaSet = s.ParaSet;
    FScale = s.Scale;
    FKerning = s.Kerning;
    FWhitespace = s.Whitespace;
    FLinespace = s.Linespace;
}

// --- TKilnFonts ------------------------------------------------------------------------------

int TKilnFonts::AddFont(const TXMLNode& description, std::string name, int imageIndex) {
    auto font = std::make_unique<TKilnFont>(this, std::move(name));
    font->FImageIndex = imageIndex;
    font->LoadDescription(ReadFontDescription(description));
    Fonts.push_back(std::move(font));
    const int index = Count() - 1;
    if (FOnItemLoad) FOnItemLoad(Fonts.back()->FName, index);
    return index;
}

int TKilnFonts::Insert(std::string_view descLink, std::string_view imageName,
                       TKilnArchive* archive) {
    std::string name = LinkKey(descLink);
    if (name.empty()) name = LinkItemName(descLink);
    const int imageIndex = FImages ? FImages->Resolve(imageName) : -1;
    std::unique_ptr<TXMLNode> description;
    if (imageIndex >= 0) description = ReadDescription(descLink, archive);
    if (!description) {
        WriteLog("Font " + std::string(descLink) + " not loaded: " +
                     (imageIndex < 0 ? "its picture " + std::string(imageName) + " is not loaded"
                                     : std::string("its description is missing or does not parse")),
                 1);
        if (FOnItemFail) FOnItemFail(name);
        return -1;
    }
    return AddFont(*description, std::move(name), imageIndex);
}

int TKilnFonts::Insert(const TXMLNode& description, std::string_view name,
                       std::string_view imageName) {
    const int imageIndex = FImages ? FImages->Resolve(imageName) : -1;
    if (imageIndex < 0) {
        WriteLog("Font " + std::string(name) + " not loaded: its picture " +
                     std::string(imageName) + " is not loaded",
                 1);
        if (FOnItemFail) FOnItemFail(std::string(name));
        return -1;
    }
    return AddFont(description, std::string(name), imageIndex);
}

TKilnFont* TKilnFonts::Font(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return Fonts[static_cast<std::size_t>(index)].get();
}

int TKilnFonts::IndexOf(std::string_view name) const {
    for (int i = 0; i < Count(); ++i) {
        if (AsciiSameText(Fonts[static_cast<std::size_t>(i)]->FName, name)) return i;
    }
    return -1;
}

void TKilnFonts::AddTag(std::string_view name, TColor2 colors, uint32_t style) {
    for (TFontTag& tag : Tags) {
        if (AsciiSameText(tag.Name, name)) {
            tag.Colors = colors;
            tag.Style = style;
            return;
        }
    }
    Tags.push_back(TFontTag{std::string(name), colors, style});
}

const TFontTag* TKilnFonts::FindTag(std::string_view name) const {
    for (const TFontTag& tag : Tags) {
        if (AsciiSameText(tag.Name, name)) return &tag;
    }
    return nullptr;
}

} // namespace bw
