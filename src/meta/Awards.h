// The awards: ten medals of three steps each, earned from the lifetime counters of the active
// profile, announced one after another by a popup over whatever scene runs, and shown on the
// awards screen over the main menu.
//
// The one door to them: every lifetime counter that grows checks its award here (the board and
// the actors through their host, which the level forwards), a won level checks the score and
// the completed tasks, and a profile change discards what waits to be announced.
#pragma once

#include "Engine/KilnSprite/KilnSprite.h"
#include "base/AwardIndex.h"
#include "data/TextRecords.h"
#include "effects/ParticleManager.h"

#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace bw {

class Scene;
class ScreenNotice;
class TButtonSprite2;
class TTextureOffsetSprite;

// A medal waiting for its announcement.
struct TNewAward {
    int Award = 0; // 1 .. 10
    int Medal = 0; // 1 .. 3
};

// The counter award `index` watches; 0 for any other index.
int AwardCounter(int index);
// The counter value that earns medal `medal` (1 .. 3) of award `index`; 0 outside the table.
int AwardThreshold(int index, int medal);

// One medal step for `index`, then the next announcement.
void CheckAward(AwardIndex index);
// CheckAward for every award, 1 to 10 in order.
void CheckAllAwards();
// Starts the popup for the oldest queued medal when none is on screen, and saves the profile.
void AnnounceNextAward();
// Empties the announcement queue and removes a running announcement.
void DiscardAwards();
// The medals waiting, oldest first.
const std::vector<TNewAward>& NewAwards();

// Sees every award checked, in order, before its medal step (tests watch the call points
// with it). Empty unless set.
std::function<void(AwardIndex)>& AwardCheckWatcher();

// The popup that announces one medal. It lives in MainEngine but neither moves nor draws with
// it: the screen notice moves it after each scene tick and draws it over everything.
class TNewAwardSprite : public TAnimatedSprite {
public:
    TNewAwardSprite(TSprite* parent, int award, int medal);
    ~TNewAwardSprite() override;

    int FShowStage = 1; // 1 .. 8
    double FTimeCounter = 0;
    TAnimatedSprite* FIconSprite = nullptr;
    TParticleRef FFx;
    int FAwardIndex = 0;
    int FMedal = 0;
    int FValue = 0;
    TTSText FText;

    void DoMove(float moveCount) override;
    void DoDraw() override;
};

// The popup on screen; null when none runs.
TNewAwardSprite* AwardPopup();
// Where a popup starts.
inline constexpr TPoint2 AwardPopupPos{740, 840};
// The notice the wiring installs: it moves and draws the popup.
std::unique_ptr<ScreenNotice> MakeAwardNotice();

// ---- The awards screen ---------------------------------------------------------------------

// The panel; it writes the screen's title.
class TAwardsPanelSprite : public TAnimatedSprite {
public:
    using TAnimatedSprite::TAnimatedSprite;
    void DoDraw() override;
};

// One award's tile: its icon, its progress bar with the three medal markers, and its name.
class TMMAwardSprite : public TAnimatedSprite {
public:
    TMMAwardSprite(TSprite* parent, int index, TPoint2 position);

    int FIndex = 0;
    TTSText FText;
    TAnimatedSprite* FLightSprite = nullptr;
    TAnimatedSprite* FIconSprite = nullptr;
    TAnimatedSprite* FBarSprite = nullptr;
    TTextureOffsetSprite* FProgressSprite = nullptr;
    std::array<TAnimatedSprite*, 3> FMedals{};

    // The bar shows the counter against the third threshold.
    void SetProgress(int counter);
    // Marks the tile and every sprite it owns for removal.
    void Kill();
    void DoDraw() override;
};

// The panel that follows the pointer over a tile: the award's description, its counter, the
// three thresholds and a tick beside each medal earned.
class TMMAwardsDescriptionPanel : public TAnimatedSprite {
public:
    explicit TMMAwardsDescriptionPanel(TSprite* parent);

    int FIndex = 0;
    int FValue = 0;
    std::array<TTSText, 10> FTexts;
    std::array<TAnimatedSprite*, 3> FMedals{};
    std::array<TAnimatedSprite*, 3> FCompleteIcons{};
    float FMedalsOffsetX = 0;

    void DoDraw() override;
};

// The progress sprite's render width for `counter` against the third threshold `top` and the
// picture's width: a part of the picture, or 0 (the whole picture) at 97 % and above.
int AwardProgressRenderWidth(int counter, int top, int imageWidth);
// Where the description panel of award `index` lies relative to the pointer.
TPoint2 AwardDescriptionOffset(int index);

void OpenAwards();
void CloseAwards();
bool AwardsOpen();
// The sprite the pointer reached while the awards screen is the current scene.
void AwardsInput(TSprite& sprite);
// Once per update with the hovered award (0 for none).
void UpdateAwardDescription(int index);
// The screen's sprites while it is open (tests look at them); null otherwise.
TMMAwardSprite* AwardTile(int index);
TMMAwardsDescriptionPanel* AwardDescription();
TButtonSprite2* AwardsBackButton();
TAnimatedSprite* AwardsShade();

std::unique_ptr<Scene> MakeAwardsScene();

} // namespace bw
