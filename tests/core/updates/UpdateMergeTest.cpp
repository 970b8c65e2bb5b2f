#include "core/updates/UpdateMerge.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/updates/UpdateCatalogue.h"
#include "support/Fakes.h"
#include "support/Records.h"
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
    EXPECT_EQ(ChartRows(m_store),
              (Strings{"01/01/1990|Old A|Old T|4|0", "01/01/1990|Old B|Old U|5|-1"}));
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
  // Linked: local texts, downloaded date and position. The download's links are never used.
  EXPECT_EQ(ChartRows(m_store),
            (Strings{"02/02/2000|Old A|Old T|1|0", "02/02/2000|New B|New U|2|-1",
                     "02/02/2000|New C|New V|3|-1"}));
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

// An update without records would empty charts.dat or hits.dat (and, tried twice, their .old
// copies too).
TEST_F(UpdateMergeTest, AnythingButAWholeAnswerWithRecordsChangesNothingAndSaysWhy) {
  const std::string strNumberOnes = "01/01/1990\\A\\T\\5\\2\\\r\n";
  m_dir.Write("hits.dat", strNumberOnes);
  m_dir.Write("hits.old", "older\r\n");
  // A catalogue line too short to hold its count promises no records.
  const std::vector<CatalogueEntry> shortLine = ParseCatalogue("UK   CHTuk_020200.cht00\r\n");
  ASSERT_EQ(shortLine.size(), 1u);
  const std::string strCharts = kThreeChartLines;
  const struct {
    const char* pszFile;
    int nSize;
    HttpResponse response;
    const char* pszWhy;
  } cases[] = {
      {"uk.cht", 3, {false, 0, {}, "Connection refused"}, "Internet connection failed"},
      {"uk.hit", 3, {false, 0, {}, "timed out"}, "timed out"},
      {"uk.cht", 3, Answer(strCharts, 404), "answered 404"},
      {"uk.cht", 3, Answer("02/02/2000\\New A\\New T\\1\\7\\\r\n"), "with 1 complete lines"},
      {"uk.hit", 3, Answer("02/02/2000\\X\\Y\\\r\n03/02/2000\\Z"), "with 2 complete lines"},
      {"uk.cht", 3, Answer(strCharts + "x\r\n"), "with 4 complete lines"},
      {"uk.cht", 3, Answer(""), "update uk.cht holds no records. Nothing"},
      {"uk.hit", 3, Answer(""), "update uk.hit holds no records. Nothing"},
      {"uk.hit", 2, Answer("\r\n \r\n\\\\\r\n"), "update uk.hit holds no records. Nothing"},
      {"uk.cht", 0, Answer(""), "update uk.cht holds no records. Nothing"},
      {"uk.hit", 0, Answer(""), "update uk.hit holds no records. Nothing"},
      {"uk.cht", 0, Answer(strCharts), "update uk.cht holds no records. Nothing"},  // not promised
      {"uk_020200.cht", shortLine[0].nSize, Answer(strCharts), "uk_020200.cht holds no records."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.pszFile) + " " + std::to_string(c.nSize) + ": " + c.pszWhy);
    for (int nTry = 0; nTry < 2; ++nTry) {
      const UpdateOutcome outcome = Apply(c.pszFile, c.nSize, c.response);
      EXPECT_FALSE(outcome.bApplied);
      EXPECT_EQ(outcome.strMessage.rfind("The update was not applied: ", 0), 0u);
      EXPECT_TRUE(Contains(outcome.strMessage, c.pszWhy));
      EXPECT_TRUE(Contains(outcome.strMessage, " Nothing has been changed."));
      ExpectChartsUnchanged();
      EXPECT_EQ(m_dir.Read("hits.dat"), strNumberOnes);
      EXPECT_EQ(m_dir.Read("hits.old"), "older\r\n");
      EXPECT_FALSE(m_dir.Exists("hits.tmp"));
    }
  }
}

// The transfer ended where the server ended it, so its last line is whole without a line end.
TEST_F(UpdateMergeTest, AWholeTransferCountsItsLastLineWithoutALineEnd) {
  std::string strCharts = kThreeChartLines;
  strCharts.resize(strCharts.size() - 2);
  ASSERT_TRUE(Apply("uk.cht", 3, Answer(strCharts)).bApplied);
  EXPECT_EQ(ChartRows(m_store).back(), "02/02/2000|New C|New V|3|-1");

  ASSERT_TRUE(Apply("uk.hit", 2, Answer("02/02/2000\\X\\Y\\\r\n03/02/2000\\Z\\W")).bApplied);
  EXPECT_EQ(m_dir.Read("hits.dat"), "02/02/2000\\X\\Y\\ \\ \\\r\n03/02/2000\\Z\\W\\ \\ \\\r\n");
}

