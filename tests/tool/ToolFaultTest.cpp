#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "support/FakeClock.h"
#include "support/FakeProfileStore.h"
#include "support/FileFaults.h"
#include "support/TempDir.h"
#include "tool/Tool.h"

namespace velvane {
namespace {

namespace fs = std::filesystem;

const std::string kPlaylist = "00101\\A\\T\\0\\\r\n00102\\B\\U\\-1\\\r\n";
const std::string kCharts = "01/01/1980\\A\\T\\1\\0\\\r\n";

// velvane-tool against a database folder made hostile in one way; every case checks the exit
// status, the line on stderr and what is left on disk.
class ToolFaultTest : public ::testing::Test {
 protected:
  ToolFaultTest() {
    fs::create_directory(m_dir.Path() / "db");
    m_strFolder = (m_dir.Path() / "db" / "").string();
  }

  int RunTool(std::vector<std::string> args) {
    args.insert(args.begin(), {"--db", m_strFolder});
    std::ostringstream out;
    std::ostringstream err;
    ToolContext context{m_profile, m_clock, out, err};
    const int nStatus = velvane::RunTool(args, context);
    m_strErr = err.str();
    return nStatus;
  }
  int Run(const std::string& strCommand) { return RunTool({strCommand}); }
  // The tool's own last line on stderr, without its line end.
  std::string LastErrLine() const {
    const std::size_t nStart = m_strErr.rfind('\n', m_strErr.size() - 2);
    return m_strErr.substr(nStart == std::string::npos ? 0 : nStart + 1,
                           m_strErr.size() - (nStart == std::string::npos ? 0 : nStart + 1) - 1);
  }
  void WriteDatabases() const {
    m_dir.Write("db/playlist.dat", kPlaylist);
    m_dir.Write("db/charts.dat", kCharts);
  }
  std::string Read(const std::string& strName) const { return m_dir.Read("db/" + strName); }
  bool Exists(const std::string& strName) const { return m_dir.Exists("db/" + strName); }

  TempDir m_dir;
  ScratchMounts m_mounts;
  FakeProfileStore m_profile;
  FakeClock m_clock{2010, 3, 7, 9, 5};
  std::string m_strFolder;
  std::string m_strErr;
};

TEST_F(ToolFaultTest, UnreadableDatabaseStopsEveryCommandAndIsNeverEmptied) {
  m_dir.Write("db/charts.dat", kCharts);
  fs::create_directories(m_dir.Path() / "db" / "playlist.dat" / "x");
  for (int nNight = 0; nNight < 2; ++nNight) {  // a nightly job, twice
    EXPECT_EQ(Run("resave"), 2);
    EXPECT_EQ(m_strErr, "Could not open the playlist file\nvelvane-tool: cannot read " +
                            m_strFolder + "playlist.dat: not a regular file\n");
  }
  EXPECT_EQ(Run("search"), 2);
  EXPECT_TRUE(fs::is_directory(m_dir.Path() / "db" / "playlist.dat" / "x"));
  fs::create_directory(m_dir.Path() / "db" / "hits.dat");
  EXPECT_EQ(RunTool({"number-one", "1/1/1980"}), 2);
  EXPECT_EQ(m_strErr,
            "velvane-tool: cannot read " + m_strFolder + "hits.dat: not a regular file\n");
  EXPECT_FALSE(Exists("playlist.old"));
  EXPECT_EQ(Read("charts.dat"), kCharts);
  EXPECT_FALSE(Exists("charts.old"));

  fs::remove_all(m_dir.Path() / "db" / "playlist.dat");
  MakeFifo(m_dir.Path() / "db" / "playlist.dat");
  EXPECT_EQ(Run("resave"), 2);  // returns: the FIFO is never opened
  EXPECT_EQ(fs::status(m_dir.Path() / "db" / "playlist.dat").type(), fs::file_type::fifo);

  if (!RunningAsRoot()) {
    fs::remove(m_dir.Path() / "db" / "playlist.dat");
    m_dir.Write("db/playlist.dat", kPlaylist);
    fs::permissions(m_dir.Path() / "db" / "playlist.dat", fs::perms::owner_write);
    EXPECT_EQ(Run("search"), 2);
    EXPECT_EQ(LastErrLine(),
              "velvane-tool: cannot read " + m_strFolder + "playlist.dat: Permission denied");
    fs::permissions(m_dir.Path() / "db" / "playlist.dat", fs::perms::owner_all);
    EXPECT_EQ(Read("playlist.dat"), kPlaylist);
  }
}

}  // namespace
}  // namespace velvane
