// The effects module's side of the board's effects: bursts, flip-books and splinters become
// the effect sprites of EffectSprites.h, owned systems are particle systems of the manager.
// The description records are looked up in the particle archives in the order given.
#pragma once

#include "board/BoardEffects.h"

#include <vector>

namespace bw {

class TKilnArchive;

class GameBoardEffects final : public BoardEffects {
public:
    // The archives that hold description records (null entries are skipped); without any,
    // the game's particle archives.
    void SetArchives(std::vector<TKilnArchive*> archives) { FArchives = std::move(archives); }
    // The archive whose record of that name holds a description's emitters, or null.
    TKilnArchive* RecordArchive(const std::string& name) const;

    void Burst(const std::string& name, TPoint2 pos, int z, int count, float step) override;
    void PlayFlipbook(const Flipbook& flipbook) override;
    void PlayTimed(const Timed& timed) override;
    void DropSplinter(const Splinter& splinter) override;
    std::unique_ptr<BoardParticles> Own(const std::string& name, TPoint2 pos) override;
    void FadeOut(std::unique_ptr<BoardParticles> particles, int z, float step) override;
    void ClearAll() override;
    int LiveSystems() const override;

private:
    std::vector<TKilnArchive*> FArchives;
};

// The instance GameWiring installs.
GameBoardEffects& TheBoardEffects();

} // namespace bw
