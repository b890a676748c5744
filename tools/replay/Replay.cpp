#include "replay/Replay.h"

#include "Engine/KilnSprite/SpriteEngine.h"
#include "app/GameWiring.h"
#include "app/LoadingScreen.h"
#include "app/MainForm.h"
#include "app/Splash.h"
#include "audio/SoundEngine.h"
#include "base/DataFolder.h"
#include "base/GameObjects.h"
#include "base/GameOptions.h"
#include "base/GameState.h"
#include "base/ModalLayers.h"
#include "base/SceneTransition.h"
#include "board/Board.h"
#include "board/BoardDump.h"
#include "board/BoardSprites.h"
#include "cutscene/CutScene.h"
#include "data/KilnArchive.h"
#include "effects/ParticleManager.h"
#include "gui/ButtonNames.h"
#include "gui/ButtonSprites.h"
#include "gui/MessageBox.h"
#include "gui/TextureOffsetSprite.h"
#include "ingame/Dialogs.h"
#include "ingame/Help.h"
#include "ingame/InGameMenu.h"
#include "ingame/LevelPanels.h"
#include "ingame/LevelResult.h"
#include "ingame/LevelScene.h"
#include "ingame/Tutorial.h"
#include "ingame/TutorialSteps.h"
#include "meta/Awards.h"
#include "meta/LevelMap.h"
#include "meta/MainMenu.h"
#include "meta/PlayerSelection.h"
#include "meta/Profile.h"
#include "platform/Files.h"
#include "render/Canvas.h"
#include "render/DisplayState.h"
#include "replay/JsonPath.h"

#include <cxxabi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <typeinfo>

