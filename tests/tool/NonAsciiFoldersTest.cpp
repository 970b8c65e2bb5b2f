#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/db/NativeFile.h"
#include "core/db/Paths.h"
#include "support/Fakes.h"
#include "tool/ToolFixture.h"

namespace velvane {
namespace {

// A studio names its folders in its own language. The names below hold letters of several
// code pages at once (Latin, Greek, Japanese), so on Windows no narrow "ANSI" name can reach
// them: every open, listing and rename must go through the UTF-8 paths.
class NonAsciiFoldersTest : public ToolFixture {
 protected:
  void SetUp() override {
    m_strDb = m_db.Folder() + "Músicá" + kPathSeparator + "Ünïcode Ωδή 音楽" + kPathSeparator;
    m_strMusic = m_music.Folder() + "Músicá" + kPathSeparator + "Ünïcode" + kPathSeparator;
    std::filesystem::create_directories(PathFromUtf8(m_strDb));
    std::filesystem::create_directories(PathFromUtf8(m_strMusic));
    m_profile.PutInt("General", "IsInstalled", 1);
    m_profile.PutString("General", "FilesDir", m_strDb);
    m_profile.PutString("General", "MusicDir", m_strMusic);
    m_profile.PutInt("General", "PlaySize", 10);
    m_clock.Set(2026, 12, 6, 1, 0);
    m_context.pTags = &m_tags;
  }

  static void Write(const std::string& strPath, const std::string& strContent) {
    const UniqueFile file = OpenFile(strPath, "wb");
    ASSERT_NE(file, nullptr) << strPath;
    ASSERT_EQ(std::fwrite(strContent.data(), 1, strContent.size(), file.get()), strContent.size());
  }
  static std::string Read(const std::string& strPath) {
    const UniqueFile file = OpenFile(strPath, "rb");
    std::string strContent(1 << 16, '\0');
    strContent.resize(file ? std::fread(strContent.data(), 1, strContent.size(), file.get()) : 0);
    return strContent;
  }
  // A music file in the CD folder `strCD`, made as the operator would; returns its path.
  std::string MusicFile(const std::string& strCD, const std::string& strName) {
    const std::string strFolder = m_strMusic + strCD + kPathSeparator;
    std::filesystem::create_directories(PathFromUtf8(strFolder));
    Write(strFolder + strName, "x");
    return strFolder + strName;
  }

  std::string m_strDb;
  std::string m_strMusic;
  FakeTagReader m_tags;
};

TEST_F(NonAsciiFoldersTest, LoadSaveCheckAndImportWorkInFoldersNamedInAnyLanguage) {
  const std::string strPlaylist = "01203\\Björk\\Jóga\\-1\\\r\n";
  const std::string strCharts = "05/03/1983\\Ærø\\Ωmega\\1\\-1\\\r\n";
  Write(m_strDb + "playlist.dat", strPlaylist);
  Write(m_strDb + "charts.dat", strCharts);

  // Loaded and saved twice: the second save keeps the first as playlist.old.
  for (int nSave = 0; nSave < 2; ++nSave) {
    EXPECT_EQ(Out({"resave"}), "playlist: 1 records, charts: 1 entries\n");
  }
  EXPECT_EQ(Read(m_strDb + "playlist.dat"), strPlaylist);
  EXPECT_EQ(Read(m_strDb + "playlist.old"), strPlaylist);
  EXPECT_EQ(Read(m_strDb + "charts.dat"), strCharts);
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(m_strDb + "playlist.tmp")));

  // The music check finds the track in a folder under the non-ASCII music folder, and logs
  // into the non-ASCII database folder what it misses.
  EXPECT_EQ(Run({"check-music"}), kToolNotFound);
  EXPECT_EQ(Read(m_strDb + "errorlog.txt"),
            "06/12/2026 01:00   Music file CD 012 Track 03 could not be found\r\n");
  MusicFile("012", "03 Björk - Jóga.mp3");
  EXPECT_EQ(Out({"check-music"}), "All music tracks are accounted for\n");

  // The CD import reads the names back from the folder listing as UTF-8: into the records,
  // and to the tag reader for a file whose name holds no artist or title.
  const std::string strFirst = MusicFile("013", "01 - Sigur Rós - Hoppípolla.flac");
  MusicFile("013", "02_Ωδή.mp3");
  m_tags.m_tags["02_Ωδή.mp3"] = {"Ολυμπία", "音楽"};
  EXPECT_EQ(Out({"import-cd", strFirst}),
            "01\t Sigur Rós \t Hoppípolla\t\n02_Ωδή.mp3\tΟλυμπία\t音楽\t\n");
  EXPECT_EQ(
      Read(m_strDb + "playlist.dat"),
      strPlaylist + "01301\\ Sigur Rós \\ Hoppípolla\\-1\\\r\n01302\\Ολυμπία\\音楽\\-1\\\r\n");
  EXPECT_EQ(Run({"check-music"}), kToolSuccess) << m_err.str();
}

}  // namespace
}  // namespace velvane
