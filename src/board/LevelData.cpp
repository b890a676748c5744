#include "board/LevelData.h"

#include "data/AsciiText.h"
#include "data/Xml.h"
#include "data/XmlConvert.h"
#include "data/XmlLoad.h"
#include "data/XmlParser.h"

#include <algorithm>
#include <limits>

namespace bw {

TLevel_Data CurrentLevel;
TLevelsList LevelsList;

CellCodeKind ClassifyCellCode(int32_t code) {
    if (code <= 0) return cellkind_None;
    if (code >= 21 && code <= 24) return cellkind_OneWay;
    if (code >= 31 && code <= 39) return cellkind_OpenGate;
    if (code >= 41 && code <= 49) return cellkind_ClosedGate;
    return cellkind_Ordinary;
}

int OneWayCellDirection(int32_t code) {
    return ClassifyCellCode(code) == cellkind_OneWay ? code - 20 : 0;
}

int GateCellCounter(int32_t code) {
    switch (ClassifyCellCode(code)) {
    case cellkind_OpenGate:
        return code - 30;
    case cellkind_ClosedGate:
        return code - 40;
    default:
        return 0;
    }
}

ObjectCodeKind ClassifyObjectCode(int32_t code) {
    if (code == 0) return objkind_None;
    if (code >= 1 && code <= 8) return objkind_Bird;
    if (code == ObjectCrow) return objkind_Crow;
    if (code >= 10 && code <= 18) return objkind_BoundedBird;
    if (code == ObjectBoundedCrow) return objkind_BoundedCrow;
    if (code >= 21 && code <= 25) return objkind_Cat;
    if (code >= 41 && code <= 45) return objkind_Bonus;
    if (code == 51 || code == 52) return objkind_Wall;
    if (code >= 61 && code <= 63) return objkind_Nestling;
    if (code == ObjectKey) return objkind_Key;
    if (code == ObjectRandomBoundedBird) return objkind_RandomBoundedBird;
    if (code == ObjectRandomBird) return objkind_RandomBird;
    return objkind_Unknown;
}

std::vector<int32_t> ParseIntegerList(std::string_view text) {
    constexpr int64_t maxValue = std::numeric_limits<int32_t>::max();
    std::vector<int32_t> numbers;
    int64_t value = 0;
    bool inRun = false;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            value = value * 10 + (c - '0');
            if (value > maxValue) value = maxValue;
            inRun = true;
        } else if (inRun) {
            numbers.push_back(static_cast<int32_t>(value));
            value = 0;
            inRun = false;
        }
    }
    if (inRun) numbers.push_back(static_cast<int32_t>(value));
    return numbers;
}

void ClearLevelData(TLevel_Data& data) {
    data.Map = {};
    data.Birds = {};
    data.Mission = mission_nil;
    data.NestlingsMaxCommon = 0;
    data.Kinds = {};
    data.CatsMaxCommon = 0;
    data.GenerateBirdsCount = 0;
    data.Cats.clear();
}

namespace {

std::string_view FileNamePart(std::string_view key) {
    const auto slash = key.find_last_of("/\\");
    return slash == std::string_view::npos ? key : key.substr(slash + 1);
}

int32_t IntAttr(const TXMLNode& node, std::string_view name, int32_t def) {
    return TextToIntDef(node.GetFieldValue(name), def);
}

} // namespace

int32_t CatEntryCode(int32_t kind) {
    if (kind >= 1 && kind <= 5) return kind + 20;
    if (kind >= 21 && kind <= 25) return kind;
    return 0;
}

