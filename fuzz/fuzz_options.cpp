// Reads arbitrary bytes as the options file "Game.ini". Reading must never fail loudly; the
// text written for any options must read back to the same values.
#include "FuzzFail.h"
#include "base/GameOptions.h"
#include "data/IniFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    bw::IniFile ini;
    if (ini.Parse(text) < 0) Fail("negative count of damaged lines");

    // Whatever was read, writing it and reading it again keeps every value.
    const std::string written = ini.ToText();
    bw::IniFile again;
    again.Parse(written);
    if (again.ToText() != written) Fail("written text does not read back the same");

    // Every value read from the file goes through the same conversions as the options.
    const double volume = ini.ReadFloat("OPTIONS", "MusicVolume", 0.5);
    if (volume != volume) Fail("a volume read as not-a-number");
    ini.ReadInteger("OPTIONS", "Resolution", 99);
    ini.ReadBool("TEST", "Fps", false);

    // A profile name of any bytes goes to disk and comes back, line breaks turned to spaces
    // and NUL bytes left out (a file holding one would read as damaged).
    bw::TGameOptions options;
    options.LastProfileName = std::string(text.substr(0, 64));
    std::string expected = options.LastProfileName;
    for (char& c : expected)
        if (c == '\n' || c == '\r') c = ' ';
    std::erase(expected, '\0');
    bw::IniFile saved;
    if (saved.Parse(bw::OptionsFileText(options)) != 0) Fail("written options file is damaged");
    if (saved.ReadString("OPTIONS", "LastProfileName", "?") != expected)
        Fail("profile name does not read back");
    return 0;
}
