#include "board/LevelFindings.h"

#include "data/AsciiText.h"
#include "data/Xml.h"
#include "data/XmlConvert.h"

#include <algorithm>

namespace bw {

namespace {

std::string Cell(int x, int y) {
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

bool CellExists(const TLevel_Data& data, int x, int y) {
    return IsPlayableCell(x, y) && data.Map[x][y] > 0;
}

// An attribute that is there but does not read as a whole number falls back to its default.
void CheckNumber(const TXMLNode& node, const char* name, std::vector<std::string>& out) {
    if (node.FindFieldByName(name) < 0) return;
    const std::string v = node.GetFieldValue(name);
    if (TextToIntDef(v, 0) != TextToIntDef(v, 1))
        out.push_back("<" + node.Name() + "> " + name + " \"" + v + "\" is not a number");
}

void CheckCount(const TXMLNode& node, const char* name, std::vector<std::string>& out) {
    CheckNumber(node, name, out);
    const int32_t v = TextToIntDef(node.GetFieldValue(name), 0);
    if (v < 0 || v > MaxLevelPieces)
        out.push_back("<" + node.Name() + "> " + name + " " + std::to_string(v) + " is cut to 0.." +
                      std::to_string(MaxLevelPieces) + ", what the board holds");
}

void CheckRows(const TXMLNode& section, char prefix, std::vector<std::string>& out) {
    for (const TXMLNode& row : section) {
        const std::string& n = row.Name();
        const bool known =
            n.size() >= 2 && n.size() <= 3 && AsciiLower(n[0]) == prefix &&
            std::all_of(n.begin() + 1, n.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
            (n.size() == 2 || n[1] != '0') && std::stoi(n.substr(1)) < BoardGridSize;
        if (!known) {
            out.push_back("row <" + n + "> of <" + section.Name() + "> is ignored");
            continue;
        }
        if (row.FindFieldByName("Value") < 0) {
            out.push_back("row " + n + " has no Value: its cells are empty");
            continue;
        }
        const std::size_t count = ParseIntegerList(row.GetFieldValue("Value")).size();
        if (count != static_cast<std::size_t>(BoardGridSize))
            out.push_back("row " + n + " has " + std::to_string(count) + " numbers, not " +
                          std::to_string(BoardGridSize));
    }
    for (int y = FirstPlayableCell; y <= LastPlayableCell; ++y)
        if (!section.GetChildNode(std::string(1, prefix) + std::to_string(y)))
            out.push_back("<" + section.Name() + "> lacks row " + std::string(1, prefix) +
                          std::to_string(y) + ": its cells are empty");
}

void CheckSettings(const TXMLNode& settings, std::vector<std::string>& out) {
    if (const TXMLNode* mission = settings.GetChildNode("Mission")) {
        const std::string name = mission->GetFieldValue("name");
        if (!name.empty() && name != "mission_nil" && name != "mission_nestlings" &&
            name != "mission_boss_1")
            out.push_back("unknown mission \"" + name + "\": an ordinary level");
    }
    if (const TXMLNode* task = settings.GetChildNode("Task"))
        for (const char* a : {"Index", "Value", "AdditionalValue"}) CheckNumber(*task, a, out);
    if (const TXMLNode* birds = settings.GetChildNode("Birds"))
        CheckCount(*birds, "GenerateCount", out);
    for (const char* name : {"BoundedBirds", "Crows", "Walls_1", "Walls_2"}) {
        const TXMLNode* gen = settings.GetChildNode(name);
        if (!gen) continue;
        CheckNumber(*gen, "Probability", out);
        CheckCount(*gen, "MaxAtOneTime", out);
        CheckCount(*gen, "MaxAtLevel", out);
    }
    if (const TXMLNode* boss = settings.GetChildNode("Boss"))
        for (const char* a : {"Kind", "X", "Y", "Health"}) CheckNumber(*boss, a, out);
    if (const TXMLNode* cats = settings.GetChildNode("Cats"))
        for (const TXMLNode& cat : *cats) {
            CheckNumber(cat, "Kind", out);
            CheckCount(cat, "Count", out);
        }
}

void CheckRecord(const TLevel_Data& data, std::vector<std::string>& out) {
    for (int x = 0; x < BoardGridSize; ++x) {
        for (int y = 0; y < BoardGridSize; ++y) {
            const int32_t code = data.Birds[x][y];
            if (code == 0) continue;
            if (ClassifyObjectCode(code) == objkind_Unknown)
                out.push_back("unknown object code " + std::to_string(code) + " at " + Cell(x, y) +
                              " is left out");
            else if (!CellExists(data, x, y))
                out.push_back("object " + std::to_string(code) + " at " + Cell(x, y) +
                              " stands on no cell and is left out");
        }
    }
    if (data.Task.Index < TaskTime || data.Task.Index > TaskCrows)
        out.push_back("task " + std::to_string(data.Task.Index) + " is unknown: it is never met");
    for (const TLevelData_Cat& cat : data.Cats)
        if (CatEntryCode(cat.Kind) == 0)
            out.push_back("cat entry of Kind " + std::to_string(cat.Kind) +
                          " is no cat: it never comes");
    const bool anyKind = std::any_of(data.Kinds.begin() + 1, data.Kinds.end(),
                                     [](int32_t weight) { return weight > 0; });
    if (data.GenerateBirdsCount > 0 && !anyKind)
        out.push_back("GenerateCount " + std::to_string(data.GenerateBirdsCount) +
                      " with no bird kind weighted: no bird is laid");
    if (data.Mission == mission_nestlings && data.NestlingsMaxCommon == 0)
        out.push_back("mission_nestlings without a caged nestling can never be won");
    if (data.Mission == mission_boss_1) {
        const TPoint at = data.Boss.Pos;
        if (data.Boss.Kind != 1)
            out.push_back("mission_boss_1 with boss Kind " + std::to_string(data.Boss.Kind) +
                          ": no boss comes");
        else if (!CellExists(data, at.x, at.y) || !CellExists(data, at.x + 1, at.y))
            out.push_back("the boss at " + Cell(at.x, at.y) + " covers " + Cell(at.x, at.y) +
                          " and " + Cell(at.x + 1, at.y) + ", not both cells of the board");
        if (data.Boss.Health < 1)
            out.push_back("the boss has Health " + std::to_string(data.Boss.Health) +
                          ": it falls at the first blow");
    }
}

} // namespace

bool LevelHasCells(const TLevel_Data& data) {
    for (int x = FirstPlayableCell; x <= LastPlayableCell; ++x)
        for (int y = FirstPlayableCell; y <= LastPlayableCell; ++y)
            if (data.Map[x][y] > 0) return true;
    return false;
}

std::vector<std::string> LevelFileFindings(const TXMLNode* root, const TLevel_Data& data) {
    std::vector<std::string> out;
    if (!root || !AsciiSameText(root->Name(), "level")) return {"not a level file"};
    bool map = false;
    for (const TXMLNode& child : *root) {
        if (AsciiSameText(child.Name(), "settings")) {
            CheckSettings(child, out);
        } else if (AsciiSameText(child.Name(), "map")) {
            CheckRows(child, 'm', out);
            map = true;
        } else if (AsciiSameText(child.Name(), "objects")) {
            CheckRows(child, 'b', out);
        } else {
            out.push_back("unknown section <" + child.Name() + "> is ignored");
        }
    }
    if (!map) out.push_back("no <map> section");
    if (!LevelHasCells(data)) out.push_back("no cell to play on");
    CheckRecord(data, out);
    return out;
}

} // namespace bw