namespace {

template <class Generation> void ReadGeneration(const TXMLNode* node, Generation& gen) {
    if (!node) return;
    gen.Probability = IntAttr(*node, "Probability", 0);
    // These count attempts and pieces on the board: more than it has cells would only make
    // the turn loop for nothing.
    gen.MaxAtOneTime = std::clamp(IntAttr(*node, "MaxAtOneTime", 0), 0, MaxLevelPieces);
    gen.MaxAtLevel = std::clamp(IntAttr(*node, "MaxAtLevel", 0), 0, MaxLevelPieces);
}

TLevelData_Cat ReadCat(const TXMLNode& node) {
    TLevelData_Cat cat;
    cat.Count = std::clamp(IntAttr(node, "Count", 1), 0, MaxLevelPieces);
    cat.Droped = false;
    cat.Shadow = TextToBool(node.GetFieldValue("Shadow"), true);
    cat.Infinite = TextToBool(node.GetFieldValue("Infinite"), false);
    cat.Random = IntAttr(node, "Random", 100);
    cat.Kind = IntAttr(node, "Kind", 0);
    if (const TXMLNode* pos = node.GetChildNode("Pos")) {
        cat.Pos = {IntAttr(*pos, "X", -1), IntAttr(*pos, "Y", -1)};
    }
    if (const TXMLNode* cond = node.GetChildNode("Conditions")) {
        cat.Cond_name = cond->GetFieldValue("Name");
        cat.Cond_value = IntAttr(*cond, "Value", -1);
    }
    if (const TXMLNode* ev = node.GetChildNode("Event")) {
        cat.Event_name = ev->GetFieldValue("Name");
        cat.Event_value = IntAttr(*ev, "Value", -1);
    }
    cat.Music_event.Index = 0;
    if (const TXMLNode* music = node.GetChildNode("MusicEvent")) {
        cat.Music_event.Name = music->GetFieldValue("Name");
        cat.Music_event.Index = IntAttr(*music, "Index", 0);
        cat.Music_event.Time = IntAttr(*music, "Time", 0);
        cat.Music_event.ReturnPrevMusic = cat.Music_event.Time != 0;
    }
    return cat;
}

void ReadSettings(const TXMLNode& settings, TLevel_Data& data) {
    if (const TXMLNode* mission = settings.GetChildNode("Mission")) {
        const std::string name = mission->GetFieldValue("name");
        if (name == "mission_nestlings")
            data.Mission = mission_nestlings;
        else if (name == "mission_boss_1")
            data.Mission = mission_boss_1;
    }

    if (const TXMLNode* task = settings.GetChildNode("Task")) {
        data.Task.Index = IntAttr(*task, "Index", 1);
        data.Task.Value = IntAttr(*task, "Value", 1);
        data.Task.AdditionalValue = IntAttr(*task, "AdditionalValue", 1);
    } else {
        data.Task = {1, 120, 0};
    }

    if (const TXMLNode* music = settings.GetChildNode("Music")) {
        data.Music.Tracks.clear();
        for (int n = 1;; ++n) {
            const TXMLNode* track = music->GetChildNode("music_" + std::to_string(n));
            if (!track) break;
            data.Music.Tracks.push_back(
                {IntAttr(*track, "index", 1), IntAttr(*track, "duration", 0)});
        }
        data.Music.Count = static_cast<int32_t>(data.Music.Tracks.size());
    }

    if (const TXMLNode* birds = settings.GetChildNode("Birds")) {
        data.GenerateBirdsCount =
            std::clamp(IntAttr(*birds, "GenerateCount", 0), 0, MaxLevelPieces);
        const std::vector<int32_t> kinds = ParseIntegerList(birds->GetFieldValue("Kinds"));
        for (std::size_t kind = 1; kind < data.Kinds.size(); ++kind)
            data.Kinds[kind] = kind - 1 < kinds.size() ? kinds[kind - 1] : 0;
    }

    ReadGeneration(settings.GetChildNode("BoundedBirds"), data.BoundedBirds);
    ReadGeneration(settings.GetChildNode("Crows"), data.Crows);
    ReadGeneration(settings.GetChildNode("Walls_1"), data.Walls_1);
    ReadGeneration(settings.GetChildNode("Walls_2"), data.Walls_2);

    if (const TXMLNode* boss = settings.GetChildNode("Boss")) {
        data.Boss.Kind = IntAttr(*boss, "Kind", 0);
        data.Boss.Pos = {IntAttr(*boss, "X", 1), IntAttr(*boss, "Y", 1)};
        data.Boss.Health = IntAttr(*boss, "Health", 1);
    }

    if (const TXMLNode* cats = settings.GetChildNode("Cats")) {
        data.Cats.clear();
        for (const TXMLNode& child : *cats) data.Cats.push_back(ReadCat(child));
    }
}

// Rows "<prefix>0" .. "<prefix>17". A row that is present replaces the playable part of its
// grid row (missing numbers are 0); a missing row is left alone. Only the playable cells
// 1..16 are stored: the border and anything past it are dropped.
void ReadGridRows(const TXMLNode& section, std::string_view prefix, LevelGrid& grid) {
    for (int y = 0; y < BoardGridSize; ++y) {
        const TXMLNode* row = section.GetChildNode(std::string(prefix) + std::to_string(y));
        if (!row || y < FirstPlayableCell || y > LastPlayableCell) continue;
        const std::vector<int32_t> numbers = ParseIntegerList(row->GetFieldValue("Value"));
        for (int x = FirstPlayableCell; x <= LastPlayableCell; ++x)
            grid[x][y] = static_cast<std::size_t>(x) < numbers.size() ? numbers[x] : 0;
    }
}

} // namespace

