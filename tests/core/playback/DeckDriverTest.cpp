#include "core/playback/DeckDriver.h"

#include <gtest/gtest.h>

#include "support/FakeMci.h"

namespace velvane {
namespace {

TEST(DeckDriver, SendsTheExactCommandStrings) {
  FakeMci mci;
  mci.AddFile("/music/001/01 A Song.mp3", 5000);
  DeckDriver decks(mci);
  EXPECT_TRUE(decks.OpenAndPlayDeck(1, "/music/001/01 A Song.mp3"));
  EXPECT_FALSE(decks.OpenAndPlayDeck(2, "/missing.mp3"));  // a failed open sends no Play
  decks.SetDeckVolume(1, -5);
  decks.SetDeckVolume(2, 1500);
  decks.SetDeckVolume(2, 640);
  std::string text;
  decks.GetDeckPosition(1, text);
  decks.GetDeckLength(1, text);
  decks.StopDeck(2);
  decks.CloseDeck(2);
  decks.StopAndCloseAllDecks();
  EXPECT_EQ(mci.TakeCommands(),
            (std::vector<std::string>{
                "Open \"/music/001/01 A Song.mp3\"  alias Track1", "Play Track1",
                "Open \"/missing.mp3\"  alias Track2", "setaudio Track1 volume to 0",
                "setaudio Track2 volume to 1000", "setaudio Track2 volume to 640",
                "status Track1 position", "status Track1 length", "stop Track2", "close Track2",
                "stop Track1", "stop Track2", "close Track1", "close Track2"}));
}

TEST(DeckDriver, StateFollowsPositionAndLength) {
  FakeMci mci;
  mci.AddFile("a.wav", 3000);
  DeckDriver decks(mci);
  EXPECT_EQ(decks.GetDeckState(1), DeckState::kIdle);  // not open: no reply
  decks.OpenAndPlayDeck(1, "a.wav");
  EXPECT_EQ(decks.GetDeckState(1), DeckState::kIdle);
  mci.Advance(2999);
  EXPECT_EQ(decks.GetDeckState(1), DeckState::kPlaying);
  mci.Advance(1);
  EXPECT_EQ(decks.GetDeckState(1), DeckState::kAtEnd);
}

}  // namespace
}  // namespace velvane