namespace bw {

namespace {

const char* const kKinds[] = {"move", "down",  "up",     "click",    "dblclick",   "key",
                              "text", "enter", "leave",  "activate", "deactivate", "wait",
                              "type", "drag",  "expect", "dump",     "shot"};
const char* const kOperators[] = {"==", "!=", "<", "<=", ">", ">=", "contains", "exists", "absent"};
constexpr uint64_t kDefaultSceneWait = 1200;

// A tick count: digits only.
bool ParseCount(const std::string& word, uint64_t& out) {
    if (word.empty() || word.size() > 18) return false;
    for (char c : word)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    out = std::strtoull(word.c_str(), nullptr, 10);
    return true;
}

int SceneFromName(const std::string& name) {
    for (int s = 0; s < SceneCount; ++s)
        if (name == SceneName(static_cast<uint8_t>(s))) return s;
    return -1;
}

int ButtonNameFromText(const std::string& name) {
    for (int b = 0; b < ButtonNameCount; ++b)
        if (name == ButtonNameText(static_cast<TButtonName>(b))) return b;
    return -1;
}

// A key's name, optionally after "alt+" (the Alt key held).
bool ParseKey(const std::string& name, Key& key, bool* alt = nullptr) {
    static const std::map<std::string, Key> keys = {
        {"escape", Key::Escape}, {"f1", Key::F1},
        {"f6", Key::F6},         {"f11", Key::F11},
        {"home", Key::Home},     {"enter", Key::Enter},
        {"return", Key::Enter},  {"backspace", Key::Backspace},
        {"left", Key::Left},     {"right", Key::Right},
        {"delete", Key::Delete}, {"end", Key::End}};
    std::string lower = name;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const bool withAlt = lower.rfind("alt+", 0) == 0;
    if (withAlt) lower.erase(0, 4);
    if (alt != nullptr) *alt = withAlt;
    const auto it = keys.find(lower);
    if (it == keys.end()) return false;
    key = it->second;
    return true;
}

std::string Demangle(const char* name) {
    int status = 0;
    char* out = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    std::string result = status == 0 && out ? out : name;
    std::free(out);
    // "bw::TCursorPoint" reads better as "TCursorPoint".
    if (result.rfind("bw::", 0) == 0) result = result.substr(4);
    if (result.rfind("(anonymous namespace)::", 0) == 0) result = result.substr(23);
    return result;
}

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string Num(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f", v);
    return buf;
}

void DumpSprites(const TSprite& parent, std::ostringstream& out, bool& first) {
    for (int i = 0; i < parent.GetCount(); ++i) {
        const TSprite* s = parent.GetItem(i);
        if (!s) continue;
        out << (first ? "\n" : ",\n")
            << "    {\"class\": " << JsonString(Demangle(typeid(*s).name()))
            << ", \"name\": " << JsonString(s->FName) << ", \"x\": " << Num(s->FX)
            << ", \"y\": " << Num(s->FY) << ", \"z\": " << s->FZ
            << ", \"visible\": " << (s->FVisible ? "true" : "false")
            << ", \"dead\": " << (s->FDeaded ? "true" : "false")
            << ", \"image\": " << JsonString(s->FImageName) << ", \"pattern\": " << s->FPatternIndex
            << "}";
        first = false;
        DumpSprites(*s, out, first);
    }
}

std::string EngineJson(const TSpriteEngine* engine) {
    std::ostringstream out;
    out << "[";
    bool first = true;
    if (engine) DumpSprites(*engine, out, first);
    out << (first ? "]" : "\n  ]");
    return out.str();
}

// A button or clickable sprite on screen, in creation order.
struct ScreenTarget {
    const TSprite* sprite = nullptr;
    std::string name; // the TButtonName text; empty for a sprite that is no button
    std::string className;
    bool enabled = true;
    TRect box; // the hit box in design units
    std::string caption;
};

void CollectTargets(const TSprite& parent, std::vector<ScreenTarget>& out) {
    for (const TSprite* s : parent.Items()) {
        // An invisible sprite hides its whole subtree.
        if (!s || s->FDeaded || !s->FVisible) continue;
        ScreenTarget t;
        t.sprite = s;
        t.className = Demangle(typeid(*s).name());
        t.box = s->FCollideRect;
        if (const auto* b = dynamic_cast<const TGlowButtonSprite*>(s)) {
            t.name = ButtonNameText(b->ButtonName());
            if (const auto* b2 = dynamic_cast<const TButtonSprite2*>(s)) {
                t.enabled = b2->Enabled();
                for (const std::string& line : b2->Parameters().Text)
                    t.caption += (t.caption.empty() ? "" : "\n") + line;
            }
            out.push_back(std::move(t));
        } else if (s->FCollisioned) {
            if (s->FCollideMode != cmRect)
                t.box = TRect{static_cast<int>(s->FCollidePos.x) - s->FCollideRadius,
                              static_cast<int>(s->FCollidePos.y) - s->FCollideRadius,
                              static_cast<int>(s->FCollidePos.x) + s->FCollideRadius,
                              static_cast<int>(s->FCollidePos.y) + s->FCollideRadius};
            out.push_back(std::move(t));
        }
        CollectTargets(*s, out);
    }
}

std::vector<ScreenTarget> ScreenTargets() {
    std::vector<ScreenTarget> out;
    if (MainEngine) CollectTargets(*MainEngine, out);
    return out;
}

std::string ButtonsJson(const std::vector<ScreenTarget>& targets, const char* indent) {
    std::ostringstream out;
    out << "[";
    bool first = true;
    for (const ScreenTarget& t : targets) {
        if (t.name.empty()) continue;
        out << (first ? "\n" : ",\n") << indent << "{\"name\": " << JsonString(t.name)
            << ", \"enabled\": " << (t.enabled ? "true" : "false") << ", \"x\": " << t.box.left
            << ", \"y\": " << t.box.top << ", \"w\": " << t.box.Width()
            << ", \"h\": " << t.box.Height() << ", \"caption\": " << JsonString(t.caption) << "}";
        first = false;
    }
    out << (first ? "]" : "\n  ]");
    return out.str();
}

std::string StringList(const std::vector<std::string>& names);

// A layer that exists as a slot: its state while shown, null otherwise. The result tells its
// outcome line and stage; the other panels do not tell theirs yet.
std::string LayerJson(Layer slot, bool withStage) {
    if (!Layers().Shown(slot)) return "null";
    if (slot == Layer::Dialog) {
        const TDialogPanel* panel = DialogPanelSprite();
        return "{\"line\": " + std::to_string(DialogLineShown()) +
               ", \"lines\": " + std::to_string(DialogLineCount()) +
               ", \"stage\": " + std::to_string(DialogStage()) +
               ", \"character\": " + (panel ? std::to_string(panel->FCharacter) : "null") +
               ", \"x\": " + (panel ? Num(panel->FX) : "null") +
               ", \"parts\": " + std::to_string(DialogPartSprites().size()) + "}";
    }
    if (const ResultStages* result = slot == Layer::Result ? ResultState() : nullptr)
        return "{\"name\": " + JsonString(ResultOutcomeKey()) +
               ", \"stage\": " + std::to_string(result->Stage) +
               ", \"score\": " + std::to_string(static_cast<int64_t>(result->ShownScore)) +
               ", \"buttons\": " + StringList(ResultButtonNames()) + "}";
    return std::string("{\"name\": null") + (withStage ? ", \"stage\": null" : "") +
           ", \"buttons\": []}";
}

// The help screen while open: its page, the page count, the shown topics and the shade.
std::string HelpJson() {
    if (!HelpOpen()) return "null";
    const std::array<int, 3> topics = HelpTopicsShown();
    std::string list = "[";
    for (size_t i = 0; i < topics.size(); ++i) list += (i ? ", " : "") + std::to_string(topics[i]);
    return "{\"page\": " + std::to_string(HelpPage()) +
           ", \"pages\": " + std::to_string(HelpPages()) + ", \"topics\": " + list +
           "], \"shade\": " + std::to_string(HelpShadeAlpha()) + "}";
}

// The running tutorial: number, step, whether a click may advance, what it shows.
std::string TutorialJson() {
    const TutorialMachine& t = TutorialState();
    if (!t.Active()) return "null";
    std::string marks = "[";
    bool first = true;
    for (const TTutorialArrowSpite* a : TutorialArrowSprites()) {
        marks += std::string(first ? "" : ", ") + "[" + std::to_string(a->FMarkObject.x) + ", " +
                 std::to_string(a->FMarkObject.y) + "]";
        first = false;
    }
    const TTutorialPanelSprite* panel = TutorialPanel();
    return "{\"number\": " + std::to_string(t.Number()) +
           ", \"step\": " + std::to_string(t.Step()) +
           ", \"ready\": " + (t.Ready() ? "true" : "false") + ", \"marks\": " + marks +
           "], \"panel\": " +
           (panel ? "{\"alpha\": " + std::to_string(panel->FAlpha) + ", \"x\": " + Num(panel->FX) +
                        ", \"y\": " + Num(panel->FY) + "}"
                  : std::string("null")) +
           "}";
}

std::string MessageNameText(TMessageName name) {
    switch (name) {
    case message_mm_ays_exit:
        return "message_mm_ays_exit";
    case message_igm_ays_restart:
        return "message_igm_ays_restart";
    case message_igm_ays_map:
        return "message_igm_ays_map";
    case message_igm_ays_menu:
        return "message_igm_ays_menu";
    case message_cp_deleteprofile:
        return "message_cp_deleteprofile";
    default:
        return "message_default";
    }
}

std::string JoinedLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) out += (out.empty() ? "" : " ") + line;
    return out;
}

