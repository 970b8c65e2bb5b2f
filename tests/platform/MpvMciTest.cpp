#include "platform/MpvMci.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "PulseNullSink.h"
#include "core/demo/WavWriter.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

// The open command exactly as the deck driver builds it (two blanks before "alias").
std::string OpenCommand(const std::string& path, const std::string& alias) {
  return "Open \"" + path + "\"  alias " + alias;
}

// Sends a status query and returns the reply as a number; fails the test on an error.
std::int64_t Status(Mci& mci, const std::string& alias, const std::string& item) {
  std::string reply = "junk";
  const int error = mci.SendString("status " + alias + " " + item, reply);
  EXPECT_EQ(error, 0) << "status " << alias << " " << item;
  EXPECT_FALSE(reply.empty());
  EXPECT_EQ(reply.find_first_not_of("0123456789"), std::string::npos) << reply;
  return std::atoll(reply.c_str());
}

int Send(Mci& mci, const std::string& command) {
  std::string reply;
  return mci.SendString(command, reply);
}

struct PlayResult {
  bool bReachedEnd = false;
  std::chrono::milliseconds elapsed{0};  // from the call to the first poll at the end
  std::int64_t nLength = 0;
  std::vector<std::int64_t> positions;  // every position seen before the end
};

// Polls as the timer does (length, then position) until position equals length, checking on
// the way that position never goes back and stays below length; then checks that the end
// state holds. Gives up after `timeout`.
PlayResult PollToEnd(Mci& mci, const std::string& alias, std::chrono::milliseconds timeout,
                     std::chrono::milliseconds poll = 5ms) {
  PlayResult result;
  const auto start = SteadyClock::now();
  std::int64_t nLast = 0;
  while (SteadyClock::now() - start < timeout) {
    const std::int64_t nLength = Status(mci, alias, "length");
    const std::int64_t nPosition = Status(mci, alias, "position");
    EXPECT_GE(nPosition, nLast) << "position went backwards";
    EXPECT_LE(nPosition, nLength) << "position beyond length";
    nLast = nPosition;
    if (nPosition == nLength) {
      result.bReachedEnd = true;
      result.elapsed =
          std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - start);
      result.nLength = nLength;
      for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Status(mci, alias, "position"), nLength) << "the end state did not hold";
        EXPECT_EQ(Status(mci, alias, "length"), nLength) << "the end state did not hold";
      }
      return result;
    }
    result.positions.push_back(nPosition);
    std::this_thread::sleep_for(poll);
  }
  return result;
}

MpvMciOptions NullOutput(bool bUntimed) {
  MpvMciOptions options;
  options.strAudioOutput = "null";
  options.bUntimed = bUntimed;
  return options;
}

class MpvMciTest : public ::testing::Test {
 protected:
  // A 440 Hz sine at half scale.
  std::string Tone(const std::string& name, double dSeconds) {
    std::string path = (m_dir.Path() / name).string();
    EXPECT_TRUE(WriteSineWav(path, dSeconds, 440.0, 0.5));
    return path;
  }

  // The sink up and recorded; a fatal failure when it cannot be started.
  static void StartRecording(PulseNullSink& sink) {
    std::string error;
    ASSERT_TRUE(sink.Start(error)) << error << "\n" << sink.Log();
    ASSERT_TRUE(sink.StartRecording(error)) << error;
  }
  static MpvMciOptions PulseOutput() {
    MpvMciOptions options;
    options.strAudioOutput = "pulse";
    return options;
  }

  TempDir m_dir;
};

