#include <gtest/gtest.h>

#include "core/main/RadioFixture.h"

namespace velvane {
namespace {

class PlayControlTest : public RadioFixture {
 protected:
  // Plays the head, then the next track as if the timer had shown the head's time.
  void PlayTwo() {
    m_radio.Play().OnPlayNextTrack();
    Tick();  // the head is started once its time shows
    m_radio.Play().OnPlayNextTrack();
  }
};

TEST_F(PlayControlTest, PlayButtonsWhileTheHeadPlaysStartNothingAndPlayCurrentKeepsTheHead) {
  QueueTracks({30000});
  m_radio.Play().OnPlayNextTrack();
  EXPECT_EQ(m_radio.Play().CurrentDeck(), 1);
  EXPECT_FALSE(m_radio.Display().bPlayNextEnabled);
  EXPECT_FALSE(m_radio.Display().bPlayCurrentEnabled);
  m_mci.TakeCommands();
  m_radio.Play().OnPlayNextTrack();  // nothing to play next
  AddTrack(1, 2, "B", "TB", 30000);
  Queue(1, 2);
  m_radio.Play().OnPlayCurrentTrack();
  EXPECT_TRUE(m_mci.TakeCommands().empty());

  // Once stopped, Play Current plays the head again instead of moving on.
  Tick();  // the head counts as started
  m_radio.Play().OnStopAllTracks();
  m_radio.Play().OnPlayCurrentTrack();
  EXPECT_EQ(m_radio.Display().queue.strNowArtist, "A");
  EXPECT_NE(m_mci.DeckOf("Track1").strPath.find("01 TA"), std::string::npos);
}

TEST_F(PlayControlTest, NextTrackStartsOnTheOtherDeckAndStopCurrentGivesTheHeadBack) {
  QueueTracks({30000, 30000});
  m_radio.Play().SetDeckSlider(2, 700);
  PlayTwo();
  Ticks(110);
  EXPECT_FALSE(m_radio.Display().bPlayNextEnabled);  // not armed while two decks play
  EXPECT_EQ(m_radio.Play().CurrentDeck(), 2);
  EXPECT_EQ(m_radio.Play().LastDeck(), 1);
  EXPECT_EQ(m_radio.Display().decks[1].nSlider, 0);  // a new track starts at full volume
  EXPECT_EQ(m_radio.Play().LastTrackPlayed().strArtist, "A");
  EXPECT_EQ(m_radio.Display().queue.strNowArtist, "B");

  // Stop Current while the last track plays: the last one becomes current and takes slot 1.
  m_radio.Play().OnStopCurrentTrack();
  EXPECT_EQ(m_radio.Play().CurrentDeck(), 1);
  EXPECT_EQ(m_radio.Play().LastDeck(), 0);
  EXPECT_FALSE(m_radio.Play().DeckInUse(2));
  EXPECT_EQ(m_radio.Display().queueSlots[0].strTrack, "1");
  EXPECT_EQ(m_radio.Display().queue.strNowArtist, "A");
  EXPECT_FALSE(m_mci.IsOpen("Track2"));
}

TEST_F(PlayControlTest, MissingFileOrBusyDecksPlayNothingSilently) {
  Queue(5, 5);  // not in the music folder
  m_radio.Play().OnPlayNextTrack();
  EXPECT_EQ(m_radio.Play().CurrentDeck(), 0);
  EXPECT_TRUE(m_prompter.m_shown.empty());
  EXPECT_FALSE(m_dir.Exists("db/errorlog.txt"));

  m_radio.Play().OnClearPlaylist();
  QueueTracks({30000, 30000, 30000});
  PlayTwo();
  Tick();
  m_mci.TakeCommands();
  m_radio.Play().OnPlayNextTrack();  // both decks busy
  EXPECT_TRUE(m_mci.TakeCommands().empty());
}

TEST_F(PlayControlTest, StopLastAndFadeLastActOnlyOnTheLastDeck) {
  QueueTracks({60000, 60000});
  m_radio.Play().OnPlayNextTrack();
  m_radio.Play().OnFadeLast();  // nothing plays out yet
  m_radio.Play().OnStopLastTrack();
  Tick();
  EXPECT_EQ(m_radio.Display().decks[0].nSlider, 0);
  EXPECT_TRUE(m_mci.IsOpen("Track1"));

  m_radio.Play().OnPlayNextTrack();  // B on deck 2; A plays out on deck 1
  m_radio.Play().OnFadeLast();
  Tick();
  EXPECT_EQ(m_radio.Display().decks[0].nSlider, 20);
  EXPECT_EQ(m_radio.Display().decks[1].nSlider, 0);
  m_radio.Play().OnStopLastTrack();
  EXPECT_FALSE(m_mci.IsOpen("Track1"));
  EXPECT_TRUE(m_mci.IsOpen("Track2"));
  EXPECT_EQ(m_radio.Play().CurrentDeck(), 2);
  EXPECT_EQ(m_radio.Play().LastDeck(), 0);
}

TEST_F(PlayControlTest, StopAllFreesEverythingAndClearsTheTexts) {
  QueueTracks({30000, 30000});
  PlayTwo();
  Tick();
  ASSERT_FALSE(m_radio.Display().lastTrack.Text().empty());
  m_radio.Play().OnStopAllTracks();
  EXPECT_EQ(m_radio.Play().CurrentDeck(), 0);
  EXPECT_EQ(m_radio.Display().strRemaining, "");
  EXPECT_TRUE(m_radio.Display().bPlayNextEnabled);
  EXPECT_TRUE(m_mci.m_decks.empty());
  Tick();
  EXPECT_EQ(m_radio.Display().lastTrack.Text(), "");  // no stale last-track line afterwards
}

TEST_F(PlayControlTest, PlayModeTogglesOnlyTheCurrentMode) {
  m_radio.Play().OnPlayMode();
  EXPECT_EQ(m_radio.Display().strPlayMode, "Auto Play");
  EXPECT_EQ(m_radio.GetSettings().nPlayMode, 0);  // the stored mode stays
  m_radio.Play().OnPlayMode();
  EXPECT_EQ(m_radio.Display().strPlayMode, "Single Play");
}

TEST_F(PlayControlTest, StartingATrackWritesThePlayLogWhenEnabled) {
  m_radio.OnLogOptions("disco", false);
  QueueTracks({30000});
  m_radio.Play().OnPlayNextTrack();
  EXPECT_FALSE(m_dir.Exists("db/logs"));

  m_radio.Play().OnStopAllTracks();
  m_radio.OnLogOptions("disco", true);
  m_radio.Play().OnPlayNextTrack();
  EXPECT_EQ(m_dir.Read("db/logs/disco.log"), "04/12/2026 17:59   A - TA\r\n");
}

}  // namespace
}  // namespace velvane
