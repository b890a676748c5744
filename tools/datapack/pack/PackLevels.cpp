#include "pack/PackLevels.h"

#include "board/LevelData.h"
#include "board/LevelTasks.h"
#include "board/Location.h"
#include "board/LocationLayout.h"
#include "data/Xml.h"
#include "data/XmlConvert.h"
#include "data/XmlLoad.h"
#include "pack/PackManifest.h"
#include "platform/Files.h"

#include <array>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <map>
#include <ostream>
#include <set>
#include <utility>

namespace bw::pack {

namespace fs = std::filesystem;

namespace {

struct LevelProblem {
    std::string File;
    int Line = 0; // 1-based; 0 when the place is not known (an unreadable document)
    std::string Message;
};

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool IsNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.' ||
           c == ':' || static_cast<unsigned char>(c) >= 0x80;
}

// Line of every element of a parsed document, found by walking the tree in the same order
// as StartTagLines lists the start tags.
class LineMap {
public:
    LineMap(const TXMLNode* root, std::string_view text) {
        const std::vector<int> lines = StartTagLines(text);
        std::size_t next = 0;
        std::vector<const TXMLNode*> stack;
        if (root) stack.push_back(root);
        while (!stack.empty()) {
            const TXMLNode* node = stack.back();
            stack.pop_back();
            Lines[node] = next < lines.size() ? lines[next] : 0;
            ++next;
            for (int i = node->ChildCount() - 1; i >= 0; --i) stack.push_back(node->GetChild(i));
        }
    }
    int operator()(const TXMLNode* node) const {
        const auto it = Lines.find(node);
        return it == Lines.end() ? 0 : it->second;
    }

private:
    std::map<const TXMLNode*, int> Lines;
};

class CheckReport {
public:
    CheckReport(std::string file, std::vector<LevelProblem>& problems)
        : File(std::move(file)), Problems(problems) {}
    void operator()(int line, std::string message) {
        Problems.push_back({File, line, std::move(message)});
    }

private:
    std::string File;
    std::vector<LevelProblem>& Problems;
};

std::string Cell(int x, int y) {
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

bool KnownCellCode(int32_t code) {
    return code == 0 || code == 1 || code == 2 || (code >= 21 && code <= 24) ||
           (code >= 31 && code <= 39) || (code >= 41 && code <= 49);
}

// Empty when the object code is one the game knows; otherwise why not.
std::string ObjectCodeProblem(int32_t code) {
    if (code == 7 || code == 8 || code == 17 || code == 18)
        return "object code " + std::to_string(code) + " is a bird of kind " +
               std::to_string(code % 10) + ", which has no pictures (kinds are 1..6)";
    if (code == 10) return "object code 10 is a bounded bird of kind 0 (use 11..16 or 19)";
    switch (ClassifyObjectCode(code)) {
    case objkind_Unknown:
        if (code >= 26 && code <= 29)
            return "object code " + std::to_string(code) + " is not a cat (cats are 21..25)";
        if (code >= 46 && code <= 49)
            return "object code " + std::to_string(code) + " is not a bonus (bonuses are 41..45)";
        return "unknown object code " + std::to_string(code);
    default:
        return {};
    }
}

const char* const KnownSettings[] = {"mission", "task",    "music",   "birds", "boundedbirds",
                                     "crows",   "walls_1", "walls_2", "boss",  "cats"};

const char* const CatConditions[] = {"cond_start_level",
                                     "cond_less_then",
                                     "cond_nestlings_less_then_keys",
                                     "cond_wall_and_bombs_less_then",
                                     "cond_bombs_less_then",
                                     "cond_fireworks_less_then",
                                     "cond_chainlightnings_less_then",
                                     "cond_paints_less_then",
                                     "cond_hamburgers_less_then"};

// "m5" -> 5 for prefix 'm'; -1 for any other name (the game looks rows up as the prefix and
// the row number without leading zeros).
int RowNumber(const std::string& name, char prefix) {
    if (name.size() < 2 || name.size() > 3 || name[0] != prefix) return -1;
    if (name.size() == 3 && name[1] == '0') return -1;
    int y = 0;
    for (std::size_t i = 1; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return -1;
        y = y * 10 + (name[i] - '0');
    }
    return y;
}

// Reads an integer attribute that must be written as a plain number.
bool IntField(const TXMLNode& node, std::string_view name, int32_t& value) {
    if (node.FindFieldByName(name) < 0) return false;
    const std::string text = node.GetFieldValue(name);
    constexpr int32_t sentinel = -2147483647;
    value = TextToIntDef(text, sentinel);
    return value != sentinel;
}

// The location a level of the list is played in, read from its location file.
struct LevelLocation {
    int Number = 0;
    TLocationOptions Options;
};

class LevelChecker {
public:
    LevelChecker(const TXMLNode& root, const LineMap& lines, CheckReport& report,
                 const LevelLocation* location = nullptr)
        : Root(root), Line(lines), Report(report), Location(location) {}

    void Run();

private:
    const TXMLNode& Root;
    const LineMap& Line;
    CheckReport& Report;
    const LevelLocation* Location;
    TLevel_Data Data;

    // Last element that set each row ("m" rows in [0], "b" rows in [1]).
    std::array<std::array<const TXMLNode*, BoardGridSize>, 2> RowNodes{};
    std::map<std::string, const TXMLNode*> Settings; // lower-case name -> last element
    std::vector<const TXMLNode*> CatEntries;

    void CheckRows(const TXMLNode& section, char prefix, int grid);
    void CheckSetting(const TXMLNode& node);
    void CheckGeneration(const TXMLNode& node);
    void CheckCat(const TXMLNode& cat);
    void CheckTotals();
    void CheckTaskNeedsPlay();
    void CheckLayout();
    BoardTaskSummary StartingBoard() const;
    bool CellExists(int x, int y) const {
        return IsPlayableCell(x, y) &&
               Data.Map[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)] > 0;
    }
};

void LevelChecker::Run() {
    LoadLevelFromTree(&Root, "level.xml", Data);
    for (const TXMLNode& child : Root) {
        const std::string name = Lower(child.Name());
        if (name == "settings") {
            for (const TXMLNode& setting : child) CheckSetting(setting);
        } else if (name == "map") {
            CheckRows(child, 'm', 0);
        } else if (name == "objects") {
            CheckRows(child, 'b', 1);
        } else {
            Report(Line(&child), "unknown section <" + child.Name() +
                                     ">: the game reads only settings, map and objects");
        }
    }
    for (int grid = 0; grid < 2; ++grid) {
        std::string missing;
        for (int y = 0; y < BoardGridSize; ++y) {
            if (RowNodes[grid][y]) continue;
            missing += std::string(missing.empty() ? "" : ", ") + (grid == 0 ? "m" : "b") +
                       std::to_string(y);
        }
        if (!missing.empty())
            Report(Line(&Root), "missing rows " + missing + " (write all 18 rows, 0 to 17)");
    }
    for (const char* name : {"Mission", "Task", "Music", "Birds", "BoundedBirds", "Crows",
                             "Walls_1", "Walls_2", "Boss"}) {
        if (Settings.count(Lower(name))) continue;
        const std::string_view n(name);
        const bool carried = n != "Mission" && n != "Task" && n != "Birds";
        Report(Line(&Root), "no <" + std::string(name) + "> setting" +
                                (carried ? ": the level would keep the previous level's values"
                                         : ": write it explicitly"));
    }
    CheckTotals();
    CheckTaskNeedsPlay();
    if (Location) CheckLayout();
}

// What the level's location makes of its cells: every cell must be one the location's board
// builds, one-way cells only where its layout draws arrows (elsewhere they would play as
// ordinary cells), and the boss must lie on two cells whose occupants stand at one height.
void LevelChecker::CheckLayout() {
    const TLocationOptions& options = Location->Options;
    const std::string where = "location " + std::to_string(Location->Number);
    std::map<std::pair<int, int>, CellPlacement> placed;
    for (const CellPlacement& p : LayoutCells(options, Data.Map)) placed[{p.Cell.x, p.Cell.y}] = p;
    auto rowLine = [&](int y) { return RowNodes[0][y] ? Line(RowNodes[0][y]) : Line(&Root); };
    for (int y = 1; y <= 16; ++y) {
        for (int x = 1; x <= 16; ++x) {
            const int32_t code = Data.Map[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)];
            if (code <= 0) continue;
            const auto it = placed.find({x, y});
            if (it == placed.end()) {
                Report(rowLine(y),
                       "cell " + Cell(x, y) + " lies outside the board that " + where + " builds");
                continue;
            }
            if (ClassifyCellCode(code) == cellkind_OneWay && it->second.Arrow == 0)
                Report(rowLine(y), "one-way cell " + std::to_string(code) + " at " + Cell(x, y) +
                                       ": the layout of " + where +
                                       " has no one-way cells there, so it plays as an "
                                       "ordinary cell");
        }
    }
    if (Data.Mission != mission_boss_1 || Data.Boss.Kind != 1) return;
    const TCoord2 left{Data.Boss.Pos.x, Data.Boss.Pos.y};
    const auto a = placed.find({left.x, left.y});
    const auto b = placed.find({left.x + 1, left.y});
    if (a == placed.end() || b == placed.end()) return; // reported with the cells above
    // Occupants stand on the cell picture's centre point of its pattern.
    auto height = [&](const CellPlacement& p) {
        const std::size_t pattern = static_cast<std::size_t>(p.Pattern);
        const float centre =
            pattern < options.FMapCentres.size() ? options.FMapCentres[pattern].y : 0.0f;
        return p.Pos.y + centre * options.FMapElementsScale.y;
    };
    const float ha = height(a->second), hb = height(b->second);
    if (std::fabs(ha - hb) > 1.0f) {
        const TXMLNode* boss = Settings.count("boss") ? Settings["boss"] : &Root;
        Report(Line(boss), "the boss lies on " + Cell(left.x, left.y) + " and " +
                               Cell(left.x + 1, left.y) + ", whose occupants stand " +
                               std::to_string(static_cast<int>(std::lround(std::fabs(ha - hb)))) +
                               " units apart in height in " + where +
                               ": put it on two cells of one height");
    }
}

