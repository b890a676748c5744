// The two films. The intro: a morning in the birds' valley, the Big Cat plotting in its woods,
// a cat creeping up to the nest at night, the nestlings carried off in cages, and the birds
// asking for help at the empty nest. The outro: the Big Cat asleep over its hamburgers, the
// freed nestlings flying home, the valley's celebration, and the nest at sunset.
//
// Everything is placed in the 1280 x 720 picture; the creators scale it onto the canvas. The
// characters are the dialogs' speakers, put together from the same parts.
#include "cutscene/CutScene.h"

#include "audio/SoundEngine.h"
#include "ingame/DialogCharacters.h"

#include <cmath>

namespace bw {

namespace {

constexpr TPoint2 Full{1, 1};

TTransformInfo SwayY(double r, double speed) {
    return TTransformInfo{false, r != 0, 0, r, speed};
}
TTransformInfo SwayXY(double rx, double ry, double speed) {
    return TTransformInfo{rx != 0, ry != 0, rx, ry, speed};
}
TTransformInfoClass Top(TTransformInfo t) {
    return TTransformInfoClass{t, t, TTransformInfo{}, TTransformInfo{}};
}
TTransformInfoClass All(TTransformInfo t) {
    return TTransformInfoClass{t, t, t, t};
}
const TTransformInfoClass Still{};

void Picture(const std::string& name, TPoint2 at, int z, TPoint2 scale = Full) {
    AddSimpleObject(name + ".image", at, z, beNormal, 0, scale);
}
void Drifting(const std::string& name, TPoint2 at, int z, float speed, TPoint2 scale = Full) {
    AddMovingObject(name + ".image", at, z, beNormal, 0, scale, TPoint2{speed, 0});
}
void Swaying(const std::string& name, TPoint2 at, int z, const TTransformInfoClass& sway,
             TPoint2 scale = Full) {
    AddTransformObject(name + ".image", at, z, sway, scale);
}

int SimpleCount() {
    return static_cast<int>(CutSceneState().SimpleObjects.size());
}
int TransformCount() {
    return static_cast<int>(CutSceneState().TransformObjects.size());
}

// Smooth 0 .. 1 between two clock values.
double Ease(double clock, double from, double to) {
    if (clock <= from) return 0;
    if (clock >= to) return 1;
    const double t = (clock - from) / (to - from);
    return t * t * (3 - 2 * t);
}
double Lerp(double a, double b, double t) {
    return a + (b - a) * t;
}

void Sound(const char* name) {
    SfxByName(name);
}

// ---- Characters -----------------------------------------------------------------------------

// One of the dialogs' speakers, its parts as transform objects from `first` on.
struct Actor {
    int first = 0;
    int count = 0;
    float scale = 1;              // of the dialog's own size
    std::vector<TPoint2> offsets; // from the body, authored units
    std::vector<float> follow;
    std::vector<int> eyes, pupils;
    int followCoord = 0;
    bool followX = false;
    TPoint2 at; // the body's place, authored units
    double blinkPhase = 0;
    bool asleep = false; // the eyes stay shut
};

float CornerCoord(const TVideoTransformObject& o, int k) {
    const float c[8] = {o.FX1, o.FY1, o.FX2, o.FY2, o.FX3, o.FY3, o.FX4, o.FY4};
    return c[k & 7];
}
float UnswayedCoord(const TVideoTransformObject& o, int k) {
    const float w = static_cast<float>(o.GetPatternWidth()) * o.FScaleX;
    const float h = static_cast<float>(o.GetPatternHeight()) * o.FScaleY;
    const bool x = k % 2 == 0;
    const int corner = k / 2;
    if (x) return o.FX + ((corner == 1 || corner == 2) ? w : 0);
    return o.FY + ((corner >= 2) ? h : 0);
}

Actor AddActor(int character, TPoint2 at, float scale, int z, double blinkPhase = 0) {
    Actor a;
    const DialogCharacterSpec* c = DialogCharacter(character);
    a.first = TransformCount();
    a.scale = scale;
    a.at = at;
    a.blinkPhase = blinkPhase;
    if (!c) return a;
    a.followCoord = c->followCoord;
    a.followX = c->followX;
    const float s = scale / CutSceneScale; // authored units per design unit of the part
    const std::string body = c->prefix + "body" + (c->prefix == "dialog_boss_1_" ? "1" : "");
    Swaying(body, at, z, c->bodySway, TPoint2{s, s});
    a.offsets.push_back(TPoint2{0, 0});
    a.follow.push_back(0);
    int i = 0;
    for (const DialogPartSpec& p : c->parts) {
        ++i;
        const TPoint2 off{p.dx * s, p.dy * s};
        Swaying(c->prefix + p.name, TPoint2{at.x + off.x, at.y + off.y}, z + p.zStep, p.sway,
                TPoint2{s, s});
        a.offsets.push_back(off);
        a.follow.push_back(p.follow);
        if (p.name.rfind("eye", 0) == 0) a.eyes.push_back(i);
        if (p.name.rfind("pupil", 0) == 0) a.pupils.push_back(i);
    }
    a.count = TransformCount() - a.first;
    return a;
}

TVideoTransformObject* Part(const Actor& a, int i) {
    return i < a.count ? TransformObject(a.first + i) : nullptr;
}

// Puts the actor at `at` (authored units): the parts follow the body's sway as in the dialogs,
// and the eyes blink now and then.
void Pose(Actor& a, TPoint2 at, double clock) {
    a.at = at;
    TVideoTransformObject* body = Part(a, 0);
    if (!body) return;
    body->FX = at.x * CutSceneScale;
    body->FY = at.y * CutSceneScale;
    const float sway = CornerCoord(*body, a.followCoord) - UnswayedCoord(*body, a.followCoord);
    const double b = std::fmod(clock + a.blinkPhase, 19.0);
    const bool closed = a.asleep || b > 18.0;
    const float design = a.scale;
    for (int i = 1; i < a.count; ++i) {
        TVideoTransformObject* o = Part(a, i);
        if (!o) continue;
        const float d = sway * a.follow[static_cast<size_t>(i)];
        o->FX = (at.x + a.offsets[static_cast<size_t>(i)].x) * CutSceneScale + (a.followX ? d : 0);
        o->FY = (at.y + a.offsets[static_cast<size_t>(i)].y) * CutSceneScale + (a.followX ? 0 : d);
        o->FScaleY = design;
    }
    for (int e : a.eyes)
        if (TVideoTransformObject* o = Part(a, e)) {
            if (!closed) continue;
            const float h = static_cast<float>(o->GetPatternHeight()) * design;
            o->FScaleY = design * 0.15f;
            o->FY += h * 0.5f;
        }
    for (int p : a.pupils)
        if (TVideoTransformObject* o = Part(a, p)) o->FVisible = !closed;
}

// A hop: up and down over the clock.
float Hop(double clock, double speed, float height) {
    return -static_cast<float>(std::fabs(std::sin(clock * speed)) * height);
}

// The actors of the scene being shown (rebuilt with every scene).
std::vector<Actor> Actors;
int FirstSimple = 0;

TVideoSimpleObject* Simple(int i) {
    return SimpleObject(FirstSimple + i);
}

// The sky, the far hills with their bird houses, the near hills and two drifting clouds.
void Valley(bool night) {
    Picture(night ? "video_sky_night" : "video_sky_day", {-4, -4}, 0, TPoint2{1.01f, 1.015f});
    Picture(night ? "video_moon" : "video_sun", night ? TPoint2{980, 70} : TPoint2{170, 60}, 1);
    Drifting("video_cloud_1", {140, 90}, 2, 0.12f);
    Drifting("video_cloud_2", {760, 150}, 2, 0.2f);
    Picture("video_hills_far", {-8, 360}, 3);
    Picture("video_house", {250, 330}, 4);
    Picture("video_house", {1080, 350}, 4, TPoint2{0.8f, 0.8f});
    Picture("video_hills", {-8, 470}, 5);
}

void Shade(int alpha, int z = 90) {
    AddSimpleObject("blackpixel.image", {0, 0}, z, beNormal, 0, TPoint2{1280, 720});
    if (TVideoSimpleObject* o = SimpleObject(SimpleCount() - 1)) o->SetAlpha(alpha);
}

void Nestlings(TPoint2 nest, int z, int count = 3) {
    for (int i = 0; i < count; ++i)
        Swaying("video_nestling", {nest.x + 30 + i * 44.0f, nest.y - 26}, z,
                Top(SwayXY(2, 3, 30 + i * 7)));
}

// ---- The intro --------------------------------------------------------------------------------

std::vector<FilmScene> Intro() {
    std::vector<FilmScene> film;
    // A morning in the valley: the parents fly off to find food, the nestlings wait.
    film.push_back({[] {
                        Valley(false);
                        Swaying("video_branch", {560, 430}, 20, Top(SwayY(3, 14)));
                        Picture("video_nest", {760, 425}, 22);
                        Nestlings({760, 425}, 21);
                        Actors.push_back(AddActor(1, {600, 385}, 0.8f, 30));
                        Actors.push_back(AddActor(2, {1010, 405}, 0.7f, 30, 7));
                        Sound("sfx_intro_1");
                    },
                    [](double clock) {
                        const float off = static_cast<float>(Ease(clock, 38, 56) * 900);
                        Pose(Actors[0], {600 - off, 385 - off * 0.45f + Hop(clock, 0.5, 8)}, clock);
                        Pose(Actors[1], {1010 + off, 405 - off * 0.5f}, clock);
                    },
                    66, 10});
    // The Big Cat in its woods, by a smoking hut, with a stack of empty cages, all standing on
    // the woods' floor.
    film.push_back(
        {[] {
             Picture("scene_1_sky", {-4, -4}, 0, {1.01f, 1.015f});
             Picture("scene_1_woods", {0, 260}, 3);
             Picture("scene_1_hut", {120, 450}, 5);
             AddParticleObject("video_intro_scene_1_smoke.xml", {235, 450}, 6, 200, 0.017f, Full);
             Picture("video_cage", {860, 520}, 8);
             Picture("video_cage", {960, 530}, 8, {0.9f, 0.9f});
             Picture("video_cage", {905, 420}, 9, {0.9f, 0.9f});
             Actors.push_back(AddActor(4, {560, 495}, 1.0f, 30));
         },
         [](double clock) {
             const float lean = static_cast<float>(std::sin(clock * 0.15) * 6);
             Pose(Actors[0], {560 + lean, 495}, clock);
         },
         60, 10});
    // Night: a cat creeps through the bushes towards the sleeping nest.
    film.push_back({[] {
                        Valley(true);
                        Swaying("video_branch", {560, 430}, 20, Top(SwayY(2, 10)));
                        Picture("video_nest", {760, 425}, 22);
                        Nestlings({760, 425}, 21);
                        Actors.push_back(AddActor(4, {-260, 420}, 0.75f, 30));
                        Swaying("scene_2_bushes", {0, 560}, 40, Top(SwayXY(4, 2, 12)));
                        Shade(70, 35);
                        Sound("sfx_intro_3");
                    },
                    [](double clock) {
                        const float x = static_cast<float>(Lerp(-260, 420, Ease(clock, 6, 50)));
                        Pose(Actors[0], {x, 420 + Hop(clock, 0.9, 6)}, clock);
                    },
                    60, 7});
    // The nestlings are shut in cages and wheeled away on the cats' cart.
    film.push_back({[] {
                        Valley(true);
                        Picture("scene_3_cart", {440, 440}, 20);
                        for (int i = 0; i < 3; ++i)
                            Picture("video_nestling", {490 + i * 120.0f, 402}, 21);
                        for (int i = 0; i < 3; ++i)
                            Picture("video_cage", {470 + i * 120.0f, -200}, 22, {0.8f, 0.8f});
                        Shade(60, 35);
                    },
                    [](double clock) {
                        auto& st = CutSceneState();
                        // Each cage drops over its nestling, then the cart rolls off.
                        const int base = 8;
                        for (int i = 0; i < 3; ++i) {
                            TVideoSimpleObject* cage = Simple(base + 4 + i);
                            if (!cage) continue;
                            const double t = Ease(clock, 6 + i * 6, 9 + i * 6);
                            cage->FY = static_cast<float>(Lerp(-200, 330, t)) * CutSceneScale;
                        }
                        if (st.CutSceneStage == 0 && clock > 9) {
                            Sound("sfx_intro_4");
                            st.CutSceneStage = 1;
                        }
                        const float roll = static_cast<float>(Ease(clock, 30, 58) * 1000);
                        for (int i = base; i < base + 7; ++i)
                            if (TVideoSimpleObject* o = Simple(i))
                                o->FX = o->FStartPos.x + roll * CutSceneScale;
                        if (TVideoSimpleObject* cart = Simple(base))
                            cart->FY = cart->FStartPos.y + Hop(clock, 1.4, 3) * CutSceneScale;
                    },
                    62, 10});
    // The next morning, at the empty nest: the birds are sad, until they find a key.
    film.push_back({[] {
                        Valley(false);
                        Swaying("video_branch", {560, 430}, 20, Top(SwayY(3, 14)));
                        Picture("video_nest", {760, 425}, 22);
                        Actors.push_back(AddActor(1, {560, 385}, 0.85f, 30));
                        Actors.push_back(AddActor(3, {990, 365}, 0.8f, 30, 5));
                        Swaying("video_key", {700, 580}, 50, All(SwayXY(2, 3, 20)));
                        AddAnimatedObject("video_sparkle.image", {730, 570}, 51, beAdd, 0, Full,
                                          pmPingPong, 8, 0.2f);
                        Sound("sfx_intro_5");
                    },
                    [](double clock) {
                        const float sink = static_cast<float>(Ease(clock, 0, 12) * 10);
                        const float up = static_cast<float>(Ease(clock, 40, 46) * 20);
                        Pose(Actors[0], {560, 385 + sink - up}, clock);
                        Pose(Actors[1], {990, 365 + sink * 0.5f}, clock);
                        auto& st = CutSceneState();
                        TVideoTransformObject* key = TransformObject(TransformCount() - 1);
                        // The key rises into view and shines.
                        if (key)
                            key->FY = key->FStartPos.y -
                                      static_cast<float>(Ease(clock, 30, 42) * 120 * CutSceneScale);
                        if (TVideoSimpleObject* s = SimpleObject(SimpleCount() - 1)) {
                            s->FVisible = clock > 40;
                            if (key) s->FY = key->FY - 10 * CutSceneScale;
                        }
                        st.CutSceneStage = clock > 40 ? 1 : 0;
                    },
                    66, 10});
    return film;
}

// ---- The outro --------------------------------------------------------------------------------

std::vector<FilmScene> Outro() {
    std::vector<FilmScene> film;
    // The Big Cat, full of hamburgers, falls asleep; its cages stand open.
    film.push_back({[] {
                        Picture("outro_scene_0_bg", {-4, -4}, 0, {1.01f, 1.015f});
                        Actors.push_back(AddActor(4, {520, 300}, 1.0f, 30));
                        Actors.back().asleep = true;
                        Picture("outro_scene_0_burger", {430, 600}, 40);
                        Picture("outro_scene_0_burger", {760, 615}, 40, {0.8f, 0.8f});
                        Picture("video_cage", {1000, 420}, 20);
                        AddAnimatedObject("outro_scene_0_zzz.image", {760, 250}, 45, beNormal, 0,
                                          Full, pmForward, 8, 0.05f);
                        Sound("sfx_outro_1");
                    },
                    [](double clock) {
                        const float breathe = static_cast<float>(std::sin(clock * 0.2) * 4);
                        const float sink = static_cast<float>(Ease(clock, 0, 20) * 40);
                        Pose(Actors[0], {520, 300 + sink + breathe}, clock);
                        if (TVideoSimpleObject* z = Simple(4)) z->FVisible = clock > 20;
                    },
                    60, 10});
    // The freed nestlings fly home to the nest.
    film.push_back({[] {
                        Valley(false);
                        Picture("outro_scene_1_rainbow", {300, 60}, 2);
                        Swaying("video_branch", {560, 430}, 20, Top(SwayY(3, 14)));
                        Picture("video_nest", {760, 425}, 22);
                        for (int i = 0; i < 3; ++i)
                            Swaying("video_nestling", {-100.0f - i * 90, 200.0f + i * 40}, 21,
                                    Top(SwayXY(3, 4, 40 + i * 5)));
                        Actors.push_back(AddActor(1, {420, 410}, 0.75f, 30));
                        Sound("sfx_outro_2");
                    },
                    [](double clock) {
                        for (int i = 0; i < 3; ++i) {
                            TVideoTransformObject* n = TransformObject(1 + i);
                            if (!n) continue;
                            const double t = Ease(clock, 4 + i * 5, 24 + i * 5);
                            const double x = Lerp(-100 - i * 90, 790 + i * 44, t);
                            const double y =
                                Lerp(200 + i * 40, 399, t) - std::sin(t * 3.14159) * 120;
                            n->FX = static_cast<float>(x) * CutSceneScale;
                            n->FY = static_cast<float>(y) * CutSceneScale;
                        }
                        Pose(Actors[0], {420, 410 + Hop(clock, 0.6, 14)}, clock);
                    },
                    54, 10});
    // The valley celebrates with its birds.
    film.push_back({[] {
                        Valley(false);
                        Swaying("outro_scene_2_bunting", {0, 0}, 10, Top(SwayY(6, 18)));
                        Actors.push_back(AddActor(1, {180, 420}, 0.8f, 30));
                        Actors.push_back(AddActor(3, {520, 400}, 0.8f, 30, 6));
                        Actors.push_back(AddActor(2, {860, 430}, 0.8f, 30, 11));
                        for (int i = 0; i < 5; ++i)
                            Swaying("video_nestling", {300 + i * 150.0f, 640}, 40,
                                    Top(SwayXY(3, 4, 35 + i * 6)));
                        Sound("sfx_outro_3");
                    },
                    [](double clock) {
                        const float x[3] = {180, 520, 860};
                        const float y[3] = {420, 400, 430};
                        for (int i = 0; i < 3; ++i)
                            Pose(Actors[static_cast<size_t>(i)],
                                 {x[i], y[i] + Hop(clock + i * 1.7, 0.7, 30)}, clock);
                    },
                    60, 10});
    // Sunset: the nest is full again.
    film.push_back({[] {
                        Picture("outro_scene_3_final", {-4, -4}, 0, {1.01f, 1.015f});
                        Drifting("video_cloud_2", {200, 120}, 2, 0.1f);
                        Swaying("video_branch", {500, 440}, 20, Top(SwayY(2, 10)));
                        Picture("video_nest", {700, 435}, 22);
                        Nestlings({700, 435}, 21);
                        Actors.push_back(AddActor(1, {600, 405}, 0.7f, 30));
                        Actors.push_back(AddActor(2, {930, 420}, 0.65f, 30, 8));
                        Sound("sfx_outro_4");
                    },
                    [](double clock) {
                        Pose(Actors[0], {600, 405}, clock);
                        Pose(Actors[1], {930, 420}, clock);
                    },
                    60, 7});
    return film;
}

// Every scene starts without the last one's actors, and counts its simple objects from the
// first one it adds.
std::vector<FilmScene> StartingAfresh(std::vector<FilmScene> film) {
    for (FilmScene& scene : film) {
        scene.Build = [build = std::move(scene.Build)] {
            Actors.clear();
            FirstSimple = SimpleCount();
            build();
        };
    }
    return film;
}

} // namespace

const std::vector<FilmScene>& Film(int video) {
    static const std::vector<FilmScene> intro = StartingAfresh(Intro());
    static const std::vector<FilmScene> outro = StartingAfresh(Outro());
    static const std::vector<FilmScene> none;
    if (video == VideoIntro) return intro;
    if (video == VideoOutro) return outro;
    return none;
}

} // namespace bw
