#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>

#include "core/analysis/AnalysisFile.h"
#include "core/db/NativeFile.h"
#include "core/db/Paths.h"
#include "core/text/Text.h"
#include "support/Fakes.h"
#include "support/FileFaults.h"
#include "tool/ToolFixture.h"

namespace velvane {
namespace {

class ToolTest : public ToolFixture {
 protected:
  void SetUp() override { m_clock.Set(2010, 3, 7, 9, 5); }
};

TEST_F(ToolTest, ResaveRoundTripsWithCrLfInTheFolderGivenOrTheSettingsOneWithItsSizes) {
  const std::string strPlaylist = "00705\\A\\T\\1\\\r\n99999\\ \\U\\-1\\\r\n";
  const std::string strCharts = "05/03/1983\\A\\T\\01\\0\\\r\n5/3/83\\B\\U\\2\\-1\\\r\n";
  m_db.Write("playlist.dat", "00705\\A\\T\\1\\\n99999\\ \\U\\-1\\\r\n");
  m_db.Write("charts.dat", strCharts);
  // The folder is given without its trailing separator.
  EXPECT_EQ(Out({"--db", m_db.Path().string(), "resave"}),
            "playlist: 2 records, charts: 2 entries\n");
  EXPECT_EQ(m_db.Read("playlist.dat") + m_db.Read("charts.dat"), strPlaylist + strCharts);

  // The folder comes from the desktop settings, and so do the sizes. One record over the
  // capacity: reported, and nothing is saved so nothing is lost.
  UseTempFolders();
  m_profile.PutInt("General", "PlaySize", 1);
  EXPECT_EQ(Run({"resave"}), kToolUsage);
  EXPECT_NE(m_err.str().find("Insufficient memory allocated to store the playlist"),
            std::string::npos);
  EXPECT_EQ(m_db.Read("playlist.dat"), strPlaylist);

  // Absurd sizes from a damaged settings file take the limit, one line each on stderr.
  m_db.Write("charts.dat", "");
  m_profile.PutInt("General", "PlaySize", 999999999);
  m_profile.PutInt("General", "ChartSize", 0);
  EXPECT_EQ(Run({"resave"}), kToolSuccess);
  EXPECT_EQ(m_err.str(),
            "velvane-tool: PlaySize 999999999 in the settings is outside 1 to 1000000; 1000000 is "
            "used\nvelvane-tool: ChartSize 0 in the settings is outside 1 to 1000000; 1 is used\n");
}

// Every command, whatever it does: bad usage and a database folder it cannot use exit with 2,
// say why on stderr, print nothing and write nothing.
TEST_F(ToolTest, EveryCommandExitsWithTwoOnBadUsageAndUnusableFolders) {
  EXPECT_EQ(Run({}), kToolUsage);
  EXPECT_EQ(Run({"frobnicate"}), kToolUsage);
  EXPECT_EQ(Run({"--db"}), kToolUsage);
  EXPECT_EQ(Run({"--colour", "x", "resave"}), kToolUsage);

  FakeHttpClient http;
  FakeAudioAnalyser analyser;
  m_context.pHttp = &http;
  m_context.pAnalyser = &analyser;
  std::filesystem::create_directories(m_music.Path() / "012");
  m_music.Write("012/01 - A - T.mp3", "x");
  const std::string strCharts = "01/01/1980\\A\\T\\1\\0\\\r\n";
  m_db.Write("charts.dat", strCharts);
  std::filesystem::create_directories(m_db.Path() / "playlist.dat" / "x");  // unreadable
  std::filesystem::create_directory(m_db.Path() / "hits.dat");
  const std::string strMissing = (m_db.Path() / "nope").string();
  const std::filesystem::path empty = m_db.Path() / "empty";  // usable: bad usage is the fault
  std::filesystem::create_directory(empty);
  for (const std::vector<std::string>& command : std::vector<std::vector<std::string>>{
           {"resave"},
           {"search"},
           {"auto-select"},
           {"number-one", "1/1/1980"},
           {"check-music"},
           {"import-cd", (m_music.Path() / "012" / "01 - A - T.mp3").string()},
           {"build-relationships"},
           {"build-references"},
           {"updates", "--server", "127.0.0.1:8080", "--apply", "uk.cht"},
           {"analyse"},
           {"--music", m_music.Folder(), "import-library", m_music.Folder()}}) {
    const std::string strUnreadable = command[0] == "number-one" ? "hits.dat" : "playlist.dat";
    const struct {
      std::vector<std::string> before, after;
      std::string strWhy;
    } cases[] = {
        {{}, {}, "no database folder"},  // a first run: no folder known
        {{"--db", strMissing}, {}, "does not exist"},
        {{"--db", empty.string()}, {"extra"}, "velvane-tool: "},
        {{"--db", empty.string()}, {"--colour", "red"}, "velvane-tool: "},
        {{"--db", m_db.Folder()},
         {},
         "velvane-tool: cannot read " + m_db.Folder() + strUnreadable + ": not a regular file\n"},
    };
    for (const auto& c : cases) {
      std::vector<std::string> args = c.before;
      args.insert(args.end(), command.begin(), command.end());
      args.insert(args.end(), c.after.begin(), c.after.end());
      SCOPED_TRACE(::testing::PrintToString(args));
      EXPECT_EQ(Run(args), kToolUsage);
      EXPECT_EQ(m_out.str(), "");
      EXPECT_NE(m_err.str().find(c.strWhy), std::string::npos) << m_err.str();
    }
  }
  EXPECT_TRUE(std::filesystem::is_empty(empty));
  EXPECT_TRUE(http.m_requests.empty());
  EXPECT_FALSE(m_db.Exists("nope"));
  EXPECT_TRUE(std::filesystem::is_directory(m_db.Path() / "playlist.dat" / "x"));
  EXPECT_EQ(m_db.Read("charts.dat"), strCharts);
  for (const char* pszName : {"playlist.old", "charts.old", "charts.tmp", "analysis.dat"}) {
    EXPECT_FALSE(m_db.Exists(pszName)) << pszName;
  }
  EXPECT_EQ(analyser.m_nCalls, 0);
}

TEST_F(ToolTest, HelpAndVersionGoToStandardOutput) {
  const std::string strHelp = Out({"--help"});
  EXPECT_EQ(strHelp.rfind("usage: velvane-tool [--db DIR] [--music DIR] COMMAND [ARGS]\n", 0), 0u);
  for (const char* pszLine : {"\n  --db DIR ", "\n  --version ", "\n  resave ", "\n  search ",
                              "\n  auto-select ", "\n  number-one "}) {
    EXPECT_NE(strHelp.find(pszLine), std::string::npos) << pszLine;
  }
  EXPECT_EQ(m_err.str(), "");
  EXPECT_EQ(Out({"--db", "/nowhere", "-h"}), strHelp);
  EXPECT_EQ(Out({"--version"}), "velvane-tool 1.1.1.0\n");

  // A command's own help needs no database.
  const std::string strCommandHelp = Out({"number-one", "--help"});
  EXPECT_EQ(
      strCommandHelp.rfind("usage: velvane-tool [--db DIR] [--music DIR] number-one DATE\n", 0),
      0u);
  EXPECT_NE(strCommandHelp.find("\n  DATE "), std::string::npos);
  EXPECT_EQ(m_err.str(), "");

  EXPECT_EQ(Out({"-x"}, kToolUsage), "");
  EXPECT_NE(m_err.str().find("unknown option -x"), std::string::npos);
}

class SearchCommandsTest : public ToolTest {
 protected:
  SearchCommandsTest() {
    UseTempFolders();
    m_db.Write("playlist.dat", "01203\\ABBA\\Waterloo\\0\\\r\n01204\\ABBA\\SOS\\-1\\\r\n");
    m_db.Write("charts.dat", "06/04/1974\\Abba\\Waterloo\\1\\0\\\r\n");
    m_db.Write("hits.dat", "06/04/1974\\ABBA\\Waterloo\\12\\3\\\r\n");
  }
};

TEST_F(SearchCommandsTest, SearchesPrintTheirLinesThenTheStatusAndExitWithOneOnNotFound) {
  EXPECT_EQ(Out({"search", "--artist", "abba"}),
            "ABBA\tWaterloo\t12\t3\tNo. 1   on   06 April 1974\nABBA\tSOS\t12\t4\t\n"
            " 2 tracks found for   abba - \n");
  EXPECT_EQ(Out({"search"}), " Nothing to search for\n");
  EXPECT_EQ(Out({"search", "--artist"}, kToolUsage), "");  // no value
  // One entry in the database: the draws run out before the count is passed.
  EXPECT_EQ(Out({"auto-select", "--start", "1974", "--end", "1974", "--seed", "5"}),
            "ABBA\tWaterloo\t12\t3\tNo. 1   on   06 April 1974\nSearching...\n");
  EXPECT_EQ(Out({"auto-select", "--out-of-chart", "--seed", "5"}),
            "ABBA\tSOS\t12\t4\t\nSearching...\n");
  EXPECT_EQ(Out({"number-one", "1/5/1974"}),
            "\nNumber 1 in the charts on 01 May 1974 was\n\nABBA - Waterloo\n");
  EXPECT_EQ(Out({"number-one", "1/1/1960"}, kToolNotFound),
            "\n\nSorry, could not find that date\n");
  EXPECT_EQ(Out({"number-one"}, kToolUsage), "");
}

TEST_F(SearchCommandsTest, EveryOptionACommandDescribesItAccepts) {
  for (const std::string strCommand : {"search", "auto-select"}) {
    ASSERT_EQ(Run({strCommand, "--help"}), kToolSuccess);
    std::istringstream help(m_out.str());
    int nOptions = 0;
    for (std::string strLine; std::getline(help, strLine);) {
      std::istringstream words(strLine);
      std::string strFlag, strValue;
      words >> strFlag >> strValue;
      if (strFlag.rfind("--", 0) != 0 || strLine.rfind("  --", 0) != 0) {
        continue;
      }
      std::vector<std::string> args = {strCommand, strFlag};
      if (!strValue.empty() && std::isupper(static_cast<unsigned char>(strValue[0]))) {
        args.push_back("1974");  // the placeholder of a value
      }
      EXPECT_EQ(Run(args), kToolSuccess) << strCommand << " " << strFlag << m_err.str();
      ++nOptions;
    }
    EXPECT_GT(nOptions, 1) << strCommand;
  }
}

class NowPlayingCommandTest : public ToolFixture {
 protected:
  SharedFakeHttp m_http;
};

TEST_F(NowPlayingCommandTest, TellsEveryOutputSetTheTestTitleAndSaysWhichWorked) {
  UseTempFolders();
  m_context.makeHttp = m_http.Maker();
  EXPECT_EQ(Run({"now-playing-test"}), kToolUsage);
  EXPECT_EQ(m_err.str(),
            "velvane-tool: no now-playing output is set; set one in the administration dialog's "
            "Now Playing group\n");

  const std::string strFile = m_db.Folder() + "np.txt";
  m_profile.PutString("General", "NowPlayingFile", strFile);
  m_profile.PutString("General", "NowPlayingTemplate", "%title% by %artist%");
  m_profile.PutString("General", "NowPlayingStreamServer", "http://source:pw@127.0.0.1:8000/live");
  m_profile.PutString("General", "NowPlayingWebHook", "http://127.0.0.1:9000/hook");
  m_http.Set(false, {false, 0, {}, "Connection refused"});
  EXPECT_EQ(Run({"now-playing-test", "extra"}), kToolUsage);
  EXPECT_EQ(Out({"now-playing-test"}, kToolNotFound),
            "the text file " + strFile +
                " works\nthe stream server http://127.0.0.1:8000/live failed: Connection refused\n"
                "the web hook http://127.0.0.1:9000/hook failed: Connection refused\n");
  EXPECT_EQ(m_db.Read("np.txt"), "Now playing test by Velvane");
}

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

namespace fs = std::filesystem;

const std::string kPlaylist = "00101\\A\\T\\0\\\r\n00102\\B\\U\\-1\\\r\n";
const std::string kCharts = "01/01/1980\\A\\T\\1\\0\\\r\n";

// velvane-tool against a database folder made hostile in one way; every case checks the exit
// status, the line on stderr and what is left on disk.
class ToolFaultTest : public ToolFixture {
 protected:
  ToolFaultTest() {
    m_clock.Set(2010, 3, 7, 9, 5);
    m_db.Write("playlist.dat", kPlaylist);
    m_db.Write("charts.dat", kCharts);
  }

