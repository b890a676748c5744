#include "meta/MenuScenery.h"

#include "Engine/KilnSprite/SpriteEngine.h"
#include "Engine/KilnSprite/SpriteMath.h"
#include "audio/SoundEngine.h"
#include "base/GameObjects.h"
#include "effects/ParticleManager.h"
#include "gui/TextureOffsetSprite.h"
#include "gui/TransformObjectSprite.h"
#include "platform/Random.h"
#include "render/DisplayState.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace bw {

namespace {

// ---- Layout ---------------------------------------------------------------------------------
// Everything behind the menu's own sprites lives under one root at Z 1 (so the credits' dark
// strip at Z 4 and every sign, board and button of the menu lie above it); the logo is its own
// sprite at Z 6 (the credits scroll it over their strip); the front leaves and the lightning's
// flash live under a second root at Z 1700, above the menu's buttons (1650) and below the
// player selection (2000). Inside the back root each picture has a day sprite at an even Z and
// its night twin right above it.
constexpr int BackRootZ = 1;
constexpr int LogoZ = 6;
constexpr int FrontRootZ = 1700;

// How a part of a tree (or a front leaf) sways: which corners move and how far.
enum class Sway { None, Top, Bottom, All, Leaf };

struct TreePartPlace {
    const char* Image; // the day picture; the night one is "night_" + it
    float X, Y;        // top-left in design units
    Sway Kind;
    double Radius; // design units
    double Speed;  // sway steps (2048 a turn) per tick
    int Phase;     // ticks the sway counter starts at
};

// The pictures are drawn at exactly these places (data/MainMenu/archive.xml cuts each part of
// a tree out of the tree's drawing at the same box).
const TreePartPlace kTree1[] = {
    {"MM_MainMenu_Tree_1_Trunk_1.image", -6, -6, Sway::Top, 2.0, 2.6, 0},
    {"MM_MainMenu_Tree_1_Trunk_2.image", 140, 0, Sway::Leaf, 3.0, 3.1, 400},
    {"MM_MainMenu_Tree_1_Liana.image", 420, 40, Sway::Bottom, 9.0, 3.4, 120},
    {"MM_MainMenu_Tree_1_Leafs_1.image", -84, -122, Sway::Leaf, 4.0, 4.1, 0},
    {"MM_MainMenu_Tree_1_Leafs_2.image", 147, -131, Sway::Leaf, 4.5, 3.7, 300},
    {"MM_MainMenu_Tree_1_Leafs_3.image", 364, -78, Sway::Leaf, 5.0, 4.6, 650},
    {"MM_MainMenu_Tree_1_Leafs_4.image", 540, -14, Sway::Leaf, 5.5, 4.0, 900},
    {"MM_MainMenu_Tree_1_Leafs_5.image", -100, 138, Sway::Leaf, 4.0, 3.5, 1200},
    {"MM_MainMenu_Tree_1_Leafs_6.image", 160, 66, Sway::Leaf, 5.0, 4.4, 1500},
    {"MM_MainMenu_Tree_1_Leafs_7.image", 347, 52, Sway::Leaf, 5.5, 3.9, 1800},
    {"MM_MainMenu_Tree_1_Leafs_8.image", -81, 375, Sway::Leaf, 4.0, 4.2, 2100},
    {"MM_MainMenu_Tree_1_Leafs_9.image", -9, 605, Sway::Leaf, 4.5, 3.6, 2400},
    {"MM_MainMenu_Tree_1_Leafs_10.image", 622, 56, Sway::Leaf, 6.0, 4.8, 2700},
};
const TreePartPlace kTree2[] = {
    {"MM_MainMenu_Tree_2_Trunk_1.image", 1620, -6, Sway::Top, 2.0, 2.4, 200},
    {"MM_MainMenu_Tree_2_Trunk_2.image", 1380, 330, Sway::Leaf, 3.0, 2.9, 500},
    {"MM_MainMenu_Tree_2_Liana.image", 1570, 40, Sway::Bottom, 8.0, 3.2, 700},
    {"MM_MainMenu_Tree_2_Leafs_1.image", 1656, -122, Sway::Leaf, 4.0, 3.8, 100},
    {"MM_MainMenu_Tree_2_Leafs_2.image", 1467, -121, Sway::Leaf, 4.5, 4.3, 400},
    {"MM_MainMenu_Tree_2_Leafs_3.image", 1324, -78, Sway::Leaf, 5.0, 3.6, 750},
    {"MM_MainMenu_Tree_2_Leafs_4.image", 1210, -4, Sway::Leaf, 5.5, 4.5, 1000},
    {"MM_MainMenu_Tree_2_Leafs_5.image", 1749, 128, Sway::Leaf, 4.0, 3.4, 1300},
    {"MM_MainMenu_Tree_2_Leafs_6.image", 1590, 76, Sway::Leaf, 5.0, 4.1, 1600},
    {"MM_MainMenu_Tree_2_Leafs_7.image", 1427, 72, Sway::Leaf, 5.5, 3.7, 1900},
    {"MM_MainMenu_Tree_2_Leafs_8.image", 1798, 375, Sway::Leaf, 4.0, 4.4, 2200},
    {"MM_MainMenu_Tree_2_Leafs_9.image", 1334, 269, Sway::Leaf, 4.5, 3.9, 2500},
    {"MM_MainMenu_Tree_2_Leafs_10.image", 1174, 98, Sway::Leaf, 6.0, 4.7, 2800},
};

// Front leaves: x is measured from the visible left edge (left ones) or to the visible right
// edge (right ones, x is then the picture's right side's distance); y is absolute.
struct FrontLeafPlace {
    const char* Image;
    bool Right;
    float X, Y;
    double Radius, Speed;
    int Phase;
};
const FrontLeafPlace kFrontLeaves[] = {
    // Below the welcome board, which hangs in the top-left corner.
    {"MM_MainMenu_FrontLeafs_1.image", false, -70, 280, 5.0, 3.3, 0},
    {"MM_MainMenu_FrontLeafs_2.image", false, -30, 700, 4.0, 2.8, 600},
    {"MM_MainMenu_FrontLeafs_3.image", true, -20, -20, 5.0, 3.0, 300},
    {"MM_MainMenu_FrontLeafs_4.image", true, -30, 690, 4.0, 3.1, 900},
};

constexpr TPoint2 kSmokePos{510.0f, 540.0f};
constexpr TPoint2 kLogoPos{635.0f, 14.0f};
constexpr TPoint2 kSquirrelPos{1515.0f, 276.0f};
constexpr TPoint2 kLightning1Pos{430.0f, 0.0f};
constexpr TPoint2 kLightning2Pos{1300.0f, 60.0f};
constexpr float kCloudsY = 0.0f;
constexpr float kBottomPanelY = 880.0f;

// The cat: walks in from beyond the right side to its seat and back.
constexpr float kCatY = 800.0f;
constexpr float kCatSeatX = 1395.0f;
constexpr float kCatStartX = 2000.0f;
constexpr float kCatWalkSpeed = 1.6f;
constexpr double kCatIn = 17000, kCatLick = 22000, kCatLook = 26000, kCatOut = 30000;
// Cat_1: walk cycle (8 patterns); Cat_2: 0..5 licking a paw, 6..11 looking up, tail swishing.
constexpr int kCatWalkFrames = 8;

constexpr float kEffectStep = 0.017f;
constexpr int kSmokeWarmUp = 400;

// A colour that night gives to pictures without a night twin.
constexpr int kNightTintR = 84, kNightTintG = 96, kNightTintB = 164;

int Round255(double v) {
    return std::clamp(static_cast<int>(std::nearbyint(v)), 0, 255);
}

// ---- Sprites --------------------------------------------------------------------------------

// A parent without a picture: keeps its children together in its parent's draw order.
class TMenuSceneryRoot final : public TSprite {
public:
    explicit TMenuSceneryRoot(TSprite* parent) : TSprite(parent) {
        FX = 0;
        FY = 0;
    }
};

// A swaying picture driven by the scenery itself: the day sprite calculates, its night twin
// copies the corners, so both stay on the same outline whichever is hidden.
class TMenuSwaySprite final : public TTransformObjectSprite {
public:
    explicit TMenuSwaySprite(TSprite* parent) : TTransformObjectSprite(parent) {
        FManualCalculate = true;
    }
    void CopyCorners(const TSpriteEx& from) {
        FX1 = from.FX1, FY1 = from.FY1, FX2 = from.FX2, FY2 = from.FY2;
        FX3 = from.FX3, FY3 = from.FY3, FX4 = from.FX4, FY4 = from.FY4;
    }
};

// Carries the train smoke: a particle system it advances and draws at its own depth.
class TMenuTrainSmoke final : public TAnimatedSprite {
public:
    explicit TMenuTrainSmoke(TSprite* parent) : TAnimatedSprite(parent) {
        FX = kSmokePos.x;
        FY = kSmokePos.y;
        if (TXParticleManager* manager = ParticleManager()) {
            FSystem = manager->Launch("MM_MainMenu_TrainSmoke.xml", kSmokePos);
            if (TXParticleSystem* s = FSystem.Get()) {
                s->FManualRender = true;
                for (int i = 0; i < kSmokeWarmUp; ++i) s->Update(kEffectStep);
            }
        }
    }
    ~TMenuTrainSmoke() override { FSystem.Kill(); }
    void DoMove(float moveCount) override {
        TAnimatedSprite::DoMove(moveCount);
        if (TXParticleSystem* s = FSystem.Get()) s->Update(kEffectStep * moveCount);
    }
    void DoDraw() override {
        if (TXParticleSystem* s = FSystem.Get()) s->Render(0, 0);
    }
    bool Running() const { return static_cast<bool>(FSystem); }

private:
    TParticleRef FSystem;
};

struct SwayPair {
    TMenuSwaySprite* Day = nullptr;
    TMenuSwaySprite* Night = nullptr; // may be null
};

struct FrontLeaf {
    const FrontLeafPlace* Place = nullptr;
    SwayPair Pair;
};

struct Scenery {
    TMenuSceneryRoot* Back = nullptr;
    TMenuSceneryRoot* Front = nullptr;
    TMenuSwaySprite* Logo = nullptr;

