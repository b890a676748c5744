#include "Engine/KilnSprite/KilnSprite.h"

#include "Engine/KilnSprite/SpriteEngine.h"
#include "Engine/KilnSprite/SpriteMath.h"
#include "data/KilnImages.h"
#include "render/Canvas.h"
#include "render/DisplayState.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace bw {

namespace {

constexpr size_t kMaxImageName = 255;

// Removes one entry, searching from the end (recently added sprites go first).
void EraseOne(std::vector<TSprite*>& list, const TSprite* sprite) {
    const auto it = std::find(list.rbegin(), list.rend(), sprite);
    if (it != list.rend()) list.erase(std::next(it).base());
}

// How far ahead the draw pass prefetches, and what: the first two cache lines (the fields of
// TSprite a pass reads) and the line where the fields of a TSpriteEx begin.
constexpr size_t kPrefetchAhead = 3;

inline void PrefetchSprite(const TSprite* sprite) {
    // Integer arithmetic: for a plain TSprite the last two addresses lie past the object, which
    // is harmless for a prefetch but not for pointer arithmetic.
    const auto at = reinterpret_cast<std::uintptr_t>(sprite);
    __builtin_prefetch(reinterpret_cast<const void*>(at));
    __builtin_prefetch(reinterpret_cast<const void*>(at + 64));
    __builtin_prefetch(reinterpret_cast<const void*>(at + sizeof(TSprite)));
    __builtin_prefetch(reinterpret_cast<const void*>(at + sizeof(TSprite) + 64));
}

TPoint4 RectCorners(double left, double top, double width, double height) {
    const auto l = static_cast<float>(left);
    const auto t = static_cast<float>(top);
    const auto r = static_cast<float>(left + width);
    const auto b = static_cast<float>(top + height);
    return TPoint4{TPoint2{l, t}, TPoint2{r, t}, TPoint2{r, b}, TPoint2{l, b}};
}

} // namespace

// --- TSprite ---------------------------------------------------------------------------------

TSprite::TSprite(TSprite* parent) : FParent(parent) {
    if (parent != nullptr) {
        parent->FList.push_back(this);
        auto* engine = dynamic_cast<TSpriteEngine*>(parent);
        FEngine = engine != nullptr ? engine : parent->FEngine;
        if (FEngine != nullptr) ++FEngine->FAllCount;
    }
    FX = 200.0f;
    FY = 200.0f;
    FZ = 0;
    // A new sprite takes the draw-list place of Z 1 (after every sibling of Z at most 1) while
    // its FZ reads 0, so a later SetZ(0) leaves it where it is.
    TSprite::SetZ(1);
    FWidth = 64;
    FHeight = 64;
    FName.clear();
    FZ = 0;
}

TSprite::~TSprite() {
    Clear();
    if (FParent != nullptr) FParent->DetachChild(this);
    if (FEngine != nullptr) {
        if (FDeaded) EraseOne(FEngine->FDeadList, this);
        --FEngine->FAllCount;
    }
}

void TSprite::DetachChild(TSprite* child) {
    EraseOne(FList, child);
    if (child->FZSet) EraseOne(FDrawList, child);
    if (FList.empty()) {
        FList = {};
        FDrawList = {};
    }
}

void TSprite::Clear() {
    // The children leave the lists all at once instead of one linear search each; a child
    // that creates siblings while it is freed is caught by the next round.
    while (!FList.empty()) {
        std::vector<TSprite*> children;
        children.swap(FList);
        FDrawList.clear();
        for (auto it = children.rbegin(); it != children.rend(); ++it) delete *it;
    }
    FDrawList = {};
}

TSprite* TSprite::GetItem(int index) const {
    if (FList.empty()) {
        throw ESpriteError("Index of the list exceeds the range. (" + std::to_string(index) + ")");
    }
    if (index < 0 || static_cast<size_t>(index) >= FList.size()) {
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    }
    return FList[static_cast<size_t>(index)];
}

void TSprite::DoMove(float /*moveCount*/) {}

void TSprite::DoCollision(TSprite& /*other*/) {}

void TSprite::SetName(const std::string& name) {
    FName = name;
}

void TSprite::SetImageName(std::string_view name) {
    if (name.size() > kMaxImageName) name = name.substr(0, kMaxImageName);
    if (TKilnImages::SameName(name, FImageName)) return;
    FImageName.assign(name);
    FImage = nullptr;
    if (FEngine != nullptr && FEngine->FImages != nullptr) {
        FImage = FEngine->FImages->GetImage(FImageName);
    }
}

