// Facts about the machine, for the head of the log.
#pragma once

#include <cstdint>
#include <string>

namespace bw {

struct SystemInfo {
    std::string hostName;
    std::string userName;
    std::string processorName;
    int processorCores = 0;
    uint64_t memoryTotal = 0;     // bytes
    uint64_t memoryAvailable = 0; // bytes
    uint64_t diskTotal = 0;       // bytes, of the file system holding `diskPath`
    uint64_t diskFree = 0;
    std::string osName;
    int soundOutputDevices = 0;
};

// Gathers what can be found; unknown facts stay empty or zero. `diskPath` names a folder on
// the file system to report (the application-data folder).
SystemInfo QuerySystemInfo(const std::string& diskPath);

// Number of sound output devices the sound library can see.
int CountSoundOutputDevices();

} // namespace bw
