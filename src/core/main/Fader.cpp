#include "core/main/Fader.h"

#include <algorithm>

namespace velvane {

int Fader::StepFor(int nFadeTime, int nTimerMs) {
  // In 64 bits, as the values may come from a damaged settings file; a fade longer than 1000
  // ticks still moves one step per tick, so it always ends.
  const long long nTicks = nTimerMs > 0 ? (static_cast<long long>(nFadeTime) * 1000) / nTimerMs : 0;
  return nTicks > 0 ? static_cast<int>(std::max(1000 / nTicks, 1LL)) : 1000;
}

void Fader::Start(FadeRole role, int nDeck, int nSlider, int nStep) {
  m_nStep = nStep;
  Of(role) = Fade{true, nSlider != 1000, nDeck};
}

void Fader::StopAll() {
  m_fades = {};
}

bool Fader::Step(FadeRole role, Decks& decks) {
  Fade& fade = Of(role);
  if (!fade.bRunning || fade.nDeck < 1 || fade.nDeck > kDecks) {
    return false;
  }
  int& nSlider = decks[fade.nDeck - 1].nSlider;
  const int nPosition = nSlider + (fade.bOut ? m_nStep : -m_nStep);
  nSlider = std::clamp(nPosition, 0, 1000);
  fade.bRunning = fade.bOut ? nPosition < 1000 : nPosition > 0;
  return true;
}

}  // namespace velvane
