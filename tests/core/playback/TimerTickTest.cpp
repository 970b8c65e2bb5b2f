#include <gtest/gtest.h>

#include "core/playback/RadioFixture.h"

namespace velvane {
namespace {

class TimerTickTest : public RadioFixture {
 protected:
  void AutoPlay() {
    m_radio.m_settings.nAutoTime = 2;
    m_radio.m_nPlayMode = 1;
  }
};

TEST_F(TimerTickTest, AutoPlayStartsTheNextTrackWhenTheShownTimeTurnsToOneSecond) {
  AutoPlay();
  QueueTracks({15000, 20000});
  m_radio.OnPlayNextTrack();

  ASSERT_TRUE(TickUntil([&] { return m_radio.m_strRemainingDisplay == "00:02"; }));
  EXPECT_EQ(m_radio.m_nDeck1Lamp, LampCurrent);
  ASSERT_TRUE(TickUntil([&] { return m_mci.IsOpen("Track2"); }));
  EXPECT_EQ(m_mci.DeckOf("Track1").nPosition, 13100);  // the first change to 00:01
  EXPECT_EQ(m_radio.m_queue.m_strNowArtist, "B");

  Tick();
  EXPECT_EQ(m_radio.m_strLastTrackLine, " Last: A - TA (00:01)");
  EXPECT_EQ(m_radio.m_nDeck1Lamp, LampInUse);
  EXPECT_EQ(m_radio.m_nDeck2Lamp, LampCurrent);

  // The first track plays out on its own deck, then its line goes blank.
  ASSERT_TRUE(TickUntil([&] { return !m_mci.IsOpen("Track1"); }, 30));
  EXPECT_EQ(m_radio.m_strLastTrackLine, "");
  EXPECT_EQ(m_radio.m_nLastDeck, 0);
  EXPECT_EQ(m_radio.m_nDeck1Lamp, LampIdle);
}

TEST_F(TimerTickTest, AutoPlayLogsAndSkipsBadNextTracksLeavingNoSilentDeck) {
  AutoPlay();
  AddTrack(1, 1, "A", "TA", 12000);
  m_mci.m_files.erase(AddMusicFile(2, 2, "broken", 1000));  // on disk, but will not open
  Queue(1, 1);
  Queue(7, 7);  // no music file
  Queue(2, 2);
  m_radio.OnPlayNextTrack();
  ASSERT_TRUE(TickUntil([&] { return m_dir.Exists("db/errorlog.txt"); }, 200));
  EXPECT_EQ(m_dir.Read("db/errorlog.txt"),
            "04/12/2026 17:59   Music file CD 7 Track 7 could not be found\r\n"
            "04/12/2026 17:59   Music file CD 2 Track 2 could not be played\r\n");
  EXPECT_FALSE(m_radio.m_bDeck2InUse);
  EXPECT_EQ(m_radio.m_nCurrentDeck, 1);
  EXPECT_EQ(m_radio.m_nLastDeck, 0);
  EXPECT_EQ(m_radio.m_strLastArtist, "A");  // the track playing out, not a skipped one

  // The first track still ends normally and takes the bad one out of the queue with it.
  ASSERT_TRUE(TickUntil([&] { return !m_mci.IsOpen("Track1"); }, 40));
  EXPECT_TRUE(m_radio.m_queue.IsFree(0));
}

TEST_F(TimerTickTest, SinglePlayArmsPlayNextAfterTenSecondsAndAtTheEndOnlyAdvances) {
  QueueTracks({12950, 20000});
  m_radio.OnPlayNextTrack();
  Ticks(100);  // exactly ten seconds, as the shown time turns to 00:02
  EXPECT_FALSE(m_radio.m_bPlayNextEnabled);
  Ticks(10);
  EXPECT_TRUE(m_radio.m_bPlayNextEnabled);

  Ticks(20);
  EXPECT_TRUE(m_mci.m_decks.empty());
  EXPECT_EQ(m_radio.m_nCurrentDeck, 0);
  EXPECT_EQ(m_radio.m_queue.m_strNowArtist, "B");
  EXPECT_TRUE(m_radio.m_queue.IsFree(1));
  EXPECT_TRUE(m_radio.m_bPlayCurrentEnabled);
}

TEST_F(TimerTickTest, StoppedHeadWithATrackWaitingTurnsTheAlertOn) {
  QueueTracks({60000, 60000});
  m_radio.OnPlayNextTrack();
  Ticks(15);
  m_radio.OnStopCurrentTrack();
  Tick();
  EXPECT_EQ(m_radio.m_strRemainingDisplay, "00:00");
  EXPECT_TRUE(m_radio.m_bNowPlayingAlert);
  m_radio.OnPlayNextTrack();  // plays slot 2's track
  EXPECT_FALSE(m_radio.m_bNowPlayingAlert);
  EXPECT_EQ(m_radio.m_queue.m_strNowArtist, "B");
}

TEST_F(TimerTickTest, VolumesCombineDeckAndMasterSliders) {
  QueueTracks({60000});
  m_radio.OnPlayNextTrack();
  m_radio.SetDeckSlider(1, 250);
  m_radio.SetMasterSlider(200);
  Tick();
  EXPECT_EQ(m_mci.DeckOf("Track1").nVolume, 600);
  m_radio.SetMasterSlider(1000);
  Tick();
  EXPECT_EQ(m_mci.DeckOf("Track1").nVolume, 0);
}

TEST_F(TimerTickTest, FadesMoveTheSliderAndEndAtTheRangeEnd) {
  QueueTracks({60000});
  m_radio.OnPlayNextTrack();
  m_radio.SetDeckSlider(1, 990);
  m_radio.OnFadeCurrent();
  Tick();
  EXPECT_EQ(m_radio.DeckSlider(1), 1000);
  EXPECT_FALSE(m_radio.m_bFadeCurrent);
  EXPECT_TRUE(m_radio.m_bFadeCurrentEnabled);
  EXPECT_TRUE(m_mci.IsOpen("Track1"));  // a faded-out deck keeps playing silently

  m_radio.OnFadeCurrent();  // from silence: fades in, 20 a tick
  Tick();
  EXPECT_EQ(m_radio.DeckSlider(1), 980);
  EXPECT_FALSE(m_radio.m_bFadeCurrentEnabled);
  m_radio.SetDeckSlider(1, 10);
  Tick();
  EXPECT_EQ(m_radio.DeckSlider(1), 0);
  EXPECT_FALSE(m_radio.m_bFadeCurrent);
}

TEST_F(TimerTickTest, StatusAndClockTexts) {
  Tick();
  EXPECT_EQ(m_radio.m_strStatus, "Not Ready");  // empty music folder
  QueueTracks({61500});
  Tick();
  EXPECT_EQ(m_radio.m_strStatus, "No Database");  // the database files were never opened
  EXPECT_EQ(m_radio.m_strClockDisplay, "Friday 04 December 2026     17:59");
}

}  // namespace
}  // namespace velvane
