#include "core/playback/DeckDriver.h"

#include <algorithm>

#include "core/text/Text.h"

namespace velvane {

namespace {

std::string Alias(int nDeck) {
  return "Track" + std::to_string(nDeck);
}

}  // namespace

int DeckDriver::Send(const std::string& strCommand) {
  std::string reply;
  return m_mci.SendString(strCommand, reply);
}

std::string DeckDriver::Query(const std::string& strCommand) {
  std::string reply;
  m_mci.SendString(strCommand, reply);  // a failed query leaves the reply empty
  return reply;
}

bool DeckDriver::OpenAndPlayDeck(int nDeck, const std::string& strPath) {
  const std::string alias = Alias(nDeck);
  if (Send("Open \"" + strPath + "\"  alias " + alias) != 0) {
    return false;
  }
  return Send("Play " + alias) == 0;
}

void DeckDriver::SetDeckGain(int nDeck, double dGainDb) {
  if (m_pGain != nullptr) {
    m_pGain->SetGain(Alias(nDeck), dGainDb);
  }
}

void DeckDriver::SetDeckVolume(int nDeck, int nVolume) {
  Send("setaudio " + Alias(nDeck) + " volume to " + std::to_string(std::clamp(nVolume, 0, 1000)));
}

void DeckDriver::GetDeckPosition(int nDeck, std::string& strPosition) {
  strPosition = Query("status " + Alias(nDeck) + " position");
}

void DeckDriver::GetDeckLength(int nDeck, std::string& strLength) {
  strLength = Query("status " + Alias(nDeck) + " length");
}

DeckState DeckDriver::GetDeckState(int nDeck, int nMusicEnd) {
  std::string strLength, strPosition;
  GetDeckLength(nDeck, strLength);
  GetDeckPosition(nDeck, strPosition);
  const int nPosition = Atoi(strPosition);
  if (nPosition == 0) {
    return DeckState::kIdle;
  }
  if (nMusicEnd > 0 && nPosition >= nMusicEnd) {
    return DeckState::kAtEnd;  // only silence is left
  }
  return nPosition == Atoi(strLength) ? DeckState::kAtEnd : DeckState::kPlaying;
}

void DeckDriver::StopDeck(int nDeck) {
  Send("stop " + Alias(nDeck));
}

void DeckDriver::CloseDeck(int nDeck) {
  Send("close " + Alias(nDeck));
}

void DeckDriver::StopAndCloseAllDecks() {
  StopDeck(1);
  StopDeck(2);
  CloseDeck(1);
  CloseDeck(2);
}

}  // namespace velvane
