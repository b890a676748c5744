#include "effects/ParticleManager.h"

#include "data/AsciiText.h"
#include "data/KilnArchive.h"
#include "data/KilnImages.h"
#include "data/Xml.h"
#include "data/XmlLoad.h"
#include "platform/Log.h"

#include <algorithm>

namespace bw {

namespace {

TXParticleManager* GManager = nullptr;
std::unique_ptr<TXParticleManager> GOwnManager;

bool IsParticleRoot(const TXMLNode& root) {
    const std::string name = AsciiLowerCase(root.Name());
    return name == "xparticles" || name == "unires";
}

} // namespace

TXParticleManager* ParticleManager() {
    return GManager;
}

void SetParticleManager(TXParticleManager* manager) {
    GManager = manager;
}

TXParticleManager& CreateParticleManager(Canvas* canvas, TKilnImages* images,
                                         const std::string& dataFolder) {
    DestroyParticleManager();
    GOwnManager = std::make_unique<TXParticleManager>();
    GOwnManager->FCanvas = canvas;
    GOwnManager->FImages = images;
    GOwnManager->FEmitterSources.Folder = dataFolder;
    SetParticleManager(GOwnManager.get());
    return *GOwnManager;
}

void DestroyParticleManager() {
    if (GManager == GOwnManager.get()) SetParticleManager(nullptr);
    GOwnManager.reset();
}

void LoadParticleArchive(TKilnArchive* archive, const std::function<void()>& onRecord) {
    if (!GManager) return;
    if (!archive || !archive->Ready()) {
        WriteLog("Particle archive " + (archive ? archive->FileName() : std::string("(none)")) +
                 " is not open: its effects are not shown");
        return;
    }
    const int before = GManager->SettingsCount();
    GManager->ParseAllXMLFilesFromArchive(archive, onRecord);
    WriteLog("Particle descriptions from " + archive->FileName() + ": " +
             std::to_string(GManager->SettingsCount() - before));
}

TXParticleManager::TXParticleManager() = default;

TXParticleManager::~TXParticleManager() {
    KillAll();
    if (GManager == this) GManager = nullptr;
}

int TXParticleManager::RecordsToRead(const TKilnArchive* archive) {
    return archive && archive->Ready() ? archive->RecordCount() : 0;
}

bool TXParticleManager::ParseAllXMLFilesFromArchive(TKilnArchive* archive,
                                                    const std::function<void()>& onRecord) {
    const int count = RecordsToRead(archive);
    for (int i = 0; i < count; ++i) {
        ParseXML_Record(archive->RecordKey(i), archive);
        if (onRecord) onRecord();
    }
    return true;
}

bool TXParticleManager::ParseXML_Record(const std::string& key, TKilnArchive* archive) {
    std::vector<std::string> reading;
    const bool added = ReadRecord(key, archive, key, reading);
    if (!added) WriteLog("Particle description \"" + key + "\" adds nothing");
    return added;
}

bool TXParticleManager::ReadRecord(const std::string& key, TKilnArchive* archive,
                                   const std::string& name, std::vector<std::string>& reading) {
    const std::string folded = AsciiLowerCase(key);
    if (std::find(reading.begin(), reading.end(), folded) != reading.end()) {
        WriteLog("Particle description \"" + name + "\": the group source \"" + key +
                 "\" is already being read");
        return false;
    }
    if (static_cast<int>(reading.size()) >= MaxGroupDepth) {
        WriteLog("Particle description \"" + name + "\": group sources nest deeper than " +
                 std::to_string(MaxGroupDepth));
        return false;
    }
    const std::unique_ptr<TXMLNode> root = XMLFromArchive(key, archive, XmlNames::WithHyphen);
    if (!root) {
        WriteLog("Particle description \"" + key + "\" " + XmlRecordProblem(key, archive));
        return false;
    }
    reading.push_back(folded);
    const bool added = ReadDocument(*root, name, archive, reading);
    reading.pop_back();
    return added;
}

bool TXParticleManager::ReadDocument(const TXMLNode& root, const std::string& name,
                                     TKilnArchive* archive, std::vector<std::string>& reading) {
    if (!IsParticleRoot(root)) return false;
    bool added = false;
    for (const TXMLNode& child : root) {
        const std::string kind = AsciiLowerCase(child.Name());
        if (kind == "xsettings") {
            ParseXML(child, name);
            added = true;
        } else if (kind == "particle-group" && archive) {
            for (const TXMLNode& part : child) {
                if (part.Name() != "particles") continue;
                const std::string source = part.GetFieldValue("source");
                if (!source.empty() && ReadRecord(source, archive, name, reading)) added = true;
            }
        }
    }
    return added;
}

bool TXParticleManager::ParseXMLFile(const std::string& fileName) {
    const std::unique_ptr<TXMLNode> root = XMLFromFile(fileName);
    std::vector<std::string> reading;
    return root && ReadDocument(*root, std::string(), nullptr, reading);
}

int TXParticleManager::ParseXML(const TXMLNode& node, const std::string& name) {
    TXParticleSystem reader(0);
    reader.FImages = FImages;
    // Only the description is kept, so the reader never opens emitter files.
    reader.ParseXML(node, name, TEmitterSourcePolicy{});
    if (!reader.FSettings.TexUid.empty() && !reader.FSettings.Texture)
        WriteLog("Particle description \"" + (name.empty() ? reader.FSettings.Uid : name) +
                 "\": no picture \"" + reader.FSettings.TexUid + "\"; drawn as points");
    return Add(reader.FSettings);
}

int TXParticleManager::Add(const TXParticleSettings& settings) {
    FSettings.push_back(settings);
    FSettings.back().Uid = AsciiLowerCase(settings.Uid);
    return static_cast<int>(FSettings.size()) - 1;
}

int TXParticleManager::IndexOf(const std::string& name) const {
    const std::string folded = AsciiLowerCase(name);
    for (size_t i = 0; i < FSettings.size(); ++i)
        if (FSettings[i].Uid == folded) return static_cast<int>(i);
    return -1;
}

TXParticleSystem* TXParticleManager::Launch(const std::string& name, TPoint2 position) {
    const int index = IndexOf(name);
    return index < 0 ? nullptr : Launch(index, position);
}

TXParticleSystem* TXParticleManager::Launch(int index, TPoint2 position) {
    if (index < 0 || index >= SettingsCount()) return nullptr;
    return LaunchEx(FSettings[static_cast<size_t>(index)], position);
}

TXParticleSystem* TXParticleManager::LaunchEx(const TXParticleSettings& settings,
                                              TPoint2 position) {
    if (FSysCount >= MaxParticleSystems) return nullptr;
    auto system = std::make_unique<TXParticleSystem>(ParticleCapacity);
    system->FImages = FImages;
    system->FCanvas = FCanvas;
    system->Load(settings);
    system->MoveTo(position, true);
    system->FPrevLocation = position;
    system->Start();
    system->FManagerPointer = this;
    system->FSerial = FNextSerial++;
    FSystems[static_cast<size_t>(FSysCount)] = std::move(system);
    return FSystems[static_cast<size_t>(FSysCount++)].get();
}

void TXParticleManager::KillPS(TXParticleSystem* system) {
    if (!system) return;
    for (int i = 0; i < FSysCount; ++i) {
        if (FSystems[static_cast<size_t>(i)].get() != system) continue;
        // Detach before freeing: the destructor must not find itself still listed.
        std::unique_ptr<TXParticleSystem> dying = std::move(FSystems[static_cast<size_t>(i)]);
        --FSysCount;
        if (i != FSysCount)
            FSystems[static_cast<size_t>(i)] = std::move(FSystems[static_cast<size_t>(FSysCount)]);
        dying->FManagerPointer = nullptr;
        return;
    }
}

void TXParticleManager::KillAll() {
    while (FSysCount > 0) {
        --FSysCount;
        FSystems[static_cast<size_t>(FSysCount)]->FManagerPointer = nullptr;
        FSystems[static_cast<size_t>(FSysCount)].reset();
    }
}

void TXParticleManager::Render(int dx, int dy) {
    for (int i = 0; i < FSysCount; ++i) {
        TXParticleSystem& system = *FSystems[static_cast<size_t>(i)];
        if (!system.FManualRender) system.Render(dx, dy);
    }
}

TXParticleSystem* TXParticleManager::Find(uint64_t serial) const {
    if (serial == 0) return nullptr;
    for (int i = 0; i < FSysCount; ++i)
        if (FSystems[static_cast<size_t>(i)]->FSerial == serial)
            return FSystems[static_cast<size_t>(i)].get();
    return nullptr;
}

bool TXParticleManager::IsLive(const TXParticleSystem* system) const {
    for (int i = 0; i < FSysCount; ++i)
        if (FSystems[static_cast<size_t>(i)].get() == system) return true;
    return false;
}

// ---- TParticleRef -------------------------------------------------------------------------------

TXParticleSystem* TParticleRef::Get() const {
    if (!FSystem) return nullptr;
    // The pointer is only trusted after the manager confirms the serial: a freed system's
    // memory is never touched.
    const TXParticleManager* manager = ParticleManager();
    if (!manager) return nullptr;
    TXParticleSystem* live = manager->Find(FSerial);
    return live == FSystem ? live : nullptr;
}

void TParticleRef::Kill() {
    if (TXParticleSystem* system = Get()) system->Kill();
    Reset();
}

} // namespace bw
