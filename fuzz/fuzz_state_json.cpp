// Reads arbitrary bytes as a state dump and looks a few paths up in it, as the replay
// harness's expectations do: nothing may crash, a value found must be readable, and a dump
// that reads must read the same after being written back.
#include "FuzzFail.h"
#include "replay/JsonPath.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // The first line doubles as a path, so the path reader sees arbitrary text too.
    const std::string path(text.substr(0, std::min<size_t>(text.find('\n'), 64)));
    bw::JsonValue root;
    std::string error;
    if (!bw::ParseJson(text, root, error)) {
        if (error.empty()) Fail("failure without a reason");
        bw::FindJsonPath(root, path);
        return 0;
    }
    for (const char* p : {"scene", "player.Score", "buttons[0].name", "board.cells[3].bird"})
        if (const bw::JsonValue* v = bw::FindJsonPath(root, p)) bw::JsonValueText(*v);
    bool bad = false;
    bw::FindJsonPath(root, path, &bad);
    // Strings written back keep their text only when they hold no quote or backslash.
    if (text.find('\\') == std::string_view::npos) {
        bw::JsonValue again;
        const std::string written = root.type == bw::JsonValue::Type::String
                                        ? "\"" + root.text + "\""
                                        : bw::JsonValueText(root);
        if (!bw::ParseJson(written, again, error)) Fail("written value does not read back");
    }
    return 0;
}
