// Every text of every language, measured with the game's own font code on the built fonts: it
// fits the width its record gives, wraps into no more lines than its panel holds, and every
// character it uses is in both fonts. Where the panel's capacity is not written down, it holds
// as many lines as the longest English text shown in it.
#include "data/ArchiveAccess.h"
#include "data/AsciiText.h"
#include "data/GameFonts.h"
#include "data/KilnArchive.h"
#include "data/KilnFonts.h"
#include "data/TextDatabase.h"
#include "data/TextLanguage.h"
#include "data/Utf16.h"
#include "data/Xml.h"
#include "data/XmlLoad.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace bw {
namespace {

namespace fs = std::filesystem;

const fs::path kBuildDir = fs::path(BW_TEST_BINARY_DIR);

// One text as the game lays it out.
struct Laid {
    std::string Key;
    std::string Panel; // texts with the same panel share its line capacity
    std::string Text;
    TTSTextArray Lines; // fixed lines (titles, captions); empty for a paragraph
    TPoint2 Scale;
    float Width = 0; // wrap width, or a button's width for a caption; 0: none recorded
};

constexpr float kCaptionMargin = 14.0f;

std::string Num(float v) {
    return std::to_string(static_cast<int>(v));
}

// The texts of one language, through the game's own reading of the merged document. Loading
// hints are wrapped while they are read, so the wrapper is where their layout is seen.
std::vector<Laid> LayOut(const std::string& language) {
    TextDatabaseSource() = TextDatabaseSourceFolders{kBuildDir.string(), {}, language};
    const std::unique_ptr<TXMLNode> root = FindTextDocument();
    std::vector<Laid> out;
    if (root == nullptr) return out;
    std::vector<Laid> hints;
    TextStore db;
    ReadTextDatabase(root.get(), db, [&hints](const std::string& text, TPoint2 scale, int width) {
        hints.push_back({"loading hint",
                         "loading hints " + std::to_string(width),
                         text,
                         {},
                         scale,
                         static_cast<float>(width)});
        return TTSTextArray{text};
    });
    // The section of every key, for the panels of plain paragraphs and lines.
    std::map<std::string, std::string, std::less<>> section;
    for (const TXMLNode& s : *root)
        for (const TXMLNode& k : s) section.emplace(k.Name(), AsciiLowerCase(s.Name()));
    auto sectionOf = [&section](const std::string& key) {
        const auto it = section.find(key);
        return it == section.end() ? std::string("?") : it->second;
    };
    for (const auto& [key, t] : db.WrapedTexts)
        out.push_back({key,
                       sectionOf(key) + " " + std::to_string(t.Width),
                       t.Text,
                       {},
                       t.Scale,
                       static_cast<float>(t.Width)});
    for (const auto& [key, m] : db.Messages)
        out.push_back({key,
                       "message panel " + std::to_string(m.PanelTemplate),
                       m.Text,
                       {},
                       m.Scale,
                       static_cast<float>(m.Width)});
    // Lines without a width: a screen's title is measured against the titles, any other
    // against the lines of its section. A paragraph also kept wrapped is measured above.
    for (const auto& [key, t] : db.Texts) {
        if (db.WrapedTexts.contains(key)) continue;
        const bool title = AsciiLowerCase(key).find("title") != std::string::npos;
        out.push_back(
            {key, title ? "titles" : "lines of " + sectionOf(key), {}, t.Text, t.Scale, 0});
    }
    // A caption leaves the button's rim clear: kCaptionMargin on either side.
    for (const auto& [key, b] : db.Buttons)
        out.push_back({key,
                       "button",
                       {},
                       b.Text,
                       b.Scale,
                       std::max(b.ButtonWidth * b.ButtonScale.x - 2 * kCaptionMargin, 1.0f)});
    for (int level = 1; level <= DialogLevelCount; ++level) {
        const auto& lines = db.Dialog(level);
        for (std::size_t n = 0; n < lines.size(); ++n)
            out.push_back({"dialog_" + std::to_string(level) + "_" + std::to_string(n + 1),
                           "dialog bubble",
                           lines[n].Text,
                           {},
                           lines[n].Scale,
                           static_cast<float>(lines[n].Width)});
    }
    for (std::size_t t = 0; t < db.Tutorials.size(); ++t) {
        for (std::size_t n = 0; n < db.Tutorials[t].size(); ++n) {
            const TTutorialTSText& step = db.Tutorials[t][n];
            out.push_back({"tutorial_" + std::to_string(t + 1) + "_" + std::to_string(n + 1),
                           "tutorial bubble " + std::to_string(step.Template),
                           step.Text,
                           {},
                           step.Scale,
                           static_cast<float>(step.Width)});
        }
    }
    for (const TTSCreditText& credit : db.Credits) {
        TTSTextArray lines = credit.Names;
        lines.push_back(credit.Title);
        out.push_back({"credit " + credit.Title, "credits", {}, lines, {1, 1}, 0});
    }
    for (const auto& [key, s] : db.Strings) out.push_back({key, "word", s, {}, {1, 1}, 0});
    out.insert(out.end(), hints.begin(), hints.end());
    return out;
}

// How one text measures in one font: its lines and the widest of them, in design units.
struct Measure {
    int Lines = 0;
    float Widest = 0;
    bool WordTooLong = false; // the wrap had to leave a line empty
};

Measure MeasureIn(TKilnFont& font, const Laid& t) {
    font.FScale = t.Scale;
    Measure m;
    const bool paragraph = t.Lines.empty();
    const TTSTextArray lines = paragraph && t.Width > 0
                                   ? font.GetWordWrapedTextFromString(t.Text, t.Width)
                               : paragraph ? TTSTextArray{t.Text}
                                           : t.Lines;
    m.Lines = static_cast<int>(lines.size());
    for (const std::string& line : lines) {
        m.Widest = std::max(m.Widest, font.TextWidth(line));
        m.WordTooLong = m.WordTooLong || (paragraph && line.empty() && lines.size() > 1);
    }
    return m;
}

class TextFit : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path data = kBuildDir / "Data";
        if (!fs::exists(data / "tData_Common.dan") || !fs::exists(data / "Fonts.dan"))
            GTEST_SKIP() << "the data is not built: " << data.string();
        ASSERT_TRUE(fonts_.OpenFile((data / "Fonts.dan").string()));
        for (std::string_view name : {ToonFontName, ShadowFontName}) {
            const auto description = XMLFromArchive(std::string(name) + ".xml", &fonts_);
            ASSERT_NE(description, nullptr) << name;
            auto font = std::make_unique<TKilnFont>(nullptr, std::string(name));
            font->LoadDescription(ReadFontDescription(*description));
            // As the game sets them up.
            font->FKerning = 0.0f;
            font->FWhitespace = 15.0f;
            font_.push_back(std::move(font));
        }
        ResetTextDatabase();
    }
    void TearDown() override {
        TextDatabaseSource() = saved_;
        ResetTextDatabase();
        UnlockArchiveAccess();
    }

    TKilnArchive fonts_;
    std::vector<std::unique_ptr<TKilnFont>> font_;
    TextDatabaseSourceFolders saved_ = TextDatabaseSource();
};

