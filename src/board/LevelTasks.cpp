#include "board/LevelTasks.h"

#include <algorithm>
#include <cstdio>

namespace bw {

namespace {

// num / den to the nearest whole number, ties to the even one; den > 0, num >= 0.
int64_t RoundedQuotient(int64_t num, int64_t den) {
    const int64_t q = num / den;
    const int64_t r2 = (num % den) * 2;
    if (r2 > den || (r2 == den && (q % 2) != 0)) return q + 1;
    return q;
}

int32_t MatchedOfKind(const TaskCounters& counters, int32_t kind) {
    if (kind < 1 || kind >= static_cast<int32_t>(counters.LevelBirdsMatched.size())) return 0;
    return counters.LevelBirdsMatched[static_cast<std::size_t>(kind)];
}

int32_t ComboOfKind(const TaskCounters& counters, int32_t kind) {
    return counters.ComboColor == kind ? counters.ComboCount : 0;
}

int32_t ScorePercent(int32_t score, int32_t target) {
    if (target <= 0) return 100; // any score reaches a target of 0
    const int64_t percent = RoundedQuotient(std::max<int64_t>(score, 0) * 100, target);
    return static_cast<int32_t>(std::min<int64_t>(percent, 100));
}

std::string Ratio(int32_t count, int32_t target) {
    return std::to_string(count) + "/" + std::to_string(target);
}

// Upper limits: failed as soon as the count passes the limit, completed at the end when it
// did not.
TaskStatus AtMost(int64_t count, int64_t limit, bool final) {
    if (count > limit) return task_Failed;
    return final ? task_Completed : task_Open;
}

// Goals: completed as soon as reached, failed at the end when not.
TaskStatus Reached(bool reached, bool final) {
    if (reached) return task_Completed;
    return final ? task_Failed : task_Open;
}

} // namespace

int32_t FreeCellPercent(const BoardTaskSummary& board) {
    if (board.Cells <= 0) return 0;
    const int64_t occupied = std::clamp<int64_t>(board.OccupiedCells, 0, board.Cells);
    return static_cast<int32_t>(100 - RoundedQuotient(occupied * 100, board.Cells));
}

TaskStatus JudgeTask(const TLevelTask& task, const TaskCounters& c, const BoardTaskSummary& board,
                     bool final) {
    switch (task.Index) {
    case 1:
        return AtMost(c.LevelTime, task.Value, final);
    case 2:
        return AtMost(c.LevelMoves, task.Value, final);
    case 3:
        return AtMost(c.LevelBirdsGenerated, 0, final);
    case 4:
        return AtMost(MatchedOfKind(c, task.AdditionalValue), task.Value, final);
    case 5:
        return Reached(board.Walls <= 0, final);
    case 6:
        return Reached(board.BoundedBirds <= 0, final);
    case 7:
        return Reached(c.LevelCatsMatched >= task.Value, final);
    case 8:
        return AtMost(c.LevelBonusesUsed, 0, final);
    case 9:
        return Reached(c.LevelScore >= task.Value, final);
    case 10:
        return Reached(FreeCellPercent(board) >= task.Value, final);
    case 11:
        return Reached(c.ComboColor == task.AdditionalValue && c.ComboCount >= task.Value, final);
    case 12:
        return Reached(board.Crows <= 0, final);
    default:
        return final ? task_Failed : task_Open;
    }
}

std::string FormatMinutesSeconds(int32_t seconds) {
    seconds = std::max(seconds, 0);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d", seconds / 60, seconds % 60);
    return text;
}

std::string TaskPanelText(const TLevelTask& task, const TaskCounters& c,
                          const BoardTaskSummary& board) {
    switch (task.Index) {
    case 1:
        return FormatMinutesSeconds(static_cast<int32_t>(
            std::clamp<int64_t>(int64_t{task.Value} - c.LevelTime, 0, INT32_MAX)));
    case 2:
        return Ratio(c.LevelMoves, task.Value);
    case 3:
        return std::to_string(c.LevelBirdsGenerated) + "/0";
    case 4:
        return Ratio(MatchedOfKind(c, task.AdditionalValue), task.Value);
    case 5:
        return std::to_string(board.Walls);
    case 6:
        return std::to_string(board.BoundedBirds);
    case 7:
        return Ratio(c.LevelCatsMatched, task.Value);
    case 8:
        return std::to_string(c.LevelBonusesUsed) + "/0";
    case 9:
        return std::to_string(ScorePercent(c.LevelScore, task.Value)) + "%";
    case 10:
        return std::to_string(std::max(0, std::min(FreeCellPercent(board), task.Value))) + "%";
    case 11:
        return Ratio(ComboOfKind(c, task.AdditionalValue), task.Value);
    case 12:
        return std::to_string(board.Crows);
    default:
        return "";
    }
}

std::string TaskPanelIcon(const TLevelTask& task) {
    switch (task.Index) {
    case 1:
        return "panel_task2_icon_time.image";
    case 2:
        return "panel_task2_icon_moves.image";
    case 3:
        return "panel_task2_icon_newbirds.image";
    case 4:
        return "panel_task2_icon_bird_" + std::to_string(task.AdditionalValue) + ".image";
    case 5:
        return "panel_task2_icon_wall.image";
    case 6:
        return "panel_task2_icon_bound.image";
    case 7:
        return "panel_task2_icon_cat_2.image";
    case 8:
        return "panel_task2_icon_bonuses.image";
    case 9:
        return "panel_task2_icon_score.image";
    case 10:
        return "panel_task2_icon_clear.image";
    case 11:
        return "panel_task2_icon_bird_combo_" + std::to_string(task.AdditionalValue) + ".image";
    case 12:
        return "panel_task2_icon_crows.image";
    default:
        return "";
    }
}

TaskJudgement JudgeLevelTask(const TLevelTask& task, const TaskCounters& counters,
                             const BoardTaskSummary& board, bool final) {
    return {JudgeTask(task, counters, board, final), TaskPanelText(task, counters, board),
            TaskPanelIcon(task)};
}

std::string TaskDescriptionKey(const TLevelTask& task) {
    return "result_task_" + std::to_string(task.Index);
}

std::string TaskColorKey(const TLevelTask& task) {
    if (task.AdditionalValue < 1 || task.AdditionalValue > 6) return "";
    if (task.Index == 4) return "result_task_color_" + std::to_string(task.AdditionalValue);
    if (task.Index == 11) return "result_task11_color_" + std::to_string(task.AdditionalValue);
    return "";
}

} // namespace bw
