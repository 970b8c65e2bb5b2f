// The manual search over 50,000 chart entries and 50,000 library records, for an artist text
// found often and one found rarely, and a Top 40 selection over a 50,000-entry year range.
#include <benchmark/benchmark.h>

#include <string>

#include "core/search/AutoSelection.h"
#include "core/search/ManualSearch.h"

namespace velvane {
namespace {

constexpr int kRecords = 50000;

const TrackStore& Library() {
  static const TrackStore store = [] {
    TrackStore s;
    s.Allocate(kRecords, kRecords);
    for (int i = 0; i < kRecords; ++i) {
      // Every 20th artist is "The Common Band"; one artist name is unique.
      const std::string strArtist = i % 20 == 0  ? "The Common Band"
                                    : i == 31337 ? "Rare Bird Quartet"
                                                 : "Artist number " + std::to_string(i);
      const std::string strTitle = "A title of some length " + std::to_string(i);
      s.SetPlaylistEntry(i,
                         PlaylistEntry{strArtist, strTitle, std::to_string(i / 99 % 1000),
                                       std::to_string(i % 99 + 1), i % 2 == 0 ? i : -1},
                         kRecords);
      s.SetChartEntry(i,
                      ChartEntry{"05/03/1983", strArtist, strTitle, std::to_string(i % 40 + 1),
                                 i % 2 == 0 ? i : -1},
                      kRecords);
    }
    s.SetPlaylistCount(kRecords);
    s.SetChartCount(kRecords);
    return s;
  }();
  return store;
}

void BM_ManualSearchCommonArtist(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(ManualSearch(Library(), "common", "").rows.size());
  }
}
BENCHMARK(BM_ManualSearchCommonArtist)->Unit(benchmark::kMillisecond);

void BM_ManualSearchRareArtist(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(ManualSearch(Library(), "rare bird", "").rows.size());
  }
}
BENCHMARK(BM_ManualSearchRareArtist)->Unit(benchmark::kMillisecond);

void BM_Top40Selection(benchmark::State& state) {
  Random15 random(1);
  for (auto _ : state) {
    benchmark::DoNotOptimize(SelectTop40(Library(), "1983", "1983", random).rows.size());
  }
}
BENCHMARK(BM_Top40Selection)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace velvane
