#include "core/analysis/LibraryAnalysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "core/analysis/AnalysisFile.h"
#include "core/db/NativeFile.h"
#include "support/FakeAudioAnalyser.h"
#include "support/FakeClock.h"
#include "support/FileFaults.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

namespace fs = std::filesystem;

class LibraryAnalysisTest : public ::testing::Test {
 protected:
  void SetUp() override { m_store.Allocate(1000, 10); }
  // A library record and, unless `strContent` is null, its music file.
  void Track(int nCD, int nTrack, const char* pszContent) {
    const int nIndex = m_store.PlaylistCount();
    m_store.SetPlaylistEntry(nIndex, "A", "T", std::to_string(nCD), std::to_string(nTrack), -1);
    m_store.SetPlaylistCount(nIndex + 1);
    if (pszContent != nullptr) {
      const fs::path folder = m_music.Path() / FolderName(nCD);
      fs::create_directories(folder);
      m_music.Write(FileName(nCD, nTrack), pszContent);
    }
  }
  static std::string FolderName(int nCD) {
    char name[8];
    std::snprintf(name, sizeof name, "%03d", nCD);
    return name;
  }
  static std::string FileName(int nCD, int nTrack) {
    char name[32];
    std::snprintf(name, sizeof name, "%03d/%02d Song.mp3", nCD, nTrack);
    return name;
  }
  LibraryAnalysisOutcome Run(int nJobs, bool bForce = false, AudioAnalyser* pAnalyser = nullptr,
                             const std::atomic<bool>* pStop = nullptr) {
    m_failures.clear();
    m_progress.clear();
    const AnalysisReports reports{
        [this](const AnalysisCount& count) { m_progress.push_back(count); },
        [this](const std::string& strLine) { m_failures.push_back(strLine); }};
    return AnalyseLibrary(
        {m_store, m_music.Folder(), m_db.Folder(), pAnalyser != nullptr ? *pAnalyser : m_analyser,
         m_clock, nJobs, bForce, pStop},
        reports);
  }

  TempDir m_db;
  TempDir m_music;
  TrackStore m_store;
  FakeAudioAnalyser m_analyser;
  FakeClock m_clock{2026, 12, 6, 3, 0};
  std::vector<std::string> m_failures;
  std::vector<AnalysisCount> m_progress;
};

TEST_F(LibraryAnalysisTest, OnlyMissingAndStaleResultsAreMeasuredAgain) {
  Track(1, 1, "one");
  Track(1, 2, "two!");
  Track(1, 2, "two!");   // the same track twice is measured once
  Track(2, 5, nullptr);  // no music file: nothing to measure
  LibraryAnalysisOutcome outcome = Run(2);
  EXPECT_TRUE(outcome.bSaved);
  EXPECT_EQ(m_analyser.m_nCalls, 2);
  EXPECT_EQ(outcome.count.Summary(), "Analysed 2 music files");
  ASSERT_NE(outcome.results.Find("1", "2"), nullptr);
  EXPECT_DOUBLE_EQ(outcome.results.Find("1", "2")->measures.dLoudness, -4.0);

  // Everything fresh: nothing measured, nothing written.
  const fs::file_time_type saved = fs::last_write_time(m_db.Path() / "analysis.dat");
  outcome = Run(2);
  EXPECT_EQ(m_analyser.m_nCalls, 2);
  EXPECT_EQ(outcome.count.Summary(), "All music files are analysed");
  EXPECT_FALSE(outcome.bSaved);
  EXPECT_EQ(fs::last_write_time(m_db.Path() / "analysis.dat"), saved);

  // A changed size makes the result stale, and so does a changed time.
  m_music.Write(FileName(1, 1), "one, longer");
  fs::last_write_time(m_music.Path() / FileName(1, 2), saved - std::chrono::hours(30));
  outcome = Run(1);
  EXPECT_EQ(m_analyser.m_nCalls, 4);
  EXPECT_DOUBLE_EQ(outcome.results.Find("1", "1")->measures.dLoudness, -11.0);

  outcome = Run(1, true);
  EXPECT_EQ(m_analyser.m_nCalls, 6);
  EXPECT_EQ(outcome.results.Count(), 2u);
}

