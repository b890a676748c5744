// The two fonts every screen writes with, loaded from the fonts archive at start-up.
#pragma once

#include <string_view>

namespace bw {

class TKilnArchive;
class TKilnFonts;
class TKilnImages;

inline constexpr std::string_view ToonFontName = "WhizBangPow_Toon_32_1";
inline constexpr std::string_view ShadowFontName = "WhizBangPow_Shadow_32_1";

// Indices in the font catalogue; -1 while the font is not loaded.
extern int ToonFont;
extern int ShadowFont;

// Adds the image fontName + ".image" of the fonts archive to the image catalogue and inserts
// the font described by "Data\Fonts.dan | " + fontName + ".xml" (read from the same archive)
// with that image; then sets its kerning to 0 and its whitespace width to 15. Returns the
// font's index, or -1 when the image or the description is missing or damaged.
int LoadGameFont(std::string_view fontName, TKilnArchive* fontsArchive, TKilnImages& images,
                 TKilnFonts& fonts);

// Loads ToonFont and ShadowFont. True when both are loaded; a font that fails keeps -1 and
// texts drawn with it show nothing.
bool LoadGameFonts(TKilnArchive* fontsArchive, TKilnImages& images, TKilnFonts& fonts);

} // namespace bw