void LevelChecker::CheckRows(const TXMLNode& section, char prefix, int grid) {
    for (const TXMLNode& row : section) {
        const int y = RowNumber(Lower(row.Name()), prefix);
        const int line = Line(&row);
        if (y < 0 || y >= BoardGridSize) {
            Report(line, "unknown row <" + row.Name() + "> in <" + section.Name() + ">: rows are " +
                             prefix + "0.." + prefix + "17");
            continue;
        }
        RowNodes[grid][y] = &row;
        if (row.FindFieldByName("Value") < 0) {
            Report(line, "row " + row.Name() + " has no Value");
            continue;
        }
        const std::vector<int32_t> numbers = ParseIntegerList(row.GetFieldValue("Value"));
        if (numbers.size() != BoardGridSize)
            Report(line, "row " + row.Name() + " has " + std::to_string(numbers.size()) +
                             " numbers; a row has 18 (columns 0..17)");
        for (std::size_t x = 0; x < numbers.size(); ++x) {
            const int32_t code = numbers[x];
            if (code == 0) continue;
            const int cx = static_cast<int>(x);
            if (!IsPlayableCell(cx, y)) {
                Report(line, "row " + row.Name() + ", column " + std::to_string(x) + ": " +
                                 std::to_string(code) +
                                 " on the border; rows and columns 0 and 17 must be 0");
                continue;
            }
            if (grid == 0) {
                if (!KnownCellCode(code))
                    Report(line, "unknown cell code " + std::to_string(code) + " at " +
                                     Cell(cx, y) + " (0, 1, 2, 21..24, 31..39, 41..49)");
            } else {
                const std::string problem = ObjectCodeProblem(code);
                if (!problem.empty()) Report(line, problem + " at " + Cell(cx, y));
            }
        }
    }
}

