#include "board/LevelTasks.h"

#include <gtest/gtest.h>

namespace bw {
namespace {

constexpr TaskStatus O = task_Open, C = task_Completed, F = task_Failed;

struct Case {
    const char* What;
    TLevelTask Task;
    TaskCounters Counters;
    BoardTaskSummary Board;
    TaskStatus Live;
    TaskStatus Final;
    const char* Text;
};

TaskCounters With(void (*set)(TaskCounters&)) {
    TaskCounters c;
    set(c);
    return c;
}

BoardTaskSummary Board(int walls, int bound, int crows, int cells = 0, int occupied = 0) {
    return {walls, bound, crows, cells, occupied};
}

TEST(LevelTasks, LiveAndFinalJudgementsAndPanelTexts) {
    // clang-format off
    const Case cases[] = {
        {"time left",      {1, 120, 0}, With([](auto& c) { c.LevelTime = 115; }), {}, O, C, "00:05"},
        // At the limit the live and the final judgement agree: not failed yet.
        {"time at limit",  {1, 120, 0}, With([](auto& c) { c.LevelTime = 120; }), {}, O, C, "00:00"},
        {"time over",      {1, 120, 0}, With([](auto& c) { c.LevelTime = 121; }), {}, F, F, "00:00"},
        {"moves",          {2, 5, 0},   With([](auto& c) { c.LevelMoves = 5; }), {}, O, C, "5/5"},
        {"moves over",     {2, 5, 0},   With([](auto& c) { c.LevelMoves = 6; }), {}, F, F, "6/5"},
        {"no new birds",   {3, 9, 0},   {}, {}, O, C, "0/0"},
        {"new bird",       {3, 9, 0},   With([](auto& c) { c.LevelBirdsGenerated = 1; }), {}, F, F, "1/0"},
        {"kind 3 at 10",   {4, 10, 3},  With([](auto& c) { c.LevelBirdsMatched[3] = 10; c.LevelBirdsMatched[2] = 50; }), {}, O, C, "10/10"},
        {"kind 3 at 11",   {4, 10, 3},  With([](auto& c) { c.LevelBirdsMatched[3] = 11; }), {}, F, F, "11/10"},
        {"kind 1000",      {4, 0, 1000}, {}, {}, O, C, "0/0"},
        {"walls left",     {5, 0, 0},   {}, Board(2, 4, 4), O, F, "2"},
        {"no walls",       {5, 0, 0},   {}, Board(0, 4, 4), C, C, "0"},
        {"bound left",     {6, 0, 0},   {}, Board(4, 3, 4), O, F, "3"},
        {"no bound",       {6, 0, 0},   {}, Board(4, 0, 4), C, C, "0"},
        {"cats",           {7, 3, 0},   With([](auto& c) { c.LevelCatsMatched = 2; }), {}, O, F, "2/3"},
        {"cats done",      {7, 3, 0},   With([](auto& c) { c.LevelCatsMatched = 3; }), {}, C, C, "3/3"},
        {"bonus used",     {8, 0, 0},   With([](auto& c) { c.LevelBonusesUsed = 2; }), {}, F, F, "2/0"},
        {"score 2.5%",     {9, 1000, 0}, With([](auto& c) { c.LevelScore = 25; }), {}, O, F, "2%"},
        {"score 1.5%",     {9, 1000, 0}, With([](auto& c) { c.LevelScore = 15; }), {}, O, F, "2%"},
        {"score over",     {9, 1000, 0}, With([](auto& c) { c.LevelScore = 3000; }), {}, C, C, "100%"},
        {"score huge",     {9, 3, 0},   With([](auto& c) { c.LevelScore = 2000000000; }), {}, C, C, "100%"},
        // A target of 0 is reached at once and never divides by zero.
        {"score target 0", {9, 0, 0},   {}, {}, C, C, "100%"},
        {"clear 10/4",     {10, 60, 0}, {}, Board(0, 0, 0, 10, 4), C, C, "60%"},
        {"clear 10/5",     {10, 60, 0}, {}, Board(0, 0, 0, 10, 5), O, F, "50%"},
        // Nothing left on the board is 100 % free, which meets the task.
        {"clear empty",    {10, 60, 0}, {}, Board(0, 0, 0, 10, 0), C, C, "60%"},
        {"clear no cells", {10, 60, 0}, {}, Board(0, 0, 0, 0, 0), O, F, "0%"},
        {"combo colour 2", {11, 5, 3},  With([](auto& c) { c.ComboColor = 2; c.ComboCount = 7; }), {}, O, F, "0/5"},
        {"combo colour 3", {11, 5, 3},  With([](auto& c) { c.ComboColor = 3; c.ComboCount = 5; }), {}, C, C, "5/5"},
        {"crows left",     {12, 0, 0},  {}, Board(0, 0, 1), O, F, "1"},
        {"no crows",       {12, 0, 0},  {}, Board(4, 4, 0), C, C, "0"},
        {"unknown task",   {13, 0, 0},  {}, {}, O, F, ""},
        {"no task",        {0, 0, 0},   {}, {}, O, F, ""},
    };
    // clang-format on
    for (const Case& k : cases) {
        const TaskJudgement live = JudgeLevelTask(k.Task, k.Counters, k.Board, false);
        EXPECT_EQ(live.Status, k.Live) << k.What;
        EXPECT_EQ(live.Text, k.Text) << k.What;
        EXPECT_EQ(JudgeTask(k.Task, k.Counters, k.Board, true), k.Final) << k.What;
    }
}

TEST(LevelTasks, FreeCellPercentageRoundsHalfToEven) {
    EXPECT_EQ(FreeCellPercent(Board(0, 0, 0, 8, 1)), 88); // 12.5 -> 12
    EXPECT_EQ(FreeCellPercent(Board(0, 0, 0, 8, 3)), 62); // 37.5 -> 38
    EXPECT_EQ(FreeCellPercent(Board(0, 0, 0, 3, 1)), 67);
    EXPECT_EQ(FreeCellPercent(Board(0, 0, 0, 4, 9)), 0); // inconsistent counts stay in range
}

TEST(LevelTasks, IconsAndTextKeys) {
    EXPECT_EQ(TaskPanelIcon({1, 0, 0}), "panel_task2_icon_time.image");
    EXPECT_EQ(TaskPanelIcon({4, 0, 3}), "panel_task2_icon_bird_3.image");
    EXPECT_EQ(TaskPanelIcon({7, 0, 0}), "panel_task2_icon_cat_2.image");
    EXPECT_EQ(TaskPanelIcon({11, 0, 6}), "panel_task2_icon_bird_combo_6.image");
    EXPECT_EQ(TaskPanelIcon({12, 0, 0}), "panel_task2_icon_crows.image");
    EXPECT_EQ(TaskPanelIcon({13, 0, 0}), "");
    EXPECT_EQ(TaskDescriptionKey({7, 0, 0}), "result_task_7");
    EXPECT_EQ(TaskColorKey({4, 0, 6}), "result_task_color_6");
    EXPECT_EQ(TaskColorKey({11, 0, 1}), "result_task11_color_1");
    EXPECT_EQ(TaskColorKey({11, 0, 7}), "");
    EXPECT_EQ(FormatMinutesSeconds(125), "02:05");
    EXPECT_EQ(FormatMinutesSeconds(6059), "100:59");
}

} // namespace
} // namespace bw
