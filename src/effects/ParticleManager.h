// The particle manager: the game's one library of effect descriptions, read from the particle
// archives and looked up by name in any letter case, and the owner of every live particle
// system (at most 250). Game code launches a system by name and holds only a reference;
// TParticleRef tells whether that reference still names the same live system.
//
// Description records are XML documents with the root "xparticles" (or "unires"):
//
//   <xparticles>
//     <xsettings>
//       <system uid="" lifetime="" backwardrender=""/>
//       <texture image="X.image" pattern="" drawfx="fxuAdd|fxuShadow|fxuMultiply"/>
//       <particle lifemin="" lifemax="" middle=""/>
//       <color start="$AARRGGBB" mid="" end=""/>       <anim frameend=""/>
//       <emission rate="" direction="deg" relative="" spread="deg">
//         <threads count="" indexed=""/>
//       </emission>
//       <scale rnd=""><start x="" y=""/><mid x="" y=""/><end x="" y=""/></scale>
//       <spin min="deg" max="deg"/>
//       <forces><velocity min="" max=""/><gravity .../><accel .../><tangaccel .../></forces>
//       <cliprect left="" top="" right="" bottom=""/>
//     </xsettings>
//     <particle-group><particles source="other record.xml"/></particle-group>
//     <emitters source="file in the data folder"><point x="" y=""/></emitters>
//   </xparticles>
//
// Every description a record holds is named by the record's key. Group sources are read once
// per record and nest at most MaxGroupDepth deep, so a record naming itself or a cycle of
// records cannot recurse without end.
#pragma once

#include "effects/ParticleSystem.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace bw {

class TKilnArchive;
class TKilnImages;
class Canvas;

constexpr int MaxParticleSystems = 250;

class TXParticleManager {
public:
    static constexpr int MaxGroupDepth = 8;

    TXParticleManager();
    ~TXParticleManager();
    TXParticleManager(const TXParticleManager&) = delete;
    TXParticleManager& operator=(const TXParticleManager&) = delete;

    TKilnImages* FImages = nullptr;
    Canvas* FCanvas = nullptr;
    // Where emitter "source" files may be read from (the data folder).
    TEmitterSourcePolicy FEmitterSources;

    // Reads every record of the archive in index order; `onRecord` runs after each record,
    // read or not. Returns true.
    bool ParseAllXMLFilesFromArchive(TKilnArchive* archive,
                                     const std::function<void()>& onRecord = {});
    // How many records ParseAllXMLFilesFromArchive reads (for a progress bar).
    static int RecordsToRead(const TKilnArchive* archive);
    // Reads one record; every description it adds is named by `key`. False when the record
    // adds nothing.
    bool ParseXML_Record(const std::string& key, TKilnArchive* archive);
    // The same for a document on disk, descriptions named by their "uid".
    bool ParseXMLFile(const std::string& fileName);
    // Reads one "xsettings" element (texture looked up now) and adds it.
    int ParseXML(const TXMLNode& node, const std::string& name);
    int Add(const TXParticleSettings& settings);
    int IndexOf(const std::string& name) const;
    int SettingsCount() const { return static_cast<int>(FSettings.size()); }
    const TXParticleSettings& Settings(int index) const {
        return FSettings[static_cast<size_t>(index)];
    }

    // A new live system, or null for an unknown name, an index outside the library or when
    // 250 systems live.
    TXParticleSystem* Launch(const std::string& name, TPoint2 position);
    TXParticleSystem* Launch(int index, TPoint2 position);
    TXParticleSystem* LaunchEx(const TXParticleSettings& settings, TPoint2 position);
    // Frees a live system (the last live one takes its slot); anything else is ignored.
    void KillPS(TXParticleSystem* system);
    void KillAll();
    // Draws every live system that its owner does not draw itself.
    void Render(int dx, int dy);

    int FSysCount = 0;
    // The live system in a slot (0 .. FSysCount - 1).
    TXParticleSystem* System(int slot) const { return FSystems[static_cast<size_t>(slot)].get(); }
    // The live system of that serial number, or null.
    TXParticleSystem* Find(uint64_t serial) const;
    bool IsLive(const TXParticleSystem* system) const;

private:
    std::array<std::unique_ptr<TXParticleSystem>, MaxParticleSystems> FSystems;
    std::vector<TXParticleSettings> FSettings;
    uint64_t FNextSerial = 1;

    bool ReadRecord(const std::string& key, TKilnArchive* archive, const std::string& name,
                    std::vector<std::string>& reading);
    bool ReadDocument(const TXMLNode& root, const std::string& name, TKilnArchive* archive,
                      std::vector<std::string>& reading);
};

// The application's manager (null until start-up creates it).
TXParticleManager* ParticleManager();
void SetParticleManager(TXParticleManager* manager);
// Start-up and shutdown of the application's own manager: created with the canvas, the image
// catalogue and the data folder (the one place emitter files may come from), freed with every
// live system before the catalogue goes.
TXParticleManager& CreateParticleManager(Canvas* canvas, TKilnImages* images,
                                         const std::string& dataFolder);
void DestroyParticleManager();
// Reads the descriptions of a particle archive into the application's manager (nothing
// without one); `onRecord` runs after each record, for a progress bar.
void LoadParticleArchive(TKilnArchive* archive, const std::function<void()>& onRecord = {});

// A reference to a launched system that knows when the system is gone: Get() is null once the
// system was killed, by its owner or by anyone else, even when a new system took its slot.
class TParticleRef {
public:
    TParticleRef() = default;
    TParticleRef(TXParticleSystem* system) // NOLINT: a launch result converts
        : FSystem(system), FSerial(system ? system->FSerial : 0) {}

    TXParticleSystem* Get() const;
    TXParticleSystem* operator->() const { return Get(); }
    explicit operator bool() const { return Get() != nullptr; }
    // Kills the system when it still lives; the reference becomes empty.
    void Kill();
    void Reset() { *this = TParticleRef(); }

private:
    TXParticleSystem* FSystem = nullptr;
    uint64_t FSerial = 0;
};

} // namespace bw