void LevelChecker::CheckSetting(const TXMLNode& node) {
    const std::string name = Lower(node.Name());
    const int line = Line(&node);
    bool known = false;
    for (const char* k : KnownSettings) known = known || name == k;
    if (!known) {
        Report(line, "unknown setting <" + node.Name() + ">: the game ignores it");
        return;
    }
    Settings[name] = &node;
    int32_t v = 0;
    if (name == "mission") {
        const std::string mission = node.GetFieldValue("name");
        if (mission != "mission_nil" && mission != "mission_nestlings" &&
            mission != "mission_boss_1")
            Report(line, "unknown mission \"" + mission +
                             "\" (mission_nil, mission_nestlings or mission_boss_1; the "
                             "name is compared exactly)");
    } else if (name == "task") {
        int32_t index = 0;
        if (!IntField(node, "Index", index) || index < 1 || index > 12)
            Report(line, "task Index \"" + node.GetFieldValue("Index") + "\" is not 1..12");
        if (!IntField(node, "Value", v) || v < 0)
            Report(line, "task Value \"" + node.GetFieldValue("Value") +
                             "\" is not a number of 0 or more");
        if (index == 4 || index == 11) {
            if (!IntField(node, "AdditionalValue", v) || v < 1 || v > 6)
                Report(line, "task " + std::to_string(index) +
                                 " needs AdditionalValue 1..6 (a "
                                 "bird kind), not \"" +
                                 node.GetFieldValue("AdditionalValue") + "\"");
        }
    } else if (name == "music") {
        int tracks = 0;
        while (const TXMLNode* track = node.GetChildNode("music_" + std::to_string(tracks + 1))) {
            ++tracks;
            if (!IntField(*track, "index", v) || v < 1 || v > 6)
                Report(Line(track), "music index \"" + track->GetFieldValue("index") +
                                        "\" is not a game track 1..6");
            if (track->FindFieldByName("duration") >= 0 &&
                (!IntField(*track, "duration", v) || v < 0))
                Report(Line(track), "music duration \"" + track->GetFieldValue("duration") +
                                        "\" is not a number of seconds");
        }
        if (tracks == 0) Report(line, "<Music> has no music_1");
        for (int n = 1; tracks >= 2 && n <= tracks; ++n) {
            const TXMLNode* track = node.GetChildNode("music_" + std::to_string(n));
            if (IntField(*track, "duration", v) && v > 0) continue;
            Report(Line(track), "with several tracks each needs a duration above 0 seconds");
        }
        if (node.ChildCount() != tracks)
            Report(line, "<Music> has children the game never reads (tracks are music_1, "
                         "music_2, ... without gaps)");
    } else if (name == "birds") {
        if (!IntField(node, "GenerateCount", v) || v < 0)
            Report(line, "GenerateCount \"" + node.GetFieldValue("GenerateCount") +
                             "\" is not a number of 0 or more");
        else if (v > MaxLevelPieces)
            Report(line, "GenerateCount " + std::to_string(v) + " is more than the board's " +
                             std::to_string(MaxLevelPieces) + " cells (the game cuts it)");
        const std::vector<int32_t> kinds = ParseIntegerList(node.GetFieldValue("Kinds"));
        if (kinds.size() > 8)
            Report(line, "Kinds has " + std::to_string(kinds.size()) +
                             " numbers; only the first 8 are read");
        for (std::size_t k = 6; k < kinds.size() && k < 8; ++k) {
            if (kinds[k] != 0)
                Report(line, "Kinds gives kind " + std::to_string(k + 1) + " the weight " +
                                 std::to_string(kinds[k]) +
                                 "; kinds 7 and 8 have no pictures, their weights must be 0");
        }
    } else if (name == "boundedbirds" || name == "crows" || name == "walls_1" ||
               name == "walls_2") {
        CheckGeneration(node);
    } else if (name == "boss") {
        if (!IntField(node, "Kind", v) || v < 0 || v > 1)
            Report(line, "boss Kind \"" + node.GetFieldValue("Kind") +
                             "\" is unknown (0 none, 1 the boss cat)");
    } else if (name == "cats") {
        CatEntries.clear();
        for (const TXMLNode& cat : node) {
            CatEntries.push_back(&cat);
        }
    }
}

