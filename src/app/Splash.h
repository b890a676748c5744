// The splash screen, the first scene: full pictures one after the other (loose pictures from
// "Data/Splash/", then the archive logos "logo1..3.image"), then the animated studio logo, and
// then the start goes on to the first loading screen. Only a player who has reached the main
// menu once may shorten it.
#pragma once

#include "Engine/KilnSprite/KilnSprite.h"
#include "render/Types.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace bw {

class Scene;
class TKilnImages;
class SplashEffect;

// Adds every ".png", ".jpg", ".bmp" and ".tga" file of `folder` to the catalogue as
// "ext_logo_" + n + ".image" (n = 1, 2, ... in listing order) and remembers the names. Nothing
// when the folder does not exist; a file that does not decode is logged and left out.
void AddSplashFolderPictures(TKilnImages& images, const std::string& folder);
// The names added by the last AddSplashFolderPictures.
const std::vector<std::string>& ExternalSplashPictures();

// The picture sequence.
class TSimpleSplashScreenSprite : public TAnimatedSprite {
public:
    explicit TSimpleSplashScreenSprite(TSprite* parent);
    double FTimeCounter = 0;
    int FStage = 0; // 0 idle, 1 wait, 2 fade in, 3 hold, 4 fade out, 5 wait, 6 next
    int FIndex = 0; // the next entry of the picture list
    void DoMove(float moveCount) override;
    // Shows picture `name` centred on the screen's middle.
    void ShowPicture(const std::string& name);
};

// One piece of the studio logo.
class TSS_ElementSprite : public TAnimatedSprite {
public:
    explicit TSS_ElementSprite(TSprite* parent);
    int FMotionStage = 0;
    double FMotionCounter = 0; // progress of the current motion, 0 .. 1
    TPoint2 FStartPos;         // home position
    float FSpeed = 0;
};

// The studio logo: its own picture is the background; the box, its glows and the lettering
// are elements it moves and draws itself.
class TTallowStudiosLogotip : public TSS_ElementSprite {
public:
    explicit TTallowStudiosLogotip(TSprite* parent);
    ~TTallowStudiosLogotip() override;

    double FTimeCounter = 0;
    int FStage = 0; // 0 idle .. 12 done
    double FColorCounter = 0;
    TSS_ElementSprite* FBox = nullptr;
    TSS_ElementSprite* FBoxLighted = nullptr;
    TSS_ElementSprite* FBoxBlured_1 = nullptr;
    TSS_ElementSprite* FBoxBlured_2 = nullptr;
    TSS_ElementSprite* FBoxBlured_3 = nullptr;
    TSS_ElementSprite* FBoxBlured_4 = nullptr;
    std::array<TSS_ElementSprite*, 4> FLetters{};
    std::unique_ptr<SplashEffect> FMaskFx_1;
    std::unique_ptr<SplashEffect> FMaskFx_2;

    void DoMove(float moveCount) override;
    void DoDraw() override;
    // The finished look (stage 8) and the start of the fade-out (stage 10), as a skip leaves
    // them.
    void JumpToFinishedLook();
    void JumpToFadeOut();
    // Removes every element.
    void RemoveElements();

private:
    bool Wait(double until);
    void Tint();
    void StageLettering();
};

void CreateSplash();
void DestroySplash();
void SkipSplash();

// The splash's sprites, null while there is no splash.
TSimpleSplashScreenSprite* SplashPictureSprite();
TTallowStudiosLogotip* SplashLogo();

// The Scene that the wiring registers for scene_Splash.
std::unique_ptr<Scene> MakeSplashScene();

} // namespace bw
