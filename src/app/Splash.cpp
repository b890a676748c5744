#include "app/Splash.h"

#include "Engine/KilnSprite/SpriteEngine.h"
#include "app/MainForm.h"
#include "base/GameObjects.h"
#include "base/GameOptions.h"
#include "base/GameState.h"
#include "base/Scene.h"
#include "data/KilnArchive.h"
#include "data/KilnImages.h"
#include "effects/ParticleManager.h"
#include "platform/Files.h"
#include "platform/Log.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace bw {

// A particle effect of the studio logo, drawn by the logo; its emitters come from its record
// of the start-up particle archive. The logo runs on without it when it cannot be launched.
class SplashEffect {
public:
    static std::unique_ptr<SplashEffect> Launch(const std::string& name, TPoint2 pos,
                                                int preSteps) {
        TXParticleManager* manager = ParticleManager();
        TXParticleSystem* system = manager ? manager->Launch(name, pos) : nullptr;
        if (!system) return nullptr;
        system->FManualRender = true;
        if (Archives.Particles0)
            system->ParseEmittersRecord(name, Archives.Particles0, manager->FEmitterSources);
        if (system->EmitterCount() > 0 && system->FAge < 0.0f) system->Start();
        auto fx = std::make_unique<SplashEffect>();
        fx->System = system;
        for (int i = 0; i < preSteps; ++i) fx->Advance(EffectStep);
        return fx;
    }
    ~SplashEffect() { System.Kill(); }
    void Advance(float dt) {
        if (TXParticleSystem* s = System.Get()) s->Update(dt);
    }
    void StopEmitting() {
        if (TXParticleSystem* s = System.Get()) s->Stop(false);
    }
    void Draw() {
        if (TXParticleSystem* s = System.Get()) s->Render(0, 0);
    }

    // Each tick advances the effects by this much.
    static constexpr float EffectStep = 0.017f;

private:
    TParticleRef System;
};

namespace {

std::vector<std::string> FolderPictures;
std::vector<std::string> SplashPictures;
TSimpleSplashScreenSprite* PictureSprite = nullptr;
TTallowStudiosLogotip* Logo = nullptr;

constexpr TPoint2 ScreenMiddle{960, 540};
constexpr TPoint2 FxPos{656, 433};
constexpr TPoint2 Letter2Slide{41, 49};

bool SplashPictureExtension(const std::string& name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) return false;
    std::string ext = name.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".png" || ext == ".jpg" || ext == ".bmp" || ext == ".tga";
}

int AlphaOf(double counter) {
    return static_cast<int>(std::lround(std::clamp(counter, 0.0, 1.0) * 255));
}

// Rises or falls by `step` towards 1 (or 0); true once it is there.
bool Approach(double& value, double step) {
    value = std::clamp(value + step, 0.0, 1.0);
    return step > 0 ? value >= 1.0 : value <= 0.0;
}

TSS_ElementSprite* MakeElement(TSprite* engine, const char* image, TPoint2 pos, int z,
                               TBlendingEffect blend) {
    auto* e = new TSS_ElementSprite(engine);
    e->SetImageName(image);
    e->FX = pos.x;
    e->FY = pos.y;
    e->FStartPos = pos;
    e->SetZ(z);
    e->FEffect = blend;
    e->FManualRender = true;
    e->FMoved = false; // the logo moves its pieces
    e->SetAlpha(0);
    return e;
}

// Scales an element about its own centre.
void ScaleAboutCentre(TSS_ElementSprite* e, float sx, float sy) {
    e->FDoCenter = true;
    e->FScaleX = sx;
    e->FScaleY = sy;
}

void DrawElement(TSS_ElementSprite* e) {
    if (e && e->FAlpha > 0) e->DoDraw();
}

} // namespace

// --- Loose pictures ---------------------------------------------------------------------------