void TSprite::SetPatternIndex(int index) {
    FPatternIndex = index;
}

void TSprite::SetX(float x) {
    FX = x;
}

void TSprite::SetY(float y) {
    FY = y;
}

void TSprite::SetZ(int z) {
    if (z == FZ) return;
    FZ = z;
    if (FParent == nullptr) return;
    std::vector<TSprite*>& list = FParent->FDrawList;
    if (FZSet) EraseOne(list, this);
    // Binary insertion after every entry whose Z is not above the new one.
    int low = 0;
    int high = static_cast<int>(list.size()) - 1;
    while (low <= high) {
        const int middle = (low + high) / 2;
        if (z < list[static_cast<size_t>(middle)]->FZ) {
            high = middle - 1;
        } else {
            low = middle + 1;
        }
    }
    list.insert(list.begin() + low, this);
    FZSet = true;
}

void TSprite::SetPos(float x, float y) {
    SetX(x);
    SetY(y);
}

void TSprite::SetPos(float x, float y, int z) {
    SetX(x);
    SetY(y);
    FZ = z;
}

void TSprite::Assign(const TSprite& source) {
    if (&source == this) return;
    FManualRender = source.FManualRender;
    FWidth = source.FWidth;
    FHeight = source.FHeight;
    FName = source.FName;
    FX = source.FX;
    FY = source.FY;
    SetZ(source.FZ);
    FWorldX = source.FWorldX;
    FWorldY = source.FWorldY;
    FVisible = source.FVisible;
    FEffect = source.FEffect;
    FDoCollision = source.FDoCollision;
    FCollisioned = source.FCollisioned;
    FImageName = source.FImageName;
    FImage = source.FImage;
    FPatternIndex = source.FPatternIndex;
    FImageIndex = source.FImageIndex;
    FMoved = source.FMoved;
    FCollidePos = source.FCollidePos;
    FCollideRadius = source.FCollideRadius;
    FCollideRect = source.FCollideRect;
    FTag = source.FTag;
    FCollideQuadrangle = source.FCollideQuadrangle;
    FCollidePolygon = source.FCollidePolygon;
    FCollideMode = source.FCollideMode;
}

int TSprite::GetImageWidth() const {
    return FImage != nullptr ? FImage->FPatternSize.x : 0;
}

int TSprite::GetImageHeight() const {
    return FImage != nullptr ? FImage->FPatternSize.y : 0;
}

int TSprite::GetPatternCount() const {
    return FImage != nullptr ? FImage->FPatternCount : 0;
}

void TSprite::Move(float moveCount) {
    if (!FMoved) return;
    DoMove(moveCount);
    const size_t count = FList.size();
    for (size_t i = 0; i < count; ++i) {
        if (i >= FList.size()) continue; // children freed during the pass
        TSprite* child = FList[i];
        if (child->FDeaded) continue;
        try {
            child->Move(moveCount);
        } catch (...) {
            // One broken sprite must not stop the tick.
        }
    }
}

void TSprite::MoveOnly(SpriteFilter filter, float moveCount) {
    if (!FMoved) return;
    DoMove(moveCount);
    const size_t count = FList.size();
    for (size_t i = 0; i < count; ++i) {
        if (i >= FList.size()) continue;
        TSprite* child = FList[i];
        if (child->FDeaded || filter == nullptr || !filter(*child)) continue;
        try {
            child->Move(moveCount);
        } catch (...) {
        }
    }
}

void TSprite::Dead() {
    if (FEngine == nullptr || FDeaded) return;
    FDeaded = true;
    FEngine->FDeadList.push_back(this);
}

bool TSprite::OutsideVisibleArea(const TSpriteEngine& e, bool withLeftTop) const {
    const TSpriteEngine::VisibleBounds& l = e.VisibleLimits();
    const TPoint2 offset = VisibilityOffset();
    const double x = FX;
    const double y = FY;
    if (withLeftTop) {
        const double marginX = FWidth == 64 ? l.defaultMarginX : 2.0 * FWidth / l.zoom / l.scaleX;
        const double marginY = FHeight == 64 ? l.defaultMarginY : 2.0 * FHeight / l.zoom / l.scaleY;
        if (x <= l.leftBase - marginX - offset.x) return true;
        if (y <= l.topBase - marginY - offset.y) return true;
    }
    if (x >= l.right - offset.x) return true;
    if (y >= l.bottom - offset.y) return true;
    return false;
}

