// Locations: the scenery of a group of levels. A location file names the board's cell and wall
// pictures, the board's geometry and layout kind, and the decoration around the board (plain,
// blinking, scrolling, swaying and particle objects). One location is active at a time; its
// description is the global LocationOptions() and its decoration sprites live from
// ApplyLocation until LeaveLocation.
//
// Location files are "location_<n>.xml" records of "tData_Locations.dan":
//
//   <location>
//     <settings>
//       <options Kind="0"/>            layout kind (TLocationMapKind)
//       <Birds MoveFx="..."/>          effect at each step of a flying bird
//       <Walls Kind="0" Image="..."/>  wall arrangement and picture
//       <Map Image="..."/>             cell picture
//       <MapSize X="8" Y="8"/>  <MapPosition X="" Y=""/>  <MapElementsAnimCount Value=""/>
//       <MapElementsChessOrder Value="yes"/>  <MapElementsSize X="" Y=""/>
//       <MapElementsScale X="1.0" Y="1.0"/>  <MapElementsOffset X="" Y=""/>
//       <MapElementCollideSize X="" Y=""/>  <MapTag X="" Y=""/>  <ShowPath_OffsetX X="" Y=""/>
//       <MapCentres><point x="65" y="60"/>...</MapCentres>
//     </settings>
//     <objects>
//       <sprite .../> <blinkedsprite .../> <texOffset .../> <transformsprite .../>
//       <particle .../> <options Kind=""/>
//     </objects>
//   </location>
//
// "settings" and "objects" may repeat and are read in document order.
#pragma once

#include "Engine/KilnSprite/KilnSprite.h"
#include "board/BoardTypes.h"
#include "gui/TransformObjectSprite.h"
#include "render/Types.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace bw {

class TKilnArchive;
class TXMLNode;

// How the board's cells are arranged and whether they move (LocationLayout.h).
enum TLocationMapKind : uint8_t {
    lockind_Default = 0,
    lockind_ClassicRoof,
    lockind_Water_1,
    lockind_ModernRoof,
    lockind_Hangar,
    lockind_Train,
    lockind_River_1
};
inline constexpr int LastLocationMapKind = lockind_River_1;

inline constexpr char LocationsArchiveName[] = "tData_Locations.dan";
// The record of location `number`: "location_<number>.xml".
inline std::string LocationKey(int number) {
    return "location_" + std::to_string(number) + ".xml";
}

// A blinking sprite waits Interval_min + Random(Interval_max) tenths of updates between bursts;
// a burst is Count blinks, each a fade from AlphaMin back to the sprite's own alpha that gains
// Speed per update (1 / Speed updates per blink).
struct TBlinkedOptions {
    int Interval_min = 0;
    int Interval_max = 0;
    float Speed = 0.0f;
    int Count = 0;
    int AlphaMin = 0;
};

// The descriptions below are read from the "objects" section. Attributes a description leaves
// out take the member defaults (a visible, unscaled, normally blended picture).
struct TLocationObject_Sprite {
    std::string ImageName;
    int X = 0;
    int Y = 0;
    int Z = 0;
    float ScaleX = 1.0f;
    float ScaleY = 1.0f;
    int Alpha = 255;
    TBlendingEffect Fx = beNormal; // "Fx" holds the ordinal
    int AnimCount = 1;             // patterns; more than 1 animates
    float AnimSpeed = 0.0f;
    TAnimPlayMode AnimPlayMode = pmForward; // "AnimPlayMode" holds the ordinal
};

struct TLocationObject_BlinkedSprite : TLocationObject_Sprite {
    TBlinkedOptions BlinkOptions;
};

struct TLocationObject_TextureOffset {
    std::string ImageName;
    int X = 0;
    int Y = 0;
    int Z = 0;
    int Alpha = 255;
    TBlendingEffect Fx = beNormal;
    TPoint2 Speed;     // texture scroll per update (TTextureOffsetSprite::fSpeed)
    TPoint RenderSize; // drawn size; 0 is the picture's own size
};

// Corners in the order top-left, top-right, bottom-right, bottom-left.
struct TLocationObject_TransformSprite : TLocationObject_Sprite {
    TTransformInfoClass TransformInfo{};
};

struct TLocationObject_Particle {
    std::string System;    // particle description name
    std::string MaskImage; // optional: an emitter at every opaque pixel of this picture
    std::string Texture;   // optional: replaces the particle texture
    float Scale = 1.0f;
    int X = 0;
    int Y = 0;
    int Z = 0;
    float EmisionMultiply = 1.0f;
};

// The most ordinary cell patterns a location may name; the reader keeps the count within
// 0..this.
inline constexpr int MaxMapElementsAnimCount = 4096;
// The most layers a board backing may have.
inline constexpr int MaxBackingLayers = 8;

