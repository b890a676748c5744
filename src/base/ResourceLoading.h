// Pictures that the start does not read: a location's before its first level and the
// cut-scenes' before the first cut-scene. Each archive is read at most once per catalogue. The
// loading screen installs itself as the loader and reads them behind its progress bar; without
// it they are read at once, with no screen (a board in a test, a tool).
#pragma once

namespace bw {

class ResourceLoader {
public:
    virtual ~ResourceLoader() = default;
    // True when the pictures are there and the caller goes on at once; false when a loading
    // screen now stands in between and leaving it goes on where the caller left off.
    virtual bool LoadLocationResources(int location) = 0;
    virtual bool LoadVideoResources(int video) = 0;
};
void SetResourceLoader(ResourceLoader* loader);

// Through the installed loader (location 1 .. 12, cut-scene archive 1 .. 2).
bool LoadLocationResources(int location);
bool LoadVideoResources(int video);

// Reads a location's pictures into the catalogue now and marks them loaded; with
// showProgress every record advances the running loading batch.
void ReadLocationPictures(int location, bool showProgress);
// Notes that a level of the location starts. The pictures of the location entered now and of
// the one entered before it stay; every other location's go, so that a whole game holds at
// most two locations' pictures. A location released so is read again (behind the loading
// screen) when it is entered again.
void NoteLocationEntered(int location);
// Slots of the catalogue that hold the location's pictures (empty while it is not loaded).
int LocationPictureCount(int location);

// The already-loaded flags, shared by every loader.
bool LocationResourcesLoaded(int location);
// Cut-scene archive 0 is shared by all cut-scenes; 1 and 2 are their own.
bool VideoResourcesLoaded(int archive);
void MarkVideoResourcesLoaded(int archive);
// A new picture catalogue holds none of them.
void ForgetLoadedResources();

} // namespace bw
