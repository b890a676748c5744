// The image catalogue: every picture the game draws, looked up by name. An image is one or
// more equally sized textures cut into equal cells ("patterns"); sprites draw an image by
// pattern index.
//
// The catalogue keeps each image's 32-bit ARGB pixels (unless told not to) so that its
// textures can be rebuilt on a new device; a loader that prefers to read the pixels again
// instead sets the image's FOnReload hook and turns FKeepPixels off.
//
// Pictures read from archives may also wait for their textures: they are made when the image is
// first drawn, or in idle moments before that, and pictures that have not been drawn for a while
// give their textures back once the waiting pictures' textures pass a budget. The catalogue
// still holds every such image, with its sizes and patterns, from the moment it is read.
#pragma once

#include "render/Canvas.h"
#include "render/Types.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace bw {

class TKilnArchive;

// The progress of a running loading batch, shared by the archive readers that report it
// (images, particle descriptions, sounds). The batch sets LoadTotal to the number of records it
// will read and LoadCount to 0; a reader calls RecordDone after every record, loaded or not.
struct ImageLoadProgress {
    int LoadTotal = 0;
    int LoadCount = 0;
    // Receives the new percentage; the loading screen itself ignores a repeated value.
    std::function<void(int percent)> OnProgress;

    // LoadCount + 1, then reports round(LoadCount / LoadTotal * 100 + 3), at most 100.
    void RecordDone();
    static int Percent(int count, int total);
};

// The process-wide batch progress.
ImageLoadProgress& LoadingProgress();

// Texture formats, in the order of their stored ordinals.
enum TKilnPixelFormat : uint8_t {
    apf_Unknown,
    apf_R8G8B8,
    apf_A8R8G8B8,
    apf_X8R8G8B8,
    apf_R5G6B5,
    apf_X1R5G5B5,
    apf_A1R5G5B5,
    apf_A4R4G4B4,
    apf_R3G3B2,
    apf_A8,
    apf_A8R3G3B2,
    apf_X4R4G4B4,
    apf_A2B10G10R10,
    apf_G16R16,
    apf_A2R10G10B10,
    apf_A16B16G16R16,
    apf_L8,
    apf_A8L8,
    apf_A4L4,
    apf_L16,
    apf_R16F,
    apf_G16R16F,
    apf_A16B16G16R16F,
    apf_R32F,
    apf_G32R32F,
    apf_A32B32G32R32F,
    apf_A8B8G8R8,
    apf_X8B8G8R8,
    apf_A5L3,
    apf_A2R2G2B2,
    apf_A5R9G9B9,
};

// Pixels of every texture of an image: one vector of width * height ARGB words per texture,
// top row first.
using TKilnTexturePixels = std::vector<std::vector<uint32_t>>;

// Where a pattern lies: the texture, its source rectangle in texture pixels and the texture
// coordinates of the corners top-left, top-right, bottom-right, bottom-left (already swapped
// for mirroring and flipping).
struct TKilnPatternTex {
    int TextureIndex = -1; // index into TKilnImage::Textures; -1 = the pattern does not exist
    TextureId Texture = kNoTexture;
    TRect Source;
    TPoint4 Mapping{};
    explicit operator bool() const { return TextureIndex >= 0; }
};

class TKilnImages;

// When the textures of an image read from an archive are made.
enum class TextureTiming : uint8_t {
    Now,       // while it is read
    WhenDrawn, // when it is first drawn
    WhenIdle,  // in idle moments (TKilnImages::WarmUp), or when it is drawn before that
};

class TKilnImage {
public:
    std::string FName;
    std::vector<TextureId> Textures; // kNoTexture while no canvas holds the texture
    int FPatternCount = 0;
    TPoint2px FPatternSize;
    TPoint2px FVisibleSize; // the drawn part of each cell, from its top-left corner
    bool FMipMapping = false;
    TKilnPixelFormat FPixelFormat = apf_A8R8G8B8;
    bool FDynamicImage = false;

    // Fetches the pixels again when the textures must be rebuilt and none were kept.
    std::function<bool(const TKilnImage&, TKilnTexturePixels&)> FOnReload;

    TPoint2px TextureSize() const { return FTextureSize; }
    int TextureCount() const { return static_cast<int>(Textures.size()); }
    // Patterns one texture holds: (texture width div cell width) * (height div cell height).
    int PatternsPerTexture() const { return FColumns * FRows; }
    const TKilnTexturePixels& Pixels() const { return FPixels; }

    // Whether the textures wait until the image is drawn, and whether they exist now.
    bool Deferred() const { return FDeferred; }
    bool HasTextures() const;
    // Makes the textures of a waiting image and marks the image drawn in this frame. RetrieveTex
    // calls it; drawing code that reads Textures directly calls it first.
    void Touch() const;

