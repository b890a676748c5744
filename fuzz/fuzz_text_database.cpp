// Reads arbitrary bytes as the text database document, through both readers the game uses.
// A refused document must leave the records alone; whatever is read must be stable when the
// same document is read again.
#include "FuzzFail.h"
#include "data/TextDatabase.h"
#include "data/XmlLoad.h"
#include "ingame/DialogMotion.h"

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
    // Whatever a dialog line says, its panel arrives and its character stops talking, so the
    // level behind it can always be clicked on.
    for (int level = 0; level <= bw::DialogLevelCount + 1; ++level) {
        for (const bw::TDialogTSText& line : db.Dialog(level)) {
            const auto rest = static_cast<float>(line.Pos.x);
            float x = bw::DialogSlideStart(rest, line.Direction), speed = 5;
            int steps = 0;
            while (!bw::DialogSlideStep(x, rest, line.Direction, speed))
                if (++steps > 200) Fail("a dialog panel never arrives");
            int stage = 1;
            for (int n = 0; n < 8; ++n)
                stage = bw::DialogNextTalkStage(line.Character, stage, true);
            if (line.Character >= 1 && line.Character <= 4 && stage < 2)
                Fail("a silent character goes on talking");
            if (bw::DialogSlideAlpha(x, rest) != 255) Fail("an arrived panel is not opaque");
        }
    }
    for (const auto& [key, text] : db.Texts) {
        (void)text;
        db.PlainText(key);
    }
    return 0;
}
