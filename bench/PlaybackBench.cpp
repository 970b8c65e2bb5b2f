// One timer tick with two decks playing and a full queue over a 50,000-record library, and one
// refresh of all ten queue slots.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "BenchPorts.h"
#include "core/playback/RadioCore.h"

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

struct PlayingRadio {
  PlayingRadio() {
    const auto music = std::filesystem::temp_directory_path() / "velvane-bench-music";
    std::filesystem::create_directories(music / "001");
    std::ofstream(music / "001" / "01 x.mp3").put('x');
    radio.m_settings.strMusicDir = (music / "").string();
    radio.m_store.Allocate(kRecords, kRecords);
    for (int i = 0; i < kRecords; ++i) {
      radio.m_store.SetPlaylistEntry(i, "Artist " + std::to_string(i), "Title",
                                     std::to_string(i / 99 % 1000), std::to_string(i % 99 + 1), -1);
    }
    radio.m_store.SetPlaylistCount(kRecords);
    radio.OnClearPlaylist();
    // Ten tracks the library does not hold, so each lookup scans all of it.
    for (int i = 0; i < kQueueSlots; ++i) {
      radio.m_queue.AddToQueue("999", std::to_string(i + 1), "", "", -1);
    }
    radio.m_bDeck1InUse = radio.m_bDeck2InUse = true;
    radio.m_nCurrentDeck = 2;
    radio.m_nLastDeck = 1;
  }

  PlayingMci mci;
  FixedClock clock;
  QuietPrompter prompter;
  EmptyProfile profile;
  RadioCore radio{mci, clock, prompter, profile};
};

void BM_TimerTickTwoDecksPlaying(benchmark::State& state) {
  PlayingRadio playing;
  for (auto _ : state) {
    playing.radio.OnTimer();
  }
}
BENCHMARK(BM_TimerTickTwoDecksPlaying)->Unit(benchmark::kMicrosecond);

void BM_RefreshWholeQueue(benchmark::State& state) {
  PlayingRadio playing;
  for (auto _ : state) {
    playing.radio.m_queue.RefreshQueue(-1);
  }
}
BENCHMARK(BM_RefreshWholeQueue)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace velvane
