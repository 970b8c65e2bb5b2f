// What the main window's core does after an editor saved: both files, the queue looked up.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/main/RadioFixture.h"

namespace velvane {
namespace {

class RadioCoreEditorsTest : public RadioFixture {};

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
  EXPECT_NE(m_dir.Read("db/errorlog.txt").find("Failed to create a new playlist file"),
            std::string::npos);
}

TEST_F(RadioCoreEditorsTest, WithoutASavedDatabaseFolderNothingIsWrittenAndTheOperatorIsTold) {
  Start([](Settings& settings) { settings.strFilesDir.clear(); });
  const auto before = std::filesystem::current_path();
  EXPECT_FALSE(m_radio.SaveEditedDatabases());
  EXPECT_EQ(m_prompter.m_shown.size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(before / "playlist.dat"));
}

}  // namespace
}  // namespace velvane
