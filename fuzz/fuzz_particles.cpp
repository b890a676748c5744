// Reads arbitrary bytes as a particle description record, as the manager reads one from its
// archive, then launches, advances and draws what it describes. Checks that every description
// is found by its name, that no system outgrows its capacity and that no drawn quad has an
// undefined corner.
#include "FuzzFail.h"
#include "data/Xml.h"
#include "data/XmlLoad.h"
#include "effects/ParticleManager.h"
#include "render/RecordingCanvas.h"

#include <cmath>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto tree = bw::XMLFromBytes(data, size, bw::XmlNames::WithHyphen);
    if (!tree) return 0;
    bw::RecordingCanvas canvas(320, 200);
    bw::TXParticleManager manager;
    manager.FCanvas = &canvas;
    bw::SetParticleManager(&manager);
    int read = 0;
    for (const bw::TXMLNode& child : *tree) {
        if (child.Name() != "xsettings" || read >= 8) continue;
        manager.ParseXML(child, "fuzz_" + std::to_string(read) + ".xml");
        ++read;
    }
    if (manager.SettingsCount() != read) Fail("a description was not added");
    for (int i = 0; i < read && i < 3; ++i) {
        bw::TXParticleSystem* system = manager.Launch("FUZZ_" + std::to_string(i) + ".XML", {});
        if (!system) Fail("a description read is not found by its name");
        if (const bw::TXMLNode* emitters = tree->GetChildNode("emitters"))
            system->ParseEmittersXML(*emitters);
        for (int step = 0; step < 12; ++step) {
            system->Update(0.01f);
            if (system->FParticlesAlive > system->FCapacity ||
                system->FParticlesAlive != static_cast<int>(system->FParticles.size()))
                Fail("live count outside the storage");
        }
        system->Render(0, 0);
    }
    for (const auto& quad : canvas.Quads())
        for (const auto& corner : quad.corners)
            if (std::isnan(corner.x) || std::isnan(corner.y))
                Fail("a quad with an undefined corner");
    manager.KillAll();
    bw::SetParticleManager(nullptr);
    return 0;
}
