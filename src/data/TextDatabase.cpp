#include "data/TextDatabase.h"

#include "data/AsciiText.h"
#include "data/GameFonts.h"
#include "data/KilnArchive.h"
#include "data/KilnFonts.h"
#include "data/TextLanguage.h"
#include "data/Xml.h"
#include "data/XmlConvert.h"
#include "data/XmlLoad.h"
#include "platform/Log.h"

#include <filesystem>
#include <initializer_list>
#include <set>
#include <utility>

namespace bw {

namespace {

namespace fs = std::filesystem;

constexpr char kDocumentKey[] = "Text.xml";

fs::path BasePath() {
    const std::string& base = TextDatabaseSource().BaseFolder;
    return base.empty() ? fs::path() : fs::path(base);
}

std::unique_ptr<TKilnArchive>& ArchiveSlot() {
    static std::unique_ptr<TKilnArchive> archive;
    return archive;
}

// --- Attribute readers: the default stands when the attribute is missing or unreadable ---

int ReadInt(const TXMLNode& node, std::string_view name, int def) {
    return TextToIntDef(node.GetFieldValue(name), def);
}

bool ReadBool(const TXMLNode& node, std::string_view name, bool def) {
    return TextToBool(node.GetFieldValue(name), def);
}

float ReadFloat(const TXMLNode& node, std::string_view name, float def) {
    return TextToFloatDef(node.GetFieldValue(name), def);
}

// The child `name` of "Parameters" sets both components; a missing child leaves them.
void ReadScalePoint(const TXMLNode& params, std::string_view name, float def, TPoint2& out) {
    const TXMLNode* node = params.GetChildNode(name);
    if (node == nullptr) return;
    out.x = ReadFloat(*node, "X", def);
    out.y = ReadFloat(*node, "Y", def);
}

void ReadIntPoint(const TXMLNode& params, std::string_view name, TPoint& out) {
    const TXMLNode* node = params.GetChildNode(name);
    if (node == nullptr) return;
    out.x = ReadInt(*node, "X", 0);
    out.y = ReadInt(*node, "Y", 0);
}

// Lines come from the children named exactly "string" of "Text"; without any, the old lines
// stay.
void ReadLines(const TXMLNode& element, TTSTextArray& lines) {
    const TXMLNode* text = element.GetChildNode("Text");
    if (text == nullptr) return;
    TTSTextArray read;
    for (const TXMLNode& line : *text) {
        if (line.Name() == "string") read.push_back(line.GetFieldValue("Value"));
    }
    if (!read.empty()) lines = std::move(read);
}

// --- Record readers: they change only what the element holds -----------------------------

void ReadPlain(const TXMLNode& element, std::string& out) {
    out = element.GetFieldValue("string");
}

void ReadText(const TXMLNode& element, TTSText& out) {
    ReadLines(element, out.Text);
    const TXMLNode* p = element.GetChildNode("Parameters");
    if (p == nullptr) return;
    out.Centered = ReadBool(*p, "Centered", false);
    out.Leading = ReadInt(*p, "Leading", 0);
    ReadScalePoint(*p, "Scale", 0.0f, out.Scale);
    ReadIntPoint(*p, "OffSet", out.OffSet);
}

void ReadWraped(const TXMLNode& element, TWrapedTSText& out) {
    out.Text = element.GetFieldValue("text");
    const TXMLNode* p = element.GetChildNode("Parameters");
    if (p == nullptr) return;
    out.Width = ReadInt(*p, "Width", 0);
    out.Centered = ReadBool(*p, "Centered", false);
    out.Leading = ReadInt(*p, "Leading", 0);
    ReadScalePoint(*p, "Scale", 1.0f, out.Scale);
    ReadIntPoint(*p, "OffSet", out.OffSet);
}

void ReadButton(const TXMLNode& element, TTSTextButton& out) {
    ReadLines(element, out.Text);
    const TXMLNode* p = element.GetChildNode("Parameters");
    if (p == nullptr) return;
    out.Centered = ReadBool(*p, "Centered", false);
    out.Leading = ReadInt(*p, "Leading", 0);
    out.ButtonExactSize = ReadBool(*p, "ButtonExactSize", false);
    out.ButtonWidth = ReadInt(*p, "ButtonWidth", 0);
    ReadIntPoint(*p, "ButtonOffSet", out.ButtonOffSet);
    ReadScalePoint(*p, "Scale", 0.0f, out.Scale);
    ReadIntPoint(*p, "OffSet", out.OffSet);
    ReadScalePoint(*p, "ButtonScale", 0.0f, out.ButtonScale);
}

void ReadMessage(const TXMLNode& element, TTSTextMessage& out) {
    out.Text = element.GetFieldValue("text");
    const TXMLNode* p = element.GetChildNode("Parameters");
    if (p == nullptr) return;
    out.Width = ReadInt(*p, "Width", 0);
    out.Centered = ReadBool(*p, "Centered", false);
    out.PanelTemplate = ReadInt(*p, "PanelTemplate", 1);
    out.Leading = ReadInt(*p, "Leading", 0);
    ReadScalePoint(*p, "Scale", 1.0f, out.Scale);
    ReadIntPoint(*p, "OffSet", out.OffSet);
    ReadScalePoint(*p, "PanelScale", 1.0f, out.PanelScale);
}

void ReadDialog(const TXMLNode& element, TDialogTSText& out) {
    out.Text = element.GetFieldValue("text");
    const TXMLNode* p = element.GetChildNode("Parameters");
    if (p == nullptr) return;
    out.Character = ReadInt(*p, "Character", 1);
    out.Voice = ReadInt(*p, "Voice", 1);
    out.SpeakSpeed = ReadFloat(*p, "SpeakSpeed", 1.0f);
    out.Width = ReadInt(*p, "Width", 0);
    out.Centered = ReadBool(*p, "Centered", false);
    out.Leading = ReadInt(*p, "Leading", 0);
    out.Direction = static_cast<uint8_t>(ReadInt(*p, "Direction", 0));
    ReadIntPoint(*p, "Pos", out.Pos);
    ReadScalePoint(*p, "Scale", 1.0f, out.Scale);
    ReadIntPoint(*p, "Offset", out.Offset);
}

void ReadTutorial(const TXMLNode& element, TTutorialTSText& out) {
    out.Text = element.GetFieldValue("text");
    const TXMLNode* p = element.GetChildNode("Parameters");
    if (p == nullptr) return;
    out.Template = ReadInt(*p, "Template", 1);
    out.Width = ReadInt(*p, "Width", 0);
    out.Centered = ReadBool(*p, "Centered", false);
    out.Leading = ReadInt(*p, "Leading", 0);
    ReadIntPoint(*p, "Pos", out.Pos);
    ReadIntPoint(*p, "OffSet", out.OffSet);
    ReadScalePoint(*p, "Scale", 1.0f, out.Scale);
}

void ReadCredit(const TXMLNode& element, TTSCreditText& out) {
    out.Title = element.GetFieldValue("title");
    out.Names.assign(static_cast<std::size_t>(element.ChildCount()), std::string());
    for (int i = 0; i < element.ChildCount(); ++i) {
        const TXMLNode* child = element.GetChild(i);
        if (child->Name() == "name")
            out.Names[static_cast<std::size_t>(i)] = child->GetFieldValue("string");
    }
}

// A wrapped paragraph turned into lines, keeping its layout.
TTSText WrapText(const TWrapedTSText& source, const TextWrapperFunction& wrap) {
    TTSText text;
    text.Text = wrap ? wrap(source.Text, source.Scale, source.Width) : TTSTextArray{source.Text};
    text.Scale = source.Scale;
    text.OffSet = source.OffSet;
    text.Leading = source.Leading;
    text.Centered = source.Centered;
    return text;
}

// --- Sections ------------------------------------------------------------------------------

enum class TextEntryKind { Plain, Text, Wraped, Button, Message };

struct TextEntry {
    TextEntryKind Kind;
    std::string Key;
};

using TextEntries = std::vector<TextEntry>;

void Add(TextEntries& entries, TextEntryKind kind, std::initializer_list<const char*> keys) {
    for (const char* key : keys) entries.push_back({kind, key});
}

// prefix + first .. prefix + last
void AddNumbered(TextEntries& entries, TextEntryKind kind, const std::string& prefix, int first,
                 int last) {
    for (int i = first; i <= last; ++i) entries.push_back({kind, prefix + std::to_string(i)});
}

// The fixed entries of each section, by the section's lower-case name.
const std::map<std::string, TextEntries, std::less<>>& SectionEntries() {
    static const std::map<std::string, TextEntries, std::less<>> sections = [] {
        using K = TextEntryKind;
        std::map<std::string, TextEntries, std::less<>> s;
        Add(s["words"], K::Plain, {"Default_Player_Name"});
        Add(s["words_variations"], K::Plain,
            {"Nestling_1_Variation_1", "Nestling_1_Variation_max", "Cat_1_Variation_1",
             "Cat_1_Variation_max"});
        Add(s["messages"], K::Message,
            {"msg_ays_exitgame", "msg_ays_igm_restart", "msg_ays_igm_map", "msg_ays_igm_menu",
             "msg_ays", "msg_profilescount", "msg_profilename", "msg_profileempty",
             "msg_profilenotfound", "msg_badprofile", "msg_deleteprofile", "msg_noprofiles",
             "msg_smallresolution", "msg_levelmissing"});
        Add(s["messages"], K::Button,
            {"msg_button_continue", "msg_button_yes", "msg_button_no", "msg_button_ok",
             "msg_button_cancel"});
        TextEntries& ui = s["interface"];
        Add(ui, K::Button, {"Menu_button", "Hint_button"});
        AddNumbered(ui, K::Button, "result_button_", 1, 4);
        Add(ui, K::Wraped,
            {"Popap_SaveNestlings_1", "Popap_Boss_1", "result_task_completed",
             "result_task_uncompleted", "result_gameover"});
        AddNumbered(ui, K::Wraped, "result_task_", 1, 12);
        Add(ui, K::Text,
            {"Popap_MatchCats_1", "result_title", "result_score", "result_award",
             "result_commonscore", "result_nestlings_saved", "result_boss_defeated",
             "result_boss_not_defeated"});
        AddNumbered(ui, K::Plain, "result_task_color_", 1, 6);
        AddNumbered(ui, K::Plain, "result_task11_color_", 1, 6);
        Add(s["loading"], K::Plain, {"Loading", "Version"});
        Add(s["ingamemenu"], K::Wraped, {"igm_title"});
        Add(s["ingamemenu"], K::Button,
            {"igm_button_continue", "igm_button_options", "igm_button_restart", "igm_button_map",
             "igm_button_exit"});
        Add(s["help"], K::Wraped, {"help_title"});
        AddNumbered(s["help"], K::Wraped, "help_", 0, 20);
        Add(s["mainmenu"], K::Text, {"Welcome_message_1", "Welcome_message_2", "Start_button"});
        Add(s["mainmenu"], K::Button,
            {"Awards_button", "Options_button", "Credits_button", "Exit_button"});
        Add(s["options"], K::Text,
            {"Options_Title", "Options_Music_Volume", "Options_SoundFx_Volume",
             "Options_Fullscreen", "Options_Cursor", "Options_Tutorial", "Options_VSync"});
        Add(s["chooseplayer"], K::Text, {"cp_Title"});
        Add(s["chooseplayer"], K::Button,
            {"cp_Choose_Button", "cp_Create_Button", "cp_Delete_Button"});
        Add(s["entername"], K::Text, {"en_Title"});
        Add(s["entername"], K::Button, {"en_Create_Button"});
        Add(s["awards"], K::Text, {"Awards_Title"});
        Add(s["awards"], K::Button, {"Awards_Back_Button"});
        AddNumbered(s["awards"], K::Wraped, "Awards_Name_", 1, 10);
        AddNumbered(s["awards"], K::Wraped, "Awards_Text_", 1, 10);
        Add(s["credits"], K::Button, {"Credits_Back_Button"});
        Add(s["map"], K::Button, {"Map_Menu_button", "Map_Start_button"});
        s["dialogs"];
        s["tutorial"];
        return s;
    }();
    return sections;
}

// Whether the section holds the entry.
template <class R, class F>
bool ReadKeyed(const TXMLNode& section, const std::string& key,
               std::map<std::string, R, std::less<>>& records, F reader) {
    const TXMLNode* element = section.GetChildNode(key);
    if (element == nullptr) return false;
    reader(*element, records[key]);
    return true;
}

bool ReadEntry(const TXMLNode& section, const TextEntry& entry, TextStore& db) {
    switch (entry.Kind) {
    case TextEntryKind::Plain:
        return ReadKeyed(section, entry.Key, db.Strings, ReadPlain);
    case TextEntryKind::Text:
        return ReadKeyed(section, entry.Key, db.Texts, ReadText);
    case TextEntryKind::Wraped:
        return ReadKeyed(section, entry.Key, db.WrapedTexts, ReadWraped);
    case TextEntryKind::Button:
        return ReadKeyed(section, entry.Key, db.Buttons, ReadButton);
    case TextEntryKind::Message:
        return ReadKeyed(section, entry.Key, db.Messages, ReadMessage);
    }
    return false;
}

// The lists below are read through one working record each, which is not cleared between
// entries: an entry without "Parameters" (or without one of its children) repeats the values
// of the entry before it.

void ReadLoading(const TXMLNode& section, TextStore& db, const TextWrapperFunction& wrap) {
    const std::string clickKey = "loading_click";
    const TXMLNode* click = section.GetChildNode(clickKey);
    if (click != nullptr) {
        TWrapedTSText& source = db.WrapedTexts[clickKey];
        ReadWraped(*click, source);
        db.Texts[clickKey] = WrapText(source, wrap);
    }

    db.LoadingHints.clear();
    const TXMLNode* hints = section.GetChildNode("Loading_Hints");
    if (hints == nullptr) return;
    TWrapedTSText work;
    for (int n = 0;; ++n) {
        const TXMLNode* hint = hints->GetChildNode("loading_hint_" + std::to_string(n));
        if (hint == nullptr) break;
        ReadWraped(*hint, work);
        db.LoadingHints.push_back(WrapText(work, wrap));
    }
}

void ReadDialogs(const TXMLNode& section, TextStore& db) {
    TDialogTSText work;
    for (int level = 1; level <= DialogLevelCount; ++level) {
        std::vector<TDialogTSText>& list = db.Dialogs[static_cast<std::size_t>(level)];
        list.clear();
        const std::string prefix = "dialog_" + std::to_string(level) + "_";
        for (int n = 1;; ++n) {
            const TXMLNode* entry = section.GetChildNode(prefix + std::to_string(n));
            if (entry == nullptr) break;
            ReadDialog(*entry, work);
            list.push_back(work);
        }
    }
}

void ReadTutorials(const TXMLNode& section, TextStore& db) {
    db.Tutorials.clear();
    TTutorialTSText work;
    for (int i = 1;; ++i) {
        const std::string prefix = "tutorial_" + std::to_string(i) + "_";
        if (section.GetChildNode(prefix + "1") == nullptr) break;
        std::vector<TTutorialTSText>& list = db.Tutorials.emplace_back();
        for (int n = 1;; ++n) {
            const TXMLNode* entry = section.GetChildNode(prefix + std::to_string(n));
            if (entry == nullptr) break;
            ReadTutorial(*entry, work);
            list.push_back(work);
        }
    }
}

void ReadCredits(const TXMLNode& section, TextStore& db) {
    db.Credits.assign(static_cast<std::size_t>(section.ChildCount()), TTSCreditText{});
    for (int i = 0; i < section.ChildCount(); ++i) {
        const TXMLNode* child = section.GetChild(i);
        if (AsciiLowerCase(child->Name()) == "credit") {
            ReadCredit(*child, db.Credits[static_cast<std::size_t>(i)]);
        }
    }
}

bool IsTextRoot(const TXMLNode* root) {
    return root != nullptr && AsciiLowerCase(root->Name()) == "text";
}

void Note(TextDatabaseReport* report, std::string problem) {
    if (report != nullptr) report->Problems.push_back(std::move(problem));
}

bool NoScale(TPoint2 scale) {
    return scale.x == 0.0f || scale.y == 0.0f;
}

// What the document lacks after a full read; `found` holds "section/key" of every fixed entry
// some occurrence of its section held.
void ReportGaps(const TextStore& db, const std::set<std::string, std::less<>>& found,
                TextDatabaseReport& report) {
    auto note = [&report](std::string problem) { report.Problems.push_back(std::move(problem)); };
    for (const auto& [section, entries] : SectionEntries()) {
        for (const TextEntry& entry : entries) {
            const std::string where = section + "/" + entry.Key;
            if (!found.contains(where)) {
                note(where);
                continue;
            }
            // Lines and buttons have no scale by default: left out, the text draws nothing.
            if (entry.Kind == TextEntryKind::Text && NoScale(db.Text(entry.Key).Scale))
                note(where + ": Scale is 0, the text would not show");
            if (entry.Kind == TextEntryKind::Button) {
                if (NoScale(db.Button(entry.Key).Scale))
                    note(where + ": Scale is 0, the caption would not show");
                if (NoScale(db.Button(entry.Key).ButtonScale))
                    note(where + ": ButtonScale is 0, the button would not show");
            }
        }
    }
    if (!found.contains("loading/loading_click")) note("loading/loading_click");
    if (db.LoadingHints.empty()) note("loading/Loading_Hints/loading_hint_0");
    for (std::size_t t = 0; t < TutorialStepTexts.size(); ++t) {
        const int number = static_cast<int>(t) + 1;
        const auto have = db.Tutorial(number).size();
        const auto need = static_cast<std::size_t>(TutorialStepTexts[t]);
        if (have < need) {
            note("tutorial/tutorial_" + std::to_string(number) + "_" + std::to_string(have + 1) +
                 " (the tutorial shows " + std::to_string(need) + " texts)");
        }
    }
    for (const int level : report.DialogueLevels) {
        if (db.Dialog(level).empty()) note("dialogs/dialog_" + std::to_string(level) + "_1");
    }
    for (int level = 1; level <= DialogLevelCount; ++level) {
        const auto& lines = db.Dialog(level);
        for (std::size_t n = 0; n < lines.size(); ++n) {
            const TDialogTSText& line = lines[n];
            const std::string where =
                "dialogs/dialog_" + std::to_string(level) + "_" + std::to_string(n + 1) + ": ";
            if (line.Character < 1 || line.Character > 4)
                note(where + "Character " + std::to_string(line.Character) + " is not 1..4");
            if (line.Direction > 1)
                note(where + "Direction " + std::to_string(line.Direction) +
                     " is neither 0 nor 1: the panel would never arrive");
            if ((line.Voice < 1 || line.Voice > 8) && line.Voice != 99)
                note(where + "Voice " + std::to_string(line.Voice) + " is not 1..8 or 99");
        }
    }
    bool anyCredit = false;
    for (const TTSCreditText& credit : db.Credits) anyCredit = anyCredit || !credit.Title.empty();
    if (!anyCredit) note("credits/credit");
}

template <class R>
const R& Find(const std::map<std::string, R, std::less<>>& records, std::string_view key) {
    static const R empty{};
    const auto it = records.find(key);
    return it != records.end() ? it->second : empty;
}

std::string JoinLines(const TTSTextArray& lines) {
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) joined += '\n';
        joined += lines[i];
    }
    return joined;
}

} // namespace

