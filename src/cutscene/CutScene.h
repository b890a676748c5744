// The cut-scene player (scene_Video): the intro before a player's first level and the outro
// after the last one. A film is a list of scenes; each scene creates its objects, and a script
// moves them every tick by the scene's clock. Between scenes the picture fades through black;
// film grain lies over everything. A click (or Escape) skips the film once it has run a moment.
//
// Scripts are written for a 1280 x 720 picture: the creators multiply positions, scales and
// sway radii by 1.5 so that they fill the 1920 x 1080 canvas.
#pragma once

#include "Engine/KilnSprite/KilnSprite.h"
#include "effects/ParticleManager.h"
#include "gui/TextureOffsetSprite.h"
#include "gui/TransformObjectSprite.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace bw {

class Scene;

inline constexpr float CutSceneScale = 1.5f;
// The films: 0 the intro, 1 the outro.
inline constexpr int VideoIntro = 0;
inline constexpr int VideoOutro = 1;
// CutSceneControl's actions.
inline constexpr int CutSceneStart = 2;
inline constexpr int CutSceneEnd = 3;
// The clock (0.1 a tick) below which the first scene cannot be skipped.
inline constexpr double CutSceneUnskippableClock = 5.0;

class TVideoSimpleObject : public TAnimatedSprite {
public:
    using TAnimatedSprite::TAnimatedSprite;
    int FIndex = 0;
    float FMotionCounter = 0;
    int FMotionStage = 0;
    TPoint2 FMotionSpeed; // added to the position every tick when not (0, 0)
    TPoint2 FStartPos;
    TPoint2 FOffSet;
    TPoint2 FStart, FCenter, FTarget; // a curved move's control points
    float FMoveTime = 0;
    void DoMove(float moveCount) override;
};

class TVideoTransformObject : public TTransformObjectSprite {
public:
    using TTransformObjectSprite::TTransformObjectSprite;
    int FIndex = 0;
    float FMotionCounter = 0;
    int FMotionStage = 0;
    TPoint2 FMotionSpeed;
    TPoint2 FOffSet;
    std::array<float, 8> FStartCoords{}; // FX1, FY1 .. FX4, FY4 as computed at creation
};

class TVideoParticleObject : public TAnimatedSprite {
public:
    using TAnimatedSprite::TAnimatedSprite;
    ~TVideoParticleObject() override;
    int FIndex = 0;
    TPoint2 FMotionSpeed;
    TPoint2 FStartPos;
    TParticleRef FFX; // empty when the description could not be launched
    float FUpdateFxSpeed = 0;
    void DoMove(float moveCount) override;
    void DoDraw() override;
};

class TGrainFxSprite : public TTextureOffsetSprite {
public:
    using TTextureOffsetSprite::TTextureOffsetSprite;
};

class TVideoBlackFadeSprite : public TAnimatedSprite {
public:
    using TAnimatedSprite::TAnimatedSprite;
    float FRealAlpha = 0;
};

// The player's state, readable by the scripts and the tests.
struct CutScenePlayer {
    int CutSceneVideo = 0;
    int CutSceneIndex = 0;
    int CutSceneStage = 0;
    double CutSceneClock = 0;
    std::vector<TVideoSimpleObject*> SimpleObjects;
    std::vector<TVideoTransformObject*> TransformObjects;
    std::vector<TVideoParticleObject*> ParticleObjects;
    TGrainFxSprite* GrainSprite = nullptr;
    TVideoBlackFadeSprite* FadeSprite = nullptr;
    bool Running = false;   // begun and not yet ended
    bool FadingOut = false; // the current scene is over: the black rises
    bool Leaving = false;   // the closing transition was asked for
    long Ticks = 0;         // ticks since the film began, all scenes together
};
CutScenePlayer& CutSceneState();

// One scene of a film: Build creates its objects (in drawing order), Script moves them once a
// tick; after EndTime on the scene's clock the picture fades to black by FadeStep a tick.
struct FilmScene {
    std::function<void()> Build;
    std::function<void(double clock)> Script;
    double EndTime = 10;
    int FadeStep = 10;
};
// The scenes of film 0 (intro) or 1 (outro); empty for any other number.
const std::vector<FilmScene>& Film(int video);
// The archive a film's pictures come from (1 or 2); archive 0 is shared by both.
inline int FilmArchive(int video) {
    return video + 1;
}

// What the player needs of the frame, which the wiring provides: the screen mode for the
// cut-scene (video) or for the game, and the pointer (1 hidden, 0 the game's).
struct CutSceneFrame {
    std::function<void(bool video)> screenMode;
    std::function<void(int mode)> cursor;
};
extern CutSceneFrame CutSceneHooks;

// Action 2 starts `video`: CurrentScene becomes scene_Video; the film begins at once when its
// pictures are loaded, else after the loading screen. Action 3 ends the running film (at the
// darkest point of the fade that leaves it).
void CutSceneControl(int action, int video);
void BeginCutScene();
void CutSceneUpdate();
void CutSceneHit(TSprite& sprite);
bool CutSceneSkippable();

// The creators the scripts build their scenes with; positions and scales as authored (1280 x
// 720). Each appends its object to its list.
void AddSimpleObject(const std::string& image, TPoint2 position, int z, TBlendingEffect effect,
                     int drawMode, TPoint2 scale);
void AddMovingObject(const std::string& image, TPoint2 position, int z, TBlendingEffect effect,
                     int drawMode, TPoint2 scale, TPoint2 speed);
void AddAnimatedObject(const std::string& image, TPoint2 position, int z, TBlendingEffect effect,
                       int drawMode, TPoint2 scale, TAnimPlayMode playMode, int animCount,
                       float animSpeed);
void AddTransformObject(const std::string& image, TPoint2 position, int z,
                        const TTransformInfoClass& transformInfo, TPoint2 scale);
void AddManualTransformObject(const std::string& image, TPoint2 position, int z,
                              const TTransformInfoClass& transformInfo, TPoint2 scale,
                              bool manualCalculate);
void AddParticleObject(const std::string& description, TPoint2 position, int z, int warmUp,
                       float updateSpeed, TPoint2 scale);

// The objects of the current scene by list and index (null outside the list).
TVideoSimpleObject* SimpleObject(int index);
TVideoTransformObject* TransformObject(int index);
TVideoParticleObject* ParticleObject(int index);

std::unique_ptr<Scene> MakeCutScene();

} // namespace bw