// The message box: its name, its wrapped lines and its buttons.
std::string MessageJson() {
    if (!MessageShown()) return "null";
    std::vector<ScreenTarget> buttons = ScreenTargets();
    std::erase_if(buttons,
                  [](const ScreenTarget& t) { return t.name.rfind("button_Msg_", 0) != 0; });
    return "{\"name\": " + JsonString(MessageNameText(ShownMessageName())) +
           ", \"text\": " + JsonString(JoinedLines(ShownMessageLines())) +
           ", \"buttons\": " + ButtonsJson(buttons, "      ") + "}";
}

// The main menu's time of day, the player selection and the name entry.
std::string MainMenuJson() {
    if (!MainMenuOpen()) return "null";
    std::ostringstream out;
    out << "{\"clock\": " << MainMenuClock()
        << ", \"night\": " << (MainMenuNight() ? "true" : "false")
        << ", \"night_alpha\": " << MainMenuNightAlpha() << ", \"selection\": ";
    if (PlayerSelectionOpen())
        out << "{\"offset\": " << PlayerSelectionOffset()
            << ", \"selected\": " << SelectedProfileIndex() << ", \"handle\": "
            << (ScrollHandleShown(static_cast<int>(ProfilesList.size())) ? "true" : "false")
            << ", \"can_delete\": " << (SelectedProfileIndex() >= 0 ? "true" : "false") << "}";
    else
        out << "null";
    out << ", \"entry\": " << (NameEntryOpen() ? JsonString(EnterNameText()) : "null") << "}";
    return out.str();
}

std::string MapJson() {
    if (!MapOpen()) return "null";
    const MapState m = MapStateNow();
    std::ostringstream out;
    out << "{\"limit\": " << m.limit << ", \"hovered\": " << m.hovered
        << ", \"panel\": " << m.panelLevel << ", \"panel_alpha\": " << m.panelAlpha
        << ", \"dots\": " << m.dots << ", \"nests\": [";
    for (size_t i = 0; i < m.nests.size(); ++i) out << (i ? ", " : "") << m.nests[i];
    out << "]}";
    return out.str();
}

// The award popup and the queue behind it, and the awards screen while it is open.
std::string AwardsJson() {
    std::ostringstream out;
    out << "{\"queue\": " << NewAwards().size() << ", \"popup\": ";
    if (const TNewAwardSprite* popup = AwardPopup())
        out << "{\"award\": " << popup->FAwardIndex << ", \"medal\": " << popup->FMedal
            << ", \"stage\": " << popup->FShowStage << ", \"alpha\": " << popup->FAlpha
            << ", \"x\": " << Num(popup->FX) << ", \"y\": " << Num(popup->FY) << "}";
    else
        out << "null";
    out << ", \"screen\": ";
    if (AwardsOpen()) {
        const TMMAwardsDescriptionPanel* d = AwardDescription();
        out << "{\"description\": " << (d ? d->FIndex : 0)
            << ", \"description_alpha\": " << (d ? d->FAlpha : 0)
            << ", \"description_x\": " << (d ? Num(d->FX) : "null")
            << ", \"description_y\": " << (d ? Num(d->FY) : "null") << ", \"progress\": [";
        for (int i = 1; i <= AwardsCount; ++i) {
            const TMMAwardSprite* tile = AwardTile(i);
            out << (i > 1 ? ", " : "")
                << (tile && tile->FProgressSprite ? tile->FProgressSprite->fRenderSize.x : -1);
        }
        out << "]}";
    } else {
        out << "null";
    }
    const TSprite* logo = MainMenuLogo();
    out << ", \"logo\": " << (logo ? (logo->FVisible ? "true" : "false") : "null") << "}";
    return out.str();
}

std::string PlayerJson() {
    const TPlayer& p = Player;
    std::ostringstream out;
    out << "{\"name\": " << JsonString(p.Name) << ", \"file\": " << JsonString(p.FileName)
        << ", \"Score\": " << p.Score << ", \"Level\": " << p.Level << ", \"levels\": [";
    for (size_t i = 0; i < p.Levels.size(); ++i) out << (i ? ", " : "") << p.Levels[i].FStatus;
    out << "], \"awards\": [";
    for (int a = 1; a <= AwardsCount; ++a) out << (a > 1 ? ", " : "") << p.Awards[a];
    out << "],\n    \"counters\": {\"CatsWereKilled\": " << p.CatsWereKilled
        << ", \"BirdsWereBurned\": " << p.BirdsWereBurned << ", \"MaxCombo\": " << p.MaxCombo
        << ", \"BonusesActivated\": " << p.BonusesActivated
        << ", \"BirdsPainted\": " << p.BirdsPainted << ", \"WallsDestroyed\": " << p.WallsDestroyed
        << ", \"BirdsUnbounded\": " << p.BirdsUnbounded << ", \"CrownsKilled\": " << p.CrownsKilled
        << "},\n    \"GameWasStarted\": " << (p.GameWasStarted ? "true" : "false")
        << ", \"GameWasCompleted\": " << (p.GameWasCompleted ? "true" : "false") << "}";
    return out.str();
}

