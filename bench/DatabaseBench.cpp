// Load and save of a 50,000-record playlist and a 50,000-entry chart file.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "BenchPorts.h"
#include "core/db/LineCodec.h"
#include "core/db/TrackDatabase.h"

namespace velvane {
namespace {

constexpr int kRecords = 50000;

// A database folder with both files, made once for the whole run.
const std::string& BenchFolder() {
  static const std::string folder = [] {
    const auto path = std::filesystem::temp_directory_path() / "velvane-bench-db";
    std::filesystem::create_directories(path);
    std::ofstream playlist(path / "playlist.dat", std::ios::binary | std::ios::trunc);
    std::ofstream charts(path / "charts.dat", std::ios::binary | std::ios::trunc);
    for (int i = 0; i < kRecords; ++i) {
      const std::string n = std::to_string(i);
      playlist << FormatPlaylistLine({"Artist number " + n, "A title of some length " + n,
                                      std::to_string(i / 99 % 1000), std::to_string(i % 99 + 1),
                                      i % 3 == 0 ? i : -1});
      charts << FormatChartLine({"05/03/19" + std::to_string(50 + i % 50), "Artist number " + n,
                                 "A title of some length " + n, std::to_string(i % 40 + 1),
                                 i % 3 == 0 ? i : -1});
    }
    return (path / "").string();
  }();
  return folder;
}

void BM_LoadBothDatabases(benchmark::State& state) {
  QuietPrompter prompter;
  FixedClock clock;
  for (auto _ : state) {
    TrackStore store;
    TrackDatabase database(store, clock, prompter, "bench");
    database.OpenAndLoad(BenchFolder(), kRecords, kRecords);
    benchmark::DoNotOptimize(store.ChartCount());
  }
  state.SetItemsProcessed(state.iterations() * 2 * kRecords);
}
BENCHMARK(BM_LoadBothDatabases)->Unit(benchmark::kMillisecond);

void BM_SaveBothDatabases(benchmark::State& state) {
  QuietPrompter prompter;
  FixedClock clock;
  TrackStore store;
  TrackDatabase database(store, clock, prompter, "bench");
  std::error_code error;
  database.LockFolder(BenchFolder(), error);  // saves need the folder lock
  database.OpenAndLoad(BenchFolder(), kRecords, kRecords);
  for (auto _ : state) {
    database.SavePlaylist(BenchFolder());
    database.SaveCharts(BenchFolder());
  }
  state.SetItemsProcessed(state.iterations() * 2 * kRecords);
}
BENCHMARK(BM_SaveBothDatabases)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velvane
