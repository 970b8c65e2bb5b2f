#include "tool/Tool.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/FakeClock.h"
#include "support/FakeProfileStore.h"
#include "support/TempDir.h"
#include "tool/ToolOptions.h"

namespace velvane {
namespace {

struct ToolRun {
  int nExit;
  std::string strOut;
  std::string strErr;
};

class ToolTest : public ::testing::Test {
 protected:
  ToolRun Run(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    ToolContext context{m_profile, m_clock, out, err};
    const int nExit = RunTool(args, context);
    return {nExit, out.str(), err.str()};
  }

  TempDir m_dir;
  FakeProfileStore m_profile;
  FakeClock m_clock{2010, 3, 7, 9, 5};
};

TEST_F(ToolTest, ResaveRoundTripsTheDatabasesByteForByte) {
  const std::string playlist = "00705\\A\\T\\1\\\r\n99999\\ \\U\\-1\\\r\n";
  const std::string charts = "05/03/1983\\A\\T\\01\\0\\\r\n5/3/83\\B\\U\\2\\-1\\\r\n";
  m_dir.Write("playlist.dat", playlist);
  m_dir.Write("charts.dat", charts);

  // The folder is given without its trailing separator.
  const ToolRun run = Run({"--db", m_dir.Path().string(), "resave"});
  EXPECT_EQ(run.nExit, kToolSuccess) << run.strErr;
  EXPECT_EQ(run.strOut, "playlist: 2 records, charts: 2 entries\n");
  EXPECT_EQ(m_dir.Read("playlist.dat"), playlist);
  EXPECT_EQ(m_dir.Read("charts.dat"), charts);
  EXPECT_EQ(m_dir.Read("playlist.old"), playlist);
}

TEST_F(ToolTest, ResaveNormalisesLfOnlyFilesToCrLf) {
  m_dir.Write("playlist.dat", "00705\\A\\T\\-1\\\n");
  ASSERT_EQ(Run({"--db", m_dir.Folder(), "resave"}).nExit, kToolSuccess);
  EXPECT_EQ(m_dir.Read("playlist.dat"), "00705\\A\\T\\-1\\\r\n");
  EXPECT_EQ(m_dir.Read("charts.dat"), "");  // created empty, saved empty
}

TEST_F(ToolTest, FolderComesFromTheDesktopSettingsAndSizesToo) {
  m_profile.PutInt("General", "IsInstalled", 1);
  m_profile.PutString("General", "FilesDir", m_dir.Folder());
  m_profile.PutInt("General", "PlaySize", 1);
  m_dir.Write("playlist.dat", "00101\\A\\T\\-1\\\r\n00102\\B\\U\\-1\\\r\n");

  // One record over the capacity: reported, and nothing is saved so nothing is lost.
  const ToolRun run = Run({"resave"});
  EXPECT_EQ(run.nExit, kToolUsage);
  EXPECT_NE(run.strErr.find("Insufficient memory allocated to store the playlist"),
            std::string::npos);
  EXPECT_EQ(m_dir.Read("playlist.dat"), "00101\\A\\T\\-1\\\r\n00102\\B\\U\\-1\\\r\n");
  EXPECT_FALSE(m_dir.Exists("playlist.old"));
}

TEST_F(ToolTest, BadUsageAndUnusableFoldersExitWithTwo) {
  EXPECT_EQ(Run({}).nExit, kToolUsage);
  EXPECT_EQ(Run({"frobnicate"}).nExit, kToolUsage);
  EXPECT_EQ(Run({"--db"}).nExit, kToolUsage);
  EXPECT_EQ(Run({"--colour", "x", "resave"}).nExit, kToolUsage);
  EXPECT_EQ(Run({"resave"}).nExit, kToolUsage);  // first run: no folder known
  const ToolRun missing = Run({"--db", (m_dir.Path() / "nope").string(), "resave"});
  EXPECT_EQ(missing.nExit, kToolUsage);
  EXPECT_NE(missing.strErr.find("does not exist"), std::string::npos);
  EXPECT_FALSE(m_dir.Exists("nope"));
}

TEST(CommandArgs, SeparatesValuesFlagsAndPositionals) {
  const CommandArgs args({"--artist", "abba", "--out-of-chart", "x"}, {"--artist", "--title"},
                         {"--out-of-chart"});
  ASSERT_TRUE(args.Ok());
  EXPECT_EQ(args.Value("--artist"), "abba");
  EXPECT_FALSE(args.Value("--title"));
  EXPECT_TRUE(args.Has("--out-of-chart"));
  EXPECT_EQ(args.Positional(), std::vector<std::string>{"x"});
  EXPECT_FALSE(CommandArgs({"--artist"}, {"--artist"}, {}).Ok());
  EXPECT_FALSE(CommandArgs({"--bogus"}, {}, {}).Ok());
}

}  // namespace
}  // namespace velvane
