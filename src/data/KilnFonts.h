// Bitmap fonts. A font is a table of glyph rectangles, one entry per UTF-16 code unit, cut
// from an image of the image catalogue (its first texture). Text in the game is UTF-8; it is
// measured and drawn code unit by code unit after conversion to UTF-16.
//
// Sizes: a font measures and draws at FScale times DisplayScale, so widths and heights are in
// client pixels; positions given to TextOut are design coordinates.
//
// Inline markup: a "<" with a ">" somewhere after it starts markup up to the first ">". The
// enclosed name pushes the colours of the registered tag of that name, "/" pops the colours
// in effect; the markup itself is neither drawn nor measured. Text drawn while no colours are
// in effect (after a "/" has popped the colours TextOut was given) advances as whitespace.
//
// Spacer: "#{N}" with N an integer moves the pen N design units to the right when drawing; it
// is measured as its ordinary characters.
//
// Font description (XML): the root's attributes "width" and "height" are the font cell size;
// every child named "item" (any letter case) is a glyph: its code from "ascii" when that is
// 0..255, otherwise from "ucode" (0..65535; a glyph with neither is skipped), and "top", "x",
// "y", "width", "height", "leading", "trailing" (default 0). x, y, width and height are the
// glyph's rectangle in the font image, top its vertical offset inside the cell, leading and
// trailing the space before and after it. Only glyphs of positive width and height are
// drawn; every other code unit advances by the whitespace width.
#pragma once

#include "data/TextRecords.h"
#include "data/Utf16.h"

#include "render/Canvas.h"
#include "render/Types.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace bw {

class TKilnArchive;
class TKilnImages;
class TKilnFonts;
class TXMLNode;

struct LetterEntry {
    int32_t Top = 0;
    int32_t X = 0;
    int32_t Y = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t Leading = 0;
    int32_t Trailing = 0;
    bool HasGlyph() const { return Width > 0 && Height > 0; }
    friend bool operator==(const LetterEntry&, const LetterEntry&) = default;
};

// A font description in memory: the cell size and the glyphs in document order.
struct FontGlyph {
    char16_t Code = 0;
    LetterEntry Entry;
};
struct FontDescription {
    TPoint2px FontSize;
    std::vector<FontGlyph> Glyphs;
};

// Reads a description tree (see the top of this file). A negative cell size counts as 0.
FontDescription ReadFontDescription(const TXMLNode& root);
// Builds the tree ReadFontDescription reads back: a root "font" and one "item" per glyph,
// with "ascii" for codes below 128 and "ucode" for the others.
std::unique_ptr<TXMLNode> WriteFontDescription(const FontDescription& description);

// What SaveState keeps.
struct TFontState {
    int ImageIndex = -1;
    TPoint2px FontSize;
    std::string DivSet;
    std::string ParaSet;
    TPoint2 Scale{1.0f, 1.0f};
    float Kerning = -1.0f;
    float Whitespace = 5.0f;
    float Linespace = 2.0f;
};

// A named colour pair that markup can select.
struct TFontTag {
    std::string Name;
    TColor2 Colors;
    uint32_t Style = 0;
};

class TKilnFont {
public:
    static constexpr int MaxStyles = 16;
    static constexpr int MaxStates = 16;
    static constexpr int EntryCount = 65536;

    TKilnFonts* FOwner = nullptr;
    std::string FName;
    int FImageIndex = -1; // in the owner's image catalogue; -1 = none
    TPoint2px FFontSize;  // the font cell
    TPoint2 FScale{1.0f, 1.0f};
    float FKerning = -1.0f;
    float FWhitespace = 5.0f;
    float FLinespace = 2.0f;
    std::string FParaSet = "\n";
    std::string FDivSet = "\r \b";

    explicit TKilnFont(TKilnFonts* owner = nullptr, std::string name = {});

    const LetterEntry& Entry(char16_t code) const { return Entries[code]; }
    void SetEntry(char16_t code, const LetterEntry& entry) { Entries[code] = entry; }
    // Clears the glyph table, then takes the cell size and the glyphs of the description.
    void LoadDescription(const FontDescription& description);