TEST_F(MpvMciTest, PlaysInRealTimeAndReachesLengthExactlyOnlyAtTheEnd) {
  MpvMci mci(NullOutput(false));
  ASSERT_EQ(Send(mci, OpenCommand(Tone("a.wav", 1.0), "Track1")), 0);
  EXPECT_EQ(Status(mci, "Track1", "length"), 1000);
  EXPECT_EQ(Status(mci, "Track1", "position"), 0);
  ASSERT_EQ(Send(mci, "Play Track1"), 0);
  const PlayResult result = PollToEnd(mci, "Track1", 5s);
  ASSERT_TRUE(result.bReachedEnd);
  EXPECT_EQ(result.nLength, 1000);
  // The sound takes its full second: the end is not reported when mpv's decoder reaches the
  // end of file (a few hundred ms early) but once the output has played it.
  EXPECT_GE(result.elapsed, 980ms);
  EXPECT_LE(result.elapsed, 1600ms);
  // The position advanced smoothly on the way, including in the last few hundred ms.
  ASSERT_GE(result.positions.size(), 20u);
  EXPECT_TRUE(
      std::any_of(result.positions.begin(), result.positions.end(),
                  [](std::int64_t nPosition) { return nPosition > 300 && nPosition < 700; }));
  EXPECT_GE(result.positions.back(), 900);
  EXPECT_LT(result.positions.back(), 1000);
}

TEST_F(MpvMciTest, VolumeIsSentCubic) {
  MpvMci mci(NullOutput(true));
  ASSERT_EQ(Send(mci, OpenCommand(Tone("a.wav", 1.0), "Track2")), 0);
  ASSERT_EQ(Send(mci, "Play Track2"), 0);
  const std::pair<const char*, double> cases[] = {
      {"1000", 100.0}, {"500", 79.370053}, {"125", 50.0}, {"0", 0.0}};
  for (const auto& [volume, expected] : cases) {
    EXPECT_EQ(Send(mci, std::string("setaudio Track2 volume to ") + volume), 0) << volume;
    const std::optional<double> engine = mci.GetEngineVolume("Track2");
    ASSERT_TRUE(engine.has_value());
    EXPECT_NEAR(*engine, expected, 0.001) << volume;
  }
  EXPECT_TRUE(PollToEnd(mci, "Track2", 5s).bReachedEnd);
}

TEST_F(MpvMciTest, TwoAliasesPlayAtTheSameTime) {
  MpvMci mci(NullOutput(false));
  ASSERT_EQ(Send(mci, OpenCommand(Tone("a.wav", 1.0), "Track1")), 0);
  ASSERT_EQ(Send(mci, OpenCommand(Tone("b.wav", 1.5), "Track2")), 0);
  EXPECT_EQ(Status(mci, "Track1", "length"), 1000);
  EXPECT_EQ(Status(mci, "Track2", "length"), 1500);
  ASSERT_EQ(Send(mci, "Play Track1"), 0);
  ASSERT_EQ(Send(mci, "Play Track2"), 0);
  std::this_thread::sleep_for(400ms);
  const std::int64_t nOne = Status(mci, "Track1", "position");
  const std::int64_t nTwo = Status(mci, "Track2", "position");
  EXPECT_GT(nOne, 200);
  EXPECT_GT(nTwo, 200);
  EXPECT_LT(std::llabs(nOne - nTwo), 150);
  // Closing one deck leaves the other playing.
  ASSERT_EQ(Send(mci, "stop Track1"), 0);
  ASSERT_EQ(Send(mci, "close Track1"), 0);
  const PlayResult result = PollToEnd(mci, "Track2", 5s);
  ASSERT_TRUE(result.bReachedEnd);
  EXPECT_EQ(result.nLength, 1500);
  EXPECT_GE(result.elapsed, 900ms);
}

TEST_F(MpvMciTest, OpeningAMissingOrNonAudioFileFailsAndLeavesNothingOpen) {
  MpvMci mci(NullOutput(true));
  m_dir.Write("text.mp3", "This is not music at all, just some words in a file.\n");
  m_dir.Write("empty.wav", "");
  ASSERT_TRUE(WriteSilenceWav((m_dir.Path() / "no-samples.wav").string(), 0.0));
  std::filesystem::create_directory(m_dir.Path() / "folder");  // mpv would play its contents
  const std::pair<const char*, int> cases[] = {{"missing.wav", kMciErrFileNotFound},
                                               {"folder", kMciErrFileNotFound},
                                               {"text.mp3", kMciErrInvalidFile},
                                               {"empty.wav", kMciErrInvalidFile},
                                               {"no-samples.wav", kMciErrInvalidFile}};
  for (const auto& [name, expected] : cases) {
    EXPECT_EQ(Send(mci, OpenCommand((m_dir.Path() / name).string(), "Track1")), expected) << name;
    EXPECT_EQ(Send(mci, "Play Track1"), kMciErrInvalidDeviceName) << name;
  }
}