std::string LevelJson() {
    const TPlayer& p = Player;
    std::ostringstream out;
    out << "{\"LevelScore\": " << p.LevelScore << ", \"TempScore\": " << p.TempScore
        << ", \"LevelTime\": " << p.LevelTime << ", \"LevelMoves\": " << p.LevelMoves
        << ", \"LevelBirdsGenerated\": " << p.LevelBirdsGenerated
        << ", \"LevelAiMoves\": " << p.LevelAiMoves << ", \"LevelBirdsMatched\": [";
    for (size_t k = 1; k < p.LevelBirdsMatched.size(); ++k)
        out << (k > 1 ? ", " : "") << p.LevelBirdsMatched[k];
    out << "],\n    \"LevelBirdsCombos\": {\"Color\": " << p.LevelBirdsCombos.Color
        << ", \"Count\": " << p.LevelBirdsCombos.Count
        << "}, \"LevelBirdsAnyCombo\": " << p.LevelBirdsAnyCombo
        << ", \"LevelCatsMatched\": " << p.LevelCatsMatched
        << ", \"LevelBonusesUsed\": " << p.LevelBonusesUsed
        << ", \"NestlingsSaved\": " << p.NestlingsSaved << ", \"BossHealth\": " << p.BossHealth
        << ",\n    \"TaskCompleted\": " << (p.TaskCompleted ? "true" : "false")
        << ", \"TaskStatus\": " << (LevelTaskStatus() ? JsonString(LevelTaskStatus()) : "null")
        << ", \"LevelFinished\": " << (LevelFinished ? "true" : "false")
        << ", \"ResultDelayActive\": " << (ResultDelayActive ? "true" : "false");
    // The task panel's slide and the mission pop-up, while the level's panels exist.
    if (const TaskPanelMotion* task = TaskPanelState())
        out << ",\n    \"task_panel\": {\"stage\": " << task->Stage
            << ", \"status\": " << static_cast<int>(task->Status) << ", \"x\": " << task->X << "}";
    else
        out << ",\n    \"task_panel\": null";
    if (const PopupMotion* popup = PopupState())
        out << ", \"popup\": {\"status\": " << popup->Status
            << ", \"first\": " << (popup->FirstShowing ? "true" : "false")
            << ", \"visible\": " << (popup->PanelVisible() ? "true" : "false") << "}";
    else
        out << ", \"popup\": null";
    out << "}";
    return out.str();
}

std::string StringList(const std::vector<std::string>& names) {
    std::string out = "[";
    for (size_t i = 0; i < names.size(); ++i) out += (i ? ", " : "") + JsonString(names[i]);
    return out + "]";
}

std::string TransitionJson() {
    if (!TransitionSprite) return "{\"visible\": false, \"kind\": null, \"brightness\": null}";
    const TChangeSceneFxSprite& t = *TransitionSprite;
    return std::string("{\"visible\": ") + (t.FVisible ? "true" : "false") +
           ", \"kind\": " + JsonString(TransitionKindName(t.FKind)) +
           ", \"brightness\": " + Num(t.FBrightness) +
           ", \"direction\": " + std::to_string(t.FDirection) + "}";
}

std::string LoadingJson() {
    const LoadingScreenState& l = LoadingScreen();
    const TTextureOffsetSprite* bar = LoadingProgressBar();
    return std::string("{\"percent\": ") + std::to_string(l.LoadingPercent) +
           ", \"progress_frames\": " + std::to_string(l.ProgressFrames) +
           ", \"bar_width\": " + (bar ? std::to_string(bar->fRenderSize.x) : "null") +
           ", \"version\": " + (l.ShowVersionOnLoading ? "true" : "false") +
           ", \"hint\": " + std::to_string(l.LoadingHintIndex) +
           ", \"after\": " + JsonString(SceneName(SceneAfterLoading)) +
           ", \"phase\": " + Num(LoadingPhase) + "}";
}

std::string StateJson(uint64_t tick, bool takeSounds) {
    static std::vector<std::string> peeked; // effects seen by an expectation, not yet dumped
    std::vector<std::string> sounds = TakeStartedEffects();
    peeked.insert(peeked.end(), sounds.begin(), sounds.end());
    if (peeked.size() > 256) peeked.erase(peeked.begin(), peeked.end() - 256);
    sounds = peeked;
    if (takeSounds) peeked.clear();
    std::vector<std::string> profiles;
    for (const TProfileCaption& c : ProfilesList) profiles.push_back(c.Caption);
    const TMusicNilSprite* music = CurrentMusic >= 0 ? MusicSprite(CurrentMusic) : nullptr;

    std::ostringstream out;
    out << "{\n  \"tick\": " << tick << ",\n  \"scene\": " << JsonString(SceneName(CurrentScene))
        << ",\n  \"transition\": " << TransitionJson() << ",\n  \"loading\": " << LoadingJson()
        << ",\n  \"paused\": " << (AppPaused ? "true" : "false") << ",\n  \"mouse\": ["
        << Num(MouseX) << ", " << Num(MouseY) << "]"
        << ",\n  \"buttons\": " << ButtonsJson(ScreenTargets(), "    ")
        << ",\n  \"layers\": {\"message\": " << MessageJson()
        << ", \"result\": " << LayerJson(Layer::Result, true)
        << ", \"dialog\": " << LayerJson(Layer::Dialog, false) << ", \"menu\": "
        << (IGMOpen() ? "{\"shade\": " + std::to_string(IGMShadeAlpha()) + "}" : "null")
        << ", \"help\": " << HelpJson() << ", \"tutorial\": " << TutorialJson() << "}"
        << ",\n  \"player\": " << PlayerJson() << ",\n  \"level\": " << LevelJson()
        << ",\n  \"profiles\": " << StringList(profiles) << ",\n  \"main_menu\": " << MainMenuJson()
        << ",\n  \"map\": " << MapJson() << ",\n  \"awards\": " << AwardsJson()
        << ",\n  \"sounds\": " << StringList(sounds)
        << ",\n  \"music\": " << (music ? JsonString(music->FFileName) : "null")
        << ",\n  \"particles\": " << (ParticleManager() ? ParticleManager()->FSysCount : 0)
        << ",\n  \"sprite_count\": " << (MainEngine ? MainEngine->FAllCount : 0)
        << ",\n  \"sprites\": " << EngineJson(MainEngine)
        << ",\n  \"loading_sprites\": " << EngineJson(LoadingEngine)
        << ",\n  \"board\": " << BoardStateJson() << "\n}\n";
    return out.str();
}