TEST_F(TextFit, EveryTextOfEveryLanguageFitsItsPanelInCharactersBothFontsHold) {
    std::vector<std::string> languages = {""};
    for (const std::string& l : TranslationLanguages()) languages.push_back(l);

    std::map<std::string, int> capacity;     // panel -> most lines an English text takes
    std::map<std::string, float> lineWidths; // lines of a section -> widest English line
    for (const std::string& language : languages) {
        const std::string name = language.empty() ? "en" : language;
        const std::vector<Laid> texts = LayOut(language);
        ASSERT_GT(texts.size(), 200u) << name << ": the texts were not read";
        for (const Laid& t : texts) {
            const std::string where = name + " " + t.Key + ": ";
            Measure worst;
            for (const auto& font : font_) {
                const Measure m = MeasureIn(*font, t);
                worst.Lines = std::max(worst.Lines, m.Lines);
                worst.Widest = std::max(worst.Widest, m.Widest);
                worst.WordTooLong = worst.WordTooLong || m.WordTooLong;
                std::string all = t.Text;
                for (const std::string& line : t.Lines) all += line;
                for (const char16_t c : Utf8ToUtf16(all)) {
                    if (c != u' ' && !font->Entry(c).HasGlyph())
                        ADD_FAILURE() << where << "character U+" << std::hex << static_cast<int>(c)
                                      << " is not in " << font->FName;
                }
            }
            if (worst.WordTooLong)
                ADD_FAILURE() << where << "a word is wider than " << Num(t.Width) << ": \""
                              << t.Text << "\"";
            const bool paragraph = t.Lines.empty();
            if (t.Width > 0 && worst.Widest > t.Width + 0.5f)
                ADD_FAILURE() << where << "is " << Num(worst.Widest) << " wide, its "
                              << (paragraph ? "width" : "button") << " " << Num(t.Width);
            if (paragraph && t.Width > 0) {
                int& most = capacity[t.Panel];
                if (language.empty())
                    most = std::max(most, worst.Lines);
                else if (worst.Lines > most)
                    ADD_FAILURE() << where << "takes " << worst.Lines << " lines, the " << t.Panel
                                  << " holds " << most << ": \"" << t.Text << "\"";
            }
            if (!paragraph && t.Width == 0 && t.Panel != "credits") {
                float& widest = lineWidths[t.Panel];
                if (language.empty())
                    widest = std::max(widest, worst.Widest);
                else if (worst.Widest > widest + 0.5f)
                    ADD_FAILURE() << where << "is " << Num(worst.Widest) << " wide, wider than any "
                                  << t.Panel << " in English (" << Num(widest) << ")";
            }
        }
    }
}

} // namespace
} // namespace bw
