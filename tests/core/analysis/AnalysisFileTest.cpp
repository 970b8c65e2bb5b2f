#include "core/analysis/AnalysisFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

#include "core/analysis/AnalysisResults.h"
#include "support/FileFaults.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

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