bool IsNumber(const std::string& text, double& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    return end && *end == 0 && std::isfinite(out);
}

bool Matches(const JsonValue& actual, const std::string& value) {
    double n = 0;
    if (actual.type == JsonValue::Type::Number && IsNumber(value, n)) return actual.number == n;
    return JsonValueText(actual) == value;
}

// One step of a line that takes several ticks.
struct ScriptStep {
    uint64_t offset = 0; // ticks after the line started
    PlatformEvent event;
    bool toDesign = false; // a move to (x, y) in design units
    double x = 0, y = 0;
};

// The centre of board cell (x, y) as the current location lays it out.
bool CellCentre(int x, int y, double& cx, double& cy) {
    const TLevelSprite* cell = BoardCells[static_cast<size_t>(x)][static_cast<size_t>(y)];
    if (!cell) return false;
    cx = cell->FCenter.x;
    cy = cell->FCenter.y;
    return true;
}

PlatformEvent Simple(EventType type, int button = 1) {
    PlatformEvent pe;
    pe.type = type;
    pe.button = button;
    return pe;
}

// Plays a script against the running game, line by line: each line starts once its tick has
// come and the line before it has finished.
class ScriptRunner {
public:
    ScriptRunner(const std::vector<ReplayEvent>& lines, TMainForm& form)
        : lines_(lines), form_(form) {}

    // Runs what is due at `tick`. Shots asked for now go to `shots`; false with `failure`
    // when a line fails.
    bool Run(uint64_t tick, std::vector<std::string>& shots, std::string& failure) {
        while (next_ < lines_.size()) {
            const ReplayEvent& e = lines_[next_];
            if (!active_) {
                const uint64_t due = e.relative ? base_ + e.tick : e.tick;
                if (due > tick) return true;
                active_ = true;
                start_ = tick;
                steps_.clear();
                step_ = 0;
                if (!Begin(e, tick, shots, failure)) return false;
            }
            if (e.kind == "wait") {
                if (!e.name.empty()) {
                    if (CurrentScene == SceneFromName(e.name) && !TransitionVisible()) {
                        Finish(tick);
                        continue;
                    }
                    if (tick - start_ >= e.count) {
                        failure = Where(e) + "wait scene " + e.name + ": not reached within " +
                                  std::to_string(e.count) + " ticks (scene is " +
                                  SceneName(CurrentScene) + ")";
                        return false;
                    }
                    return true;
                }
                if (tick - start_ < e.count) return true;
                Finish(tick);
                continue;
            }
            while (step_ < steps_.size() && start_ + steps_[step_].offset <= tick)
                Send(steps_[step_++]);
            if (step_ < steps_.size()) return true;
            Finish(tick);
        }
        return true;
    }

    // Every line has run.
    bool Idle() const { return next_ >= lines_.size(); }
    // More lines, after those there are.
    void Append(const std::vector<ReplayEvent>& more) {
        lines_.insert(lines_.end(), more.begin(), more.end());
    }

    // After the last tick: the first line that checks or writes something and did not finish.
    std::string Unfinished() const {
        for (size_t i = next_; i < lines_.size(); ++i) {
            const ReplayEvent& e = lines_[i];
            const bool pointer = (e.kind == "click" || e.kind == "dblclick") && !e.name.empty();
            if (e.kind == "wait" || e.kind == "expect" || e.kind == "dump" || e.kind == "shot" ||
                e.kind == "drag" || e.kind == "type" || pointer)
                return Where(e) + (i == next_ && active_ ? "still running" : "not reached") +
                       " when the run ended";
        }
        return {};
    }

private:
    static std::string Where(const ReplayEvent& e) {
        return "line " + std::to_string(e.line) + ": ";
    }

    void Finish(uint64_t tick) {
        base_ = tick;
        active_ = false;
        ++next_;
    }

    void Add(uint64_t offset, const PlatformEvent& pe) {
        steps_.push_back({offset, pe, false, 0, 0});
    }
    void AddMove(uint64_t offset, double x, double y) {
        steps_.push_back({offset, PlatformEvent{}, true, x, y});
    }

    void Send(const ScriptStep& step) {
        PlatformEvent pe = step.event;
        if (step.toDesign) {
            pe.type = EventType::MouseMove;
            pe.x = static_cast<int>(std::lround((step.x - WorldOffset.x) * DisplayScale.x));
            pe.y = static_cast<int>(std::lround((step.y - WorldOffset.y) * DisplayScale.y));
        }
        form_.Dispatch(pe);
    }

