// Reads arbitrary bytes as a translation and lays it over a small English document, then over
// itself. The result is always an English document the game can read: every English record
// is still there, and a document laid over itself is unchanged.
#include "FuzzFail.h"
#include "data/TextDatabase.h"
#include "data/TextLanguage.h"
#include "data/XmlLoad.h"

#include <cstdint>
#include <string>

namespace {

const char kEnglish[] =
    "<text><messages><msg_ays text=\"Are you sure?\"><Parameters Width=\"560\">"
    "<Scale X=\"0.8\" Y=\"0.8\"/></Parameters></msg_ays>"
    "<msg_button_yes><Text><string Value=\"Yes\"/></Text><Parameters ButtonWidth=\"208\">"
    "<Scale X=\"1\" Y=\"1\"/><ButtonScale X=\"1\" Y=\"1\"/></Parameters></msg_button_yes>"
    "</messages><loading><Loading_Hints><loading_hint_0 text=\"A\"/><loading_hint_1 text=\"B\"/>"
    "</Loading_Hints></loading><credits><credit title=\"T\"><name string=\"N\"/></credit>"
    "</credits><tutorial><tutorial_1_1 text=\"Step\"/></tutorial></text>";

bw::TTSTextArray OneLine(const std::string& text, bw::TPoint2, int) {
    return {text};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const auto english = bw::XMLFromStrings({kEnglish});
    if (!english) Fail("the English document does not parse");
    const auto translation = bw::XMLFromBytes(data, size);
    if (!translation) return 0;

    std::vector<std::string> missing, extra;
    const auto merged = bw::MergeTranslation(*english, *translation, &missing, &extra);
    if (!merged || merged->Name() != english->Name()) Fail("the result is not an English document");
    bw::TextStore db;
    if (!bw::ReadTextDatabase(merged.get(), db, OneLine)) Fail("the result does not read");
    if (db.Messages.count("msg_ays") == 0 || db.Buttons.count("msg_button_yes") == 0 ||
        db.LoadingHints.size() != 2 || db.Credits.size() != 1 || db.Tutorial(1).size() != 1)
        Fail("an English record went missing");
    if (translation->ChildCount() == 0 &&
        (db.Message("msg_ays").Text != "Are you sure?" || db.Message("msg_ays").Width != 560))
        Fail("an empty translation changed an English record");

    // Laid over itself, a document reads as the same records.
    const auto same = bw::MergeTranslation(*translation, *translation);
    bw::TextStore plain, self;
    const bool a = bw::ReadTextDatabase(translation.get(), plain, OneLine);
    const bool b = bw::ReadTextDatabase(same.get(), self, OneLine);
    if (a != b || plain.Texts.size() != self.Texts.size() ||
        plain.Messages.size() != self.Messages.size() ||
        plain.Buttons.size() != self.Buttons.size() ||
        plain.WrapedTexts.size() != self.WrapedTexts.size() ||
        plain.Credits.size() != self.Credits.size() ||
        plain.LoadingHints.size() != self.LoadingHints.size())
        Fail("a document laid over itself reads as other records");
    return 0;
}
