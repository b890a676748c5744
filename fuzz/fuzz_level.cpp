// Reads arbitrary bytes as a level file and as a levels list, and checks what the board code
// relies on: nothing outside the playable cells, no negative codes or weights, counts that
// match the record and stay within the board, and a level without cells never passing
// without a finding.
#include "FuzzFail.h"
#include "board/LevelData.h"
#include "board/LevelFindings.h"
#include "data/XmlLoad.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void CheckLevel(const bw::TLevel_Data& d) {
    int cats = 0;
    int nestlings = 0;
    for (int x = 0; x < bw::BoardGridSize; ++x) {
        for (int y = 0; y < bw::BoardGridSize; ++y) {
            const int32_t cell = d.Map[x][y];
            const int32_t object = d.Birds[x][y];
            if (cell < 0 || object < 0) Fail("negative code");
            if (!bw::IsPlayableCell(x, y) && (cell != 0 || object != 0)) Fail("border written");
            if (bw::ClassifyObjectCode(object) == bw::objkind_Cat) ++cats;
            if (bw::ClassifyObjectCode(object) == bw::objkind_Nestling) ++nestlings;
        }
    }
    for (const int32_t weight : d.Kinds)
        if (weight < 0) Fail("negative kind weight");
    if (d.Kinds[0] != 0) Fail("kind weight 0 written");
    if (d.CatsMaxCommon != static_cast<int32_t>(d.Cats.size()) + cats) Fail("cat count");
    if (d.NestlingsMaxCommon != nestlings) Fail("nestling count");
    if (d.Music.Count != static_cast<int32_t>(d.Music.Tracks.size())) Fail("track count");
    for (const bw::TLevelData_Cat& cat : d.Cats) {
        if (cat.Droped) Fail("cat entry dropped after loading");
        if (cat.Count < 0 || cat.Count > bw::MaxLevelPieces) Fail("cat count beyond the board");
    }
    for (const auto* gen :
         {&d.BoundedBirds.MaxAtOneTime, &d.Crows.MaxAtOneTime, &d.Walls_1.MaxAtOneTime,
          &d.Walls_2.MaxAtOneTime, &d.BoundedBirds.MaxAtLevel, &d.Crows.MaxAtLevel,
          &d.Walls_1.MaxAtLevel, &d.Walls_2.MaxAtLevel, &d.GenerateBirdsCount})
        if (*gen < 0 || *gen > bw::MaxLevelPieces) Fail("generation beyond the board");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto tree = bw::XMLFromBytes(data, size);

    bw::TLevel_Data level;
    bw::LoadLevelFromTree(tree.get(), "Levels\\fuzz.xml", level);
    CheckLevel(level);
    // Read again over the first result: what carries over must not break anything either.
    bw::LoadLevelFromTree(tree.get(), "fuzz.xml", level);
    CheckLevel(level);
    const auto findings = bw::LevelFileFindings(tree.get(), level);
    if (!bw::LevelHasCells(level) && findings.empty()) Fail("a level without cells unreported");
    for (const std::string& finding : findings)
        if (finding.empty()) Fail("empty finding");

    bw::TLevelsList list{{1, "before", {2, 3}}};
    const bool read = bw::LoadLevelsListFromTree(tree.get(), list);
    if (read && list.size() != static_cast<size_t>(tree->ChildCount())) Fail("list length");
    if (!read && (list.size() != 1 || list[0].FileName != "before")) Fail("list changed");

    for (const int32_t n :
         bw::ParseIntegerList(std::string_view(reinterpret_cast<const char*>(data), size)))
        if (n < 0) Fail("negative number in a list");
    return 0;
}