TEST_F(UpdateMergeTest, ARefusedWriteOrAFailedSaveLeavesTheRecordsAsTheyWere) {
  m_strRefusal = "the database folder is in use by another Velvane program";
  EXPECT_TRUE(Contains(Apply("uk.cht", 3, Answer(kThreeChartLines)).strMessage, m_strRefusal));
  ExpectChartsUnchanged();

  m_strRefusal.clear();
  m_saveOutcome.result = SaveResult::kCreateFailed;
  EXPECT_FALSE(Apply("uk.cht", 3, Answer(kThreeChartLines)).bApplied);
  EXPECT_EQ(m_nChartSaves, 1);
  m_nChartSaves = 0;
  ExpectChartsUnchanged();
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
  EXPECT_TRUE(Contains(m_dir.Read("errorlog.txt"), "Failed to open the number one file"));

  std::filesystem::remove(m_dir.Path() / "hits.dat");
  std::filesystem::create_directory(m_dir.Path() / "hits.dat");  // there, but unreadable
  EXPECT_FALSE(Apply("uk.hit", 1, Answer("01/01/1990\\A\\T\\\n")).bApplied);
  EXPECT_TRUE(std::filesystem::is_directory(m_dir.Path() / "hits.dat"));
}

TEST(UpdateCatalogue, ReadsTheFixedPositionsAndCarriesTheTypeOfTheLineBefore) {
  const std::vector<CatalogueEntry> entries = ParseCatalogue(
      "UK   CHTuk_251209.cht000120\r\n"
      "US   XYZus_010110.hit000007\r\n"
      "\r\n"
      "DE   HITde_0201\n");
  Strings rows;
  for (const CatalogueEntry& entry : entries) {
    rows.push_back(entry.strListLine + "|" + entry.strFile + "|" + std::to_string(entry.nSize));
  }
  EXPECT_EQ(rows, (Strings{"  UK   \tChart Database\t25/12/09\tuk_251209.cht|uk_251209.cht|120",
                           // An unknown type code shows the type of the line before it.
                           "  US   \tChart Database\t01/01/10\tus_010110.hit|us_010110.hit|7",
                           // A short line gives shortened fields and a count of 0.
                           "  DE   \tNumber One Database\t02/01/\tde_0201|de_0201|0"}));
  EXPECT_TRUE(IsChartUpdate("uk_251209.cht"));
  EXPECT_FALSE(IsChartUpdate("ht"));  // shorter than the ending
}

TEST(UpdateCatalogue, TheSortedListMapsEachPositionBackToItsCatalogueLine) {
  std::string strBody;
  for (int i = 0; i < 150; ++i) {  // more than the old fixed 100 lines
    const std::string strDay = std::to_string(10 + i % 18);
    strBody += (i % 2 ? "US   HIT" : "UK   CHT") + std::string("ab_") + strDay + "0109.cht" +
               std::to_string(100000 + i) + "\r\n";
  }
  const UpdateList list(ParseCatalogue(strBody));
  ASSERT_EQ(list.Count(), 150);
  for (int nPos = 0; nPos < list.Count(); ++nPos) {
    EXPECT_EQ(list.At(nPos)->strListLine, list.Line(nPos));
    if (nPos > 0) {
      EXPECT_LE(list.Line(nPos - 1), list.Line(nPos));
    }
  }
  EXPECT_EQ(list.Line(0), "  UK   \tChart Database\t10/01/09\tab_100109.cht");
  EXPECT_EQ(list.At(0)->nSize, 100000);  // equal lines keep their catalogue order
  EXPECT_EQ(list.At(-1), nullptr);
  EXPECT_EQ(list.At(150), nullptr);
  EXPECT_EQ(list.Find("ab_110109.cht")->nSize, 100001);
}

TEST(UpdateCatalogue, TheServerSettingTakesAHostAPortOrABaseAddress) {
  EXPECT_EQ(UpdateUrl("charts.example", "avail.cht"), "http://charts.example/avail.cht");
  EXPECT_EQ(UpdateUrl(" 127.0.0.1:8080 ", "avail.cht"), "http://127.0.0.1:8080/avail.cht");
  EXPECT_EQ(UpdateUrl("https://host/updates", "a.cht"), "https://host/updates/a.cht");
  EXPECT_EQ(UpdateUrl("HTTP://host/", "a.cht"), "HTTP://host/a.cht");
  EXPECT_EQ(UpdateUrl("", "a.cht"), "");
}

}  // namespace
}  // namespace velvane
