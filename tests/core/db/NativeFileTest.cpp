#include "core/db/NativeFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/db/Logs.h"
#include "core/db/MusicFile.h"
#include "core/db/Paths.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

TEST(NativePathTest, Utf8NamesRoundTripThroughTheSystemsPaths) {
  for (const std::string strName :
       {"plain.dat", "Músicá/Ünïcode Ωδή 音楽.dat", "🎵 emoji.dat", ""}) {
    EXPECT_EQ(Utf8FromPath(PathFromUtf8(strName)), strName);
  }
  const std::filesystem::path path = PathFromUtf8("Ünïcode/Ωδή.mp3");
  EXPECT_EQ(Utf8FromPath(path.filename()), "Ωδή.mp3");
  EXPECT_EQ(Utf8FromPath(path.parent_path()), "Ünïcode");
}

// Names from an older library may be bytes of another code page. Linux takes a name as its
// bytes, so such a file must open as before.
TEST(NativePathTest, NamesThatAreNotUtf8StillOpenWhereNamesAreBytes) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows names are UTF-16: bytes that are not UTF-8 name no file there";
#else
  const TempDir dir;
  const std::string strPath = dir.Folder() + "caf\xe9.dat";  // Windows-1252 "café"
  EXPECT_EQ(PathFromUtf8(strPath).native(), strPath);
  {
    const UniqueFile file = OpenFile(strPath, "wb");
    ASSERT_NE(file, nullptr);
  }
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(strPath)));
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    EXPECT_EQ(Utf8FromPath(entry.path().filename()), "caf\xe9.dat");
  }
#endif
}

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
