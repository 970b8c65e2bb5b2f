#include <gtest/gtest.h>

#include "core/main/Fader.h"
#include "core/main/RadioFixture.h"
#include "support/Rows.h"

namespace velvane {
namespace {

class PlayControlTest : public RadioFixture {
 protected:
  // Plays the head, then the next track as if the timer had shown the head's time.
  void PlayTwo() {
    Play().OnPlayNextTrack();
    Tick();  // the head is started once its time shows
    Play().OnPlayNextTrack();
  }
};

TEST_F(PlayControlTest, PlayButtonsWhileTheHeadPlaysStartNothingAndPlayCurrentKeepsTheHead) {
  QueueTracks({30000});
  Play().OnPlayNextTrack();
  EXPECT_EQ(DeckState(), "current 1, last 0, in use 1, open Track1");
  EXPECT_FALSE(Display().bPlayNextEnabled);
  EXPECT_FALSE(Display().bPlayCurrentEnabled);
  m_mci.TakeCommands();
  Play().OnPlayNextTrack();  // nothing to play next
  AddTrack(1, 2, "B", "TB", 30000);
  Queue(1, 2);
  Play().OnPlayCurrentTrack();
  EXPECT_TRUE(m_mci.TakeCommands().empty());

  // Once stopped, Play Current plays the head again instead of moving on.
  Tick();  // the head counts as started
  Play().OnStopAllTracks();
  Play().OnPlayCurrentTrack();
  EXPECT_EQ(Display().queue.strNowArtist, "A");
  EXPECT_TRUE(Contains(m_mci.DeckOf("Track1").strPath, "01 TA"));
}

TEST_F(PlayControlTest, NextTrackStartsOnTheOtherDeckAndStopCurrentGivesTheHeadBack) {
  QueueTracks({30000, 30000});
  Play().SetDeckSlider(2, 700);
  PlayTwo();
  Ticks(110);
  EXPECT_FALSE(Display().bPlayNextEnabled);  // not armed while two decks play
  EXPECT_EQ(DeckState(), "current 2, last 1, in use 12, open Track1 Track2");
  EXPECT_EQ(Display().decks[1].nSlider, 0);  // a new track starts at full volume
  EXPECT_EQ(Play().LastTrackPlayed().strArtist, "A");
  EXPECT_EQ(Display().queue.strNowArtist, "B");

  // Stop Current while the last track plays: the last one becomes current and takes slot 1.
  Play().OnStopCurrentTrack();
  EXPECT_EQ(DeckState(), "current 1, last 0, in use 1, open Track1");
  EXPECT_EQ(Display().queueSlots[0].strTrack, "1");
  EXPECT_EQ(Display().queue.strNowArtist, "A");
}

TEST_F(PlayControlTest, MissingFileOrBusyDecksPlayNothingSilentlyAndStopAllFreesEverything) {
  Queue(5, 5);  // not in the music folder
  Play().OnPlayNextTrack();
  EXPECT_EQ(DeckState(), "current 0, last 0, in use , open");
  EXPECT_TRUE(m_prompter.m_shown.empty());
  EXPECT_FALSE(m_dir.Exists("db/errorlog.txt"));

  Play().OnClearPlaylist();
  QueueTracks({30000, 30000, 30000});
  PlayTwo();
  Tick();
  m_mci.TakeCommands();
  Play().OnPlayNextTrack();  // both decks busy
  EXPECT_TRUE(m_mci.TakeCommands().empty());

  ASSERT_FALSE(Display().lastTrack.Text().empty());
  Play().OnStopAllTracks();
  EXPECT_EQ(DeckState(), "current 0, last 0, in use , open");
  EXPECT_EQ(Display().strRemaining, "");
  EXPECT_TRUE(Display().bPlayNextEnabled);
  Tick();
  EXPECT_EQ(Display().lastTrack.Text(), "");  // no stale last-track line afterwards
}

TEST_F(PlayControlTest, StopLastAndFadeLastActOnlyOnTheLastDeck) {
  QueueTracks({60000, 60000});
  Play().OnPlayNextTrack();
  Play().OnFadeLast();  // nothing plays out yet
  Play().OnStopLastTrack();
  Tick();
  EXPECT_EQ(Display().decks[0].nSlider, 0);
  EXPECT_EQ(DeckState(), "current 1, last 0, in use 1, open Track1");

  Play().OnPlayNextTrack();  // B on deck 2; A plays out on deck 1
  Play().OnFadeLast();
  Tick();
  EXPECT_EQ(Display().decks[0].nSlider, 20);
  EXPECT_EQ(Display().decks[1].nSlider, 0);
  Play().OnStopLastTrack();
  EXPECT_EQ(DeckState(), "current 2, last 0, in use 2, open Track2");
}

TEST_F(PlayControlTest, StartingATrackWritesThePlayLogWhenEnabled) {
  m_radio.OnLogOptions("disco", false);
  QueueTracks({30000});
  Play().OnPlayNextTrack();
  EXPECT_FALSE(m_dir.Exists("db/logs"));

  Play().OnStopAllTracks();
  m_radio.OnLogOptions("disco", true);
  Play().OnPlayNextTrack();
  EXPECT_EQ(m_dir.Read("db/logs/disco.log"), "04/12/2026 17:59   A - TA\r\n");
}

TEST(Fader, StepCoversTheFadeTimeInWholeTicks) {
  EXPECT_EQ(Fader::StepFor(5, 100), 20);
  EXPECT_EQ(Fader::StepFor(3, 70), 23);
  EXPECT_EQ(Fader::StepFor(5, 0), 1000);  // read from an unchecked configuration
  EXPECT_EQ(Fader::StepFor(0, 100), 1000);
  EXPECT_EQ(Fader::StepFor(2147483647, 10), 1);  // a damaged setting: slow, but it ends
}

TEST(Fader, FadesStopAtTheEndAndKeepTheirDeck) {
  Decks decks;
  decks[0].nSlider = 990;
  decks[1].nSlider = 1000;
  Fader fader;
  fader.Start(FadeRole::kCurrent, 1, decks[0].nSlider, 20);
  fader.Start(FadeRole::kLast, 2, decks[1].nSlider, 20);  // already silent: fades back in
  EXPECT_TRUE(fader.Step(FadeRole::kCurrent, decks));
  EXPECT_EQ(decks[0].nSlider, 1000);
  EXPECT_FALSE(fader.Running(FadeRole::kCurrent));
  EXPECT_FALSE(fader.Step(FadeRole::kCurrent, decks));

  EXPECT_TRUE(fader.Step(FadeRole::kLast, decks));
  EXPECT_EQ(decks[1].nSlider, 980);
  EXPECT_TRUE(fader.Running(FadeRole::kLast));
  decks[1].nSlider = 10;  // moved by the operator: the fade ends at the top
  EXPECT_TRUE(fader.Step(FadeRole::kLast, decks));
  EXPECT_EQ(decks[1].nSlider, 0);
  EXPECT_FALSE(fader.Running(FadeRole::kLast));
}

}  // namespace
}  // namespace velvane