void LevelChecker::CheckGeneration(const TXMLNode& node) {
    const int line = Line(&node);
    int32_t v = 0;
    if (!IntField(node, "Probability", v) || v < 0 || v > 100)
        Report(line, "<" + node.Name() + "> Probability \"" + node.GetFieldValue("Probability") +
                         "\" is not a percentage 0..100");
    for (const char* attr : {"MaxAtOneTime", "MaxAtLevel"}) {
        if (!IntField(node, attr, v) || v < 0)
            Report(line, "<" + node.Name() + "> " + attr + " \"" + node.GetFieldValue(attr) +
                             "\" is not a number of 0 or more");
        else if (v > MaxLevelPieces)
            Report(line, "<" + node.Name() + "> " + attr + " " + std::to_string(v) +
                             " is more than the board's " + std::to_string(MaxLevelPieces) +
                             " cells (the game cuts it)");
    }
}

void LevelChecker::CheckCat(const TXMLNode& cat) {
    const int line = Line(&cat);
    int32_t v = 0;
    if (!IntField(cat, "Kind", v) || CatEntryCode(v) == 0)
        Report(line, "cat Kind \"" + cat.GetFieldValue("Kind") +
                         "\" is unknown (1..5, or the board codes 21..25); the game ignores it");
    if (cat.FindFieldByName("Count") >= 0 &&
        (!IntField(cat, "Count", v) || v < 1 || v > MaxLevelPieces))
        Report(line, "cat Count \"" + cat.GetFieldValue("Count") + "\" is not 1.." +
                         std::to_string(MaxLevelPieces));
    if (cat.FindFieldByName("Random") >= 0 && (!IntField(cat, "Random", v) || v < 0 || v > 100))
        Report(line,
               "cat Random \"" + cat.GetFieldValue("Random") + "\" is not a percentage 0..100");
    if (const TXMLNode* pos = cat.GetChildNode("Pos")) {
        int32_t x = -1, y = -1;
        const bool okX = IntField(*pos, "X", x) || pos->FindFieldByName("X") < 0;
        const bool okY = IntField(*pos, "Y", y) || pos->FindFieldByName("Y") < 0;
        if (!okX || !okY || (x == -1) != (y == -1) ||
            (x != -1 && !CellExists(static_cast<int>(x), static_cast<int>(y))))
            Report(Line(pos), "cat Pos (" + pos->GetFieldValue("X") + ", " +
                                  pos->GetFieldValue("Y") +
                                  ") is neither (-1, -1) (a random cell) nor a cell of the board");
    }
    const TXMLNode* cond = cat.GetChildNode("Conditions");
    if (!cond) {
        Report(line, "cat without Conditions never enters the board");
    } else {
        const std::string n = cond->GetFieldValue("Name");
        bool known = false;
        for (const char* c : CatConditions) known = known || n == c;
        if (!known) Report(Line(cond), "unknown cat condition \"" + n + "\"");
        const TXMLNode* pos = cat.GetChildNode("Pos");
        const bool fixed = pos && pos->FindFieldByName("X") >= 0 && pos->GetFieldValue("X") != "-1";
        if (n == "cond_start_level" && !fixed)
            Report(Line(cond), "cond_start_level places a cat only on a fixed Pos; a random "
                               "cat at the start needs cond_less_then");
    }
    if (const TXMLNode* ev = cat.GetChildNode("Event")) {
        const std::string n = ev->GetFieldValue("Name");
        if (n == "event_drop_bonus") {
            if (!IntField(*ev, "Value", v) || v < 1 || v > 5)
                Report(Line(ev), "event_drop_bonus Value \"" + ev->GetFieldValue("Value") +
                                     "\" is not a bonus 1..5 (bonus 41..45)");
        } else if (n != "event_nil" && n != "event_drop_key") {
            Report(Line(ev),
                   "unknown cat event \"" + n + "\" (event_nil, event_drop_key, event_drop_bonus)");
        }
    }
    if (const TXMLNode* music = cat.GetChildNode("MusicEvent")) {
        if (music->GetFieldValue("Name") != "music_event_drop")
            Report(Line(music), "unknown music event \"" + music->GetFieldValue("Name") +
                                    "\" (music_event_drop)");
        if (!IntField(*music, "Index", v) || v < 1 || v > 6)
            Report(Line(music), "music event Index \"" + music->GetFieldValue("Index") +
                                    "\" is not a game track 1..6");
        if (!IntField(*music, "Time", v) || v < 1)
            Report(Line(music), "music event Time \"" + music->GetFieldValue("Time") +
                                    "\" is not a time above 0 (milliseconds)");
    }
}

