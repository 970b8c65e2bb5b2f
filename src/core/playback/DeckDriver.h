#pragma once

#include <string>

#include "core/ports/DeckGain.h"
#include "core/ports/Mci.h"

namespace velvane {

// What a deck reports about its track.
enum class DeckState { kIdle, kPlaying, kAtEnd };

// The only code that talks to the audio service. Deck N is the alias "TrackN"; the driver keeps
// no state, so a deck exists exactly while its alias is open.
class DeckDriver {
 public:
  // Without a gain port every deck plays at the gain of its file.
  explicit DeckDriver(Mci& mci, DeckGain* pGain = nullptr) : m_mci(mci), m_pGain(pGain) {}

  // Opens the file on the deck and plays it from the start: true if both commands succeeded.
  bool OpenAndPlayDeck(int nDeck, const std::string& strPath);
  // The gain beneath the deck's volume for the tracks it opens from now on, in dB.
  void SetDeckGain(int nDeck, double dGainDb);
  // Volume 0 (silent) to 1000 (full); values outside are clamped.
  void SetDeckVolume(int nDeck, int nVolume);
  // Millisecond texts as the service returns them; empty when it gives no reply.
  void GetDeckPosition(int nDeck, std::string& strPosition);
  void GetDeckLength(int nDeck, std::string& strLength);
  // kIdle when the position is 0, kAtEnd when it equals the length or has reached
  // `nMusicEnd` (ms, 0: not known), else kPlaying.
  DeckState GetDeckState(int nDeck, int nMusicEnd = 0);
  void StopDeck(int nDeck);
  void CloseDeck(int nDeck);
  void StopAndCloseAllDecks();

 private:
  int Send(const std::string& strCommand);
  std::string Query(const std::string& strCommand);

  Mci& m_mci;
  DeckGain* m_pGain;
};

}  // namespace velvane