    // The size of one line at FScale and DisplayScale, in client pixels.
    TPoint2 TextExtent(std::string_view text) const;
    float TextWidth(std::string_view text) const { return TextExtent(text).x; }
    float TextHeight(std::string_view text) const { return TextExtent(text).y; }

    // Draws one line with its top-left corner at pos, or centred on pos. Colors is the
    // vertical gradient across the font cell; the corner alpha is the colour's alpha times
    // alpha, clamped to 0..255.
    void TextOut(TPoint2 pos, std::string_view text, bool centered, float alpha, TColor2 colors);
    // Draws line i at pos + (0, leading * i), each left-aligned or centred.
    void TextOut(TPoint2 pos, const TTSTextArray& lines, bool centered, float alpha, TColor2 colors,
                 float leading);
    void TextMidF(TPoint2 pos, std::string_view text, float alpha, TColor2 colors) {
        TextOut(pos, text, true, alpha, colors);
    }

    // Splits a paragraph into lines no wider than width design units at the current scale.
    // Words on a wrapped line are joined by two spaces; a first word wider than the width
    // leaves an empty first line. Width <= 0, or a text that fits, gives the text unchanged.
    TTSTextArray GetWordWrapedTextFromString(std::string_view text, float width) const;

    // Pushes and pops the image, cell size, sets, scale, kerning, whitespace and line space.
    // Up to MaxStates states are kept; deeper saves are counted but not stored, and the
    // matching restores change nothing.
    void SaveState();
    void RestoreState();
    int StateCount() const { return FStateCount; }

private:
    struct FontStyle {
        TColor2 Colors;
        uint32_t Style = 0;
    };

    std::vector<LetterEntry> Entries;
    std::array<FontStyle, MaxStyles> StyleStack{};
    int StyleCount = 0;
    std::array<TFontState, MaxStates> StateStack{};
    int FStateCount = 0;
    mutable std::u16string FWork; // conversion buffer, reused between calls

    float MeasureWidth(std::u16string_view text) const;
    void DrawLine(TPoint2 pos, std::u16string_view text, bool centered, float alpha,
                  TColor2 colors);
    void PushStyle(const TColor2& colors, uint32_t style);
    void ApplyMarkup(std::u16string_view name);
};

class TKilnFonts {
public:
    std::vector<std::unique_ptr<TKilnFont>> Fonts;
    std::vector<TFontTag> Tags; // none registered by the game
    std::function<void(const std::string& name, int index)> FOnItemLoad;
    std::function<void(const std::string& name)> FOnItemFail;

    TKilnFonts(TKilnImages* images, Canvas* canvas) : FImages(images), FCanvas(canvas) {}
    TKilnFonts(const TKilnFonts&) = delete;
    TKilnFonts& operator=(const TKilnFonts&) = delete;

    TKilnImages* Images() const { return FImages; }
    Canvas* GetCanvas() const { return FCanvas; }
    void SetCanvas(Canvas* canvas) { FCanvas = canvas; }

    // Inserts a font drawn from the image of that name and described by the media link
    // ("archive | key" or a file path). With `archive`, an archive link's key is read from it
    // first; otherwise, or when that fails, from the archive file or file the link names
    // (resolved against the program's folder, then as a path of its own: relative to the
    // current folder, or absolute). Returns the font's index, or -1 when the image is not
    // loaded or the description cannot be read.
    int Insert(std::string_view descLink, std::string_view imageName,
               TKilnArchive* archive = nullptr);
    // The same with a description already parsed; the font is named `name`.
    int Insert(const TXMLNode& description, std::string_view name, std::string_view imageName);

    int Count() const { return static_cast<int>(Fonts.size()); }
    TKilnFont* Font(int index) const;
    // Case-insensitive (ASCII) lookup by name; -1 when absent.
    int IndexOf(std::string_view name) const;
    void Clear() { Fonts.clear(); }

    // Registers (or redefines) the colours that markup "<name>" selects.
    void AddTag(std::string_view name, TColor2 colors, uint32_t style = 0);
    const TFontTag* FindTag(std::string_view name) const;

private:
    TKilnImages* FImages = nullptr;
    Canvas* FCanvas = nullptr;

    int AddFont(const TXMLNode& description, std::string name, int imageIndex);
};

} // namespace bw
