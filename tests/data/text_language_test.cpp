// Choosing the language of the texts, and a translation laid over the English document.
#include "data/TextLanguage.h"

#include "data/TextDatabase.h"
#include "data/Xml.h"
#include "data/XmlLoad.h"
#include "data_test_util.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace bw {
namespace {

std::unique_ptr<TXMLNode> Parse(const std::string& xml) {
    auto root = XMLFromStrings({xml});
    EXPECT_NE(root, nullptr) << xml;
    return root;
}

std::string Desktop(const std::map<std::string, std::string>& env) {
    return DesktopLanguage([&env](const char* name) -> const char* {
        const auto it = env.find(name);
        return it == env.end() ? nullptr : it->second.c_str();
    });
}

TEST(TextLanguage, TheDesktopsLocaleNamesTheLanguageInGettextsOrder) {
    EXPECT_EQ(LocaleLanguage("de_DE.UTF-8"), "de");
    EXPECT_EQ(LocaleLanguage("de_AT@euro"), "de");
    EXPECT_EQ(LocaleLanguage("DE"), "de");
    for (const char* none : {"", "C", "POSIX", "C.UTF-8", "../de", "d e"})
        EXPECT_EQ(LocaleLanguage(none), "") << none;

    EXPECT_EQ(Desktop({}), "");
    EXPECT_EQ(Desktop({{"LANG", "de_DE.UTF-8"}}), "de");
    EXPECT_EQ(Desktop({{"LANG", "fr_FR.UTF-8"}, {"LC_MESSAGES", "de_CH.UTF-8"}}), "de");
    EXPECT_EQ(Desktop({{"LC_MESSAGES", "fr_FR"}, {"LC_ALL", "de_DE"}}), "de");
    // LANGUAGE's first entry comes before all; a C locale names nothing and is passed over.
    EXPECT_EQ(Desktop({{"LANGUAGE", "de:en_GB:en"}, {"LC_ALL", "fr_FR.UTF-8"}}), "de");
    EXPECT_EQ(Desktop({{"LANGUAGE", ""}, {"LC_ALL", "C"}, {"LANG", "de_DE.UTF-8"}}), "de");
    EXPECT_EQ(Desktop({{"LANGUAGE", "C:de"}, {"LANG", "en_US.UTF-8"}}), "en");
}

TEST(TextLanguage, TheOptionOverridesTheDesktopAndAnUnknownLanguageGivesEnglish) {
    std::string note;
    EXPECT_EQ(ChooseTextLanguage("", "de", &note), "de");
    EXPECT_EQ(ChooseTextLanguage(" de ", "fr", &note), "de");
    EXPECT_EQ(ChooseTextLanguage("en", "de", &note), "");
    EXPECT_TRUE(note.empty()) << note;
    EXPECT_EQ(ChooseTextLanguage("", "xx", &note), "");
    EXPECT_NE(note.find("\"xx\""), std::string::npos) << note;
    EXPECT_NE(note.find("locale"), std::string::npos) << note;
    note.clear();
    EXPECT_EQ(ChooseTextLanguage("klingon", "de", &note), "");
    EXPECT_NE(note.find("options file"), std::string::npos) << note;
    EXPECT_EQ(TranslationDocumentKey("de"), "Text_de.xml");
    EXPECT_EQ(TranslationDocumentKey(""), "");
}

// An English document with each record type, and a translation that gives only texts, one
// layout value of its own, a shorter caption, one key English lacks and two keys fewer.
const char kEnglish[] =
    "<text><messages>"
    "<msg_ays text=\"Are you sure?\"><Parameters Width=\"560\" PanelTemplate=\"2\">"
    "<Scale X=\"0.8\" Y=\"0.8\"/></Parameters></msg_ays>"
    "<msg_button_yes><Text><string Value=\"Yes,\"/><string Value=\"please\"/></Text>"
    "<Parameters ButtonWidth=\"208\"><Scale X=\"1\" Y=\"1\"/><ButtonScale X=\"1\" Y=\"1\"/>"
    "</Parameters></msg_button_yes>"
    "<msg_noprofiles text=\"No players\"><Parameters Width=\"400\"/></msg_noprofiles>"
    "</messages>"
    "<loading><Loading_Hints><loading_hint_0 text=\"Hint A\"><Parameters Width=\"900\"/>"
    "</loading_hint_0><loading_hint_1 text=\"Hint B\"/></Loading_Hints></loading>"
    "<credits><Credits_Back_Button><Text><string Value=\"Back\"/></Text></Credits_Back_Button>"
    "</credits>"
    "<credits><credit title=\"Code\"><name string=\"The team\"/></credit>"
    "<credit title=\"Thanks\"/></credits>"
    "</text>";
const char kGerman[] =
    "<text><messages>"
    "<msg_ays text=\"Bist du sicher?\"><Parameters Width=\"600\"/></msg_ays>"
    "<msg_button_yes><Text><string Value=\"Ja\"/></Text></msg_button_yes>"
    "<msg_new text=\"Neu\"/>"
    "</messages>"
    "<loading><Loading_Hints><loading_hint_0 text=\"Tipp A\"/></Loading_Hints></loading>"
    "<credits><Credits_Back_Button><Text><string Value=\"Zurück\"/></Text>"
    "</Credits_Back_Button></credits>"
    "<credits><credit title=\"Programmierung\"><name string=\"Das Team\"/></credit>"
    "<credit title=\"Danke\"/></credits>"
    "</text>";

TEST(TextTranslation, TextsComeFromTheTranslationAndEverythingElseFromEnglish) {
    const auto english = Parse(kEnglish);
    const auto german = Parse(kGerman);
    std::vector<std::string> missing, extra;
    const auto merged = MergeTranslation(*english, *german, &missing, &extra);
    TextStore db;
    ASSERT_TRUE(ReadTextDatabase(merged.get(), db, {}));

    // The one layout value the translation gives replaces the English one; the rest stays.
    const TTSTextMessage& ays = db.Message("msg_ays");
    EXPECT_EQ(ays.Text, "Bist du sicher?");
    EXPECT_EQ(ays.Width, 600);
    EXPECT_EQ(ays.PanelTemplate, 2);
    EXPECT_FLOAT_EQ(ays.Scale.x, 0.8f);
    // A caption's lines are the translation's, however many the English one had.
    const TTSTextButton& yes = db.Button("msg_button_yes");
    EXPECT_EQ(yes.Text, (TTSTextArray{"Ja"}));
    EXPECT_EQ(yes.ButtonWidth, 208);
    EXPECT_FLOAT_EQ(yes.ButtonScale.x, 1.0f);
    // What the translation lacks shows in English; what English lacks is left out.
    EXPECT_EQ(db.Message("msg_noprofiles").Text, "No players");
    EXPECT_EQ(db.Message("msg_noprofiles").Width, 400);
    EXPECT_EQ(db.PlainText("msg_new"), "");
    ASSERT_EQ(db.LoadingHints.size(), 2u);
    EXPECT_EQ(db.LoadingHints[0].Text, (TTSTextArray{"Tipp A"}));
    EXPECT_EQ(db.LoadingHints[1].Text, (TTSTextArray{"Hint B"}));
    // Sections of the same name pair up in order, and so do the credits in them.
    EXPECT_EQ(db.Button("Credits_Back_Button").Text, (TTSTextArray{"Zurück"}));
    ASSERT_EQ(db.Credits.size(), 2u);
    EXPECT_EQ(db.Credits[0].Title, "Programmierung");
    EXPECT_EQ(db.Credits[0].Names, (TTSTextArray{"Das Team"}));
    EXPECT_EQ(db.Credits[1].Title, "Danke");

    EXPECT_EQ(missing, (std::vector<std::string>{"messages/msg_noprofiles",
                                                 "loading/Loading_Hints/loading_hint_1"}));
    EXPECT_EQ(extra, (std::vector<std::string>{"messages/msg_new"}));
    // The English document is left as it was.
    EXPECT_EQ(english->GetChildNode("messages")->GetChildNode("msg_ays")->GetFieldValue("text"),
              "Are you sure?");
}

TEST(TextTranslation, TheChosenLanguageIsLoadedBesideTheDocumentAndABadOneLeavesEnglish) {
    test::TempDir dir;
    const TextDatabaseSourceFolders saved = TextDatabaseSource();
    test::WriteText(dir.File("Text.xml"), kEnglish);
    TextDatabaseSource() =
        TextDatabaseSourceFolders{dir.Path().string(), dir.File("Text.xml"), "de"};
    ResetTextDatabase();

    // No translation file yet: English, and the load still succeeds.
    EXPECT_TRUE(LoadTextDatabase());
    EXPECT_EQ(GameText("msg_ays"), "Are you sure?");
    // UTF-8 with a byte-order mark, as a translator's editor saves it.
    test::WriteText(dir.File("Text_de.xml"), std::string("\xEF\xBB\xBF") + kGerman);
    EXPECT_TRUE(LoadTextDatabase());
    EXPECT_EQ(GameText("msg_ays"), "Bist du sicher?");
    EXPECT_EQ(GameText("Credits_Back_Button"), "Zur\xC3\xBC"
                                               "ck");
    // A damaged translation: English again, not a half-read mix.
    test::WriteText(dir.File("Text_de.xml"), "<text><messages><msg_ays text=\"Bi");
    EXPECT_TRUE(LoadTextDatabase());
    EXPECT_EQ(GameText("msg_ays"), "Are you sure?");
    test::WriteText(dir.File("Text_de.xml"), "<words/>");
    EXPECT_TRUE(LoadTextDatabase());
    EXPECT_EQ(GameText("msg_ays"), "Are you sure?");

    TextDatabaseSource() = saved;
    ResetTextDatabase();
}

} // namespace
} // namespace bw