void LevelChecker::CheckTotals() {
    for (const TXMLNode* cat : CatEntries) CheckCat(*cat);

    int nestlings = 0, chains = 0, keys = 0, randomBirds = 0, walls = 0, weapons = 0;
    for (int y = 0; y < BoardGridSize; ++y) {
        const TXMLNode* row = RowNodes[1][y];
        for (int x = 0; x < BoardGridSize; ++x) {
            const int32_t code =
                Data.Birds[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)];
            if (code == 0) continue;
            const ObjectCodeKind kind = ClassifyObjectCode(code);
            if (kind == objkind_Nestling) {
                ++nestlings;
                chains += code - 60;
            }
            if (kind == objkind_Key) ++keys;
            if (kind == objkind_Wall) ++walls;
            if (code == 41 || code == 42) ++weapons; // a bomb or fireworks
            if (kind == objkind_RandomBird || kind == objkind_RandomBoundedBird) ++randomBirds;
            if (!CellExists(x, y))
                Report(row ? Line(row) : 0, "object " + std::to_string(code) + " at " + Cell(x, y) +
                                                " stands on no cell");
        }
    }
    const TXMLNode* missionNode = Settings.count("mission") ? Settings["mission"] : nullptr;
    const int missionLine = missionNode ? Line(missionNode) : Line(&Root);
    if (nestlings > 10)
        Report(missionLine,
               std::to_string(nestlings) + " caged nestlings; the nest row holds at most 10");

    bool keySource = false;
    for (const TXMLNode* cat : CatEntries) {
        if (const TXMLNode* ev = cat->GetChildNode("Event"))
            keySource = keySource || ev->GetFieldValue("Name") == "event_drop_key";
    }
    if (Data.Mission == mission_nestlings) {
        if (nestlings == 0)
            Report(missionLine, "mission_nestlings without a caged nestling can never be won");
        else if (keys < chains && !keySource)
            Report(missionLine, std::to_string(chains) + " chains to open but only " +
                                    std::to_string(keys) +
                                    " keys, and no cat brings one (event_drop_key)");
    } else if (nestlings > 0) {
        Report(missionLine, "caged nestlings only count in a mission_nestlings level");
    }
    if (Data.Mission == mission_nil && missionNode)
        Report(missionLine, "an ordinary level (mission_nil) has no way to be won: it ends "
                            "only when the board is full");
    if (Data.Mission == mission_boss_1) {
        const TXMLNode* boss = Settings.count("boss") ? Settings["boss"] : nullptr;
        const int bossLine = boss ? Line(boss) : Line(&Root);
        if (Data.Boss.Kind != 1) Report(bossLine, "mission_boss_1 needs a boss of Kind 1");
        if (Data.Boss.Health < 1) Report(bossLine, "the boss needs Health 1 or more");
        if (!CellExists(Data.Boss.Pos.x, Data.Boss.Pos.y) ||
            !CellExists(Data.Boss.Pos.x + 1, Data.Boss.Pos.y))
            Report(bossLine, "the boss covers " + Cell(Data.Boss.Pos.x, Data.Boss.Pos.y) +
                                 " and the cell to its right; both must be cells of the board");
    }

    // Walls break only in a bomb's blast or under a rocket.
    bool weaponSource = false;
    for (const TXMLNode* cat : CatEntries) {
        if (const TXMLNode* ev = cat->GetChildNode("Event")) {
            int32_t value = 0;
            weaponSource =
                weaponSource || (ev->GetFieldValue("Name") == "event_drop_bonus" &&
                                 IntField(*ev, "Value", value) && value >= 1 && value <= 2);
        }
    }
    const bool wallsGrow = (Data.Walls_1.Probability > 0 && Data.Walls_1.MaxAtLevel > 0) ||
                           (Data.Walls_2.Probability > 0 && Data.Walls_2.MaxAtLevel > 0);
    if ((walls > 0 || wallsGrow) && weapons == 0 && !weaponSource)
        Report(missionLine, std::string(walls > 0 ? "walls stand" : "walls grow") +
                                " on the board but nothing can break them: no bomb or "
                                "fireworks (41, 42) lies there and no cat brings one "
                                "(event_drop_bonus 1 or 2)");

    int weights = 0;
    for (int k = 1; k <= 6; ++k) weights += Data.Kinds[static_cast<std::size_t>(k)];
    const bool generates =
        Data.GenerateBirdsCount > 0 || randomBirds > 0 ||
        (Data.BoundedBirds.Probability > 0 && Data.BoundedBirds.MaxAtOneTime > 0);
    if (generates && weights <= 0 && Settings.count("birds"))
        Report(Line(Settings["birds"]),
               "Kinds gives no weight to any of the kinds 1..6, yet the level makes birds");
}