bool LoadLevelFromTree(const TXMLNode* root, std::string_view key, TLevel_Data& data) {
    ClearLevelData(data);
    if (!root || !AsciiSameText(root->Name(), "level")) return false;
    data.FileName = std::string(FileNamePart(key));

    bool anySection = false;
    bool taskRead = false;
    for (const TXMLNode& child : *root) {
        if (AsciiSameText(child.Name(), "settings")) {
            ReadSettings(child, data);
            anySection = taskRead = true;
        } else if (AsciiSameText(child.Name(), "map")) {
            ReadGridRows(child, "m", data.Map);
            anySection = true;
        } else if (AsciiSameText(child.Name(), "objects")) {
            ReadGridRows(child, "b", data.Birds);
            anySection = true;
        }
    }
    // A level without settings has no task either: it gets the default task rather than the
    // one of the level read before.
    if (!taskRead) data.Task = {1, 120, 0};

    // Counted once over the final grid, so neither the order of the sections nor a repeated
    // "objects" section changes the totals.
    int32_t cats = 0;
    int32_t nestlings = 0;
    for (const auto& column : data.Birds) {
        for (const int32_t code : column) {
            const ObjectCodeKind kind = ClassifyObjectCode(code);
            if (kind == objkind_Cat) ++cats;
            if (kind == objkind_Nestling) ++nestlings;
        }
    }
    data.CatsMaxCommon = static_cast<int32_t>(data.Cats.size()) + cats;
    data.NestlingsMaxCommon = nestlings;
    return anySection;
}

bool LoadLevelFromText(std::string_view text, std::string_view key, TLevel_Data& data) {
    const auto tree = XMLFromText(text);
    return LoadLevelFromTree(tree.get(), key, data);
}

bool LoadLevelFile(std::string_view key, TKilnArchive* archive, TLevel_Data& data) {
    const auto tree = archive ? XMLFromArchive(key, archive) : nullptr;
    return LoadLevelFromTree(tree.get(), key, data);
}

bool LoadLevelFileFromDisk(const std::string& fileName, TLevel_Data& data) {
    const auto tree = XMLFromFile(fileName);
    return LoadLevelFromTree(tree.get(), fileName, data);
}

bool LoadLevelsListFromTree(const TXMLNode* root, TLevelsList& list) {
    if (!root || !AsciiSameText(root->Name(), "levels")) return false;
    TLevelsList result(static_cast<std::size_t>(root->ChildCount()));
    for (int i = 0; i < root->ChildCount(); ++i) {
        const TXMLNode* child = root->GetChild(i);
        if (child->Name() != "Level") continue;
        TLevelListElement& entry = result[static_cast<std::size_t>(i)];
        entry.Location = TextToInt(child->GetFieldValue("Location"));
        entry.FileName = child->GetFieldValue("FileName");
        entry.MapCoord = {TextToInt(child->GetFieldValue("map_x")),
                          TextToInt(child->GetFieldValue("map_y"))};
    }
    list = std::move(result);
    return true;
}

bool LoadLevelsList(std::string_view key, TKilnArchive* archive, TLevelsList& list) {
    const auto tree = archive ? XMLFromArchive(key, archive) : nullptr;
    return LoadLevelsListFromTree(tree.get(), list);
}

bool LoadLevelsListFromDisk(const std::string& fileName, TLevelsList& list) {
    const auto tree = XMLFromFile(fileName);
    return LoadLevelsListFromTree(tree.get(), list);
}

} // namespace bw
