#include "board/Location.h"

#include "board/BoardHost.h"
#include "board/LocationObjects.h"
#include "data/AsciiText.h"
#include "data/KilnArchive.h"
#include "data/Xml.h"
#include "data/XmlConvert.h"
#include "data/XmlLoad.h"
#include "data/XmlParser.h"
#include "platform/Log.h"

#include <algorithm>
#include <memory>

namespace bw {

namespace {

TLocationOptions GLocationOptions;
LocationDecoration GLocationSprites;

std::string_view FileNamePart(std::string_view key) {
    const auto slash = key.find_last_of("/\\");
    return slash == std::string_view::npos ? key : key.substr(slash + 1);
}

int IntAttr(const TXMLNode& node, std::string_view name, int def = 0) {
    return TextToIntDef(node.GetFieldValue(name), def);
}

float FloatAttr(const TXMLNode& node, std::string_view name, float def = 0.0f) {
    return TextToFloatDef(node.GetFieldValue(name), def);
}

TCoord2 CoordAttrs(const TXMLNode& node) {
    return {IntAttr(node, "X"), IntAttr(node, "Y")};
}

TLocationMapKind KindAttr(const TXMLNode& node, TLocationMapKind current) {
    const int kind = IntAttr(node, "Kind", current);
    if (kind < 0 || kind > LastLocationMapKind) {
        WriteLog("Location: unknown layout kind " + std::to_string(kind) + ", using 0");
        return lockind_Default;
    }
    return static_cast<TLocationMapKind>(kind);
}

TBlendingEffect BlendAttr(const TXMLNode& node) {
    const int fx = IntAttr(node, "Fx", beNormal);
    return fx >= beUnknown && fx <= beSrcColorAdd ? static_cast<TBlendingEffect>(fx) : beNormal;
}

void ReadSpriteFields(const TXMLNode& node, TLocationObject_Sprite& s) {
    s.ImageName = node.GetFieldValue("ImageName");
    s.X = IntAttr(node, "X");
    s.Y = IntAttr(node, "Y");
    s.Z = IntAttr(node, "Z");
    s.ScaleX = FloatAttr(node, "ScaleX", 1.0f);
    s.ScaleY = FloatAttr(node, "ScaleY", 1.0f);
    s.Alpha = std::clamp(IntAttr(node, "Alpha", 255), 0, 255);
    s.Fx = BlendAttr(node);
    s.AnimCount = IntAttr(node, "AnimCount", 1);
    s.AnimSpeed = FloatAttr(node, "AnimSpeed");
    const int mode = IntAttr(node, "AnimPlayMode", pmForward);
    s.AnimPlayMode =
        mode >= pmForward && mode <= pmPingPong ? static_cast<TAnimPlayMode>(mode) : pmForward;
}

void ReadBlinkedSprite(const TXMLNode& node, TLocationObject_BlinkedSprite& s) {
    ReadSpriteFields(node, s);
    s.BlinkOptions.Interval_min = IntAttr(node, "Blink_Interval_min");
    s.BlinkOptions.Interval_max = IntAttr(node, "Blink_Interval_max");
    s.BlinkOptions.Speed = FloatAttr(node, "Blink_Speed");
    s.BlinkOptions.Count = IntAttr(node, "Blink_Count");
    s.BlinkOptions.AlphaMin = std::clamp(IntAttr(node, "Blink_AlphaMin"), 0, 255);
}

void ReadTextureOffset(const TXMLNode& node, TLocationObject_TextureOffset& t) {
    t.ImageName = node.GetFieldValue("ImageName");
    t.X = IntAttr(node, "X");
    t.Y = IntAttr(node, "Y");
    t.Z = IntAttr(node, "Z");
    t.Alpha = std::clamp(IntAttr(node, "Alpha", 255), 0, 255);
    t.Fx = BlendAttr(node);
    t.Speed = {FloatAttr(node, "Speed_x"), FloatAttr(node, "Speed_y")};
    t.RenderSize = {IntAttr(node, "RenderSize_x"), IntAttr(node, "RenderSize_y")};
}

void ReadTransformSprite(const TXMLNode& node, TLocationObject_TransformSprite& s) {
    ReadSpriteFields(node, s);
    for (std::size_t i = 0; i < s.TransformInfo.size(); ++i) {
        const std::string prefix = "ti_" + std::to_string(i + 1) + "_";
        TTransformInfo& t = s.TransformInfo[i];
        t.EnabledX = TextIsTrue(node.GetFieldValue(prefix + "EnabledX"));
        t.EnabledY = TextIsTrue(node.GetFieldValue(prefix + "EnabledY"));
        t.RadiusX = FloatAttr(node, prefix + "RadiusX");
        t.RadiusY = FloatAttr(node, prefix + "RadiusY");
        t.Speed = FloatAttr(node, prefix + "Speed");
    }
}

void ReadParticle(const TXMLNode& node, TLocationObject_Particle& p) {
    p.System = node.GetFieldValue("System");
    p.MaskImage = node.GetFieldValue("MaskImage");
    p.Texture = node.GetFieldValue("Texture");
    p.X = IntAttr(node, "X");
    p.Y = IntAttr(node, "Y");
    p.Z = IntAttr(node, "Z");
    p.Scale = FloatAttr(node, "Scale", 1.0f);
    p.EmisionMultiply = FloatAttr(node, "EmisionMultiply", 1.0f);
}

void ReadSettings(const TXMLNode& settings, TLocationOptions& o) {
    for (const TXMLNode& e : settings) {
        const std::string& name = e.Name();
        if (AsciiSameText(name, "options")) {
            o.FKind = KindAttr(e, o.FKind);
        } else if (AsciiSameText(name, "Birds")) {
            o.FBirdsMoveFx = e.GetFieldValue("MoveFx");
        } else if (AsciiSameText(name, "Walls")) {
            o.FWallsKind = static_cast<uint8_t>(std::clamp(IntAttr(e, "Kind"), 0, 255));
            o.FWallsImage = e.GetFieldValue("Image");
        } else if (AsciiSameText(name, "Map")) {
            o.FMapImage = e.GetFieldValue("Image");
        } else if (AsciiSameText(name, "MapSize")) {
            o.FMapSize = CoordAttrs(e);
        } else if (AsciiSameText(name, "MapPosition")) {
            o.FMapPosition = CoordAttrs(e);
        } else if (AsciiSameText(name, "MapElementsAnimCount")) {
            o.FMapElementsAnimCount = std::clamp(IntAttr(e, "Value"), 0, MaxMapElementsAnimCount);
        } else if (AsciiSameText(name, "MapElementsChessOrder")) {
            o.FMapElementsChessOrder = TextIsTrue(e.GetFieldValue("Value"));
        } else if (AsciiSameText(name, "MapElementsSize")) {
            o.FMapElementsSize = CoordAttrs(e);
        } else if (AsciiSameText(name, "MapElementsScale")) {
            o.FMapElementsScale = {FloatAttr(e, "X"), FloatAttr(e, "Y")};
        } else if (AsciiSameText(name, "MapElementsOffset")) {
            o.FMapElementsOffset = CoordAttrs(e);
        } else if (AsciiSameText(name, "MapElementCollideSize")) {
            o.FMapElementCollideSize = CoordAttrs(e);
        } else if (AsciiSameText(name, "MapTag")) {
            o.FMapTag = {FloatAttr(e, "X"), FloatAttr(e, "Y")};
        } else if (AsciiSameText(name, "ShowPath_OffsetX")) {
            o.FShowPath_Offset = CoordAttrs(e);
        } else if (AsciiSameText(name, "BoardBacking")) {
            o.BackingImage = e.GetFieldValue("Image");
            o.BackingLayers = std::clamp(IntAttr(e, "Layers", 1), 0, MaxBackingLayers);
            o.BackingOffset = CoordAttrs(e);
            o.BackingZ = std::clamp(IntAttr(e, "Z", -3), -1000, 1000);
        } else if (AsciiSameText(name, "MapCentres")) {
            for (const TXMLNode& point : e)
                if (point.Name() == "point") o.FMapCentres.push_back(ReadPoint(&point));
        }
    }
}

void ReadObjects(const TXMLNode& objects, TLocationOptions& o) {
    for (const TXMLNode& e : objects) {
        const std::string& name = e.Name();
        if (name == "options") {
            o.FKind = KindAttr(e, o.FKind);
        } else if (name == "sprite") {
            ReadSpriteFields(e, o.FLocObjects_Sprite.emplace_back());
        } else if (name == "blinkedsprite") {
            ReadBlinkedSprite(e, o.FLocObjects_BlinkedSprite.emplace_back());
        } else if (name == "texOffset") {
            ReadTextureOffset(e, o.FLocObjects_TextureOffset.emplace_back());
        } else if (name == "transformsprite") {
            ReadTransformSprite(e, o.FLocObjects_TransformSprite.emplace_back());
        } else if (name == "particle") {
            ReadParticle(e, o.FLocObjects_Particles.emplace_back());
        }
    }
}

template <class T> void ForgetIn(std::vector<T*>& list, const TSprite* sprite) {
    for (T*& entry : list)
        if (entry == sprite) entry = nullptr;
}

template <class T> void KillAll(std::vector<T*>& list) {
    for (T* sprite : list)
        if (sprite) sprite->Dead();
    list.clear();
}

// Reads the document into the reset global record; logs, with `problem` (why there is no
// document), when it is missing or not a location. False then.
bool ApplyTree(const TXMLNode* root, std::string_view key, const std::string& problem,
               TSprite& parent) {
    LeaveLocation();
    ResetLocationOptions();
    bool read = false;
    if (!root) {
        WriteLog("Location \"" + std::string(key) + "\" " + problem + ": the board is empty");
    } else if (!ReadLocationOptions(root, key, GLocationOptions)) {
        WriteLog("Location \"" + std::string(key) + "\" is not a location file (root \"" +
                 root->Name() + "\"): the board is empty");
    } else {
        read = true;
    }
    CreateLocationDecoration(parent);
    // However the level got here (from the map, the next level, a restart), its location
    // sounds as soon as it stands.
    Host().StartAmbience();
    return read;
}

} // namespace

TLocationOptions& LocationOptions() {
    return GLocationOptions;
}

const LocationDecoration& LocationSprites() {
    return GLocationSprites;
}

void ResetLocationOptions(TLocationOptions& options) {
    TLocationOptions fresh;
    fresh.FWallsKind = options.FWallsKind;
    fresh.FWallsImage = std::move(options.FWallsImage);
    options = std::move(fresh);
}

void ResetLocationOptions() {
    ResetLocationOptions(GLocationOptions);
}

bool ReadLocationOptions(const TXMLNode* root, std::string_view key, TLocationOptions& options) {
    if (!root || !AsciiSameText(root->Name(), "location")) return false;
    options.FLocationFileName = std::string(FileNamePart(key));
    for (const TXMLNode& child : *root) {
        if (AsciiSameText(child.Name(), "settings"))
            ReadSettings(child, options);
        else if (AsciiSameText(child.Name(), "objects"))
            ReadObjects(child, options);
    }
    return true;
}

bool LoadLocationFromText(std::string_view text, std::string_view key, TLocationOptions& options) {
    ResetLocationOptions(options);
    const auto tree = XMLFromText(text);
    return ReadLocationOptions(tree.get(), key, options);
}

bool LoadLocationFile(std::string_view key, TKilnArchive* archive, TLocationOptions& options) {
    ResetLocationOptions(options);
    const auto tree = archive ? XMLFromArchive(key, archive) : nullptr;
    return ReadLocationOptions(tree.get(), key, options);
}

bool LoadLocationFileFromDisk(const std::string& fileName, TLocationOptions& options) {
    ResetLocationOptions(options);
    const auto tree = XMLFromFile(fileName);
    return ReadLocationOptions(tree.get(), fileName, options);
}

bool ApplyLocation(std::string_view key, TKilnArchive* archive, TSprite& parent) {
    const auto tree = archive ? XMLFromArchive(key, archive) : nullptr;
    std::string problem;
    if (!tree) {
        const std::string from =
            archive && !archive->FileName().empty() ? archive->FileName() : "(archive not open)";
        problem = "(" + from + ") " + XmlRecordProblem(key, archive);
    }
    return ApplyTree(tree.get(), key, problem, parent);
}

bool ApplyLocationFromDisk(const std::string& fileName, TSprite& parent) {
    const auto tree = XMLFromFile(fileName);
    return ApplyTree(tree.get(), fileName, "not found or does not parse", parent);
}

void CreateLocationDecoration(TSprite& parent) {
    const TLocationOptions& o = GLocationOptions;
    LocationDecoration& s = GLocationSprites;
    for (std::size_t i = 0; i < o.FLocObjects_Sprite.size(); ++i) {
        auto* sprite = new TLocationObject(&parent);
        sprite->Setup(o.FLocObjects_Sprite[i], static_cast<int>(i));
        s.Sprites.push_back(sprite);
    }
    for (const TLocationObject_BlinkedSprite& d : o.FLocObjects_BlinkedSprite) {
        auto* sprite = new TLocationBlinkedObject(&parent);
        sprite->Setup(d);
        s.BlinkedSprites.push_back(sprite);
    }
    for (const TLocationObject_TextureOffset& d : o.FLocObjects_TextureOffset) {
        auto* sprite = new TLocationTexOffsetObject(&parent);
        sprite->Setup(d);
        s.TexOffsets.push_back(sprite);
    }
    for (std::size_t i = 0; i < o.FLocObjects_TransformSprite.size(); ++i) {
        auto* sprite = new TLocationTransformObject(&parent);
        sprite->Setup(o.FLocObjects_TransformSprite[i], static_cast<int>(i));
        s.Transforms.push_back(sprite);
    }
    for (const TLocationObject_Particle& d : o.FLocObjects_Particles) {
        auto* sprite = new TLocationParticleObject(&parent);
        sprite->Setup(d);
        s.Particles.push_back(sprite);
    }
}

void LeaveLocation() {
    Host().StopAmbience();
    KillAll(GLocationSprites.Sprites);
    KillAll(GLocationSprites.BlinkedSprites);
    KillAll(GLocationSprites.TexOffsets);
    KillAll(GLocationSprites.Transforms);
    KillAll(GLocationSprites.Particles);
}

TSprite* LocationTrainObject() {
    if (GLocationOptions.FKind != lockind_Train || GLocationSprites.Sprites.empty()) return nullptr;
    TLocationObject* train = GLocationSprites.Sprites.front();
    if (!train || train->FDeaded) return nullptr;
    return train;
}

void ForgetLocationSprite(const TSprite* sprite) {
    ForgetIn(GLocationSprites.Sprites, sprite);
    ForgetIn(GLocationSprites.BlinkedSprites, sprite);
    ForgetIn(GLocationSprites.TexOffsets, sprite);
    ForgetIn(GLocationSprites.Transforms, sprite);
    ForgetIn(GLocationSprites.Particles, sprite);
}

} // namespace bw
