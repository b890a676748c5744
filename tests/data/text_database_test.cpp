#include "data/TextDatabase.h"

#include "data/ArchiveAccess.h"
#include "data/KilnArchive.h"
#include "data/Xml.h"
#include "data/XmlLoad.h"
#include "data_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace bw {
namespace {

using test::TempDir;
using test::WriteText;

std::unique_ptr<TXMLNode> Parse(const std::string& xml) {
    auto root = XMLFromStrings({xml});
    EXPECT_NE(root, nullptr) << xml;
    return root;
}

// Reads a document given as the text inside <Text>..</Text> into a fresh database.
TextStore ReadBody(const std::string& body, const TextWrapperFunction& wrap = {}) {
    TextStore db;
    auto root = Parse("<Text>" + body + "</Text>");
    EXPECT_TRUE(ReadTextDatabase(root.get(), db, wrap));
    return db;
}

// --- Placeholders --------------------------------------------------------------------------------

TEST(TextPlaceholders, InsertRemoveOrKeep) {
    EXPECT_EQ(ReplacePlaceholders("Hello %{0} there", MakeTextVars("Ann")), "Hello Ann there");
    EXPECT_EQ(ReplacePlaceholders("Hello %{0} there", {}), "Hello  there");
    EXPECT_EQ(ReplacePlaceholders("%{1}/%{0}%{0}", MakeTextVars("a", "b")), "b/aa");
    EXPECT_EQ(ReplacePlaceholders("n=%{2}.%{-1}", MakeTextVars("a", "b")), "n=.");
    // Anything but a whole number between closed braces is not a placeholder.
    EXPECT_EQ(ReplacePlaceholders("a %{x} %{} %{1x}%{0}", MakeTextVars("v")), "a %{x} %{} %{1x}v");
    EXPECT_EQ(ReplacePlaceholders("left %{0", MakeTextVars("v")), "left %{0");
    EXPECT_EQ(ReplacePlaceholders("100%", MakeTextVars("v")), "100%");
    EXPECT_EQ(ReplacePlaceholdersInLines({"Score: %{0}", "", "of %{1}"}, MakeTextVars("5", "9")),
              (TTSTextArray{"Score: 5", "", "of 9"}));
}

TEST(TextPlaceholders, InsertedValuesAreNotExpandedAgain) {
    // A player may call himself "a%{0}": the name is shown as typed, and the scan ends.
    EXPECT_EQ(ReplacePlaceholders("[%{0}]", MakeTextVars("a%{0}")), "[a%{0}]");
    EXPECT_EQ(ReplacePlaceholders("%{0} %{1}", MakeTextVars("x%{1}", "b")), "x%{1} b");
}

// --- Records and their defaults ------------------------------------------------------------------

TEST(TextRecordDefaults, DefaultsDifferByRecordType) {
    const TextStore db = ReadBody(R"(
        <options><Options_Title><Parameters><Scale Y="2"/></Parameters></Options_Title></options>
        <help><help_1 text="p"><Parameters><Scale Y="2"/></Parameters></help_1></help>
        <messages>
          <msg_ays text="Sure?"><Parameters PanelTemplate="two" Width="12px"><Scale/>
            <PanelScale X="wide" Y="0.5"/></Parameters></msg_ays>
          <msg_button_ok><Parameters><Scale/><ButtonScale/></Parameters></msg_button_ok>
        </messages>
        <dialogs><dialog_1_1 text="Hi"><Parameters><Scale/></Parameters></dialog_1_1></dialogs>
        <tutorial><tutorial_1_1><Parameters><Scale/></Parameters></tutorial_1_1></tutorial>)");
    EXPECT_EQ(db.Text("Options_Title").Scale, (TPoint2{0.0f, 2.0f}));
    EXPECT_EQ(db.WrapedText("help_1").Scale, (TPoint2{1.0f, 2.0f}));
    EXPECT_EQ(db.Button("msg_button_ok").Scale, (TPoint2{0.0f, 0.0f}));
    EXPECT_EQ(db.Button("msg_button_ok").ButtonScale, (TPoint2{0.0f, 0.0f}));

    // Malformed values fall back to the defaults.
    const TTSTextMessage& m = db.Message("msg_ays");
    EXPECT_EQ(m.Text, "Sure?");
    EXPECT_EQ(m.PanelTemplate, 1);
    EXPECT_EQ(m.Width, 0);
    EXPECT_EQ(m.Scale, (TPoint2{1.0f, 1.0f}));
    EXPECT_EQ(m.PanelScale, (TPoint2{1.0f, 0.5f}));

    ASSERT_EQ(db.Dialog(1).size(), 1u);
    const TDialogTSText& d = db.Dialog(1)[0];
    EXPECT_EQ(d.Character, 1);
    EXPECT_EQ(d.Voice, 1);
    EXPECT_FLOAT_EQ(d.SpeakSpeed, 1.0f);
    EXPECT_EQ(d.Scale, (TPoint2{1.0f, 1.0f}));
    ASSERT_EQ(db.Tutorial(1).size(), 1u);
    EXPECT_EQ(db.Tutorial(1)[0].Template, 1);
}

TEST(TextRecords, ButtonReadsEveryField) {
    const TextStore db = ReadBody(R"(
        <mainmenu><Exit_button>
          <Text><string Value="Leave"/><String Value="lost"/><string Value="now"/></Text>
          <Parameters Centered="yes" Leading="30" ButtonExactSize="TRUE" ButtonWidth="250">
            <ButtonOffSet X="5" Y="-6"/><Scale X="0.8" Y="0.9"/><offset X="1" Y="2"/>
            <ButtonScale X="1.5" Y="1.25"/>
          </Parameters>
        </Exit_button></mainmenu>)");
    const TTSTextButton& b = db.Button("Exit_button");
    // Only line elements named exactly "string" count.
    EXPECT_EQ(b.Text, (TTSTextArray{"Leave", "now"}));
    EXPECT_TRUE(b.Centered);
    EXPECT_EQ(b.Leading, 30);
    EXPECT_TRUE(b.ButtonExactSize);
    EXPECT_EQ(b.ButtonWidth, 250);
    EXPECT_EQ(b.ButtonOffSet, (TPoint{5, -6}));
    EXPECT_EQ(b.Scale, (TPoint2{0.8f, 0.9f}));
    EXPECT_EQ(b.OffSet, (TPoint{1, 2}));
    EXPECT_EQ(b.ButtonScale, (TPoint2{1.5f, 1.25f}));
}

TEST(TextRecords, CreditsHaveOneSlotPerChild) {
    const TextStore db = ReadBody(R"(
        <credits>
          <Credits_Back_Button><Text><string Value="Back"/></Text></Credits_Back_Button>
          <Credit title="Code"><name string="Ann"/><Name string="Bob"/><name string="Cy"/>
          </Credit>
        </credits>)");
    ASSERT_EQ(db.Credits.size(), 2u);
    EXPECT_EQ(db.Credits[0].Title, "");
    EXPECT_EQ(db.Credits[1].Title, "Code");
    EXPECT_EQ(db.Credits[1].Names, (TTSTextArray{"Ann", "", "Cy"}));
    EXPECT_EQ(db.Button("Credits_Back_Button").Text, (TTSTextArray{"Back"}));
}

// --- Numbered lists ----------------------------------------------------------------------------

TEST(TextLists, DialoguesStopAtAGapAndCarryParametersOver) {
    const TextStore db = ReadBody(R"(
        <dialogs>
          <dialog_1_1 text="a"><Parameters Character="3" Voice="2">
            <Pos X="100" Y="200"/><Scale X="0.5" Y="0.5"/></Parameters></dialog_1_1>
          <dialog_1_2 text="b"/>
          <dialog_1_4 text="after a gap"/>
          <dialog_2_1 text="c"><Parameters Character="4"/></dialog_2_1>
          <dialog_56_1 text="last"/><dialog_57_1 text="beyond"/><dialog_7_2 text="orphan"/>
        </dialogs>)");
    ASSERT_EQ(db.Dialog(1).size(), 2u);
    EXPECT_EQ(db.Dialog(1)[1].Text, "b");
    EXPECT_EQ(db.Dialog(1)[1].Character, 3);
    EXPECT_EQ(db.Dialog(1)[1].Pos, (TPoint{100, 200}));
    // Parameters without children: attributes take their defaults, children carry over, also
    // into the next level.
    ASSERT_EQ(db.Dialog(2).size(), 1u);
    const TDialogTSText& c = db.Dialog(2)[0];
    EXPECT_EQ(c.Character, 4);
    EXPECT_EQ(c.Voice, 1);
    EXPECT_EQ(c.Pos, (TPoint{100, 200}));
    EXPECT_EQ(c.Scale, (TPoint2{0.5f, 0.5f}));
    EXPECT_EQ(db.Dialog(56).size(), 1u);
    EXPECT_TRUE(db.Dialog(7).empty());
    EXPECT_TRUE(db.Dialog(57).empty());
}

TEST(TextLists, TutorialListsEndWhereTheFirstEntryIsMissing) {
    const TextStore db = ReadBody(R"(
        <tutorial>
          <tutorial_1_1 text="a"><Parameters Template="2"/></tutorial_1_1>
          <tutorial_1_2 text="b"/>
          <tutorial_2_1 text="c"/>
          <tutorial_4_1 text="unreached"/>
        </tutorial>)");
    ASSERT_EQ(db.Tutorials.size(), 2u);
    ASSERT_EQ(db.Tutorial(1).size(), 2u);
    EXPECT_EQ(db.Tutorial(2)[0].Template, 2);
    EXPECT_TRUE(db.Tutorial(3).empty());
}

TEST(TextLists, LoadingHintsAreWrappedWithTheirLayout) {
    std::vector<int> widths;
    const TextWrapperFunction wrap = [&](const std::string& text, TPoint2, int width) {
        widths.push_back(width);
        return TTSTextArray{text.substr(0, 3), text.substr(3)};
    };
    TextStore db = ReadBody(R"(
        <loading>
          <Loading string="Loading"/>
          <loading_click text="Click here"><Parameters Width="300"/></loading_click>
          <Loading_Hints>
            <loading_hint_0 text="abcdef"><Parameters Width="400" Leading="20" Centered="yes">
              <Scale X="0.7" Y="0.6"/><OffSet X="3" Y="4"/></Parameters></loading_hint_0>
            <loading_hint_1 text="ghijkl"/>
            <loading_hint_3 text="unreached"/>
          </Loading_Hints>
        </loading>)",
                            wrap);
    EXPECT_EQ(db.String("Loading"), "Loading");
    EXPECT_EQ(db.Text("loading_click").Text, (TTSTextArray{"Cli", "ck here"}));
    ASSERT_EQ(db.LoadingHints.size(), 2u);
    const TTSText& second = db.LoadingHints[1];
    EXPECT_EQ(second.Text, (TTSTextArray{"ghi", "jkl"}));
    EXPECT_EQ(second.Scale, (TPoint2{0.7f, 0.6f}));
    EXPECT_EQ(second.OffSet, (TPoint{3, 4}));
    EXPECT_EQ(second.Leading, 20);
    EXPECT_TRUE(second.Centered);
    EXPECT_EQ(widths, (std::vector<int>{300, 400, 400}));

