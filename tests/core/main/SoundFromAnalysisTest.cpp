#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/analysis/AnalysisFile.h"
#include "core/main/RadioFixture.h"
#include "support/Rows.h"

namespace velvane {
namespace {

// Auto Play over tracks with analysis results, with the two sound settings as each test says.
class SoundFromAnalysisTest : public RadioFixture {
 protected:
  void AutoPlay(bool bEvenLoudness, bool bChangeAtMusicEnd) {
    Start([&](Settings& settings) {
      settings.nAutoTime = 2;
      settings.nPlayMode = 1;
      settings.bEvenLoudness = bEvenLoudness;
      settings.nLoudnessTarget = -16;
      settings.bChangeAtMusicEnd = bChangeAtMusicEnd;
    });
  }

  // Library track CD 1 / nTrack with its music file and a result measured on it as it is now.
  std::string AnalysedTrack(int nTrack, int nLengthMs, double dLoudness, double dTruePeak,
                            int nAudibleEnd) {
    const std::string strName(1, static_cast<char>('A' + nTrack - 1));
    std::string strPath = AddTrack(1, nTrack, strName, "T" + strName, nLengthMs);
    TrackAnalysis result{"1", std::to_string(nTrack), {}, {dLoudness, dTruePeak, 0, nAudibleEnd}};
    EXPECT_TRUE(DescribeFile(strPath, result.file));
    m_results.Put(result);
    m_radio.OnAnalysisSaved(m_results);
    Queue(1, nTrack);
    return strPath;
  }

