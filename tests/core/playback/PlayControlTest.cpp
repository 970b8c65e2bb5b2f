#include <gtest/gtest.h>

#include "core/playback/RadioFixture.h"

namespace velvane {
namespace {

class PlayControlTest : public RadioFixture {
 protected:
  // Plays the head, then the next track as if the timer had shown the head's time.
  void PlayTwo() {
    m_radio.OnPlayNextTrack();
    m_radio.m_queue.m_bHeadStarted = true;
    m_radio.OnPlayNextTrack();
  }
};

TEST_F(PlayControlTest, MusicFileIsTheFirstMatchInNameOrder) {
  AddMusicFile(12, 7, "b second", 1000);
  const std::string strFirst = AddMusicFile(12, 7, "a first", 1000);
  std::string strPath;
  ASSERT_TRUE(m_radio.FindMusicFile("012", "7", strPath));
  EXPECT_EQ(strPath, strFirst);

  // A CD text longer than three characters is cut: "1234" looks in folder 123.
  const std::string str123 = AddMusicFile(123, 4, "x", 1000);
  ASSERT_TRUE(m_radio.FindMusicFile("1234", "4", strPath));
  EXPECT_EQ(strPath, str123);
  EXPECT_FALSE(m_radio.FindMusicFile("12", "8", strPath));
}

TEST_F(PlayControlTest, PlayButtonsWhileTheHeadPlaysStartNothingAndPlayCurrentKeepsTheHead) {
  QueueTracks({30000});
  m_radio.OnPlayNextTrack();
  EXPECT_EQ(m_radio.m_nCurrentDeck, 1);
  EXPECT_FALSE(m_radio.m_bPlayNextEnabled);
  EXPECT_FALSE(m_radio.m_bPlayCurrentEnabled);
  m_mci.TakeCommands();
  m_radio.OnPlayNextTrack();  // nothing to play next
  AddTrack(1, 2, "B", "TB", 30000);
  Queue(1, 2);
  m_radio.OnPlayCurrentTrack();
  EXPECT_TRUE(m_mci.TakeCommands().empty());

  // Once stopped, Play Current plays the head again instead of moving on.
  m_radio.OnStopAllTracks();
  m_radio.m_queue.m_bHeadStarted = true;
  m_radio.OnPlayCurrentTrack();
  EXPECT_EQ(m_radio.m_queue.m_strNowArtist, "A");
  EXPECT_NE(m_mci.DeckOf("Track1").strPath.find("01 TA"), std::string::npos);
}

TEST_F(PlayControlTest, NextTrackStartsOnTheOtherDeckAndStopCurrentGivesTheHeadBack) {
  QueueTracks({30000, 30000});
  m_radio.SetDeckSlider(2, 700);
  PlayTwo();
  Ticks(110);
  EXPECT_FALSE(m_radio.m_bPlayNextEnabled);  // not armed while two decks play
  EXPECT_EQ(m_radio.m_nCurrentDeck, 2);
  EXPECT_EQ(m_radio.m_nLastDeck, 1);
  EXPECT_EQ(m_radio.DeckSlider(2), 0);  // a new track starts at full volume
  EXPECT_EQ(m_radio.m_strLastArtist, "A");
  EXPECT_EQ(m_radio.m_queue.m_strNowArtist, "B");

  // Stop Current while the last track plays: the last one becomes current and takes slot 1.
  m_radio.OnStopCurrentTrack();
  EXPECT_EQ(m_radio.m_nCurrentDeck, 1);
  EXPECT_EQ(m_radio.m_nLastDeck, 0);
  EXPECT_FALSE(m_radio.m_bDeck2InUse);
  EXPECT_EQ(m_radio.m_queue.m_strQueueTrack[0], "1");
  EXPECT_EQ(m_radio.m_queue.m_strNowArtist, "A");
  EXPECT_FALSE(m_mci.IsOpen("Track2"));
}

TEST_F(PlayControlTest, MissingFileOrBusyDecksPlayNothingSilently) {
  Queue(5, 5);  // not in the music folder
  m_radio.OnPlayNextTrack();
  EXPECT_EQ(m_radio.m_nCurrentDeck, 0);
  EXPECT_TRUE(m_prompter.m_shown.empty());
  EXPECT_FALSE(m_dir.Exists("db/errorlog.txt"));

  m_radio.OnClearPlaylist();
  QueueTracks({30000, 30000, 30000});
  PlayTwo();
  m_radio.m_queue.m_bHeadStarted = true;
  m_mci.TakeCommands();
  m_radio.OnPlayNextTrack();  // both decks busy
  EXPECT_TRUE(m_mci.TakeCommands().empty());
}

TEST_F(PlayControlTest, StopAllFreesEverythingAndClearsTheTexts) {
  QueueTracks({30000, 30000});
  PlayTwo();
  Tick();
  ASSERT_FALSE(m_radio.m_strLastTrackLine.empty());
  m_radio.OnStopAllTracks();
  EXPECT_EQ(m_radio.m_nCurrentDeck, 0);
  EXPECT_EQ(m_radio.m_strRemainingDisplay, "");
  EXPECT_TRUE(m_radio.m_bPlayNextEnabled);
  EXPECT_TRUE(m_mci.m_decks.empty());
  Tick();
  EXPECT_EQ(m_radio.m_strLastTrackLine, "");  // no stale last-track line afterwards
}

TEST_F(PlayControlTest, FadeSteps) {
  m_radio.m_settings.nFadeTime = 5;
  m_radio.m_settings.nSystemTimer = 100;
  EXPECT_EQ(m_radio.FadeStep(), 20);
  m_radio.m_settings.nFadeTime = 3;
  m_radio.m_settings.nSystemTimer = 70;
  EXPECT_EQ(m_radio.FadeStep(), 23);
  m_radio.m_settings.nSystemTimer = 0;  // read from an unchecked configuration
  EXPECT_EQ(m_radio.FadeStep(), 1000);
  m_radio.m_settings.nSystemTimer = 100;
  m_radio.m_settings.nFadeTime = 0;
  EXPECT_EQ(m_radio.FadeStep(), 1000);
}

TEST_F(PlayControlTest, PlayModeTogglesOnlyTheCurrentMode) {
  m_radio.OnPlayMode();
  EXPECT_EQ(m_radio.m_strPlayModeText, "Auto Play");
  EXPECT_EQ(m_radio.m_settings.nPlayMode, 0);  // the stored mode stays
  m_radio.OnPlayMode();
  EXPECT_EQ(m_radio.m_strPlayModeText, "Single Play");
}

TEST_F(PlayControlTest, StartingATrackWritesThePlayLogWhenEnabled) {
  QueueTracks({30000});
  m_radio.m_settings.strLogFile = "disco";
  m_radio.OnPlayNextTrack();
  EXPECT_FALSE(m_dir.Exists("db/logs"));

  m_radio.OnStopAllTracks();
  m_radio.m_settings.nLogEnabled = 1;
  m_radio.OnPlayNextTrack();
  EXPECT_EQ(m_dir.Read("db/logs/disco.log"), "04/12/2026 17:59   A - TA\r\n");
}

}  // namespace
}  // namespace velvane
