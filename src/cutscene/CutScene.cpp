#include "cutscene/CutScene.h"

#include "Engine/KilnSprite/SpriteEngine.h"
#include "audio/SoundEngine.h"
#include "base/GameObjects.h"
#include "base/GameState.h"
#include "base/Player.h"
#include "base/ResourceLoading.h"
#include "base/Scene.h"
#include "base/SceneTransition.h"
#include "data/KilnArchive.h"
#include "effects/ParticleSystem.h"
#include "meta/Profile.h"
#include "platform/Log.h"

#include <algorithm>

namespace bw {

CutSceneFrame CutSceneHooks;

namespace {

CutScenePlayer State;

// The fade's alpha steps down by this much a tick as a scene comes up out of black.
constexpr int FadeInStep = 10;
constexpr int GrainZ = 9000;
constexpr int FadeZ = 10001;
constexpr int CanvasWidth = 1920;
constexpr int CanvasHeight = 1080;

constexpr const char* CutSceneSounds[] = {"sfx_intro_1.ogg", "sfx_intro_3.ogg", "sfx_intro_4.ogg",
                                          "sfx_intro_5.ogg", "sfx_outro_1.ogg", "sfx_outro_2.ogg",
                                          "sfx_outro_3.ogg", "sfx_outro_4.ogg"};

bool FadingIn = false;
bool WantLeave = false;

TPoint2 Placed(TPoint2 p) {
    return TPoint2{p.x * CutSceneScale, p.y * CutSceneScale};
}

const std::vector<FilmScene>& CurrentFilm() {
    return Film(State.CutSceneVideo);
}

bool LastScene() {
    return State.CutSceneIndex + 1 >= static_cast<int>(CurrentFilm().size());
}

// A film whose own archive is missing or empty has nothing to show: it ends at once.
bool FilmMissing() {
    const size_t archive = static_cast<size_t>(FilmArchive(State.CutSceneVideo));
    const TKilnArchive* a = archive < Archives.Videos.size() ? Archives.Videos[archive] : nullptr;
    return CurrentFilm().empty() || a == nullptr || a->RecordCount() == 0;
}

void DestroySceneObjects() {
    for (TVideoSimpleObject* o : State.SimpleObjects) o->Dead();
    for (TVideoTransformObject* o : State.TransformObjects) o->Dead();
    for (TVideoParticleObject* o : State.ParticleObjects) {
        o->FFX.Kill();
        o->Dead();
    }
    State.SimpleObjects.clear();
    State.TransformObjects.clear();
    State.ParticleObjects.clear();
}

void BuildScene(int n) {
    State.CutSceneClock = 0;
    State.CutSceneStage = 0;
    State.CutSceneIndex = n;
    const std::vector<FilmScene>& film = CurrentFilm();
    if (n >= 0 && n < static_cast<int>(film.size()) && film[static_cast<size_t>(n)].Build)
        film[static_cast<size_t>(n)].Build();
}

TChangeSceneNames Way() {
    return State.CutSceneVideo == VideoIntro ? fl_video_GoTo_Game : fl_video_GoTo_Credits;
}

// Starts the fade out of the film, unless one already covers the screen (then the film
// keeps asking, so it never stays on after its end).
void Leave() {
    WantLeave = true;
    if (State.Leaving || TransitionVisible()) return;
    State.Leaving = true;
    StartTransition(Way(), FadeSpeedSlow);
}

void SetFade(int alpha) {
    TVideoBlackFadeSprite* f = State.FadeSprite;
    if (!f) return;
    f->FRealAlpha = static_cast<float>(std::clamp(alpha, 0, 255));
    f->SetAlpha(static_cast<int>(f->FRealAlpha));
    f->FVisible = f->FRealAlpha > 0;
}

int FadeAlpha() {
    return State.FadeSprite ? static_cast<int>(State.FadeSprite->FRealAlpha) : 0;
}

template <class T> T* At(std::vector<T*>& list, int index) {
    return index >= 0 && index < static_cast<int>(list.size()) ? list[static_cast<size_t>(index)]
                                                               : nullptr;
}

void Place(TVideoSimpleObject& o, const std::string& image, TPoint2 position, int z,
           TBlendingEffect effect, int drawMode, TPoint2 scale) {
    o.FIndex = static_cast<int>(State.SimpleObjects.size());
    State.SimpleObjects.push_back(&o);
    o.SetImageName(image);
    const TPoint2 p = Placed(position);
    o.FX = p.x;
    o.FY = p.y;
    o.FStartPos = p;
    o.SetZ(z);
    o.FEffect = effect;
    o.SetDrawMode(drawMode);
    o.FScaleX = scale.x * CutSceneScale;
    o.FScaleY = scale.y * CutSceneScale;
}

} // namespace

CutScenePlayer& CutSceneState() {
    return State;
}

// ---- Objects ------------------------------------------------------------------------------

void TVideoSimpleObject::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    if (FMotionSpeed.x != 0 || FMotionSpeed.y != 0) {
        FX += FMotionSpeed.x * moveCount;
        FY += FMotionSpeed.y * moveCount;
    }
}