    bool Begin(const ReplayEvent& e, uint64_t tick, std::vector<std::string>& shots,
               std::string& failure) {
        const std::string& k = e.kind;
        if (k == "wait") return true;
        if (k == "move") {
            AddMove(0, e.x, e.y);
        } else if (k == "down" || k == "up") {
            Add(0, Simple(k == "down" ? EventType::MouseDown : EventType::MouseUp, e.button));
        } else if ((k == "click" || k == "dblclick") && e.name.empty()) {
            Add(0, Simple(k == "click" ? EventType::MouseClick : EventType::MouseDoubleClick));
        } else if (k == "click" || k == "dblclick") {
            const bool button = e.name.rfind("button_", 0) == 0;
            int seen = 0;
            const ScreenTarget* found = nullptr;
            const std::vector<ScreenTarget> targets = ScreenTargets();
            for (const ScreenTarget& t : targets) {
                const bool fits = button ? t.name == e.name && t.enabled
                                         : t.name.empty() && t.className == e.name;
                if (fits && ++seen == e.index) found = &t;
            }
            if (!found) {
                failure = Where(e) + "no visible" + (button ? ", enabled " : " ") + e.name +
                          (e.index > 1 ? " number " + std::to_string(e.index) : "") + " (found " +
                          std::to_string(seen) + ")";
                return false;
            }
            const double cx = (found->box.left + found->box.right) / 2.0;
            const double cy = (found->box.top + found->box.bottom) / 2.0;
            // The pointer arrives, then a real mouse's press, click and release.
            AddMove(0, cx, cy);
            Add(1, Simple(EventType::MouseDown));
            Add(2, Simple(EventType::MouseClick));
            Add(3, Simple(EventType::MouseUp));
            if (k == "dblclick") {
                Add(4, Simple(EventType::MouseDown));
                Add(5, Simple(EventType::MouseDoubleClick));
                Add(6, Simple(EventType::MouseUp));
            }
        } else if (k == "drag") {
            double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
            for (int end = 0; end < 2; ++end) {
                const int cx = e.cells[end * 2], cy = e.cells[end * 2 + 1];
                if (!CellCentre(cx, cy, end ? x2 : x1, end ? y2 : y1)) {
                    failure = Where(e) + "no board cell (" + std::to_string(cx) + ", " +
                              std::to_string(cy) + ")";
                    return false;
                }
            }
            // Over the source, press, then one step per cell of the way, then release.
            AddMove(0, x1, y1);
            Add(1, Simple(EventType::MouseDown));
            const int cells = std::abs(e.cells[2] - e.cells[0]) + std::abs(e.cells[3] - e.cells[1]);
            const int steps = std::max(2, cells);
            for (int i = 1; i <= steps; ++i)
                AddMove(static_cast<uint64_t>(1 + i), x1 + (x2 - x1) * i / steps,
                        y1 + (y2 - y1) * i / steps);
            Add(static_cast<uint64_t>(steps + 2), Simple(EventType::MouseClick));
            Add(static_cast<uint64_t>(steps + 2), Simple(EventType::MouseUp));
        } else if (k == "key") {
            PlatformEvent pe;
            pe.type = EventType::KeyDown;
            ParseKey(e.arg, pe.key, &pe.alt);
            Add(0, pe);
        } else if (k == "text") {
            PlatformEvent pe;
            pe.type = EventType::TextInput;
            pe.text = e.arg;
            Add(0, pe);
        } else if (k == "type") {
            uint64_t offset = 0;
            for (size_t i = 0; i < e.arg.size();) {
                size_t n = 1;
                while (i + n < e.arg.size() &&
                       (static_cast<unsigned char>(e.arg[i + n]) & 0xC0) == 0x80)
                    ++n;
                PlatformEvent pe;
                pe.type = EventType::TextInput;
                pe.text = e.arg.substr(i, n);
                Add(offset++, pe);
                i += n;
            }
        } else if (k == "enter" || k == "leave" || k == "activate" || k == "deactivate") {
            Add(0, Simple(k == "enter"      ? EventType::MouseEnter
                          : k == "leave"    ? EventType::MouseLeave
                          : k == "activate" ? EventType::Activated
                                            : EventType::Deactivated));
        } else if (k == "expect") {
            failure = ExpectationFailure(e, StateJson(tick, false));
            return failure.empty();
        } else if (k == "dump") {
            const std::string json = DumpGameState(tick);
            if (!WriteFileAtomically(e.arg, json.data(), json.size())) {
                failure = Where(e) + "cannot write " + e.arg;
                return false;
            }
        } else if (k == "shot") {
            shots.push_back(e.arg);
        }
        return true;
    }

    std::vector<ReplayEvent> lines_;
    TMainForm& form_;
    size_t next_ = 0;
    bool active_ = false;
    uint64_t base_ = 0;
    uint64_t start_ = 0;
    std::vector<ScriptStep> steps_;
    size_t step_ = 0;
};

} // namespace

