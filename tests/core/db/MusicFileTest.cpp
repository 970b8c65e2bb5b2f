#include "core/db/MusicFile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/db/Paths.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

TEST(MusicFile, IsTheFirstMatchInNameOrderUnderTheZeroPaddedNumbers) {
  TempDir dir;
  std::filesystem::create_directories(dir.Path() / "music" / "012");
  std::filesystem::create_directories(dir.Path() / "music" / "123");
  dir.Write("music/012/07 b second.mp3", "x");
  dir.Write("music/012/07 a first.mp3", "x");
  dir.Write("music/123/04 x.mp3", "x");
  const std::string strMusic = dir.Folder() + "music/";
  std::string strPath;
  ASSERT_TRUE(FindMusicFile(strMusic, "012", "7", strPath));
  EXPECT_EQ(strPath, strMusic + "012" + kPathSeparator + "07 a first.mp3");

  // A CD text longer than three characters is cut: "1234" looks in folder 123.
  ASSERT_TRUE(FindMusicFile(strMusic, "1234", "4", strPath));
  EXPECT_EQ(strPath, strMusic + "123" + kPathSeparator + "04 x.mp3");
  EXPECT_FALSE(FindMusicFile(strMusic, "12", "8", strPath));
}

}  // namespace
}  // namespace velvane
