// The text database: every text the player reads, with its layout, from the document
// "Text.xml". The document is a loose file "Data/tData/Common/Text.xml" when one exists, else
// the record "Text.xml" of the archive "Data/tData_Common.dan"; both paths are relative to the
// folder that holds "Data". Translating the game means replacing that one document.
//
// Loading never fails loudly: a missing or unreadable document leaves every record as it
// was (empty at first), a missing entry leaves its record, and a malformed number or flag
// takes the default of its attribute.
#pragma once

#include "data/TextRecords.h"

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace bw {

class TKilnArchive;
class TKilnFonts;
class TXMLNode;

// Levels that may have a character dialogue: 1 .. DialogLevelCount.
inline constexpr int DialogLevelCount = 56;

// How many step texts each of the eight tutorials shows: list i ("tutorial_i_1", ...) holds
// the texts of the tutorial numbered i - 1.
inline constexpr std::array<int, 8> TutorialStepTexts = {7, 4, 4, 4, 3, 4, 1, 1};

// What a reading found wanting, for the data check of the suite. The readers fill it only when
// one is passed; they read exactly the same with or without it.
struct TextDatabaseReport {
    // In: the levels (numbers 1 .. DialogLevelCount) whose opening dialogue must exist.
    std::vector<int> DialogueLevels;
    // Out, one line each: "section/key" for every fixed entry that no occurrence of its section
    // holds, lists shorter than the game shows, and records the game could not show (a zero
    // scale, a dialogue line with an unknown character, direction or voice).
    std::vector<std::string> Problems;
};

// Where the document is looked for.
struct TextDatabaseSourceFolders {
    // The folder that holds "Data"; empty means the current directory.
    std::string BaseFolder;
    // When set, this file is read instead of the delivered document (a development switch);
    // a translation is then looked for beside it.
    std::string DevelopmentFile;
    // The language shown (TranslationLanguages); empty: English alone.
    std::string Language;
};
TextDatabaseSourceFolders& TextDatabaseSource();

// Splits a paragraph into lines that fit `width` at `scale` (the shadow font's word wrap).
// Loading hints and the loading prompt are stored wrapped through it; while it is empty, each
// paragraph becomes one line.
using TextWrapperFunction =
    std::function<TTSTextArray(const std::string& text, TPoint2 scale, int width)>;
TextWrapperFunction& TextWrapper();
// A wrapper through the shadow font of `fonts` (the font index is looked up at each call);
// a paragraph stays one line while that font is not loaded.
TextWrapperFunction ShadowFontWrapper(TKilnFonts* fonts);

// All records, by the keys of the document. Keys are matched exactly as written in code
// ("msg_badprofile", "help_3"); the document's element names may use any letter case.
class TextStore {
public:
    using Keyed = std::less<>;
    std::map<std::string, std::string, Keyed> Strings;
    std::map<std::string, TTSText, Keyed> Texts;
    std::map<std::string, TWrapedTSText, Keyed> WrapedTexts;
    std::map<std::string, TTSTextButton, Keyed> Buttons;
    std::map<std::string, TTSTextMessage, Keyed> Messages;

    // Already word-wrapped; each loading screen picks one at random.
    std::vector<TTSText> LoadingHints;
    // Dialogs[L] is the dialogue that opens level number L (the level index + 1, as the player
    // counts; 1 .. DialogLevelCount); index 0 stays empty.
    std::array<std::vector<TDialogTSText>, DialogLevelCount + 1> Dialogs;
    // Tutorials[i - 1] holds the bubbles "tutorial_i_1", "tutorial_i_2", ...
    std::vector<std::vector<TTutorialTSText>> Tutorials;
    // One slot per child of the credits section; slots of other children stay empty.
    std::vector<TTSCreditText> Credits;

    // The record of a key, or an empty record when the key was never read.
    const std::string& String(std::string_view key) const;
    const TTSText& Text(std::string_view key) const;
    const TWrapedTSText& WrapedText(std::string_view key) const;
    const TTSTextButton& Button(std::string_view key) const;
    const TTSTextMessage& Message(std::string_view key) const;
    // The dialogue of level number `level`, empty outside 1 .. DialogLevelCount.
    const std::vector<TDialogTSText>& Dialog(int level) const;
    // Tutorial list `index` (from 1), empty when there is none.
    const std::vector<TTutorialTSText>& Tutorial(int index) const;

    // The text of a key whatever its record type: a plain string, the paragraph of a wrapped
    // text or message, or the lines of a text or button joined with "\n". Empty when unknown.
    std::string PlainText(std::string_view key) const;

    void Clear();
};

// The process-wide records.
TextStore& Texts();

// The text of a key (Texts().PlainText): what the application frame shows as the window
// title ("Application_Name"), the second-copy message ("Application2_msg") and so on.
std::string GameText(std::string_view key);

// Reads the window title and the second-copy message (at program start). Returns whether a
// document was found and read.
bool LoadApplicationTexts(TextDatabaseReport* report = nullptr);
// Reads the whole document into the records, anew on every call. Returns whether a document
// was found and read.
bool LoadTextDatabase(TextDatabaseReport* report = nullptr);

// The document as the two loads find it: the development file, the loose file or the
// archive record; null when none can be read. With a language set, its translation (found
// the same way, "Text_de.xml" beside "Text.xml") is laid over it: whatever the translation
// lacks shows in English, and each record it lacks is logged once per process. A translation
// that cannot be read is logged and the English document stands.
std::unique_ptr<TXMLNode> FindTextDocument();
// The archive "Data/tData_Common.dan", opened read-only the first time it is asked for and
// kept; it also holds the level list. Null when it cannot be opened.
TKilnArchive* TextDataArchive();
// Forgets the kept archive and empties the records.
void ResetTextDatabase();

// The two readers on a document already loaded; nothing is read unless the root element is
// "text" (any letter case).
bool ReadApplicationTexts(const TXMLNode* root, TextStore& db,
                          TextDatabaseReport* report = nullptr);
bool ReadTextDatabase(const TXMLNode* root, TextStore& db, const TextWrapperFunction& wrap,
                      TextDatabaseReport* report = nullptr);

} // namespace bw
