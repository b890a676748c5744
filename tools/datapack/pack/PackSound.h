// Sounds of an archive description:
//
//   <sound key="K.ogg" recipe="FILE" [name="N"] [quality="Q"]/>
//       the recipe N (default: the key without ".ogg") of the recipe file FILE, synthesised
//   <music key="K.ogg" src="F.abc|F.mid" [loudness="DB"] [peak="DB"] [soundfont="SF2"]
//          [quality="Q"]/>
//       note data played through a General MIDI soundfont, made into a seamless loop
//
// Both become Ogg Vorbis records (quality -0.1 .. 1, default 0.4).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace bw {
class TXMLNode;
}

namespace bw::pack {

struct SoundItem {
    std::string Key;
    bool Music = false;
    std::string Recipe; // recipe file (sound)
    std::string Name;   // recipe name (sound)
    std::string Src;    // note data (music)
    std::string SoundFont;
    double PeakDb = -2, LoudnessDb = -20;
    float Quality = 0.4f;
    std::string Where;
};

// Whether an archive.xml element (lower case) is one of the sound elements.
bool IsSoundElement(std::string_view name);

// Reads one sound element. Unknown attributes add warnings; mistakes give the error.
bool ReadSoundItem(const TXMLNode& node, int index, const std::filesystem::path& folder,
                   std::vector<SoundItem>& out, std::vector<std::string>& warnings,
                   std::string& error);

// The Ogg Vorbis bytes of an item.
bool BuildSoundItem(const std::filesystem::path& folder, const SoundItem& item,
                    std::vector<uint8_t>& bytes, std::string& error);

} // namespace bw::pack