struct TLocationOptions {
    std::string FLocationFileName; // file name of the location last loaded
    TLocationMapKind FKind = lockind_Default;
    std::string FBirdsMoveFx; // effect launched at each step of a flying bird
    // Kept by ResetLocationOptions: a location without "Walls" shows the walls of the location
    // loaded before it.
    uint8_t FWallsKind = 0;  // 0 two patterns; 1 or 2 four patterns with a mirrored right half
    std::string FWallsImage; // empty: no walls
    std::string FMapImage;   // cell picture
    TCoord2 FMapSize;        // columns and rows of the board (at most 16 each are built)
    TCoord2 FMapPosition;    // board origin in design units
    int FMapElementsAnimCount = 1; // ordinary cell patterns (one-way cells follow them)
    bool FMapElementsChessOrder = true;
    TCoord2 FMapElementsSize; // step between cells along their own axis
    TPoint2 FMapElementsScale{1.0f, 1.0f};
    TCoord2 FMapElementsOffset;     // skew: x shift per row, y shift per column
    TCoord2 FMapElementCollideSize; // half-size of the mouse box around a cell centre
    TPoint2 FMapTag;                // ClassicRoof: row shift of the right half (y)
    TCoord2 FShowPath_Offset;       // path preview points relative to the cell positions
    // Per cell pattern: where occupants are centred, unscaled, relative to the cell picture.
    std::vector<TPoint2> FMapCentres;
    // The surface the board sits on ("BoardBacking"; none when the picture is empty): pattern
    // i of the picture at the cell position + offset, at Z z + i; the top layer (the last
    // pattern) under every cell, the lower ones (the rim) only under cells at the board's edge.
    // Each layer is drawn for all cells before the next, so a picture a little larger than a
    // cell gives one surface that follows the board's outline, with no seams between cells.
    std::string BackingImage;
    int BackingLayers = 0;
    TCoord2 BackingOffset;
    int BackingZ = -3;
    std::vector<TLocationObject_Sprite> FLocObjects_Sprite;
    std::vector<TLocationObject_BlinkedSprite> FLocObjects_BlinkedSprite;
    std::vector<TLocationObject_TextureOffset> FLocObjects_TextureOffset;
    std::vector<TLocationObject_TransformSprite> FLocObjects_TransformSprite;
    std::vector<TLocationObject_Particle> FLocObjects_Particles;
};

// The active location.
TLocationOptions& LocationOptions();

// Everything back to the member defaults except FWallsKind and FWallsImage.
void ResetLocationOptions(TLocationOptions& options);
void ResetLocationOptions();

// Reads a parsed location document into `options` (which the caller has reset); `key` gives
// FLocationFileName. False, with nothing changed, for a null tree or a root other than
// "location" (any letter case).
bool ReadLocationOptions(const TXMLNode* root, std::string_view key, TLocationOptions& options);
// Resets `options` and reads the document from XML text.
bool LoadLocationFromText(std::string_view text, std::string_view key, TLocationOptions& options);
// Resets `options` and reads the record `key` of the archive (null: a missing record).
bool LoadLocationFile(std::string_view key, TKilnArchive* archive, TLocationOptions& options);
// The same from a plain file (development builds).
bool LoadLocationFileFromDisk(const std::string& fileName, TLocationOptions& options);

// Hooks into systems the location drives but does not own.

// Leaves the current location, resets LocationOptions(), reads the record `key` of the archive
// and creates its decoration as children of `parent` (the main sprite engine). A record that
// is missing, cannot be read or does not parse, or a wrong root, logs one line saying which
// and leaves the reset values (a 0 x 0 board); false then.
bool ApplyLocation(std::string_view key, TKilnArchive* archive, TSprite& parent);
// The same from a plain file (development builds).
bool ApplyLocationFromDisk(const std::string& fileName, TSprite& parent);
// Creates the decoration sprites of LocationOptions() as children of `parent`, in the order
// plain, blinking, scrolling, swaying, particle objects.
void CreateLocationDecoration(TSprite& parent);
// Stops the location ambience and asks every decoration sprite for removal (Dead()).
void LeaveLocation();

// The train of a lockind_Train location: its plain decoration object 0, while it exists;
// null in any other layout.
TSprite* LocationTrainObject();

class TLocationObject;
class TLocationBlinkedObject;
class TLocationTexOffsetObject;
class TLocationTransformObject;
class TLocationParticleObject;

// The decoration sprites of the active location, one list per description list (an entry is
// null once its sprite was freed by its parent).
struct LocationDecoration {
    std::vector<TLocationObject*> Sprites;
    std::vector<TLocationBlinkedObject*> BlinkedSprites;
    std::vector<TLocationTexOffsetObject*> TexOffsets;
    std::vector<TLocationTransformObject*> Transforms;
    std::vector<TLocationParticleObject*> Particles;
};
const LocationDecoration& LocationSprites();

// Called by every decoration sprite as it is freed, so the lists never hold a freed sprite.
void ForgetLocationSprite(const TSprite* sprite);

} // namespace bw