void TSprite::DrawPass(SpriteFilter filter, bool withLeftTop) {
    if (!FVisible) {
        DoInvisibleDraw();
        return;
    }
    if (FEngine != nullptr) {
        if (OutsideVisibleArea(*FEngine, withLeftTop)) {
            DoNotDraw();
        } else {
            DoDraw();
            ++FEngine->FDrawCount;
        }
    }
    // Sprites created while drawing are appended or inserted; taking the count once and
    // checking each index keeps the loop safe.
    const size_t count = FDrawList.size();
    for (size_t i = 0; i < count && i < FDrawList.size(); ++i) {
        TSprite* child = FDrawList[i];
        // Siblings lie scattered in memory, out of Z order: ask for the next ones early.
        if (i + kPrefetchAhead < FDrawList.size()) PrefetchSprite(FDrawList[i + kPrefetchAhead]);
        if (filter == nullptr) {
            if (!child->FManualRender) child->Draw();
        } else if (filter(*child)) {
            child->DrawOnly(filter);
        }
    }
}

void TSprite::Draw() {
    DrawPass(nullptr, true);
}

void TSprite::DrawOnly(SpriteFilter filter) {
    if (filter == nullptr) return;
    DrawPass(filter, false);
}

void TSprite::DoDraw() {
    if (FEngine == nullptr || FEngine->FCanvas == nullptr || FImage == nullptr) return;
    const TKilnPatternTex tex = FImage->RetrieveTex(FPatternIndex);
    if (!tex || tex.Texture == kNoTexture) return;
    const TPoint2 s = DisplayScale;
    const double x = static_cast<double>(FX) + FWorldX - KilnTrunc(FEngine->FWorldX);
    const double y = static_cast<double>(FY) + FWorldY - KilnTrunc(FEngine->FWorldY);
    Canvas& canvas = *FEngine->FCanvas;
    canvas.UseTexture(tex.Texture, tex.Mapping);
    canvas.TexMap(RectCorners(x * s.x, y * s.y, static_cast<double>(FImage->FVisibleSize.x) * s.x,
                              static_cast<double>(FImage->FVisibleSize.y) * s.y),
                  TColor4(0xFFFFFFFF), FEffect);
}

bool TSprite::Collision(TSprite& other) {
    if (!FCollisioned || !other.FCollisioned || FDeaded || other.FDeaded) return false;
    bool hit = false;
    switch (FCollideMode) {
    case cmCircle:
        hit = CirclesOverlap(FCollidePos, FCollideRadius, other.FCollidePos, other.FCollideRadius);
        break;
    case cmRect:
        hit = RectsOverlap(FCollideRect, other.FCollideRect);
        break;
    case cmQuadrangle:
        hit = QuadranglesOverlap(FCollideQuadrangle, other.FCollideQuadrangle);
        break;
    case cmPolygon:
        hit = PolygonsOverlap(FCollidePolygon, other.FCollidePolygon);
        break;
    }
    if (!hit) return false;
    DoCollision(other);
    other.DoCollision(*this);
    return true;
}

int TSprite::Collision() {
    if (FEngine == nullptr || FDeaded || !FCollisioned) return 0;
    const TSprite& root = *FEngine;
    const size_t count = root.FList.size();
    int hits = 0;
    for (size_t i = 0; i < count && i < root.FList.size(); ++i) {
        if (Collision(*root.FList[i])) ++hits;
    }
    return hits;
}

// --- TSpriteEx -------------------------------------------------------------------------------

TSpriteEx::TSpriteEx(TSprite* parent) : TSprite(parent) {}

void TSpriteEx::SetDrawMode(int mode) {
    FDrawMode = (mode < 0 || mode > 4) ? 0 : mode;
}

void TSpriteEx::SetAngle360(int degrees) {
    FAngle360 = degrees;
    FAngle = static_cast<float>(degrees * std::numbers::pi / 180.0);
}

