// The long-lived objects of a running game. They are owned by the main form, which creates
// them at start-up and frees them at shutdown in a fixed order; everyone else uses them through
// these pointers, which are null while the objects do not exist.
#pragma once

#include <array>
#include <string>

namespace bw {

class Canvas;
class SdlWindow;
class TKilnArchive;
class TKilnDevice;
class TKilnFonts;
class TKilnImages;
class TSpriteEngine;
class TAnimatedSprite;
class TCursorPoint;
class TMainForm;

extern TMainForm* MainForm;
extern SdlWindow* MainWindow;
extern TKilnDevice* Device;
extern TKilnImages* Images;
extern TKilnFonts* Fonts;
extern TSpriteEngine* MainEngine;
extern TSpriteEngine* LoadingEngine;
extern TCursorPoint* CursorPoint;
extern TAnimatedSprite* CursorImage;

// The data archives, all opened read-only.
struct GameArchives {
    TKilnArchive* External = nullptr;
    TKilnArchive* Objects = nullptr;
    TKilnArchive* Effects = nullptr;
    TKilnArchive* Common = nullptr;
    TKilnArchive* MainMenu = nullptr;
    TKilnArchive* Loading = nullptr;
    TKilnArchive* Interface = nullptr;
    TKilnArchive* Dialogs = nullptr;
    TKilnArchive* Map = nullptr;
    TKilnArchive* Fonts = nullptr;
    TKilnArchive* Particles0 = nullptr;
    TKilnArchive* Particles1 = nullptr;
    TKilnArchive* ParticlesLoc = nullptr;
    std::array<TKilnArchive*, 13> Locations{}; // 1 .. 12 used
    std::array<TKilnArchive*, 3> Videos{};
    TKilnArchive* Music = nullptr;
    TKilnArchive* Sfx = nullptr;
    TKilnArchive* Ambience = nullptr;
    TKilnArchive* LocationsData = nullptr;
    TKilnArchive* LevelsData = nullptr;
};
extern GameArchives Archives;

// Adds the pictures of the main archives (board pieces, effects, panels, menus, map) to the
// catalogue, once per catalogue; with showProgress every record advances the loading progress.
void LoadMainPictures(bool showProgress = false);
// The catalogue is going: the next LoadMainPictures loads them again.
void ForgetMainPictures();

// The folder "Data" that holds the archives (absolute, no trailing '/').
const std::string& DataFolder();
void SetDataFolder(const std::string& folder);
// DataFolder() + "/" + name.
std::string DataPath(const std::string& name);

} // namespace bw
