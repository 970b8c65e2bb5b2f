#include "core/updates/UpdateMerge.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/FakeClock.h"
#include "support/FakePrompter.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

HttpResponse Answer(std::string strBody, int nStatus = 200) {
  return {true, nStatus, std::move(strBody), {}};
}

class UpdateMergeTest : public ::testing::Test {
 protected:
  UpdateMergeTest() {
    m_store.Allocate(10, 3);
    m_store.SetPlaylistEntry(0, {"Local Artist", "Local Title", "5", "2", -1}, 10);
    m_store.SetPlaylistCount(1);
    m_store.SetChartEntry(0, {"01/01/1990", "Old A", "Old T", "4", 0}, 1);
    m_store.SetChartEntry(1, {"01/01/1990", "Old B", "Old U", "5", -1}, 1);
    m_store.SetChartCount(2);
  }

  UpdateOutcome Apply(const std::string& strFile, int nSize, const HttpResponse& response) {
    UpdateTarget target{m_store, {m_dir.Folder(), m_clock, m_prompter, "T"}, m_strRefusal, [&] {
                          ++m_nChartSaves;
                          return m_saveOutcome;
                        }};
    return ApplyUpdate(target, {strFile, nSize, {}}, response);
  }

  void ExpectChartsUnchanged() const {
    EXPECT_EQ(m_nChartSaves, 0);
    EXPECT_EQ(m_store.ChartCount(), 2);
    EXPECT_EQ(m_store.Chart(0).strArtist, "Old A");
    EXPECT_EQ(m_store.Chart(1).strDate, "01/01/1990");
  }

  TempDir m_dir;
  TrackStore m_store;
  FakeClock m_clock{2026, 12, 6, 1, 0};
  FakePrompter m_prompter;
  std::string m_strRefusal;
  SaveOutcome m_saveOutcome;
  int m_nChartSaves = 0;
};

constexpr const char* kThreeChartLines =
    "02/02/2000\\New A\\New T\\1\\7\\\r\n"
    "02/02/2000\\New B\\New U\\2\\-1\\\r\n"
    "02/02/2000\\New C\\New V\\3\\-1\\\r\n";

TEST_F(UpdateMergeTest, AChartUpdateOfChartSizeKeepsLinkedTextsAndTakesTheCatalogueCount) {
  const UpdateOutcome outcome = Apply("uk_020200.cht", 3, Answer(kThreeChartLines));
  EXPECT_TRUE(outcome.bApplied);
  EXPECT_EQ(outcome.icon, PromptIcon::Information);
  EXPECT_EQ(outcome.strMessage,
            "The chart database has been updated.\nIf it has previously been modified manually "
            "you should rebuild the relationships");
  EXPECT_EQ(m_nChartSaves, 1);
  ASSERT_EQ(m_store.ChartCount(), 3);
  const ChartEntry& linked = m_store.Chart(0);
  EXPECT_EQ(linked.strArtist, "Old A");  // linked: local texts, downloaded date and position
  EXPECT_EQ(linked.strTitle, "Old T");
  EXPECT_EQ(linked.strDate, "02/02/2000");
  EXPECT_EQ(linked.strPosition, "1");
  EXPECT_EQ(linked.nPlaylistLink, 0);
  EXPECT_EQ(m_store.Chart(1).strArtist, "New B");
  EXPECT_EQ(m_store.Chart(2).strArtist, "New C");
  EXPECT_EQ(m_store.Chart(2).nPlaylistLink, -1);  // the download's link is never used
}

TEST_F(UpdateMergeTest, AChartUpdateAboveChartSizeIsRefusedNamingCountPlusOne) {
  const UpdateOutcome outcome = Apply("uk_020200.cht", 4,
                                      Answer(std::string(kThreeChartLines) + "02/02/2000\\D\\W\\4\\"
                                                                             "-1\\\r\n"));
  EXPECT_FALSE(outcome.bApplied);
  EXPECT_EQ(outcome.strMessage,
            "Insufficient memory for update.\nIncrease the chart size to a minimum of 5");
  ExpectChartsUnchanged();
}

