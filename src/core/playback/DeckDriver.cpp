#include "core/playback/DeckDriver.h"

#include <algorithm>

#include "core/db/Text.h"

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

int DeckDriver::OpenAndPlayDeck(int nDeck, std::string strPath) {
  const std::string alias = Alias(nDeck);
  if (Send("Open \"" + strPath + "\"  alias " + alias) != 0) {
    return 0;
  }
  return Send("Play " + alias) == 0 ? 1 : 0;
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

int DeckDriver::GetDeckState(int nDeck) {
  std::string strLength, strPosition;
  GetDeckLength(nDeck, strLength);
  GetDeckPosition(nDeck, strPosition);
  const int nPosition = Atoi(strPosition);
  if (nPosition == 0) {
    return DeckIdle;
  }
  return nPosition == Atoi(strLength) ? DeckAtEnd : DeckPlaying;
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
