#include "Engine/KilnSprite/SpriteTestSupport.h"

#include <string>

namespace bw {
namespace {

using test::SpriteFixture;

// Logs every DoCollision as "self>other".
class HitSprite : public TAnimatedSprite {
public:
    HitSprite(TSprite* parent, std::string tag, std::vector<std::string>* log)
        : TAnimatedSprite(parent), log_(log) {
        FName = std::move(tag);
        FCollisioned = true;
    }
    void DoCollision(TSprite& other) override { log_->push_back(FName + ">" + other.FName); }

private:
    std::vector<std::string>* log_;
};

TPoint4 Square(float l, float t, float size) {
    return TPoint4{TPoint2{l, t}, TPoint2{l + size, t}, TPoint2{l + size, t + size},
                   TPoint2{l, t + size}};
}

TEST(CollisionGeometry, CirclesMustBeStrictlyCloserThanTheirRadii) {
    EXPECT_TRUE(CirclesOverlap({0, 0}, 3, {4.9f, 0}, 2));
    EXPECT_FALSE(CirclesOverlap({0, 0}, 3, {3, 4}, 2)); // distance 5 = 3 + 2
    EXPECT_TRUE(CirclesOverlap({0, 0}, 3, {0, 0}, 0));
    EXPECT_FALSE(CirclesOverlap({0, 0}, 0, {0, 0}, 0));
}

TEST(CollisionGeometry, RectanglesSharingABorderDoNotOverlap) {
    const TRect a{0, 0, 10, 10};
    EXPECT_TRUE(RectsOverlap(a, TRect{9, 9, 20, 20}));
    EXPECT_FALSE(RectsOverlap(a, TRect{10, 0, 20, 10}));
    EXPECT_FALSE(RectsOverlap(a, TRect{0, 10, 10, 20}));
    EXPECT_TRUE(RectsOverlap(a, TRect{2, 2, 3, 3})); // contained
    EXPECT_TRUE(RectsOverlap(a, a));
    EXPECT_FALSE(RectsOverlap(TRect{5, 5, 5, 5}, TRect{5, 5, 5, 5})); // empty
}

TEST(CollisionGeometry, QuadranglesTestTheOthersCorners) {
    const TPoint4 q = Square(0, 0, 10);
    EXPECT_TRUE(QuadrangleContains(q, {5, 5}));
    EXPECT_TRUE(QuadrangleContains(q, {10, 10})); // on the border
    EXPECT_FALSE(QuadrangleContains(q, {10.5f, 5}));
    EXPECT_FALSE(QuadrangleContains(q, {5, -0.5f}));
    EXPECT_TRUE(QuadranglesOverlap(q, Square(8, 8, 10)));
    EXPECT_FALSE(QuadranglesOverlap(q, Square(11, 0, 10)));
    // A diamond around the square has no corner inside it.
    const TPoint4 diamond{TPoint2{5, -10}, TPoint2{20, 5}, TPoint2{5, 20}, TPoint2{-10, 5}};
    EXPECT_FALSE(QuadranglesOverlap(q, diamond));
    EXPECT_TRUE(QuadranglesOverlap(diamond, q));
}

TEST(CollisionGeometry, PolygonsWalkTheEdgesOfTheSmallerOne) {
    const TKilnPolygon square{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    const TKilnPolygon triangle{{8, 5}, {20, 5}, {14, 15}};
    const TKilnPolygon farTriangle{{30, 30}, {40, 30}, {35, 40}};
    const TKilnPolygon inner{{3, 3}, {6, 3}, {4, 6}};
    EXPECT_TRUE(PolygonsOverlap(square, triangle));
    EXPECT_TRUE(PolygonsOverlap(triangle, square));
    EXPECT_FALSE(PolygonsOverlap(square, farTriangle));
    EXPECT_TRUE(PolygonsOverlap(square, inner)); // the smaller one lies inside
    // A long thin sliver crossing the square with no corner inside: found by the walk.
    const TKilnPolygon sliver{{-20, 4}, {30, 4}, {30, 6}};
    EXPECT_TRUE(PolygonsOverlap(sliver, square));
    EXPECT_FALSE(PolygonsOverlap(square, TKilnPolygon{}));
    EXPECT_TRUE(PolygonContains(square, {5, 5}));
    EXPECT_FALSE(PolygonContains(TKilnPolygon{{0, 0}, {10, 10}}, {5, 5}));
}

class SpriteCollision : public SpriteFixture {
protected:
    std::vector<std::string> log;
};

TEST_F(SpriteCollision, HitRunsBothHandlersCallerFirst) {
    auto* a = new HitSprite(&engine, "a", &log);
    auto* b = new HitSprite(&engine, "b", &log);
    a->FCollidePos = {0, 0};
    a->FCollideRadius = 5;
    b->FCollidePos = {6, 0};
    b->FCollideRadius = 2;
    EXPECT_TRUE(b->Collision(*a));
    EXPECT_EQ(log, (std::vector<std::string>{"b>a", "a>b"}));

    log.clear();
    b->FCollisioned = false;
    EXPECT_FALSE(a->Collision(*b));
    b->FCollisioned = true;
    b->Dead();
    EXPECT_FALSE(a->Collision(*b));
    EXPECT_TRUE(log.empty());
}

TEST_F(SpriteCollision, TheCallersModeDecides) {
    auto* a = new HitSprite(&engine, "a", &log);
    auto* b = new HitSprite(&engine, "b", &log);
    a->FCollideRect = {0, 0, 10, 10};
    b->FCollideRect = {5, 5, 15, 15};
    a->FCollidePos = {0, 0};
    b->FCollidePos = {100, 0};
    a->FCollideRadius = b->FCollideRadius = 1;
    a->FCollideMode = cmRect;
    b->FCollideMode = cmCircle;
    EXPECT_TRUE(a->Collision(*b));
    EXPECT_FALSE(b->Collision(*a));

    a->FCollideMode = cmQuadrangle;
    a->FCollideQuadrangle = Square(0, 0, 10);
    b->FCollideQuadrangle = Square(9, 9, 3);
    EXPECT_TRUE(a->Collision(*b));
    a->FCollideMode = cmPolygon;
    a->FCollidePolygon = {{0, 0}, {10, 0}, {0, 10}};
    b->FCollidePolygon = {{20, 20}, {30, 20}, {20, 30}};
    EXPECT_FALSE(a->Collision(*b));
}

TEST_F(SpriteCollision, CursorPassHitsItselfAndSkipsTheDead) {
    auto* cursor = new HitSprite(&engine, "cursor", &log);
    cursor->FCollideMode = cmRect;
    cursor->FCollideRect = {100, 100, 101, 101};
    auto* button = new HitSprite(&engine, "button", &log);
    button->FCollideRect = {50, 50, 150, 150};
    auto* dead = new HitSprite(&engine, "dead", &log);
    dead->FCollideRect = {50, 50, 150, 150};
    dead->Dead();
    auto* off = new HitSprite(&engine, "off", &log);
    off->FCollideRect = {50, 50, 150, 150};
    off->FCollisioned = false;
    auto* child = new HitSprite(button, "nested", &log); // not a direct child of the engine
    child->FCollideRect = {50, 50, 150, 150};

    EXPECT_EQ(cursor->Collision(), 2);
    EXPECT_EQ(log, (std::vector<std::string>{"cursor>cursor", "cursor>cursor", "cursor>button",
                                             "button>cursor"}));

    log.clear();
    // An empty rectangle does not hit itself, but still lies within the button's.
    cursor->FCollideRect = {100, 100, 100, 100};
    EXPECT_EQ(cursor->Collision(), 1);
    EXPECT_EQ(log, (std::vector<std::string>{"cursor>button", "button>cursor"}));

    log.clear();
    cursor->Dead();
    cursor->FCollideRect = {100, 100, 101, 101};
    EXPECT_EQ(cursor->Collision(), 0);
    EXPECT_TRUE(log.empty());
}

TEST_F(SpriteCollision, HandlersMayRemoveAndCreateSpritesDuringThePass) {
    class Spawner : public TAnimatedSprite {
    public:
        using TAnimatedSprite::TAnimatedSprite;
        void DoCollision(TSprite& other) override {
            other.Dead();
            new TSprite(FEngine); // appended behind the pass
            ++hits;
        }
        int hits = 0;
    };
    auto* s = new Spawner(&engine);
    s->FCollisioned = true;
    s->FCollideMode = cmRect;
    s->FCollideRect = {0, 0, 10, 10};
    for (int i = 0; i < 3; ++i) {
        auto* t = new TAnimatedSprite(&engine);
        t->FCollisioned = true;
        t->FCollideRect = {0, 0, 10, 10};
    }
    // The spawner hits itself first and marks itself dead: the rest of the pass is skipped.
    EXPECT_EQ(s->Collision(), 1);
    EXPECT_EQ(s->hits, 2);
    EXPECT_EQ(engine.GetCount(), 6);
    engine.Dead();
    EXPECT_EQ(engine.GetCount(), 5);
}

} // namespace
} // namespace bw
