#include "core/analysis/LibraryAnalysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <stdexcept>

#include "core/analysis/AnalysisFile.h"
#include "core/analysis/AnalysisResults.h"
#include "core/db/NativeFile.h"
#include "core/text/Text.h"
#include "support/Fakes.h"
#include "support/FileFaults.h"
#include "support/Records.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

namespace fs = std::filesystem;

// Throws on the files starting "throw", with a standard exception or not, and stands for the
// operator who stops the run while the third file is measured.
class ScriptedAnalyser : public FakeAudioAnalyser {
 public:
  bool Analyse(const std::string& strPath, TrackMeasures& measures,
               std::string& strError) override {
    // Counted here, not by the base's counter: two workers may both read that before either
    // adds to it, and then no call ever sees the third.
    if (m_nStarted.fetch_add(1) == 2) {
      m_bStop = true;
    }
    const std::string strContent = ReadWholeFile(strPath);
    if (strContent == "throw std") {
      throw std::runtime_error("decoder gave up");
    }
    if (strContent == "throw other") {
      throw 42;
    }
    return FakeAudioAnalyser::Analyse(strPath, measures, strError);
  }
  std::atomic<bool> m_bStop{false};

 private:
  std::atomic<int> m_nStarted{0};
};

class LibraryAnalysisTest : public ::testing::Test {
 protected:
  void SetUp() override { m_store.Allocate(1000, 10); }
  // A library record and, unless `pszContent` is null, its music file.
  void Track(int nCD, int nTrack, const char* pszContent) {
    AppendRecord(m_store, {"A", "T", std::to_string(nCD), std::to_string(nTrack)});
    if (pszContent != nullptr) {
      fs::create_directories((m_music.Path() / FileName(nCD, nTrack)).parent_path());
      m_music.Write(FileName(nCD, nTrack), pszContent);
    }
  }
  static std::string FileName(int nCD, int nTrack) {
    return FormatInt(nCD, 3) + "/" + FormatInt(nTrack, 2) + " Song.mp3";
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
  // What analysis.dat holds.
  AnalysisResults Saved() const {
    AnalysisResults saved;
    std::string strError;
    EXPECT_TRUE(LoadAnalysisFile(m_db.Folder(), saved, strError)) << strError;
    return saved;
  }

  TempDir m_db;
  TempDir m_music;
  TrackStore m_store;
  FakeAudioAnalyser m_analyser;
  FakeClock m_clock{2026, 12, 6, 3, 0};
  Strings m_failures;
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
  for (const int nJobs : {0, -3, 99999}) {  // absurd job counts still analyse every file
    EXPECT_EQ(Run(nJobs, true).count.Summary(), "Analysed 2 music files") << nJobs;
  }
}

// Several workers at once, so the sanitizer run sees any race.
TEST_F(LibraryAnalysisTest, FailuresAreToldAndLoggedAndTheOthersAreKept) {
  for (int t = 1; t <= 40; ++t) {
    Track(7, t, t % 10 == 3 ? "bad file" : "good");
  }
  // What stands in a track's place but is no file fails with a reason; a FIFO is never
  // opened, so it cannot block a worker.
  fs::create_directories(m_music.Path() / "007" / "41 a folder.mp3");
  Track(7, 41, nullptr);
#ifndef _WIN32  // no FIFOs there, and links need privileges
  constexpr int kPosixOnly = 2;
  MakeFifo(m_music.Path() / "007" / "42 a fifo.mp3");
  Track(7, 42, nullptr);
  fs::create_directory_symlink(m_music.Path() / "gone", m_music.Path() / "007" / "43 link.mp3");
  Track(7, 43, nullptr);
#else
  constexpr int kPosixOnly = 0;
#endif
  // A regular file is the track's music file even when a folder comes first in name order.
  fs::create_directories(m_music.Path() / "007" / "44 a folder");
  Track(7, 44, "good");
  const LibraryAnalysisOutcome outcome = Run(4);
  EXPECT_EQ(outcome.count.nTotal, 42 + kPosixOnly);
  EXPECT_EQ(outcome.count.Summary(), "Analysed 37 music files, " + std::to_string(5 + kPosixOnly) +
                                         " could not be analysed");
  EXPECT_TRUE(outcome.bSaved);
  EXPECT_EQ(outcome.results.Count(), 37u);
  Strings expected;
  for (const std::string strWhy :
       {"03 Song.mp3): damaged", "13 Song.mp3): damaged", "23 Song.mp3): damaged",
        "33 Song.mp3): damaged", "41 a folder.mp3): it is a folder, not a file",
        "42 a fifo.mp3): it is a FIFO, not a file", "43 link.mp3): it is a broken link"}) {
    expected.push_back("Music file CD 007 Track " + strWhy.substr(0, 2) +
                       " could not be analysed (" + strWhy);
  }
  expected.resize(5 + kPosixOnly);
  std::sort(m_failures.begin(), m_failures.end());  // told as the workers finish them
  EXPECT_EQ(m_failures, expected);
  EXPECT_TRUE(Contains(m_db.Read("errorlog.txt"), "06/12/2026 03:00   " + expected[0] + "\r\n"));
  // The first report gives the total; then one per file, counting up to it.
  ASSERT_EQ(m_progress.size(), static_cast<std::size_t>(43 + kPosixOnly));
  for (std::size_t i = 0; i < m_progress.size(); ++i) {
    EXPECT_EQ(m_progress[i].nDone, static_cast<int>(i));
    EXPECT_EQ(m_progress[i].nTotal, 42 + kPosixOnly);
  }
  EXPECT_EQ(Saved().Count(), 37u);
}

TEST_F(LibraryAnalysisTest, AStoppedRunKeepsWhatWasMeasured) {
  for (int t = 1; t <= 20; ++t) {
    Track(4, t, "good");
  }
  ScriptedAnalyser analyser;
  const LibraryAnalysisOutcome outcome = Run(2, false, &analyser, &analyser.m_bStop);
  const int nMeasured = analyser.m_nCalls;
  EXPECT_GE(nMeasured, 3);
  EXPECT_LE(nMeasured, 4);  // the other worker may have started one more
  EXPECT_EQ(outcome.count.Summary(), "Analysed " + std::to_string(nMeasured) +
                                         " music files; stopped with " +
                                         std::to_string(20 - nMeasured) + " files left");
  EXPECT_TRUE(outcome.bSaved);
  EXPECT_EQ(outcome.results.Count(), static_cast<std::size_t>(nMeasured));
}

TEST_F(LibraryAnalysisTest, WhatWasMeasuredIsKeptWhenSomethingThrows) {
  for (int t = 1; t <= 12; ++t) {
    Track(5, t, t == 4 ? "throw std" : t == 9 ? "throw other" : "good");
  }
  ScriptedAnalyser analyser;
  LibraryAnalysisOutcome outcome = Run(3, false, &analyser);
  EXPECT_EQ(outcome.count.Summary(), "Analysed 10 music files, 2 could not be analysed");
  std::sort(m_failures.begin(), m_failures.end());
  ASSERT_EQ(m_failures.size(), 2u);
  EXPECT_TRUE(Contains(m_failures[0], "(04 Song.mp3): decoder gave up"));
  EXPECT_TRUE(Contains(m_failures[1], "(09 Song.mp3): the analysis failed unexpectedly"));
  EXPECT_TRUE(outcome.bSaved);

  // A report that throws ends the run; the results measured until then are on disk.
  for (int t = 13; t <= 30; ++t) {
    Track(5, t, "good");
  }
  int nReports = 0;
  const AnalysisReports throwing{[&nReports](const AnalysisCount& count) {
                                   if (count.nDone > 0 && ++nReports == 3) {
                                     throw std::runtime_error("window gone");
                                   }
                                 },
                                 nullptr};
  EXPECT_THROW(AnalyseLibrary({m_store, m_music.Folder(), m_db.Folder(), m_analyser, m_clock, 1,
                               false, nullptr},
                              throwing),
               std::runtime_error);
  // Tracks 4, 9 and 13 were measured, then the third report threw.
  const AnalysisResults saved = Saved();
  EXPECT_EQ(saved.Count(), 13u);
  EXPECT_NE(saved.Find("5", "13"), nullptr);
  EXPECT_EQ(saved.Find("5", "14"), nullptr);
}

TEST_F(LibraryAnalysisTest, AnUnreadableResultsFileIsNeverSavedOverAndAFailedSaveIsTold) {
  Track(1, 1, "a");
  fs::create_directory(m_db.Path() / "analysis.dat");
  LibraryAnalysisOutcome outcome = Run(1);
  EXPECT_FALSE(outcome.bLoaded);
  EXPECT_EQ(outcome.strError, m_db.Folder() + "analysis.dat: not a regular file");
  EXPECT_EQ(m_analyser.m_nCalls, 0);
  EXPECT_TRUE(fs::is_directory(m_db.Path() / "analysis.dat"));

  fs::remove(m_db.Path() / "analysis.dat");
  fs::create_directories(m_db.Path() / "analysis.tmp" / "in the way");
  outcome = Run(1);
  EXPECT_FALSE(outcome.bSaved);
  EXPECT_TRUE(Contains(outcome.strError, "analysis.tmp"));
  EXPECT_TRUE(Contains(m_db.Read("errorlog.txt"), "The analysis results could not be saved: "));
  EXPECT_FALSE(m_db.Exists("analysis.dat"));
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

TrackAnalysis Result(std::string strCD, std::string strTrack, std::string strName) {
  return {std::move(strCD),
          std::move(strTrack),
          {std::move(strName), 4321, 1767225600},
          {-16.25, -0.5, 120, 181000}};
}

TEST(AnalysisFileTest, LinesHoldTheNineFieldsAndAnyFileNameComesBack) {
  EXPECT_EQ(FormatAnalysisLine(Result("12", "3", "03 Song.mp3")),
            "12\t3\t03 Song.mp3\t4321\t1767225600\t-16.25\t-0.50\t120\t181000\r\n");
  // Separators, line ends and the escape character itself inside a name.
  const std::string strName = "01 a\tb\rc\nd\\t\\ é.mp3";
  TrackAnalysis result = Result("999", "99", strName);
  result.file.nSize = 18446744073709551615ULL;
  result.file.nModified = -86400;
  const std::string strLine = FormatAnalysisLine(result);
  EXPECT_EQ(strLine.find_first_of("\r\n"), strLine.size() - 2);
  TrackAnalysis read;
  ASSERT_TRUE(ParseAnalysisLine(strLine, read));
  EXPECT_EQ(read.strCD, "999");
  EXPECT_EQ(read.file, result.file);
  EXPECT_DOUBLE_EQ(read.measures.dLoudness, -16.25);
  EXPECT_EQ(read.measures.nAudibleEnd, 181000);
}

TEST(AnalysisFileTest, DamagedLinesAreSkipped) {
  TrackAnalysis read;
  for (const char* pszLine : {
           "",
           "12\t3\t03.mp3\t4321\t0\t-16.25\t-0.50\t120",                   // a field short
           "12\t3\t03.mp3\t4321\t0\t-16.25\t-0.50\t120\t900\t1",           // a field over
           "12\t3\t\t4321\t0\t-16.25\t-0.50\t120\t900",                    // no name
           "12\t3\t03\\x.mp3\t4321\t0\t-16.25\t-0.50\t120\t900",           // unknown escape
           "12\t3\t03.mp3\\\t4321\t0\t-16.25\t-0.50\t120\t900",            // escape cut off
           "-1\t3\t03.mp3\t4321\t0\t-16.25\t-0.50\t120\t900",              // negative CD
           "12\t3\t03.mp3\t-4\t0\t-16.25\t-0.50\t120\t900",                // negative size
           "12\t3\t03.mp3\t4321\t0\tnan\t-0.50\t120\t900",                 // not a level
           "12\t3\t03.mp3\t4321\t0\t-16.25\t-inf\t120\t900",               // not a level
           "12\t3\t03.mp3\t4321\t0\t-16.25\t-0.50\t120x\t900",             // not a number
           "12\t3\t03.mp3\t4321\t0\t-16.25\t-0.50\t900\t120",              // ends before start
           "12\t3\t03.mp3\t99999999999999999999\t0\t-16.25\t-0.50\t1\t9",  // too large
       }) {
    EXPECT_FALSE(ParseAnalysisLine(pszLine, read)) << pszLine;
  }
}

TEST(AnalysisFileTest, ReadsEveryLineEndSkipsDamagedLinesAndNeverWaitsOnAFifo) {
  TempDir db;
  db.Write("analysis.dat",
           "1\t1\ta.mp3\t1\t2\t-10.00\t-1.00\t0\t5\r"
           "garbage\r\n"
           "2\t1\tb.mp3\t1\t2\t-11.00\t-1.00\t0\t5\n"
           "3\t1\tc.mp3\t1\t2\t-12.00\t-1.00\t0\t5\r\n"
           "4\t1\td.mp3\t1\t2\t-13.00\t-1.00\t0\t5");
  AnalysisResults results;
  std::string strError;
  ASSERT_TRUE(LoadAnalysisFile(db.Folder(), results, strError));
  EXPECT_EQ(results.Count(), 4u);
  ASSERT_NE(results.Find("4", "1"), nullptr);
  EXPECT_DOUBLE_EQ(results.Find("4", "1")->measures.dLoudness, -13.0);
  // A missing file and a folder in its place: see LibraryAnalysisTest.
#ifndef _WIN32  // no FIFOs there
  std::filesystem::remove(db.Path() / "analysis.dat");
  MakeFifo(db.Path() / "analysis.dat");
  EXPECT_FALSE(LoadAnalysisFile(db.Folder(), results, strError));
#endif
}

TEST(AnalysisFileTest, SavesInCDAndTrackOrderThroughTheRotation) {
  TempDir db;
  db.Write("analysis.dat", "old\r\n");
  AnalysisResults results;
  results.Put(Result("10", "2", "02.mp3"));
  results.Put(Result("9", "12", "12.mp3"));
  ASSERT_TRUE(SaveAnalysisFile(db.Folder(), results));
  EXPECT_EQ(db.Read("analysis.dat"), FormatAnalysisLine(Result("9", "12", "12.mp3")) +
                                         FormatAnalysisLine(Result("10", "2", "02.mp3")));
  EXPECT_EQ(db.Read("analysis.old"), "old\r\n");
}

TEST(TrackGain, ReachesTheTargetUnlessThePeakWouldPassMinusOne) {
  EXPECT_DOUBLE_EQ(TrackGain({-26.0, -12.0, 0, 0}, -16.0), 10.0);  // quiet, room to spare
  EXPECT_DOUBLE_EQ(TrackGain({-9.0, -0.2, 0, 0}, -16.0), -7.0);    // loud: turned down
  EXPECT_DOUBLE_EQ(TrackGain({-20.0, -3.0, 0, 0}, -16.0), 2.0);    // peak-limited, not 4
  EXPECT_DOUBLE_EQ(TrackGain({-16.0, 0.5, 0, 0}, -16.0), -1.5);    // over the ceiling already
}

TEST(TrackGain, SilenceAndAbsurdResultsGiveNoEndlessGain) {
  const double dInfinity = std::numeric_limits<double>::infinity();
  const double dNaN = std::numeric_limits<double>::quiet_NaN();
  EXPECT_DOUBLE_EQ(TrackGain({-dInfinity, -dInfinity, 0, 0}, -16.0), 0.0);
  EXPECT_DOUBLE_EQ(TrackGain({dNaN, -3.0, 0, 0}, -16.0), 0.0);
  EXPECT_DOUBLE_EQ(TrackGain({-200.0, -150.0, 0, 0}, -16.0), 24.0);
  EXPECT_DOUBLE_EQ(TrackGain({90.0, 95.0, 0, 0}, -16.0), -24.0);
}

}  // namespace
}  // namespace velvane