// --- TextStore -----------------------------------------------------------------------------

const std::string& TextStore::String(std::string_view key) const {
    return Find(Strings, key);
}

const TTSText& TextStore::Text(std::string_view key) const {
    return Find(Texts, key);
}

const TWrapedTSText& TextStore::WrapedText(std::string_view key) const {
    return Find(WrapedTexts, key);
}

const TTSTextButton& TextStore::Button(std::string_view key) const {
    return Find(Buttons, key);
}

const TTSTextMessage& TextStore::Message(std::string_view key) const {
    return Find(Messages, key);
}

const std::vector<TDialogTSText>& TextStore::Dialog(int level) const {
    static const std::vector<TDialogTSText> empty;
    if (level < 1 || level > DialogLevelCount) return empty;
    return Dialogs[static_cast<std::size_t>(level)];
}

const std::vector<TTutorialTSText>& TextStore::Tutorial(int index) const {
    static const std::vector<TTutorialTSText> empty;
    if (index < 1 || static_cast<std::size_t>(index) > Tutorials.size()) return empty;
    return Tutorials[static_cast<std::size_t>(index - 1)];
}

std::string TextStore::PlainText(std::string_view key) const {
    if (const auto it = Strings.find(key); it != Strings.end()) return it->second;
    if (const auto it = Messages.find(key); it != Messages.end()) return it->second.Text;
    if (const auto it = WrapedTexts.find(key); it != WrapedTexts.end()) return it->second.Text;
    if (const auto it = Texts.find(key); it != Texts.end()) return JoinLines(it->second.Text);
    if (const auto it = Buttons.find(key); it != Buttons.end()) return JoinLines(it->second.Text);
    return {};
}