TVideoParticleObject::~TVideoParticleObject() {
    FFX.Kill();
}

void TVideoParticleObject::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    if (FDeaded) return;
    if (TXParticleSystem* s = FFX.Get()) s->Update(FUpdateFxSpeed * moveCount);
}

void TVideoParticleObject::DoDraw() {
    if (TXParticleSystem* s = FFX.Get()) s->Render(0, 0);
}

void AddSimpleObject(const std::string& image, TPoint2 position, int z, TBlendingEffect effect,
                     int drawMode, TPoint2 scale) {
    if (!MainEngine) return;
    Place(*new TVideoSimpleObject(MainEngine), image, position, z, effect, drawMode, scale);
}

void AddMovingObject(const std::string& image, TPoint2 position, int z, TBlendingEffect effect,
                     int drawMode, TPoint2 scale, TPoint2 speed) {
    if (!MainEngine) return;
    auto* o = new TVideoSimpleObject(MainEngine);
    Place(*o, image, position, z, effect, drawMode, scale);
    o->FMotionSpeed = speed;
}

void AddAnimatedObject(const std::string& image, TPoint2 position, int z, TBlendingEffect effect,
                       int drawMode, TPoint2 scale, TAnimPlayMode playMode, int animCount,
                       float animSpeed) {
    if (!MainEngine) return;
    auto* o = new TVideoSimpleObject(MainEngine);
    Place(*o, image, position, z, effect, drawMode, scale);
    o->SetAnim(image, 0, playMode, true, true, animSpeed, animCount);
}

void AddManualTransformObject(const std::string& image, TPoint2 position, int z,
                              const TTransformInfoClass& transformInfo, TPoint2 scale,
                              bool manualCalculate) {
    if (!MainEngine) return;
    auto* o = new TVideoTransformObject(MainEngine);
    o->FIndex = static_cast<int>(State.TransformObjects.size());
    State.TransformObjects.push_back(o);
    o->SetImageName(image);
    const TPoint2 p = Placed(position);
    o->FX = p.x;
    o->FY = p.y;
    o->FStartPos = p;
    o->SetZ(z);
    o->SetDrawMode(3);
    o->FScaleX = scale.x * CutSceneScale;
    o->FScaleY = scale.y * CutSceneScale;
    o->FTransformInfo = transformInfo;
    for (TTransformInfo& t : o->FTransformInfo) {
        t.RadiusX *= CutSceneScale;
        t.RadiusY *= CutSceneScale;
    }
    o->FManualCalculate = manualCalculate;
    o->Calculate4Coords();
    o->FStartCoords = {o->FX1, o->FY1, o->FX2, o->FY2, o->FX3, o->FY3, o->FX4, o->FY4};
}