void AddSplashFolderPictures(TKilnImages& images, const std::string& folder) {
    FolderPictures.clear();
    if (!FolderExists(folder)) return;
    WriteLog("Splash folder found..", 1);
    for (const std::string& file : ListFiles(folder)) {
        if (!SplashPictureExtension(file)) continue;
        const std::string name = "ext_logo_" + std::to_string(FolderPictures.size() + 1) + ".image";
        if (images.AddFromFile(JoinPath(folder, file), name, true) >= 0)
            FolderPictures.push_back(name);
    }
}

const std::vector<std::string>& ExternalSplashPictures() {
    return FolderPictures;
}

// --- The picture sequence ---------------------------------------------------------------------

TSimpleSplashScreenSprite::TSimpleSplashScreenSprite(TSprite* parent) : TAnimatedSprite(parent) {}

void TSimpleSplashScreenSprite::ShowPicture(const std::string& name) {
    SetImageName(name);
    FX = ScreenMiddle.x - static_cast<float>(GetImageWidth()) / 2;
    FY = ScreenMiddle.y - static_cast<float>(GetImageHeight()) / 2;
}

void TSimpleSplashScreenSprite::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    auto wait = [this](double until, int next) {
        FTimeCounter += 0.1;
        if (FTimeCounter >= until) {
            FTimeCounter = 0;
            FStage = next;
        }
    };
    switch (FStage) {
    case 1:
        wait(3.0, 2);
        break;
    case 2:
        SetAlpha(FAlpha + 10);
        if (FAlpha > 254) {
            SetAlpha(255);
            FStage = 3;
        }
        break;
    case 3:
        wait(12.0, 4);
        break;
    case 4:
        SetAlpha(FAlpha - 5);
        if (FAlpha < 1) {
            SetAlpha(0);
            FStage = 5;
        }
        break;
    case 5:
        wait(3.0, 6);
        break;
    default:
        break;
    }
    // The next picture, or the studio logo, follows the end of the wait at once.
    if (FStage == 6) {
        if (FIndex < static_cast<int>(SplashPictures.size())) {
            ShowPicture(SplashPictures[static_cast<size_t>(FIndex)]);
            ++FIndex;
            FStage = 2;
        } else {
            FVisible = false;
            FStage = 0;
            if (Logo) Logo->FStage = 1;
        }
    }
}

// --- The studio logo --------------------------------------------------------------------------

TSS_ElementSprite::TSS_ElementSprite(TSprite* parent) : TAnimatedSprite(parent) {}

TTallowStudiosLogotip::TTallowStudiosLogotip(TSprite* parent) : TSS_ElementSprite(parent) {}

TTallowStudiosLogotip::~TTallowStudiosLogotip() = default;

bool TTallowStudiosLogotip::Wait(double until) {
    FTimeCounter += 0.1;
    if (FTimeCounter < until) return false;
    FTimeCounter = 0;
    return true;
}

void TTallowStudiosLogotip::Tint() {
    FColorCounter = std::clamp(FColorCounter + (FStage >= 1 ? 0.005 : -0.005), 0.0, 1.0);
    const double c = FColorCounter;
    SetRed(255 - static_cast<int>(std::lround(c * 230)));
    SetGreen(255 - static_cast<int>(std::lround(c * 230)));
    SetBlue(255 - static_cast<int>(std::lround(c * 250)));
}

