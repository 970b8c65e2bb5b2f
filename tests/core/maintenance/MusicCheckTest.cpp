#include "core/maintenance/MusicCheck.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/editors/EditorFixture.h"
#include "support/FakeClock.h"
#include "support/Rows.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

class MusicCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(music.Path() / "012");
    music.Write("012/03 Some Title.mp3", "x");
    store.Allocate(10, 10);
  }
  void Add(const std::string& strCD, const std::string& strTrack) {
    AppendRecord(store, {"A", "T", strCD, strTrack, -1});
  }
  MusicCheckResult Check() { return CheckMusicFiles(store, music.Folder(), db.Folder(), clock); }

  TempDir music;
  TempDir db;
  FakeClock clock{2026, 12, 6, 1, 2};
  TrackStore store;
};

TEST_F(MusicCheckTest, NumbersArePaddedAndOneFileServesDuplicateRecordsWithNoLogLine) {
  EXPECT_EQ(Check().Status(), "All music tracks are accounted for");  // an empty library
  Add("12", "3");
  Add("012", "03");
  const MusicCheckResult result = Check();
  EXPECT_TRUE(result.AllFound());
  EXPECT_EQ(result.nFound, 2);
  EXPECT_FALSE(db.Exists("errorlog.txt"));
}

TEST_F(MusicCheckTest, MissingTracksAreLoggedAndCounted) {
  Add("12", "3");
  Add("12", "4");
  Add("x", "3");  // not a number: folder 000
  music.Write("012/4 Too Short.mp3", "x");
  const MusicCheckResult result = Check();
  EXPECT_EQ(result.Status(), "Found 1 music tracks out of 3 expected");
  EXPECT_EQ(db.Read("errorlog.txt"),
            "06/12/2026 01:02   Music file CD 012 Track 04 could not be found\r\n"
            "06/12/2026 01:02   Music file CD 000 Track 03 could not be found\r\n");
}

// An unusable music folder used to read as every track missing, with a log line per record.
TEST_F(MusicCheckTest, AnUnusableMusicFolderIsNamedAndNothingIsCounted) {
  Add("12", "3");
  music.Write("file", "x");
  std::vector<std::pair<std::string, std::string>> cases = {
      {"", "no music folder has been set"},
      {music.Folder() + "gone/", " does not exist"},
      {music.Folder() + "file/", " is not a folder"},
  };
#ifndef _WIN32  // links need privileges on Windows
  std::filesystem::create_directory_symlink("loop", music.Path() / "loop");
  cases.emplace_back(music.Folder() + "loop/", " cannot be used: ");
#endif
  for (const auto& [strFolder, strWhy] : cases) {
    const MusicCheckResult result = CheckMusicFiles(store, strFolder, db.Folder(), clock);
    EXPECT_TRUE(Contains(result.strUnusable, strWhy));
    EXPECT_FALSE(result.AllFound());
    EXPECT_EQ(result.nExpected, 0);
  }
  EXPECT_FALSE(Contains(db.Read("errorlog.txt"), "could not be found"));
}

}  // namespace
}  // namespace velvane