void AddTransformObject(const std::string& image, TPoint2 position, int z,
                        const TTransformInfoClass& transformInfo, TPoint2 scale) {
    AddManualTransformObject(image, position, z, transformInfo, scale, false);
}

void AddParticleObject(const std::string& description, TPoint2 position, int z, int warmUp,
                       float updateSpeed, TPoint2 scale) {
    if (!MainEngine) return;
    auto* o = new TVideoParticleObject(MainEngine);
    o->FIndex = static_cast<int>(State.ParticleObjects.size());
    State.ParticleObjects.push_back(o);
    const TPoint2 p = Placed(position);
    o->FX = p.x;
    o->FY = p.y;
    o->FStartPos = p;
    o->SetZ(z);
    o->FScaleX = scale.x * CutSceneScale;
    o->FScaleY = scale.y * CutSceneScale;
    o->FUpdateFxSpeed = updateSpeed;
    TXParticleManager* manager = ParticleManager();
    const float zoom = MainEngine->FZoom;
    o->FFX = manager ? manager->Launch(description, TPoint2{p.x * zoom, p.y * zoom}) : nullptr;
    TXParticleSystem* s = o->FFX.Get();
    if (!s) {
        WriteLog("Cut-scene: the particle effect \"" + description + "\" cannot be launched", 1);
        return;
    }
    s->FManualRender = true;
    s->FScaleParticles = TPoint2{o->FScaleX, o->FScaleY};
    if (Archives.Particles1) s->ParseEmittersRecord(description, Archives.Particles1);
    for (int i = 0; i < warmUp; ++i) s->Update(updateSpeed);
}

TVideoSimpleObject* SimpleObject(int index) {
    return At(State.SimpleObjects, index);
}
TVideoTransformObject* TransformObject(int index) {
    return At(State.TransformObjects, index);
}
TVideoParticleObject* ParticleObject(int index) {
    return At(State.ParticleObjects, index);
}

// ---- The player ---------------------------------------------------------------------------

void CutSceneControl(int action, int video) {
    if (action == CutSceneStart) {
        CurrentScene = scene_Video;
        State.CutSceneVideo = std::clamp(video, VideoIntro, VideoOutro);
        WriteLog(std::string("Cut-scene: ") + (video == VideoIntro ? "the intro" : "the outro"), 1);
        if (LoadVideoResources(FilmArchive(State.CutSceneVideo))) BeginCutScene();
        return;
    }
    if (action != CutSceneEnd) return;
    for (const char* name : CutSceneSounds) {
        const int index = SfxIndex(name);
        if (index >= 0) Sfx(msg_Stop, index);
    }
    if (State.GrainSprite) State.GrainSprite->Dead();
    if (State.FadeSprite) State.FadeSprite->Dead();
    State.GrainSprite = nullptr;
    State.FadeSprite = nullptr;
    DestroySceneObjects();
    const bool wasRunning = State.Running;
    State.Running = false;
    SoundInCutScene = false;
    State.FadingOut = false;
    State.Leaving = false;
    FadingIn = false;
    WantLeave = false;
    if (CutSceneHooks.screenMode) CutSceneHooks.screenMode(false);
    // The story has begun: the start sign leads to the map from now on.
    Player.GameWasStarted = true;
    if (!Player.FileName.empty()) SaveProfile();
    if (CutSceneHooks.cursor) CutSceneHooks.cursor(0);
    if (wasRunning) WriteLog("Cut-scene ended", 1);
}

