// The sprite classes. Everything on screen is a sprite in a tree whose root is a sprite
// engine (SpriteEngine.h). A sprite is created with its parent and belongs to it: the parent
// frees it when the parent is freed, and the engine frees it after it asks for removal with
// Dead(). Create sprites with `new TAnimatedSprite(parent)` (or a subclass) and never delete
// a sibling while the tree is being moved, drawn or hit-tested.
//
// All positions are design units of the 1920 x 1080 canvas; the drawing code multiplies by
// DisplayScale (DisplayState.h) and subtracts the engine's world position.
#pragma once

#include "Engine/KilnSprite/SpriteCollision.h"
#include "render/Types.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace bw {

class TKilnImage;
class TSpriteEngine;

// Programming errors in the sprite layer.
class ESpriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum TCollideMode : uint8_t { cmCircle, cmRect, cmQuadrangle, cmPolygon };
enum TAnimPlayMode : uint8_t { pmForward, pmBackward, pmPingPong };
enum TImageType : uint8_t { itSingleImage, itSpriteSheet };

class TSprite;
// Picks sprites by class for MoveOnly and DrawOnly; SpriteIs<T> accepts T and its subclasses.
using SpriteFilter = bool (*)(const TSprite&);
template <class T> bool SpriteIs(const TSprite& sprite) {
    return dynamic_cast<const T*>(&sprite) != nullptr;
}

class TSprite {
public:
    // Appends the sprite to the parent's children (the parent may be null for a free sprite).
    explicit TSprite(TSprite* parent);
    // Frees the children (last first) and leaves the parent's lists and the engine.
    virtual ~TSprite();
    TSprite(const TSprite&) = delete;
    TSprite& operator=(const TSprite&) = delete;

private:
    // Children in creation order (moving, hit testing) and the same children by Z (drawing).
    // They come first, with the other fields every move and draw pass reads, so that a pass
    // touches as few cache lines per sprite as possible.
    std::vector<TSprite*> FList;
    std::vector<TSprite*> FDrawList;

public:
    TSpriteEngine* FEngine = nullptr;
    TKilnImage* FImage = nullptr; // resolved from FImageName; owned by the image catalogue
    float FX = 200.0f;
    float FY = 200.0f;
    float FWorldX = 0.0f; // extra offset added when drawing (the engine's: its world position)
    float FWorldY = 0.0f;
    int FPatternIndex = 0;
    int FWidth = 64; // nominal size, used only by the visibility test
    int FHeight = 64;
    int FZ = 0;
    bool FVisible = true;
    bool FManualRender = false; // the parent's draw pass skips it; its owner draws it
    bool FDeaded = false;
    bool FMoved = true; // takes part in Move
    bool FZSet = false; // the sprite sits in its parent's draw list
    TBlendingEffect FEffect = beNormal;
    bool FCollisioned = false; // takes part in collision tests
    bool FDoCollision = false;
    TSprite* FParent = nullptr;
    int FImageIndex = 0;
    int FTag = 0;
    TCollideMode FCollideMode = cmCircle;
    int FCollideRadius = 0;
    TPoint2 FCollidePos;
    TRect FCollideRect;
    TPoint4 FCollideQuadrangle{};
    TKilnPolygon FCollidePolygon;
    std::string FName;
    std::string FImageName;

    // --- Drawing -------------------------------------------------------------------------
    // Draws the sprite (unless outside the visible area) and then its children by Z, skipping
    // manually rendered ones; an invisible sprite hides its whole subtree.
    virtual void Draw();
    // The same restricted to children picked by `filter`, without the left and top margins of
    // the visibility test.
    virtual void DrawOnly(SpriteFilter filter);
    virtual void DoDraw();
    virtual void DoInvisibleDraw() {}
    virtual void DoNotDraw() {}

    // --- Moving and hit testing ----------------------------------------------------------
    virtual void DoMove(float moveCount);
    virtual void DoCollision(TSprite& other);

    // --- Setters -------------------------------------------------------------------------
    virtual void SetName(const std::string& name);
    // Chooses the image (names are compared ignoring case; at most 255 characters are kept).
    virtual void SetImageName(std::string_view name);
    virtual void SetPatternIndex(int index);
    virtual void SetX(float x);
    virtual void SetY(float y);
    // Moves the sprite within its parent's draw list (after every sibling of equal Z).
    virtual void SetZ(int z);
    // Copies the drawing, animation and collision state of another sprite (not its place in
    // the tree).
    virtual void Assign(const TSprite& source);

    // Tests this sprite against another; on a hit this sprite's DoCollision runs first, then
    // the other's. Returns whether they hit.
    virtual bool Collision(TSprite& other);
    // Tests this sprite against every direct child of its engine (itself included); returns
    // the number of hits.
    virtual int Collision();

    // --- Tree ----------------------------------------------------------------------------
    // DoMove, then Move of every live child in creation order. Errors of one child are
    // swallowed; children created during the pass wait for the next one.
    void Move(float moveCount);
    // The same, moving only children picked by `filter`.
    void MoveOnly(SpriteFilter filter, float moveCount);
    template <class T> void MoveOnly(float moveCount) { MoveOnly(&SpriteIs<T>, moveCount); }
    // Asks for removal: the engine frees the sprite in its next Dead pass. Until then it is
    // still drawn, but not moved or hit-tested.
    void Dead();
    // Frees every child, last first.
    void Clear();
    int GetCount() const { return static_cast<int>(FList.size()); }
    // The child at `index` in creation order.
    TSprite* GetItem(int index) const;
    const std::vector<TSprite*>& Items() const { return FList; }
    const std::vector<TSprite*>& DrawItems() const { return FDrawList; }
    void SetPos(float x, float y);
    // Sets FZ directly, without re-sorting the draw list.
    void SetPos(float x, float y, int z);

