// The buttons in the running game: a small Data folder made here, a scene with two buttons,
// a script that hovers one and clicks it, and the screenshots of the result.
#include "Engine/KilnSprite/SpriteEngine.h"
#include "base/GameObjects.h"
#include "base/GameState.h"
#include "data/ImageRecord.h"
#include "data/KilnArchive.h"
#include "data/KilnFonts.h"
#include "data/Xml.h"
#include "gui/ButtonProtocol.h"
#include "gui/ButtonSprites.h"
#include "platform/Files.h"
#include "platform/PictureFile.h"
#include "replay/Replay.h"
#include "support/ScriptedScene.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace bw {
namespace {

class TempData {
public:
    TempData() {
        root_ =
            (std::filesystem::temp_directory_path() / ("bw-buttons-" + std::to_string(::getpid())))
                .string();
        std::filesystem::remove_all(root_);
        CreateFolders(JoinPath(root_, "Data"));
    }
    ~TempData() { std::filesystem::remove_all(root_); }
    std::string Path(const std::string& p) const { return JoinPath(root_, p); }

private:
    std::string root_;
};

void AddImage(TKilnArchive& archive, const std::string& key, int w, int h, uint32_t fill,
              uint32_t border) {
    TKilnImageData data;
    data.Name = key;
    data.PatternSize = {w, h};
    data.TextureSize = {w, h};
    data.PatternCount = 1;
    std::vector<uint32_t> px(static_cast<size_t>(w * h), fill);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (x < 3 || y < 3 || x >= w - 3 || y >= h - 3)
                px[static_cast<size_t>(y * w + x)] = border;
    data.Textures.push_back(px);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(EncodeImageRecord(data, bytes));
    ASSERT_TRUE(archive.WriteRecord(key, bytes.data(), bytes.size(), artImage, 45000.0));
}

// A blocky font: every printable ASCII letter is a filled 12 x 20 box in a 16 x 24 cell.
void AddFont(TKilnArchive& archive, const std::string& name) {
    const int cols = 16, cell = 16, rows = 6;
    TKilnImageData data;
    data.Name = name + ".image";
    data.PatternSize = {cols * cell, rows * 24};
    data.TextureSize = data.PatternSize;
    data.PatternCount = 1;
    std::vector<uint32_t> px(static_cast<size_t>(cols * cell * rows * 24), 0x00FFFFFF);
    FontDescription desc;
    desc.FontSize = {16, 24};
    for (int c = 33; c < 127; ++c) {
        const int i = c - 32, gx = (i % cols) * cell, gy = (i / cols) * 24;
        for (int y = 2; y < 22; ++y)
            for (int x = 2; x < 14; ++x)
                px[static_cast<size_t>((gy + y) * cols * cell + gx + x)] = 0xFFFFFFFF;
        FontGlyph g;
        g.Code = static_cast<char16_t>(c);
        g.Entry = LetterEntry{0, gx, gy, 16, 24, 0, 0};
        desc.Glyphs.push_back(g);
    }
    data.Textures.push_back(px);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(EncodeImageRecord(data, bytes));
    ASSERT_TRUE(
        archive.WriteRecord(name + ".image", bytes.data(), bytes.size(), artImage, 45000.0));
    const std::string xml = WriteFontDescription(desc)->GetCode();
    ASSERT_TRUE(archive.WriteRecord(name + ".xml", xml.data(), xml.size(), artFile, 45000.0));
}

uint32_t Pixel(const Picture& p, int x, int y) {
    return p.argb[static_cast<size_t>(y * p.width + x)];
}
int Brightness(uint32_t c) {
    return static_cast<int>(ColorRed(c) + ColorGreen(c) + ColorBlue(c));
}

TEST(ButtonsInTheGame, HoverGlowsAndAClickReportsTheButtonName) {
    TempData tmp;
    {
        TKilnArchive common;
        common.SetOpenMode(aomOverwrite);
        ASSERT_TRUE(common.OpenFile(tmp.Path("Data/Common.dan")));
        AddImage(common, "blackpixel.image", 1, 1, 0xFF000000, 0xFF000000);
        AddImage(common, "Cursor_image.image", 16, 16, 0xFFFFFFFF, 0xFF000000);
        AddImage(common, "Button_1_160.image", 160, 80, 0xFF3080F0, 0xFF102040);
        AddImage(common, "Button_1_160_gs.image", 160, 80, 0xFF808080, 0xFF404040);
        TKilnArchive fonts;
        fonts.SetOpenMode(aomOverwrite);
        ASSERT_TRUE(fonts.OpenFile(tmp.Path("Data/Fonts.dan")));
        AddFont(fonts, "WhizBangPow_Toon_32_1");
        AddFont(fonts, "WhizBangPow_Shadow_32_1");
    }

    std::vector<TButtonName> clicked;
    auto buildMenu = [] {
        CurrentScene = scene_MainMenu;
        TTSTextButton caption;
        caption.Text = {"OK"};
        caption.Scale = {1, 1};
        caption.ButtonWidth = 160;
        caption.ButtonScale = {1, 1};
        const TButtonName names[2] = {button_MM_MainMenu_Options, button_MM_MainMenu_Credits};
        for (int i = 0; i < 2; ++i) {
            auto* b = new TButtonSprite2(MainEngine);
            b->SetButtonImage("Button_1");
            b->SetParameters(caption);
            b->SetPosition({200.0f + 400.0f * static_cast<float>(i), 300.0f});
            b->SetButtonName(names[i]);
            b->SetLightFadeSpeed(7);
            b->SetZ(100);
            b->UpdateCollisionParameters();
        }
    };
    ReplaySettings rs;
    rs.afterWiring = [&] {
        testing::Script(scene_Splash).onCreate = buildMenu;
        testing::Script(scene_MainMenu).onHit = [&](TSprite& s) {
            HandleButtonHit(s, MenuButtonHover, [&](TButtonName n) { clicked.push_back(n); });
        };
    };
    rs.home = tmp.Path("home");
    rs.data = tmp.Path("Data");
    rs.size = {960, 540};
    rs.ticks = 60;
    std::string error;
    // Hover the second button for a while, then click it, then leave.
    ASSERT_TRUE(ParseReplayScript("5 move 680 340\n40 click\n45 move 10 10\n", rs.events, error));
    const std::string before = tmp.Path("before.png"), hovered = tmp.Path("hovered.png");
    rs.shots = {{4, before}, {35, hovered}};
    const ReplayResult result = RunReplay(rs);
    ASSERT_TRUE(result.ok) << result.error;

    EXPECT_EQ(clicked, std::vector<TButtonName>{button_MM_MainMenu_Credits});
    Picture a, b;
    ASSERT_TRUE(LoadPictureFile(before, a));
    ASSERT_TRUE(LoadPictureFile(hovered, b));
    ASSERT_EQ(a.width, 960);
    // Half scale: the second button's face is around (340..420, 150..190) in the picture,
    // the first one's around (140..220, 150..190).
    const int x2 = 310, x1 = 110, y = 170;
    EXPECT_GT(Brightness(Pixel(b, x2, y)), Brightness(Pixel(a, x2, y)) + 30) << "glow";
    EXPECT_EQ(Pixel(b, x1, y), Pixel(a, x1, y)) << "the other button does not glow";
    EXPECT_GT(Brightness(Pixel(a, x1, y)), 100) << "the button is drawn at all";
    // The caption (white blocks of the test font) sits in the middle of each button.
    EXPECT_EQ(Pixel(a, 136, 170), 0xFFFFFFFFu);
}

} // namespace
} // namespace bw