void BeginCutScene() {
    if (State.Running) DestroySceneObjects();
    if (State.GrainSprite) State.GrainSprite->Dead();
    if (State.FadeSprite) State.FadeSprite->Dead();
    State.GrainSprite = nullptr;
    State.FadeSprite = nullptr;
    if (CutSceneHooks.screenMode) CutSceneHooks.screenMode(true);
    State.Running = true;
    // While the window is away, the film's sounds pause and then go on where they were.
    SoundInCutScene = true;
    State.FadingOut = false;
    State.Leaving = false;
    State.Ticks = 0;
    FadingIn = false;
    WantLeave = false;
    BuildScene(0);
    if (MainEngine) {
        auto* grain = new TGrainFxSprite(MainEngine);
        grain->SetImageName("Grain.image");
        grain->SetZ(GrainZ);
        grain->SetAlpha(25);
        grain->FEffect = beAdd;
        grain->fSpeed = TPoint2{0.1f, 0.1f};
        grain->fRenderSize = TPoint{CanvasWidth, CanvasHeight};
        grain->FX = 0;
        grain->FY = 0;
        // The whole picture answers the pointer, so a click anywhere reaches the player.
        grain->FCollisioned = true;
        grain->FCollideMode = cmRect;
        grain->FCollideRect = TRect{-CanvasWidth, -CanvasHeight, 2 * CanvasWidth, 2 * CanvasHeight};
        State.GrainSprite = grain;

        auto* fade = new TVideoBlackFadeSprite(MainEngine);
        fade->SetImageName("blackpixel.image");
        fade->SetZ(FadeZ);
        fade->FX = 0;
        fade->FY = 0;
        fade->FScaleX = 1930;
        fade->FScaleY = 1090;
        State.FadeSprite = fade;
        SetFade(0);
    }
    if (CutSceneHooks.cursor) CutSceneHooks.cursor(1);
    if (FilmMissing()) WriteLog("Cut-scene: the film's pictures are missing; it ends at once", 1);
}

void CutSceneUpdate() {
    if (!State.Running) return;
    ++State.Ticks;
    State.CutSceneClock += 0.1;
    if (FilmMissing() || WantLeave) {
        Leave();
        return;
    }
    const std::vector<FilmScene>& film = CurrentFilm();
    const FilmScene& scene = film[static_cast<size_t>(State.CutSceneIndex)];
    if (scene.Script) scene.Script(State.CutSceneClock);

    if (State.FadingOut) {
        SetFade(FadeAlpha() + std::max(1, scene.FadeStep));
        if (FadeAlpha() < 255) return;
        if (LastScene()) {
            Leave();
            return;
        }
        DestroySceneObjects();
        BuildScene(State.CutSceneIndex + 1);
        State.FadingOut = false;
        FadingIn = true;
        return;
    }
    if (FadingIn) {
        SetFade(FadeAlpha() - FadeInStep);
        if (FadeAlpha() == 0) FadingIn = false;
    }
    if (State.CutSceneClock < scene.EndTime) return;
    // The intro's last scene goes straight into the level's fade; every other scene, and the
    // outro's last, fades to black first.
    if (LastScene() && State.CutSceneVideo == VideoIntro) {
        Leave();
        return;
    }
    State.FadingOut = true;
}

bool CutSceneSkippable() {
    return State.CutSceneClock > CutSceneUnskippableClock || State.CutSceneIndex > 0;
}

namespace {

void Skip() {
    if (!State.Running || !CutSceneSkippable() || TransitionVisible() || State.Leaving) return;
    Leave();
}

} // namespace

void CutSceneHit(TSprite&) {
    if (!CutSceneSkippable() || TransitionVisible() || !MouseClicked) return;
    MouseClicked = false;
    Skip();
}

namespace {

class CutScene final : public Scene {
public:
    void Command(TTS_Message message) override {
        if (message == msg_Create) BeginCutScene();
        if (message == msg_Destroy) CutSceneControl(CutSceneEnd, State.CutSceneVideo);
    }
    void Tick() override {
        CutSceneUpdate();
        MoveMainEngine();
        if (!TransitionVisible()) RunHitTest();
    }
    void Hit(TSprite& sprite) override { CutSceneHit(sprite); }
    void Escape() override { Skip(); }
    void ForgetSprites() override {
        State = CutScenePlayer{};
        SoundInCutScene = false;
        FadingIn = false;
        WantLeave = false;
    }
};

} // namespace

std::unique_ptr<Scene> MakeCutScene() {
    return std::make_unique<CutScene>();
}

} // namespace bw