// Stage 7: the glow goes, the lighted box flashes and the lettering comes in, each piece
// starting when the one before it is half-way.
void TTallowStudiosLogotip::StageLettering() {
    for (TSS_ElementSprite* blur : {FBoxBlured_1, FBoxBlured_2}) {
        Approach(blur->FMotionCounter, -0.05);
        blur->SetAlpha(AlphaOf(blur->FMotionCounter));
    }
    if (FBoxLighted->FMotionStage == 0) {
        if (Approach(FBoxLighted->FMotionCounter, 0.05)) FBoxLighted->FMotionStage = 1;
    } else if (FBoxLighted->FMotionStage == 1) {
        if (Approach(FBoxLighted->FMotionCounter, -0.025)) FBoxLighted->FMotionStage = 2;
    }
    FBoxLighted->SetAlpha(AlphaOf(FBoxLighted->FMotionCounter));

    TSS_ElementSprite* l1 = FLetters[0];
    TSS_ElementSprite* l2 = FLetters[1];
    TSS_ElementSprite* l3 = FLetters[2];
    TSS_ElementSprite* l4 = FLetters[3];
    Approach(l1->FMotionCounter, 0.05);
    l1->SetAlpha(AlphaOf(l1->FMotionCounter));
    if (l1->FMotionCounter >= 0.5) {
        Approach(l2->FMotionCounter, l2->FSpeed);
        l2->FSpeed = std::max(0.008f, l2->FSpeed - 0.0013f);
        const auto p = static_cast<float>(l2->FMotionCounter);
        l2->FX = l2->FStartPos.x + Letter2Slide.x * p;
        l2->FY = l2->FStartPos.y + Letter2Slide.y * p;
        l2->SetAlpha(AlphaOf(l2->FMotionCounter));
    }
    if (l2->FMotionCounter >= 0.5) {
        Approach(l3->FMotionCounter, 0.05);
        l3->SetAlpha(AlphaOf(l3->FMotionCounter));
    }
    if (l3->FMotionCounter >= 0.5) {
        Approach(l4->FMotionCounter, 0.03);
        l4->SetAlpha(AlphaOf(l4->FMotionCounter));
        ScaleAboutCentre(l4, 1, static_cast<float>(2 - l4->FMotionCounter));
    }
    if (l4->FMotionCounter >= 1.0) {
        FStage = 8;
        FTimeCounter = 0;
    }
}

void TTallowStudiosLogotip::DoMove(float moveCount) {
    TSS_ElementSprite::DoMove(moveCount);
    for (auto* fx : {FMaskFx_1.get(), FMaskFx_2.get()})
        if (fx) fx->Advance(SplashEffect::EffectStep);
    Tint();
    switch (FStage) {
    case 1:
        if (Wait(1.0)) FStage = 2;
        break;
    case 2:
        FMaskFx_1 = SplashEffect::Launch("ts_back_fx_1.xml", FxPos, 0);
        FStage = 3;
        break;
    case 3: {
        SetAlpha(std::min(255, FAlpha + 4));
        // The outer glow comes with the background and shrinks into place.
        FBoxBlured_4->SetAlpha(FAlpha);
        const float s = 1.3f - 0.3f * static_cast<float>(FAlpha) / 255.0f;
        ScaleAboutCentre(FBoxBlured_4, s, s);
        if (FAlpha >= 125) FBoxBlured_3->SetAlpha((FAlpha - 125) * 255 / 130);
        if (FAlpha >= 255) {
            FBoxBlured_3->SetAlpha(255);
            FStage = 4;
        }
        break;
    }
    case 4:
        if (Wait(1.0)) FStage = 5;
        break;
    case 5: {
        FBoxBlured_2->SetAlpha(std::min(255, FBoxBlured_2->FAlpha + 5));
        const int a = FBoxBlured_2->FAlpha;
        FBoxBlured_3->SetAlpha(255 - a);
        FBoxBlured_4->SetAlpha(255 - a);
        FBoxBlured_1->SetAlpha(std::min(255, a * 2));
        FBox->SetAlpha(std::max(0, a * 2 - 255));
        if (a >= 255) {
            for (TSS_ElementSprite* blur : {FBoxBlured_1, FBoxBlured_2}) blur->FMotionCounter = 1;
            FLetters[1]->FSpeed = 0.05f;
            FStage = 6;
        }
        break;
    }
    case 6:
        if (FMaskFx_1) FMaskFx_1->StopEmitting();
        FStage = 7;
        break;
    case 7:
        StageLettering();
        break;
    case 8:
        if (Wait(8.0)) FStage = 9;
        break;
    case 9:
        FMaskFx_2 = SplashEffect::Launch("ts_back_fx_2.xml", FxPos, 50);
        FBox->FMotionCounter = 1;
        FMotionCounter = 1;
        FStage = 10;
        break;
    case 10:
        Approach(FBox->FMotionCounter, -0.02);
        FBox->SetAlpha(AlphaOf(FBox->FMotionCounter));
        for (TSS_ElementSprite* l : FLetters) l->SetAlpha(FBox->FAlpha);
        if (FBox->FMotionCounter <= 0.5) {
            if (FMaskFx_2) FMaskFx_2->StopEmitting();
            Approach(FMotionCounter, -0.015);
            SetAlpha(AlphaOf(FMotionCounter));
            if (FMotionCounter <= 0) {
                FStage = 11;
                FTimeCounter = 0;
            }
        }
        break;
    case 11:
        if (Wait(2.0)) FStage = 12;
        break;
    case 12:
        DestroySplash();
        FinishStartup();
        break;
    default:
        break;
    }
}

