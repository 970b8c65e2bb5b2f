#include "core/db/NumberOneFile.h"

#include <gtest/gtest.h>

#include "support/FakeClock.h"
#include "support/FakePrompter.h"
#include "support/Rows.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

TEST(NumberOneFile, ReadsSkippingBlankLinesAndToleratingShortOnes) {
  TempDir dir;
  EXPECT_TRUE(ReadNumberOnes(dir.Folder()).empty());  // no file yet
  dir.Write("hits.dat",
            "05/03/1983\\A\\T\\12\\3\\\r\n\r\n12/03/1983\\B\\U\\ \\ \\\r\n19/03/1983\\C\n");
  EXPECT_EQ(Rows(ReadNumberOnes(dir.Folder())),
            (Strings{"05/03/1983|A|T|12|3", "12/03/1983|B|U| | ", "19/03/1983|C|||"}));
  EXPECT_EQ(NumberOneEndMarker().strDate, "31/12/3000");

  dir.Write("hits.dat",
            "05/03/1983\\A\\T\\12\\3\\\r12/03/1983\\B\\U\\ \\ \\\r");  // old CR-only lines
  EXPECT_EQ(ReadNumberOnes(dir.Folder()).size(), 2u);
  std::string strUnreadable;
  std::filesystem::remove(dir.Path() / "hits.dat");
  std::filesystem::create_directory(dir.Path() / "hits.dat");
  EXPECT_TRUE(ReadNumberOnes(dir.Folder(), &strUnreadable).empty());
  EXPECT_EQ(strUnreadable, "not a regular file");  // a writer must not save over it
}

TEST(NumberOneFile, SaveRotatesAndReportsItsOwnText) {
  TempDir dir;
  FakeClock clock(2010, 3, 7, 9, 5);
  FakePrompter prompter;
  dir.Write("hits.dat", "05/03/1983\\A\\T\\12\\3\\\r\n");
  const SaveReporting reporting{dir.Folder(), clock, prompter, "Title"};

  ASSERT_TRUE(SaveNumberOnes(reporting, {{"05/03/1983", "A", "T", "", ""}}, "unused"));
  EXPECT_EQ(dir.Read("hits.dat"), "05/03/1983\\A\\T\\ \\ \\\r\n");
  EXPECT_EQ(dir.Read("hits.old"), "05/03/1983\\A\\T\\12\\3\\\r\n");
  EXPECT_FALSE(dir.Exists("hits.tmp"));

  std::filesystem::create_directory(dir.Path() / "hits.tmp");
  EXPECT_FALSE(SaveNumberOnes(reporting, {}, "Failed to create a new number one file"));
  EXPECT_EQ(dir.Read("hits.dat"), "05/03/1983\\A\\T\\ \\ \\\r\n");
  EXPECT_EQ(dir.Read("errorlog.txt"),
            "07/03/2010 09:05   Failed to create a new number one file\r\n");
}

}  // namespace
}  // namespace velvane
