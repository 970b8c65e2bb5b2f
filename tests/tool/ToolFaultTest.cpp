#include <gtest/gtest.h>

#include <filesystem>

#include "support/FileFaults.h"
#include "tool/ToolFixture.h"

namespace velvane {
namespace {

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

}  // namespace
}  // namespace velvane
