#include "platform/SystemInfo.h"

#include <AL/alc.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <pwd.h>
#include <sys/statvfs.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <thread>
#include <unistd.h>

namespace bw {

namespace {

std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return "";
    const size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

std::string ProcessorName() {
    std::ifstream in("/proc/cpuinfo");
    std::string line;
    while (std::getline(in, line)) {
        // x86 says "model name", others "Hardware", "Processor" or "cpu model".
        for (const char* key : {"model name", "Hardware", "Processor", "cpu model"}) {
            if (line.compare(0, std::strlen(key), key) == 0) {
                const size_t colon = line.find(':');
                if (colon != std::string::npos) {
                    const std::string v = Trim(line.substr(colon + 1));
                    if (!v.empty()) return v;
                }
            }
        }
    }
    return "";
}

std::string OsName() {
    std::ifstream in("/etc/os-release");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("PRETTY_NAME=", 0) == 0) {
            std::string v = line.substr(12);
            if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
            return v;
        }
    }
    utsname u{};
    if (::uname(&u) == 0) return std::string(u.sysname) + " " + u.release;
    return "";
}

// Counts the entries of a list of NUL-terminated strings ended by an empty one.
int CountList(const ALCchar* list) {
    int n = 0;
    while (list && *list) {
        ++n;
        list += std::strlen(list) + 1;
    }
    return n;
}

} // namespace

int CountSoundOutputDevices() {
    if (alcIsExtensionPresent(nullptr, "ALC_ENUMERATE_ALL_EXT"))
        return CountList(alcGetString(nullptr, ALC_ALL_DEVICES_SPECIFIER));
    if (alcIsExtensionPresent(nullptr, "ALC_ENUMERATION_EXT"))
        return CountList(alcGetString(nullptr, ALC_DEVICE_SPECIFIER));
    return 0;
}

SystemInfo QuerySystemInfo(const std::string& diskPath) {
    SystemInfo info;
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) == 0) info.hostName = host;
    if (const passwd* pw = ::getpwuid(::getuid())) info.userName = pw->pw_name;
    if (info.userName.empty())
        if (const char* u = std::getenv("USER")) info.userName = u;
    info.processorName = ProcessorName();
    info.processorCores = static_cast<int>(std::thread::hardware_concurrency());
    struct sysinfo si {};
    if (::sysinfo(&si) == 0) {
        info.memoryTotal = static_cast<uint64_t>(si.totalram) * si.mem_unit;
        info.memoryAvailable = static_cast<uint64_t>(si.freeram + si.bufferram) * si.mem_unit;
    }
    struct statvfs vfs {};
    if (!diskPath.empty() && ::statvfs(diskPath.c_str(), &vfs) == 0) {
        info.diskTotal = static_cast<uint64_t>(vfs.f_blocks) * vfs.f_frsize;
        info.diskFree = static_cast<uint64_t>(vfs.f_bavail) * vfs.f_frsize;
    }
    info.osName = OsName();
    info.soundOutputDevices = CountSoundOutputDevices();
    return info;
}

} // namespace bw