  int Run(const std::string& strCommand) {
    return ToolFixture::Run({"--db", m_strFolder, strCommand});
  }
  // The tool's own last line on stderr, without its line end.
  std::string LastErrLine() const {
    const std::string strErr = m_err.str().substr(0, m_err.str().size() - 1);
    return strErr.substr(strErr.rfind('\n') + 1);
  }

  ScratchMounts m_mounts;  // after m_db: unmounted before the folder is removed
  std::string m_strFolder = m_db.Folder();
};

TEST_F(ToolFaultTest, ReadOnlyFolderIsReportedAndStillSearchable) {
  ASSERT_EQ(Run("resave"), 0) << m_err.str();  // leaves the lock file, as any earlier run does
  const std::string strFresh = m_strFolder + "fresh/";
  fs::create_directory(strFresh);
  for (const std::string& strFolder : {m_strFolder, strFresh}) {
    if (const std::string strWhy = m_mounts.ReadOnly(strFolder); !strWhy.empty()) {
      GTEST_SKIP() << strWhy;
    }
  }
  auto expectReason = [this](const std::string& strStart) {
    EXPECT_EQ(LastErrLine().rfind(strStart, 0), 0u) << m_err.str();
    const std::string strReason = LastErrLine().substr(strStart.size());
    EXPECT_TRUE(strReason == "Read-only file system" || strReason == "Permission denied")
        << strReason;
  };
  EXPECT_EQ(Run("resave"), 2);
  expectReason("velvane-tool: not saved: " + m_strFolder + "playlist.tmp: ");
  EXPECT_EQ(Run("search"), 0) << m_err.str();  // reading needs no lock
  EXPECT_EQ(m_db.Read("playlist.dat"), kPlaylist);

  m_strFolder = strFresh;  // no lock file yet, and none can be made
  EXPECT_EQ(Run("resave"), 2);
  expectReason("velvane-tool: cannot lock the database folder: " + strFresh + "velvane.lock: ");
}

TEST_F(ToolFaultTest, FolderInUseByAnotherProgramRefusesWritesButNotReads) {
  {
    const LockHolder holder(m_strFolder);
    ASSERT_TRUE(holder.Holding());
    EXPECT_EQ(Run("resave"), 2);
    EXPECT_EQ(m_err.str(), "velvane-tool: " + m_strFolder +
                               ": the database folder is in use by another Velvane program\n");
    EXPECT_FALSE(m_db.Exists("playlist.old"));
    EXPECT_EQ(Run("search"), 0);
  }
  EXPECT_EQ(Run("resave"), 0) << m_err.str();  // the holder has ended: its lock went with it
}

// Cron jobs and operators start tools whenever they like: many writers at once never lose a
// file, and a reader always finds the library whole.
TEST_F(ToolFaultTest, ParallelResavesNeverLoseAFile) {
  POSIX_ONLY_TEST("forked child processes");
  const int nFailed = RunInChildren(5, [&](int nChild) {
    for (int nRound = 0; nRound < 25; ++nRound) {
      if (nChild == 0) {
        if (m_db.Read("playlist.dat") != kPlaylist || m_db.Read("charts.dat") != kCharts) {
          return 1;
        }
        continue;
      }
      if (Run("resave") != 0 &&
          m_err.str().find("in use by another Velvane program") == std::string::npos) {
        return 1;
      }
    }
    return 0;
  });
  EXPECT_EQ(nFailed, 0);
  for (const std::string strName : {"playlist", "charts"}) {
    const std::string& strContent = strName == "playlist" ? kPlaylist : kCharts;
    EXPECT_EQ(m_db.Read(strName + ".dat") + m_db.Read(strName + ".old"), strContent + strContent);
    EXPECT_FALSE(m_db.Exists(strName + ".tmp"));
  }
}

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

constexpr const char* kServer = "http://127.0.0.1:8080/";

class UpdateCommandTest : public ToolFixture {
 protected:
  UpdateCommandTest() {
    m_clock.Set(2026, 12, 6);
    m_context.pHttp = &m_http;
    m_args = {"--db", m_db.Folder(), "updates", "--server", "127.0.0.1:8080"};
    m_db.Write("playlist.dat", "00502\\Local\\Song\\0\\\r\n");
    m_db.Write("charts.dat", "01/01/1990\\Old\\Entry\\4\\0\\\r\n");
    m_http.m_answers[std::string(kServer) + "avail.cht"] = {
        true, 200, "US   HITus_010190.hit000002\r\nUK   CHTuk_020200.cht000002\r\n", {}};
  }

