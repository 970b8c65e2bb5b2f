#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/ports/DeckGain.h"
#include "core/ports/Mci.h"

namespace velvane {

// An audio service on a virtual clock: files are known by path with a length, decks play only
// while the test moves time forward, and every command is recorded. Failed commands answer 1.
// Gains are kept per alias, apart from the commands.
class FakeMci : public Mci, public DeckGain {
 public:
  struct Deck {
    std::string strPath;
    int nLength = 0;
    int nPosition = 0;
    bool bPlaying = false;
    int nVolume = 1000;
  };

  void AddFile(const std::string& strPath, int nLengthMs) { m_files[strPath] = nLengthMs; }
  // Moves time on; playing decks advance and stop at their end.
  void Advance(int nMilliseconds) {
    for (auto& [alias, deck] : m_decks) {
      deck.nPosition =
          deck.bPlaying ? std::min(deck.nPosition + nMilliseconds, deck.nLength) : deck.nPosition;
    }
  }
  int SendString(const std::string& command, std::string& reply) override;
  void SetGain(const std::string& strAlias, double dGainDb) override {
    m_gains[strAlias] = dGainDb;
  }

  bool IsOpen(const std::string& strAlias) const { return m_decks.count(strAlias) != 0; }
  const Deck& DeckOf(const std::string& strAlias) const { return m_decks.at(strAlias); }
  // The commands sent since the last call, and forgets them.
  std::vector<std::string> TakeCommands() { return std::exchange(m_commands, {}); }

  std::map<std::string, int> m_files;
  std::map<std::string, Deck> m_decks;
  std::vector<std::string> m_commands;
  std::map<std::string, double> m_gains;
};

}  // namespace velvane