    // Pictures with a night twin (the twin's alpha follows the cross-fade).
    std::vector<std::pair<TSpriteEx*, TSpriteEx*>> Looks;
    std::vector<SwayPair> Sways;
    std::vector<FrontLeaf> Leaves;
    TTextureOffsetSprite* Clouds = nullptr;
    TTextureOffsetSprite* NightClouds = nullptr;
    TSpriteEx* NightBg = nullptr;
    TTextureOffsetSprite* Rain = nullptr;
    TAnimatedSprite* Lightning1 = nullptr;
    TAnimatedSprite* Lightning2 = nullptr;
    TAnimatedSprite* Flash = nullptr;
    TMenuSwaySprite* Squirrel = nullptr;
    TMenuSwaySprite* SquirrelEyes = nullptr;
    TAnimatedSprite* SquirrelShade = nullptr;
    TAnimatedSprite* SquirrelFeet = nullptr;
    TAnimatedSprite* Cat = nullptr;
    TMenuTrainSmoke* Smoke = nullptr;

    double Ticks = 0;
    double LightningTimer = 0;
    int Lightning = 0; // 0 none, 1 or 2: which picture shows
    int FlashAlpha = 0;
    int Thunders = 0;
    int NightSky = 0;
    int CatStage = 0;
    double LastClock = 0;
    int BlinkIn = 180; // ticks until the squirrel closes its eyes
    int BlinkLeft = 0; // ticks its eyes stay closed
};

std::unique_ptr<Scenery> S;

bool IsTopLevel(const TSprite* sprite) {
    if (!sprite || !MainEngine) return false;
    const auto& items = MainEngine->Items();
    return std::find(items.begin(), items.end(), sprite) != items.end();
}

template <class T> T* Picture(TSprite* parent, const std::string& image, float x, float y, int z) {
    auto* s = new T(parent);
    s->SetImageName(image);
    s->FX = x;
    s->FY = y;
    s->SetZ(z);
    return s;
}

void SetSway(TMenuSwaySprite& s, Sway kind, double radius, double speed, int phase) {
    s.FTimeCounter = phase;
    auto corner = [&](int i, double rx, double ry, double sp) {
        TTransformInfo& t = s.FTransformInfo[static_cast<size_t>(i)];
        t.EnabledX = rx != 0;
        t.EnabledY = ry != 0;
        t.RadiusX = rx;
        t.RadiusY = ry;
        t.Speed = sp;
    };
    switch (kind) {
    case Sway::None:
        break;
    case Sway::Top: // a trunk: the crown moves, the foot stays
        corner(0, radius, radius * 0.3, speed);
        corner(1, radius, radius * 0.3, speed);
        break;
    case Sway::Bottom: // a liana: hangs from its top
        corner(2, radius, radius * 0.25, speed);
        corner(3, radius, radius * 0.25, speed);
        break;
    case Sway::All: // the logo: floats
        for (int i = 0; i < 4; ++i) corner(i, radius * 0.4, radius, speed);
        break;
    case Sway::Leaf: // a cluster: every corner flutters a little, each at its own pace
        corner(0, radius, radius * 0.5, speed);
        corner(1, radius * 0.8, radius * 0.6, speed * 1.13);
        corner(2, radius * 1.1, radius * 0.5, speed * 0.91);
        corner(3, radius * 0.9, radius * 0.6, speed * 1.07);
        break;
    }
    s.CalculateTransform();
}

// A swaying part in both looks at the given depth (the night twin at z + 1).
SwayPair MakeSwayPair(TSprite* parent, const std::string& image, float x, float y, int z, Sway kind,
                      double radius, double speed, int phase, bool night = true) {
    SwayPair p;
    p.Day = Picture<TMenuSwaySprite>(parent, image, x, y, z);
    SetSway(*p.Day, kind, radius, speed, phase);
    if (night) {
        p.Night = Picture<TMenuSwaySprite>(parent, "night_" + image, x, y, z + 1);
        p.Night->FVisible = false;
        p.Night->FAlpha = 0;
        p.Night->CopyCorners(*p.Day);
        S->Looks.emplace_back(p.Day, p.Night);
    }
    S->Sways.push_back(p);
    return p;
}

void MakeTree(TSprite* parent, const TreePartPlace* parts, size_t count, int z) {
    for (size_t i = 0; i < count; ++i) {
        const TreePartPlace& p = parts[i];
        MakeSwayPair(parent, p.Image, p.X, p.Y, z + 2 * static_cast<int>(i), p.Kind, p.Radius,
                     p.Speed, p.Phase);
    }
}

// ---- Update steps ---------------------------------------------------------------------------

void UpdateLooks(const MenuSceneryState& st) {
    const double f = std::clamp(st.fade, 0.0, 1.0);
    const int nightAlpha = Round255(st.night ? f * 255.0 : (1.0 - f) * 255.0);
    const bool done = f >= 1.0;
    const bool dayShown = !(done && st.night);
    const bool nightShown = !(done && !st.night);
    for (auto& [day, night] : S->Looks) {
        day->FVisible = dayShown;
        night->FVisible = nightShown;
        night->FAlpha = nightAlpha;
    }
    S->NightSky = nightShown ? nightAlpha : 0;
}

void UpdateSway() {
    for (SwayPair& p : S->Sways) {
        p.Day->CalculateTransform();
        if (p.Night) p.Night->CopyCorners(*p.Day);
    }
    if (S->Logo) S->Logo->CalculateTransform();
    if (S->Squirrel) {
        S->Squirrel->CalculateTransform();
        S->SquirrelEyes->CopyCorners(*S->Squirrel);
    }
}

void UpdateClouds() {
    // One picture width every 20000 ticks (about five and a half minutes), to the right.
    const float x = static_cast<float>(std::fmod(S->Ticks / 20000.0, 1.0));
    for (TTextureOffsetSprite* c : {S->Clouds, S->NightClouds}) {
        if (!c) continue;
        c->fTranspose = TPoint2{-x, 0.0f};
    }
    if (S->Rain) {
        const double t = S->Ticks;
        S->Rain->fTranspose = TPoint2{static_cast<float>(std::fmod(t * 0.004, 1.0)),
                                      static_cast<float>(-std::fmod(t * 0.021, 1.0))};
    }
}

// Things that have no night picture: tinted towards the night's blue, by how much night shows.
void Tint(TSpriteEx* s, int nightAlpha) {
    if (!s) return;
    const double a = nightAlpha / 255.0;
    s->FRed = Round255(255 + (kNightTintR - 255) * a);
    s->FGreen = Round255(255 + (kNightTintG - 255) * a);
    s->FBlue = Round255(255 + (kNightTintB - 255) * a);
}

void UpdateSquirrel() {
    if (!S->SquirrelEyes) return;
    if (S->BlinkLeft > 0) {
        if (--S->BlinkLeft == 0) S->BlinkIn = 150 + Random(260);
    } else if (--S->BlinkIn <= 0) {
        // Now and then a double blink.
        S->BlinkLeft = Random(4) == 0 ? 20 : 9;
    }
    const bool closed = S->BlinkLeft > 0 && !(S->BlinkLeft > 9 && S->BlinkLeft < 14);
    S->SquirrelEyes->FVisible = closed;
    for (TSpriteEx* s :
         {static_cast<TSpriteEx*>(S->Squirrel), static_cast<TSpriteEx*>(S->SquirrelEyes),
          static_cast<TSpriteEx*>(S->SquirrelFeet)})
        Tint(s, S->NightSky);
    if (S->SquirrelShade) S->SquirrelShade->FAlpha = Round255(150 - 60 * S->NightSky / 255.0);
}

void UpdateLightning(const MenuSceneryState& st) {
    int shown = 0;
    if (st.night) {
        S->LightningTimer += 0.1;
        const double t = S->LightningTimer;
        if ((t >= 28 && t <= 31) || (t >= 48 && t <= 51) || (t >= 74 && t <= 80))
            shown = 1;
        else if (t >= 56 && t <= 59)
            shown = 2;
    } else {
        S->LightningTimer = 0;
    }
    if (shown != 0 && S->Lightning == 0) {
        ++S->Thunders;
        SfxByName("sfx_mm_lightning.ogg");
    }
    S->Lightning = shown;
    const int a = shown ? std::min(255, std::abs(static_cast<int>(
                                            std::nearbyint(std::sin(S->LightningTimer * 3) * 255))))
                        : 0;
    // The sky's own share: the picture is only as bright as the night is there.
    const int seen = a * S->NightSky / 255;
    if (S->Lightning1) {
        S->Lightning1->FVisible = shown == 1;
        S->Lightning1->FAlpha = seen;
    }
    if (S->Lightning2) {
        S->Lightning2->FVisible = shown == 2;
        S->Lightning2->FAlpha = seen;
    }
    S->FlashAlpha = shown ? seen * 2 / 5 : 0;
    if (S->Flash) {
        S->Flash->FVisible = S->FlashAlpha > 0;
        S->Flash->FAlpha = S->FlashAlpha;
    }
    if (S->Rain) {
        S->Rain->FVisible = S->NightSky > 0;
        S->Rain->FAlpha = S->NightSky * 3 / 5;
    }
}

void CatAnim(int stage) {
    TAnimatedSprite& c = *S->Cat;
    switch (stage) {
    case 1: // walking in, facing left
    case 4: // walking out, facing right
        c.SetAnim("MM_MainMenu_Cat_1.image", 0, pmForward, true, stage == 4, true, 0.16f,
                  kCatWalkFrames);
        break;
    case 2: // licking a paw
        c.SetAnim("MM_MainMenu_Cat_2.image", 0, pmPingPong, true, false, true, 0.09f, 6);
        break;
    case 3: // looking up at the sky, the tail swishing
        c.SetAnim("MM_MainMenu_Cat_2.image", 6, pmPingPong, true, false, true, 0.07f, 6);
        break;
    default:
        break;
    }
}

void UpdateCat(const MenuSceneryState& st) {
    if (!S->Cat) return;
    TAnimatedSprite& c = *S->Cat;
    const double clock = st.clock;
    // A clock that went back (the music restarted) sends the cat home for the next night.
    if (clock < S->LastClock - 1000 && S->CatStage != 0) {
        S->CatStage = 0;
        c.FVisible = false;
    }
    S->LastClock = clock;
    int stage = S->CatStage;
    if (stage == 0 && clock > kCatIn && clock < kCatOut) {
        stage = 1;
        c.FX = kCatStartX;
    }
    if (stage == 1 && c.FX <= kCatSeatX) {
        c.FX = kCatSeatX;
        stage = 2;
    }
    if ((stage == 1 || stage == 2) && clock >= kCatLick && clock < kCatLook) {
        if (stage == 1) c.FX = kCatSeatX;
        stage = 2;
    }
    if (stage >= 1 && stage <= 2 && clock >= kCatLook) {
        c.FX = kCatSeatX;
        stage = 3;
    }
    if (stage >= 1 && stage <= 3 && clock > kCatOut) stage = 4;
    if (stage == 4 && c.FX >= kCatStartX) stage = 5;
    if (stage == 5 && clock <= kCatIn) stage = 0;
    // Before 22000 a cat that has sat down licks its paw only from 22000 on: until then it
    // sits and looks (the licking picture's first pattern).
    if (stage != S->CatStage) {
        S->CatStage = stage;
        CatAnim(stage);
        if (stage == 2 && clock < kCatLick) c.FDoAnimate = false;
    }
    if (stage == 2 && !c.FDoAnimate && clock >= kCatLick) c.FDoAnimate = true;
    if (stage == 1) c.FX -= kCatWalkSpeed;
    if (stage == 4) c.FX += kCatWalkSpeed;
    c.FVisible = stage >= 1 && stage <= 4 && S->NightSky > 0;
    c.FAlpha = S->NightSky;
}

} // namespace

