// What the main window's core does after an editor saved: both files, the queue looked up.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/main/RadioFixture.h"
#include "support/FileFaults.h"
#include "support/Rows.h"

namespace velvane {
namespace {

using RadioCoreEditorsTest = RadioFixture;

TEST_F(RadioCoreEditorsTest, BothFilesAreSavedAndTheQueueLooksItsTracksUpAgain) {
  QueueTracks({30000});
  m_radio.Store().SetPlaylistEntry(0, "Edited", "TA", "1", "1", -1);
  EXPECT_TRUE(m_radio.SaveEditedDatabases());
  EXPECT_EQ(m_dir.Read("db/playlist.dat"), "00101\\Edited\\TA\\-1\\\r\n");
  EXPECT_TRUE(m_dir.Exists("db/charts.old"));
  EXPECT_EQ(m_radio.Display().queue.strNowArtist, "Edited");
  EXPECT_TRUE(m_prompter.m_shown.empty());
}

TEST_F(RadioCoreEditorsTest, AFailedPlaylistSaveIsToldKeepsTheEditsAndLeavesChartsDatAlone) {
  QueueTracks({30000});
  std::filesystem::create_directory(m_dir.Path() / "db" / "playlist.tmp");
  m_radio.Store().SetPlaylistEntry(0, "Edited", "TA", "1", "1", -1);
  EXPECT_FALSE(m_radio.SaveEditedDatabases());
  ASSERT_EQ(m_prompter.m_shown.size(), 1u);
  EXPECT_EQ(m_prompter.m_shown[0].icon, PromptIcon::Exclamation);
  EXPECT_EQ(m_dir.Read("db/playlist.dat"), "");  // the previous copy, untouched
  EXPECT_FALSE(m_dir.Exists("db/charts.old"));   // the two files on disk still belong together
  EXPECT_EQ(m_radio.Store().Playlist(0).strArtist, "Edited");
  EXPECT_TRUE(Contains(m_dir.Read("db/errorlog.txt"), "Failed to create a new playlist file"));
}

// Started while velvane-tool held the folder, the program used to stay read-only for its whole
// run: every Save And Exit was refused and the edits were lost at the restart.
TEST_F(RadioCoreEditorsTest, SavesTakeTheLockBackOnceTheOtherProgramHasEnded) {
  POSIX_ONLY_TEST("a forked child process holds the lock");
  std::filesystem::create_directories(m_dir.Path() / "db2");
  const std::string strFolder = (m_dir.Path() / "db2" / "").string();
  ChildLockHolder tool(strFolder);
  ASSERT_TRUE(tool.Holding());
  Start([&](Settings& settings) { settings.strFilesDir = strFolder; });
  m_prompter.m_shown.clear();
  QueueTracks({30000});

  EXPECT_FALSE(m_radio.SaveEditedDatabases());
  ASSERT_FALSE(m_prompter.m_shown.empty());
  EXPECT_TRUE(Contains(m_prompter.m_shown[0].strText, kFolderInUseText));
  EXPECT_EQ(m_dir.Read("db2/playlist.dat"), "");
  EXPECT_EQ(m_radio.DatabaseWriteRefusal(), kFolderInUseText);

  tool.End();
  EXPECT_EQ(m_radio.DatabaseWriteRefusal(), "");
  EXPECT_TRUE(m_radio.SaveEditedDatabases());
  EXPECT_EQ(m_dir.Read("db2/playlist.dat"), "00101\\A\\TA\\-1\\\r\n");
  // And it holds the folder now: another program is kept out.
  EXPECT_FALSE(ChildLockHolder(strFolder).Holding());
}

TEST_F(RadioCoreEditorsTest, WithoutASavedDatabaseFolderNothingIsWrittenAndTheOperatorIsTold) {
  Start([](Settings& settings) { settings.strFilesDir.clear(); });
  const auto before = std::filesystem::current_path();
  EXPECT_FALSE(m_radio.SaveEditedDatabases());
  EXPECT_EQ(m_prompter.m_shown.size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(before / "playlist.dat"));

  // The editors ask first, since what is edited now cannot outlive the first-run dialog.
  m_prompter.m_answers = {PromptAnswer::No, PromptAnswer::Yes};
  EXPECT_FALSE(m_radio.ConfirmEditingWithoutFolder());
  EXPECT_TRUE(m_radio.ConfirmEditingWithoutFolder());
  EXPECT_EQ(m_prompter.m_shown.back().buttons, PromptButtons::YesNo);
  Start();
  EXPECT_TRUE(m_radio.ConfirmEditingWithoutFolder());
  EXPECT_EQ(m_prompter.m_shown.size(), 3u);
}

}  // namespace
}  // namespace velvane
