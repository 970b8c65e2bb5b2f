// Load and save of a 1,000,000-record playlist and a 1,000,000-entry chart file (the largest
// library the settings allow; VELVANE_BENCH_RECORDS sets a smaller count for a quick run), and a
// start of the program on an empty library with both sizes at their limit.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdlib>
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

const int kRecords = [] {
  const char* pszRecords = std::getenv("VELVANE_BENCH_RECORDS");  // NOLINT(concurrency-mt-unsafe)
  return pszRecords != nullptr && std::atoi(pszRecords) > 0 ? std::atoi(pszRecords) : 1000000;
}();

// Large blocks come straight from mmap and are counted apart from the heap's own.
double HeapBytes() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<double>(info.uordblks + info.hblkhd);
}

// Resident memory, from /proc: the file contents live in pages of their own, beside the heap.
double ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  double dPages = 0;
  statm >> dPages >> dPages;
  return dPages * static_cast<double>(sysconf(_SC_PAGESIZE));
}

// A database folder with both files, made once for the whole run.
const std::string& BenchFolder() {
  static const std::string folder = [] {
    const auto path =
        std::filesystem::temp_directory_path() / ("velvane-bench-db-" + std::to_string(kRecords));
    std::filesystem::create_directories(path);
    std::ofstream playlist(path / "playlist.dat", std::ios::binary | std::ios::trunc);
    std::ofstream charts(path / "charts.dat", std::ios::binary | std::ios::trunc);
    for (int i = 0; i < kRecords; ++i) {
      const std::string n = std::to_string(i);
      playlist << FormatPlaylistLine({"Artist " + n, "Title " + n, std::to_string(i / 99 % 1000),
                                      std::to_string(i % 99 + 1), i % 3 == 0 ? i : -1});
      charts << FormatChartLine({"05/03/19" + std::to_string(50 + i % 50), "Artist " + n,
                                 "Title " + n, std::to_string(i % 40 + 1), i % 3 == 0 ? i : -1});
    }
    return (path / "").string();
  }();
  return folder;
}

// Reports the memory the loaded databases hold (heap_MB from the allocator, memory_MB all that
// became resident, taken on the first run) and that per byte of the two files
// (memory_per_file_byte).
void BM_LoadBothDatabases(benchmark::State& state) {
  QuietPrompter prompter;
  FixedClock clock;
  const std::string& strFolder = BenchFolder();  // made before the timing starts
  const double dFileBytes =
      static_cast<double>(std::filesystem::file_size(strFolder + "playlist.dat") +
                          std::filesystem::file_size(strFolder + "charts.dat"));
  double dHeapBytes = 0;
  double dResidentBytes = -1;
  for (auto _ : state) {
    const double dBefore = HeapBytes();
    const double dResidentBefore = ResidentBytes();
    TrackStore store;
    TrackDatabase database(store, clock, prompter, "bench");
    database.OpenAndLoad(strFolder, kRecords, kRecords);
    dHeapBytes = HeapBytes() - dBefore;
    if (dResidentBytes < 0) {
      dResidentBytes = ResidentBytes() - dResidentBefore;
    }
    benchmark::DoNotOptimize(store.ChartCount());
  }
  state.SetItemsProcessed(state.iterations() * 2 * kRecords);
  state.counters["heap_MB"] = dHeapBytes / 1e6;
  state.counters["memory_MB"] = dResidentBytes / 1e6;
  state.counters["memory_per_file_byte"] = dResidentBytes / dFileBytes;
}
// The two files load on two threads: the CPU column is both threads' time.
BENCHMARK(BM_LoadBothDatabases)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

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
  double dHeapBytes = 0;
  for (auto _ : state) {
    const double dBefore = HeapBytes();
    RadioCore radio(mci, clock, prompter, profile);
    radio.OnInitDialog([] {});
    dHeapBytes = HeapBytes() - dBefore;
    benchmark::DoNotOptimize(radio.Store().PlaySize());
  }
  state.counters["heap_kB"] = dHeapBytes / 1024.0;
}
BENCHMARK(BM_StartEmptyLibraryAtTheLimit)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velvane
