// Relationship building as a hash join against a plain nested loop on the same data, and the
// music file check over a generated music tree.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "BenchLibrary.h"
#include "BenchPorts.h"
#include "BenchSize.h"
#include "core/maintenance/MusicCheck.h"
#include "core/maintenance/Relationships.h"
#include "core/ports/Clock.h"
#include "core/search/TextMatch.h"
#include "core/text/Text.h"

namespace velvane {
namespace {

unsigned Mix(unsigned n) {
  n ^= n >> 16;
  n *= 0x7feb352dU;
  n ^= n >> 15;
  n *= 0x846ca68bU;
  return n ^ (n >> 16);
}

// About 0.4 songs per record (20,000 for 50,000), so many songs are in the library more than
// once; chart entries name every third song (a third of the library charts) and, one in five,
// songs the library lacks. Some chart artists are typed in capitals.
void FillMaintenanceLibrary(TrackStore& store, int nRecords, int nEntries) {
  const int nSongs = nRecords * 2 / 5;
  const auto artist = [](int s) { return BenchName(s * 7, 2); };
  const auto title = [](int s) { return BenchName(s * 13 + 5, 2) + ' ' + std::to_string(s); };
  store.Allocate(nRecords, nEntries);
  for (int p = 0; p < nRecords; ++p) {
    const int s = static_cast<int>(Mix(static_cast<unsigned>(p)) % static_cast<unsigned>(nSongs));
    store.SetPlaylistEntry(p, artist(s), title(s), std::to_string(p / 100 % 1000),
                           std::to_string(p % 100), -1);
  }
  for (int c = 0; c < nEntries; ++c) {
    const unsigned h = Mix(static_cast<unsigned>(c) + 0x9e3779b9U);
    int s = 3 * static_cast<int>(h % static_cast<unsigned>(nSongs / 3));
    if (h % 5 == 0) {
      s += nSongs;  // not in the library
    }
    std::string strArtist = artist(s);
    if (h % 7 == 0) {
      strArtist = UpperCaseForMatch(strArtist);
    }
    store.SetChartEntry(c, "05/03/1983", strArtist, title(s), std::to_string(h % 120 + 1), -1);
  }
  store.SetPlaylistCount(nRecords);
  store.SetChartCount(nEntries);
}

// Both builds on a library whose links are already built, as an operator would rebuild them.
void BM_Build(benchmark::State& state, void (*build)(TrackStore&, const BuildProgress&)) {
  TrackStore store;
  const int n = static_cast<int>(state.range(0));
  FillMaintenanceLibrary(store, n, n);
  BuildAllRelationships(store, {});
  for (auto _ : state) {
    build(store, {});
  }
  state.counters["pairs"] = static_cast<double>(n) * n;
}
BENCHMARK_CAPTURE(BM_Build, AllRelationships, &BuildAllRelationships)
    ->Arg(BenchSize(50000))
    ->Arg(BenchSize(500000))
    ->Arg(BenchSize(1000000))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Build, PlaylistReferences, &BuildPlaylistReferences)
    ->Arg(BenchSize(50000))
    ->Arg(BenchSize(500000))
    ->Arg(BenchSize(1000000))
    ->Unit(benchmark::kMillisecond);

// The floor under any way of relating: one read of every artist and title of both databases.
// Beyond the processor's cache even this costs more per record, so the builds are compared
// with it at each size to show that they stay linear.
void BM_ReadEveryName(benchmark::State& state) {
  TrackStore store;
  const int n = static_cast<int>(state.range(0));
  FillMaintenanceLibrary(store, n, n);
  const auto sum = [](std::string_view strText) {
    unsigned nSum = 0;
    for (const char c : strText) {
      nSum += static_cast<unsigned char>(c);
    }
    return nSum;
  };
  for (auto _ : state) {
    unsigned nSum = 0;
    for (int i = 0; i < n; ++i) {
      nSum += sum(store.Chart(i).strArtist) + sum(store.Chart(i).strTitle);
      nSum += sum(store.Playlist(i).strArtist) + sum(store.Playlist(i).strTitle);
    }
    benchmark::DoNotOptimize(nSum);
  }
}
BENCHMARK(BM_ReadEveryName)
    ->Arg(BenchSize(50000))
    ->Arg(BenchSize(500000))
    ->Arg(BenchSize(1000000))
    ->Unit(benchmark::kMillisecond);

// What a straightforward loop costs: every record against every chart entry, artist and title
// compared ignoring case (the generated names are plain ASCII, so this is the same match), the
// best position kept. Its cost grows with the product of the sizes: time per pair times the
// pairs of a size gives the loop's time there, the baseline the builds are quoted against.
void BM_PlainLoop(benchmark::State& state) {
  TrackStore store;
  const int n = static_cast<int>(state.range(0));
  FillMaintenanceLibrary(store, n, n);
  const auto equal = [](std::string_view strA, std::string_view strB) {
    return std::equal(strA.begin(), strA.end(), strB.begin(), strB.end(), [](char a, char b) {
      return std::toupper(static_cast<unsigned char>(a)) ==
             std::toupper(static_cast<unsigned char>(b));
    });
  };
  for (auto _ : state) {
    for (int p = 0; p < n; ++p) {
      int nBest = 1000;
      const PlaylistView record = store.Playlist(p);
      for (int c = 0; c < n; ++c) {
        const ChartView entry = store.Chart(c);
        if (equal(record.strArtist, entry.strArtist) && equal(record.strTitle, entry.strTitle)) {
          store.SetChartReference(p, c);
          if (const int nPosition = Atoi(entry.strPosition); nPosition < nBest) {
            store.SetPlaylistReference(c, p);
            nBest = nPosition;
          }
        }
      }
    }
  }
  state.counters["time_per_pair"] =
      benchmark::Counter(static_cast<double>(n) * n * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PlainLoop)->Arg(BenchSize(10000))->Iterations(1)->Unit(benchmark::kMillisecond);

// 50,000 records, 500 CD folders of 100 files; a hundredth of the records has no file.
void BM_CheckMusicFiles(benchmark::State& state) {
  const std::filesystem::path root = std::filesystem::temp_directory_path() / "velvane-music-bench";
  std::filesystem::remove_all(root);
  const int nRecords = BenchSize(50000);
  for (int cd = 0; cd < nRecords / 100; ++cd) {
    const auto folder = root / FormatInt(cd, 3);
    std::filesystem::create_directories(folder);
    for (int track = 0; track < 100; ++track) {
      std::ofstream(folder / (FormatInt(track, 2) + " Artist - Title.mp3"));
    }
  }
  TrackStore store;
  store.Allocate(nRecords, 1);
  for (int p = 0; p < nRecords; ++p) {
    store.SetPlaylistEntry(p, "A", "T", std::to_string(p / 100 + (p % 100 == 0 ? 600 : 0)),
                           std::to_string(p % 100), -1);
  }
  store.SetPlaylistCount(nRecords);
  const std::string strLogs = (root / "db").string() + "/";
  std::filesystem::create_directories(strLogs);
  FixedClock clock;
  for (auto _ : state) {
    benchmark::DoNotOptimize(CheckMusicFiles(store, root.string() + "/", strLogs, clock));
  }
  std::filesystem::remove_all(root);
}
BENCHMARK(BM_CheckMusicFiles)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velvane
