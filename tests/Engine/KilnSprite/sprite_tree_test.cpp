#include "Engine/KilnSprite/SpriteTestSupport.h"

#include <random>
#include <stdexcept>

namespace bw {
namespace {

using test::SpriteFixture;

std::vector<const TSprite*> DrawOrder(const TSprite& parent) {
    return {parent.DrawItems().begin(), parent.DrawItems().end()};
}

// Counts how often it was moved and freed; can be told to throw from DoMove.
class ProbeSprite : public TAnimatedSprite {
public:
    using TAnimatedSprite::TAnimatedSprite;
    ~ProbeSprite() override { ++freed; }
    void DoMove(float moveCount) override {
        TAnimatedSprite::DoMove(moveCount);
        ++moves;
        if (spawnOnMove) new ProbeSprite(FParent);
        if (throwOnMove) throw std::runtime_error("broken sprite");
    }
    int moves = 0;
    bool throwOnMove = false;
    bool spawnOnMove = false;
    static inline int freed = 0;
};

class OtherSprite : public TAnimatedSprite {
public:
    using TAnimatedSprite::TAnimatedSprite;
    void DoMove(float) override { ++moves; }
    int moves = 0;
};

class SpriteTree : public SpriteFixture {};

TEST_F(SpriteTree, NewSpriteSitsAtZOneButReadsZero) {
    auto* high = new TSprite(&engine);
    high->SetZ(5);
    auto* one = new TSprite(&engine);
    one->SetZ(1);
    auto* low = new TSprite(&engine);
    low->SetZ(-1);

    auto* fresh = new TSprite(&engine);
    EXPECT_EQ(fresh->FZ, 0);
    EXPECT_TRUE(fresh->FZSet);
    EXPECT_EQ(DrawOrder(engine), (std::vector<const TSprite*>{low, one, fresh, high}));

    fresh->SetZ(0); // unchanged value: stays behind the Z 1 sibling
    EXPECT_EQ(DrawOrder(engine), (std::vector<const TSprite*>{low, one, fresh, high}));

    fresh->SetZ(2);
    fresh->SetZ(0); // now re-inserted after every sibling whose Z is at most 0
    EXPECT_EQ(DrawOrder(engine), (std::vector<const TSprite*>{low, fresh, one, high}));
}

TEST_F(SpriteTree, EqualZDrawsInOrderOfLastPlacement) {
    auto* a = new TSprite(&engine);
    auto* b = new TSprite(&engine);
    auto* c = new TSprite(&engine);
    for (TSprite* s : {a, b, c}) s->SetZ(3);
    EXPECT_EQ(DrawOrder(engine), (std::vector<const TSprite*>{a, b, c}));
    a->SetZ(4);
    a->SetZ(3);
    EXPECT_EQ(DrawOrder(engine), (std::vector<const TSprite*>{b, c, a}));
    // Creation order, used for moving and hit testing, does not follow Z.
    EXPECT_EQ(engine.GetItem(0), a);
    EXPECT_EQ(engine.GetItem(2), c);
}

TEST_F(SpriteTree, BinaryInsertionKeepsDrawListSortedAndStable) {
    std::mt19937 rng(1234);
    std::uniform_int_distribution<int> zDist(-6, 6);
    std::vector<TSprite*> sprites;
    for (int i = 0; i < 300; ++i) {
        auto* s = new TSprite(&engine);
        s->SetZ(100); // away from the creation quirk
        sprites.push_back(s);
    }
    std::vector<TSprite*> placement; // order of the last SetZ that moved each sprite
    for (int round = 0; round < 2000; ++round) {
        TSprite* s = sprites[static_cast<size_t>(rng() % sprites.size())];
        const int z = zDist(rng);
        if (z == s->FZ) continue;
        s->SetZ(z);
        std::erase(placement, s);
        placement.push_back(s);
    }
    const auto& order = engine.DrawItems();
    ASSERT_EQ(order.size(), sprites.size());
    for (size_t i = 1; i < order.size(); ++i) {
        ASSERT_LE(order[i - 1]->FZ, order[i]->FZ) << "at " << i;
        if (order[i - 1]->FZ == order[i]->FZ && order[i]->FZ != 100) {
            const auto pa = std::find(placement.begin(), placement.end(), order[i - 1]);
            const auto pb = std::find(placement.begin(), placement.end(), order[i]);
            ASSERT_LT(pa, pb) << "equal Z out of placement order at " << i;
        }
    }
}

TEST_F(SpriteTree, GetItemReportsRangeErrors) {
    try {
        engine.GetItem(3);
        FAIL() << "no error for a sprite without children";
    } catch (const ESpriteError& e) {
        EXPECT_STREQ(e.what(), "Index of the list exceeds the range. (3)");
    }
    new TSprite(&engine);
    EXPECT_NO_THROW(engine.GetItem(0));
    EXPECT_THROW(engine.GetItem(1), std::out_of_range);
    EXPECT_THROW(engine.GetItem(-1), std::out_of_range);
}

TEST_F(SpriteTree, EngineCountsEverySpriteOfItsTree) {
    auto* parent = new TSprite(&engine);
    auto* child = new TSprite(parent);
    new TSprite(child);
    EXPECT_EQ(child->FEngine, &engine);
    EXPECT_EQ(engine.FAllCount, 3);
    EXPECT_EQ(engine.GetCount(), 1);
    delete parent; // direct freeing takes the subtree along
    EXPECT_EQ(engine.FAllCount, 0);
    EXPECT_EQ(engine.GetCount(), 0);
    EXPECT_TRUE(engine.DrawItems().empty());
}

TEST_F(SpriteTree, DeadIsDeferredUntilTheEnginesPass) {
    ProbeSprite::freed = 0;
    auto* doomed = MakeSprite<ProbeSprite>(100, 100);
    auto* survivor = MakeSprite<ProbeSprite>(200, 100);
    doomed->Dead();
    doomed->Dead(); // a second request changes nothing
    EXPECT_TRUE(doomed->FDeaded);
    EXPECT_EQ(engine.FDeadList.size(), 1u);

    engine.Move(1.0f);
    EXPECT_EQ(doomed->moves, 0);
    EXPECT_EQ(survivor->moves, 1);

    engine.Draw(); // still drawn in the frame in which it died
    EXPECT_EQ(engine.FDrawCount, 2);
    EXPECT_EQ(canvas.Quads().size(), 2u);

    engine.Dead();
    EXPECT_EQ(ProbeSprite::freed, 1);
    EXPECT_TRUE(engine.FDeadList.empty());
    EXPECT_EQ(engine.GetCount(), 1);
    EXPECT_EQ(engine.FAllCount, 1);
}

TEST_F(SpriteTree, DeadParentAndChildAreFreedOnce) {
    for (bool childFirst : {true, false}) {
        ProbeSprite::freed = 0;
        auto* parent = new ProbeSprite(&engine);
        auto* child = new ProbeSprite(parent);
        new ProbeSprite(child);
        if (childFirst) {
            child->Dead();
            parent->Dead();
        } else {
            parent->Dead();
            child->Dead();
        }
        engine.Dead();
        EXPECT_EQ(ProbeSprite::freed, 3) << childFirst;
        EXPECT_EQ(engine.FAllCount, 0) << childFirst;
        EXPECT_TRUE(engine.FDeadList.empty());
    }
}

TEST_F(SpriteTree, FreeingADeadSpriteDirectlyLeavesTheDeadList) {
    auto* s = new TSprite(&engine);
    s->Dead();
    delete s;
    EXPECT_TRUE(engine.FDeadList.empty());
    engine.Dead(); // nothing left to free twice
    EXPECT_EQ(engine.FAllCount, 0);
}

TEST_F(SpriteTree, EngineFreesItsWholeTree) {
    ProbeSprite::freed = 0;
    {
        TSpriteEngine local(&canvas, &images);
        auto* a = new ProbeSprite(&local);
        new ProbeSprite(a);
        new ProbeSprite(&local);
        a->Dead();
    }
    EXPECT_EQ(ProbeSprite::freed, 3);
}

TEST_F(SpriteTree, MoveSkipsFrozenSubtreesAndSwallowsErrors) {
    auto* frozen = new ProbeSprite(&engine);
    auto* frozenChild = new ProbeSprite(frozen);
    frozen->FMoved = false;
    auto* broken = new ProbeSprite(&engine);
    auto* brokenChild = new ProbeSprite(broken);
    broken->throwOnMove = true;
    auto* after = new ProbeSprite(&engine);

    EXPECT_NO_THROW(engine.Move(1.0f));
    EXPECT_EQ(frozen->moves, 0);
    EXPECT_EQ(frozenChild->moves, 0);
    EXPECT_EQ(broken->moves, 1);
    EXPECT_EQ(brokenChild->moves, 0); // its subtree waits for a tick that does not fail
    EXPECT_EQ(after->moves, 1);       // the loop went on with the next sibling
}

TEST_F(SpriteTree, SpritesCreatedDuringAPassWaitForTheNextOne) {
    auto* spawner = new ProbeSprite(&engine);
    spawner->spawnOnMove = true;
    engine.Move(1.0f);
    ASSERT_EQ(engine.GetCount(), 2);
    EXPECT_EQ(static_cast<ProbeSprite*>(engine.GetItem(1))->moves, 0);
    spawner->spawnOnMove = false;
    engine.Move(1.0f);
    EXPECT_EQ(static_cast<ProbeSprite*>(engine.GetItem(1))->moves, 1);
}

TEST_F(SpriteTree, MoveOnlyPicksChildrenByClass) {
    auto* probe = new ProbeSprite(&engine);
    auto* probeChild = new OtherSprite(probe);
    auto* other = new OtherSprite(&engine);
    engine.MoveOnly<ProbeSprite>(1.0f);
    EXPECT_EQ(probe->moves, 1);
    EXPECT_EQ(probeChild->moves, 1); // the subtree of a picked child moves as usual
    EXPECT_EQ(other->moves, 0);
    engine.MoveOnly<TAnimatedSprite>(1.0f); // subclasses count as the class
    EXPECT_EQ(probe->moves, 2);
    EXPECT_EQ(other->moves, 1);
}

TEST_F(SpriteTree, ImageNameIsResolvedIgnoringCase) {
    auto* s = new TAnimatedSprite(&engine);
    s->SetImageName("SHEET.image");
    ASSERT_NE(s->FImage, nullptr);
    EXPECT_EQ(s->GetPatternWidth(), 64);
    EXPECT_EQ(s->GetPatternCount(), 16);
    s->SetImageName("missing.image");
    EXPECT_EQ(s->FImage, nullptr);
    EXPECT_EQ(s->GetImageWidth(), 0);
    EXPECT_EQ(s->GetPatternCount(), 0);
    s->SetImageName(std::string(300, 'x'));
    EXPECT_EQ(s->FImageName.size(), 255u);
}

} // namespace
} // namespace bw