// The board before the first move as the task judgement counts it. Cats placed at the start
// take a cell of their own too.
BoardTaskSummary LevelChecker::StartingBoard() const {
    BoardTaskSummary board;
    std::set<std::pair<int, int>> startCats;
    for (const TLevelData_Cat& cat : Data.Cats) {
        if (cat.Cond_name == "cond_start_level" && CellExists(cat.Pos.x, cat.Pos.y))
            startCats.insert({cat.Pos.x, cat.Pos.y});
    }
    for (int x = 1; x <= 16; ++x) {
        for (int y = 1; y <= 16; ++y) {
            if (!CellExists(x, y)) continue;
            ++board.Cells;
            const ObjectCodeKind kind = ClassifyObjectCode(
                Data.Birds[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)]);
            const bool placed = kind != objkind_None && kind != objkind_Unknown;
            board.OccupiedCells += placed || startCats.count({x, y}) ? 1 : 0;
            board.Walls += kind == objkind_Wall ? 1 : 0;
            board.BoundedBirds += kind == objkind_BoundedBird || kind == objkind_BoundedCrow ||
                                          kind == objkind_RandomBoundedBird
                                      ? 1
                                      : 0;
            board.Crows += kind == objkind_Crow || kind == objkind_BoundedCrow ? 1 : 0;
        }
    }
    return board;
}

