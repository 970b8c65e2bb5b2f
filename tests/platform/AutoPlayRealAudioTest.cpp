// The playback core on real audio: two generated tunes in the music folder, Auto Play, and the
// sound recorded from a PulseAudio null sink.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <thread>

#include "PulseNullSink.h"
#include "core/demo/WavWriter.h"
#include "core/playback/RadioCore.h"
#include "platform/MpvMci.h"
#include "support/FakeClock.h"
#include "support/FakeProfileStore.h"
#include "support/FakePrompter.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

using namespace std::chrono_literals;

// RMS of each 100 ms block of interleaved stereo samples, as a fraction of full scale.
std::vector<double> BlockLevels(const std::vector<std::int16_t>& samples) {
  constexpr std::size_t kBlock = 2 * PulseNullSink::kRate / 10;
  std::vector<double> levels;
  for (std::size_t start = 0; start + kBlock <= samples.size(); start += kBlock) {
    double dSum = 0;
    for (std::size_t i = start; i < start + kBlock; ++i) {
      dSum += (samples[i] / 32768.0) * (samples[i] / 32768.0);
    }
    levels.push_back(std::sqrt(dSum / kBlock));
  }
  return levels;
}

TEST(AutoPlayRealAudio, SecondTuneStartsOnDeckTwoWhileTheFirstPlaysOut) {
  const std::string missing = PulseNullSink::MissingPrograms();
  if (!missing.empty()) {
    GTEST_SKIP() << "real-sound test skipped: not installed: " << missing
                 << " (Debian packages pulseaudio and pulseaudio-utils)";
  }
  TempDir dir;
  const auto music = dir.Path() / "music" / "001";
  std::filesystem::create_directories(music);
  // Different pitches at 0.3 of full scale: RMS 0.212 alone, 0.3 when both sound.
  ASSERT_TRUE(WriteSineWav((music / "01 First.wav").string(), 12.0, 440.0, 0.3));
  ASSERT_TRUE(WriteSineWav((music / "02 Second.wav").string(), 3.0, 660.0, 0.3));

  PulseNullSink sink(dir.Path());
  std::string error;
  ASSERT_TRUE(sink.Start(error)) << error << "\n" << sink.Log();
  ASSERT_TRUE(sink.StartRecording(error)) << error;

  std::vector<std::string> shownTimes;
  {
    MpvMciOptions options;
    options.strAudioOutput = "pulse";
    MpvMci mci(options);
    FakeClock clock(2026, 12, 5, 20, 0);
    FakePrompter prompter;
    FakeProfileStore profile;
    RadioCore radio(mci, clock, prompter, profile);
    radio.m_settings.strMusicDir = (dir.Path() / "music" / "").string();
    radio.m_settings.strFilesDir = dir.Folder();
    radio.m_store.Allocate(10, 10);
    radio.m_store.SetPlaylistEntry(0, "Artist", "First", "1", "1", -1);
    radio.m_store.SetPlaylistEntry(1, "Artist", "Second", "1", "2", -1);
    radio.m_store.SetPlaylistCount(2);
    radio.OnClearPlaylist();
    radio.OnPlayMode();  // Auto Play
    radio.m_queue.AddToQueue("1", "1", "", "", -1);
    radio.m_queue.AddToQueue("1", "2", "", "", -1);

    radio.OnPlayNextTrack();
    ASSERT_EQ(radio.m_nCurrentDeck, 1);
    bool bSecondStarted = false;
    const auto deadline = std::chrono::steady_clock::now() + 25s;
    while (radio.DecksInUse() > 0 && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(100ms);
      radio.OnTimer();
      if (shownTimes.empty() || shownTimes.back() != radio.m_strRemainingDisplay) {
        shownTimes.push_back(radio.m_strRemainingDisplay);
      }
      if (!bSecondStarted && radio.m_nCurrentDeck == 2) {
        bSecondStarted = true;
        EXPECT_EQ(radio.m_nLastDeck, 1) << "the first tune should still be playing out";
        EXPECT_EQ(radio.m_queue.m_strNowTitle, "Second");
      }
    }
    EXPECT_TRUE(bSecondStarted) << "auto change never started deck 2";
    EXPECT_EQ(radio.DecksInUse(), 0) << "the tunes did not finish in time";
    EXPECT_TRUE(radio.m_queue.IsFree(0));
  }
  std::this_thread::sleep_for(300ms);
  const std::vector<double> levels = BlockLevels(sink.StopRecording());

  // The display counted down the first tune, then the second.
  ASSERT_GE(shownTimes.size(), 10u);
  EXPECT_NE(std::find(shownTimes.begin(), shownTimes.end(), "00:11"), shownTimes.end());
  EXPECT_NE(std::find(shownTimes.begin(), shownTimes.end(), "00:01"), shownTimes.end());

  // What was recorded: sound without a gap from the first tune's start to the second's end,
  // about 1.9 s of it with both tunes at once, about 13 s in all.
  std::size_t nFirst = 0;
  while (nFirst < levels.size() && levels[nFirst] < 0.1) {
    ++nFirst;
  }
  std::size_t nLast = levels.size();
  while (nLast > nFirst && levels[nLast - 1] < 0.1) {
    --nLast;
  }
  ASSERT_LT(nFirst, nLast) << "nothing was recorded";
  int nGaps = 0, nBoth = 0;
  for (std::size_t i = nFirst; i < nLast; ++i) {
    const bool bEdge = i == nFirst || i + 1 == nLast;  // blocks straddling the start or end
    nGaps += levels[i] < 0.15 && !bEdge ? 1 : 0;
    nBoth += levels[i] > 0.27 ? 1 : 0;
  }
  std::cout << "recorded " << nLast - nFirst << " blocks of 100 ms, " << nBoth
            << " with both tunes sounding\n";
  EXPECT_EQ(nGaps, 0) << "the sound stopped in between";
  EXPECT_GE(nBoth, 15) << "the two tunes barely overlapped";
  EXPECT_LE(nBoth, 22);
  EXPECT_NEAR(static_cast<double>(nLast - nFirst), 131.0, 4.0) << "recorded length in 100 ms";
}

}  // namespace
}  // namespace velvane