    // The texture and coordinates of a pattern; empty for a pattern beyond the last texture.
    TKilnPatternTex RetrieveTex(int pattern, bool mirror = false, bool flip = false) const;
    // The same for a sub-rectangle of the cell (relative to the cell's top-left corner,
    // clipped to the visible size).
    TKilnPatternTex RetrieveTex(int pattern, const TRect& sub, bool mirror = false,
                                bool flip = false) const;

private:
    friend class TKilnImages;
    // Whole-cell lookups of the first few thousand patterns are precomputed.
    struct PatternCell {
        int TextureIndex = 0;
        TRect Source;
        float U0 = 0, V0 = 0, U1 = 0, V1 = 0;
    };
    TPoint2px FTextureSize;
    int FColumns = 0;
    int FRows = 0;
    TKilnTexturePixels FPixels;
    std::vector<PatternCell> FCells;
    TPoint2px FCellsVisibleSize; // the visible size the table was built for
    // The catalogue that makes a waiting image's textures, and the image's slot there.
    TKilnImages* FOwner = nullptr;
    int FSlot = -1;
    bool FDeferred = false;
    bool FReloadFailed = false; // reported once; the image then draws nothing
    bool FPutAway = false;      // makes no textures until recalled
    mutable uint64_t FLastDrawn = 0;

    void BuildCells();
};

// What an image is made of when it is added from memory.
struct TKilnImageData {
    std::string Name;
    TPoint2px PatternSize; // cell size; must be positive
    TPoint2px VisibleSize; // drawn part of a cell; (0, 0) = the whole cell
    int PatternCount = 0;  // 0 = every cell of every texture
    TPoint2px TextureSize; // size of each texture
    TKilnTexturePixels Textures;
    bool MipMapping = false;
    TKilnPixelFormat PixelFormat = apf_A8R8G8B8;
    bool DynamicImage = false;
};

class TKilnImages {
public:
    // Slots of owned images; a removed image leaves an empty slot that the next addition takes.
    std::vector<std::unique_ptr<TKilnImage>> Images;
    std::function<void(const std::string& name, int index)> FOnItemLoad;
    std::function<void(const std::string& name)> FOnItemFail;
    // Keep every image's pixels so that RestoreTextures can rebuild them.
    bool FKeepPixels = true;
    // When the textures of images read from archives from now on are made. Waiting images read
    // their pixels again through FOnReload, so they keep none.
    TextureTiming FNewTextures = TextureTiming::Now;
    // Bytes of texture that waiting images may hold before those not drawn for a while give
    // theirs back (0: no limit).
    size_t FDeferredBudget = 0;
    // How long, on the clock of BeginFrame, an image must go undrawn before its textures may be
    // given back.
    uint64_t FIdleTime = 180;

    explicit TKilnImages(Canvas* canvas = nullptr) : FCanvas(canvas) {}
    ~TKilnImages();
    TKilnImages(const TKilnImages&) = delete;
    TKilnImages& operator=(const TKilnImages&) = delete;

    Canvas* GetCanvas() const { return FCanvas; }
    // Changes the canvas the textures live on. Textures of the old canvas are destroyed there
    // first; new ones are created from the kept pixels (or the reload hook).
    void SetCanvas(Canvas* canvas);

    // Adds an image from ARGB pixels; returns its slot index or -1 when the data do not form
    // an image (sizes not positive, pixel counts wrong) or a texture cannot be created.
    int AddFromPixels(TKilnImageData data);
    // Loads one image record of an archive (the key providers are asked around the read).
    // The name is `name`, or, when empty, the key's part before any "|" with "/" turned into
    // "\", trimmed and without a leading "\". Returns the slot index, or -1 (reported through
    // FOnItemFail) when the record is missing, damaged or in an unreadable pixel format.
    int AddFromArchive(std::string_view key, TKilnArchive* archive, bool mipMapping = false,
                       std::string_view name = {});
    // Adds every record of the archive in index order, each named by its key; records that do
    // not load are skipped. With showProgress every record, loaded or not, advances `progress`.
    // Returns the number of images added.
    int AddAllFromArchive(TKilnArchive* archive, bool mipMapping, bool showProgress,
                          ImageLoadProgress& progress = LoadingProgress());
    // The same with the textures made at `timing` instead of at FNewTextures.
    int AddAllFromArchive(TKilnArchive* archive, bool mipMapping, bool showProgress,
                          TextureTiming timing, ImageLoadProgress& progress = LoadingProgress());
    // Loads a loose picture (png, jpg, bmp, tga) as one texture of its size and one pattern.
    // The name defaults to the file name without folder and extension.
    int AddFromFile(const std::string& fileName, std::string_view name = {},
                    bool mipMapping = false);
    // Frees an image and empties its slot. Sprites that resolved the image keep a dangling
    // pointer, so images are only removed when nothing draws them.
    void Remove(int index);
    void Clear();

    // Number of slots (empty ones included) and the image of a slot (nullptr when empty or out
    // of range).
    int Count() const { return static_cast<int>(Images.size()); }
    TKilnImage* Image(int index) const;