    // A reload without hint 0 has no hints.
    auto root = Parse(R"(<text><loading><Loading_Hints><loading_hint_1 text="b"/>
                         </Loading_Hints></loading></text>)");
    ASSERT_TRUE(ReadTextDatabase(root.get(), db, {}));
    EXPECT_TRUE(db.LoadingHints.empty());
}

// --- Sections ------------------------------------------------------------------------------------

TEST(TextSections, LaterSectionsOverrideOnlyWhatTheyHold) {
    TextStore db = ReadBody(R"(
        <messages>
          <msg_ays text="first"><Parameters Width="500"/></msg_ays>
          <msg_noprofiles text="none"/>
        </messages>
        <mainmenu><Start_button><Text><string Value="Play"/></Text></Start_button></mainmenu>
        <MESSAGES><msg_ays text="second"/></MESSAGES>
        <options><msg_noprofiles text="misplaced"/></options>
        <words><Application_Name string="not here"/></words>)");
    EXPECT_EQ(db.Message("msg_ays").Text, "second");
    EXPECT_EQ(db.Message("msg_ays").Width, 500); // no Parameters: the old layout stays
    EXPECT_EQ(db.Message("msg_noprofiles").Text, "none");
    EXPECT_EQ(db.String("Application_Name"), "");

    // A reload whose entry holds no lines keeps the old ones; another root reads nothing.
    auto root = Parse(R"(<TEXT><mainmenu><Start_button><Text/></Start_button></mainmenu></TEXT>)");
    ASSERT_TRUE(ReadTextDatabase(root.get(), db, {}));
    EXPECT_EQ(db.Text("Start_button").Text, (TTSTextArray{"Play"}));
    auto other = Parse(R"(<Texts><messages><msg_ays text="x"/></messages></Texts>)");
    EXPECT_FALSE(ReadTextDatabase(other.get(), db, {}));
    EXPECT_FALSE(ReadApplicationTexts(other.get(), db));
    EXPECT_EQ(db.Message("msg_ays").Text, "second");
}

