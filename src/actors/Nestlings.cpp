#include "actors/Nestlings.h"

#include "actors/Cats.h"
#include "actors/PathTravel.h"
#include "audio/SoundEngine.h"
#include "board/Board.h"
#include "board/BoardHost.h"
#include "board/BoardSprites.h"
#include "board/LevelData.h"
#include "board/LevelScore.h"
#include "platform/Random.h"

#include <algorithm>
#include <array>
#include <vector>

namespace bw {

namespace {

constexpr int SaluteZ = 5001;

TDragedKey* TheDragedKey = nullptr;

int CellSlotZ(TCoord2 c) {
    const TLevelSprite* cell = BoardCells[c.x][c.y];
    return (cell ? cell->FZ : CellZ(c.y)) + 3;
}

// Four sparkles circle the opened lock, one after another.
void Salute(TPoint2 keyPos) {
    std::array<TPoint2, 4> offsets{{{0, -15}, {15, 0}, {0, 15}, {-15, 0}}};
    for (int i = static_cast<int>(offsets.size()) - 1; i > 0; --i)
        std::swap(offsets[static_cast<size_t>(i)], offsets[static_cast<size_t>(Random(i + 1))]);
    static constexpr std::array<int, 4> Descriptions{2, 3, 4, 1};
    for (int i = 1; i <= 4; ++i) {
        BoardEffects::Timed o;
        o.Name =
            "Key_1_Salute_Fx_" + std::to_string(Descriptions[static_cast<size_t>(i - 1)]) + ".xml";
        const TPoint2 off = offsets[static_cast<size_t>(i - 1)];
        o.Pos = TPoint2{keyPos.x + 60.0f + off.x + static_cast<float>(Random(35) - 25),
                        keyPos.y + 60.0f + off.y + static_cast<float>(Random(50) - 25)};
        o.Z = SaluteZ;
        o.Delay = static_cast<float>((10 + Random(5)) * (i - 1));
        o.Speed = TPoint2{-1.0f, -1.0f};
        o.Radius = TPoint2{50.0f, 50.0f};
        o.Life = 40.0f;
        o.PreUpdates = 15;
        o.Step = 0.035f + 0.025f / static_cast<float>(Random(100) + 1);
        Effects().PlayTimed(o);
    }
}

void FreeNestling(TNestlingSprite& nestling) {
    auto* freed = new TKilledNestlingSprite(BoardParent());
    freed->FKind = nestling.FKind;
    freed->pX = nestling.pX;
    freed->pY = nestling.pY;
    freed->SetZ(nestling.FZ + 1);
    freed->FX = nestling.FX;
    freed->FY = nestling.FY;
    freed->FNestIndex = NestlingsFlying() + Player.NestlingsSaved - 1;
    freed->FTimeCounter = 100.0f;
    freed->FSpeedMax = 13.0f;
    freed->FSpeed = 0.0f;
    freed->FPreviousDistance = 77777.0;
    freed->SetAnim("Nestling_1_anim_open.image", 0, pmForward, false, false, 0.35f,
                   NestlingPatterns);

    auto* chain = new TAnimatedSprite(freed);
    chain->FManualRender = true;
    chain->SetAnim("Nestling_1_chain_1_open.image", 0, pmForward, true, false, 0.5f,
                   NestlingPatterns);
    chain->FX = freed->FX;
    chain->FY = freed->FY;
    freed->FLastChainSprite = chain;
    auto* cage = new TAnimatedSprite(freed);
    cage->FManualRender = true;
    cage->SetImageName("Cage_1_opened.image");
    cage->FX = freed->FX;
    cage->FY = freed->FY;
    cage->FVisible = false;
    freed->FOpenedCageSprite = cage;
    freed->FAnimStage = 1;

    nestling.FVisible = false;
    nestling.FKind = 61;
    if (NestlingsFlying() + Player.NestlingsSaved >= CurrentLevel.NestlingsMaxCommon)
        LockBoardForWin();
}

} // namespace

TNestlingSprite* NestlingAt(TCoord2 c) {
    if (!InGrid(c)) return nullptr;
    auto* n = static_cast<TNestlingSprite*>(BoardNestlings[c.x][c.y]);
    return n && !n->FDeaded ? n : nullptr;
}

TKeySprite* KeyAt(TCoord2 c) {
    if (!InGrid(c)) return nullptr;
    auto* k = static_cast<TKeySprite*>(BoardKeys[c.x][c.y]);
    return k && !k->FDeaded ? k : nullptr;
}

TDragedKey* DragedKeySprite() {
    return TheDragedKey;
}

void CreateCellNestling(int x, int y) {
    auto* n = new TNestlingSprite(BoardParent());
    BoardNestlings[x][y] = n;
    n->pX = x;
    n->pY = y;
    n->FAnimStatus = 0;
    n->FKind = 61;
    n->SetZ(CellSlotZ({x, y}));
    n->SetAnim("Nestling_1_anim_caged.image", 0, pmPingPong, true, true, 0.28f, NestlingPatterns);
    const int code = CurrentLevel.Birds[x][y];
    if (code >= 61 && code <= 63) {
        n->FKind = code;
        n->FAnimPos = static_cast<float>(Random(NestlingPatterns));
        n->SetPatternIndex(static_cast<int>(n->FAnimPos));
        n->MakeChains(code - 60);
        n->FVisible = true;
    } else {
        n->PlaceOnCell();
        n->FVisible = false;
    }
}

void CreateCellKey(int x, int y) {
    if (!TheDragedKey && BoardParent()) TheDragedKey = new TDragedKey(BoardParent());
    auto* k = new TKeySprite(BoardParent());
    BoardKeys[x][y] = k;
    k->pX = x;
    k->pY = y;
    k->FKind = KeyKind;
    k->SetAnim(KeyImage(1), 0, pmForward, false, true, 0.0f, 1);
    k->SetZ(CellSlotZ({x, y}));
    k->PlaceOnCell();
    if (CurrentLevel.Birds[x][y] == ObjectKey)
        k->ShowKey();
    else
        k->FVisible = false;
}

bool IsNestlingAt(int x, int y) {
    const TNestlingSprite* n = NestlingAt({x, y});
    return n && n->Caged();
}

bool IsKeyAt(int x, int y) {
    const TKeySprite* k = KeyAt({x, y});
    return k && k->Standing();
}

int CountNestlings() {
    int n = 0;
    for (int x = FirstPlayableCell; x <= LastPlayableCell; ++x)
        for (int y = FirstPlayableCell; y <= LastPlayableCell; ++y) n += IsNestlingAt(x, y);
    return n;
}

int CountKeys(bool includeCarried) {
    int n = 0;
    for (int x = FirstPlayableCell; x <= LastPlayableCell; ++x)
        for (int y = FirstPlayableCell; y <= LastPlayableCell; ++y) n += IsKeyAt(x, y);
    if (includeCarried) n += CarriedKeys() + KeysUnderWay();
    return n;
}

bool LeaveKeyAt(TCoord2 c) {
    TKeySprite* k = KeyAt(c);
    if (!k) return false;
    k->ShowKey();
    return true;
}

void LiftKey(TCoord2 c) {
    TKeySprite* k = KeyAt(c);
    if (!k || !k->Standing() || !TheDragedKey) return;
    k->StopFx();
    k->FEffect = beAdd;
    TDragedKey& d = *TheDragedKey;
    d.AsssignBonus(*k);
    d.HangUnderPointer();
    d.FVisible = true;
}

LiftedObject LiftedKey() {
    if (!TheDragedKey || !TheDragedKey->InUse()) return {};
    return {TheDragedKey->Source(), TheDragedKey->FKind + 70};
}

void CancelKeyLift() {
    CancelLiftOf(TheDragedKey, KeyAt);
}

void StartKeyMove(const TCoords2Array& path, int kind) {
    CountMoveAndPutDown(TheDragedKey);
    if (path.size() < 2) return;
    TKeySprite* start = KeyAt(path.front());
    if (!start) return;
    auto* m = new TMovedKeySprite(BoardParent());
    m->FKind = kind;
    m->pX = path.front().x;
    m->pY = path.front().y;
    m->SetAnim(KeyImage(kind), 0, pmForward, false, true, 0.0f, 1);
    m->FX = start->FX;
    m->FY = start->FY;
    const TKeySprite* second = KeyAt(path[1]);
    SetOffAlongPath(*m, path, second ? second->FZ : CellSlotZ(path[1]));
    start->FEffect = beNormal;
    start->StopFx();
    start->FVisible = false;
}

int KeysUnderWay() {
    int n = 0;
    for (const TMovedKeySprite* m : BoardSpritesOf<TMovedKeySprite>()) n += m->UnderWay() ? 1 : 0;
    return n;
}

int NestlingsFlying() {
    return static_cast<int>(BoardSpritesOf<TKilledNestlingSprite>().size());
}

void OpenChain(TNestlingSprite& nestling, TPoint2 keyPos) {
    Salute(keyPos);
    const int left = nestling.DropTopChain();
    if (left > 0) {
        SfxByName("sfx_nestling_chain.ogg");
        AddLevelScore(ChainScore);
        BoardEffects::Flipbook f;
        f.Picture = "Nestling_1_chain_" + std::to_string(left + 1) + "_open.image";
        f.Pos = TPoint2{nestling.FX, nestling.FY};
        f.Centred = false;
        f.Speed = 0.5f;
        f.Patterns = NestlingPatterns;
        f.FadeSpeed = 7.0f;
        f.Z = nestling.FZ + 1;
        Effects().PlayFlipbook(f);
        return;
    }
    SfxByName("sfx_nestling_open.ogg");
    AddLevelScore(FreedNestlingScore);
    FreeNestling(nestling);
}

void AddNestlingsToSnapshot(BoardSnapshot& s) {
    for (int x = 0; x < BoardGridSize; ++x) {
        for (int y = 0; y < BoardGridSize; ++y) {
            s.Nestlings[x][y] = IsNestlingAt(x, y);
            s.Keys[x][y] = IsKeyAt(x, y);
        }
    }
    for (const TMovedKeySprite* m : BoardSpritesOf<TMovedKeySprite>())
        if (m->UnderWay()) s.Reserved.push_back(m->Destination());
}

void ClearNestlingsAndKeys() {
    for (auto* grid : {&BoardNestlings, &BoardKeys}) {
        for (auto& column : *grid) {
            for (auto*& sprite : column) {
                if (sprite && !sprite->FDeaded) sprite->Dead();
                sprite = nullptr;
            }
        }
    }
    for (auto* n : BoardSpritesOf<TKilledNestlingSprite>()) n->Dead();
    for (auto* m : BoardSpritesOf<TMovedKeySprite>()) m->Dead();
    if (TheDragedKey && !TheDragedKey->FDeaded) TheDragedKey->Dead();
    TheDragedKey = nullptr;
}

void ForgetNestlings() {
    TheDragedKey = nullptr;
}

} // namespace bw