TEST_F(MpvMciTest, OpeningAnAliasThatIsOpenFailsAndKeepsTheFirst) {
  MpvMci mci(NullOutput(true));
  ASSERT_EQ(Send(mci, OpenCommand(Tone("a.wav", 1.0), "Track1")), 0);
  EXPECT_EQ(Send(mci, OpenCommand(Tone("b.wav", 1.5), "Track1")), kMciErrDuplicateAlias);
  EXPECT_EQ(Status(mci, "Track1", "length"), 1000);
}

TEST_F(MpvMciTest, CommandsOnAnAliasNotOpenFailWithAnEmptyReply) {
  MpvMci mci(NullOutput(true));
  ASSERT_EQ(Send(mci, OpenCommand(Tone("a.wav", 1.0), "Track1")), 0);
  for (const char* command :
       {"Play Track2", "stop Track2", "close Track2", "setaudio Track2 volume to 500",
        "status Track2 position", "status Track2 length", "status Track12 length"}) {
    std::string reply = "junk";
    EXPECT_EQ(mci.SendString(command, reply), kMciErrInvalidDeviceName) << command;
    EXPECT_EQ(reply, "") << command;
  }
}

TEST_F(MpvMciTest, CloseThenReopenUnderTheSameAlias) {
  MpvMci mci(NullOutput(true));
  ASSERT_EQ(Send(mci, OpenCommand(Tone("a.wav", 1.0), "Track1")), 0);
  ASSERT_EQ(Send(mci, "Play Track1"), 0);
  ASSERT_TRUE(PollToEnd(mci, "Track1", 5s).bReachedEnd);
  ASSERT_EQ(Send(mci, "stop Track1"), 0);
  ASSERT_EQ(Send(mci, "close Track1"), 0);
  EXPECT_EQ(Send(mci, "close Track1"), kMciErrInvalidDeviceName);

  ASSERT_EQ(Send(mci, OpenCommand(Tone("b.wav", 1.5), "Track1")), 0);
  EXPECT_EQ(Status(mci, "Track1", "position"), 0);
  EXPECT_EQ(Status(mci, "Track1", "length"), 1500);
  ASSERT_EQ(Send(mci, "Play Track1"), 0);
  const PlayResult result = PollToEnd(mci, "Track1", 5s);
  ASSERT_TRUE(result.bReachedEnd);
  EXPECT_EQ(result.nLength, 1500);
}

// mpv creates a handle only under a "C" numeric category (0.35 also lets "C.UTF-8" through).
// The programs set it once in main(), because setlocale is not thread safe while analysis
// threads run; so the adapter must leave the process locale alone, and under a locale mpv
// refuses it must report the open as failed instead of using a null handle.
// NOLINTBEGIN(concurrency-mt-unsafe): the test changes the locale while no other thread runs
TEST_F(MpvMciTest, LeavesTheProcessLocaleAlone) {
  const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
  for (const char* candidate : {"de_DE.UTF-8", "fr_FR.UTF-8", "C.utf8"}) {
    if (std::setlocale(LC_NUMERIC, candidate) == nullptr) {
      continue;
    }
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    MpvMci mci(NullOutput(true));
    const int error = Send(mci, OpenCommand(Tone("a.wav", 1.0), "Track1"));
    const std::string after = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(after, before);
    EXPECT_TRUE(error == 0 || error == kMciErrCannotLoadDriver)
        << "error " << error << " under LC_NUMERIC " << candidate;
    return;
  }
  GTEST_SKIP() << "no numeric locale other than C is installed";
}
// NOLINTEND(concurrency-mt-unsafe)