TEST_F(UpdateMergeTest, AnythingButAWholeAnswerChangesNothingAndSaysWhy) {
  const std::string strNumberOnes = "01/01/1990\\A\\T\\5\\2\\\r\n";
  m_dir.Write("hits.dat", strNumberOnes);
  m_dir.Write("hits.old", "older\r\n");
  const struct {
    const char* pszFile;
    HttpResponse response;
    const char* pszWhy;
  } cases[] = {
      {"uk.cht", {false, 0, {}, "Connection refused"}, "Internet connection failed"},
      {"uk.hit", {false, 0, {}, "timed out"}, "timed out"},
      {"uk.cht", Answer(kThreeChartLines, 404), "answered 404"},
      {"uk.cht", Answer("02/02/2000\\New A\\New T\\1\\7\\\r\n"), "with 1 complete lines"},
      {"uk.hit", Answer("02/02/2000\\X\\Y\\\r\n03/02/2000\\Z"), "with 2 complete lines"},
      {"uk.cht", Answer(std::string(kThreeChartLines) + "x\r\n"), "with 4 complete lines"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pszWhy);
    const UpdateOutcome outcome = Apply(c.pszFile, 3, c.response);
    EXPECT_FALSE(outcome.bApplied);
    EXPECT_NE(outcome.strMessage.find(c.pszWhy), std::string::npos) << outcome.strMessage;
    EXPECT_NE(outcome.strMessage.find("Nothing has been changed."), std::string::npos);
    ExpectChartsUnchanged();
    EXPECT_EQ(m_dir.Read("hits.dat"), strNumberOnes);
    EXPECT_EQ(m_dir.Read("hits.old"), "older\r\n");
    EXPECT_FALSE(m_dir.Exists("hits.tmp"));
  }
}

// An update without records would empty charts.dat or hits.dat (and, tried twice, their .old
// copies too).
TEST_F(UpdateMergeTest, AnUpdateWithNoRecordsIsRefusedAndChangesNothing) {
  const std::string strNumberOnes = "01/01/1990\\A\\T\\5\\2\\\r\n";
  m_dir.Write("hits.dat", strNumberOnes);
  m_dir.Write("hits.old", "older\r\n");
  // A catalogue line too short to hold its count promises no records.
  const std::vector<CatalogueEntry> shortLine = ParseCatalogue("UK   CHTuk_020200.cht00\r\n");
  ASSERT_EQ(shortLine.size(), 1u);
  const struct {
    const char* pszFile;
    int nSize;
    std::string strBody;
  } cases[] = {
      {"uk.cht", 3, ""},
      {"uk.hit", 3, ""},
      {"uk.hit", 2, "\r\n \r\n\\\\\r\n"},  // blank lines only
      {"uk.cht", 0, ""},
      {"uk.hit", 0, ""},
      {"uk.cht", 0, kThreeChartLines},  // records the catalogue does not promise
      {"uk_020200.cht", shortLine[0].nSize, kThreeChartLines},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.pszFile) + " " + std::to_string(c.nSize) + " [" + c.strBody + "]");
    for (int nTry = 0; nTry < 2; ++nTry) {
      const UpdateOutcome outcome = Apply(c.pszFile, c.nSize, Answer(c.strBody));
      EXPECT_FALSE(outcome.bApplied);
      EXPECT_EQ(outcome.strMessage, std::string("The update was not applied: The update ") +
                                        c.pszFile + " holds no records. Nothing has been changed.");
      ExpectChartsUnchanged();
      EXPECT_EQ(m_dir.Read("hits.dat"), strNumberOnes);
      EXPECT_EQ(m_dir.Read("hits.old"), "older\r\n");
    }
  }
}

// The transfer ended where the server ended it, so its last line is whole without a line end.
TEST_F(UpdateMergeTest, AWholeTransferCountsItsLastLineWithoutALineEnd) {
  std::string strCharts = kThreeChartLines;
  strCharts.resize(strCharts.size() - 2);
  ASSERT_TRUE(Apply("uk.cht", 3, Answer(strCharts)).bApplied);
  ASSERT_EQ(m_store.ChartCount(), 3);
  EXPECT_EQ(m_store.Chart(2).strArtist, "New C");
  EXPECT_EQ(m_store.Chart(2).strPosition, "3");

  ASSERT_TRUE(Apply("uk.hit", 2, Answer("02/02/2000\\X\\Y\\\r\n03/02/2000\\Z\\W")).bApplied);
  EXPECT_EQ(m_dir.Read("hits.dat"), "02/02/2000\\X\\Y\\ \\ \\\r\n03/02/2000\\Z\\W\\ \\ \\\r\n");
}