  AnalysisResults m_results;
};

TEST_F(SoundFromAnalysisTest, BothOffPlaysEveryTrackAtItsOwnGainToTheEndOfItsFile) {
  AutoPlay(false, false);
  AnalysedTrack(1, 20000, -26.0, -12.0, 15000);
  AnalysedTrack(2, 20000, -9.0, -0.5, 20000);
  Play().OnPlayNextTrack();
  EXPECT_EQ(m_mci.m_gains.at("Track1"), 0.0);
  ASSERT_TRUE(TickUntil([&] { return m_mci.IsOpen("Track2"); }, 300));
  EXPECT_EQ(m_mci.DeckOf("Track1").nPosition, 18100);  // 2 s before the end of the file
  EXPECT_EQ(m_mci.m_gains.at("Track2"), 0.0);
}

TEST_F(SoundFromAnalysisTest, EvenLoudnessGivesEachTrackItsGainAndNoneWithoutAResult) {
  AutoPlay(true, false);
  AnalysedTrack(1, 15000, -26.0, -12.0, 15000);  // quiet: +10 dB
  AnalysedTrack(2, 15000, -9.0, -0.5, 15000);    // loud: -7 dB
  // Nothing analysed for the third.
  AddTrack(1, 3, "C", "TC", 15000);
  Queue(1, 3);

  Play().OnPlayNextTrack();
  EXPECT_DOUBLE_EQ(m_mci.m_gains.at("Track1"), 10.0);
  ASSERT_TRUE(TickUntil([&] { return m_mci.IsOpen("Track2"); }, 300));
  EXPECT_DOUBLE_EQ(m_mci.m_gains.at("Track2"), -7.0);
  ASSERT_TRUE(TickUntil([&] { return Display().queue.strNowArtist == "C"; }, 300));
  EXPECT_DOUBLE_EQ(m_mci.m_gains.at("Track1"), 0.0);  // the deck forgot the first track's gain
  // The volume commands are the same as without the setting.
  EXPECT_EQ(m_mci.DeckOf("Track1").nVolume, 1000);
}

TEST_F(SoundFromAnalysisTest, ChangeAtMusicEndStartsTheNextTrackTwoSecondsBeforeTheSilentTail) {
  AutoPlay(false, true);
  AnalysedTrack(1, 20000, -16.0, -3.0, 15000);  // five silent seconds at the end
  AnalysedTrack(2, 20000, -16.0, -3.0, 20000);
  Play().OnPlayNextTrack();
  Tick();
  EXPECT_EQ(Display().strRemaining, "00:14");  // counted to the end of the music

  ASSERT_TRUE(TickUntil([&] { return m_mci.IsOpen("Track2"); }, 300));
  EXPECT_EQ(m_mci.DeckOf("Track1").nPosition, 13100);
  Tick();
  EXPECT_EQ(Display().lastTrack.Text(), " Last: A - TA (00:01)");
  // The last track is let go where its music ends, not five seconds of silence later.
  ASSERT_TRUE(TickUntil([&] { return !m_mci.IsOpen("Track1"); }, 30));
  EXPECT_EQ(DeckState(), "current 2, last 0, in use 2, open Track2");
  EXPECT_EQ(Display().lastTrack.Text(), "");
}

TEST_F(SoundFromAnalysisTest, AResultOfAFileThatChangedSinceIsNotUsed) {
  AutoPlay(true, true);
  const std::string strPath = AnalysedTrack(1, 20000, -26.0, -12.0, 15000);
  AnalysedTrack(2, 20000, -16.0, -3.0, 20000);
  std::ofstream(strPath, std::ios::app) << "re-ripped";  // another size: the result is stale

  Play().OnPlayNextTrack();
  EXPECT_EQ(m_mci.m_gains.at("Track1"), 0.0);
  ASSERT_TRUE(TickUntil([&] { return m_mci.IsOpen("Track2"); }, 300));
  EXPECT_EQ(m_mci.DeckOf("Track1").nPosition, 18100);
}

TEST_F(SoundFromAnalysisTest, StartUpReadsTheResultsFileAndGoesOnWithoutAnUnreadableOne) {
  const std::string strPath = AnalysedTrack(1, 20000, -26.0, -12.0, 15000);
  const std::string strFilesDir = (m_dir.Path() / "db" / "").string();
  ASSERT_TRUE(SaveAnalysisFile(strFilesDir, m_results));
  {
    RadioCore restarted{m_mci, m_clock, m_prompter, m_profile, &m_mci};
    restarted.OnInitDialog([] {});
    ASSERT_NE(restarted.Analysis().FreshMeasures("1", "1", strPath), nullptr);
    EXPECT_EQ(restarted.Analysis().FreshMeasures("1", "1", strPath)->nAudibleEnd, 15000);
  }
  std::filesystem::remove(strFilesDir + "analysis.dat");
  std::filesystem::create_directory(strFilesDir + "analysis.dat");
  RadioCore restarted{m_mci, m_clock, m_prompter, m_profile, &m_mci};
  restarted.OnInitDialog([] {});
  EXPECT_EQ(restarted.Analysis().Count(), 0u);
  for (const auto& shown : m_prompter.m_shown) {  // only that this copy cannot save
    EXPECT_FALSE(Contains(shown.strText, "analysis"));
  }
  EXPECT_TRUE(Contains(m_dir.Read("db/errorlog.txt"), "The music file analysis could not be read"));
}

// The nightly velvane-tool run saves analysis.dat while the program plays.
TEST_F(SoundFromAnalysisTest, ResultsSavedByAnotherProgramCountFromTheNextTrack) {
  AutoPlay(true, false);
  QueueTracks({15000, 15000});
  Play().OnPlayNextTrack();
  EXPECT_DOUBLE_EQ(m_mci.m_gains.at("Track1"), 0.0);

  AnalysisResults saved;
  const std::string strSecond = (m_dir.Path() / "music" / "001" / "02 TB.mp3").string();
  TrackAnalysis result{"1", "2", {}, {-26.0, -12.0, 0, 15000}};
  ASSERT_TRUE(DescribeFile(strSecond, result.file));
  saved.Put(result);
  ASSERT_TRUE(SaveAnalysisFile((m_dir.Path() / "db" / "").string(), saved));

  ASSERT_TRUE(TickUntil([&] { return m_mci.IsOpen("Track2"); }, 300));
  EXPECT_DOUBLE_EQ(m_mci.m_gains.at("Track2"), 10.0);
  EXPECT_EQ(m_radio.Analysis().Count(), 1u);
}

}  // namespace
}  // namespace velvane