// Real sound: a private PulseAudio server with a null sink whose monitor parec records.
// Deck one plays at volume 1000, and as soon as it reports its end deck two plays the same
// tone at 500. The recording shows the level follows the linear volume, that the first
// track sounded whole, and that its end was reported only after it had sounded (the two
// never overlap).
TEST_F(MpvMciTest, PulseNullSinkRecordsLevelsThatFollowTheLinearVolume) {
  const std::string missing = PulseNullSink::MissingPrograms();
  if (!missing.empty()) {
    GTEST_SKIP() << "real-sound test skipped: not installed: " << missing
                 << " (Debian packages pulseaudio and pulseaudio-utils)";
  }
  const std::string tone = Tone("tone.wav", 1.0);  // 440 Hz at half scale: RMS 0.3536
  PulseNullSink sink(m_dir.Path());
  ASSERT_NO_FATAL_FAILURE(StartRecording(sink));
  {
    MpvMci mci(PulseOutput());
    ASSERT_EQ(Send(mci, OpenCommand(tone, "Track1")), 0) << sink.Log();
    ASSERT_EQ(Send(mci, OpenCommand(tone, "Track2")), 0);
    ASSERT_EQ(Send(mci, "setaudio Track1 volume to 1000"), 0);
    ASSERT_EQ(Send(mci, "setaudio Track2 volume to 500"), 0);
    ASSERT_EQ(Send(mci, "Play Track1"), 0);
    ASSERT_TRUE(PollToEnd(mci, "Track1", 5s, 2ms).bReachedEnd);
    // As the timer does on seeing the end: close the deck at once. Had the end been reported
    // before the sound was out, this would cut it short.
    ASSERT_EQ(Send(mci, "stop Track1"), 0);
    ASSERT_EQ(Send(mci, "close Track1"), 0);
    ASSERT_EQ(Send(mci, "Play Track2"), 0);
    ASSERT_TRUE(PollToEnd(mci, "Track2", 5s).bReachedEnd);
  }
  std::this_thread::sleep_for(300ms);  // the recording's tail
  const std::vector<std::int16_t> samples = sink.StopRecording();
  ASSERT_GT(samples.size(), 2u * PulseNullSink::kRate) << "less than a second recorded";

  // RMS of each 10 ms block (both channels), as a fraction of full scale. Loud blocks are deck
  // one's (0.354), quiet ones deck two's (0.177); blocks that straddle a start or an end fall
  // between and are left out of the averages.
  constexpr std::size_t kBlock = 2 * PulseNullSink::kRate / 100;
  int nLoud = 0, nQuiet = 0, nFirstQuiet = -1, nLastLoud = -1;
  double dLoud = 0, dQuiet = 0, dPeak = 0;
  for (std::size_t start = 0; start + kBlock <= samples.size(); start += kBlock) {
    double dSum = 0;
    for (std::size_t i = start; i < start + kBlock; ++i) {
      const double dValue = samples[i] / 32768.0;
      dSum += dValue * dValue;
      dPeak = std::max(dPeak, std::abs(dValue));
    }
    const double dRms = std::sqrt(dSum / kBlock);
    const int nBlock = static_cast<int>(start / kBlock);
    if (dRms > 0.33) {
      ++nLoud;
      dLoud += dRms * dRms;
      nLastLoud = nBlock;
    } else if (dRms > 0.16 && dRms < 0.19) {
      ++nQuiet;
      dQuiet += dRms * dRms;
      nFirstQuiet = nFirstQuiet < 0 ? nBlock : nFirstQuiet;
    }
  }
  ASSERT_GT(nLoud, 0) << "deck one was not recorded";
  ASSERT_GT(nQuiet, 0) << "deck two was not recorded";
  const double dLoudRms = std::sqrt(dLoud / nLoud);
  const double dQuietRms = std::sqrt(dQuiet / nQuiet);
  EXPECT_NEAR(dLoudRms, 0.3536, 0.01);
  EXPECT_NEAR(dQuietRms, 0.1768, 0.01);
  EXPECT_NEAR(dQuietRms / dLoudRms, 0.5, 0.02);
  // Each second of tone sounded whole (100 blocks, less the ones straddling its edges).
  EXPECT_GE(nLoud, 98);
  EXPECT_LE(nLoud, 101);
  EXPECT_GE(nQuiet, 98);
  EXPECT_LE(nQuiet, 101);
  // Deck two began after deck one had ended: no block holds both (peak 0.5 + 0.25), and
  // the end was reported promptly (the gap is the start-up of deck two's stream).
  EXPECT_LT(dPeak, 0.52);
  EXPECT_GT(nFirstQuiet, nLastLoud);
  EXPECT_LT(nFirstQuiet - nLastLoud, 25) << "gap of " << (nFirstQuiet - nLastLoud) * 10 << " ms";
}

