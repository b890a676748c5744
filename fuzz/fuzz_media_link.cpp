// Splits arbitrary text as a media link. The parts must agree with each other: only a link
// with "|" has a key, keys are trimmed, item names use "\" alone, file
// paths under the program's folder use "/" only.
#include "FuzzFail.h"
#include "data/MediaLink.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool folderSet = [] {
        bw::SetProgramFolder("/program/");
        return true;
    }();
    (void)folderSet;
    const std::string_view link(reinterpret_cast<const char*>(data), size);
    const bool archive = bw::IsArchiveLink(link);
    const std::string key = bw::LinkKey(link);
    const std::string item = bw::LinkItemName(link);
    const std::string path = bw::LinkArchivePath(link);
    if (link.find('|') == std::string_view::npos && (!key.empty() || archive))
        Fail("a link without '|' has a key");
    if (item.find('/') != std::string::npos) Fail("'/' in an item name");
    if (!key.empty() && (key.front() == ' ' || key.back() == ' ')) Fail("key not trimmed");
    if (path.rfind(bw::ProgramFolder(), 0) == 0 && path.find('\\') != std::string::npos)
        Fail("'\\' in a file path");
    return 0;
}
