#include <gtest/gtest.h>

#include <filesystem>

#include "support/FakeTagReader.h"
#include "tool/ToolFixture.h"

namespace velvane {
namespace {

class MaintenanceCommandsTest : public ToolFixture {
 protected:
  void SetUp() override {
    UseTempFolders();
    m_profile.PutInt("General", "PlaySize", 5);
    m_clock.Set(2026, 12, 6, 1, 0);
    m_context.pTags = &m_tags;
  }
  std::string MusicFile(const std::string& strName) {
    std::filesystem::create_directories(m_music.Path() / strName.substr(0, 3));
    m_music.Write(strName, "x");
    return (m_music.Path() / strName).string();
  }

  FakeTagReader m_tags;
};

// An unnumbered folder imports nothing; stored texts and folder names are printed escaped.
TEST_F(MaintenanceCommandsTest, UnnumberedFolderImportsNothingAndTextsArePrintedEscaped) {
  m_db.Write("playlist.dat", "01201\\A\\T\\-1\\\r\n");
  EXPECT_EQ(Run({"import-cd", MusicFile("Pop/01 - A - T.mp3")}), 2);
  EXPECT_NE(m_err.str().find("is not a CD folder"), std::string::npos) << m_err.str();
  EXPECT_EQ(m_db.Read("playlist.dat"), "01201\\A\\T\\-1\\\r\n");

  // What the tool prints from stored texts and names goes out escaped.
  m_db.Write("playlist.dat", "01203\\Esc\x1b[2J\\T\\-1\\\r\n");
  const std::string strOut = Out({"search", "--artist", "Esc"});
  EXPECT_EQ(strOut.find('\x1b'), std::string::npos) << strOut;
  EXPECT_NE(strOut.find("Esc\\x1b[2J"), std::string::npos) << strOut;
  EXPECT_EQ(Run({"--music", m_music.Folder() + "gone\x1b]0;x\a", "check-music"}), 2);
  EXPECT_EQ(m_err.str().find('\x1b'), std::string::npos) << m_err.str();
  EXPECT_NE(m_err.str().find("gone\\x1b]0;x\\x07"), std::string::npos) << m_err.str();
}

TEST_F(MaintenanceCommandsTest, ImportCDTakesSeveralFoldersAllOrNothing) {
  m_db.Write("playlist.dat", "00101\\Old\\One\\-1\\\r\n");
  const std::string strFirst = MusicFile("012/01 - A - T.mp3");
  MusicFile("012/02.mp3");
  m_tags.m_tags["02.mp3"] = {"Tagged", "Song"};
  const std::string strSecond = MusicFile("013/05 - B - U.flac");
  EXPECT_EQ(Out({"import-cd", strFirst, strSecond}),
            "01\t A \t T\t\n02.mp3\tTagged\tSong\t\n05\t B \t U\t\n");
  EXPECT_EQ(m_db.Read("playlist.dat"),
            "00101\\Old\\One\\-1\\\r\n01201\\ A \\ T\\-1\\\r\n01202\\Tagged\\Song\\-1\\\r\n"
            "01305\\ B \\ U\\-1\\\r\n");
  EXPECT_TRUE(m_db.Exists("charts.dat"));

  // 4 records + 3 listed > 5: nothing imported, nothing written.
  const std::string strBefore = m_db.Read("playlist.dat");
  EXPECT_EQ(Out({"import-cd", strFirst, strSecond}, kToolUsage), "");
  EXPECT_EQ(m_err.str(),
            "velvane-tool: Insufficient memory for update. Increase the playlist size to a "
            "minimum of 8\n");
  EXPECT_EQ(m_db.Read("playlist.dat"), strBefore);
  EXPECT_EQ(Run({"import-cd"}), 2);
}

TEST_F(MaintenanceCommandsTest, BuildsSaveBothFilesWithTheCompletionText) {
  m_db.Write("playlist.dat", "00101\\Abba\\Waterloo\\-1\\\r\n");
  m_db.Write("charts.dat",
             "01/04/1974\\ABBA\\WATERLOO\\5\\-1\\\r\n"
             "08/04/1974\\ABBA\\WATERLOO\\1\\-1\\\r\n");
  EXPECT_EQ(Out({"build-relationships"}), "The database relationships have been rebuilt\n");
  EXPECT_EQ(m_db.Read("playlist.dat"), "00101\\Abba\\Waterloo\\1\\\r\n");
  EXPECT_EQ(m_db.Read("charts.dat"),
            "01/04/1974\\ABBA\\WATERLOO\\5\\0\\\r\n"
            "08/04/1974\\ABBA\\WATERLOO\\1\\0\\\r\n");

  // Nothing changes, and both files are saved all the same.
  EXPECT_EQ(Out({"build-references"}), "The playlist references have been rebuilt\n");
  EXPECT_EQ(m_db.Read("playlist.old"), m_db.Read("playlist.dat"));
  EXPECT_EQ(m_db.Read("charts.old"), m_db.Read("charts.dat"));
}

}  // namespace
}  // namespace velvane