TEST_F(UpdateMergeTest, ARefusedWriteOrAFailedSaveLeavesTheRecordsAsTheyWere) {
  m_strRefusal = "the database folder is in use by another Velvane program";
  EXPECT_NE(Apply("uk.cht", 3, Answer(kThreeChartLines)).strMessage.find(m_strRefusal),
            std::string::npos);
  ExpectChartsUnchanged();

  m_strRefusal.clear();
  m_saveOutcome.result = SaveResult::kCreateFailed;
  EXPECT_FALSE(Apply("uk.cht", 3, Answer(kThreeChartLines)).bApplied);
  EXPECT_EQ(m_nChartSaves, 1);
  EXPECT_EQ(m_store.ChartCount(), 2);
  EXPECT_EQ(m_store.Chart(1).strArtist, "Old B");
}

TEST_F(UpdateMergeTest, ANumberOneUpdateKeepsTheLocalCopiesOfTheSameSongs) {
  const std::string strOld =
      "01/01/1990\\Abba\\SOS\\12\\3\\\r\n"
      "08/01/1990\\Blondie\\Atomic\\0\\0\\\r\n"
      "15/01/1990\\Cher\\Believe\\7\\1\\\r\n";
  m_dir.Write("hits.dat", strOld);
  const std::string strLong(200, 'x');
  // A new entry at the front moves every old one down a line; a name ending in upper-case
  // CHT is a number-one update all the same.
  const UpdateOutcome outcome = Apply("uk_010190.CHT", 5,
                                      Answer("25/12/1989\\New\\Song\\\r\n"
                                             "01/01/1990\\ABBA\\sos\\\r\n"
                                             "08/01/1990\\Blondie\\Atomic\\9\\9\\\r\n"
                                             "15/01/1990\\Other\\Song\\\r\n"
                                             "22/01/1990\\" +
                                             strLong + "\r\n"));
  EXPECT_TRUE(outcome.bApplied) << outcome.strMessage;
  EXPECT_EQ(outcome.strMessage,
            "The number 1 database has been updated.\nIf it has previously been modified "
            "manually you should check the CD/Track information");
  EXPECT_EQ(m_nChartSaves, 0);
  EXPECT_EQ(m_dir.Read("hits.dat"),
            "25/12/1989\\New\\Song\\ \\ \\\r\n"
            "01/01/1990\\ABBA\\sos\\12\\3\\\r\n"
            "08/01/1990\\Blondie\\Atomic\\0\\0\\\r\n"
            "15/01/1990\\Other\\Song\\ \\ \\\r\n"
            "22/01/1990\\" +
                std::string(127, 'x') + "\\Song\\ \\ \\\r\n");  // title kept from the line before
  EXPECT_EQ(m_dir.Read("hits.old"), strOld);
}

// A respelled artist or a corrected date on the same line used to lose the library copy.
TEST_F(UpdateMergeTest, TheSameLineKeepsItsCopyWhenOnlyTheNameOrOnlyTheDateChanged) {
  m_dir.Write("hits.dat",
              "05/02/1990\\Madonna\\Vogue\\4\\2\\\r\n"
              "12/02/1990\\Queen\\Innuendo\\5\\1\\\r\n"
              "19/02/1990\\Cher\\Believe\\7\\3\\\r\n");
  ASSERT_TRUE(Apply("uk_050290.hit", 3,
                    Answer("05/02/1990\\Madona\\Vogue\\\r\n"    // respelled: kept
                           "13/02/1990\\Queen\\Innuendo\\\r\n"  // date corrected: kept
                           "20/02/1990\\Other\\Song\\\r\n"))    // neither: no copy
                  .bApplied);
  EXPECT_EQ(m_dir.Read("hits.dat"),
            "05/02/1990\\Madona\\Vogue\\4\\2\\\r\n"
            "13/02/1990\\Queen\\Innuendo\\5\\1\\\r\n"
            "20/02/1990\\Other\\Song\\ \\ \\\r\n");
}

TEST_F(UpdateMergeTest, WithoutHitsDatANumberOneUpdateIsWrittenWithBlankCopiesAndLogged) {
  EXPECT_TRUE(Apply("uk.hit", 1, Answer("01/01/1990\\A\\T\\\n")).bApplied);
  EXPECT_EQ(m_dir.Read("hits.dat"), "01/01/1990\\A\\T\\ \\ \\\r\n");
  EXPECT_NE(m_dir.Read("errorlog.txt").find("Failed to open the number one file"),
            std::string::npos);

  std::filesystem::remove(m_dir.Path() / "hits.dat");
  std::filesystem::create_directory(m_dir.Path() / "hits.dat");  // there, but unreadable
  EXPECT_FALSE(Apply("uk.hit", 1, Answer("01/01/1990\\A\\T\\\n")).bApplied);
  EXPECT_TRUE(std::filesystem::is_directory(m_dir.Path() / "hits.dat"));
}

}  // namespace
}  // namespace velvane
