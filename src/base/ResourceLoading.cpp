#include "base/ResourceLoading.h"

#include "base/GameObjects.h"
#include "data/KilnImages.h"
#include "platform/Log.h"

#include <array>
#include <string>

namespace bw {

namespace {

ResourceLoader* Loader = nullptr;
std::array<bool, 13> LocationLoaded{};
std::array<bool, 3> VideoLoaded{};
std::array<TKilnImageSlots, 13> LocationSlots; // each location's pictures
int EnteredNow = 0;                            // the location of the level that started last
int EnteredBefore = 0;                         // the location entered before that one

void ReleaseLocation(int location) {
    auto& slots = LocationSlots[static_cast<size_t>(location)];
    if (Images) RemoveImageSlots(*Images, slots);
    slots.clear();
    LocationLoaded[static_cast<size_t>(location)] = false;
    WriteLog("Location " + std::to_string(location) + " pictures released", 2);
}

// Reads an archive's pictures on the spot.
void ReadPictures(TKilnArchive* archive, const std::string& what) {
    if (!Images) return;
    if (archive)
        Images->AddAllFromArchive(archive, true, false);
    else
        WriteLog(what + " has no picture archive", 1);
}

} // namespace

void SetResourceLoader(ResourceLoader* loader) {
    Loader = loader;
}

bool LoadLocationResources(int location) {
    if (location < 1 || location > 12) return true;
    NoteLocationEntered(location);
    if (Loader) return Loader->LoadLocationResources(location);
    if (!LocationLoaded[static_cast<size_t>(location)] && Images)
        ReadLocationPictures(location, false);
    return true;
}

void ReadLocationPictures(int location, bool showProgress) {
    if (location < 1 || location > 12) return;
    LocationLoaded[static_cast<size_t>(location)] = true;
    TKilnArchive* archive = Archives.Locations[static_cast<size_t>(location)];
    if (!Images) return;
    if (!archive) {
        WriteLog("Location " + std::to_string(location) + " has no picture archive", 1);
        return;
    }
    const ImageSlotRecorder recorder(*Images, LocationSlots[static_cast<size_t>(location)]);
    // Made while the loading screen waits for its click, the textures of the location left a
    // moment ago can also be given back while it is not drawn.
    Images->AddAllFromArchive(archive, true, showProgress, TextureTiming::WhenIdle);
}

void NoteLocationEntered(int location) {
    if (location < 1 || location > 12 || location == EnteredNow) return;
    EnteredBefore = EnteredNow;
    EnteredNow = location;
    for (int other = 1; other <= 12; ++other)
        if (other != EnteredNow && other != EnteredBefore &&
            LocationLoaded[static_cast<size_t>(other)])
            ReleaseLocation(other);
    // The location left keeps its pictures, for a return without a loading screen, but not
    // their textures.
    if (!Images) return;
    if (EnteredBefore >= 1)
        PutAwayImageSlots(*Images, LocationSlots[static_cast<size_t>(EnteredBefore)]);
    RecallImageSlots(*Images, LocationSlots[static_cast<size_t>(EnteredNow)]);
}

int LocationPictureCount(int location) {
    if (location < 1 || location > 12) return 0;
    return static_cast<int>(LocationSlots[static_cast<size_t>(location)].size());
}

bool LoadVideoResources(int video) {
    if (video < 1 || video > 2) return true;
    if (Loader) return Loader->LoadVideoResources(video);
    for (int a : {0, video}) {
        if (VideoLoaded[static_cast<size_t>(a)] || !Images) continue;
        VideoLoaded[static_cast<size_t>(a)] = true;
        ReadPictures(Archives.Videos[static_cast<size_t>(a)], "Cut-scene " + std::to_string(a));
    }
    return true;
}

bool LocationResourcesLoaded(int location) {
    return location >= 1 && location <= 12 && LocationLoaded[static_cast<size_t>(location)];
}

bool VideoResourcesLoaded(int archive) {
    return archive >= 0 && archive <= 2 && VideoLoaded[static_cast<size_t>(archive)];
}

void MarkVideoResourcesLoaded(int archive) {
    if (archive >= 0 && archive <= 2) VideoLoaded[static_cast<size_t>(archive)] = true;
}

void ForgetLoadedResources() {
    LocationLoaded = {};
    VideoLoaded = {};
    for (auto& slots : LocationSlots) slots.clear();
    EnteredNow = EnteredBefore = 0;
}

} // namespace bw
