#include "data/KilnImages.h"

#include "data/ImageRecord.h"
#include "data/KilnArchive.h"
#include "data/KilnAuth.h"
#include "data/MediaLink.h"
#include "platform/Log.h"
#include "platform/PictureFile.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <malloc.h>
#include <utility>

namespace bw {

namespace {

// Reads and decodes one image record; the empty text, or why the record did not load.
std::string ReadImageRecord(std::string_view key, TKilnArchive& archive, TKilnImageData& out,
                            std::vector<uint8_t>& bytes) {
    {
        TKilnAuthSession auth(nullptr, &archive);
        if (!archive.Ready()) return "the archive is not open";
        const int index = archive.IndexOf(key);
        if (index < 0) return "not found";
        const ArchiveReadResult read = archive.ReadRecordAt(index, bytes);
        if (read != ArchiveReadResult::Ok) return ArchiveReadResultText(read);
    }
    const ImageRecordResult decoded = DecodeImageRecord(bytes.data(), bytes.size(), out);
    if (decoded != ImageRecordResult::Ok) return ImageRecordResultText(decoded);
    return {};
}

void LogImageFailure(const std::string& source, std::string_view key, const std::string& why) {
    // An archive that failed to open has forgotten its name; its open failure named it.
    const std::string from = source.empty() ? std::string("(archive not open)") : source;
    WriteLog("Image " + from + " | " + std::string(key) + " not loaded: " + why, 1);
}

// Reads the record again from the archive file, for rebuilding textures without kept pixels.
auto ArchiveReloader(std::string fileName, std::string key) {
    return [fileName = std::move(fileName), key = std::move(key)](const TKilnImage&,
                                                                  TKilnTexturePixels& pixels) {
        TKilnArchive archive;
        archive.SetOpenMode(aomReadOnly);
        if (fileName.empty() || !archive.OpenFile(fileName)) return false;
        TKilnImageData data;
        std::vector<uint8_t> bytes;
        const std::string why = ReadImageRecord(key, archive, data, bytes);
        if (!why.empty()) {
            LogImageFailure(fileName, key, why);
            return false;
        }
        pixels = std::move(data.Textures);
        return true;
    };
}

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

size_t TextureBytes(const TKilnImage& image) {
    return static_cast<size_t>(image.TextureSize().x) * static_cast<size_t>(image.TextureSize().y) *
           4u * image.Textures.size();
}

TPoint4 RectMapping(const TRect& r, TPoint2px texSize, bool mirror, bool flip) {
    const float w = static_cast<float>(texSize.x);
    const float h = static_cast<float>(texSize.y);
    float u0 = static_cast<float>(r.left) / w;
    float u1 = static_cast<float>(r.right) / w;
    float v0 = static_cast<float>(r.top) / h;
    float v1 = static_cast<float>(r.bottom) / h;
    if (mirror) std::swap(u0, u1);
    if (flip) std::swap(v0, v1);
    return TPoint4{TPoint2{u0, v0}, TPoint2{u1, v0}, TPoint2{u1, v1}, TPoint2{u0, v1}};
}

} // namespace

// --- Loading progress -------------------------------------------------------------------------

int ImageLoadProgress::Percent(int count, int total) {
    if (total <= 0) return 100;
    // Ties round to even, as everywhere in the game.
    const long double value =
        std::nearbyint(static_cast<long double>(count) / total * 100.0L + 3.0L);
    return value >= 100.0L ? 100 : static_cast<int>(value);
}

void ImageLoadProgress::RecordDone() {
    ++LoadCount;
    if (OnProgress) OnProgress(Percent(LoadCount, LoadTotal));
}

ImageLoadProgress& LoadingProgress() {
    static ImageLoadProgress progress;
    return progress;
}

// --- TKilnImage ------------------------------------------------------------------------------

bool TKilnImage::HasTextures() const {
    return !Textures.empty() && std::none_of(Textures.begin(), Textures.end(),
                                             [](TextureId t) { return t == kNoTexture; });
}

void TKilnImage::Touch() const {
    if (!FDeferred || FOwner == nullptr) return;
    FLastDrawn = FOwner->FNow;
    if (FReloadFailed || FPutAway || Textures.empty() || Textures.front() != kNoTexture) return;
    // The catalogue owns this image; it changes it through its own slot.
    if (TKilnImage* self = FOwner->Image(FSlot); self == this) FOwner->MakeDeferredTextures(*self);
}

TKilnPatternTex TKilnImage::RetrieveTex(int pattern, bool mirror, bool flip) const {
    Touch();
    if (pattern >= 0 && static_cast<size_t>(pattern) < FCells.size() &&
        FCellsVisibleSize == FVisibleSize &&
        static_cast<size_t>(FCells[static_cast<size_t>(pattern)].TextureIndex) < Textures.size()) {
        const PatternCell& cell = FCells[static_cast<size_t>(pattern)];
        TKilnPatternTex result;
        result.TextureIndex = cell.TextureIndex;
        result.Texture = Textures[static_cast<size_t>(cell.TextureIndex)];
        result.Source = cell.Source;
        float u0 = cell.U0, u1 = cell.U1, v0 = cell.V0, v1 = cell.V1;
        if (mirror) std::swap(u0, u1);
        if (flip) std::swap(v0, v1);
        result.Mapping =
            TPoint4{TPoint2{u0, v0}, TPoint2{u1, v0}, TPoint2{u1, v1}, TPoint2{u0, v1}};
        return result;
    }
    return RetrieveTex(pattern, TRect{0, 0, FVisibleSize.x, FVisibleSize.y}, mirror, flip);
}

void TKilnImage::BuildCells() {
    constexpr int kMaxCachedCells = 4096;
    FCells.clear();
    FCellsVisibleSize = FVisibleSize;
    const int total = std::min(PatternsPerTexture() * TextureCount(), kMaxCachedCells);
    FCells.reserve(static_cast<size_t>(std::max(total, 0)));
    const TRect whole{0, 0, FVisibleSize.x, FVisibleSize.y};
    for (int pattern = 0; pattern < total; ++pattern) {
        const TKilnPatternTex tex = RetrieveTex(pattern, whole, false, false);
        FCells.push_back(PatternCell{tex.TextureIndex, tex.Source, tex.Mapping[0].x,
                                     tex.Mapping[0].y, tex.Mapping[2].x, tex.Mapping[2].y});
    }
}

TKilnPatternTex TKilnImage::RetrieveTex(int pattern, const TRect& sub, bool mirror,
                                        bool flip) const {
    Touch();
    TKilnPatternTex result;
    const int perTexture = PatternsPerTexture();
    if (pattern < 0 || perTexture <= 0) return result;
    const int texIndex = pattern / perTexture;
    if (texIndex >= TextureCount()) return result;
    const int inTexture = pattern - texIndex * perTexture;
    const int row = inTexture / FColumns; // below FRows, as inTexture < FColumns * FRows
    const int column = inTexture - row * FColumns;

    const int cellLeft = column * FPatternSize.x;
    const int cellTop = row * FPatternSize.y;
    const int left = std::clamp(sub.left, 0, FVisibleSize.x);
    const int top = std::clamp(sub.top, 0, FVisibleSize.y);
    const int right = std::clamp(sub.right, left, FVisibleSize.x);
    const int bottom = std::clamp(sub.bottom, top, FVisibleSize.y);

    result.TextureIndex = texIndex;
    result.Texture = Textures[static_cast<size_t>(texIndex)];
    result.Source = TRect{cellLeft + left, cellTop + top, cellLeft + right, cellTop + bottom};
    result.Mapping = RectMapping(result.Source, FTextureSize, mirror, flip);
    return result;
}

// --- TKilnImages -----------------------------------------------------------------------------

TKilnImages::~TKilnImages() {
    Clear();
}

int TKilnImages::CompareNames(std::string_view a, std::string_view b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(FoldAscii(a[i]));
        const auto cb = static_cast<unsigned char>(FoldAscii(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

void TKilnImages::SetCanvas(Canvas* canvas) {
    if (canvas == FCanvas) return;
    ReleaseTextures(true);
    FCanvas = canvas;
    RestoreTextures();
}

bool TKilnImages::CreateTextures(TKilnImage& image, const TKilnTexturePixels& pixels) {
    image.Textures.assign(pixels.size(), kNoTexture);
    if (FCanvas == nullptr) return true; // the textures appear once a canvas is given
    for (size_t i = 0; i < pixels.size(); ++i) {
        image.Textures[i] =
            FCanvas->CreateTexture(image.FTextureSize.x, image.FTextureSize.y, pixels[i].data());
        if (image.Textures[i] == kNoTexture) {
            DestroyTextures(image);
            return false;
        }
    }
    return true;
}

void TKilnImages::DestroyTextures(TKilnImage& image) {
    if (image.FDeferred && image.HasTextures()) FDeferredBytes -= TextureBytes(image);
    DropTextures(image);
}

void TKilnImages::DropTextures(TKilnImage& image) {
    for (TextureId& tex : image.Textures) {
        if (tex != kNoTexture && FCanvas != nullptr) FCanvas->DestroyTexture(tex);
        tex = kNoTexture;
    }
}

int TKilnImages::AddFromPixels(TKilnImageData data) {
    return Insert(std::move(data), true);
}

int TKilnImages::Insert(TKilnImageData data, bool makeTextures) {
    const auto fail = [&]() {
        if (FOnItemFail) FOnItemFail(data.Name);
        return -1;
    };
    const TPoint2px cell = data.PatternSize;
    const TPoint2px tex = data.TextureSize;
    if (cell.x <= 0 || cell.y <= 0 || tex.x <= 0 || tex.y <= 0 || data.Textures.empty()) {
        return fail();
    }
    // A cell larger than the texture would hold no pattern at all.
    if (cell.x > tex.x || cell.y > tex.y) return fail();
    const size_t texPixels = static_cast<size_t>(tex.x) * static_cast<size_t>(tex.y);
    for (const auto& pixels : data.Textures) {
        if (pixels.size() != texPixels) return fail();
    }

    auto image = std::make_unique<TKilnImage>();
    image->FName = std::move(data.Name);
    image->FPatternSize = cell;
    // The drawn part never reaches into the neighbouring cells.
    TPoint2px visible = data.VisibleSize;
    if (visible.x <= 0 || visible.y <= 0) visible = cell;
    image->FVisibleSize = TPoint2px{std::min(visible.x, cell.x), std::min(visible.y, cell.y)};
    image->FTextureSize = tex;
    image->FColumns = tex.x / cell.x;
    image->FRows = tex.y / cell.y;
    const int capacity = image->PatternsPerTexture() * static_cast<int>(data.Textures.size());
    image->FPatternCount = data.PatternCount > 0 ? data.PatternCount : capacity;
    image->FMipMapping = data.MipMapping;
    image->FPixelFormat = data.PixelFormat;
    image->FDynamicImage = data.DynamicImage;
    image->Textures.assign(data.Textures.size(), kNoTexture);
    image->BuildCells();

    if (makeTextures && !CreateTextures(*image, data.Textures)) {
        data.Name = image->FName;
        return fail();
    }
    if (FKeepPixels && makeTextures)
        image->FPixels = std::move(data.Textures);
    else
        FScratchPixels = std::move(data.Textures); // space for the next image's pixels

    int index = -1;
    for (size_t i = 0; i < Images.size(); ++i) {
        if (!Images[i]) {
            index = static_cast<int>(i);
            break;
        }
    }
    if (index < 0) {
        index = static_cast<int>(Images.size());
        Images.push_back(nullptr);
    }
    image->FOwner = this;
    image->FSlot = index;
    Images[static_cast<size_t>(index)] = std::move(image);
    SearchDirty = true;
    if (FOnItemLoad) FOnItemLoad(Images[static_cast<size_t>(index)]->FName, index);
    return index;
}

int TKilnImages::AddFromArchive(std::string_view key, TKilnArchive* archive, bool mipMapping,
                                std::string_view name) {
    TKilnImageData data;
    data.Textures = std::move(FScratchPixels);
    const std::string why = archive == nullptr
                                ? std::string("no archive")
                                : ReadImageRecord(key, *archive, data, FScratchRecord);
    return AddDecoded(key, archive, mipMapping, name, why, std::move(data));
}

int TKilnImages::AddDecoded(std::string_view key, TKilnArchive* archive, bool mipMapping,
                            std::string_view name, const std::string& why, TKilnImageData data) {
    std::string imageName = name.empty() ? LinkItemName(key) : std::string(name);
    if (!why.empty()) {
        LogImageFailure(archive == nullptr ? std::string("(none)") : archive->FileName(), key, why);
        if (FOnItemFail) FOnItemFail(imageName);
        FScratchPixels = std::move(data.Textures);
        return -1;
    }
    data.Name = std::move(imageName);
    data.MipMapping = mipMapping;
    const bool defer = FNewTextures != TextureTiming::Now && FCanvas != nullptr;
    const int index = Insert(std::move(data), !defer);
    if (index >= 0) {
        TKilnImage& image = *Images[static_cast<std::size_t>(index)];
        image.FOnReload = ArchiveReloader(archive->FileName(), std::string(key));
        image.FDeferred = defer;
        if (defer && FNewTextures == TextureTiming::WhenIdle) FWarmSlots.push_back(index);
    } else {
        LogImageFailure(archive->FileName(), key, "no texture could be made of it");
    }
    return index;
}

int TKilnImages::AddAllFromArchive(TKilnArchive* archive, bool mipMapping, bool showProgress,
                                   ImageLoadProgress& progress) {
    if (archive == nullptr) return 0;
    int added = 0;
    const int records = archive->RecordCount();
    for (int i = 0; i < records; ++i) {
        const std::string key = archive->RecordKey(i);
        if (AddFromArchive(key, archive, mipMapping) >= 0) ++added;
        if (showProgress) progress.RecordDone();
    }
    return added;
}

int TKilnImages::AddAllFromArchive(TKilnArchive* archive, bool mipMapping, bool showProgress,
                                   TextureTiming timing, ImageLoadProgress& progress) {
    const TextureTiming before = FNewTextures;
    FNewTextures = timing;
    const int added = AddAllFromArchive(archive, mipMapping, showProgress, progress);
    FNewTextures = before;
    return added;
}

int TKilnImages::AddFromFile(const std::string& fileName, std::string_view name, bool mipMapping) {
    std::string imageName =
        name.empty() ? std::filesystem::path(fileName).stem().string() : std::string(name);
    Picture picture;
    std::string error;
    if (!LoadPictureFile(fileName, picture, &error)) {
        WriteLog("Picture " + fileName + " not loaded: " + error, 1);
        if (FOnItemFail) FOnItemFail(imageName);
        return -1;
    }
    TKilnImageData data;
    data.Name = std::move(imageName);
    data.PatternSize = data.TextureSize = TPoint2px{picture.width, picture.height};
    data.PatternCount = 1;
    data.MipMapping = mipMapping;
    data.Textures.push_back(std::move(picture.argb));
    const int index = AddFromPixels(std::move(data));
    if (index >= 0) {
        Images[static_cast<std::size_t>(index)]->FOnReload =
            [fileName](const TKilnImage& image, TKilnTexturePixels& pixels) {
                Picture again;
                if (!LoadPictureFile(fileName, again) ||
                    TPoint2px{again.width, again.height} != image.TextureSize())
                    return false;
                pixels.assign(1, std::move(again.argb));
                return true;
            };
    }
    return index;
}

void TKilnImages::Remove(int index) {
    if (index < 0 || index >= Count() || !Images[static_cast<size_t>(index)]) return;
    DestroyTextures(*Images[static_cast<size_t>(index)]);
    Images[static_cast<size_t>(index)].reset();
    SearchDirty = true;
}

void TKilnImages::Clear() {
    for (auto& image : Images) {
        if (image) DestroyTextures(*image);
    }
    Images.clear();
    FWarmSlots.clear();
    SearchObjects.clear();
    SearchDirty = false;
}

TKilnImage* TKilnImages::Image(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return Images[static_cast<size_t>(index)].get();
}

void TKilnImages::SortSearchObjects() const {
    SearchObjects.clear();
    for (size_t i = 0; i < Images.size(); ++i) {
        if (Images[i]) SearchObjects.push_back(static_cast<int>(i));
    }
    std::stable_sort(SearchObjects.begin(), SearchObjects.end(), [this](int a, int b) {
        return CompareNames(Images[static_cast<size_t>(a)]->FName,
                            Images[static_cast<size_t>(b)]->FName) < 0;
    });
    SearchDirty = false;
}

int TKilnImages::IndexOf(std::string_view name) const {
    if (SearchDirty) SortSearchObjects();
    size_t low = 0;
    size_t high = SearchObjects.size();
    while (low < high) {
        const size_t mid = low + (high - low) / 2;
        const int slot = SearchObjects[mid];
        const int cmp = CompareNames(Images[static_cast<size_t>(slot)]->FName, name);
        if (cmp == 0) return slot;
        if (cmp < 0) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    return -1;
}

TKilnImage* TKilnImages::GetImage(std::string_view name) const {
    return Image(IndexOf(name));
}

int TKilnImages::Resolve(std::string_view name) const {
    const int index = IndexOf(name);
    if (index < 0 && FOnItemFail) FOnItemFail(std::string(name));
    return index;
}

void TKilnImages::ReleaseTextures(bool destroyOnCanvas) {
    for (auto& image : Images) {
        if (!image) continue;
        if (destroyOnCanvas) {
            DestroyTextures(*image);
        } else {
            if (image->FDeferred && image->HasTextures()) FDeferredBytes -= TextureBytes(*image);
            std::fill(image->Textures.begin(), image->Textures.end(), kNoTexture);
        }
    }
}

void TKilnImages::ReleaseLoadingSpace() {
    FScratchRecord = {};
    FScratchPixels = {};
}

int TKilnImages::RestoreTextures() {
    int failed = 0;
    for (auto& image : Images) {
        if (!image) continue;
        DestroyTextures(*image);
        // A waiting image makes its textures on the new canvas when it is drawn again.
        if (image->FDeferred) {
            image->FReloadFailed = false;
            continue;
        }
        bool ok = false;
        if (!image->FPixels.empty()) {
            ok = CreateTextures(*image, image->FPixels);
        } else if (image->FOnReload) {
            ok = ReloadTextures(*image);
        }
        image->BuildCells(); // a reload may bring a different number of textures
        if (!ok) ++failed;
    }
    return failed;
}

bool TKilnImages::ReloadTextures(TKilnImage& image) {
    if (!image.FOnReload) return false;
    TKilnTexturePixels pixels;
    const size_t texPixels = static_cast<size_t>(image.FTextureSize.x) * image.FTextureSize.y;
    return image.FOnReload(image, pixels) && !pixels.empty() &&
           std::all_of(pixels.begin(), pixels.end(),
                       [&](const auto& p) { return p.size() == texPixels; }) &&
           CreateTextures(image, pixels);
}

bool TKilnImages::MakeDeferredTextures(TKilnImage& image) {
    if (FCanvas == nullptr) return false;
    const size_t count = image.Textures.size();
    // A record changed on disk since it was read would no longer fit the patterns looked up.
    if (!ReloadTextures(image) || image.Textures.size() != count) {
        DropTextures(image);
        image.Textures.assign(count, kNoTexture);
        image.FReloadFailed = true;
        WriteLog("Picture " + image.FName + " could not be read again and is not drawn", 1);
        return false;
    }
    image.FLastDrawn = FNow;
    FDeferredBytes += TextureBytes(image);
    return true;
}

bool TKilnImages::GiveBackIdle(size_t target) {
    if (FDeferredBytes <= target) return false;
    std::vector<TKilnImage*> idle;
    for (auto& image : Images)
        if (image && image->FDeferred && image->HasTextures() &&
            FNow - image->FLastDrawn >= std::max<uint64_t>(FIdleTime, 1))
            idle.push_back(image.get());
    std::stable_sort(idle.begin(), idle.end(), [](const TKilnImage* a, const TKilnImage* b) {
        return a->FLastDrawn < b->FLastDrawn;
    });
    bool gave = false;
    for (TKilnImage* image : idle) {
        if (FDeferredBytes <= target) break;
        DestroyTextures(*image);
        gave = true;
    }
    if (gave) {
        FFramesSinceGiveBack = 0;
        malloc_trim(0);
    }
    return gave;
}

bool TKilnImages::FitsBudget(size_t bytes) const {
    return FDeferredBudget == 0 || FDeferredBytes + bytes <= FDeferredBudget;
}

void TKilnImages::EndFrame() {
    if (FFramesSinceGiveBack < kFramesInFlight) ++FFramesSinceGiveBack;
    if (FDeferredBudget > 0) GiveBackIdle(FDeferredBudget);
}

void TKilnImages::PutAway(int index) {
    TKilnImage* image = Image(index);
    if (image == nullptr || !image->FDeferred) return;
    if (image->HasTextures()) FFramesSinceGiveBack = 0;
    DestroyTextures(*image);
    image->FPutAway = true;
}

void TKilnImages::Recall(int index) {
    if (TKilnImage* image = Image(index)) image->FPutAway = false;
}

int TKilnImages::WarmUp(double seconds) {
    // The driver lets go of textures given back only once the frames that drew them are done;
    // until then new ones would come on top of them.
    if (FFramesSinceGiveBack < kFramesInFlight) return static_cast<int>(FWarmSlots.size());
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    size_t done = 0;
    while (done < FWarmSlots.size()) {
        TKilnImage* image = Image(FWarmSlots[done]);
        if (!image || !image->FDeferred || image->HasTextures() || image->FReloadFailed ||
            image->FPutAway) {
            ++done;
            continue;
        }
        // Warming up keeps within the budget. Pictures undrawn for a while make room, and this
        // one waits for the frames in flight; one that finds no room is made when first drawn.
        const size_t bytes = TextureBytes(*image);
        if (!FitsBudget(bytes)) {
            if (bytes <= FDeferredBudget && GiveBackIdle(FDeferredBudget - bytes) &&
                FitsBudget(bytes))
                break;
            ++done;
            continue;
        }
        MakeDeferredTextures(*image);
        ++done;
        if (std::chrono::steady_clock::now() >= end) break;
    }
    FWarmSlots.erase(FWarmSlots.begin(), FWarmSlots.begin() + static_cast<std::ptrdiff_t>(done));
    return static_cast<int>(FWarmSlots.size());
}

ImageSlotRecorder::ImageSlotRecorder(TKilnImages& images, TKilnImageSlots& into)
    : FImages(images), FBefore(images.FOnItemLoad) {
    images.FOnItemLoad = [this, &into](const std::string& name, int index) {
        into.emplace_back(index, name);
        if (FBefore) FBefore(name, index);
    };
}

ImageSlotRecorder::~ImageSlotRecorder() {
    FImages.FOnItemLoad = std::move(FBefore);
}

namespace {

// Calls `act` with each recorded slot that its image still holds.
template <class Act>
void ForRecordedImages(TKilnImages& images, const TKilnImageSlots& slots, Act act) {
    for (const auto& [index, name] : slots)
        if (const TKilnImage* image = images.Image(index); image && image->FName == name)
            act(index);
}

} // namespace

void PutAwayImageSlots(TKilnImages& images, const TKilnImageSlots& slots) {
    ForRecordedImages(images, slots, [&](int index) { images.PutAway(index); });
    malloc_trim(0);
}

void RecallImageSlots(TKilnImages& images, const TKilnImageSlots& slots) {
    ForRecordedImages(images, slots, [&](int index) { images.Recall(index); });
}

void RemoveImageSlots(TKilnImages& images, TKilnImageSlots& slots) {
    ForRecordedImages(images, slots, [&](int index) { images.Remove(index); });
    slots.clear();
}

} // namespace bw