void TTallowStudiosLogotip::DoDraw() {
    if (FStage == 0) return;
    TSS_ElementSprite::DoDraw();
    DrawElement(FBoxBlured_1);
    DrawElement(FBoxBlured_2);
    DrawElement(FBoxBlured_3);
    if (FMaskFx_1) FMaskFx_1->Draw();
    DrawElement(FBox);
    DrawElement(FBoxLighted);
    DrawElement(FBoxBlured_4);
    DrawElement(FLetters[1]);
    DrawElement(FLetters[0]);
    DrawElement(FLetters[2]);
    DrawElement(FLetters[3]);
    if (FMaskFx_2) FMaskFx_2->Draw();
}

void TTallowStudiosLogotip::JumpToFinishedLook() {
    FStage = 8;
    FTimeCounter = 0;
    SetAlpha(255);
    FMotionCounter = 1;
    FBox->SetAlpha(255);
    FBox->FMotionCounter = 1;
    for (TSS_ElementSprite* e :
         {FBoxLighted, FBoxBlured_1, FBoxBlured_2, FBoxBlured_3, FBoxBlured_4}) {
        e->SetAlpha(0);
        e->FMotionCounter = 0;
        e->FMotionStage = 2;
    }
    for (TSS_ElementSprite* l : FLetters) {
        l->FMotionCounter = 1;
        l->SetAlpha(255);
        l->FX = l->FStartPos.x;
        l->FY = l->FStartPos.y;
        ScaleAboutCentre(l, 1, 1);
    }
    FLetters[1]->FX += Letter2Slide.x;
    FLetters[1]->FY += Letter2Slide.y;
    FMaskFx_1.reset();
    FMaskFx_2.reset();
    FColorCounter = 1;
    Tint();
}

void TTallowStudiosLogotip::JumpToFadeOut() {
    FStage = 10;
    FMaskFx_1.reset();
    FMaskFx_2.reset();
    FBox->FMotionCounter = 1;
    FMotionCounter = 1;
}

void TTallowStudiosLogotip::RemoveElements() {
    for (TSS_ElementSprite* e :
         {FBox, FBoxLighted, FBoxBlured_1, FBoxBlured_2, FBoxBlured_3, FBoxBlured_4})
        if (e) e->Dead();
    for (TSS_ElementSprite* l : FLetters)
        if (l) l->Dead();
    FBox = FBoxLighted = FBoxBlured_1 = FBoxBlured_2 = FBoxBlured_3 = FBoxBlured_4 = nullptr;
    FLetters = {};
    FMaskFx_1.reset();
    FMaskFx_2.reset();
}

// --- Create, skip, destroy --------------------------------------------------------------------