// Several workers at once, so the sanitizer run sees any race.
TEST_F(LibraryAnalysisTest, FailuresAreToldAndLoggedAndTheOthersAreKept) {
  for (int t = 1; t <= 40; ++t) {
    Track(7, t, t % 10 == 3 ? "bad file" : "good");
  }
  fs::create_directories(m_music.Path() / "007" / "41 a folder.mp3");  // not a music file
  Track(7, 41, nullptr);
  MakeFifo(m_music.Path() / "007" / "42 a fifo.mp3");  // listed as no music file: never opened
  Track(7, 42, nullptr);
  const LibraryAnalysisOutcome outcome = Run(4);
  EXPECT_EQ(outcome.count.nTotal, 40);
  EXPECT_EQ(outcome.count.nFailed, 4);
  EXPECT_EQ(outcome.count.Summary(), "Analysed 36 music files, 4 could not be analysed");
  EXPECT_TRUE(outcome.bSaved);
  EXPECT_EQ(outcome.results.Count(), 36u);
  ASSERT_EQ(m_failures.size(), 4u);
  std::sort(m_failures.begin(), m_failures.end());  // told as the workers finish them
  EXPECT_EQ(m_failures[0],
            "Music file CD 007 Track 03 could not be analysed (03 Song.mp3): damaged");
  EXPECT_NE(m_db.Read("errorlog.txt")
                .find("06/12/2026 03:00   Music file CD 007 Track 03 could not be analysed (03 "
                      "Song.mp3): damaged\r\n"),
            std::string::npos);
  // The first report gives the total; then one per file, counting up to it.
  ASSERT_EQ(m_progress.size(), 41u);
  for (std::size_t i = 0; i < m_progress.size(); ++i) {
    EXPECT_EQ(m_progress[i].nDone, static_cast<int>(i));
    EXPECT_EQ(m_progress[i].nTotal, 40);
  }

  AnalysisResults saved;
  std::string strError;
  ASSERT_TRUE(LoadAnalysisFile(m_db.Folder(), saved, strError));
  EXPECT_EQ(saved.Count(), 36u);
}

TEST_F(LibraryAnalysisTest, AbsurdJobCountsStillAnalyseEveryFile) {
  Track(1, 1, "a");
  Track(1, 2, "b");
  for (const int nJobs : {0, -3, 99999}) {
    EXPECT_EQ(Run(nJobs, true).count.Summary(), "Analysed 2 music files") << nJobs;
  }
}

// Stands for the operator who stops the run while the third file is measured.
class StoppingAnalyser : public FakeAudioAnalyser {
 public:
  bool Analyse(const std::string& strPath, TrackMeasures& measures,
               std::string& strError) override {
    if (m_nCalls == 2) {
      m_bStop = true;
    }
    return FakeAudioAnalyser::Analyse(strPath, measures, strError);
  }
  std::atomic<bool> m_bStop{false};
};

TEST_F(LibraryAnalysisTest, AStoppedRunKeepsWhatWasMeasured) {
  for (int t = 1; t <= 20; ++t) {
    Track(4, t, "good");
  }
  StoppingAnalyser analyser;
  const LibraryAnalysisOutcome outcome = Run(2, false, &analyser, &analyser.m_bStop);
  const int nMeasured = analyser.m_nCalls;
  EXPECT_GE(nMeasured, 3);
  EXPECT_LE(nMeasured, 4);  // the other worker may have started one more
  EXPECT_EQ(outcome.count.nDone, nMeasured);
  EXPECT_EQ(outcome.count.Summary(), "Analysed " + std::to_string(nMeasured) +
                                         " music files; stopped with " +
                                         std::to_string(20 - nMeasured) + " files left");
  EXPECT_TRUE(outcome.bSaved);
  EXPECT_EQ(outcome.results.Count(), static_cast<std::size_t>(nMeasured));
}

TEST_F(LibraryAnalysisTest, AResultsFileThatCannotBeReadIsNeverSavedOver) {
  Track(1, 1, "a");
  fs::create_directory(m_db.Path() / "analysis.dat");
  const LibraryAnalysisOutcome outcome = Run(1);
  EXPECT_FALSE(outcome.bLoaded);
  EXPECT_EQ(outcome.strError, m_db.Folder() + "analysis.dat: not a regular file");
  EXPECT_EQ(m_analyser.m_nCalls, 0);
  EXPECT_TRUE(fs::is_directory(m_db.Path() / "analysis.dat"));
}

// The dialog and a nightly tool run must not write analysis.dat over each other.
TEST_F(LibraryAnalysisTest, ASecondRunWhileOneGoesOnDoesNothing) {
  Track(1, 1, "a");
  FolderLock first;
  std::error_code error;
  ASSERT_EQ(first.TryLock(m_db.Folder(), error, kAnalysisLockFile), LockResult::kLocked);
  const LibraryAnalysisOutcome outcome = Run(1);
  EXPECT_TRUE(outcome.bInUse);
  EXPECT_FALSE(outcome.bLoaded);
  EXPECT_EQ(m_analyser.m_nCalls, 0);
  EXPECT_FALSE(m_db.Exists("analysis.dat"));
  first.Unlock();
  EXPECT_TRUE(Run(1).bSaved);
}

TEST_F(LibraryAnalysisTest, ASaveThatFailsIsToldAndLogged) {
  Track(1, 1, "a");
  fs::create_directories(m_db.Path() / "analysis.tmp" / "in the way");
  const LibraryAnalysisOutcome outcome = Run(1);
  EXPECT_FALSE(outcome.bSaved);
  EXPECT_NE(outcome.strError.find("analysis.tmp"), std::string::npos) << outcome.strError;
  EXPECT_NE(m_db.Read("errorlog.txt").find("The analysis results could not be saved: "),
            std::string::npos);
  EXPECT_FALSE(m_db.Exists("analysis.dat"));
}

}  // namespace
}  // namespace velvane