TEST(TextSections, TitleLosesOnlyItsFirstEscapedAmpersand) {
    TextStore db;
    auto root = Parse(R"(<Text><Words>
        <Application_Name string="Birds &amp;amp; Cats &amp; Co"/>
        <Application2_msg string="Already &amp; running"/></Words></Text>)");
    ASSERT_TRUE(ReadApplicationTexts(root.get(), db));
    EXPECT_EQ(db.String("Application_Name"), "Birds &amp; Cats &amp; Co");
    EXPECT_EQ(db.String("Application2_msg"), "Already &amp; running");
}

TEST(TextSections, PlainTextOfAnyRecordType) {
    const TextStore db = ReadBody(R"(
        <messages><msg_badprofile text="Profile %{0} is damaged"/></messages>
        <mainmenu><Welcome_message_1><Text><string Value="Hi"/><string Value="there"/></Text>
        </Welcome_message_1></mainmenu>
        <map><Map_Start_button><Text><string Value="Go"/></Text></Map_Start_button></map>)");
    EXPECT_EQ(db.PlainText("msg_badprofile"), "Profile %{0} is damaged");
    EXPECT_EQ(db.PlainText("Welcome_message_1"), "Hi\nthere");
    EXPECT_EQ(db.PlainText("Map_Start_button"), "Go");
    EXPECT_EQ(db.PlainText("MSG_BADPROFILE"), "");
}

