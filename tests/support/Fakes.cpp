#include "support/Fakes.h"

#include <sstream>

namespace velvane {

int FakeMci::SendString(const std::string& command, std::string& reply) {
  m_commands.push_back(command);
  reply.clear();
  if (command.rfind("Open \"", 0) == 0) {
    const std::size_t nQuote = command.find("\"  alias ", 6);  // two blanks, as the driver sends
    if (nQuote == std::string::npos) {
      return 1;
    }
    const std::string strPath = command.substr(6, nQuote - 6);
    const std::string strAlias = command.substr(nQuote + 9);
    const auto file = m_files.find(strPath);
    if (IsOpen(strAlias) || file == m_files.end()) {
      return 1;
    }
    m_decks[strAlias] = Deck{strPath, file->second};
    return 0;
  }
  std::istringstream words(command);
  std::string strVerb, strAlias, strWhat;
  words >> strVerb >> strAlias >> strWhat;
  const auto deck = m_decks.find(strAlias);
  if (deck == m_decks.end()) {
    return 1;
  }
  if (strVerb == "Play") {
    deck->second.bPlaying = true;
  } else if (strVerb == "stop") {
    deck->second.bPlaying = false;
  } else if (strVerb == "close") {
    m_decks.erase(deck);
  } else if (strVerb == "setaudio" && strWhat == "volume") {
    std::string strTo;
    words >> strTo >> deck->second.nVolume;
  } else if (strVerb == "status" && strWhat == "position") {
    reply = std::to_string(deck->second.nPosition);
  } else if (strVerb == "status" && strWhat == "length") {
    reply = std::to_string(deck->second.nLength);
  } else {
    return 1;
  }
  return 0;
}

bool FakeTagReader::ReadTags(const std::string& strPath, FileTags& tags) {
  ++m_nReads;
  const std::string strName = strPath.substr(strPath.find_last_of("/\\") + 1);
  const auto it = m_tags.find(strName);
  if (it == m_tags.end()) {
    return false;
  }
  tags = it->second;
  return true;
}

}  // namespace velvane
