#include "platform/FfmpegAnalyser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "core/demo/WavWriter.h"
#include "support/FileFaults.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

namespace fs = std::filesystem;

// Test audio is made with sox: `effects` follow a 997 Hz sine at full scale, e.g. "vol 0.1"
// for -20 dBFS and "pad 2 5" for silence before and after. No dither, so silence is silent.
class FfmpegAnalyserTest : public ::testing::Test {
 protected:
  std::string Sine(const std::string& strName, double dSeconds, const std::string& strEffects,
                   int nChannels = 2) {
    const std::string strPath = (m_dir.Path() / strName).string();
    const std::string strCommand = "sox -D -n -r 44100 -b 16 -c " + std::to_string(nChannels) +
                                   " '" + strPath + "' synth " + std::to_string(dSeconds) +
                                   " sine 997 " + strEffects + " 2>/dev/null";
    if (std::system(strCommand.c_str()) != 0 || !fs::exists(strPath)) {
      ADD_FAILURE() << "sox could not make " << strName << " (packages sox, libsox-fmt-mp3)";
    }
    return strPath;
  }
  TrackMeasures Measure(const std::string& strPath) {
    TrackMeasures measures;
    std::string strError;
    EXPECT_TRUE(m_analyser.Analyse(strPath, measures, strError)) << strPath << ": " << strError;
    return measures;
  }
  std::string Refusal(const std::string& strPath) {
    TrackMeasures measures;
    std::string strError;
    EXPECT_FALSE(m_analyser.Analyse(strPath, measures, strError)) << strPath;
    EXPECT_EQ(strError.find('\n'), std::string::npos);
    return strError;
  }

  TempDir m_dir;
  FfmpegAnalyser m_analyser;
};

// A stereo 997 Hz sine of peak amplitude A reads 20 log10(A) LUFS (the K-weighting is
// 0 dB there by the offset's definition); its true peak is its amplitude.
TEST_F(FfmpegAnalyserTest, SinesOfKnownLevelReadTheirLoudnessAndPeak) {
  const TrackMeasures loud = Measure(Sine("loud.wav", 10, "vol 0.5"));
  EXPECT_NEAR(loud.dLoudness, -6.02, 0.5);
  EXPECT_NEAR(loud.dTruePeak, -6.02, 0.2);
  const TrackMeasures quiet = Measure(Sine("quiet.wav", 10, "vol 0.158114"));
  EXPECT_NEAR(loud.dLoudness - quiet.dLoudness, 10.0, 0.1);
  // Mono is heard from both speakers: it reads as the same stereo sine.
  EXPECT_NEAR(Measure(Sine("mono.wav", 10, "vol 0.5", 1)).dLoudness, loud.dLoudness, 0.1);
  // The decks' other formats decode too.
  EXPECT_NEAR(Measure(Sine("loud.mp3", 10, "vol 0.5")).dLoudness, loud.dLoudness, 0.5);
  EXPECT_NEAR(Measure(Sine("loud.flac", 10, "vol 0.5")).dLoudness, loud.dLoudness, 0.1);
  EXPECT_NEAR(Measure(Sine("loud.ogg", 10, "vol 0.5")).dLoudness, loud.dLoudness, 0.5);
}

TEST_F(FfmpegAnalyserTest, SilenceBeforeAndAfterTheMusicIsNotAudible) {
  // 2 s of silence, 10 s of tone, 5 s of silence.
  const TrackMeasures wav = Measure(Sine("tail.wav", 10, "vol 0.1 pad 2 5"));
  EXPECT_NEAR(wav.nAudibleStart, 2000, 50);
  EXPECT_NEAR(wav.nAudibleEnd, 17000 - 5000, 50);
  // A tone just under -45 dBFS (RMS) is not audible; one just over is.
  const TrackMeasures edge =
      Measure(Sine("edge.wav", 4, "vol 0.0080 pad 0 2 : synth 3 sine 997 vol 0.0075"));
  EXPECT_NEAR(edge.nAudibleEnd, 4000, 50);
  const TrackMeasures mp3 = Measure(Sine("tail.mp3", 10, "vol 0.1 pad 2 5"));
  EXPECT_NEAR(mp3.nAudibleStart, 2000, 100);
  EXPECT_NEAR(mp3.nAudibleEnd, 12000, 100);
}

TEST_F(FfmpegAnalyserTest, FilesThatCannotBeMeasuredSayWhyAndNeverBlock) {
  m_dir.Write("empty.mp3", "");
  EXPECT_EQ(Refusal((m_dir.Path() / "empty.mp3").string()), "the file is empty");
  m_dir.Write("noise.mp3", std::string(20000, '\x5a'));
  EXPECT_NE(Refusal((m_dir.Path() / "noise.mp3").string()), "");
  EXPECT_EQ(Refusal(m_dir.Folder() + "missing.mp3"), "it does not exist");
  fs::create_directory(m_dir.Path() / "folder.mp3");
  EXPECT_EQ(Refusal((m_dir.Path() / "folder.mp3").string()), "not a regular file");
  MakeFifo(m_dir.Path() / "fifo.mp3");
  EXPECT_EQ(Refusal((m_dir.Path() / "fifo.mp3").string()), "not a regular file");
  EXPECT_EQ(Refusal(Sine("silent.wav", 3, "vol 0")), "it holds no audible sound");

  // Cut to half: the header still promises the whole length. (A WAV or a plain mp3 cut
  // short is only shorter: it plays, so it is measured as it plays.)
  const std::string strCut = Sine("cut.flac", 20, "vol 0.5");
  fs::resize_file(strCut, fs::file_size(strCut) / 2);
  EXPECT_EQ(Refusal(strCut).rfind("the file is cut short: its audio stops at 0:", 0), 0u);
}

TEST_F(FfmpegAnalyserTest, SeveralFilesAtOnceGiveTheSameResults) {
  const std::string strPath = Sine("tune.mp3", 20, "vol 0.3 pad 1 1");
  const TrackMeasures alone = Measure(strPath);
  std::vector<TrackMeasures> measured(4);
  std::vector<std::thread> threads;
  for (TrackMeasures& measures : measured) {
    threads.emplace_back([&] {
      std::string strError;
      m_analyser.Analyse(strPath, measures, strError);
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  for (const TrackMeasures& measures : measured) {
    EXPECT_DOUBLE_EQ(measures.dLoudness, alone.dLoudness);
    EXPECT_EQ(measures.nAudibleEnd, alone.nAudibleEnd);
  }
}

}  // namespace
}  // namespace velvane