// A task is the player's to earn. The limits (time, moves, new birds, birds of a kind, bonuses)
// can only fail, and only through play; a goal that the untouched board or the counters of a
// new level already meet would show the gold egg before the first move.
void LevelChecker::CheckTaskNeedsPlay() {
    const auto task = Settings.find("task");
    if (task == Settings.end()) return;
    const BoardTaskSummary board = StartingBoard();
    if (JudgeTask(Data.Task, TaskCounters{}, board, false) != task_Completed) return;
    std::string why;
    switch (Data.Task.Index) {
    case 5:
        why = "no wall stands on the board at the start";
        break;
    case 6:
        why = "no bounded bird stands on the board at the start";
        break;
    case 10:
        why = std::to_string(FreeCellPercent(board)) + " % of the board is free at the start";
        break;
    case 12:
        why = "no crow stands on the board at the start";
        break;
    default:
        why = "a Value of " + std::to_string(Data.Task.Value) + " is reached before any play";
        break;
    }
    Report(Line(task->second), "task " + std::to_string(Data.Task.Index) +
                                   " is met before the first move (" + why +
                                   "): give it a goal the player has to reach");
}

// ---------------------------------------------------------------- the list

void CheckList(const TXMLNode& root, const LineMap& line, const fs::path& levelsDir,
               const std::set<std::string>& planned, CheckReport& report,
               std::vector<std::pair<fs::path, int>>& listed, int& plannedMissing) {
    std::set<std::string> names;
    int index = 0;
    for (const TXMLNode& child : root) {
        ++index;
        const int at = line(&child);
        const std::string number = "level " + std::to_string(index);
        if (child.Name() != "Level") {
            report(at, number + ": <" + child.Name() +
                           "> is not an entry (entries are named exactly \"Level\"); the game "
                           "leaves an empty level here");
            continue;
        }
        int32_t v = 0;
        int location = 0;
        if (!IntField(child, "Location", v) || v < 1 || v > 12)
            report(at,
                   number + ": Location \"" + child.GetFieldValue("Location") + "\" is not 1..12");
        else
            location = v;
        for (const auto& [attr, limit] : {std::pair<const char*, int>{"map_x", 1920},
                                          std::pair<const char*, int>{"map_y", 1080}}) {
            if (!IntField(child, attr, v) || v < 0 || v > limit)
                report(at, number + ": " + attr + " \"" + child.GetFieldValue(attr) +
                               "\" is not on the map (0.." + std::to_string(limit) + ")");
        }
        const std::string file = child.GetFieldValue("FileName");
        if (file.empty()) {
            report(at, number + ": FileName is empty");
            continue;
        }
        const std::string key = Lower(file) + ".xml";
        if (!names.insert(key).second)
            report(at, number + ": FileName \"" + file + "\" is listed twice");
        const fs::path path = levelsDir / (file + ".xml");
        std::error_code ec;
        if (fs::is_regular_file(path, ec)) {
            listed.push_back({path, location});
        } else if (planned.count(key)) {
            ++plannedMissing;
        } else {
            report(at, number + ": level file " + path.string() + " not found");
        }
    }
    constexpr int levelCount = 56;
    if (index != levelCount)
        report(line(&root), "the list has " + std::to_string(index) + " entries; the game has " +
                                std::to_string(levelCount) + " levels");
}

struct LevelDocument {
    std::string Text;
    std::unique_ptr<TXMLNode> Root;
};

bool ReadDocument(const fs::path& path, LevelDocument& doc) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return false;
    const auto bytes = ReadWholeFile(path.string());
    if (!bytes) return false;
    doc.Text.assign(bytes->begin(), bytes->end());
    doc.Root = XMLFromBytes(bytes->data(), bytes->size());
    return true;
}

} // namespace

std::vector<int> StartTagLines(std::string_view text) {
    std::vector<int> lines;
    int line = 1;
    std::size_t i = 0;
    // Moves i past `end`, counting lines; false when `end` never comes.
    auto skipPast = [&](std::string_view end) {
        const std::size_t at = text.find(end, i);
        const std::size_t stop = at == std::string_view::npos ? text.size() : at + end.size();
        for (; i < stop; ++i)
            if (text[i] == '\n') ++line;
        return at != std::string_view::npos;
    };
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\n') {
            ++line;
            ++i;
            continue;
        }
        if (c != '<') {
            ++i;
            continue;
        }
        const std::string_view rest = text.substr(i);
        if (rest.substr(0, 4) == "<!--") {
            skipPast("-->");
        } else if (rest.substr(0, 2) == "<?") {
            skipPast("?>");
        } else if (rest.substr(0, 2) == "<!" || rest.substr(0, 2) == "</") {
            skipPast(">");
        } else if (rest.size() > 1 && IsNameChar(rest[1])) {
            lines.push_back(line);
            // Skip the tag, attribute values included (they may hold '>').
            ++i;
            char quote = 0;
            for (; i < text.size(); ++i) {
                const char t = text[i];
                if (t == '\n') ++line;
                if (quote) {
                    if (t == quote) quote = 0;
                } else if (t == '"' || t == '\'') {
                    quote = t;
                } else if (t == '>') {
                    ++i;
                    break;
                }
            }
        } else {
            ++i;
        }
    }
    return lines;
}