void TextStore::Clear() {
    *this = TextStore{};
}

// --- Process-wide state ------------------------------------------------------------------------

TextDatabaseSourceFolders& TextDatabaseSource() {
    static TextDatabaseSourceFolders source;
    return source;
}

TextWrapperFunction& TextWrapper() {
    static TextWrapperFunction wrapper;
    return wrapper;
}

TextWrapperFunction ShadowFontWrapper(TKilnFonts* fonts) {
    return [fonts](const std::string& text, TPoint2 scale, int width) {
        TKilnFont* font = fonts != nullptr ? fonts->Font(ShadowFont) : nullptr;
        if (font == nullptr) return TTSTextArray{text};
        font->SaveState();
        font->FScale = scale;
        TTSTextArray lines = font->GetWordWrapedTextFromString(text, static_cast<float>(width));
        font->RestoreState();
        return lines;
    };
}

TextStore& Texts() {
    static TextStore db;
    return db;
}

std::string GameText(std::string_view key) {
    return Texts().PlainText(key);
}

TKilnArchive* TextDataArchive() {
    std::unique_ptr<TKilnArchive>& archive = ArchiveSlot();
    if (!archive) {
        archive = std::make_unique<TKilnArchive>();
        archive->SetOpenMode(aomReadOnly);
    }
    // The same name again keeps the index already read; a failed open is tried again later.
    const std::string path = (BasePath() / "Data" / "tData_Common.dan").string();
    if (!archive->OpenFile(path)) return nullptr;
    return archive.get();
}

