// The location files of the built data and what they name: every location in the built
// tData_Locations.dan reads, its cell picture has a pattern for every cell its layout can
// build (one-way cells included) and a centre for each, its walls have the patterns of their
// kind, and its decoration pictures and particle descriptions are in the archives loaded
// while the location is played. A typing slip in a location file fails here, not on screen.
#include "board/Location.h"
#include "board/LocationLayout.h"
#include "data/ArchiveAccess.h"
#include "data/ImageRecord.h"
#include "data/KilnArchive.h"
#include "data/KilnAuth.h"
#include "data/XmlLoad.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace bw {
namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(BW_TEST_BINARY_DIR) / "Data";

// The archives a location's pictures may come from: its own and the main picture archives,
// which are loaded for the whole game.
const char* const kMainPictureArchives[] = {"Objects", "Effects", "MainMenu", "Interface",
                                            "Dialogs", "Map",     "Common"};

std::unique_ptr<TKilnArchive> OpenBuilt(const std::string& name) {
    auto archive = std::make_unique<TKilnArchive>();
    archive->SetOpenMode(aomReadOnly);
    if (!archive->OpenFile((kData / (name + ".dan")).string())) return nullptr;
    return archive;
}

// The patterns of a picture, or -1 where none of the archives holds it.
int PatternsOf(const std::vector<TKilnArchive*>& archives, const std::string& image) {
    for (TKilnArchive* archive : archives) {
        if (archive->IndexOf(image) < 0) continue;
        std::vector<uint8_t> data;
        TKilnAuthSession auth(nullptr, archive);
        ImageRecordHeader header;
        if (!archive->ReadRecord(image, data) ||
            ReadImageRecordHeader(data.data(), data.size(), header) != ImageRecordResult::Ok)
            return -1;
        return static_cast<int>(header.PatternCount);
    }
    return -1;
}

// How many cell patterns the layout of the location can ask for.
int CellPatternsNeeded(const TLocationOptions& o) {
    const int a = o.FMapElementsAnimCount;
    switch (o.FKind) {
    case lockind_ClassicRoof:
        return a; // no one-way cells
    case lockind_Hangar:
        return std::max(a, LayoutSize(o).x); // one picture per column
    default:
        return a + 4; // the four one-way cells follow the ordinary patterns
    }
}

TEST(BuiltLocations, NameOnlyPicturesAndEffectsThatAreThere) {
    auto locations = OpenBuilt("tData_Locations");
    if (!locations) GTEST_SKIP() << "the data is not built: " << kData.string();
    auto particles = OpenBuilt("Particles_Loc");
    ASSERT_TRUE(particles);
    std::vector<std::unique_ptr<TKilnArchive>> main;
    for (const char* name : kMainPictureArchives)
        if (auto a = OpenBuilt(name)) main.push_back(std::move(a));

    int checked = 0;
    for (int n = 1; n <= 12; ++n) {
        const std::string key = LocationKey(n);
        if (locations->IndexOf(key) < 0) continue;
        SCOPED_TRACE(key);
        ++checked;
        TLocationOptions o;
        const auto tree = XMLFromArchive(key, locations.get());
        ASSERT_TRUE(ReadLocationOptions(tree.get(), key, o));

        auto own = OpenBuilt("Loc_" + std::to_string(n));
        ASSERT_TRUE(own) << "Loc_" << n << ".dan is missing";
        std::vector<TKilnArchive*> archives{own.get()};
        for (const auto& a : main) archives.push_back(a.get());

        // Board pictures are the location's own.
        const int needed = CellPatternsNeeded(o);
        EXPECT_GE(PatternsOf({own.get()}, o.FMapImage), needed) << o.FMapImage;
        EXPECT_GE(static_cast<int>(o.FMapCentres.size()), needed) << "MapCentres";
        if (!o.FWallsImage.empty()) {
            EXPECT_GE(PatternsOf({own.get()}, o.FWallsImage), o.FWallsKind == 0 ? 2 : 4)
                << o.FWallsImage;
        }

        auto expectPicture = [&](const std::string& image, int patterns) {
            EXPECT_GE(PatternsOf(archives, image), std::max(patterns, 1)) << image;
        };
        for (const auto& s : o.FLocObjects_Sprite) expectPicture(s.ImageName, s.AnimCount);
        for (const auto& s : o.FLocObjects_BlinkedSprite) expectPicture(s.ImageName, s.AnimCount);
        for (const auto& s : o.FLocObjects_TransformSprite)
            expectPicture(s.ImageName, s.AnimCount);
        for (const auto& s : o.FLocObjects_TextureOffset) expectPicture(s.ImageName, 1);
        for (const auto& p : o.FLocObjects_Particles) {
            EXPECT_GE(particles->IndexOf(p.System), 0) << p.System;
            if (!p.Texture.empty()) expectPicture(p.Texture, 1);
            if (!p.MaskImage.empty()) expectPicture(p.MaskImage, 1);
        }
        // A river location launches one step effect per map code instead: one for the
        // banks (code 1) and one for the river (code 2).
        if (o.FKind != lockind_River_1 && !o.FBirdsMoveFx.empty()) {
            EXPECT_GE(particles->IndexOf(o.FBirdsMoveFx), 0) << o.FBirdsMoveFx;
        }
        if (o.FKind == lockind_River_1 && !o.FBirdsMoveFx.empty()) {
            for (const char* code : {"_1.xml", "_2.xml"}) {
                EXPECT_GE(particles->IndexOf(o.FBirdsMoveFx + code), 0) << o.FBirdsMoveFx + code;
            }
        }
    }
    EXPECT_GE(checked, 1);
    UnlockArchiveAccess();
}

} // namespace
} // namespace bw
