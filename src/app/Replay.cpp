#include "app/Replay.h"

#include "Engine/KilnSprite/SpriteEngine.h"
#include "app/GameWiring.h"
#include "app/MainForm.h"
#include "base/GameObjects.h"
#include "base/GameOptions.h"
#include "base/GameState.h"
#include "board/BoardDump.h"
#include "ingame/LevelScene.h"
#include "platform/Files.h"
#include "render/Canvas.h"
#include "render/DisplayState.h"

#include <cxxabi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>
#include <typeinfo>

namespace bw {

namespace {

const char* const kKinds[] = {"move", "down",  "up",    "click",    "dblclick",  "key",
                              "text", "enter", "leave", "activate", "deactivate"};

bool ParseKey(const std::string& name, Key& key) {
    static const std::map<std::string, Key> keys = {
        {"escape", Key::Escape}, {"f1", Key::F1},       {"f6", Key::F6},
        {"home", Key::Home},     {"enter", Key::Enter}, {"backspace", Key::Backspace},
        {"left", Key::Left},     {"right", Key::Right}, {"delete", Key::Delete},
        {"end", Key::End}};
    std::string lower = name;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
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

} // namespace

bool ParseReplayScript(const std::string& text, std::vector<ReplayEvent>& events,
                       std::string& error) {
    std::istringstream in(text);
    std::string line;
    int number = 0;
    uint64_t lastTick = 0;
    while (std::getline(in, line)) {
        ++number;
        const size_t hash = line.find('#');
        if (hash != std::string::npos) line.resize(hash);
        std::istringstream words(line);
        std::string tickWord;
        if (!(words >> tickWord)) continue;
        auto fail = [&](const std::string& why) {
            error = "line " + std::to_string(number) + ": " + why;
            return false;
        };
        ReplayEvent e;
        e.line = number;
        char* end = nullptr;
        const unsigned long long tick = std::strtoull(tickWord.c_str(), &end, 10);
        if (tickWord[0] == '-' || !end || *end) return fail("bad tick '" + tickWord + "'");
        e.tick = tick;
        if (e.tick < lastTick) return fail("ticks must not go backwards");
        lastTick = e.tick;
        if (!(words >> e.kind)) return fail("missing event");
        if (std::find(std::begin(kKinds), std::end(kKinds), e.kind) == std::end(kKinds))
            return fail("unknown event '" + e.kind + "'");
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
        } else if (e.kind == "key") {
            Key k;
            if (!(words >> e.arg) || !ParseKey(e.arg, k)) return fail("unknown key");
        } else if (e.kind == "text") {
            std::getline(words >> std::ws, e.arg);
            if (e.arg.empty()) return fail("text needs some text");
        }
        std::string extra;
        if (e.kind != "text" && (words >> extra)) return fail("unexpected '" + extra + "'");
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
    std::ostringstream out;
    out << "{\n  \"tick\": " << tick << ",\n  \"scene\": " << JsonString(SceneName(CurrentScene))
        << ",\n  \"paused\": " << (AppPaused ? "true" : "false") << ",\n  \"mouse\": ["
        << Num(MouseX) << ", " << Num(MouseY) << "]"
        << ",\n  \"sprite_count\": " << (MainEngine ? MainEngine->FAllCount : 0)
        << ",\n  \"sprites\": " << EngineJson(MainEngine)
        << ",\n  \"loading_sprites\": " << EngineJson(LoadingEngine)
        << ",\n  \"board\": " << BoardStateJson() << "\n}\n";
    return out.str();
}

ReplayResult RunReplay(const ReplaySettings& rs) {
    ReplayResult result;
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
    size_t nextEvent = 0;
    const int perFrame = std::max(1, rs.ticksPerFrame);
    std::string failure;
    while (form->TickCount() < rs.ticks && !form->Closing()) {
        const uint64_t tick = form->TickCount();
        // The asked level starts as soon as the start-up is done.
        if (rs.startLevel > 0 && !levelStarted && CurrentScene == scene_Loaded) {
            levelStarted = true;
            if (!PlayLevel(rs.startLevel - 1)) {
                failure = "level " + std::to_string(rs.startLevel) + " could not be started";
                break;
            }
        }
        // Input of this tick (and of ticks skipped by frames of several ticks).
        while (nextEvent < rs.events.size() && rs.events[nextEvent].tick <= tick) {
            const ReplayEvent& e = rs.events[nextEvent++];
            PlatformEvent pe;
            if (e.kind == "move") {
                pe.type = EventType::MouseMove;
                pe.x = static_cast<int>(std::lround((e.x - WorldOffset.x) * DisplayScale.x));
                pe.y = static_cast<int>(std::lround((e.y - WorldOffset.y) * DisplayScale.y));
            } else if (e.kind == "down") {
                pe.type = EventType::MouseDown;
                pe.button = e.button;
            } else if (e.kind == "up") {
                pe.type = EventType::MouseUp;
                pe.button = e.button;
            } else if (e.kind == "click") {
                pe.type = EventType::MouseClick;
                pe.button = 1;
            } else if (e.kind == "dblclick") {
                pe.type = EventType::MouseDoubleClick;
                pe.button = 1;
            } else if (e.kind == "key") {
                pe.type = EventType::KeyDown;
                ParseKey(e.arg, pe.key);
            } else if (e.kind == "text") {
                pe.type = EventType::TextInput;
                pe.text = e.arg;
            } else if (e.kind == "enter") {
                pe.type = EventType::MouseEnter;
            } else if (e.kind == "leave") {
                pe.type = EventType::MouseLeave;
            } else if (e.kind == "activate") {
                pe.type = EventType::Activated;
            } else if (e.kind == "deactivate") {
                pe.type = EventType::Deactivated;
            }
            form->Dispatch(pe);
        }
        // The state that this tick's frame shows.
        for (const auto& [at, file] : rs.dumps) {
            if (at != tick) continue;
            const std::string json = DumpGameState(tick);
            if (!WriteFileAtomically(file, json.data(), json.size()))
                failure = "cannot write " + file;
        }
        size_t shotsWanted = 0, shotsWritten = 0;
        for (const auto& shot : rs.shots) shotsWanted += shot.first == tick ? 1 : 0;
        form->StepFrame(perFrame, [&](Canvas& canvas) {
            for (const auto& [at, file] : rs.shots) {
                if (at != tick) continue;
                const TPoint2px size = canvas.Size();
                if (SavePng(file, size.x, size.y, canvas.ReadPixels()))
                    ++shotsWritten;
                else
                    failure = "cannot write " + file;
            }
        });
        if (failure.empty() && shotsWritten < shotsWanted)
            failure = "no frame was drawn at tick " + std::to_string(tick);
        ++result.frames;
        if (!failure.empty()) break;
    }
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
