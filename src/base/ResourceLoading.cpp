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
    if (Loader) return Loader->LoadLocationResources(location);
    if (!LocationLoaded[static_cast<size_t>(location)] && Images) {
        LocationLoaded[static_cast<size_t>(location)] = true;
        ReadPictures(Archives.Locations[static_cast<size_t>(location)],
                     "Location " + std::to_string(location));
    }
    return true;
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

void MarkLocationResourcesLoaded(int location) {
    if (location >= 1 && location <= 12) LocationLoaded[static_cast<size_t>(location)] = true;
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
}

} // namespace bw
