#include "effects/ParticleManager.h"

#include "data/KilnArchive.h"
#include "data/KilnImages.h"
#include "data/XmlParser.h"
#include "platform/Files.h"
#include "platform/Random.h"
#include "render/RecordingCanvas.h"

#include "../support/TempFolder.h"
#include "Engine/KilnSprite/SpriteTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>

namespace bw {
namespace {

constexpr float Pi = std::numbers::pi_v<float>;

// A manager with a recording canvas and one 8 x 8 picture of four patterns; installed as the
// application's manager for the length of a test.
class Particles : public ::testing::Test {
protected:
    Particles() : images(&canvas) {
        DisplayScale = {1.0f, 1.0f};
        WorldOffset = {0.0f, 0.0f};
        images.AddFromPixels(test::MakeSheet("Dot.image", 1, 16, 8));
        manager.FImages = &images;
        manager.FCanvas = &canvas;
        SetParticleManager(&manager);
        RandomSeed(7);
    }
    ~Particles() override { SetParticleManager(nullptr); }

    // A description of a system that emits `rate` particles per time unit for ever.
    static TXParticleSettings Emitter(int rate) {
        TXParticleSettings s = TXParticleSystem::DefaultSettings();
        s.Uid = "test";
        s.LifeTime = 1000.0f;
        s.EmissionRate = rate;
        s.ParticleLifeMin = s.ParticleLifeMax = 10.0f;
        return s;
    }

    static std::unique_ptr<TXMLNode> Parse(const std::string& text) {
        return XMLFromText(text, XmlNames::WithHyphen);
    }