int RunCheckLevels(const std::vector<std::string>& files, const std::string& levelsDir,
                   const std::string& manifest, std::ostream& out, std::ostream& err,
                   const std::string& locationsDir) {
    std::set<std::string> planned;
    if (!manifest.empty()) {
        std::vector<ManifestRow> rows;
        std::string error;
        if (!ReadManifest(manifest, rows, error)) {
            err << "datapack: " << error << "\n";
            return 1;
        }
        for (const ManifestRow& row : rows) {
            if (!row.Required && Lower(row.Archive) == Lower(LevelsArchiveName))
                planned.insert(Lower(row.Key));
        }
    }

    std::vector<LevelProblem> problems;
    std::vector<std::pair<fs::path, int>> levels; // file, location (0: not known)
    std::set<fs::path> seen;
    int plannedMissing = 0;
    auto addLevel = [&](const fs::path& p, int location) {
        std::error_code ec;
        fs::path canonical = fs::weakly_canonical(p, ec);
        if (ec) canonical = p;
        if (seen.insert(canonical).second) levels.push_back({p, location});
    };
    // The location files, read once each.
    std::map<int, std::unique_ptr<LevelLocation>> locations;
    fs::path locationFolder = locationsDir;
    auto location = [&](int number) -> const LevelLocation* {
        if (number <= 0 || locationFolder.empty()) return nullptr;
        auto& slot = locations[number];
        if (!slot) {
            slot = std::make_unique<LevelLocation>();
            slot->Number = number;
            const fs::path file = locationFolder / LocationKey(number);
            if (!LoadLocationFileFromDisk(file.string(), slot->Options)) {
                problems.push_back({file.string(), 0,
                                    "cannot be read as a location: its levels' cells are not "
                                    "checked against it"});
                slot->Number = -1;
            }
        }
        return slot->Number > 0 ? slot.get() : nullptr;
    };
    for (const std::string& file : files) {
        LevelDocument doc;
        if (!ReadDocument(file, doc)) {
            problems.push_back({file, 0, "cannot be read"});
            continue;
        }
        if (doc.Root && Lower(doc.Root->Name()) == "levels") {
            const fs::path dir =
                levelsDir.empty() ? fs::path(file).parent_path() : fs::path(levelsDir);
            std::vector<std::pair<fs::path, int>> listed;
            CheckReport report(file, problems);
            const LineMap lines(doc.Root.get(), doc.Text);
            CheckList(*doc.Root, lines, dir, planned, report, listed, plannedMissing);
            // The locations beside the levels, unless told.
            std::error_code ec;
            if (locationFolder.empty() && fs::is_directory(dir / ".." / "tData_Locations", ec))
                locationFolder = dir / ".." / "tData_Locations";
            for (const auto& [p, number] : listed) addLevel(p, number);
        } else {
            addLevel(file, 0);
        }
    }
    for (const auto& [level, number] : levels) {
        LevelDocument doc;
        if (!ReadDocument(level, doc)) {
            problems.push_back({level.string(), 0, "cannot be read"});
            continue;
        }
        CheckReport report(level.string(), problems);
        if (!doc.Root) {
            report(0, "not a readable XML document");
            continue;
        }
        const LineMap lines(doc.Root.get(), doc.Text);
        if (Lower(doc.Root->Name()) != "level") {
            report(lines(doc.Root.get()),
                   "the root element is <" + doc.Root->Name() + ">, not <level>");
            continue;
        }
        LevelChecker(*doc.Root, lines, report, location(number)).Run();
    }

    for (const LevelProblem& p : problems) {
        out << p.File;
        if (p.Line > 0) out << ":" << p.Line;
        out << ": " << p.Message << "\n";
    }
    out << levels.size() << " level file(s) checked, " << problems.size() << " problem(s)";
    if (plannedMissing > 0)
        out << "; " << plannedMissing << " listed level(s) planned, not written yet";
    out << "\n";
    return problems.empty() ? 0 : 1;
}

} // namespace bw::pack
