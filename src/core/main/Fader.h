#pragma once

#include <array>

#include "core/main/Deck.h"

namespace velvane {

// The two fades the operator can start: one on the current deck, one on the last deck.
enum class FadeRole { kCurrent, kLast };

// Fades move a deck's slider by one step per timer tick until it reaches silence (a fade out)
// or full volume (a fade in). A fade keeps the deck it started on even when the decks change
// roles under it, so it is kept by the button that started it, not by the deck.
class Fader {
 public:
  // Slider steps per tick for a fade over `nFadeTime` seconds with a tick of `nTimerMs`. With
  // no whole tick in the fade time the fade ends on the next tick.
  static int StepFor(int nFadeTime, int nTimerMs);

  // Starts (or restarts) the fade of `role` on `nDeck`: towards silence unless the deck's slider
  // already stands there, in which case it fades back in. The step is shared by both fades.
  void Start(FadeRole role, int nDeck, int nSlider, int nStep);
  bool Running(FadeRole role) const { return Of(role).bRunning; }
  void StopAll();

  // One tick of the fade of `role` on its deck's slider; the fade ends when the slider reaches
  // the end. Returns whether a slider moved.
  bool Step(FadeRole role, Decks& decks);

 private:
  struct Fade {
    bool bRunning = false;
    bool bOut = false;
    int nDeck = 0;
  };
  Fade& Of(FadeRole role) { return m_fades[static_cast<int>(role)]; }
  const Fade& Of(FadeRole role) const { return m_fades[static_cast<int>(role)]; }

  std::array<Fade, 2> m_fades;
  int m_nStep = 0;
};

}  // namespace velvane