void CreateSplash() {
    if (!MainEngine) return;
    SetGameCursor(1);
    WriteLog("Creating SS...", 1);
    SplashPictures = FolderPictures;
    for (int n = 1; n <= 3; ++n) {
        const std::string key = "logo" + std::to_string(n) + ".image";
        if (Archives.External && Archives.External->IndexOf(key) >= 0)
            SplashPictures.push_back(key);
    }

    if (!SplashPictures.empty()) {
        PictureSprite = new TSimpleSplashScreenSprite(MainEngine);
        PictureSprite->ShowPicture(SplashPictures.front());
        PictureSprite->SetZ(10);
        PictureSprite->FIndex = 1;
        PictureSprite->SetAlpha(0);
        PictureSprite->FVisible = false;
    }

    Logo = new TTallowStudiosLogotip(MainEngine);
    Logo->SetImageName("ts_bg.image");
    Logo->FX = ScreenMiddle.x - static_cast<float>(Logo->GetImageWidth()) / 2;
    Logo->FY = ScreenMiddle.y - static_cast<float>(Logo->GetImageHeight()) / 2;
    Logo->SetZ(10);
    Logo->SetAlpha(0);
    Logo->FBox = MakeElement(MainEngine, "ts_box.image", {644, 418}, 25, beNormal);
    Logo->FBoxLighted = MakeElement(MainEngine, "ts_box.image", {644, 418}, 25, beAdd);
    Logo->FBoxBlured_1 = MakeElement(MainEngine, "ts_box_blured_1.image", {639, 413}, 24, beAdd);
    Logo->FBoxBlured_2 = MakeElement(MainEngine, "ts_box_blured_1.image", {635, 409}, 23, beAdd);
    Logo->FBoxBlured_3 = MakeElement(MainEngine, "ts_box_blured_3.image", {631, 404}, 22, beAdd);
    Logo->FBoxBlured_4 = MakeElement(MainEngine, "ts_box_blured_4.image", {622, 395}, 21, beAdd);
    Logo->FLetters = {MakeElement(MainEngine, "ts_letter_1.image", {676, 445}, 30, beNormal),
                      MakeElement(MainEngine, "ts_letter_2.image", {843, 447}, 29, beNormal),
                      MakeElement(MainEngine, "ts_letter_3.image", {725, 591}, 29, beNormal),
                      MakeElement(MainEngine, "ts_letter_4.image", {1112, 593}, 40, beNormal)};
    ScaleAboutCentre(Logo->FLetters[3], 1, 2);

    if (SplashPictures.empty()) {
        Logo->FStage = 1;
    } else {
        PictureSprite->FStage = 1;
        PictureSprite->FVisible = true;
    }
    CurrentScene = scene_Splash;
}

void SkipSplash() {
    if (GameOptions.FirstStart) return;
    if (PictureSprite && PictureSprite->FStage >= 1 && PictureSprite->FStage <= 5) {
        TSimpleSplashScreenSprite& p = *PictureSprite;
        if (p.FStage <= 3) {
            if (p.FStage == 3 && p.FTimeCounter >= 12.0 * 0.8) return;
            p.SetAlpha(255);
            p.FStage = 3;
            p.FTimeCounter = 12.0 * 0.8;
        } else {
            p.SetAlpha(0);
            p.FStage = 6;
        }
        return;
    }
    if (!Logo) return;
    if (Logo->FStage >= 1 && Logo->FStage <= 7)
        Logo->JumpToFinishedLook();
    else if (Logo->FStage == 8 || Logo->FStage == 9)
        Logo->JumpToFadeOut();
}

void DestroySplash() {
    SaveOptions();
    WriteLog("Destroying SS...", 1);
    WriteLog("", 0);
    if (PictureSprite) PictureSprite->Dead();
    if (Logo) {
        Logo->RemoveElements();
        Logo->Dead();
    }
    PictureSprite = nullptr;
    Logo = nullptr;
    SetGameCursor(0);
}

TSimpleSplashScreenSprite* SplashPictureSprite() {
    return PictureSprite;
}

TTallowStudiosLogotip* SplashLogo() {
    return Logo;
}

namespace {

class SplashScene final : public Scene {
public:
    void Command(TTS_Message message) override {
        if (message == msg_Create) CreateSplash();
        if (message == msg_Destroy) DestroySplash();
    }
    // The splash has no update of its own: its sprites move.
    void Tick() override { MoveMainEngine(); }
    void Escape() override { SkipSplash(); }
    void ForgetSprites() override {
        PictureSprite = nullptr;
        Logo = nullptr;
    }
};

} // namespace

std::unique_ptr<Scene> MakeSplashScene() {
    return std::make_unique<SplashScene>();
}

} // namespace bw
