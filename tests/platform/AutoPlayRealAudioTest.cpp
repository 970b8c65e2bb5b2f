// The playback core on real audio: two generated tunes in the music folder, Auto Play, and the
// sound recorded from a PulseAudio null sink.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <thread>

#include "PulseNullSink.h"
#include "core/demo/WavWriter.h"
#include "core/main/RadioCore.h"
#include "platform/MpvMci.h"
#include "support/FakeClock.h"
#include "support/FakeProfileStore.h"
#include "support/FakePrompter.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

using namespace std::chrono_literals;

// What was recorded between the first and the last block with sound.
struct Recording {
  std::size_t nBlocks = 0;  // of 100 ms
  int nGaps = 0;            // quiet blocks in between (the blocks at both ends do not count)
  int nBoth = 0;            // blocks where both tunes sound
};

Recording Measure(const std::vector<double>& levels) {
  std::size_t nFirst = 0;
  while (nFirst < levels.size() && levels[nFirst] < 0.1) {
    ++nFirst;
  }
  std::size_t nLast = levels.size();
  while (nLast > nFirst && levels[nLast - 1] < 0.1) {
    --nLast;
  }
  Recording recording;
  recording.nBlocks = nLast - nFirst;
  for (std::size_t i = nFirst; i < nLast; ++i) {
    const bool bEdge = i == nFirst || i + 1 == nLast;  // blocks straddling the start or end
    recording.nGaps += levels[i] < 0.15 && !bEdge ? 1 : 0;
    recording.nBoth += levels[i] > 0.27 ? 1 : 0;
  }
  std::cout << "recorded " << recording.nBlocks << " blocks of 100 ms, " << recording.nBoth
            << " with both tunes sounding, " << recording.nGaps << " quiet\n";
  return recording;
}

// Two tunes of the given lengths (440 Hz, then 660 Hz, at 0.3 of full scale: RMS 0.212 alone,
// 0.3 when both sound) queued in Auto Play and played in real time through a recorded null sink.
class AutoPlayRealAudio : public ::testing::Test {
 protected:
  void SetUp() override { SKIP_WITHOUT_PULSEAUDIO(); }

  // Plays both tunes to their end (what the core shows and does on the way is the core
  // tests' concern) and measures the sound.
  Recording PlayBoth(double dFirstSeconds, double dSecondSeconds) {
    const auto music = m_dir.Path() / "music" / "001";
    std::filesystem::create_directories(music);
    EXPECT_TRUE(WriteSineWav((music / "01 First.wav").string(), dFirstSeconds, 440.0, 0.3));
    EXPECT_TRUE(WriteSineWav((music / "02 Second.wav").string(), dSecondSeconds, 660.0, 0.3));

    PulseNullSink sink(m_dir.Path());
    sink.Start();
    if (HasFatalFailure()) {
      return {};
    }
    {
      MpvMci mci({"pulse"});
      FakeClock clock(2026, 12, 5, 20, 0);
      FakePrompter prompter;
      FakeProfileStore profile;
      Settings settings;
      settings.strMusicDir = (m_dir.Path() / "music" / "").string();
      settings.strFilesDir = m_dir.Folder();
      settings.nPlayMode = 1;  // Auto Play
      settings.nPlaySize = settings.nChartSize = 10;
      SaveSettings(profile, settings);
      RadioCore radio(mci, clock, prompter, profile);
      radio.OnInitDialog([] {});
      TrackStore& store = radio.Store();
      store.SetPlaylistEntry(0, "Artist", "First", "1", "1", -1);
      store.SetPlaylistEntry(1, "Artist", "Second", "1", "2", -1);
      store.SetPlaylistCount(2);
      radio.Queue().AddToQueue("1", "1", "", "", -1);
      radio.Queue().AddToQueue("1", "2", "", "", -1);

      radio.Play().OnPlayNextTrack();
      EXPECT_EQ(radio.Play().CurrentDeck(), 1);
      const auto deadline = std::chrono::steady_clock::now() + 25s;
      const auto busy = [&] {
        return radio.Play().DecksInUse() > 0 || !radio.Display().queueSlots[0].strCD.empty();
      };
      while (busy() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(100ms);
        radio.OnTimer();
      }
      EXPECT_FALSE(busy()) << "the tunes did not finish in time";
    }
    std::this_thread::sleep_for(300ms);
    return Measure(PulseNullSink::BlockLevels(sink.StopRecording(), 100ms));
  }

  TempDir m_dir;
};

TEST_F(AutoPlayRealAudio, SecondTuneStartsOnDeckTwoWhileTheFirstPlaysOut) {
  // Sound without a gap from the first tune's start to the second's end, about 1.9 s of it
  // with both tunes at once, about 13 s in all.
  const Recording recording = PlayBoth(12.0, 3.0);
  ASSERT_GT(recording.nBlocks, 0u) << "nothing was recorded";
  EXPECT_EQ(recording.nGaps, 0) << "the sound stopped in between";
  EXPECT_GE(recording.nBoth, 15) << "the two tunes barely overlapped";
  EXPECT_LE(recording.nBoth, 22);
  EXPECT_NEAR(static_cast<double>(recording.nBlocks), 131.0, 4.0) << "recorded length in 100 ms";
}

}  // namespace
}  // namespace velvane