bool ParseReplayScript(const std::string& text, std::vector<ReplayEvent>& events,
                       std::string& error) {
    std::istringstream in(text);
    std::string line;
    int number = 0;
    // The earliest tick the line before can have finished at (waits for a scene may last
    // longer); absolute ticks must not lie before it.
    uint64_t lastTick = 0;
    while (std::getline(in, line)) {
        ++number;
        const size_t hash = line.find('#');
        if (hash != std::string::npos) line.resize(hash);
        std::istringstream words(line);
        std::string first;
        if (!(words >> first)) continue;
        auto fail = [&](const std::string& why) {
            error = "line " + std::to_string(number) + ": " + why;
            return false;
        };
        ReplayEvent e;
        e.line = number;
        const bool plus = first[0] == '+';
        if (plus || std::isdigit(static_cast<unsigned char>(first[0])) || first[0] == '-') {
            uint64_t tick = 0;
            if (!ParseCount(plus ? first.substr(1) : first, tick))
                return fail("bad tick '" + first + "'");
            e.tick = tick;
            e.relative = plus;
            if (!plus && e.tick < lastTick) return fail("ticks must not go backwards");
            lastTick = plus ? lastTick + e.tick : e.tick;
            if (!(words >> e.kind)) return fail("missing event");
        } else {
            e.relative = true;
            e.kind = first;
        }
        if (std::find(std::begin(kKinds), std::end(kKinds), e.kind) == std::end(kKinds))
            return fail("unknown event '" + e.kind + "'");
        std::string word;
        if (e.kind == "move") {
            if (!(words >> e.x >> e.y) || !std::isfinite(e.x) || !std::isfinite(e.y))
                return fail("move needs two numbers");
        } else if (e.kind == "down" || e.kind == "up") {
            std::string b;
            if (words >> b) {
                if (b == "left")
                    e.button = 1;
                else if (b == "middle")
                    e.button = 2;
                else if (b == "right")
                    e.button = 3;
                else
                    return fail("unknown button '" + b + "'");
            }
        } else if (e.kind == "click" || e.kind == "dblclick") {
            if (words >> e.name) {
                if (e.name.rfind("button_", 0) == 0) {
                    if (ButtonNameFromText(e.name) < 0)
                        return fail("unknown button '" + e.name + "'");
                } else if (e.name.size() < 2 || e.name[0] != 'T' ||
                           !std::isupper(static_cast<unsigned char>(e.name[1]))) {
                    return fail("unexpected '" + e.name + "' (a button name or a sprite class)");
                }
                uint64_t n = 0;
                if (words >> word) {
                    if (!ParseCount(word, n) || n < 1 || n > 100000)
                        return fail("bad index '" + word + "'");
                    e.index = static_cast<int>(n);
                }
            }
        } else if (e.kind == "key") {
            Key k;
            if (!(words >> e.arg) || !ParseKey(e.arg, k)) return fail("unknown key");
        } else if (e.kind == "text" || e.kind == "type") {
            std::getline(words >> std::ws, e.arg);
            if (e.arg.empty()) return fail(e.kind + " needs some text");
        } else if (e.kind == "wait") {
            if (!(words >> word)) return fail("wait needs a tick count or 'scene NAME'");
            if (word == "scene") {
                e.count = kDefaultSceneWait;
                if (!(words >> e.name) || SceneFromName(e.name) < 0)
                    return fail("wait scene needs a scene name");
                if (words >> word && (!ParseCount(word, e.count) || e.count == 0))
                    return fail("bad tick count '" + word + "'");
            } else {
                if (!ParseCount(word, e.count)) return fail("bad tick count '" + word + "'");
                lastTick += e.count;
            }
        } else if (e.kind == "drag") {
            for (int& c : e.cells) {
                uint64_t v = 0;
                if (!(words >> word) || !ParseCount(word, v) || v >= BoardGridSize)
                    return fail("drag needs four cell coordinates");
                c = static_cast<int>(v);
            }
        } else if (e.kind == "expect") {
            if (!(words >> e.arg >> e.op)) return fail("expect needs a path and an operator");
            if (std::find(std::begin(kOperators), std::end(kOperators), e.op) ==
                std::end(kOperators))
                return fail("unknown operator '" + e.op + "'");
            if (e.op == "exists" || e.op == "absent") {
                if (words >> word) return fail("unexpected '" + word + "'");
            } else {
                std::getline(words >> std::ws, e.value);
                while (!e.value.empty() && std::isspace(static_cast<unsigned char>(e.value.back())))
                    e.value.pop_back();
                if (e.value.empty()) return fail("expect " + e.op + " needs a value");
                if (e.value.size() >= 2 && e.value.front() == '"' && e.value.back() == '"')
                    e.value = e.value.substr(1, e.value.size() - 2);
            }
            JsonValue empty;
            bool badPath = false;
            FindJsonPath(empty, e.arg, &badPath);
            if (badPath) return fail("bad path '" + e.arg + "'");
        } else if (e.kind == "dump" || e.kind == "shot") {
            if (!(words >> e.arg)) return fail(e.kind + " needs a file");
        }
        if (e.kind != "text" && e.kind != "type" && e.kind != "expect" && (words >> word))
            return fail("unexpected '" + word + "'");
        events.push_back(std::move(e));
    }
    return true;
}

std::string ReplayResult::Summary() const {
    if (!ok) return "replay failed: " + error;
    return "replay ok: " + std::to_string(ticks) + " ticks, " + std::to_string(frames) +
           " frames, ends in " + scene;
}

std::string DumpGameState(uint64_t tick) {
    return StateJson(tick, true);
}

std::string ExpectationFailure(const ReplayEvent& e, const std::string& dumpJson) {
    JsonValue root;
    std::string error;
    const std::string where = "line " + std::to_string(e.line) + ": expect " + e.arg + " ";
    if (!ParseJson(dumpJson, root, error)) return where + "cannot read the state: " + error;
    const JsonValue* actual = FindJsonPath(root, e.arg);
    if (actual && actual->type == JsonValue::Type::Null) actual = nullptr;
    bool ok = false;
    double a = 0, v = 0;
    const bool numbers = actual && actual->type == JsonValue::Type::Number &&
                         IsNumber(e.value, v) && ((a = actual->number), true);
    if (e.op == "exists")
        ok = actual != nullptr;
    else if (e.op == "absent")
        ok = actual == nullptr;
    else if (e.op == "==")
        ok = actual && Matches(*actual, e.value);
    else if (e.op == "!=")
        ok = !actual || !Matches(*actual, e.value);
    else if (e.op == "<")
        ok = numbers && a < v;
    else if (e.op == "<=")
        ok = numbers && a <= v;
    else if (e.op == ">")
        ok = numbers && a > v;
    else if (e.op == ">=")
        ok = numbers && a >= v;
    else if (e.op == "contains" && actual) {
        if (actual->type == JsonValue::Type::String)
            ok = actual->text.find(e.value) != std::string::npos;
        else if (actual->type == JsonValue::Type::Array)
            ok = std::any_of(actual->items.begin(), actual->items.end(),
                             [&](const JsonValue& item) { return Matches(item, e.value); });
        else if (actual->type == JsonValue::Type::Object)
            ok = std::any_of(actual->members.begin(), actual->members.end(),
                             [&](const auto& m) { return m.first == e.value; });
    }
    if (ok) return {};
    const std::string expected = e.op + (e.value.empty() ? "" : " " + e.value);
    return where + expected + ": expected " + expected + ", actual " +
           (actual ? JsonValueText(*actual) : std::string("absent"));
}

std::string BuildTreeDataFolder(const std::string& folder) {
    std::error_code ec;
    for (std::filesystem::path p = std::filesystem::absolute(folder, ec); !ec && !p.empty();
         p = p.parent_path()) {
        if (FileExists((p / "CMakeCache.txt").string()) && FolderExists((p / "Data").string()))
            return (p / "Data").string();
        if (p == p.parent_path()) break;
    }
    return {};
}

