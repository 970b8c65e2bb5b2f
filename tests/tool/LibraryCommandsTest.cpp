#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "core/db/Paths.h"
#include "core/text/Text.h"
#include "support/Fakes.h"
#include "support/FileFaults.h"
#include "tool/ToolFixture.h"

namespace velvane {
namespace {

namespace fs = std::filesystem;

const std::string kPlaylist = "00101\\Abba\\Waterloo\\-1\\\r\n";
const std::string kCharts = "01/04/1974\\ABBA\\WATERLOO\\5\\-1\\\r\n";

class LibraryCommandsTest : public ToolFixture {
 protected:
  LibraryCommandsTest() {
    UseTempFolders();
    m_context.pTags = &m_tags;
    m_db.Write("playlist.dat", kPlaylist);
    m_db.Write("charts.dat", kCharts);
    fs::create_directory(m_music.Path() / "001");
  }
  void Audio(const std::string& strPath, const FileTags& tags) {
    fs::create_directories((m_src.Path() / strPath).parent_path());
    m_src.Write(strPath, strPath);
    m_tags.m_tags[fs::path(strPath).filename().string()] = tags;
  }
  // A path in the source or music folder, with the system's separators.
  static std::string Native(const TempDir& folder, std::string strPath) {
    std::replace(strPath.begin(), strPath.end(), '/', kPathSeparator);
    return folder.Folder() + strPath;
  }
  int Import(std::vector<std::string> args) {
    args.insert(args.begin(), "import-library");
    args.push_back(m_src.Folder());
    return Run(args);
  }
  // What a failed run must leave: every file as before, and no line on stdout.
  void ExpectNothingChanged(const std::string& strImported) {
    EXPECT_EQ(m_out.str(), "");
    EXPECT_EQ(m_db.Read("playlist.dat"), kPlaylist);
    EXPECT_EQ(m_db.Read("charts.dat"), kCharts);
    EXPECT_EQ(m_db.Read("imported.dat"), strImported);
    EXPECT_FALSE(m_db.Exists("playlist.old"));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_music.Path()), fs::directory_iterator()), 1);
  }

  TempDir m_src;
  FakeTagReader m_tags;
};

TEST_F(LibraryCommandsTest, ImportsLinksAndSavesThenASecondRunTakesOnlyWhatIsNew) {
  Audio("Abba/Gold/1.mp3", {"Abba", "Waterloo", 1, 2});
  Audio("Abba/Gold/2.mp3", {"Abba", "SOS", 1, 1});
  ASSERT_EQ(Import({}), 0) << m_err.str();
  const std::string strGold = Native(m_src, "Abba/Gold/");
  EXPECT_EQ(m_out.str(), "002\t01\tAbba\tSOS\t" + strGold + "2.mp3\n002\t02\tAbba\tWaterloo\t" +
                             strGold +
                             "1.mp3\nImported 2 tracks on 1 CD (CD 002); 0 already "
                             "imported; 0 not importable\n");
  EXPECT_EQ(m_music.Read("002/02 - Abba - Waterloo.mp3"), "Abba/Gold/1.mp3");
  // Both records linked to the chart entry, and the entry to the last of them.
  const std::string strLinked =
      "00101\\Abba\\Waterloo\\0\\\r\n00201\\Abba\\SOS\\-1\\\r\n00202\\Abba\\Waterloo\\0\\\r\n";
  EXPECT_EQ(m_db.Read("playlist.dat"), strLinked);
  EXPECT_EQ(m_db.Read("charts.dat"), "01/04/1974\\ABBA\\WATERLOO\\5\\2\\\r\n");
  EXPECT_EQ(
      m_db.Read("imported.dat").rfind("2\t1\t" + EscapeTabField(strGold + "2.mp3") + "\t15\t", 0),
      0U);

  // Copies this time, without rebuilding the links; a file that cannot be placed is listed,
  // the rest is imported, and the exit status says so.
  Audio("Abba/Gold/3.mp3", {"Abba", "Waterloo", 2, 1});
  Audio("Queen/x.flac", {"Queen", "Innuendo", 0, 0});
  m_music.Write("002/03 - Abba - Waterloo.mp3", "by hand");
  EXPECT_EQ(Import({"--no-links", "--copy"}), 1) << m_err.str();
  EXPECT_EQ(m_out.str(), "003\t01\tQueen\tInnuendo\t" + Native(m_src, "Queen/x.flac") +
                             "\nNot importable\t" + strGold +
                             "3.mp3\tthe music folder already holds " +
                             Native(m_music, "002/03 - Abba - Waterloo.mp3") +
                             "\nImported 1 track on 1 CD (CD 003); 2 already imported; 1 not "
                             "importable\n");
  EXPECT_EQ(m_music.Read("002/03 - Abba - Waterloo.mp3"), "by hand");
  const fs::path copy = m_music.Path() / "003/01 - Queen - Innuendo.flac";
  EXPECT_FALSE(fs::is_symlink(copy));
  EXPECT_EQ(fs::hard_link_count(copy), 1U);                                      // a copy
  EXPECT_EQ(m_db.Read("charts.dat"), "01/04/1974\\ABBA\\WATERLOO\\5\\2\\\r\n");  // not rebuilt
  EXPECT_EQ(m_db.Read("playlist.dat"), strLinked + "00301\\Queen\\Innuendo\\-1\\\r\n");
}

TEST_F(LibraryCommandsTest, RefusalsAndDryRunsChangeNothing) {
  Audio("A/1.mp3", {"A", "One", 0, 0});
  Audio("A/2.mp3", {"A", "Two", 0, 0});
  m_db.Write("imported.dat", "9\t1\t/elsewhere/x.mp3\t1\t2\r\n");
  const std::string strImported = m_db.Read("imported.dat");
  m_profile.PutInt("General", "PlaySize", 2);
  ASSERT_EQ(Import({}), 2);
  EXPECT_EQ(m_err.str(),
            "velvane-tool: Nothing was imported: the library would hold 3 records, so the "
            "playlist size must be at least 3 (it is 2).\n");
  ExpectNothingChanged(strImported);
  m_profile.PutInt("General", "PlaySize", 100);

  const struct {
    std::vector<std::string> args;
    std::string strErr;
  } cases[] = {
      {{"import-library"}, "import-library needs one or more folders"},
      {{"import-library", "--move", m_src.Folder()}, "import-library needs one or more folders"},
      {{"import-library", m_src.Folder() + "none"}, "The folder " + m_src.Folder() + "none does"},
      {{"--music", m_music.Folder() + "gone", "import-library", m_src.Folder()},
       "The music folder "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.strErr);
    EXPECT_EQ(Run(c.args), 2);
    EXPECT_EQ(m_err.str().rfind("velvane-tool: " + c.strErr, 0), 0U) << m_err.str();
    ExpectNothingChanged(strImported);
  }
  {
    const LockHolder holder(m_db.Folder());
    EXPECT_EQ(Import({}), 2);
    ExpectNothingChanged(strImported);
    ASSERT_EQ(Import({"--dry-run", "--copy"}), 0) << m_err.str();  // reads only
  }
  EXPECT_EQ(m_out.str().substr(m_out.str().rfind('\n', m_out.str().size() - 2) + 1),
            "Would import 2 tracks on 1 CD (CD 002); 0 already imported; 0 not importable\n");
  m_out.str("");
  ExpectNothingChanged(strImported);
}

}  // namespace
}  // namespace velvane
