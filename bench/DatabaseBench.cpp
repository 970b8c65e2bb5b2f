// Load and save of a 50,000-record playlist and a 50,000-entry chart file, and a start of the
// program on an empty library with both sizes at their limit.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "BenchPorts.h"
#include "core/db/LineCodec.h"
#include "core/db/TrackDatabase.h"
#include "core/main/RadioCore.h"
#include "core/settings/Settings.h"

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

// The sizes are limits, not allocations: memory follows the records held. Reports the heap the
// started program holds (heap_kB).
void BM_StartEmptyLibraryAtTheLimit(benchmark::State& state) {
  const auto path = std::filesystem::temp_directory_path() / "velvane-bench-empty-db";
  std::filesystem::remove_all(path);
  std::filesystem::create_directories(path);
  const std::string strSize = std::to_string(kMaxDatabaseSize);
  MapProfile profile{{{"IsInstalled", "1"},
                      {"FilesDir", (path / "").string()},
                      {"PlaySize", strSize},
                      {"ChartSize", strSize}}};
  QuietPrompter prompter;
  FixedClock clock;
  NoAudio mci;
  // Large blocks come straight from mmap and are counted apart from the heap's own.
  const auto heapBytes = [] {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
  };
  double dHeapBytes = 0;
  for (auto _ : state) {
    const double dBefore = heapBytes();
    RadioCore radio(mci, clock, prompter, profile);
    radio.OnInitDialog([] {});
    dHeapBytes = heapBytes() - dBefore;
    benchmark::DoNotOptimize(radio.Store().PlaySize());
  }
  state.counters["heap_kB"] = dHeapBytes / 1024.0;
}
BENCHMARK(BM_StartEmptyLibraryAtTheLimit)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velvane
