#include <gtest/gtest.h>

#include <sstream>

#include "support/FakeClock.h"
#include "support/FakeProfileStore.h"
#include "support/TempDir.h"
#include "tool/Tool.h"

namespace velvane {
namespace {

class SearchCommandsTest : public ::testing::Test {
 protected:
  SearchCommandsTest() {
    m_dir.Write("playlist.dat", "01203\\ABBA\\Waterloo\\0\\\r\n01204\\ABBA\\SOS\\-1\\\r\n");
    m_dir.Write("charts.dat", "06/04/1974\\Abba\\Waterloo\\1\\0\\\r\n");
    m_dir.Write("hits.dat", "06/04/1974\\ABBA\\Waterloo\\12\\3\\\r\n");
  }

  int Run(const std::vector<std::string>& args) {
    std::vector<std::string> full = {"--db", m_dir.Folder()};
    full.insert(full.end(), args.begin(), args.end());
    m_out.str("");
    m_err.str("");
    ToolContext context{m_profile, m_clock, m_out, m_err};
    return RunTool(full, context);
  }

  TempDir m_dir;
  FakeProfileStore m_profile;
  FakeClock m_clock{2026, 12, 5, 12, 0};
  std::ostringstream m_out, m_err;
};

TEST_F(SearchCommandsTest, SearchPrintsListLinesThenTheStatus) {
  ASSERT_EQ(Run({"search", "--artist", "abba"}), 0) << m_err.str();
  EXPECT_EQ(m_out.str(),
            "ABBA\tWaterloo\t12\t3\tNo. 1   on   06 April 1974\n"
            "ABBA\tSOS\t12\t4\t\n"
            " 2 tracks found for   abba - \n");
  EXPECT_EQ(Run({"search"}), 0);
  EXPECT_EQ(m_out.str(), " Nothing to search for\n");
  EXPECT_EQ(Run({"search", "--colour", "red"}), 2);
}

TEST_F(SearchCommandsTest, AutoSelectIsRepeatableWithASeed) {
  ASSERT_EQ(Run({"auto-select", "--start", "1974", "--end", "1974", "--seed", "5"}), 0);
  // One entry in the database: the draws run out before the count is passed.
  EXPECT_EQ(m_out.str(), "ABBA\tWaterloo\t12\t3\tNo. 1   on   06 April 1974\nSearching...\n");
  ASSERT_EQ(Run({"auto-select", "--out-of-chart", "--seed", "5"}), 0);
  EXPECT_EQ(m_out.str(), "ABBA\tSOS\t12\t4\t\nSearching...\n");
}

TEST_F(SearchCommandsTest, NumberOneAnswersOrExitsWithOne) {
  ASSERT_EQ(Run({"number-one", "1/5/1974"}), 0);
  EXPECT_EQ(m_out.str(), "\nNumber 1 in the charts on 01 May 1974 was\n\nABBA - Waterloo\n");
  EXPECT_EQ(Run({"number-one", "1/1/1960"}), 1);
  EXPECT_EQ(m_out.str(), "\n\nSorry, could not find that date\n");
  EXPECT_EQ(Run({"number-one"}), 2);
}

}  // namespace
}  // namespace velvane
