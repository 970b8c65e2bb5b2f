#include "core/maintenance/CDImport.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/db/LineCodec.h"
#include "core/editors/EditorFixture.h"
#include "core/maintenance/MusicCheck.h"
#include "support/Fakes.h"
#include "support/Rows.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

class CDImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(music.Path() / "012");
    store.Allocate(1000, 10);
  }
  void File(const std::string& strName) { music.Write("012/" + strName, "x"); }
  CDFolder Scan() { return ScanCDFolder(music.Folder() + "012/" + "any.mp3", &tags); }
  static Strings Lines(const CDFolder& folder) {
    Strings lines;
    for (const CDTrack& track : folder.tracks) {
      lines.push_back(track.ListLine());
    }
    return lines;
  }

  TempDir music;
  FakeTagReader tags;
  TrackStore store;
};

TEST_F(CDImportTest, SplitsTheNameKeepingBlanksAndImportsWithTheFolderNumber) {
  File("03 - A - T.mp3");
  File(".hidden");
  const CDFolder folder = Scan();
  EXPECT_EQ(Lines(folder), Strings{"03\t A \t T\t"});
  ImportCDTracks(store, folder);
  EXPECT_EQ(PlaylistRows(store), Strings{" A | T|012|03|-1"});
  EXPECT_EQ(tags.m_nReads, 0);
}

TEST_F(CDImportTest, MissingPartsComeFromTagsThenFromThePreviousFile) {
  File("01-Abba-Waterloo.mp3");
  File("02 Queen");           // no title: from the tags
  File("03 Only An Artist");  // no title and no tags: the previous title
  File("04.flac");            // neither: from the tags; the track keeps the extension
  File("05.wav");             // neither, no tags: not importable
  File("06 A very long artist name that goes on - and a title even longer than it.mp3");
  tags.m_tags["02 Queen"] = {"Ignored", "Bohemian Rhapsody"};
  tags.m_tags["04.flac"] = {"Bj\xC3\xB6rk", "Army of Me"};
  const CDFolder folder = Scan();
  EXPECT_EQ(
      Lines(folder),
      (Strings{"01\tAbba\tWaterloo\t", "02\tQueen\tBohemian Rhapsody\t",
               "03\tOnly An Artist\tBohemian Rhapsody\t", "04.flac\tBj\xC3\xB6rk\tArmy of Me\t",
               "\t05.wav\tNot importable: no artist or title in its name or tags\t",
               "06\tA very long artist name that goe\t and a title even longer than it\t"}));
  ImportCDTracks(store, folder);
  ASSERT_EQ(store.PlaylistCount(), 5);
  EXPECT_EQ(store.Playlist(4).strArtist, "A very long artist name that goes on ");
  // Without a tag reader a name with no parts is not importable either.
  const CDFolder untagged = ScanCDFolder(music.Folder() + "012/04.flac", nullptr);
  ASSERT_EQ(untagged.tracks.size(), 6U);
  EXPECT_FALSE(untagged.tracks[3].Importable());
}

TEST_F(CDImportTest, CapacityRefusalNamesTheMinimumAndImportingTwiceAppendsTwice) {
  store.SetPlaylistCount(995);
  EXPECT_EQ(CDImportRefusal(store, 12),
            "Insufficient memory for update.\nIncrease the playlist size to a minimum of 1008");
  EXPECT_EQ(CDImportRefusal(store, 5), "");
  File("01 - A - T.mp3");
  std::filesystem::create_directories(music.Path() / "012" / "02 - Sub - Folder");
  const CDFolder folder = Scan();
  ImportCDTracks(store, folder);
  ImportCDTracks(store, folder);
  EXPECT_EQ(store.PlaylistCount(), 999);
  EXPECT_EQ(store.Playlist(998).strArtist, " Sub ");
}

// A line break in a name used to come back as three records at the next load, shifting every
// later link, and a backslash ended the field early.
TEST_F(CDImportTest, NamesAndTagsCannotBreakALineOrAField) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows names cannot hold control characters, and \\ separates folders";
#endif
  File("01 - Line\nBreak - Car\riage\tTab.mp3");
  File("02 - AC\\DC - Back\x7F In Black.mp3");
  File("03.mp3");
  tags.m_tags["03.mp3"] = {"Esc\x1B[2J", std::string(200, 'x') + "\n"};
  const CDFolder folder = Scan();
  ImportCDTracks(store, folder);
  std::string content;
  for (int i = 0; i < store.PlaylistCount(); ++i) {
    content += FormatPlaylistLine(store.Playlist(i));
  }
  Strings reread;  // what the next load finds
  for (const std::string_view line : SplitLines(content)) {
    reread.push_back(Row(ParsePlaylistLine(line)));
  }
  EXPECT_EQ(reread,
            (Strings{" Line Break | Car iage Tab|12|1|-1", " AC/DC | Back  In Black|12|2|-1",
                     "Esc [2J|" + std::string(127, 'x') + "|12|3|-1"}));
}

TEST_F(CDImportTest, TrackNumbersAboveNinetyNineAndUnnumberedFoldersAreRefused) {
  File("99 - A - T.mp3");
  File("100 - A - T.mp3");
  const CDFolder folder = Scan();
  EXPECT_EQ(Lines(folder)[0], "\t100 - A - T.mp3\tNot importable: its track number is above 99\t");
  ImportCDTracks(store, folder);
  ASSERT_EQ(store.PlaylistCount(), 1);
  EXPECT_EQ(store.Playlist(0).strTrack, "99");

  EXPECT_EQ(CDFolderRefusal(music.Folder() + "012/99 - A - T.mp3"), "");
  std::filesystem::create_directories(music.Path() / "Pop" / "1a2");
  for (const char* pszFolder : {"Pop/", "Pop/1a2/", "12/"}) {
    EXPECT_NE(CDFolderRefusal(music.Folder() + pszFolder + "x.mp3"), "") << pszFolder;
  }
}

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
