// Reads arbitrary bytes as a font description. What is read must hold no negative cell size,
// and must read back the same from the tree it is written to.
#include "FuzzFail.h"
#include "data/KilnFonts.h"
#include "data/Xml.h"
#include "data/XmlLoad.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

bool Same(const bw::FontDescription& a, const bw::FontDescription& b) {
    if (a.FontSize.x != b.FontSize.x || a.FontSize.y != b.FontSize.y) return false;
    if (a.Glyphs.size() != b.Glyphs.size()) return false;
    for (size_t i = 0; i < a.Glyphs.size(); ++i)
        if (a.Glyphs[i].Code != b.Glyphs[i].Code || !(a.Glyphs[i].Entry == b.Glyphs[i].Entry))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto tree = bw::XMLFromBytes(data, size);
    if (!tree) return 0;
    const bw::FontDescription description = bw::ReadFontDescription(*tree);
    if (description.FontSize.x < 0 || description.FontSize.y < 0) Fail("negative cell size");
    const auto written = bw::WriteFontDescription(description);
    if (!written) Fail("description not written");
    if (!Same(bw::ReadFontDescription(*written), description)) Fail("reads back differently");
    return 0;
}