  FakeHttpClient m_http;
};

TEST_F(UpdateCommandTest, ListsAndAppliesByNameAndARefusedUpdateExitsTwoAndChangesNothing) {
  m_http.m_answers[std::string(kServer) + "us_010190.hit"] = {
      true, 200, "01/01/1990\\A\\T\\\r\n", {}};  // one line where the listing says two
  m_db.Write("hits.dat", "01/01/1990\\A\\T\\5\\2\\\r\n");
  EXPECT_EQ(Out({"--apply", "us_010190.hit"}, kToolUsage), "");
  EXPECT_EQ(m_err.str(),
            "velvane-tool: The update was not applied: The update us_010190.hit arrived with 1 "
            "complete lines where the listing says 2. Nothing has been changed.\n");
  EXPECT_EQ(m_db.Read("hits.dat"), "01/01/1990\\A\\T\\5\\2\\\r\n");
  EXPECT_FALSE(m_db.Exists("hits.old") || m_db.Exists("charts.old"));
  // The catalogue's count is the cap's measure: two records may take 2 * 600 + 4096 bytes.
  ASSERT_EQ(m_http.m_requests.size(), 2u);
  EXPECT_EQ(m_http.m_requests[0].nMaxBytes, 4u * 1024 * 1024);
  EXPECT_EQ(m_http.m_requests[1].strUrl, std::string(kServer) + "us_010190.hit");
  EXPECT_EQ(m_http.m_requests[1].nMaxBytes, 2u * 600 + 4096);

  // The listing comes sorted, and a chart update is applied by its name.
  EXPECT_EQ(Out({}),
            "  UK   \tChart Database\t02/02/00\tuk_020200.cht\n"
            "  US   \tNumber One Database\t01/01/90\tus_010190.hit\n");

  m_http.m_answers[std::string(kServer) + "uk_020200.cht"] = {
      true, 200, "02/02/2000\\New\\Entry\\1\\-1\\\r\n02/02/2000\\Next\\One\\2\\-1\\\r\n", {}};
  EXPECT_EQ(Out({"--apply", "uk_020200.cht"}),
            "The chart database has been updated.\nIf it has previously been modified manually "
            "you should rebuild the relationships\n");
  EXPECT_EQ(m_db.Read("charts.dat"),
            "02/02/2000\\Old\\Entry\\1\\0\\\r\n02/02/2000\\Next\\One\\2\\-1\\\r\n");

  EXPECT_EQ(Run({"--apply", "nothing.cht"}), kToolUsage);
  EXPECT_EQ(m_err.str(), "velvane-tool: nothing.cht is not in the update listing\n");

  // A catalogue the server does not give is said as such, for listing and applying alike.
  m_http.m_answers[std::string(kServer) + "avail.cht"] = {true, 404, "Not Found", {}};
  const std::string strCharts = m_db.Read("charts.dat");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, std::vector<std::string>{"--apply", "uk_020200.cht"}}) {
    EXPECT_EQ(Out(args, kToolUsage), "");
    EXPECT_EQ(m_err.str(), "velvane-tool: The update server answered 404 for avail.cht\n");
  }
  EXPECT_EQ(m_db.Read("charts.dat"), strCharts);

