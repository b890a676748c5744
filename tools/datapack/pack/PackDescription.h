// The description of one archive: the file "archive.xml" in the archive's source folder,
// listing what goes into the archive of the folder's name + ".dan".
//
//   <archive>
//     <image key="K.image" svg="F.svg" pattern="WxH" [visible="WxH"] [frames="N"] [count="N"]>
//       <param name="P" value="text"/>              same for every frame
//       <param name="P" from="A" to="B"/>           linear from A (first frame) to B (last)
//       <param name="P" values="v0,v1,..."/>        one value per frame
//       <frame><param name="P" value="text"/></frame>   one element per frame
//     </image>
//     <image key="K.image" draw="PROGRAM" pattern="WxH" [frames="N"] [seed="S"] .../>
//     <file key="K" src="F"/>
//     <font name="N" face="FONT FILE" size="PX" [style="plain|shadow"] [ranges="20-7E,..."]
//           [outline="PX"] [shadow="PX"] [blur="PX"]/>
//     <sound key="K.ogg" recipe="F" .../>  <music key="K.ogg" src="F.abc" .../>  (PackSound.h)
//   </archive>
//
// Frames are numbered from 0. The number of frames is the "frames" attribute, else the number
// of <frame> elements, else the length of a "values" list, else 1. A <frame>'s parameters
// override the image's own. Every frame also knows the parameters "frame" (its number),
// "frames" and "seed", unless the description defines parameters of those names.
#pragma once

#include "pack/PackSound.h"
#include "pack/PackTemplate.h"
#include "render/Types.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace bw::pack {

struct ImageItem {
    std::string Key;
    std::string Svg;  // file name in the archive folder, or empty
    std::string Draw; // name of a drawing program, or empty
    TPoint2px Pattern;
    TPoint2px Visible; // (0, 0) = the whole cell
    int Count = 0;     // patterns stored; at most the number of frames
    uint64_t Seed = 0;
    std::vector<ParamMap> Frames; // the parameters of every frame, at least one
    std::string Where;            // names the item in messages
};

struct FileItem {
    std::string Key;
    std::string Src;
    std::string Where;
};

struct FontItem {
    std::string Name; // records Name + ".image" and Name + ".xml"
    std::string Face; // font file: absolute, or relative to the archive folder
    int Size = 0;     // pixel size of the em square
    bool Shadow = false;
    std::vector<std::pair<uint32_t, uint32_t>> Ranges; // inclusive code point ranges
    int Outline = 2;                                   // shadow style only
    int ShadowOffset = 2;
    int Blur = 2;
    std::string Where;
};

struct ArchiveDescription {
    std::filesystem::path Folder;
    std::string Name; // the folder's name; the archive is Name + ".dan"
    std::vector<ImageItem> Images;
    std::vector<FileItem> Files;
    std::vector<FontItem> Fonts;
    std::vector<SoundItem> Sounds; // <sound> and <music>, see PackSound.h
    std::vector<std::string> Warnings;
};

// The code points a font holds when it gives no ranges: printable ASCII, Latin-1, Cyrillic
// and common typographic punctuation.
const char* DefaultFontRanges();

// Reads and checks "archive.xml" of a folder. Messages name the file and the item.
bool ReadArchiveDescription(const std::filesystem::path& folder, ArchiveDescription& out,
                            std::string& error);

// "WxH" with both sides positive.
bool ParseSize(std::string_view text, TPoint2px& out);
// "20-7E,A0-FF,2026" (hexadecimal; single codes allowed).
bool ParseRanges(std::string_view text, std::vector<std::pair<uint32_t, uint32_t>>& out);

} // namespace bw::pack
