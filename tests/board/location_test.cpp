#include "board/Location.h"

#include "board/BoardHost.h"
#include "board/LocationObjects.h"
#include "data/KilnArchive.h"
#include "data/XmlParser.h"
#include "platform/Log.h"

#include "Engine/KilnSprite/SpriteTestSupport.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace bw {
namespace {

TLocationOptions Read(const std::string& body, TLocationOptions start = {}) {
    TLocationOptions o = std::move(start);
    EXPECT_TRUE(LoadLocationFromText("<location>" + body + "</location>", "location_1.xml", o));
    return o;
}

// ---- Reading ------------------------------------------------------------------------------

TEST(LocationReader, WallsSurviveAResetAndALocationWithoutWalls) {
    TLocationOptions o = Read(R"(<settings><Walls Kind="2" Image="Wall_3.image"/>
        <Map Image="Cells_3.image"/><MapSize X="8" Y="7"/><MapElementsAnimCount Value="6"/>
        <MapElementsChessOrder Value="no"/><MapElementsScale X="0.5" Y="0.75"/>
        <MapCentres><point x="1" y="2"/></MapCentres></settings>
        <objects><sprite ImageName="Sky.image"/></objects>)");
    ASSERT_EQ(o.FWallsImage, "Wall_3.image");

    o = Read(R"(<settings><MapSize X="4" Y="4"/></settings>)", std::move(o));
    EXPECT_EQ(o.FWallsKind, 2);
    EXPECT_EQ(o.FWallsImage, "Wall_3.image");
    // Everything else starts again from the reset values.
    EXPECT_EQ(o.FMapImage, "");
    EXPECT_EQ(o.FMapSize, (TCoord2{4, 4}));
    EXPECT_EQ(o.FMapElementsAnimCount, 1);
    EXPECT_TRUE(o.FMapElementsChessOrder);
    EXPECT_EQ(o.FMapElementsScale, (TPoint2{1, 1}));
    EXPECT_TRUE(o.FMapCentres.empty());
    EXPECT_TRUE(o.FLocObjects_Sprite.empty());

    // A location that names walls replaces them, and an empty image means no walls.
    o = Read(R"(<settings><Walls Kind="0" Image=""/></settings>)", std::move(o));
    EXPECT_EQ(o.FWallsKind, 0);
    EXPECT_EQ(o.FWallsImage, "");
}

TEST(LocationReader, SettingsConversions) {
    const auto chess = [](const char* value) {
        return Read(std::string("<settings><MapElementsChessOrder Value=\"") + value +
                    "\"/></settings>")
            .FMapElementsChessOrder;
    };
    EXPECT_FALSE(chess("1"));
    EXPECT_TRUE(chess("YES"));
    EXPECT_TRUE(chess("True"));
    EXPECT_FALSE(chess(""));

    const TLocationOptions o = Read(R"(<settings>
        <ShowPath_OffsetX X="12" Y="-7"/>
        <MapTag X="0.5" Y="2.5"/>
        <MapCentres><point x="65" y="60.5"/><Point x="1" y="1"/><point y="3"/></MapCentres>
        <MapCentres><point x="9" y="9"/></MapCentres>
        <options Kind="6"/><Birds MoveFx="Splash"/>
        <MapElementCollideSize X="30" Y="25"/><MapElementsOffset X="3" Y="-4"/></settings>)");
    EXPECT_EQ(o.FShowPath_Offset, (TCoord2{12, -7}));
    EXPECT_EQ(o.FMapTag, (TPoint2{0.5f, 2.5f}));
    // Only children named exactly "point" count; a missing coordinate is 0; lists append.
    ASSERT_EQ(o.FMapCentres.size(), 3u);
    EXPECT_EQ(o.FMapCentres[0], (TPoint2{65, 60.5f}));
    EXPECT_EQ(o.FMapCentres[1], (TPoint2{0, 3}));
    EXPECT_EQ(o.FMapCentres[2], (TPoint2{9, 9}));
    EXPECT_EQ(o.FKind, lockind_River_1);
    EXPECT_EQ(o.FBirdsMoveFx, "Splash");
    EXPECT_EQ(o.FMapElementCollideSize, (TCoord2{30, 25}));
    EXPECT_EQ(o.FMapElementsOffset, (TCoord2{3, -4}));

    // A kind outside the enumeration is the default layout.
    EXPECT_EQ(Read(R"(<settings><options Kind="7"/></settings>)").FKind, lockind_Default);

    // A pattern count below 0 is none; a huge one is held to what a picture can have, so
    // that the one-way patterns after the ordinary ones stay countable.
    const auto patterns = [](const char* value) {
        return Read(std::string("<settings><MapElementsAnimCount Value=\"") + value +
                    "\"/></settings>")
            .FMapElementsAnimCount;
    };
    EXPECT_EQ(patterns("-3"), 0);
    EXPECT_EQ(patterns("2147483647"), MaxMapElementsAnimCount);
    EXPECT_EQ(patterns("12"), 12);
}

TEST(LocationReader, SectionsRepeatInDocumentOrder) {
    const TLocationOptions o = Read(R"(
        <settings><MapSize X="5" Y="5"/><options Kind="1"/></settings>
        <objects><options Kind="5"/><sprite ImageName="Train.image" X="10"/></objects>
        <SETTINGS><MapSize X="8" Y="9"/></SETTINGS>
        <objects><sprite ImageName="Wagon.image" X="20"/><Sprite ImageName="Ignored"/></objects>)");
    EXPECT_EQ(o.FMapSize, (TCoord2{8, 9}));
    EXPECT_EQ(o.FKind, lockind_Train);
    ASSERT_EQ(o.FLocObjects_Sprite.size(), 2u);
    EXPECT_EQ(o.FLocObjects_Sprite[0].ImageName, "Train.image");
    EXPECT_EQ(o.FLocObjects_Sprite[1].X, 20);
}

TEST(LocationReader, ObjectDescriptions) {
    const TLocationOptions o = Read(R"(<objects>
        <sprite ImageName="Tree.image" X="1" Y="2" Z="3" ScaleX="1.5" ScaleY="0.5" Alpha="128"
                Fx="3" AnimCount="4" AnimSpeed="0.25" AnimPlayMode="2"/>
        <sprite ImageName="Bare.image" Alpha="999" Fx="42" AnimPlayMode="9"/>
        <blinkedsprite ImageName="Lamp.image" Alpha="200" Blink_Interval_min="5"
                Blink_Interval_max="20" Blink_Speed="0.1" Blink_Count="3" Blink_AlphaMin="10"/>
        <texOffset ImageName="Clouds.image" X="-5" Y="6" Z="1" Alpha="90" Fx="2" Speed_x="0.001"
                Speed_y="-0.5" RenderSize_x="1920" RenderSize_y="300"/>
        <transformsprite ImageName="Leaf.image" X="7" ti_1_EnabledX="yes" ti_1_EnabledY="1"
                ti_1_RadiusX="4.5" ti_1_RadiusY="2" ti_1_Speed="8" ti_4_EnabledY="TRUE"
                ti_4_RadiusY="3"/>
        <particle System="Fireflies" MaskImage="Mask.image" Texture="Dot.image" X="100" Y="200"
                Z="9" Scale="2" EmisionMultiply="0.5"/></objects>)");

    ASSERT_EQ(o.FLocObjects_Sprite.size(), 2u);
    const TLocationObject_Sprite& s = o.FLocObjects_Sprite[0];
    EXPECT_EQ(s.ImageName, "Tree.image");
    EXPECT_EQ(s.Z, 3);
    EXPECT_FLOAT_EQ(s.ScaleX, 1.5f);
    EXPECT_EQ(s.Alpha, 128);
    EXPECT_EQ(s.Fx, beAdd);
    EXPECT_EQ(s.AnimCount, 4);
    EXPECT_FLOAT_EQ(s.AnimSpeed, 0.25f);
    EXPECT_EQ(s.AnimPlayMode, pmPingPong);
    // Values outside their ranges fall back to something drawable.
    const TLocationObject_Sprite& bare = o.FLocObjects_Sprite[1];
    EXPECT_EQ(bare.Alpha, 255);
    EXPECT_EQ(bare.Fx, beNormal);
    EXPECT_EQ(bare.AnimPlayMode, pmForward);
    EXPECT_FLOAT_EQ(bare.ScaleX, 1.0f);
    EXPECT_EQ(bare.AnimCount, 1);

    ASSERT_EQ(o.FLocObjects_BlinkedSprite.size(), 1u);
    const TBlinkedOptions& b = o.FLocObjects_BlinkedSprite[0].BlinkOptions;
    EXPECT_EQ(b.Interval_min, 5);
    EXPECT_EQ(b.Interval_max, 20);
    EXPECT_FLOAT_EQ(b.Speed, 0.1f);
    EXPECT_EQ(b.Count, 3);
    EXPECT_EQ(b.AlphaMin, 10);

    ASSERT_EQ(o.FLocObjects_TextureOffset.size(), 1u);
    const TLocationObject_TextureOffset& t = o.FLocObjects_TextureOffset[0];
    EXPECT_EQ(t.X, -5);
    EXPECT_EQ(t.Fx, beShadow);
    EXPECT_EQ(t.Speed, (TPoint2{0.001f, -0.5f}));
    EXPECT_EQ(t.RenderSize, (TPoint{1920, 300}));

    ASSERT_EQ(o.FLocObjects_TransformSprite.size(), 1u);
    const TTransformInfoClass& ti = o.FLocObjects_TransformSprite[0].TransformInfo;
    EXPECT_TRUE(ti[0].EnabledX);
    EXPECT_FALSE(ti[0].EnabledY); // "1" is not true
    EXPECT_DOUBLE_EQ(ti[0].RadiusX, 4.5);
    EXPECT_DOUBLE_EQ(ti[0].Speed, 8.0);
    EXPECT_FALSE(ti[1].EnabledX || ti[1].EnabledY || ti[2].EnabledX || ti[2].EnabledY);
    EXPECT_TRUE(ti[3].EnabledY);
    EXPECT_DOUBLE_EQ(ti[3].RadiusY, 3.0);

    ASSERT_EQ(o.FLocObjects_Particles.size(), 1u);
    const TLocationObject_Particle& p = o.FLocObjects_Particles[0];
    EXPECT_EQ(p.System, "Fireflies");
    EXPECT_EQ(p.MaskImage, "Mask.image");
    EXPECT_EQ(p.Texture, "Dot.image");
    EXPECT_EQ(p.Z, 9);
    EXPECT_FLOAT_EQ(p.Scale, 2.0f);
    EXPECT_FLOAT_EQ(p.EmisionMultiply, 0.5f);
}

TEST(LocationReader, RootAndFileName) {
    TLocationOptions o;
    EXPECT_TRUE(LoadLocationFromText("<LOCATION/>", "Data/locs/location_4.xml", o));
    EXPECT_EQ(o.FLocationFileName, "location_4.xml");

    o.FWallsImage = "Wall.image";
    EXPECT_FALSE(LoadLocationFromText(
        R"(<level><settings><MapSize X="8" Y="8"/></settings></level>)", "location_5.xml", o));
    EXPECT_EQ(o.FMapSize, (TCoord2{0, 0}));
    EXPECT_EQ(o.FLocationFileName, "");
    EXPECT_EQ(o.FWallsImage, "Wall.image");
    EXPECT_FALSE(LoadLocationFromText("not xml at all <", "location_6.xml", o));
    EXPECT_FALSE(ReadLocationOptions(nullptr, "location_7.xml", o));
}

// ---- Applying -----------------------------------------------------------------------------

constexpr char FullLocation[] = R"(<location>
    <settings><MapSize X="8" Y="8"/><Walls Kind="1" Image="Wall.image"/></settings>
    <objects>
      <sprite ImageName="Sheet.image" X="10" Y="20" Z="-5" Alpha="100" AnimCount="3"
              AnimSpeed="0.5"/>
      <sprite ImageName="Sheet.image" X="30" Y="40"/>
      <blinkedsprite ImageName="Sheet.image" Alpha="200" Blink_Count="3" Blink_Speed="0.1"/>
      <texOffset ImageName="Sheet.image" X="1" Y="2" Speed_x="0.01" RenderSize_x="500"/>
      <transformsprite ImageName="Sheet.image" X="50" Y="60" ti_2_EnabledX="yes"
              ti_2_RadiusX="5" ti_2_Speed="4"/>
      <particle System="Smoke" X="5" Y="6" Z="7"/>
    </objects></location>)";

