// The language of the game follows the desktop's locale: the whole front door, played as a
// replay of the real game on the built data, started once with a German locale and once with
// a locale the game has no translation for.
#include "platform/Files.h"
#include "replay/Replay.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace bw {
namespace {

const std::string kData = std::string(BW_TEST_BINARY_DIR) + "/Data";

// Sets the locale variables for one test and puts the old ones back.
class Locale {
public:
    explicit Locale(const char* lang) {
        for (const char* name : kNames) {
            const char* v = std::getenv(name);
            if (v) saved_[Index(name)] = v;
            ::unsetenv(name);
        }
        ::setenv("LANG", lang, 1);
    }
    ~Locale() {
        for (const char* name : kNames) {
            const auto& v = saved_[Index(name)];
            if (v)
                ::setenv(name, v->c_str(), 1);
            else
                ::unsetenv(name);
        }
    }

private:
    static constexpr const char* kNames[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
    static int Index(const char* name) {
        for (int i = 0; i < 4; ++i)
            if (std::string(kNames[i]) == name) return i;
        return 0;
    }
    std::optional<std::string> saved_[4];
};

std::string ReadText(const std::string& path) {
    const auto bytes = ReadWholeFile(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

// A fresh home: the first loading screen, the name entry (its default name taken), the main
// menu, whose state is dumped, and out through the exit question.
struct FrontDoor {
    ReplayResult Result;
    std::string Menu;     // the state dump in the main menu
    std::string Question; // ... with the exit question shown
    std::string Options;  // Game.ini at the end
};

FrontDoor WalkTheFrontDoor(const std::string& defaultName, const std::string& options = {}) {
    testing::TempFolder home;
    if (!options.empty()) testing::WriteWholeFile(home.File("Game.ini"), options);
    ReplaySettings rs;
    rs.home = home.Path();
    rs.data = kData;
    rs.size = {480, 270};
    rs.ticks = 3000;
    rs.quickStart = true;
    const std::string menu = home.File("menu.json");
    const std::string question = home.File("question.json");
    const std::string script = "0 wait scene scene_Loaded 2000\n+1 click\n"
                               "+0 wait scene scene_EnterName 400\n"
                               "+0 expect main_menu.entry == " +
                               defaultName +
                               "\n+1 key enter\n"
                               "+0 wait scene scene_MainMenu 400\n"
                               "+120 dump " +
                               menu +
                               "\n+1 click button_MM_MainMenu_Exit\n"
                               "+1 expect layers.message.name == message_mm_ays_exit\n"
                               "+5 dump " +
                               question +
                               "\n+1 click button_Msg_Yes\n"
                               "+1 expect transition.kind == fl_exitgame\n";
    std::string error;
    EXPECT_TRUE(ParseReplayScript(script, rs.events, error)) << error;
    FrontDoor out;
    out.Result = RunReplay(rs);
    out.Menu = ReadText(menu);
    out.Question = ReadText(question);
    out.Options = ReadText(home.File("Game.ini"));
    return out;
}

// The message's text as the player reads it: the wrap joins the words of a line with two
// spaces.
bool Says(std::string dump, const std::string& text) {
    for (std::size_t at; (at = dump.find("  ")) != std::string::npos;) dump.erase(at, 1);
    return dump.find(text) != std::string::npos;
}

bool Has(const std::string& dump, const std::string& caption) {
    return dump.find("\"caption\": \"" + caption + "\"") != std::string::npos;
}

TEST(GameLanguage, AGermanDesktopGetsTheGermanFrontDoor) {
    const Locale locale("de_DE.UTF-8");
    const FrontDoor door = WalkTheFrontDoor("Spieler");
    ASSERT_TRUE(door.Result.ok) << door.Result.error;
    for (const char* caption : {"Optionen", "Credits", "Beenden", "Erfolge"})
        EXPECT_TRUE(Has(door.Menu, caption)) << caption << "\n" << door.Menu.substr(0, 3000);
    EXPECT_FALSE(Has(door.Menu, "Options"));
    EXPECT_TRUE(Says(door.Question, "\"text\": \"Schon gehen?")) << door.Question.substr(0, 3000);
    EXPECT_TRUE(Has(door.Question, "Ja") && Has(door.Question, "Nein"));
    EXPECT_LT(door.Result.ticks, 2800u);
}

TEST(GameLanguage, ALocaleWithoutATranslationGetsEnglish) {
    const Locale locale("sw_KE.UTF-8");
    const FrontDoor door = WalkTheFrontDoor("Player");
    ASSERT_TRUE(door.Result.ok) << door.Result.error;
    for (const char* caption : {"Options", "Credits", "Exit", "Awards"})
        EXPECT_TRUE(Has(door.Menu, caption)) << caption << "\n" << door.Menu.substr(0, 3000);
    EXPECT_TRUE(Says(door.Question, "\"text\": \"Leaving already?"))
        << door.Question.substr(0, 3000);
    EXPECT_TRUE(Has(door.Question, "Yes") && Has(door.Question, "No"));
    EXPECT_LT(door.Result.ticks, 2800u);
}

TEST(GameLanguage, TheOptionsFileOverridesTheDesktopAndKeepsTheChoice) {
    const Locale locale("en_US.UTF-8");
    const FrontDoor door = WalkTheFrontDoor("Spieler", "[OPTIONS]\nLanguage=de\n");
    ASSERT_TRUE(door.Result.ok) << door.Result.error;
    EXPECT_TRUE(Has(door.Menu, "Optionen")) << door.Menu.substr(0, 3000);
    EXPECT_NE(door.Options.find("Language=de"), std::string::npos) << door.Options;
    EXPECT_NE(door.Options.find("LastProfileName=Spieler"), std::string::npos) << door.Options;
}

} // namespace
} // namespace bw
