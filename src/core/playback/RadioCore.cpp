#include "core/playback/RadioCore.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "core/db/Logs.h"
#include "core/db/Paths.h"
#include "core/settings/ProgramInfo.h"

namespace velvane {

namespace {

// "%N.Ns" with blanks turned into zeros: at most N characters, right-aligned, zero-padded.
std::string ZeroPaddedPrefix(const std::string& strText, std::size_t nWidth) {
  const std::string strCut = strText.substr(0, nWidth);
  return std::string(nWidth - strCut.size(), '0') + strCut;
}

}  // namespace

RadioCore::RadioCore(Mci& mci, Clock& clock, Prompter& prompter, ProfileStore& profile)
    : m_database(m_store, clock, prompter, kProgramTitle),
      m_queue(m_store),
      m_decks(mci),
      m_strTitle(kProgramTitle),
      m_strVersion(kVersionText),
      m_clock(clock),
      m_prompter(prompter),
      m_profile(profile) {}

void RadioCore::SetDeckSlider(int nDeck, int nPosition) {
  const int nClamped = std::clamp(nPosition, 0, 1000);
  if (nDeck == 1) {
    m_nDeck1Slider = nClamped;
  } else if (nDeck == 2) {
    m_nDeck2Slider = nClamped;
  }
}

int RadioCore::DeckSlider(int nDeck) const {
  return nDeck == 1 ? m_nDeck1Slider : (nDeck == 2 ? m_nDeck2Slider : 0);
}

void RadioCore::SetMasterSlider(int nPosition) {
  m_nMasterSlider = std::clamp(nPosition, 0, 1000);
}

bool RadioCore::FindMusicFile(const std::string& strCD, const std::string& strTrack,
                              std::string& strPath) const {
  const std::string strFolder =
      m_settings.strMusicDir + ZeroPaddedPrefix(strCD, 3) + kPathSeparator;
  const std::string strPrefix = ZeroPaddedPrefix(strTrack, 2);
  std::error_code error;
  std::filesystem::directory_iterator entries(strFolder, error);
  if (error) {
    return false;
  }
  // Name order makes the choice among several matching files the same on every machine.
  std::set<std::string> matches;
  for (const auto& entry : entries) {
    const std::string strName = entry.path().filename().string();
    if (strName.rfind(strPrefix, 0) == 0 && entry.is_regular_file(error)) {
      matches.insert(strName);
    }
  }
  if (matches.empty()) {
    return false;
  }
  strPath = strFolder + *matches.begin();
  return true;
}

int RadioCore::ChooseFreeDeck() const {
  if (!m_bDeck1InUse) {
    return 1;
  }
  return m_bDeck2InUse ? 0 : 2;
}

int RadioCore::FadeStep() const {
  const int nTicks =
      m_settings.nSystemTimer > 0 ? (m_settings.nFadeTime * 1000) / m_settings.nSystemTimer : 0;
  // With no whole tick in the fade time the fade ends on the next tick.
  return nTicks > 0 ? 1000 / nTicks : 1000;
}

bool RadioCore::DeckInUse(int nDeck) const {
  return nDeck == 1 ? m_bDeck1InUse : (nDeck == 2 ? m_bDeck2InUse : false);
}

void RadioCore::SetDeckInUse(int nDeck, bool bInUse) {
  if (nDeck == 1) {
    m_bDeck1InUse = bInUse;
  } else if (nDeck == 2) {
    m_bDeck2InUse = bInUse;
  }
}

void RadioCore::StopAndClose(int nDeck) {
  m_decks.StopDeck(nDeck);
  m_decks.CloseDeck(nDeck);
}

void RadioCore::UpdateDeckLamps() {
  m_nDeck1Lamp = m_bDeck1InUse ? LampInUse : LampIdle;
  m_nDeck2Lamp = m_bDeck2InUse ? LampInUse : LampIdle;
  if (m_nCurrentDeck == 1) {
    m_nDeck1Lamp = LampCurrent;
  } else if (m_nCurrentDeck == 2) {
    m_nDeck2Lamp = LampCurrent;
  }
}

void RadioCore::WritePlayLog() {
  velvane::WritePlayLog(m_settings.strFilesDir, m_settings.strLogFile, m_clock,
                        m_queue.m_strQueueArtist[0], m_queue.m_strQueueTitle[0]);
}

void RadioCore::WriteErrorLog(const std::string& strText) {
  velvane::WriteErrorLog(m_settings.strFilesDir, m_clock, strText);
}

}  // namespace velvane