bool TSpriteEx::GetDrawQuad(TPoint4& corners, TColor4& colors) const {
    if (FEngine == nullptr || FImage == nullptr) return false;
    const TSpriteEngine& e = *FEngine;
    const double sX = DisplayScale.x;
    const double sY = DisplayScale.y;
    const double w = FImage->FVisibleSize.x;
    const double h = FImage->FVisibleSize.y;
    const double worldX = KilnTrunc(e.FWorldX);
    const double worldY = KilnTrunc(e.FWorldY);
    const double shiftX = static_cast<double>(FWorldX) + FOffsetX - worldX;
    const double shiftY = static_cast<double>(FWorldY) + FOffsetY - worldY;
    const double ax = FX + shiftX; // anchor in design units
    const double ay = FY + shiftY;
    const double zoom = e.FZoom;
    const double kx = static_cast<double>(FScaleX) * e.FSizeZoom;
    const double ky = static_cast<double>(FScaleY) * e.FSizeZoom;
    const double sx = kx * sX;
    const double sy = ky * sY;

    switch (FDrawMode) {
    case 0:
    case 2: {
        double left = (FDrawMode == 2 ? ax * zoom : ax) * sX;
        double top = (FDrawMode == 2 ? ay * zoom : ay) * sY;
        if (FDoCenter) {
            // Keep the centre of the unscaled picture (in client pixels) where it is.
            left += KilnRound((w * sX - w * sx) / 2.0);
            top += KilnRound((h * sY - h * sy) / 2.0);
        }
        corners = RectCorners(left, top, KilnRound(w * sx), KilnRound(h * sy));
        break;
    }
    case 1: {
        const double hx = w * sX / 2.0;
        const double hy = h * sY / 2.0;
        const double c = std::cos(static_cast<double>(FAngle));
        const double s = std::sin(static_cast<double>(FAngle));
        const double cx = ax * zoom * sX;
        const double cy = ay * zoom * sY;
        const double us[4] = {-hx, hx, hx, -hx};
        const double vs[4] = {-hy, -hy, hy, hy};
        for (size_t i = 0; i < 4; ++i) {
            const double u = us[i] * kx;
            const double v = vs[i] * ky;
            corners[i] = TPoint2{static_cast<float>(u * c - v * s + cx),
                                 static_cast<float>(u * s + v * c + cy)};
        }
        break;
    }
    case 3:
    case 4: {
        const float xs[4] = {FX1, FX2, FX3, FX4};
        const float ys[4] = {FY1, FY2, FY3, FY4};
        for (size_t i = 0; i < 4; ++i) {
            double x = xs[i] + shiftX;
            double y = ys[i] + shiftY;
            if (FDrawMode == 3) {
                x *= zoom;
                y *= zoom;
            } else {
                x = KilnTrunc(x);
                y = KilnTrunc(y);
            }
            corners[i] = TPoint2{static_cast<float>(x * sX), static_cast<float>(y * sY)};
        }
        break;
    }
    default:
        return false;
    }

    if (FDrawMode == 2 || FDrawMode == 4) {
        colors = TColor4(FColor1, FColor2, FColor3, FColor4);
    } else {
        colors = TColor4(MakeColor(static_cast<uint32_t>(FRed), static_cast<uint32_t>(FGreen),
                                   static_cast<uint32_t>(FBlue), static_cast<uint32_t>(FAlpha)));
    }
    return true;
}

void TSpriteEx::DoDraw() {
    if (!FVisible || FEngine == nullptr || FEngine->FCanvas == nullptr || FImage == nullptr) {
        return;
    }
    const TKilnPatternTex tex = FImage->RetrieveTex(FPatternIndex, FMirrorX, FMirrorY);
    if (!tex || tex.Texture == kNoTexture) return;
    TPoint4 corners;
    TColor4 colors;
    if (!GetDrawQuad(corners, colors)) return;
    Canvas& canvas = *FEngine->FCanvas;
    canvas.UseTexture(tex.Texture, tex.Mapping);
    canvas.TexMap(corners, colors, FEffect);
}

void TSpriteEx::Assign(const TSprite& source) {
    if (&source == this) return;
    TSprite::Assign(source);
    const auto* src = dynamic_cast<const TSpriteEx*>(&source);
    if (src == nullptr) return;
    FX1 = src->FX1;
    FY1 = src->FY1;
    FX2 = src->FX2;
    FY2 = src->FY2;
    FX3 = src->FX3;
    FY3 = src->FY3;
    FX4 = src->FX4;
    FY4 = src->FY4;
    FMirrorX = src->FMirrorX;
    FMirrorY = src->FMirrorY;
    FCenterX = src->FCenterX;
    FCenterY = src->FCenterY;
    FDoCenter = src->FDoCenter;
    FColor1 = src->FColor1;
    FColor2 = src->FColor2;
    FColor3 = src->FColor3;
    FColor4 = src->FColor4;
    FRed = src->FRed;
    FGreen = src->FGreen;
    FBlue = src->FBlue;
    FAlpha = src->FAlpha;
    FAngle = src->FAngle;
    FAngle360 = src->FAngle360;
    FSrcAngle = src->FSrcAngle;
    FDestAngle = src->FDestAngle;
    FScaleX = src->FScaleX;
    FScaleY = src->FScaleY;
    FOffsetX = src->FOffsetX;
    FOffsetY = src->FOffsetY;
    FDrawMode = src->FDrawMode;
    FImageType = src->FImageType;
    FActiveRect = src->FActiveRect;
    FSpeedX = src->FSpeedX;
    FSpeedY = src->FSpeedY;
    FCanCollision = src->FCanCollision;
}