    // Pattern size of the image (0 without an image) and its number of patterns.
    int GetImageWidth() const;
    int GetImageHeight() const;
    int GetPatternWidth() const { return GetImageWidth(); }
    int GetPatternHeight() const { return GetImageHeight(); }
    int GetPatternCount() const;

protected:
    // Offset added to the position in the visibility test (FOffsetX/FOffsetY of TSpriteEx).
    virtual TPoint2 VisibilityOffset() const { return TPoint2{}; }
    // Whether the sprite lies outside the engine's visible area.
    bool OutsideVisibleArea(const TSpriteEngine& engine, bool withLeftTop) const;

private:
    friend class TSpriteEngine;

    void DrawPass(SpriteFilter filter, bool withLeftTop);
    void DetachChild(TSprite* child);
};

class TSpriteEx : public TSprite {
public:
    explicit TSpriteEx(TSprite* parent);

    // Fields read by every draw come first.
    float FScaleX = 1.0f;
    float FScaleY = 1.0f;
    float FOffsetX = 0.0f; // added to the position when drawing and in the visibility test
    float FOffsetY = 0.0f;
    int FDrawMode = 0;      // 0 to 4; set through SetDrawMode
    bool FMirrorX = false;  // mirror horizontally
    bool FMirrorY = false;  // flip vertically
    bool FDoCenter = false; // draw modes 0 and 2 scale about the image centre
    int FRed = 255;         // one colour for draw modes 0, 1 and 3 (low byte counts)
    int FGreen = 255;
    int FBlue = 255;
    int FAlpha = 255;
    float FAngle = 0.0f; // radians, clockwise on screen (draw mode 1)
    // Corners for draw modes 3 and 4: top-left, top-right, bottom-right, bottom-left.
    float FX1 = 0.0f, FY1 = 0.0f;
    float FX2 = 10.0f, FY2 = 0.0f;
    float FX3 = 10.0f, FY3 = 10.0f;
    float FX4 = 0.0f, FY4 = 10.0f;
    TColor FColor1 = 0xFFFFFFFF; // corner colours for draw modes 2 and 4
    TColor FColor2 = 0xFFFFFFFF;
    TColor FColor3 = 0xFFFFFFFF;
    TColor FColor4 = 0xFFFFFFFF;
    float FCenterX = 0.0f;
    float FCenterY = 0.0f;
    int FAngle360 = 0; // degrees; set through SetAngle360
    float FSrcAngle = 0.0f;
    float FDestAngle = 0.0f;
    TImageType FImageType = itSpriteSheet;
    bool FMouseEnterFlag = false;
    bool FMouseDownFlag = false;
    bool FCanCollision = false;
    TRect FActiveRect;
    float FSpeedX = 0.0f;
    float FSpeedY = 0.0f;

    virtual void SetRed(int value) { FRed = value; }
    virtual void SetGreen(int value) { FGreen = value; }
    virtual void SetBlue(int value) { FBlue = value; }
    virtual void SetAlpha(int value) { FAlpha = value; }
    // Values outside 0..4 store 0.
    virtual void SetDrawMode(int mode);
    void SetAngle360(int degrees);

    // Draws the current pattern as one quadrangle in the current draw mode.
    void DoDraw() override;
    void Assign(const TSprite& source) override;

    // The quad DoDraw would hand to the canvas, in client pixels; false when there is nothing
    // to draw (no engine, no image, unknown draw mode).
    bool GetDrawQuad(TPoint4& corners, TColor4& colors) const;

protected:
    TPoint2 VisibilityOffset() const override { return TPoint2{FOffsetX, FOffsetY}; }
};

class TAnimatedSprite : public TSpriteEx {
public:
    explicit TAnimatedSprite(TSprite* parent);

    bool FDoAnimate = false;
    bool FAnimLooped = true;
    int FAnimStart = 0;
    int FAnimCount = 0;
    float FAnimSpeed = 0.0f; // patterns per tick
    float FAnimPos = 0.0f;
    bool FDoFlag1 = false;
    bool FDoFlag2 = false;
    TAnimPlayMode FAnimPlayMode = pmForward;
    int FAnimSpeedDirection = 1; // ping-pong direction, 1 or -1

    // Chooses image and animation and jumps to the start pattern.
    virtual void SetAnim(std::string_view imageName, int start, TAnimPlayMode playMode,
                         bool animate, bool mirror, bool looped, float speed, int count);
    virtual void SetAnim(std::string_view imageName, int start, TAnimPlayMode playMode,
                         bool animate, bool looped, float speed, int count);
    virtual void OnAnimStart() {}
    virtual void OnAnimEnd() {}

    // Advances the animation by FAnimSpeed * moveCount patterns.
    void DoMove(float moveCount) override;
    void Assign(const TSprite& source) override;

    // Sets the first pattern and jumps to it (when it changes).
    void SetAnimStart(int start);
    void AnimEnded() { OnAnimEnd(); }
};

} // namespace bw
