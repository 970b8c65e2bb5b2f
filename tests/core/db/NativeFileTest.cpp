#include "core/db/NativeFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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

}  // namespace
}  // namespace velvane