class LocationApply : public test::SpriteFixture {
protected:
    void SetUp() override {
        LeaveLocation();
        LocationOptions() = {};
        SetBoardHost(&host);
    }
    void TearDown() override {
        LeaveLocation();
        SetBoardHost(nullptr);
        LocationOptions() = {};
    }

    // Counts how often the location's ambience is stopped.
    struct AmbienceHost final : BoardHost {
        int stops = 0;
        void StopAmbience() override { ++stops; }
    };
    AmbienceHost host;

    // An archive holding the records, opened for reading.
    void WriteArchive(std::initializer_list<std::pair<const char*, const char*>> records) {
        for (const auto& [key, text] : records) {
            const auto tree = XMLFromText(text);
            ASSERT_TRUE(tree);
            ASSERT_TRUE(tree->SaveToArchive(key, folder.File("locations.dan")));
        }
        archive.SetOpenMode(aomReadOnly);
        ASSERT_TRUE(archive.OpenFile(folder.File("locations.dan")));
    }

    static int Live(const TSpriteEngine& e) {
        int n = 0;
        for (const TSprite* s : e.Items())
            if (!s->FDeaded) ++n;
        return n;
    }

    testing::TempFolder folder;
    TKilnArchive archive;
};

TEST_F(LocationApply, CreatesTheDecorationAndRestartsLeaveOneSet) {
    WriteArchive({{"location_2.xml", FullLocation}});
    int& stops = host.stops;

    for (int restart = 0; restart < 3; ++restart) {
        ApplyLocation("location_2.xml", &archive, engine);
        engine.Dead();
    }
    EXPECT_EQ(stops, 3);
    EXPECT_EQ(engine.GetCount(), 6);
    EXPECT_EQ(LocationOptions().FLocationFileName, "location_2.xml");
    EXPECT_EQ(LocationOptions().FMapSize, (TCoord2{8, 8}));

    const LocationDecoration& s = LocationSprites();
    ASSERT_EQ(s.Sprites.size(), 2u);
    ASSERT_EQ(s.BlinkedSprites.size(), 1u);
    ASSERT_EQ(s.TexOffsets.size(), 1u);
    ASSERT_EQ(s.Transforms.size(), 1u);
    ASSERT_EQ(s.Particles.size(), 1u);
    const TLocationObject& first = *s.Sprites[0];
    EXPECT_EQ(first.FParent, &engine);
    EXPECT_EQ(first.FIndex, 0);
    EXPECT_EQ(s.Sprites[1]->FIndex, 1);
    EXPECT_EQ(first.FZ, -5);
    EXPECT_EQ(first.FAlpha, 100);
    EXPECT_TRUE(first.FDoAnimate);
    EXPECT_FALSE(s.Sprites[1]->FDoAnimate);
    EXPECT_EQ(s.TexOffsets[0]->fRenderSize, (TPoint{500, 0}));
    EXPECT_EQ(s.Transforms[0]->FDrawMode, 3);
    EXPECT_TRUE(s.Transforms[0]->FTransformInfo[1].EnabledX);
    EXPECT_EQ(s.Particles[0]->FDescription.System, "Smoke");
    EXPECT_EQ(LocationTrainObject(), nullptr); // not a train layout

    LeaveLocation();
    EXPECT_EQ(stops, 4);
    engine.Dead();
    EXPECT_EQ(engine.GetCount(), 0);
    EXPECT_TRUE(LocationSprites().Sprites.empty());
}