  m_http.m_answers.clear();
  EXPECT_EQ(Run({}), kToolUsage);
  EXPECT_EQ(m_err.str(), "velvane-tool: Internet connection failed (Connection refused)\n");
}

class AnalysisCommandsTest : public ToolFixture {
 protected:
  void SetUp() override {
    UseTempFolders();
    m_clock.Set(2026, 12, 6, 3, 0);
    m_context.pAnalyser = &m_analyser;
    m_args = {"analyse"};
    m_db.Write("playlist.dat", "00101\\A\\One\\-1\\\r\n00102\\B\\Two\\-1\\\r\n");
    std::filesystem::create_directories(m_music.Path() / "001");
    m_music.Write("001/01 One.mp3", "one");
    m_music.Write("001/02 Two.mp3", "bad two");
  }

  FakeAudioAnalyser m_analyser;
};

TEST_F(AnalysisCommandsTest, ExitsWithOneWhileSomeFilesCannotBeAnalysedAndRetriesOnlyThose) {
  // On a terminal the progress line is rewritten in place, and gone before the summary.
  m_context.bTerminal = true;
  EXPECT_EQ(Out({"--jobs", "2"}, kToolNotFound),
            "Music file CD 001 Track 02 could not be analysed (02 Two.mp3): damaged\n"
            "Analysed 1 music files, 1 could not be analysed\n");
  const std::string strErr = m_err.str();
  EXPECT_NE(strErr.find("\rAnalysing: 2 of 2 files (1 failed), 0:00 elapsed, "), std::string::npos)
      << strErr;
  EXPECT_EQ(strErr.substr(strErr.size() - 4), "\r\x1b[K");
  EXPECT_EQ(strErr.find('\n'), std::string::npos);
  EXPECT_EQ(m_db.Read("analysis.dat").substr(0, 16), "1\t1\t01 One.mp3\t3");

  m_context.bTerminal = false;
  m_music.Write("001/02 Two.mp3", "two");
  EXPECT_EQ(Out({}), "Analysed 1 music files\n");
  EXPECT_EQ(m_err.str(), "");
  EXPECT_EQ(m_analyser.m_nCalls, 3);
  EXPECT_EQ(Out({}), "All music files are analysed\n");
  EXPECT_EQ(Out({"--force", "--jobs", "99999"}), "Analysed 2 music files\n");
}