void CreateMenuScenery() {
    if (!MainEngine) return;
    if (S) DestroyMenuScenery();
    S = std::make_unique<Scenery>();

    // ---- Behind the menu ----
    auto* back = new TMenuSceneryRoot(MainEngine);
    back->SetZ(BackRootZ);
    S->Back = back;

    auto look = [&](TSpriteEx* day, TSpriteEx* night) {
        night->FVisible = false;
        night->FAlpha = 0;
        S->Looks.emplace_back(day, night);
    };
    auto* bg = Picture<TAnimatedSprite>(back, "MM_MainMenu_bg.image", 0, 0, 10);
    S->NightBg = Picture<TAnimatedSprite>(back, "night_MM_MainMenu_bg.image", 0, 0, 11);
    look(bg, S->NightBg);

    auto clouds = [&](const char* image, int z) {
        auto* c = Picture<TTextureOffsetSprite>(back, image, 0, kCloudsY, z);
        c->fDoTextureMove = false;
        c->fRenderSize = TPoint{1920, 0};
        return c;
    };
    S->Clouds = clouds("MM_MainMenu_Clouds.image", 20);
    S->NightClouds = clouds("night_MM_MainMenu_Clouds.image", 21);
    look(S->Clouds, S->NightClouds);

    S->Lightning1 = Picture<TAnimatedSprite>(back, "night_MM_MainMenu_Lightning_1.image",
                                             kLightning1Pos.x, kLightning1Pos.y, 24);
    S->Lightning2 = Picture<TAnimatedSprite>(back, "night_MM_MainMenu_Lightning_2.image",
                                             kLightning2Pos.x, kLightning2Pos.y, 25);
    for (TAnimatedSprite* l : {S->Lightning1, S->Lightning2}) {
        l->FEffect = beAdd;
        l->FVisible = false;
        l->FAlpha = 0;
    }

    S->Smoke = new TMenuTrainSmoke(back);
    S->Smoke->SetZ(30);

    MakeTree(back, kTree2, std::size(kTree2), 40);
    MakeTree(back, kTree1, std::size(kTree1), 80);

    // The squirrel sits on tree 2's branch: its shade on the bark, the body, the closed eyes
    // over it, the feet gripping the branch.
    S->SquirrelShade = Picture<TAnimatedSprite>(back, "MM_MainMenu_Squirrel_AlphaLayer.image",
                                                kSquirrelPos.x - 6, kSquirrelPos.y + 8, 120);
    S->Squirrel = Picture<TMenuSwaySprite>(back, "MM_MainMenu_Squirrel.image", kSquirrelPos.x,
                                           kSquirrelPos.y, 121);
    SetSway(*S->Squirrel, Sway::Top, 1.5, 6.0, 0);
    S->SquirrelEyes = Picture<TMenuSwaySprite>(back, "MM_MainMenu_Squirrel_ClosedEyes.image",
                                               kSquirrelPos.x, kSquirrelPos.y, 122);
    S->SquirrelEyes->FVisible = false;
    S->SquirrelEyes->CopyCorners(*S->Squirrel);
    S->SquirrelFeet = Picture<TAnimatedSprite>(back, "MM_MainMenu_Squirrel_Feet.image",
                                               kSquirrelPos.x, kSquirrelPos.y, 123);

    S->Cat = Picture<TAnimatedSprite>(back, "MM_MainMenu_Cat_1.image", kCatStartX, kCatY, 130);
    S->Cat->FVisible = false;

    auto* bottom =
        Picture<TAnimatedSprite>(back, "MM_MainMenu_BottomPanel.image", 0, kBottomPanelY, 140);
    look(bottom, Picture<TAnimatedSprite>(back, "night_MM_MainMenu_BottomPanel.image", 0,
                                          kBottomPanelY, 141));

    S->Rain = Picture<TTextureOffsetSprite>(back, "MM_MainMenu_Rain_1.image", 0, 0, 150);
    S->Rain->fDoTextureMove = false;
    S->Rain->fRenderSize = TPoint{1920, 1080};
    S->Rain->FVisible = false;
    S->Rain->FAlpha = 0;

    // ---- The logo ----
    S->Logo = Picture<TMenuSwaySprite>(MainEngine, "MM_MainMenu_Logotip.image", kLogoPos.x,
                                       kLogoPos.y, LogoZ);
    SetSway(*S->Logo, Sway::All, 3.0, 2.2, 0);

    // ---- In front ----
    auto* front = new TMenuSceneryRoot(MainEngine);
    front->SetZ(FrontRootZ);
    S->Front = front;
    int z = 10;
    for (const FrontLeafPlace& place : kFrontLeaves) {
        FrontLeaf leaf;
        leaf.Place = &place;
        // The corners at the screen's edge stay; the others flutter.
        leaf.Pair = MakeSwayPair(front, place.Image, 0, place.Y, z, Sway::None, 0, 0, place.Phase);
        TTransformInfoClass& t = leaf.Pair.Day->FTransformInfo;
        const bool top = place.Y < 300;
        // corners: 0 top-left, 1 top-right, 2 bottom-right, 3 bottom-left
        const int inner1 = place.Right ? 0 : 1;
        const int inner2 = place.Right ? 3 : 2;
        for (int i : {inner1, inner2}) {
            const bool farEdge = top ? (i == 2 || i == 3) : (i == 0 || i == 1);
            const double r = place.Radius * (farEdge ? 1.0 : 0.45);
            t[static_cast<size_t>(i)] =
                TTransformInfo{true, true, r, r * 0.6, place.Speed * (farEdge ? 1.0 : 1.2)};
        }
        const int outerFar = top ? (place.Right ? 2 : 3) : (place.Right ? 1 : 0);
        t[static_cast<size_t>(outerFar)] =
            TTransformInfo{false, true, 0, place.Radius * 0.5, place.Speed * 0.9};
        S->Leaves.push_back(leaf);
        z += 2;
    }
    S->Flash = Picture<TAnimatedSprite>(front, "night_MM_MainMenu_Flash.image", 0, 0, 100);
    S->Flash->FEffect = beAdd;
    S->Flash->FVisible = false;
    S->Flash->FAlpha = 0;

    RefreshMenuSceneryLayout();
    UpdateSway();
    UpdateClouds();
}

