// The sprite engine: the root of a sprite tree. It knows the canvas and the image catalogue
// its sprites draw with, its world position (FWorldX, FWorldY, subtracted when drawing), the
// visible area used to skip sprites off screen, and the list of sprites waiting for removal.
#pragma once

#include "Engine/KilnSprite/KilnSprite.h"

#include <vector>

namespace bw {

class Canvas;
class TKilnImages;

class TSpriteEngine : public TSprite {
public:
    // Neither the canvas nor the catalogue is owned; both must outlive the engine's drawing.
    explicit TSpriteEngine(Canvas* canvas = nullptr, TKilnImages* images = nullptr);
    // Frees the whole tree.
    ~TSpriteEngine() override;

    int FAllCount = 0;               // sprites created under this engine and not yet freed
    std::vector<TSprite*> FDeadList; // sprites marked dead, freed by Dead()
    int FDrawCount = 0;              // sprites drawn in the last pass
    bool FObjectsSelected = false;
    int FGroupCount = 0;
    // Visible area: left and top in design units (generous margins), width and height in
    // client pixels (the screen-mode code sets them to the client size).
    int FVisibleLeft = -2000;
    int FVisibleTop = -150;
    int FVisibleWidth = 800;
    int FVisibleHeight = 600;
    bool FDoMouseEvent = false;
    int FZCounter = 3;
    TKilnImages* FImages = nullptr;
    Canvas* FCanvas = nullptr;
    int FScreenOffsetX = 0;
    int FScreenOffsetY = 0;
    float FZoom = 1.0f;
    float FSizeZoom = 1.0f;

    // Sets FZoom and FSizeZoom.
    void SetZoom(float zoom);
    void SetWorld(float x, float y) {
        FWorldX = x;
        FWorldY = y;
    }

    // Draws the whole tree (FDrawCount counts the sprites drawn).
    void Draw() override;
    // Draws only the direct children picked by `filter` (and, below them, children picked by
    // the same filter).
    void DrawOnly(SpriteFilter filter) override;
    template <class T> void DrawOnly() { DrawOnly(&SpriteIs<T>); }
    // Frees every sprite marked dead, newest first.
    void Dead();

private:
    friend class TSprite;
    // The parts of the visibility test that are the same for every sprite, kept until the
    // engine's view or the display scale changes.
    struct VisibleBounds {
        float zoom = 0, scaleX = 0, scaleY = 0, worldX = 0, worldY = 0;
        int left = 0, top = 0, width = 0, height = 0;
        bool valid = false;
        double right = 0, bottom = 0;                  // limits for x and y
        double leftBase = 0, topBase = 0;              // left and top without the size margin
        double defaultMarginX = 0, defaultMarginY = 0; // margins of a 64 x 64 sprite
    };
    mutable VisibleBounds FLimits;
    const VisibleBounds& VisibleLimits() const;
};

} // namespace bw
