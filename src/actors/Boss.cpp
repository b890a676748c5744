#include "actors/Boss.h"

#include "audio/SoundEngine.h"
#include "board/Board.h"
#include "board/BoardActors.h"
#include "board/BoardHost.h"
#include "board/BoardSprites.h"
#include "board/LevelData.h"
#include "gui/TextureOffsetSprite.h"
#include "board/LevelScore.h"
#include "platform/Log.h"

#include <algorithm>
#include <cmath>

namespace bw {

namespace {

constexpr float ParticleStep = 0.01f;
constexpr int IdlePatterns = 9;
constexpr int FallAsleepPatterns = 16;

TBossCatSprite* TheBoss = nullptr;

// The rows of the fill picture that the indicator panel's window shows (the panel covers the
// rows above and below them).
constexpr int IndicatorWindowTop = 19;
constexpr int IndicatorWindowBottom = 82;

TAnimatedSprite* OwnedPicture(TSprite* owner, const char* image, TPoint2 at) {
    auto* sprite = new TAnimatedSprite(owner);
    sprite->FManualRender = true;
    sprite->SetImageName(image);
    sprite->FX = at.x;
    sprite->FY = at.y;
    sprite->FVisible = false;
    return sprite;
}

void Idle(TBossCatSprite& boss) {
    boss.SetAnim("Boss_1_idle_animation.image", 0, pmPingPong, true, true, 0.1f, IdlePatterns);
}

} // namespace

TBossCatSprite::TBossCatSprite(TSprite* parent) : TAnimatedSprite(parent) {}

void TBossCatSprite::UpdateIndicator(float fill) {
    if (!IndicatorFillSprite || !IndicatorPanelSprite) return;
    TTextureOffsetSprite& f = *IndicatorFillSprite;
    f.FAlpha = std::min(255, f.FAlpha + 10);
    // Drawn upwards from the bottom edge of the whole fill picture, so that the panel's window
    // shows it empty at 0 and full at 1.
    const int height = f.GetImageHeight();
    f.FY = IndicatorPanelSprite->FY - 7.0f + static_cast<float>(height);
    const double hidden = std::max(0, height - IndicatorWindowBottom);
    const double window = std::max(0, IndicatorWindowBottom - IndicatorWindowTop);
    f.fRenderSize = TPoint{0, -static_cast<int>(std::lround(hidden + window * fill))};
    f.FVisible = true;
    IndicatorPanelSprite->FVisible = true;
}

void TBossCatSprite::StartEatingEffects() {
    FFx1.reset();
    FFx2.reset();
    FFxStoped = false;
    const auto launch = [&](const char* name, TPoint2 at) {
        std::unique_ptr<BoardParticles> fx = Effects().Own(name, at);
        if (!fx) return fx;
        fx->ReadRecordEmitters();
        fx->MoveTo(at);
        for (int i = 0; i < 35; ++i) fx->Update(ParticleStep);
        return fx;
    };
    FFx1 = launch("Boss_1_Eat_Fx_1.xml", TPoint2{FX + 75.0f, FY + 80.0f});
    FFx2 = launch("Boss_1_Eat_Fx_2.xml", TPoint2{FX + 90.0f, FY + 100.0f});
}

void TBossCatSprite::StopEatingEffects() {
    FFxStoped = true;
    if (FFx1) FFx1->Stop();
    if (FFx2) FFx2->Stop();
}

void TBossCatSprite::DoMove(float moveCount) {
    TAnimatedSprite::DoMove(moveCount);
    const auto follow = [&](std::unique_ptr<BoardParticles>& fx, TPoint2 at) {
        if (!fx) return;
        fx->MoveTo(at);
        fx->Update(ParticleStep * moveCount);
        if (FFxStoped && !fx->Alive()) fx.reset();
    };
    follow(FFx1, TPoint2{FX + 75.0f, FY + 80.0f});
    follow(FFx2, TPoint2{FX + 90.0f, FY + 100.0f});

    if (FRealProgress < FProgress) {
        FRealProgress += 0.01f / static_cast<float>(BossHealthNeeded()) * moveCount;
        if (FRealProgress >= FProgress) {
            FRealProgress = FProgress;
            if (Player.BossHealth >= BossHealthNeeded() && FAnimStage < 3) {
                LockBoardForWin();
                FAnimStage = 3;
            }
        }
        UpdateIndicator(FRealProgress);
    }
    StepStage();
}

void TBossCatSprite::StepStage() {
    switch (FAnimStage) {
    case 1:
        SetAnim("Boss_1_eat_animation.image", 0, pmForward, true, true, 1.2f, IdlePatterns);
        FTimeCounter = 4.0f;
        FAnimStage = 2;
        StartEatingEffects();
        if (FEatedObject) FEatedObject->FVisible = true;
        break;
    case 2:
        if (FEatedObject) {
            FEatedObject->SetPatternIndex(FPatternIndex);
            FEatedObject->SetAlpha(
                std::max(0, static_cast<int>(std::lround(60.0f * FTimeCounter))));
        }
        if (FTimeCounter > 0.0f) {
            FTimeCounter -= 0.1f;
            break;
        }
        StopEatingEffects();
        Idle(*this);
        FTimeCounter = 0.0f;
        FAnimStage = 0;
        if (FEatedObject) FEatedObject->FVisible = false;
        break;
    case 3:
        SfxByName("sfx_boss_fallasleep.ogg");
        StopEatingEffects();
        SetAnim("Boss_1_fallasleep_animation.image", 0, pmForward, true, false, 0.25f,
                FallAsleepPatterns);
        if (FEatedObject) FEatedObject->FVisible = false;
        if (IndicatorPanelSprite) IndicatorPanelSprite->FVisible = false;
        if (IndicatorFillSprite) IndicatorFillSprite->FVisible = false;
        FAnimStage = 4;
        break;
    case 4:
        if (FAnimPos + 0.001f < static_cast<float>(FallAsleepPatterns - 1)) break;
        SetAnim("Boss_1_sleep_animation.image", 0, pmPingPong, true, true, 0.1f, IdlePatterns);
        FAnimStage = 5;
        FTimeCounter = 20.0f;
        break;
    case 5:
        if (FTimeCounter > 0.0f) {
            FTimeCounter -= 0.1f;
            break;
        }
        FAnimStage = 0;
        Host().LevelWon();
        break;
    default:
        break;
    }
}

void TBossCatSprite::DoDraw() {
    TAnimatedSprite::DoDraw();
    if (FEatedObject && FEatedObject->FVisible) FEatedObject->DoDraw();
    if (FFx1) FFx1->Render();
    if (FFx2) FFx2->Render();
    if (IndicatorFillSprite && IndicatorFillSprite->FVisible) IndicatorFillSprite->DoDraw();
    if (IndicatorPanelSprite && IndicatorPanelSprite->FVisible) IndicatorPanelSprite->DoDraw();
}

int BossHealthNeeded() {
    // A health below 1 in the level file counts as 1: the boss eats at least one hamburger.
    return std::max(1, CurrentLevel.Boss.Health);
}

bool LevelHasBoss() {
    return CurrentLevel.Mission == mission_boss_1 && CurrentLevel.Boss.Kind == 1;
}

bool IsBossAt(int x, int y) {
    if (!LevelHasBoss()) return false;
    const TPoint p = CurrentLevel.Boss.Pos;
    return y == p.y && (x == p.x || x == p.x + 1);
}

bool HamburgerTargetsBoss() {
    return LevelHasBoss() && Actors().LiftedBonus().Kind == HamburgerBonusKind;
}

TBossCatSprite* BossCat() {
    return TheBoss;
}

void CreateBoss() {
    ClearBoss();
    // Only the boss cat exists: a boss of another kind would stand on the board without
    // blocking it, so none is made.
    if (!LevelHasBoss() || !BoardParent()) return;
    const TCoord2 p{CurrentLevel.Boss.Pos.x, CurrentLevel.Boss.Pos.y};
    const TLevelSprite* cell = IsPlayableCell(p) ? BoardCells[p.x][p.y] : nullptr;
    if (!cell) {
        WriteLog("The boss's cell (" + std::to_string(p.x) + ", " + std::to_string(p.y) +
                     ") is not on the board; no boss",
                 1);
        return;
    }
    auto* boss = new TBossCatSprite(BoardParent());
    TheBoss = boss;
    boss->FAnimStage = 0;
    boss->FTimeCounter = 0.0f;
    boss->FFxStoped = false;
    boss->FKind = CurrentLevel.Boss.Kind;
    Idle(*boss);
    boss->pX = p.x;
    boss->pY = p.y;
    boss->FX = cell->FX;
    boss->FY = cell->FY - 72.0f;
    boss->SetZ(cell->FZ + 3);
    boss->FStartPos = TPoint2{boss->FX, boss->FY};

    boss->FEatedObject = OwnedPicture(boss, "Boss_1_hamburger_animation.image",
                                      TPoint2{boss->FX + 64.0f, boss->FY + 70.0f});
    boss->IndicatorPanelSprite = OwnedPicture(boss, "Boss_1_indicator_panel.image",
                                              TPoint2{boss->FX + 132.0f, boss->FY + 10.0f});
    auto* fill = new TTextureOffsetSprite(boss);
    fill->FManualRender = true;
    fill->SetImageName("Boss_1_indicator_fill.image");
    fill->FVisible = false;
    fill->fRenderSize = TPoint{0, -1};
    fill->fDoTextureMove = false;
    fill->FAlpha = 0;
    fill->FX = boss->IndicatorPanelSprite->FX - 17.0f;
    fill->FY = boss->IndicatorPanelSprite->FY - 7.0f;
    boss->IndicatorFillSprite = fill;
    boss->FRealProgress = 0.0f;
    boss->FProgress = 0.0f;
}

bool FeedBoss(int x, int y) {
    if (!IsBossAt(x, y) || !TheBoss) return false;
    TBossCatSprite& boss = *TheBoss;
    SfxByName("sfx_boss_eat.ogg");
    AddLevelScore(BossEatScore);
    Player.BossHealth += 1;
    boss.FProgress = std::min(1.0f, static_cast<float>(Player.BossHealth) /
                                        static_cast<float>(BossHealthNeeded()));
    // Once it is falling asleep it still eats, but nothing starts over.
    if (boss.FAnimStage < 3) boss.FAnimStage = 1;
    boss.UpdateIndicator(boss.FRealProgress);
    boss.IndicatorFillSprite->DoMove(1.0f);
    return true;
}

void AddBossToSnapshot(BoardSnapshot& s) {
    s.BossOnBoard = LevelHasBoss();
    s.BossPos = TCoord2{CurrentLevel.Boss.Pos.x, CurrentLevel.Boss.Pos.y};
}

void ClearBoss() {
    if (TheBoss && !TheBoss->FDeaded) TheBoss->Dead();
    TheBoss = nullptr;
}

void ForgetBoss() {
    TheBoss = nullptr;
}

} // namespace bw