void ResetTextDatabase() {
    ArchiveSlot().reset();
    Texts().Clear();
}

namespace {

// One document by its key: beside the development file, the loose file, the archive record.
std::unique_ptr<TXMLNode> FindDocument(const std::string& key, std::string* where) {
    const TextDatabaseSourceFolders& source = TextDatabaseSource();
    std::error_code ec;
    if (!source.DevelopmentFile.empty()) {
        fs::path file = source.DevelopmentFile;
        if (key != kDocumentKey) file = file.parent_path() / key;
        if (where) *where = file.string();
        return XMLFromFile(file.string());
    }
    const fs::path loose = BasePath() / "Data" / "tData" / "Common" / key;
    if (fs::is_regular_file(loose, ec)) {
        if (where) *where = loose.string();
        return XMLFromFile(loose.string());
    }
    if (where) *where = "Data/tData_Common.dan | " + key;
    return XMLFromArchive(key, TextDataArchive());
}

// Each line once per process: the texts are read several times while the game starts.
void LogOnce(const std::string& line) {
    static std::set<std::string, std::less<>> logged;
    if (logged.insert(line).second) WriteLog(line);
}

} // namespace

std::unique_ptr<TXMLNode> FindTextDocument() {
    std::unique_ptr<TXMLNode> english = FindDocument(kDocumentKey, nullptr);
    const std::string& language = TextDatabaseSource().Language;
    const std::string key = TranslationDocumentKey(language);
    if (english == nullptr || key.empty()) return english;
    std::string where;
    const std::unique_ptr<TXMLNode> translation = FindDocument(key, &where);
    if (!IsTextRoot(translation.get())) {
        LogOnce("Texts: the translation " + where + " for language " + language +
                " cannot be read; the texts are shown in English");
        return english;
    }
    std::vector<std::string> missing, extra;
    std::unique_ptr<TXMLNode> merged = MergeTranslation(*english, *translation, &missing, &extra);
    for (const std::string& record : missing)
        LogOnce("Texts: language " + language + " has no " + record + "; it is shown in English");
    for (const std::string& record : extra)
        LogOnce("Texts: " + where + " holds " + record + ", which English lacks; it is left out");
    return merged;
}

