#include "data/GameFonts.h"

#include "data/KilnFonts.h"
#include "data/KilnImages.h"

#include <string>

namespace bw {

int ToonFont = -1;
int ShadowFont = -1;

int LoadGameFont(std::string_view fontName, TKilnArchive* fontsArchive, TKilnImages& images,
                 TKilnFonts& fonts) {
    const std::string imageName = std::string(fontName) + ".image";
    if (images.AddFromArchive(imageName, fontsArchive) < 0) return -1;
    const std::string link = "Data\\Fonts.dan | " + std::string(fontName) + ".xml";
    const int index = fonts.Insert(link, imageName, fontsArchive);
    if (TKilnFont* font = fonts.Font(index)) {
        font->FKerning = 0.0f;
        font->FWhitespace = 15.0f;
    }
    return index;
}

bool LoadGameFonts(TKilnArchive* fontsArchive, TKilnImages& images, TKilnFonts& fonts) {
    ToonFont = LoadGameFont(ToonFontName, fontsArchive, images, fonts);
    ShadowFont = LoadGameFont(ShadowFontName, fontsArchive, images, fonts);
    return ToonFont >= 0 && ShadowFont >= 0;
}

} // namespace bw
