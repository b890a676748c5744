#include "app/LogHeader.h"

#include "base/GameOptions.h"
#include "platform/Log.h"

#include <cstdio>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>

namespace bw {

namespace {

const char* const kMonths[12] = {"January",   "February", "March",    "April",
                                 "May",       "June",     "July",     "August",
                                 "September", "October",  "November", "December"};

std::string Printf(const char* fmt, double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, value);
    return buf;
}

double Megabytes(uint64_t bytes) {
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

} // namespace

std::string FormatThousands(uint64_t value) {
    if (value == 0) return "";
    std::string digits = std::to_string(value);
    std::string out;
    const size_t n = digits.size();
    for (size_t i = 0; i < n; ++i) {
        out += digits[i];
        const size_t left = n - 1 - i;
        if (left > 0 && left % 3 == 0) out += ',';
    }
    return out;
}

std::vector<std::string> LogHeaderLines(const LogHeaderFacts& f) {
    std::vector<std::string> lines;
    char when[96];
    const int month = (f.launched.tm_mon >= 0 && f.launched.tm_mon < 12) ? f.launched.tm_mon : 0;
    std::snprintf(when, sizeof when, "%02d:%02d [ %02d %s %04d ]", f.launched.tm_hour,
                  f.launched.tm_min, f.launched.tm_mday, kMonths[month], f.launched.tm_year + 1900);
    lines.push_back("Branchwick");
    lines.push_back(std::string("Version: ") + GameVersion);
    lines.push_back(std::string("Launched at: ") + when);
    lines.push_back("");
    if (!f.system.hostName.empty()) lines.push_back("Computer Name: " + f.system.hostName);
    if (!f.system.userName.empty()) lines.push_back("User Name: " + f.system.userName);
    lines.push_back("Application Path: " + f.applicationPath);
    lines.push_back("Profiles Path:    " + f.profilesPath);
    lines.push_back("");
    lines.push_back("Processor: " + f.system.processorName);
    lines.push_back("Processor type: x" + f.processorType);
    lines.push_back("Cores: " + std::to_string(f.system.processorCores));
    const uint64_t total = f.system.memoryTotal;
    const uint64_t avail = f.system.memoryAvailable;
    const uint64_t load = total > 0 ? (total - std::min(avail, total)) * 100 / total : 0;
    lines.push_back("Free Memory: " + std::to_string(load) + "%");
    lines.push_back("Total RAM: " + Printf("%0.0f Мбайт", Megabytes(total)));
    lines.push_back("Free RAM:  " + Printf("%0.3f Мбайт", Megabytes(avail)));
    // The page file's counterpart here is memory plus swap, as committed memory can use both.
    lines.push_back("Total Pagefile Size:  " +
                    Printf("%0.0f Мбайт", Megabytes(total + f.swapTotal)));
    lines.push_back("Free Pagefile Size:   " +
                    Printf("%0.0f Мбайт", Megabytes(avail + f.swapFree)));
    lines.push_back("Disc \"c:\" Size: " + FormatThousands(f.system.diskTotal / (1024 * 1024)) +
                    " mb");
    lines.push_back("Disc \"c:\" Free: " + FormatThousands(f.system.diskFree / (1024 * 1024)) +
                    " mb");
    lines.push_back("Screen Resolution: " + std::to_string(f.screenWidth) + "x" +
                    std::to_string(f.screenHeight));
    lines.push_back("Sav Screen Resolution: " + std::to_string(f.savedDesktopWidth) + "x" +
                    std::to_string(f.savedDesktopHeight));
    lines.push_back("BitDepth: " + std::to_string(f.bitDepth));
    lines.push_back("DPI: " + std::to_string(f.dpi));
    if (!f.videoAdapter.empty()) lines.push_back("Video Adapter: " + f.videoAdapter);
    lines.push_back(f.system.soundOutputDevices > 0
                        ? "Sound devices: " + std::to_string(f.system.soundOutputDevices)
                        : std::string("No sound devices!"));
    lines.insert(lines.end(), 3, "");
    return lines;
}

LogHeaderFacts GatherLogHeaderFacts(const std::string& applicationPath,
                                    const std::string& profilesPath) {
    LogHeaderFacts f;
    const std::time_t now = std::time(nullptr);
    localtime_r(&now, &f.launched);
    f.applicationPath = applicationPath;
    f.profilesPath = profilesPath;
    // The file system of the profiles folder, or of its nearest existing parent.
    std::string disk = profilesPath.empty() ? "/" : profilesPath;
    while (disk.size() > 1 && ::access(disk.c_str(), F_OK) != 0) {
        const size_t slash = disk.find_last_of('/');
        disk = slash == 0 || slash == std::string::npos ? "/" : disk.substr(0, slash);
    }
    f.system = QuerySystemInfo(disk);
    struct sysinfo si {};
    if (::sysinfo(&si) == 0) {
        f.swapTotal = static_cast<uint64_t>(si.totalswap) * si.mem_unit;
        f.swapFree = static_cast<uint64_t>(si.freeswap) * si.mem_unit;
    }
    utsname u{};
    if (::uname(&u) == 0) {
        const std::string m = u.machine;
        if (m == "x86_64")
            f.processorType = "8664";
        else if (m.size() == 4 && m[0] == 'i' && m.substr(2) == "86")
            f.processorType = "586";
        else
            f.processorType = m;
    }
    return f;
}

void WriteLogHeader(const LogHeaderFacts& facts) {
    StartLog();
    for (const std::string& line : LogHeaderLines(facts)) WriteLog(line, 0);
}

} // namespace bw