TEST_F(LocationApply, MissingRecordOrWrongRootGivesAnEmptyBoard) {
    WriteArchive(
        {{"location_2.xml", FullLocation},
         {"location_3.xml", R"(<level><settings><MapSize X="8" Y="8"/></settings></level>)"}});
    ASSERT_TRUE(ApplyLocation("location_2.xml", &archive, engine));
    ASSERT_EQ(Live(engine), 6);

    for (const char* key : {"location_3.xml", "location_9.xml"}) {
        EXPECT_FALSE(ApplyLocation(key, &archive, engine)) << key;
        EXPECT_EQ(LocationOptions().FMapSize, (TCoord2{0, 0})) << key;
        EXPECT_EQ(Live(engine), 0) << key;
        // The walls of the location before stay.
        EXPECT_EQ(LocationOptions().FWallsImage, "Wall.image") << key;
    }
    ApplyLocation("location_2.xml", nullptr, engine);
    EXPECT_EQ(LocationOptions().FMapSize, (TCoord2{0, 0}));
}

// The log says what failed: a record that is there but does not parse is not "not found".
TEST_F(LocationApply, TheLogSaysWhetherTheRecordIsMissingUnreadableOrDoesNotParse) {
    {
        const std::string cut = "<location><settings><MapSize X=\"8\"";
        TKilnArchive writer;
        writer.SetOpenMode(aomUpdate);
        ASSERT_TRUE(writer.OpenFile(folder.File("locations.dan")));
        ASSERT_TRUE(writer.WriteRecord("location_4.xml", cut.data(), cut.size(), artFile));
    }
    WriteArchive({{"location_2.xml", FullLocation}});
    std::vector<std::string> log;
    SetLogListener([&](const std::string& line) { log.push_back(line); });
    EXPECT_FALSE(ApplyLocation("location_4.xml", &archive, engine));
    EXPECT_FALSE(ApplyLocation("location_9.xml", &archive, engine));
    EXPECT_FALSE(ApplyLocation("location_2.xml", nullptr, engine));
    SetLogListener(nullptr);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_NE(
        log[0].find("Location \"location_4.xml\" (" + archive.FileName() + ") does not parse"),
        std::string::npos)
        << log[0];
    EXPECT_NE(log[1].find("location_9.xml\" (" + archive.FileName() + ") not found"),
              std::string::npos)
        << log[1];
    EXPECT_NE(log[2].find("cannot be read: the archive is not open"), std::string::npos) << log[2];
}

TEST_F(LocationApply, SpritesFreedWithTheirParentLeaveNoDanglingEntries) {
    {
        TSpriteEngine scene(&canvas, &images);
        ASSERT_TRUE(LoadLocationFromText(FullLocation, "location_2.xml", LocationOptions()));
        LocationOptions().FKind = lockind_Train;
        CreateLocationDecoration(scene);
        ASSERT_NE(LocationTrainObject(), nullptr);
    }
    // The scene went away before the location was left.
    EXPECT_EQ(LocationTrainObject(), nullptr);
    EXPECT_EQ(LocationSprites().Sprites[0], nullptr);
    LeaveLocation();
    EXPECT_TRUE(LocationSprites().Particles.empty());
}

} // namespace
} // namespace bw
