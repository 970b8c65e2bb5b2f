#include <gtest/gtest.h>

#include <filesystem>

#include "core/analysis/AnalysisFile.h"
#include "core/db/NativeFile.h"
#include "support/FakeAudioAnalyser.h"
#include "support/FileFaults.h"
#include "tool/ToolFixture.h"

namespace velvane {
namespace {

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

}  // namespace
}  // namespace velvane