void DestroyMenuScenery() {
    if (!S) return;
    // Whoever cleared the engine already freed them; only live top-level sprites are ended.
    for (TSprite* s : {static_cast<TSprite*>(S->Back), static_cast<TSprite*>(S->Logo),
                       static_cast<TSprite*>(S->Front)})
        if (IsTopLevel(s) && !s->FDeaded) s->Dead();
    S.reset();
}

void UpdateMenuScenery(const MenuSceneryState& state) {
    if (!S) return;
    if (!IsTopLevel(S->Back)) { // the engine was cleared under us
        S.reset();
        return;
    }
    S->Ticks += 1;
    UpdateLooks(state);
    UpdateSway();
    UpdateClouds();
    UpdateSquirrel();
    UpdateLightning(state);
    UpdateCat(state);
    Tint(S->Logo, S->NightSky / 3);
}

int MenuNightSkyAlpha() {
    return S ? S->NightSky : 0;
}

TSprite* MenuLogo() {
    return S ? S->Logo : nullptr;
}

void RefreshMenuSceneryLayout() {
    if (!S) return;
    // The visible design area: all of 0..1920 on wide windows (bars at the sides), the
    // middle part on narrower ones.
    const float left = std::max(0.0f, WorldOffset.x);
    const float right = 1920.0f - left;
    for (FrontLeaf& leaf : S->Leaves) {
        const FrontLeafPlace& place = *leaf.Place;
        TMenuSwaySprite* d = leaf.Pair.Day;
        const float x = place.Right ? right - place.X - static_cast<float>(d->GetPatternWidth())
                                    : left + place.X;
        d->FX = x;
        if (leaf.Pair.Night) leaf.Pair.Night->FX = x;
    }
    if (S->Flash) {
        S->Flash->FX = left;
        const int w = std::max(1, S->Flash->GetPatternWidth());
        const int h = std::max(1, S->Flash->GetPatternHeight());
        S->Flash->FScaleX = (right - left) / static_cast<float>(w);
        S->Flash->FScaleY = 1080.0f / static_cast<float>(h);
    }
    UpdateSway();
}

// ---- For the tests and the showcase ----------------------------------------------------------

int MenuLightningShown() {
    return S ? S->Lightning : 0;
}
int MenuFlashAlpha() {
    return S ? S->FlashAlpha : 0;
}
int MenuThunderCount() {
    return S ? S->Thunders : 0;
}
int MenuCatStage() {
    return S ? S->CatStage : 0;
}
bool MenuTrainSmokeRunning() {
    return S && S->Smoke && S->Smoke->Running();
}

} // namespace bw