bool ReadApplicationTexts(const TXMLNode* root, TextStore& db, TextDatabaseReport* report) {
    if (!IsTextRoot(root)) {
        Note(report, "the document's root element is not <text>");
        return false;
    }
    const TXMLNode* words = root->GetChildNode("words");
    if (words == nullptr) {
        Note(report, "words/Application_Name");
        Note(report, "words/Application2_msg");
        return true;
    }
    if (const TXMLNode* name = words->GetChildNode("Application_Name")) {
        std::string title = name->GetFieldValue("string");
        // The document escapes an ampersand in the title as "&amp;"; the title shows it plain.
        if (const std::size_t at = title.find("amp;"); at != std::string::npos) {
            title.erase(at, 4);
        }
        db.Strings["Application_Name"] = std::move(title);
    } else {
        Note(report, "words/Application_Name");
    }
    if (!ReadKeyed(*words, "Application2_msg", db.Strings, ReadPlain))
        Note(report, "words/Application2_msg");
    return true;
}

bool ReadTextDatabase(const TXMLNode* root, TextStore& db, const TextWrapperFunction& wrap,
                      TextDatabaseReport* report) {
    if (!IsTextRoot(root)) {
        Note(report, "the document's root element is not <text>");
        return false;
    }
    const auto& sections = SectionEntries();
    std::set<std::string, std::less<>> found;
    for (const TXMLNode& section : *root) {
        const std::string name = AsciiLowerCase(section.Name());
        const auto it = sections.find(name);
        if (it == sections.end()) continue;
        for (const TextEntry& entry : it->second) {
            if (ReadEntry(section, entry, db)) found.insert(name + "/" + entry.Key);
        }
        if (name == "loading") {
            if (section.GetChildNode("loading_click") != nullptr)
                found.insert("loading/loading_click");
            ReadLoading(section, db, wrap);
        } else if (name == "credits") {
            ReadCredits(section, db);
        } else if (name == "dialogs") {
            ReadDialogs(section, db);
        } else if (name == "tutorial") {
            ReadTutorials(section, db);
        }
    }
    if (report != nullptr) ReportGaps(db, found, *report);
    return true;
}

bool LoadApplicationTexts(TextDatabaseReport* report) {
    const std::unique_ptr<TXMLNode> root = FindTextDocument();
    return ReadApplicationTexts(root.get(), Texts(), report);
}

bool LoadTextDatabase(TextDatabaseReport* report) {
    const std::unique_ptr<TXMLNode> root = FindTextDocument();
    return ReadTextDatabase(root.get(), Texts(), TextWrapper(), report);
}

} // namespace bw
