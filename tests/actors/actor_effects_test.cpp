// What the player sees of cats, bonuses and keys on the move: the effects they launch and
// where a lifted bonus or key first shows. Fixture levels read as level files, the game's own
// actors, moves made with the pointer; the effects are recorded instead of drawn.
#include "actors/BonusSprites.h"
#include "actors/Bonuses.h"
#include "actors/Cats.h"
#include "actors/GameActors.h"
#include "actors/Nestlings.h"
#include "board/BoardEffects.h"

#include "../board/BoardTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace bw {
namespace {

struct RecordedParticles final : BoardParticles {
    bool stopped = false;
    void MoveTo(TPoint2) override {}
    void Update(float) override {}
    void Stop() override { stopped = true; }
    bool Alive() const override { return true; }
    void Render() override {}
    void SetEmitters(const std::vector<TPoint2>&) override {}
    void EmittersFromMask(const std::string&) override {}
    bool ReadRecordEmitters() override { return true; }
    void ScaleEmitters(float) override {}
    void SetEmissionRate(int) override {}
    void SetEmissionMultiply(float) override {}
    void SetSpeedMultiply(float) override {}
    void SetTexture(const std::string&) override {}
};

struct RecordedEffects final : BoardEffects {
    struct BurstCall {
        std::string name;
        TPoint2 pos;
        int z;
    };
    std::vector<BurstCall> bursts;
    std::vector<Timed> timed;

    void Burst(const std::string& name, TPoint2 pos, int z, int, float) override {
        bursts.push_back({name, pos, z});
    }
    void PlayTimed(const Timed& t) override { timed.push_back(t); }
    std::unique_ptr<BoardParticles> Own(const std::string&, TPoint2) override {
        return std::make_unique<RecordedParticles>();
    }
    int BurstsNamed(const std::string& name) const {
        return static_cast<int>(std::count_if(bursts.begin(), bursts.end(),
                                              [&](const auto& b) { return b.name == name; }));
    }
};

constexpr char StepFx[] = "step_fx";

class ActorEffects : public test::BoardTest {
protected:
    void SetUp() override {
        BoardTest::SetUp();
        SetBoardActors(&TheBoardActors());
        SetBoardEffects(&effects_);
        LocationOptions().FBirdsMoveFx = StepFx;
    }
    void TearDown() override {
        BoardTest::TearDown();
        SetBoardEffects(nullptr);
    }

    void Play(std::vector<std::string> rows) {
        UnloadBoard();
        ResetLevelCounters();
        testing::FixtureLevel level{"fx_actor_effects", std::move(rows), 0};
        CurrentLevel = TLevel_Data{};
        ASSERT_TRUE(LoadLevelFromText(testing::LevelFileXml(level), level.name, CurrentLevel));
        BuildBoard();
        DragedBird = new TDragedBird(engine_.get());
        Actors().Spawn();
        effects_.bursts.clear();
        effects_.timed.clear();
    }

    template <class T> T* Find() const {
        for (TSprite* s : engine_->Items())
            if (auto* t = dynamic_cast<T*>(s); t && !t->FDeaded) return t;
        return nullptr;
    }

    RecordedEffects effects_;
};

TEST_F(ActorEffects, AJumpingCatCrouchesInAPuffThatLastsTwentyFiveUpdates) {
    Play({"K....", ".....", "....."});
    CatsTakeTurn();
    CatsTakeTurn();
    ASSERT_NE(Find<TJumpingCatSprite>(), nullptr);
    EXPECT_EQ(effects_.BurstsNamed("Cats_5_Jump_Fx_1.xml"), 0);
    ASSERT_EQ(effects_.timed.size(), 1u);
    const BoardEffects::Timed& puff = effects_.timed.front();
    EXPECT_EQ(puff.Name, "Cats_5_Jump_Fx_1.xml");
    EXPECT_FLOAT_EQ(puff.Life, 25.0f);
    EXPECT_EQ(puff.PreUpdates, 7);
    EXPECT_FLOAT_EQ(puff.Step, 0.01f);
    EXPECT_EQ(puff.Z, CatAt({1, 1})->FZ - 1);
}

TEST_F(ActorEffects, ABonusOrAKeyThatSetsOffPuffsOnItsStartCellAndTheBonusKeepsItsSparkle) {
    Play({"b....", ".....", "k...."});
    Drag({1, 1}, {4, 1});
    const TMovedBonusSprite* bonus = Find<TMovedBonusSprite>();
    ASSERT_NE(bonus, nullptr);
    ASSERT_EQ(effects_.BurstsNamed(StepFx), 1) << "the start cell's step, before any tick";
    EXPECT_EQ(effects_.bursts.front().z, BoardCells[1][1]->FZ);
    // The slot's sparkle stopped when the bonus was lifted; the bonus on its way has its own.
    const auto* sparkle = dynamic_cast<const RecordedParticles*>(bonus->FFx1.get());
    ASSERT_NE(sparkle, nullptr);
    EXPECT_FALSE(sparkle->stopped);

    Tick(200);
    effects_.bursts.clear();
    Drag({1, 3}, {4, 3});
    ASSERT_NE(Find<TMovedKeySprite>(), nullptr);
    ASSERT_EQ(effects_.BurstsNamed(StepFx), 1);
    EXPECT_EQ(effects_.bursts.front().z, BoardCells[1][3]->FZ);
}

TEST_F(ActorEffects, ALiftedBonusOrKeyShowsUnderThePointerAtOnce) {
    Play({"b...k"});
    Press({1, 1});
    const TDragedBonus& bonus = *DragedBonusSprite();
    ASSERT_TRUE(bonus.FVisible);
    EXPECT_FLOAT_EQ(bonus.FX1, CentreOf(1, 1).x - 62.0f);
    EXPECT_FLOAT_EQ(bonus.FY1, CentreOf(1, 1).y - 54.0f);
    BoardRelease();

    Press({5, 1});
    const TDragedKey& key = *DragedKeySprite();
    ASSERT_TRUE(key.FVisible);
    EXPECT_FLOAT_EQ(key.FX1, CentreOf(5, 1).x - 62.0f);
    EXPECT_FLOAT_EQ(key.FY1, CentreOf(5, 1).y - 54.0f);
    BoardRelease();
}

} // namespace
} // namespace bw