TEST_F(AnalysisCommandsTest, BadUsageAndUnusableFoldersExitWithTwoButTheDesktopsLockDoesNot) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--jobs", "0"}, {"--jobs", "-3"}, {"--jobs", "x"}, {"--jobs", "2x"}, {"--jobs"}}) {
    EXPECT_EQ(Run(args), 2) << args.back();
    EXPECT_EQ(m_err.str().find('\n'), m_err.str().size() - 1) << m_err.str();
  }
  EXPECT_EQ(m_analyser.m_nCalls, 0);

  std::filesystem::create_directory(m_db.Path() / "analysis.dat");
  EXPECT_EQ(Run({}), 2);
  EXPECT_EQ(m_err.str(),
            "velvane-tool: cannot read " + m_db.Folder() + "analysis.dat: not a regular file\n");
  std::filesystem::remove(m_db.Path() / "analysis.dat");

  FolderLock analysing;  // another run of the analysis
  std::error_code error;
  ASSERT_EQ(analysing.TryLock(m_db.Folder(), error, kAnalysisLockFile), LockResult::kLocked);
  EXPECT_EQ(Run({}), 2);
  EXPECT_EQ(m_err.str(), "velvane-tool: another program is analysing the music files of " +
                             m_db.Folder() + "\n");
  EXPECT_EQ(m_analyser.m_nCalls, 0);
  EXPECT_FALSE(m_db.Exists("analysis.dat"));
  analysing.Unlock();

  // The nightly run must not need the desktop program closed: it only reads the databases.
  const LockHolder program(m_db.Folder());
  ASSERT_TRUE(program.Holding());
  const std::atomic<bool> interrupted{true};
  m_context.catchInterrupt = [&interrupted] { return &interrupted; };
  EXPECT_EQ(Out({}, kToolNotFound), "Analysed 0 music files; stopped with 2 files left\n");
  EXPECT_EQ(m_analyser.m_nCalls, 0);
  m_context.catchInterrupt = {};
  EXPECT_EQ(Run({}), 1);
  EXPECT_EQ(m_analyser.m_nCalls, 2);
  EXPECT_TRUE(m_db.Exists("analysis.dat"));
}

const std::string kLibraryPlaylist = "00101\\Abba\\Waterloo\\-1\\\r\n";
const std::string kLibraryCharts = "01/04/1974\\ABBA\\WATERLOO\\5\\-1\\\r\n";

class LibraryCommandsTest : public ToolFixture {
 protected:
  LibraryCommandsTest() {
    UseTempFolders();
    m_context.pTags = &m_tags;
    m_db.Write("playlist.dat", kLibraryPlaylist);
    m_db.Write("charts.dat", kLibraryCharts);
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
    EXPECT_EQ(m_db.Read("playlist.dat"), kLibraryPlaylist);
    EXPECT_EQ(m_db.Read("charts.dat"), kLibraryCharts);
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
