// The two update merges on the downloaded text, without the transfer: a 50,000-line chart
// update into a 50,000-entry chart history with a third of the entries linked, and a
// 5,000-line number-one update against a 5,000-entry hits.dat.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "BenchPorts.h"
#include "core/db/LineCodec.h"
#include "core/db/TrackStore.h"
#include "core/text/Text.h"
#include "core/updates/UpdateMerge.h"

namespace velvane {
namespace {

constexpr int kChartLines = 50000;
constexpr int kNumberOnes = 5000;

std::string Date(int i) {
  return FormatInt(i % 28 + 1, 2) + "/" + FormatInt(i / 28 % 12 + 1, 2) + "/" +
         std::to_string(1952 + i / 336);
}

TrackStore LinkedChartHistory() {
  TrackStore store;
  store.Allocate(kChartLines, kChartLines);
  for (int i = 0; i < kChartLines; ++i) {
    store.SetPlaylistEntry(i, {"Artist " + std::to_string(i), "Title", "1", "1", -1}, kChartLines);
  }
  store.SetPlaylistCount(kChartLines);
  for (int i = 0; i < kChartLines; ++i) {
    store.SetChartEntry(i,
                        {Date(i), "Local artist " + std::to_string(i), "Local title",
                         std::to_string(i % 40 + 1), i % 3 == 0 ? i : -1},
                        kChartLines);
  }
  store.SetChartCount(kChartLines);
  return store;
}

void BM_MergeChartUpdate(benchmark::State& state) {
  const TrackStore history = LinkedChartHistory();
  std::string body;
  for (int i = 0; i < kChartLines; ++i) {
    body += FormatChartLine({Date(i), "Server artist " + std::to_string(i), "Server title",
                             std::to_string(i % 40 + 1), -1});
  }
  for (auto _ : state) {
    state.PauseTiming();
    TrackStore store = history;
    state.ResumeTiming();
    const std::vector<std::string_view> lines = CompleteLines(body);
    MergeChartUpdate(store, lines);
    benchmark::DoNotOptimize(store.Chart(kChartLines - 1));
  }
}
BENCHMARK(BM_MergeChartUpdate)->Unit(benchmark::kMillisecond);

void BM_MergeNumberOneUpdate(benchmark::State& state) {
  std::vector<NumberOneEntry> old;
  std::string body;
  for (int i = 0; i < kNumberOnes; ++i) {
    const std::string n = std::to_string(i);
    old.push_back({Date(i), "Artist " + n, "Song " + n, std::to_string(i % 999), "3"});
    // Every tenth line names another song: it is looked for by date and gets a blank copy.
    body += FormatNumberOneLine(
        {Date(i), i % 10 ? "ARTIST " + n : "Someone new", "Song " + n, " ", " "});
  }
  QuietPrompter prompter;
  for (auto _ : state) {
    const std::vector<NumberOneEntry> merged =
        MergeNumberOneUpdate(CompleteLines(body), old, prompter);
    benchmark::DoNotOptimize(merged.data());
  }
}
BENCHMARK(BM_MergeNumberOneUpdate)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velvane