// --- The report of what a document lacks ----------------------------------------------------

bool Reports(const TextDatabaseReport& report, const std::string& line) {
    return std::find(report.Problems.begin(), report.Problems.end(), line) != report.Problems.end();
}

TEST(TextDatabaseReport, NamesMissingEntriesShortListsAndUnshowableRecords) {
    const auto root = Parse(R"(<Text>
        <words><Application_Name string="T"/></words>
        <messages><msg_ays text="first"/></messages>
        <messages>
          <msg_button_ok><Text><string Value="OK"/></Text></msg_button_ok>
        </messages>
        <loading><Loading_Hints><loading_hint_1 text="numbered from 0"/></Loading_Hints></loading>
        <tutorial><tutorial_1_1 text="a"/><tutorial_1_2 text="b"/></tutorial>
        <dialogs>
          <dialog_2_1 text="x"><Parameters Character="5" Direction="2" Voice="9"/></dialog_2_1>
          <dialog_2_2 text="y"><Parameters Character="4" Direction="1" Voice="99"/></dialog_2_2>
        </dialogs>
        <credits><Credits_Back_Button/></credits>
      </Text>)");
    TextDatabaseReport report;
    report.DialogueLevels = {2, 3};
    TextStore db;
    ASSERT_TRUE(ReadApplicationTexts(root.get(), db, &report));
    ASSERT_TRUE(ReadTextDatabase(root.get(), db, {}, &report));

    // An entry counts as found in any occurrence of its section.
    EXPECT_FALSE(Reports(report, "messages/msg_ays"));
    EXPECT_FALSE(Reports(report, "messages/msg_button_ok"));
    EXPECT_FALSE(Reports(report, "words/Application_Name"));
    EXPECT_TRUE(Reports(report, "words/Application2_msg"));
    EXPECT_TRUE(Reports(report, "messages/msg_badprofile"));
    EXPECT_TRUE(Reports(report, "help/help_20"));
    EXPECT_TRUE(Reports(report, "map/Map_Start_button"));
    EXPECT_TRUE(Reports(report, "loading/loading_click"));
    // A button written without scales would draw nothing.
    EXPECT_TRUE(Reports(report, "messages/msg_button_ok: Scale is 0, the caption would not show"));
    EXPECT_TRUE(Reports(report, "messages/msg_button_ok: ButtonScale is 0, the button would not "
                                "show"));
    // Lists: a hint list that does not start at 0, a tutorial two texts long where seven are
    // shown, a required dialogue that is not there, dialogue lines the panel cannot show.
    EXPECT_TRUE(Reports(report, "loading/Loading_Hints/loading_hint_0"));
    EXPECT_TRUE(Reports(report, "tutorial/tutorial_1_3 (the tutorial shows 7 texts)"));
    EXPECT_TRUE(Reports(report, "tutorial/tutorial_8_1 (the tutorial shows 1 texts)"));
    EXPECT_TRUE(Reports(report, "dialogs/dialog_3_1"));
    EXPECT_FALSE(Reports(report, "dialogs/dialog_2_1"));
    EXPECT_TRUE(Reports(report, "dialogs/dialog_2_1: Character 5 is not 1..4"));
    EXPECT_TRUE(Reports(report, "dialogs/dialog_2_1: Direction 2 is neither 0 nor 1: the panel "
                                "would never arrive"));
    EXPECT_TRUE(Reports(report, "dialogs/dialog_2_1: Voice 9 is not 1..8 or 99"));
    for (const std::string& line : report.Problems)
        EXPECT_EQ(line.find("dialog_2_2"), std::string::npos) << line;
    EXPECT_TRUE(Reports(report, "credits/credit"));

    // The report changes nothing that is read.
    TextStore plain;
    ASSERT_TRUE(ReadTextDatabase(root.get(), plain, {}));
    EXPECT_EQ(plain.PlainText("msg_ays"), db.PlainText("msg_ays"));
    EXPECT_EQ(plain.Dialog(2).size(), db.Dialog(2).size());
    EXPECT_EQ(plain.Tutorial(1).size(), db.Tutorial(1).size());
    EXPECT_EQ(plain.Credits.size(), db.Credits.size());

    TextDatabaseReport wrongRoot;
    const auto other = Parse("<words/>");
    EXPECT_FALSE(ReadTextDatabase(other.get(), db, {}, &wrongRoot));
    EXPECT_EQ(wrongRoot.Problems,
              std::vector<std::string>{"the document's root element is not <text>"});
}

