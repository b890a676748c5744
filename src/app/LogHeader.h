// The head of the log, written once at start-up: what game, when, and on what machine.
#pragma once

#include "platform/SystemInfo.h"

#include <ctime>
#include <string>
#include <vector>

namespace bw {

struct LogHeaderFacts {
    std::tm launched{}; // local time of the start
    std::string applicationPath;
    std::string profilesPath; // AppFolderPath
    SystemInfo system;
    std::string processorType; // "8664" for x86-64, "586" for 32-bit x86, else the machine
    uint64_t swapTotal = 0;    // bytes
    uint64_t swapFree = 0;
    int screenWidth = 0;
    int screenHeight = 0;
    int savedDesktopWidth = 1920; // DesktopWidth, DesktopHeight
    int savedDesktopHeight = 1080;
    int bitDepth = 0;
    int dpi = 0;
    std::string videoAdapter; // empty: the line is left out
};

// The header lines, in order (the last three are empty).
std::vector<std::string> LogHeaderLines(const LogHeaderFacts& facts);
// Gathers what the machine tells (the screen facts are left for the caller).
LogHeaderFacts GatherLogHeaderFacts(const std::string& applicationPath,
                                    const std::string& profilesPath);
// Starts a new log file and writes the header.
void WriteLogHeader(const LogHeaderFacts& facts);

// "#,###" with ',' between thousands: 1234567 -> "1,234,567"; 0 -> "" (the pattern shows no
// digits for zero).
std::string FormatThousands(uint64_t value);

} // namespace bw