    test::DisplayScaleGuard guard;
    RecordingCanvas canvas;
    TKilnImages images;
    TXParticleManager manager;
};

TEST_F(Particles, EmissionRoundsHalvesToEvenAndCarriesASignedResidue) {
    TXParticleSystem* system = manager.LaunchEx(Emitter(40), TPoint2{});
    ASSERT_NE(system, nullptr);
    std::vector<int> emitted;
    int before = 0;
    for (int i = 0; i < 10; ++i) {
        system->Update(0.01f);
        emitted.push_back(system->FParticlesAlive - before);
        before = system->FParticlesAlive;
    }
    EXPECT_EQ(emitted, (std::vector<int>{0, 1, 0, 1, 0, 0, 1, 0, 1, 0}));
    // 0.8 rounded to 1 leaves -0.2 behind after the second update; over 100 updates 40 come.
    for (int i = 0; i < 90; ++i) system->Update(0.01f);
    EXPECT_EQ(system->FParticlesAlive, 40);
}

TEST_F(Particles, IndexedThreadsFanOutOnOneSideOfTheDirection) {
    TXParticleSettings s = Emitter(1);
    s.ThreadCount = 4;
    s.ThreadIndexed = true;
    s.Spread = Pi / 2.0f; // 90 degrees
    s.VelMin = s.VelMax = 1.0f;
    TXParticleSystem* system = manager.LaunchEx(s, TPoint2{});
    ASSERT_NE(system, nullptr);
    // Emit one particle per update: rate 1 with steps of 1.
    std::vector<float> degrees;
    for (int i = 0; i < 5; ++i) {
        system->Update(1.0f);
        const TXParticle& p = system->FParticles.back();
        degrees.push_back(std::atan2(p.Velocity.x, p.Velocity.y) * 180.0f / Pi);
    }
    ASSERT_EQ(degrees.size(), 5u);
    const float expected[] = {0.0f, 22.5f, 45.0f, 67.5f, 0.0f};
    for (size_t i = 0; i < 5; ++i) EXPECT_NEAR(degrees[i], expected[i], 0.01f) << i;
}

TEST_F(Particles, ColoursClampAlphaTo254AndTheRestTo255) {
    TSmoothColor c{300.0f, 300.0f, -5.0f, 254.6f};
    c.Clamp();
    EXPECT_EQ(c.A, 254.0f);
    EXPECT_EQ(c.R, 255.0f);
    EXPECT_EQ(c.G, 0.0f);
    EXPECT_EQ(c.Pack(), 0xFEFF00FFu);
    // Packing rounds halves to even.
    EXPECT_EQ((TSmoothColor{2.5f, 3.5f, 0.5f, 1.5f}).Pack(), 0x02040002u);

    // A particle whose colour runs past the top ends at 254 alpha and 255 red.
    TXParticleSettings s = Emitter(100);
    s.ColorStart = 0xF0F00000;
    s.ColorMid = 0xFFFF0000;
    s.ColorEnd = 0xFFFF0000;
    TXParticleSystem* system = manager.LaunchEx(s, TPoint2{});
    system->Update(0.01f);
    ASSERT_GT(system->FParticlesAlive, 0);
    system->FParticles[0].ColorDelta = TSmoothColor{5000, 5000, 0, 0};
    system->Update(0.1f);
    EXPECT_EQ(system->FParticles[0].RenderColor >> 16, 0xFEFFu);
}

TEST_F(Particles, AnEmitterMovedWhileEmittingSpreadsItsParticlesAlongTheWay) {
    TXParticleSystem* system = manager.LaunchEx(Emitter(10000), TPoint2{100, 50});
    system->Move(TPoint2{100, 0}, false);
    system->Update(0.01f);
    ASSERT_EQ(system->FParticlesAlive, 100);
    float lo = 1e9f, hi = -1e9f;
    int firstHalf = 0;
    for (const TXParticle& p : system->FParticles) {
        EXPECT_FLOAT_EQ(p.Location.y, 50.0f);
        lo = std::min(lo, p.Location.x);
        hi = std::max(hi, p.Location.x);
        if (p.Location.x < 150.0f) ++firstHalf;
    }
    EXPECT_GE(lo, 100.0f);
    EXPECT_LE(hi, 200.0f);
    EXPECT_GT(hi - lo, 80.0f);
    EXPECT_NEAR(firstHalf, 50, 20);

    // After Stop the particles already out keep flying, and none are added.
    system->Stop(false);
    system->Update(0.01f);
    EXPECT_EQ(system->FParticlesAlive, 100);
}

TEST_F(Particles, TheLibraryHoldsAtMost250LiveSystemsAndAKilledReferenceStaysDead) {
    manager.Add(Emitter(1));
    std::vector<TXParticleSystem*> launched;
    for (int i = 0; i < MaxParticleSystems; ++i) launched.push_back(manager.Launch("TEST", {}));
    EXPECT_EQ(manager.FSysCount, 250);
    EXPECT_EQ(manager.Launch("test", {}), nullptr);
    EXPECT_EQ(manager.Launch("unknown", {}), nullptr);
    EXPECT_EQ(manager.Launch(5, {}), nullptr);

    TParticleRef first = launched.front();
    TParticleRef last = launched.back();
    first->Kill();
    EXPECT_EQ(manager.FSysCount, 249);
    EXPECT_FALSE(first);
    EXPECT_TRUE(last); // it took the freed slot and is still the same system
    EXPECT_EQ(manager.System(0), last.Get());
    // A new launch may reuse the memory; the old reference still says it is gone.
    TParticleRef again = manager.Launch("test", {});
    EXPECT_TRUE(again);
    EXPECT_FALSE(first);
    manager.KillPS(nullptr);
    manager.KillAll();
    EXPECT_EQ(manager.FSysCount, 0);
    EXPECT_FALSE(again);
}

TEST_F(Particles, StorageGrowsWithTheLiveParticlesOnly) {
    TXParticleSystem* system = manager.LaunchEx(Emitter(100), TPoint2{});
    EXPECT_EQ(system->FCapacity, ParticleCapacity);
    EXPECT_LT(system->FParticles.capacity(), 1000u);
    system->Update(0.1f);
    EXPECT_EQ(system->FParticlesAlive, 10);
    EXPECT_EQ(system->FParticles.size(), 10u);
}

TEST_F(Particles, EmptyPhasesAndZeroLifetimesGiveNoNaN) {
    for (const float middle : {0.0f, 1.0f}) {
        for (const float life : {0.0f, 0.5f}) {
            TXParticleSettings s = Emitter(1000);
            s.Middle = middle;
            s.ParticleLifeMin = s.ParticleLifeMax = life;
            s.FrameEnd = 3;
            s.ColorStart = 0xFFFFFFFF;
            s.ScaleEnd = TPoint2{3, 3};
            TXParticleSystem* system = manager.LaunchEx(s, TPoint2{});
            for (int i = 0; i < 80; ++i) {
                system->Update(0.01f);
                for (const TXParticle& p : system->FParticles) {
                    ASSERT_TRUE(std::isfinite(p.Scale.x) && std::isfinite(p.Frame) &&
                                std::isfinite(p.Color.A) && std::isfinite(p.Location.x))
                        << "middle " << middle << " life " << life;
                }
            }
            // Particles of a zero lifetime die in the update after their birth.
            if (life == 0.0f) {
                EXPECT_LE(system->FParticlesAlive, 10);
            }
            system->Kill();
        }
    }
}

TEST_F(Particles, StartNeedsALifetimeAndAnEmitter) {
    TXParticleSettings s = Emitter(100);
    s.LifeTime = 0.0f;
    TXParticleSystem* never = manager.LaunchEx(s, TPoint2{});
    EXPECT_EQ(never->FAge, -1.0f);
    never->Update(1.0f);
    EXPECT_EQ(never->FParticlesAlive, 0);

    TXParticleSystem* bare = manager.LaunchEx(Emitter(100), TPoint2{});
    bare->Stop(false);
    bare->RemoveAllEmitters();
    bare->Start();
    EXPECT_EQ(bare->FAge, -1.0f);
}

TEST_F(Particles, RenderDrawsOldestFirstUnlessBackwardAndCullsOutsideTheClip) {
    TXParticleSettings s = Emitter(100);
    s.TexUid = "Dot.image";
    s.Texture = images.GetImage("Dot.image");
    s.DrawFx = beAdd;
    TXParticleSystem* system = manager.LaunchEx(s, TPoint2{10, 10});
    // The clip rectangle was completed from the canvas.
    EXPECT_EQ(system->FSettings.ClipRect.right, 1920);
    EXPECT_EQ(system->FSettings.ClipRect.bottom, 1080);
    system->Update(0.02f);
    ASSERT_EQ(system->FParticlesAlive, 2);
    system->FParticles[0].Location = TPoint2{100, 100};
    system->FParticles[1].Location = TPoint2{300, 100};
    system->FParticles[1].Angle = Pi / 2.0f;
    canvas.Clear();
    manager.Render(0, 0);
    ASSERT_EQ(canvas.Quads().size(), 2u);
    EXPECT_EQ(canvas.Quads()[0].effect, beAdd);
    EXPECT_FLOAT_EQ(canvas.Quads()[0].corners[0].x, 96.0f); // 8 wide, centred
    // Turned by 90 degrees, the top-left corner goes to the top-right.
    EXPECT_NEAR(canvas.Quads()[1].corners[0].x, 304.0f, 1e-3);
    EXPECT_NEAR(canvas.Quads()[1].corners[0].y, 96.0f, 1e-3);

    system->FSettings.BackwardRender = true;
    canvas.Clear();
    system->Render(0, 0);
    ASSERT_EQ(canvas.Quads().size(), 2u);
    EXPECT_NEAR(canvas.Quads()[0].corners[2].x, 296.0f, 1e-3);

    system->FParticles[0].Location = TPoint2{-50, 100}; // wholly left of the clip
    canvas.Clear();
    system->Render(0, 0);
    EXPECT_EQ(canvas.Quads().size(), 1u);

    system->FManualRender = true;
    canvas.Clear();
    manager.Render(0, 0);
    EXPECT_TRUE(canvas.Quads().empty());
}

TEST_F(Particles, AssignedParticlesFlyOnWithoutNewEmission) {
    TXParticleSystem* source = manager.LaunchEx(Emitter(1000), TPoint2{});
    source->Update(0.05f);
    const int alive = source->FParticlesAlive;
    ASSERT_GT(alive, 0);
    TXParticleSystem* copy = manager.LaunchEx(Emitter(1000), TPoint2{500, 500});
    copy->AssignParticleSystem(source);
    EXPECT_EQ(copy->FPosition.x, 500.0f);
    source->Kill();
    copy->Stop(false);
    copy->Update(0.05f);
    EXPECT_EQ(copy->FParticlesAlive, alive);
}

// ---- Descriptions -----------------------------------------------------------------------------

const char* kFull = R"(<XParticles>
  <xsettings>
    <system uid="Sparks" lifetime="2.5" backwardrender="yes"/>
    <texture image="dot.image" pattern="1" drawfx="FXUADD"/>
    <particle lifemin="0.5" lifemax="1" middle="0.25"/>
    <color start="$80FF0000" mid="$FF00FF00" end="$000000FF" rnd="3"/>
    <anim frameend="3"/>
    <emission rate="40" direction="90" relative="yes" spread="45"><threads count="3"/></emission>
    <scale rnd="0.5"><start x="0.5" y="2"/><end x="3"/></scale>
    <spin min="-180" max="180"/>
    <forces><velocity min="1" max="2"/><gravity min="3" max="4"/><accel min="5" max="6"/>
      <tangaccel min="7" max="8"/></forces>
    <cliprect left="1" top="2" right="3" bottom="4"/>
    <emitters><point x="2.5" y="3.5"/><point x="-1" y="0"/></emitters>
  </xsettings>
</XParticles>)";

TEST_F(Particles, AnXSettingsElementReadsEveryFieldFromZero) {
    const auto root = Parse(kFull);
    ASSERT_NE(root, nullptr);
    TXParticleSystem reader(0);
    reader.FImages = &images;
    reader.ParseXML(*root->GetChild(0), "");
    const TXParticleSettings& s = reader.FSettings;
    EXPECT_EQ(s.Uid, "Sparks");
    EXPECT_FLOAT_EQ(s.LifeTime, 2.5f);
    EXPECT_TRUE(s.BackwardRender);
    EXPECT_EQ(s.Texture, images.GetImage("Dot.image"));
    EXPECT_EQ(s.Pattern, 1);
    EXPECT_EQ(s.DrawFx, beAdd);
    EXPECT_FLOAT_EQ(s.Middle, 0.25f);
    EXPECT_EQ(s.ColorStart, 0x80FF0000u);
    EXPECT_EQ(s.ColorEnd, 0x000000FFu);
    EXPECT_EQ(s.FrameEnd, 3);
    EXPECT_EQ(s.EmissionRate, 40);
    EXPECT_FLOAT_EQ(s.Direction, Pi / 2.0f);
    EXPECT_TRUE(s.Relative);
    EXPECT_FLOAT_EQ(s.Spread, Pi / 4.0f);
    EXPECT_EQ(s.ThreadCount, 3);
    EXPECT_EQ(s.ScaleStart, (TPoint2{0.5f, 2.0f}));
    EXPECT_EQ(s.ScaleMid, (TPoint2{1.0f, 1.0f})); // a missing element reads (1, 1)
    EXPECT_EQ(s.ScaleEnd, (TPoint2{3.0f, 1.0f}));
    EXPECT_FLOAT_EQ(s.SpinMin, -Pi);
    EXPECT_FLOAT_EQ(s.TangAccelMax, 8.0f);
    EXPECT_EQ(s.ClipRect, (TRect{1, 2, 3, 4}));
    // Emitters round halves to even.
    ASSERT_EQ(reader.EmitterCount(), 2);
    EXPECT_EQ(reader.FEmitters[0], (TPoint{2, 4}));

    // Without "scale" and "threads" the zero start shows.
    const auto bare = Parse("<xparticles><xsettings><system uid='x'/></xsettings></xparticles>");
    TXParticleSettings z;
    ReadParticleSettings(*bare->GetChild(0), z);
    EXPECT_EQ(z.ScaleStart, (TPoint2{0.0f, 0.0f}));
    EXPECT_EQ(z.ThreadCount, 0);
    EXPECT_EQ(z.DrawFx, beNormal);
}

// An archive of description records, written to a temporary folder.
class ParticleArchive : public Particles {
protected:
    void Write(std::vector<std::pair<std::string, std::string>> records) {
        const std::string path = folder.Path() + "/p.dan";
        {
            TKilnArchive out;
            out.SetOpenMode(aomOverwrite);
            ASSERT_TRUE(out.OpenFile(path));
            for (const auto& [key, text] : records)
                ASSERT_TRUE(out.WriteRecord(key, text.data(), text.size()));
        }
        archive.SetOpenMode(aomReadOnly);
        ASSERT_TRUE(archive.OpenFile(path));
    }
    testing::TempFolder folder;
    TKilnArchive archive;
};

TEST_F(ParticleArchive, RecordsNameTheirDescriptionsAndGroupsAreReadOnce) {
    const std::string one = "<xparticles><xsettings><system uid='inner'/></xsettings>";
    Write({
        {"Cats_5_Jump_Fx_1.xml", std::string(kFull)},
        {"Group.xml", "<xparticles><particle-group><particles source='Part.xml'/>"
                      "<particles source='Part.xml'/></particle-group></xparticles>"},
        {"Part.xml", one + "</xparticles>"},
        // A record naming itself and a pair naming each other end instead of recursing.
        {"Self.xml", "<unires><particle-group><particles source='self.xml'/></particle-group>" +
                         one.substr(12) + "</unires>"},
        {"Ping.xml", "<xparticles><particle-group><particles source='Pong.xml'/>"
                     "</particle-group></xparticles>"},
        {"Pong.xml", "<xparticles><particle-group><particles source='Ping.xml'/>"
                     "</particle-group></xparticles>"},
        {"Damaged.xml", "<xparticles><xsettings>"},
        {"Other.xml", "<root><xsettings/></root>"},
    });
    EXPECT_EQ(TXParticleManager::RecordsToRead(&archive), 8);
    int records = 0;
    manager.ParseAllXMLFilesFromArchive(&archive, [&] { ++records; });
    EXPECT_EQ(records, 8);
    // The capitals of a launch name do not matter; the record key names the description.
    EXPECT_EQ(manager.IndexOf("CATS_5_JUMP_FX_1.XML"), 0);
    EXPECT_EQ(manager.IndexOf("sparks"), -1);
    // The group adds its part under the group's name, twice (two "particles" elements).
    const int group = manager.IndexOf("group.xml");
    ASSERT_GE(group, 0);
    EXPECT_EQ(manager.Settings(group + 1).Uid, "group.xml");
    EXPECT_GE(manager.IndexOf("self.xml"), 0);
    EXPECT_EQ(manager.IndexOf("ping.xml"), -1);
    EXPECT_EQ(manager.IndexOf("damaged.xml"), -1);
    EXPECT_EQ(manager.IndexOf("other.xml"), -1);

    // Launched systems start with one emitter at (0, 0) until the record's are read.
    TXParticleSystem* system = manager.Launch("cats_5_jump_fx_1.xml", TPoint2{});
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(system->EmitterCount(), 1);
    EXPECT_FALSE(system->ParseEmittersRecord("Missing.xml", &archive));
    // Its emitters sit inside "xsettings", not under the root, so the record gives none.
    EXPECT_FALSE(system->ParseEmittersRecord("Cats_5_Jump_Fx_1.xml", &archive));
    EXPECT_EQ(system->EmitterCount(), 1);
}

TEST_F(ParticleArchive, EmitterSourcesComeOnlyFromTheDataFolder) {
    const std::string data = folder.Path() + "/Data";
    ASSERT_TRUE(CreateFolders(data));
    std::ofstream(data + "/em.xml") << "<xparticles><emitters><point x='7' y='8'/></emitters>"
                                       "</xparticles>";
    std::ofstream(folder.Path() + "/outside.xml")
        << "<xparticles><emitters><point x='9' y='9'/></emitters></xparticles>";
    std::ofstream(data + "/loop.xml")
        << "<xparticles><emitters source='loop.xml'><point x='1' y='1'/></emitters></xparticles>";
    Write({{"A.xml", "<xparticles><emitters source='Data\\em.xml'><point x='1' y='2'/>"
                     "</emitters></xparticles>"},
           {"B.xml", "<xparticles><emitters source='../outside.xml'/></xparticles>"},
           {"C.xml",
            "<xparticles><emitters source='" + folder.Path() + "/outside.xml'/></xparticles>"},
           {"D.xml", "<xparticles><emitters source='loop.xml'/></xparticles>"}});
    const TEmitterSourcePolicy policy{data, 4};
    TXParticleSystem system(10);
    ASSERT_TRUE(system.ParseEmittersRecord("A.xml", &archive, policy));
    EXPECT_EQ(system.FEmitters, (TEmitters{TPoint{7, 8}, TPoint{1, 2}}));
    ASSERT_TRUE(system.ParseEmittersRecord("B.xml", &archive, policy));
    EXPECT_TRUE(system.FEmitters.empty());
    ASSERT_TRUE(system.ParseEmittersRecord("C.xml", &archive, policy));
    EXPECT_TRUE(system.FEmitters.empty());
    // A file naming itself stops at the depth limit.
    ASSERT_TRUE(system.ParseEmittersRecord("D.xml", &archive, policy));
    EXPECT_EQ(system.EmitterCount(), 4);
}

TEST_F(Particles, MaskEmittersAndScalingRoundHalvesToEven) {
    TKilnImageData mask;
    mask.Name = "Mask.image";
    mask.PatternSize = mask.TextureSize = {3, 2};
    mask.PatternCount = 1;
    mask.Textures = {{0xFF000000, 0, 0xFF000000, 0, 0xFF000000, 0x80000000}};
    images.AddFromPixels(std::move(mask));
    TXParticleSystem system(10);
    system.EmittersAddFromTexture(*images.GetImage("Mask.image"), 0xFF000000);
    // Column by column.
    EXPECT_EQ(system.FEmitters, (TEmitters{TPoint{0, 0}, TPoint{1, 1}, TPoint{2, 0}}));
    system.ScaleEmitters(TPoint2{2.5f, 0.5f});
    EXPECT_EQ(system.FEmitters, (TEmitters{TPoint{0, 0}, TPoint{2, 0}, TPoint{5, 0}}));
}

} // namespace
} // namespace bw
