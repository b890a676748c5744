// The black bars at the screen's edges, on the built game: a window wider than 16:9 and a
// portrait one show nothing but black beyond the design canvas, in the main menu and while a
// fade covers it.
#include "platform/PictureFile.h"
#include "replay/Replay.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace bw {
namespace {

const std::string kData = std::string(BW_TEST_BINARY_DIR) + "/Data";

// The pixels of `shot` outside the canvas's columns (or rows) `from` .. `to` that are not
// black.
int LitPixelsOutside(const Picture& shot, int from, int to, bool columns) {
    int lit = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) {
            const int at = columns ? x : y;
            if (at >= from && at < to) continue;
            if ((shot.argb[static_cast<size_t>(y * shot.width + x)] & 0xFFFFFF) != 0) ++lit;
        }
    return lit;
}

struct Shape {
    TPoint2px size;
    int from, to; // the canvas's columns (wide) or rows (portrait), with a pixel to spare
    bool columns;
};

TEST(ScreenEdgesReplay, BeyondTheCanvasAllIsBlackInTheMenuAndUnderItsFade) {
    // 640 x 270 shows the canvas at a quarter size in the columns 80 .. 560; 270 x 480 in the
    // rows 139 .. 341.
    for (const Shape& shape :
         {Shape{{640, 270}, 79, 561, true}, Shape{{270, 480}, 138, 343, false}}) {
        SCOPED_TRACE(std::to_string(shape.size.x) + " x " + std::to_string(shape.size.y));
        testing::TempFolder home;
        ReplaySettings rs;
        rs.home = home.Path();
        rs.data = kData;
        rs.size = shape.size;
        rs.quickStart = true;
        rs.ticks = 3000;
        const std::string menu = home.File("menu.png"), fade = home.File("fade.png");
        std::string error;
        // Into the main menu (a new player names themself first), then Credits and back.
        ASSERT_TRUE(ParseReplayScript("0 wait scene scene_Loaded 2000\n+1 click\n"
                                      "+0 wait scene scene_EnterName 600\n+1 key enter\n"
                                      "+0 wait scene scene_MainMenu 200\n"
                                      "+150 shot " +
                                          menu +
                                          "\n"
                                          "+1 click button_MM_MainMenu_Credits\n"
                                          "+40 shot " +
                                          fade +
                                          "\n"
                                          "+0 wait scene scene_Credits 600\n+100 wait 1\n"
                                          "+1 click button_MM_Credits_Back\n"
                                          "+0 wait scene scene_MainMenu 600\n",
                                      rs.events, error))
            << error;
        const ReplayResult r = RunReplay(rs);
        ASSERT_TRUE(r.ok) << r.error;
        for (const std::string& file : {menu, fade}) {
            Picture shot;
            ASSERT_TRUE(LoadPictureFile(file, shot)) << file;
            ASSERT_EQ(shot.width, shape.size.x);
            EXPECT_EQ(LitPixelsOutside(shot, shape.from, shape.to, shape.columns), 0) << file;
        }
    }
}

} // namespace
} // namespace bw