    // Case-insensitive (ASCII) lookup by name; -1 or nullptr when absent. With several images
    // of one name, one of them is found.
    int IndexOf(std::string_view name) const;
    TKilnImage* GetImage(std::string_view name) const;
    // IndexOf, reporting FOnItemFail when the image is absent.
    int Resolve(std::string_view name) const;

    // Destroys every texture on the canvas or, when the device is already gone, only forgets
    // the handles.
    void ReleaseTextures(bool destroyOnCanvas = true);
    // Gives back the space that loading from archives keeps between images.
    void ReleaseLoadingSpace();
    // Recreates every image's textures from the kept pixels or the reload hook. Returns the
    // number of images whose textures could not be rebuilt (they draw nothing).
    int RestoreTextures();

    // Frames are drawn between these two. BeginFrame gives the time of the frame on any steady
    // clock (the game counts its ticks). EndFrame: when the waiting images hold more than the
    // budget, those undrawn for FIdleTime give their textures back, the longest undrawn first.
    void BeginFrame(uint64_t now) { FNow = now; }
    void EndFrame();
    // Makes the textures of images read with TextureTiming::WhenIdle that have none yet, one after
    // another, until `seconds` have passed. Returns how many are still waiting. It keeps within
    // the budget: pictures undrawn for FIdleTime give their textures back to make room, and an
    // image that finds none is made when it is first drawn. After textures are given back (put
    // away or over the budget) it waits kFramesInFlight frames, for the driver to let them go.
    int WarmUp(double seconds);
    static constexpr int kFramesInFlight = 3;
    // Bytes of texture that waiting images hold now.
    size_t DeferredBytes() const { return FDeferredBytes; }
    // A waiting image that nothing is meant to draw any more (a location left) gives its
    // textures back at once and makes none, drawing nothing, until it is recalled: sprites
    // already marked dead still pass through one more frame. Images made at reading keep
    // their textures.
    void PutAway(int index);
    void Recall(int index);

    // ASCII-only case-folding comparison used for image names.
    static int CompareNames(std::string_view a, std::string_view b);
    static bool SameName(std::string_view a, std::string_view b) {
        return a.size() == b.size() && CompareNames(a, b) == 0;
    }

private:
    Canvas* FCanvas = nullptr;
    mutable std::vector<int> SearchObjects; // non-empty slots sorted by name
    mutable bool SearchDirty = false;

    void SortSearchObjects() const;
    bool CreateTextures(TKilnImage& image, const TKilnTexturePixels& pixels);
    int Insert(TKilnImageData data, bool makeTextures);
    // Reads a waiting image's pixels again and makes its textures; false (reported once) when
    // they cannot be read.
    bool MakeDeferredTextures(TKilnImage& image);
    bool ReloadTextures(TKilnImage& image);
    // Waiting images undrawn for FIdleTime give their textures back, the longest undrawn
    // first, until the waiting textures take at most `target` bytes; the frames in flight then
    // start again. True if any did.
    bool GiveBackIdle(size_t target);
    bool FitsBudget(size_t bytes) const;
    friend class TKilnImage;
    // Adds a record already read and decoded (`why` empty), or reports why it was not.
    int AddDecoded(std::string_view key, TKilnArchive* archive, bool mipMapping,
                   std::string_view name, const std::string& why, TKilnImageData data);

    // Space that a batch of archive images reads and decodes into, kept between images.
    std::vector<uint8_t> FScratchRecord;
    TKilnTexturePixels FScratchPixels;
    void DestroyTextures(TKilnImage& image);
    void DropTextures(TKilnImage& image); // the same without counting the budget

    uint64_t FNow = 0;
    size_t FDeferredBytes = 0;
    int FFramesSinceGiveBack = kFramesInFlight; // EndFrames since textures were last given back
    std::vector<int> FWarmSlots; // slots of WhenIdle images not made yet, in reading order
};

// The slots of the images a catalogue adds while it lives, and their names (a slot emptied
// and taken by another image since is told apart by its name): for pictures that are let go
// together later, such as one location's or the start's.
using TKilnImageSlots = std::vector<std::pair<int, std::string>>;
class ImageSlotRecorder {
public:
    ImageSlotRecorder(TKilnImages& images, TKilnImageSlots& into);
    ~ImageSlotRecorder();
    ImageSlotRecorder(const ImageSlotRecorder&) = delete;
    ImageSlotRecorder& operator=(const ImageSlotRecorder&) = delete;

private:
    TKilnImages& FImages;
    std::function<void(const std::string& name, int index)> FBefore;
};
// Removes the recorded images that still hold their slots, and forgets the slots.
void RemoveImageSlots(TKilnImages& images, TKilnImageSlots& slots);
// PutAway and Recall for each recorded image that still holds its slot.
void PutAwayImageSlots(TKilnImages& images, const TKilnImageSlots& slots);
void RecallImageSlots(TKilnImages& images, const TKilnImageSlots& slots);

} // namespace bw