// Two tones 10 dB apart in their files, the quieter one given +10 dB: they sound alike.
TEST_F(MpvMciTest, PulseNullSinkRecordsTheGainBeneathTheVolume) {
  const std::string missing = PulseNullSink::MissingPrograms();
  if (!missing.empty()) {
    GTEST_SKIP() << "real-sound test skipped: not installed: " << missing;
  }
  const std::string loud = Tone("loud.wav", 1.0);
  const std::string quiet = (m_dir.Path() / "quiet.wav").string();
  ASSERT_TRUE(WriteSineWav(quiet, 1.0, 440.0, 0.5 / std::sqrt(10.0)));
  PulseNullSink sink(m_dir.Path());
  ASSERT_NO_FATAL_FAILURE(StartRecording(sink));
  {
    MpvMci mci(PulseOutput());
    for (const auto& [path, dGain] : {std::pair{loud, 0.0}, {quiet, 10.0}}) {
      mci.SetGain("Track1", dGain);
      ASSERT_EQ(Send(mci, OpenCommand(path, "Track1")), 0) << sink.Log();
      ASSERT_EQ(Send(mci, "setaudio Track1 volume to 1000"), 0);
      EXPECT_NEAR(*mci.GetEngineVolume("Track1"), 100.0, 1e-9);  // the volume is untouched
      ASSERT_EQ(Send(mci, "Play Track1"), 0);
      ASSERT_TRUE(PollToEnd(mci, "Track1", 5s).bReachedEnd);
      ASSERT_EQ(Send(mci, "close Track1"), 0);
      std::this_thread::sleep_for(300ms);  // silence between the two
    }
  }
  const std::vector<std::int16_t> samples = sink.StopRecording();

  // RMS of each 10 ms block that sounds, in two runs parted by the silence.
  constexpr std::size_t kBlock = 2 * PulseNullSink::kRate / 100;
  std::vector<std::vector<double>> runs(1);
  for (std::size_t start = 0; start + kBlock <= samples.size(); start += kBlock) {
    double dSum = 0;
    for (std::size_t i = start; i < start + kBlock; ++i) {
      dSum += (samples[i] / 32768.0) * (samples[i] / 32768.0);
    }
    const double dRms = std::sqrt(dSum / kBlock);
    if (dRms > 0.05) {
      runs.back().push_back(dRms);
    } else if (!runs.back().empty()) {
      runs.emplace_back();
    }
  }
  std::erase_if(runs, [](const std::vector<double>& run) { return run.size() < 50; });
  ASSERT_EQ(runs.size(), 2u) << "two tones of a second each were not recorded";
  const auto median = [](std::vector<double> run) {
    std::nth_element(run.begin(), run.begin() + run.size() / 2, run.end());
    return run[run.size() / 2];
  };
  const double dDifferenceDb = 20 * std::log10(median(runs[1]) / median(runs[0]));
  EXPECT_NEAR(median(runs[0]), 0.3536, 0.01);
  EXPECT_NEAR(dDifferenceDb, 0.0, 1.0);
}

}  // namespace
}  // namespace velvane