// --- TAnimatedSprite -------------------------------------------------------------------------

TAnimatedSprite::TAnimatedSprite(TSprite* parent) : TSpriteEx(parent) {}

void TAnimatedSprite::SetAnim(std::string_view imageName, int start, TAnimPlayMode playMode,
                              bool animate, bool mirror, bool looped, float speed, int count) {
    FMirrorX = mirror;
    SetAnim(imageName, start, playMode, animate, looped, speed, count);
}

void TAnimatedSprite::SetAnim(std::string_view imageName, int start, TAnimPlayMode playMode,
                              bool animate, bool looped, float speed, int count) {
    SetImageName(imageName);
    FAnimStart = start;
    FAnimCount = count;
    FAnimSpeed = speed;
    FAnimLooped = looped;
    FAnimPlayMode = playMode;
    FAnimSpeedDirection = 1;
    FDoAnimate = animate;
    FAnimPos = static_cast<float>(start);
    FPatternIndex = start;
    FImageIndex = start;
}

void TAnimatedSprite::SetAnimStart(int start) {
    if (start == FAnimStart) return;
    FAnimStart = start;
    FAnimPos = static_cast<float>(start);
}

void TAnimatedSprite::DoMove(float moveCount) {
    if (!FDoAnimate) return;
    const double speed = static_cast<double>(FAnimSpeed) * moveCount;
    const int start = FAnimStart;
    const int last = start + FAnimCount - 1;
    const auto step = [this](double delta) {
        FAnimPos = static_cast<float>(static_cast<double>(FAnimPos) + delta);
    };

    switch (FAnimPlayMode) {
    case pmForward:
        step(speed);
        if (FAnimPos >= static_cast<double>(start) + FAnimCount) {
            // The hooks look at the position after it stepped past the end.
            if (KilnTrunc(FAnimPos) == start) OnAnimStart();
            if (KilnTrunc(FAnimPos) == last) AnimEnded();
            if (FAnimLooped) {
                FAnimPos = static_cast<float>(start);
            } else {
                FAnimPos = static_cast<float>(last);
                FDoAnimate = false;
            }
        }
        break;
    case pmBackward:
        step(-speed);
        if (FAnimPos < start) {
            if (FAnimLooped) {
                FAnimPos = static_cast<float>(static_cast<double>(start) + FAnimCount);
            } else {
                FDoAnimate = false;
            }
        }
        break;
    case pmPingPong:
        if (FAnimSpeedDirection == -1) {
            step(-speed);
            if (FAnimPos > last) FAnimPos = static_cast<float>(last);
            if (FAnimPos <= start) {
                FAnimPos = static_cast<float>(start);
                if (!FAnimLooped) return; // holds at the start; the pattern is left as it was
                FAnimSpeedDirection = 1;
            }
        } else {
            step(speed);
            if (FAnimPos < start) FAnimPos = static_cast<float>(start);
            if (FAnimPos >= last) {
                FAnimPos = static_cast<float>(last);
                FAnimSpeedDirection = -1;
            }
        }
        break;
    }

    FPatternIndex = std::max(start, std::min(KilnTrunc(FAnimPos), last));
    FImageIndex = FPatternIndex;
}

void TAnimatedSprite::Assign(const TSprite& source) {
    if (&source == this) return;
    TSpriteEx::Assign(source);
    const auto* src = dynamic_cast<const TAnimatedSprite*>(&source);
    if (src == nullptr) return;
    FDoAnimate = src->FDoAnimate;
    FAnimLooped = src->FAnimLooped;
    FAnimStart = src->FAnimStart;
    FAnimCount = src->FAnimCount;
    FAnimSpeed = src->FAnimSpeed;
    FAnimPos = src->FAnimPos;
    FDoFlag1 = src->FDoFlag1;
    FDoFlag2 = src->FDoFlag2;
    FAnimPlayMode = src->FAnimPlayMode;
    FAnimSpeedDirection = src->FAnimSpeedDirection;
}

} // namespace bw
