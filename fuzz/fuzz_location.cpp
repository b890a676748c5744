// Reads arbitrary bytes as a location file, as the game reads one from its archive, and
// checks that a refused document changes nothing and that a read one reads the same again.
#include "FuzzFail.h"
#include "board/Location.h"
#include "data/XmlLoad.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

bool Same(const bw::TLocationOptions& a, const bw::TLocationOptions& b) {
    return a.FMapImage == b.FMapImage && a.FWallsImage == b.FWallsImage &&
           a.FMapSize.x == b.FMapSize.x && a.FMapSize.y == b.FMapSize.y &&
           a.FLocObjects_Sprite.size() == b.FLocObjects_Sprite.size() &&
           a.FLocObjects_Particles.size() == b.FLocObjects_Particles.size() &&
           a.FMapCentres.size() == b.FMapCentres.size();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto tree = bw::XMLFromBytes(data, size);

    bw::TLocationOptions options;
    bw::ResetLocationOptions(options);
    const bw::TLocationOptions fresh = options;
    const bool read = bw::ReadLocationOptions(tree.get(), "fuzz.xml", options);
    if (!read) {
        if (!Same(options, fresh)) Fail("refused document changed the options");
        return 0;
    }
    if (options.FLocationFileName != "fuzz.xml") Fail("file name not kept");
    if (options.FMapElementsAnimCount < 0) Fail("negative pattern count");

    bw::TLocationOptions again;
    bw::ResetLocationOptions(again);
    if (!bw::ReadLocationOptions(tree.get(), "fuzz.xml", again)) Fail("second read refused");
    if (!Same(again, options)) Fail("the same document read differently");
    return 0;
}
