// The level map. The scene is built anew each time it opens: the reachable limit, the nests
// shown and the route dots shown stay fixed while it is open.
#include "meta/LevelMap.h"

#include "Engine/KilnSprite/SpriteEngine.h"
#include "audio/SoundEngine.h"
#include "base/GameObjects.h"
#include "base/GameState.h"
#include "base/Scene.h"
#include "base/SceneTransition.h"
#include "board/LevelData.h"
#include "data/GameFonts.h"
#include "data/KilnFonts.h"
#include "data/TextDatabase.h"
#include "effects/EffectSprites.h"
#include "effects/ParticleManager.h"
#include "gui/ButtonProtocol.h"
#include "gui/ButtonSprites.h"
#include "gui/TextureOffsetSprite.h"
#include "meta/Profile.h"
#include "platform/Log.h"
#include "platform/Random.h"
#include "render/DisplayState.h"

#include <algorithm>
#include <cmath>

namespace bw {

// ---- Rules --------------------------------------------------------------------------------------

namespace {

constexpr float HoverReach = 25.0f;
constexpr double PulseStep = 0.4;
constexpr double PulseLength = 279.0;

} // namespace

int MapRouteEnd(int limit) {
    if (limit < 0) return -1;
    const int last = static_cast<int>(MapRouteEnds.size()) - 1;
    return std::min(MapRouteEnds[static_cast<size_t>(std::min(limit, last))], MapWayDotCount - 1);
}

bool MapDotVisible(int dot, int limit) {
    return dot >= 0 && dot < MapWayDotCount && dot <= MapRouteEnd(limit);
}

bool MapNestVisible(int index, int status, int limit) {
    if (status == LevelWon || status == LevelWonWithTask) return true;
    return index == limit;
}

int MapHoveredLevel(const std::vector<TPoint2>& centres, int limit, TPoint2 mouse) {
    int best = -1;
    double bestDistance = 1000.0;
    const int last = std::min(limit, static_cast<int>(centres.size()) - 1);
    for (int i = 0; i <= last; ++i) {
        const TPoint2 c = centres[static_cast<size_t>(i)];
        const double dx = mouse.x - c.x;
        const double dy = mouse.y - c.y;
        if (std::abs(dx) >= HoverReach || std::abs(dy) >= HoverReach) continue;
        const double d = std::hypot(dx, dy);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

MapMargins MapLayout(float visibleWidth) {
    MapMargins m;
    const float w = std::round(visibleWidth);
    if (w <= 1920.0f) {
        m.width = w;
        m.inner = (1920.0f - w) / 2.0f;
    } else {
        m.outer = (w - 1920.0f) / 2.0f;
    }
    return m;
}

double NextMapPulse(double pulse) {
    pulse += PulseStep;
    return pulse >= PulseLength ? 0.0 : pulse;
}

// ---- Sprites ----------------------------------------------------------------------------------

namespace {

constexpr TColor2 ButtonText{0xFFFFFA42, 0xFFFCE021};
constexpr TColor2 ScoreText{0xFFFFFFFF, 0xFFF3B3FF};
constexpr int PanelZ = 2900;
constexpr int ButtonZ = 3000;
constexpr int EffectWarmUp = 350;
constexpr float EffectStep = 0.017f;

void DrawNumber(int font, float scale, TPoint2 at, int value, TColor2 colors, float alpha) {
    TKilnFonts* fonts = GuiFonts();
    TKilnFont* f = fonts && font >= 0 ? fonts->Font(font) : nullptr;
    if (!f) return;
    const TPoint2 saved = f->FScale;
    f->FScale = TPoint2{scale, scale};
    f->TextOut(at, std::to_string(value), true, alpha, colors);
    f->FScale = saved;
}

class TMapLevel final : public TSimpleButtonSprite {
public:
    using TSimpleButtonSprite::TSimpleButtonSprite;
    int FStatus = LevelNotWon;
    TPoint2 FCenter;
    int FLevelIndex = 0;
};

// A dot of the route; brighter while the pulse passes, whiter as it brightens.
class TMapWaySprite final : public TAnimatedSprite {
public:
    using TAnimatedSprite::TAnimatedSprite;
    int FIndex = 0;
    int FTimeOffset = 0;
    void DoMove(float moveCount) override {
        TAnimatedSprite::DoMove(moveCount);
        if (FAlpha > 100) SetAlpha(std::max(100, FAlpha - 5));
        SetGreen(255);
        SetBlue(FAlpha);
    }
};

class TMapScorePanel final : public TTextureOffsetSprite {
public:
    using TTextureOffsetSprite::TTextureOffsetSprite;
    int TValue = 0;
    void DoDraw() override {
        TTextureOffsetSprite::DoDraw();
        DrawNumber(ToonFont, 0.8f, TPoint2{FX + 231, FY + 34}, Player.Score, ScoreText, 1.0f);
    }
};

class TMapLevelPanel final : public TAnimatedSprite {
public:
    using TAnimatedSprite::TAnimatedSprite;
    int FLevel = -1;
    void DoDraw() override {
        TAnimatedSprite::DoDraw();
        if (FLevel < 0) return;
        const TColor a = static_cast<TColor>(std::clamp(FAlpha, 0, 255)) << 24;
        DrawNumber(ShadowFont, 1.0f, TPoint2{FX + 49, FY + 56}, FLevel + 1,
                   TColor2{a | 0xFFFFFF, a | 0xFFFFFF}, 1.0f);
    }
};

class TMapBottomPanel final : public TTextureOffsetSprite {
public:
    using TTextureOffsetSprite::TTextureOffsetSprite;
    int FBorderWidth = 0;
    TAnimatedSprite* FLeftSprite = nullptr;
    TAnimatedSprite* FRightSprite = nullptr;
};

// A particle effect that the map carries and draws at its own depth. With an archive it reads
// the emitters of its record from it, so that it emits along a line or an area instead of from
// its one point.
class TMap_Fx final : public TAnimatedSprite {
public:
    TMap_Fx(TSprite* parent, const std::string& name, TPoint2 at, TKilnArchive* emitters)
        : TAnimatedSprite(parent) {
        FX = at.x;
        FY = at.y;
        FName = name;
        if (!ParticleManager()) return;
        FFx = LaunchOwned(name, at, emitters);
        if (TXParticleSystem* s = FFx.Get()) {
            for (int i = 0; i < EffectWarmUp; ++i) s->Update(EffectStep);
        } else {
            WriteLog("The map effect " + name + " is missing", 1);
        }
    }
    ~TMap_Fx() override { FFx.Kill(); }
    void DoMove(float moveCount) override {
        TAnimatedSprite::DoMove(moveCount);
        if (TXParticleSystem* s = FFx.Get()) s->Update(EffectStep * moveCount);
    }
    void DoDraw() override {
        if (TXParticleSystem* s = FFx.Get()) s->Render(0, 0);
    }
    TParticleRef FFx;
};

struct MapSprites {
    bool open = false;
    int limit = 0;
    int hovered = -1;
    int previous = -1;
    double pulse = 0;
    std::vector<TMapLevel*> levels;
    std::vector<TMapWaySprite*> dots;
    std::vector<TSprite*> scenery; // everything else that goes with the map
    std::vector<TMap_Fx*> effects;
    TMapLevelPanel* panel = nullptr;
    TButtonSprite2* menu = nullptr;
    TButtonSprite2* start = nullptr;
};
MapSprites Map;

template <class T> T* Add(const std::string& image, float x, float y, int z) {
    auto* s = new T(MainEngine);
    s->SetImageName(image);
    s->FX = x;
    s->FY = y;
    s->SetZ(z);
    if constexpr (!std::is_same_v<T, TMapLevelPanel> && !std::is_same_v<T, TMapWaySprite>)
        Map.scenery.push_back(s);
    return s;
}

TButtonSprite2* AddButton(TButtonName name, const char* text) {
    auto* b = new TButtonSprite2(MainEngine);
    b->SetButtonImage("Button_1");
    b->SetButtonShadow(true);
    b->SetParameters(Texts().Button(text));
    b->SetButtonName(name);
    b->FText_Font_index = ToonFont;
    b->FText_Color = ButtonText;
    b->FText_Color_lighted = TColor2{0xFFFFFFFF, 0xFFFFFFFF};
    b->SetLightFadeSpeed(7.0f);
    b->SetZ(ButtonZ);
    return b;
}

void BuildPanels(const MapMargins& m, float X) {
    const float w = m.width;
    auto* score = Add<TMapScorePanel>("Panel_Score_map.image", 0, -5, PanelZ + 1);
    score->fDoTextureMove = false;
    score->FX = w - static_cast<float>(score->GetPatternWidth()) + 6 + m.inner + 26;
    score->TValue = Player.Score;

    auto* bottom = Add<TMapBottomPanel>("Panel_Centre.image", X + m.outer, 0, PanelZ);
    bottom->fDoTextureMove = false;
    bottom->FBorderWidth = static_cast<int>(w);
    bottom->fRenderSize = TPoint{static_cast<int>(w), 0};
    bottom->FY = 1091.0f - static_cast<float>(bottom->GetPatternHeight());
    auto* left = Add<TAnimatedSprite>("map_panel_left.image", X - 5 + m.outer, 0, PanelZ);
    left->FY = 1085.0f - static_cast<float>(left->GetPatternHeight());
    auto* right = Add<TAnimatedSprite>("map_panel_right.image", 0, 0, PanelZ);
    right->FX = w - static_cast<float>(right->GetPatternWidth()) + 5 + m.inner;
    right->FY = 1085.0f - static_cast<float>(right->GetPatternHeight());
    bottom->FLeftSprite = left;
    bottom->FRightSprite = right;

    Map.menu = AddButton(button_Map_Menu, "Map_Menu_button");
    Map.menu->SetPosition({X + 13 + m.outer, 1003});
    Map.menu->UpdateCollisionParameters();
    Map.start = AddButton(button_Map_Start, "Map_Start_button");
    Map.start->SetPosition(
        {w - static_cast<float>(Map.start->GetImageWidth()) - 84 + m.inner, 1003});
    Map.start->UpdateCollisionParameters();
}

void BuildScenery() {
    Add<TAnimatedSprite>("map_bg.image", 0, 0, 0);
    Add<TAnimatedSprite>("map_alpha_layer_1.image", 678, 495, 10);
    auto* clouds = Add<TTextureOffsetSprite>("Clouds1_256x256.image", 0, 0, 1);
    clouds->fRenderSize = TPoint{1920, 1080};
    clouds->fSpeed = TPoint2{-0.00035f, 0.0002f};
    clouds->fDoTextureMove = true;
    clouds->FEffect = beAdd;
    clouds->SetAlpha(90);
    auto water = [](const char* image, float x, float y) {
        auto* s = Add<TAnimatedSprite>(image, x, y, -2);
        s->SetAnim(image, 0, pmForward, true, true, 0.2f, 16);
    };
    water("map_poolwater_1.image", 608, 359);
    water("map_poolwater_1.image", 680, 359);
    for (const TPoint p : {TPoint{416, 882}, TPoint{570, 882}, TPoint{633, 653}, TPoint{393, 579},
                           TPoint{42, 294}, TPoint{0, 138}, TPoint{0, -50}})
        water("map_water_1.image", static_cast<float>(p.x), static_cast<float>(p.y));

    struct Effect {
        const char* name;
        TPoint2 at;
        int z;
        bool ownEmitters; // the record lays out where it emits
    };
    for (const Effect& e : {Effect{"Map_Train_Smoke_1.xml", {765, 549}, 5, false},
                            Effect{"Map_Train_Smoke_2.xml", {792, 604}, 4, false},
                            Effect{"Map_Snow_1.xml", {1280, 275}, 5, true},
                            Effect{"Map_House_Smoke_fx_1.xml", {1018, 18}, 4, false},
                            Effect{"Map_House_Smoke_fx_1.xml", {621, 14}, 4, false},
                            Effect{"Map_Cloud_fx.xml", {1340, 295}, 6, true}}) {
        auto* fx =
            new TMap_Fx(MainEngine, e.name, e.at, e.ownEmitters ? Archives.Particles1 : nullptr);
        fx->SetZ(e.z);
        Map.effects.push_back(fx);
    }
}

void BuildRoute() {
    for (int i = 0; i < MapWayDotCount; ++i) {
        const MapWayDot& d = MapWayDots[static_cast<size_t>(i)];
        auto* s = Add<TMapWaySprite>("map_way_1.image", static_cast<float>(d.x),
                                     static_cast<float>(d.y), 2);
        s->FIndex = i;
        s->FTimeOffset = i * 5;
        s->SetDrawMode(1);
        s->FAngle = d.angle;
        s->FEffect = beAdd;
        s->SetAlpha(100);
        s->SetBlue(100);
        s->FVisible = MapDotVisible(i, Map.limit);
        Map.dots.push_back(s);
    }
}

int LevelState(size_t i) {
    return i < Player.Levels.size() ? Player.Levels[i].FStatus : LevelNotWon;
}

void BuildNests() {
    static const char* const Eggs[] = {"map_egg_0.image", "map_egg_1.image", "map_egg_2.image"};
    for (size_t i = 0; i < LevelsList.size(); ++i) {
        const int status = std::clamp(LevelState(i), 0, 2);
        auto* n = new TMapLevel(MainEngine);
        n->SetButtonImage(Eggs[status]);
        n->SetButtonName(button_Map_Level);
        n->SetLightFadeSpeed(7.0f);
        n->SetZ(3);
        const TPoint at = LevelsList[i].MapCoord;
        n->SetPosition({static_cast<float>(at.x - 1), static_cast<float>(at.y - 7)});
        n->UpdateCollisionParameters();
        n->FStatus = status;
        n->FLevelIndex = static_cast<int>(i);
        n->FCenter = {n->Position().x + static_cast<float>(n->GetImageWidth()) / 2.0f,
                      n->Position().y + static_cast<float>(n->GetImageHeight()) / 2.0f};
        n->FVisible = MapNestVisible(static_cast<int>(i), status, Map.limit);
        Map.levels.push_back(n);
    }
}

std::vector<TPoint2> NestCentres() {
    std::vector<TPoint2> centres;
    for (const TMapLevel* n : Map.levels) centres.push_back(n->FCenter);
    return centres;
}

void UpdateMapPulse() {
    Map.pulse = NextMapPulse(Map.pulse);
    const int at = static_cast<int>(std::lround(Map.pulse));
    if (at < MapWayDotCount) Map.dots[static_cast<size_t>(at)]->SetAlpha(200);
}

// The hovered nest and the level panel, every update.
void UpdateHover() {
    Map.previous = Map.hovered;
    Map.hovered = MapHoveredLevel(NestCentres(), Map.limit,
                                  {static_cast<float>(MouseX), static_cast<float>(MouseY)});
    TMapLevelPanel* p = Map.panel;
    if (Map.hovered < 0) {
        p->FVisible = false;
        p->SetAlpha(0);
        p->FLevel = -1;
        return;
    }
    p->FLevel = Map.hovered;
    p->FVisible = true;
    p->SetAlpha(Map.hovered == Map.previous ? std::min(255, p->FAlpha + 15) : 0);
    // Beside the pointer, on its left where the right edge of the window would cut it.
    const float width = static_cast<float>(p->GetPatternWidth());
    const float right = WorldOffset.x + static_cast<float>(MainEngine->FVisibleWidth) /
                                            std::max(DisplayScale.x, 0.0001f);
    p->FX = static_cast<float>(MouseX) + 8;
    if (p->FX + width > right) p->FX = static_cast<float>(MouseX) - 8 - width;
    p->FY = static_cast<float>(MouseY);
}

void StartLevelFromMap(int level) {
    Player.Level = level;
    PlayMusic(-1, false);
    StartTransition(fl_Map_Start, FadeSpeedFast);
}

void MapInput(TSprite& sprite) {
    if (!Map.open || TransitionVisible()) return;
    if (dynamic_cast<TMapLevel*>(&sprite)) {
        if (Map.hovered < 0) return;
        TMapLevel& nest = *Map.levels[static_cast<size_t>(Map.hovered)];
        HoverButton(nest, MenuButtonHover);
        if (TakeButtonClick()) {
            Ambience(msg_Start, ambience_Map);
            StartLevelFromMap(nest.FLevelIndex);
        }
        return;
    }
    HandleButtonHit(sprite, MenuButtonHover, [](TButtonName name) {
        if (name == button_Map_Start) {
            StartLevelFromMap(NextLevelToPlay());
        } else if (name == button_Map_Menu) {
            PlayMusic(music_MainMenu, true);
            StartTransition(fl_Map_MainMenu, FadeSpeedFast);
        }
    });
}

class MapScene final : public Scene {
public:
    void Command(TTS_Message message) override {
        if (message == msg_Create) OpenMap();
        if (message == msg_Destroy) CloseMap();
    }
    void Tick() override {
        if (Map.open) {
            UpdateMapPulse();
            UpdateHover();
        }
        MoveMainEngine();
        if (!TransitionVisible()) RunHitTest();
    }
    void Hit(TSprite& sprite) override { MapInput(sprite); }
    void Escape() override {
        if (TransitionVisible()) return;
        PlayMusic(music_MainMenu, true);
        StartTransition(fl_Map_MainMenu, FadeSpeedFast);
    }
    void ForgetSprites() override { Map = MapSprites{}; }
};

} // namespace

void OpenMap() {
    if (!MainEngine) return;
    if (Map.open) CloseMap();
    WriteLog("Creating map...", 1);
    if (LevelsList.size() > MapRouteEnds.size())
        WriteLog("The level list has " + std::to_string(LevelsList.size()) +
                     " levels and the map's route " + std::to_string(MapRouteEnds.size()) +
                     "; the levels past it have no route dots",
                 1);
    Map.open = true;
    // The farthest level that can be played, within the list the map shows.
    Map.limit = std::min(FirstUnplayedLevel(), static_cast<int>(LevelsList.size()) - 1);
    Map.pulse = Random(279);
    const MapMargins m = MapLayout(static_cast<float>(MainEngine->FVisibleWidth) /
                                   std::max(DisplayScale.x, 0.0001f));
    BuildScenery();
    BuildRoute();
    BuildPanels(m, WorldOffset.x);
    BuildNests();
    Map.panel = Add<TMapLevelPanel>("map_level_panel.image", 0, 0, 3000);
    Map.panel->SetAlpha(0);
    Map.panel->FVisible = false;
    CurrentScene = scene_Map;
    Ambience(msg_Start, ambience_Map);
}

void CloseMap() {
    if (!Map.open) return;
    WriteLog("Destroying map...", 1);
    for (TMap_Fx* fx : Map.effects) {
        fx->FFx.Kill();
        fx->Dead();
    }
    for (TSprite* s : Map.scenery) s->Dead();
    for (TMapWaySprite* d : Map.dots) d->Dead();
    for (TMapLevel* n : Map.levels) n->Kill();
    if (Map.panel) Map.panel->Dead();
    if (Map.menu) Map.menu->Kill();
    if (Map.start) Map.start->Kill();
    Map = MapSprites{};
    Ambience(msg_Stop, ambience_Map);
}

bool MapOpen() {
    return Map.open;
}

void RefreshMap() {
    if (!Map.open || CurrentScene != scene_Map) return;
    OpenMap();
}

MapState MapStateNow() {
    MapState s;
    if (!Map.open) return s;
    s.limit = Map.limit;
    s.hovered = Map.hovered;
    s.panelLevel = Map.panel ? Map.panel->FLevel : -1;
    s.panelAlpha = Map.panel ? Map.panel->FAlpha : 0;
    for (const TMapLevel* n : Map.levels)
        if (n->FVisible) {
            s.nests.push_back(n->FLevelIndex);
            s.targets.push_back(n->FCollideRect);
        }
    for (const TButtonSprite2* b : {Map.start, Map.menu})
        if (b) s.targets.push_back(b->FCollideRect);
    for (const TMapWaySprite* d : Map.dots) s.dots += d->FVisible ? 1 : 0;
    s.pulse = Map.pulse;
    for (const TMap_Fx* fx : Map.effects) {
        const TXParticleSystem* system = fx->FFx.Get();
        s.effects.push_back({fx->FName, system ? system->EmitterCount() : 0});
    }
    return s;
}

std::unique_ptr<Scene> MakeMapScene() {
    return std::make_unique<MapScene>();
}

} // namespace bw
