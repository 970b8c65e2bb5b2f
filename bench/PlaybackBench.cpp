// One timer tick with two decks playing and a full queue over a 50,000-record library, and one
// refresh of all ten queue slots.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "BenchPorts.h"
#include "core/main/RadioCore.h"

namespace velvane {
namespace {

constexpr int kRecords = 50000;

// Two decks that are always playing somewhere in the middle of a long track.
class PlayingMci : public Mci {
 public:
  int SendString(const std::string& command, std::string& reply) override {
    reply.clear();
    if (command.rfind("status", 0) == 0) {
      m_nPosition += 7;
      reply = std::to_string(command.find("length") != std::string::npos ? 600000 : m_nPosition);
    }
    return 0;
  }

 private:
  int m_nPosition = 20000;
};

const std::filesystem::path kMusic = std::filesystem::temp_directory_path() / "velvane-bench-music";

// Ten tracks the library does not hold, so each lookup scans all of it; the first two are
// started, so deck 2 plays the current track while deck 1 plays out the last one.
struct PlayingRadio {
  PlayingRadio() {
    std::filesystem::create_directories(kMusic / "999");
    for (int i = 1; i <= kQueueSlots; ++i) {
      std::ofstream(kMusic / "999" / (std::to_string(100 + i).substr(1) + " x.mp3")).put('x');
    }
    radio.OnInitDialog([] {});
    TrackStore& store = radio.Store();
    for (int i = 0; i < kRecords; ++i) {
      store.SetPlaylistEntry(i, "Artist " + std::to_string(i), "Title",
                             std::to_string(i / 99 % 1000), std::to_string(i % 99 + 1), -1);
    }
    store.SetPlaylistCount(kRecords);
    for (int i = 0; i < kQueueSlots; ++i) {
      radio.Queue().AddToQueue("999", std::to_string(i + 1), "", "", -1);
    }
    radio.Play().OnPlayNextTrack();
    radio.OnTimer();  // the head's time shows: it counts as started
    radio.Play().OnPlayNextTrack();
  }

  PlayingMci mci;
  FixedClock clock;
  QuietPrompter prompter;
  MapProfile profile{{{"IsInstalled", "1"},
                      {"MusicDir", (kMusic / "").string()},
                      {"PlaySize", std::to_string(kRecords)},
                      {"ChartSize", std::to_string(kRecords)}}};
  RadioCore radio{mci, clock, prompter, profile};
};

void BM_TimerTickTwoDecksPlaying(benchmark::State& state) {
  PlayingRadio playing;
  for (auto _ : state) {
    playing.radio.OnTimer();
  }
}
BENCHMARK(BM_TimerTickTwoDecksPlaying)->Unit(benchmark::kMicrosecond);

// What the window does after the queue editor's "Save": every slot looked up again.
void BM_RefreshWholeQueue(benchmark::State& state) {
  PlayingRadio playing;
  const QueueEditor editor(playing.radio.QueueSlotsNow());
  for (auto _ : state) {
    playing.radio.BeginQueueEdit();
    playing.radio.EndQueueEdit(&editor);
  }
}
BENCHMARK(BM_RefreshWholeQueue)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace velvane
