// Reads arbitrary bytes as the text database document, through both readers the game uses.
// A refused document must leave the records alone; whatever is read must be stable when the
// same document is read again.
#include "FuzzFail.h"
#include "data/TextDatabase.h"
#include "data/XmlLoad.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

bw::TTSTextArray OneLine(const std::string& text, bw::TPoint2, int) {
    return {text};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto tree = bw::XMLFromBytes(data, size);

    bw::TextStore db;
    db.Strings["kept"] = "before";
    const bool app = bw::ReadApplicationTexts(tree.get(), db);
    const bool all = bw::ReadTextDatabase(tree.get(), db, OneLine);
    if (app != all) Fail("the two readers disagree about the document");
    if (!all && (db.Strings.size() != 1 || db.Strings["kept"] != "before"))
        Fail("refused document changed the records");
    if (!all) return 0;

    bw::TextStore again;
    bw::ReadTextDatabase(tree.get(), again, OneLine);
    bw::ReadTextDatabase(tree.get(), again, OneLine);
    if (again.Texts.size() != db.Texts.size() || again.Messages.size() != db.Messages.size() ||
        again.Buttons.size() != db.Buttons.size() || again.Credits.size() != db.Credits.size())
        Fail("reading twice gives other records");
    for (const auto& [key, text] : db.Texts) {
        (void)text;
        db.PlainText(key);
    }
    return 0;
}