std::string ReplayDataFolder() {
    const std::string game = FindDataFolder("");
    if (FolderExists(game)) return game;
    return BuildTreeDataFolder(ExecutableFolder());
}

ReplayResult RunReplay(const ReplaySettings& rs) {
    ReplayResult result;
    ClearArchiveOverrides();
    for (const std::string& file : rs.extraArchives) {
        // The archive is opened again for every record it gives, and the game enters its data
        // folder's parent as it starts: a relative name must be fixed before that.
        std::error_code ec;
        const std::filesystem::path path = std::filesystem::absolute(file, ec);
        if (ec || !AddArchiveOverride(path.lexically_normal().string())) {
            ClearArchiveOverrides();
            result.error = "cannot open extra archive " + file;
            return result;
        }
    }
    struct OverridesGone {
        ~OverridesGone() { ClearArchiveOverrides(); }
    } overridesGone;
    // Always drawn off screen, whatever display the machine has.
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    if (rs.size.x < 64 || rs.size.y < 64 || rs.size.x > 8192 || rs.size.y > 8192) {
        result.error = "size must be between 64x64 and 8192x8192";
        return result;
    }
    LaunchSettings ls;
    ls.args = rs.args;
    ls.homeFolder = rs.home;
    ls.dataFolder = rs.data;
    ls.virtualTime = true;
    ls.seed = rs.seed;
    ls.fullScreen = rs.fullScreen;
    ls.visibleWindow = false;
    // Full screen covers the virtual desktop; a window of the asked size needs a desktop
    // around it large enough to hold it.
    ls.desktopSize = rs.fullScreen ? rs.size : TPoint2px{rs.size.x + 200, rs.size.y + 200};
    ls.windowClientSize = rs.fullScreen ? std::optional<TPoint2px>{} : rs.size;

    // A run in this process starts from a new player, as a new program would.
    Player = TPlayer{};
    WireGame();
    if (rs.afterWiring) rs.afterWiring();
    auto form = std::make_unique<TMainForm>(ls);
    if (!form->Start()) {
        result.error = form->StartError();
        form.reset();
        UnwireGame();
        return result;
    }
    bool levelStarted = false;
    bool levelScreenLeft = false;
    bool filmStarted = false;
    const bool quick = rs.quickStart || rs.startLevel > 0 || rs.film >= 0;
    // A level started straight away is played at once, without its mission pop-up, unless
    // the script asks for the pop-up.
    StartPopupEnabled() = rs.startLevel == 0 || rs.startPopup;
    ScriptRunner script(rs.events, *form);
    TakeStartedEffects();
    const int perFrame = std::max(1, rs.ticksPerFrame);
    std::string failure;
    while (form->TickCount() < rs.ticks && !form->Closing()) {
        const uint64_t tick = form->TickCount();
        if (quick && CurrentScene == scene_Splash && SplashLogo()) {
            DestroySplash();
            FinishStartup();
        }
        // The asked level starts as soon as the start-up is done, through the loading screen
        // of its location.
        if (rs.startLevel > 0 && !levelStarted && CurrentScene == scene_Loaded) {
            levelStarted = true;
            if (!PlayLevel(rs.startLevel - 1)) {
                failure = "level " + std::to_string(rs.startLevel) + " could not be started";
                break;
            }
        }
        if (rs.film >= 0 && !filmStarted && CurrentScene == scene_Loaded) {
            filmStarted = true;
            CutSceneControl(CutSceneStart, rs.film);
        }
        if (filmStarted && CurrentScene == scene_Loaded && SceneAfterLoading == scene_Video)
            LeaveLoadingScreen();
        if (levelStarted && !levelScreenLeft && CurrentScene == scene_Loaded &&
            SceneAfterLoading == scene_Level) {
            levelScreenLeft = true;
            LeaveLoadingScreen();
        }
        // Input and script lines of this tick (and of ticks skipped by frames of several
        // ticks).
        std::vector<std::string> scriptShots;
        if (rs.beforeTick) rs.beforeTick(tick);
        if (rs.player && script.Idle()) script.Append(rs.player(tick));
        if (!script.Run(tick, scriptShots, failure)) break;
        // The state that this tick's frame shows.
        for (const auto& [at, file] : rs.dumps) {
            if (at != tick) continue;
            const std::string json = DumpGameState(tick);
            if (!WriteFileAtomically(file, json.data(), json.size()))
                failure = "cannot write " + file;
        }
        for (const auto& [at, file] : rs.shots)
            if (at == tick) scriptShots.push_back(file);
        size_t shotsWritten = 0;
        form->StepFrame(
            perFrame,
            [&](Canvas& canvas) {
                for (const std::string& file : scriptShots) {
                    const TPoint2px size = canvas.Size();
                    if (SavePng(file, size.x, size.y, canvas.ReadPixels()))
                        ++shotsWritten;
                    else
                        failure = "cannot write " + file;
                }
                if (rs.afterDraw) rs.afterDraw(canvas, tick);
            },
            rs.drawEveryFrame || !scriptShots.empty() || (rs.drawAt && rs.drawAt(tick)));
        if (failure.empty() && shotsWritten < scriptShots.size())
            failure = "no frame was drawn at tick " + std::to_string(tick);
        ++result.frames;
        if (!failure.empty()) break;
        if (rs.until && rs.until(tick)) break;
    }
    if (failure.empty() && !form->Closing()) failure = script.Unfinished();
    result.ticks = form->TickCount();
    result.scene = SceneName(CurrentScene);
    if (Device && Device->AtFault() && failure.empty()) failure = "Failed initializing device";
    form.reset();
    UnwireGame();
    if (!failure.empty()) {
        result.error = failure;
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace bw