// --- Finding the document ----------------------------------------------------------------------

class TextDocumentFixture : public ::testing::Test {
protected:
    TextDocumentFixture() : saved_(TextDatabaseSource()) {
        ResetTextDatabase();
        TextDatabaseSource() = TextDatabaseSourceFolders{dir_.Path().string(), {}, {}};
        std::filesystem::create_directories(dir_.Path() / "Data" / "tData" / "Common");
    }
    ~TextDocumentFixture() override {
        TextDatabaseSource() = saved_;
        ResetTextDatabase();
        UnlockArchiveAccess();
    }

    static std::string Document(const std::string& title) {
        return "<Text><words><Application_Name string=\"" + title +
               "\"/></words><messages><msg_badprofile text=\"" + title +
               " bad\"/></messages></Text>";
    }
    std::string LoosePath() const { return (dir_.Path() / "Data/tData/Common/Text.xml").string(); }
    void WriteArchive(const std::string& text) {
        UnlockArchiveAccess();
        TKilnArchive archive;
        archive.SetOpenMode(aomOverwrite);
        ASSERT_TRUE(archive.OpenFile((dir_.Path() / "Data/tData_Common.dan").string()));
        ASSERT_TRUE(archive.WriteRecord("Text.xml", text.data(), text.size()));
    }

    TempDir dir_;
    TextDatabaseSourceFolders saved_;
};

TEST_F(TextDocumentFixture, LooseFileWinsOverTheArchive) {
    WriteArchive(Document("Packed"));
    EXPECT_TRUE(LoadApplicationTexts());
    EXPECT_TRUE(LoadTextDatabase());
    EXPECT_EQ(GameText("Application_Name"), "Packed");
    EXPECT_EQ(GameText("msg_badprofile"), "Packed bad");
    ASSERT_NE(TextDataArchive(), nullptr);

    WriteText(LoosePath(), Document("Loose"));
    EXPECT_TRUE(LoadTextDatabase());
    EXPECT_EQ(GameText("msg_badprofile"), "Loose bad");

    const std::string dev = dir_.File("dev-Text.xml");
    WriteText(dev, Document("Dev"));
    TextDatabaseSource().DevelopmentFile = dev;
    EXPECT_TRUE(LoadTextDatabase());
    EXPECT_EQ(GameText("msg_badprofile"), "Dev bad");
}

TEST_F(TextDocumentFixture, MissingOrDamagedDocumentKeepsEveryText) {
    EXPECT_FALSE(LoadApplicationTexts());
    EXPECT_FALSE(LoadTextDatabase());
    EXPECT_EQ(GameText("Application_Name"), "");
    EXPECT_EQ(TextDataArchive(), nullptr);

    WriteArchive("\x01\x02 not xml at all <<<");
    EXPECT_FALSE(LoadTextDatabase());

    // Once read, texts survive later loads that find nothing usable.
    WriteText(LoosePath(), Document("Loose"));
    ASSERT_TRUE(LoadTextDatabase());
    WriteText(LoosePath(), "<Text><messages><msg_badprofile text=\"unclosed");
    EXPECT_FALSE(LoadTextDatabase());
    WriteText(LoosePath(), "");
    EXPECT_FALSE(LoadTextDatabase());
    EXPECT_EQ(GameText("msg_badprofile"), "Loose bad");
}

} // namespace
} // namespace bw
