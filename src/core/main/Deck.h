#pragma once

#include <array>

namespace velvane {

// Colour of a deck's lamp under its slider: red, yellow, green.
enum class DeckLamp { kIdle, kInUse, kCurrent };

// One of the two decks as the main window keeps it. Deck numbers are 1 and 2 (0: none); the
// records sit in an array at index number - 1.
struct Deck {
  bool bInUse = false;  // open and counted as playing
  int nSlider = 0;      // 0 (top, full volume) to 1000 (bottom, silent)
  DeckLamp lamp = DeckLamp::kIdle;
  int nMusicEnd = 0;  // ms where its track's music ends, when the timer counts to it; 0: none
};

inline constexpr int kDecks = 2;
using Decks = std::array<Deck, kDecks>;

// The deck that is not `nDeck`.
inline int OtherDeck(int nDeck) {
  return nDeck == 1 ? 2 : 1;
}

}  // namespace velvane
