// The start of the game, from the program's entry to the first loading screen waiting for its
// click, on the built data set (the splash's own animation left out), against a floor that
// only reads and inflates the archive records that this start-up reads.
//
// Run from the build tree: bench/bench_startup (the data set is found beside CMakeCache.txt,
// or in BW_DATA).
#include "BenchSession.h"
#include "BenchTime.h"
#include "app/GameWiring.h"
#include "app/MainForm.h"
#include "app/Splash.h"
#include "base/GameOptions.h"
#include "base/GameState.h"
#include "data/KilnArchive.h"
#include "meta/Profile.h"
#include "platform/Files.h"
#include "platform/Log.h"
#include "replay/Replay.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

std::string DataFolder() {
    if (const char* d = std::getenv("BW_DATA")) return d;
    return bw::BuildTreeDataFolder(bw::ExecutableFolder());
}

std::string FreshHome() {
    static int n = 0;
    const auto dir = std::filesystem::temp_directory_path() /
                     ("bw_bench_startup_" + std::to_string(::getpid()) + "_" + std::to_string(n++));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

// One start: the window, the device, the start-up pictures, the splash created and ended at
// once, the main loading batch. Returns whether the first loading screen was reached.
bool StartOnce(const std::string& data, std::unique_ptr<bw::TMainForm>& form) {
    const bw::LaunchSettings ls = BenchLaunch(data, FreshHome());
    bw::Player = bw::TPlayer{};
    bw::WireGame();
    form = std::make_unique<bw::TMainForm>(ls);
    if (!form->Start()) return false;
    form->StepFrame(1, {}, false);
    if (bw::CurrentScene != bw::scene_Splash) return false;
    bw::DestroySplash();
    bw::FinishStartup();

    return bw::CurrentScene == bw::scene_Loaded;
}

void StopOnce(std::unique_ptr<bw::TMainForm>& form, const std::string& home) {
    form.reset();
    bw::UnwireGame();
    std::filesystem::remove_all(home);
}

// The records one start reads, by archive file.
std::map<std::string, std::vector<std::string>>& StartRecords() {
    static std::map<std::string, std::vector<std::string>> records;
    return records;
}

void BM_StartUp(benchmark::State& state) {
    const std::string data = DataFolder();
    if (data.empty()) {
        state.SkipWithError("no built data set");
        return;
    }
    bw::SetLogListener([](const std::string&) {});
    for (auto _ : state) {
        std::unique_ptr<bw::TMainForm> form;
        const bool ok = StartOnce(data, form);
        state.PauseTiming();
        const std::string home = bw::GameOptions.AppFolderPath;
        StopOnce(form, home);
        state.ResumeTiming();
        if (!ok) {
            state.SkipWithError("the first loading screen was not reached");
            break;
        }
    }
    bw::SetLogListener(nullptr);
}

void BM_StartUpFloor(benchmark::State& state) {
    const std::string data = DataFolder();
    if (data.empty()) {
        state.SkipWithError("no built data set");
        return;
    }
    // Which records a start reads, seen once.
    auto& records = StartRecords();
    if (records.empty()) {
        bw::SetLogListener([](const std::string&) {});
        bw::SetArchiveReadObserver(
            [&](const std::string& file, const std::string& key) { records[file].push_back(key); });
        std::unique_ptr<bw::TMainForm> form;
        StartOnce(data, form);
        bw::SetArchiveReadObserver({});
        StopOnce(form, bw::GameOptions.AppFolderPath);
        bw::SetLogListener(nullptr);
    }
    size_t count = 0;
    for (const auto& [file, keys] : records) count += keys.size();
    std::vector<uint8_t> bytes;
    for (auto _ : state) {
        size_t read = 0;
        for (const auto& [file, keys] : records) {
            bw::TKilnArchive archive;
            archive.SetOpenMode(bw::aomReadOnly);
            if (!archive.OpenFile(file)) continue;
            for (const std::string& key : keys)
                if (archive.ReadRecord(key, bytes)) read += bytes.size();
        }
        benchmark::DoNotOptimize(read);
    }
    state.counters["records"] = static_cast<double>(count);
}

} // namespace

// The floor first: it learns the records from one start of its own.
BENCHMARK(BM_StartUpFloor)->Unit(benchmark::kMillisecond)->MinTime(BenchTime(2.0));
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->MinTime(BenchTime(2.0));

BENCHMARK_MAIN();
