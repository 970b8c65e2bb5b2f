#include "core/db/Logs.h"

#include <gtest/gtest.h>

#include "support/FakeClock.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

TEST(Logs, LinesAreAppendedWithUtcTimeStampsAndAMissingFolderIsSkipped) {
  TempDir dir;
  FakeClock clock(2010, 3, 7, 9, 5);
  WritePlayLog(dir.Folder(), "disco", clock, "A", "T");  // makes the logs folder
  WriteErrorLog(dir.Folder(), clock, "Failed to create a new chart file");
  clock.Set(2010, 12, 31, 23, 59);
  WritePlayLog(dir.Folder(), "disco", clock, "B", "U");
  EXPECT_EQ(dir.Read("logs/disco.log"), "07/03/2010 09:05   A - T\r\n31/12/2010 23:59   B - U\r\n");
  EXPECT_EQ(dir.Read("errorlog.txt"), "07/03/2010 09:05   Failed to create a new chart file\r\n");
  WriteWishList(dir.Folder(), "A", "T");
  WriteWishList(dir.Folder(), "A", "T");  // repeated requests are not merged
  EXPECT_EQ(dir.Read("wishlist.txt"), "A - T (Requested Track)\r\nA - T (Requested Track)\r\n");

  WriteErrorLog("/nonexistent-velvane-folder/", clock, "x");
  WritePlayLog("/nonexistent-velvane-folder/", "log", clock, "A", "T");
}

}  // namespace
}  // namespace velvane
