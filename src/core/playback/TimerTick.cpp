// The heartbeat of the main window: fades, volumes, ended tracks, remaining time, auto change
// and the clock, in this order on every tick.
#include <filesystem>

#include "core/db/Text.h"
#include "core/playback/DisplayFormat.h"
#include "core/playback/RadioCore.h"

namespace velvane {

namespace {

int DeckVolume(int nDeckSlider, int nMasterSlider) {
  return (1000 - nDeckSlider) * (1000 - nMasterSlider) / 1000;
}

}  // namespace

bool RadioCore::StepFade(int nDeck, bool bOut) {
  const int nPosition = DeckSlider(nDeck) + (bOut ? m_nFadeStep : -m_nFadeStep);
  SetDeckSlider(nDeck, nPosition);
  m_bVolumeDirty = true;
  return bOut ? nPosition < 1000 : nPosition > 0;
}

std::string RadioCore::StatusText() const {
  std::string strStatus = "Ready";
  if (!m_database.PlaylistLoaded() || !m_database.ChartLoaded()) {
    strStatus = "No Database";
  }
  std::error_code error;
  const bool bMusicFound = !m_settings.strMusicDir.empty() &&
                           std::filesystem::directory_iterator(m_settings.strMusicDir, error) !=
                               std::filesystem::directory_iterator();
  return bMusicFound && !error ? strStatus : "Not Ready";
}

void RadioCore::OnTimer() {
  // 1-2: running fades.
  if (m_bFadeCurrent) {
    m_bFadeCurrentEnabled = false;
    if (!StepFade(m_nFadeCurrentDeck, m_bFadeCurrentOut)) {
      m_bFadeCurrent = false;
      m_bFadeCurrentEnabled = true;
    }
  }
  if (m_bFadeLast) {
    m_bFadeLastEnabled = false;
    if (!StepFade(m_nFadeLastDeck, m_bFadeLastOut)) {
      m_bFadeLast = false;
      m_bFadeLastEnabled = true;
    }
  }

  // 3: volumes, sent when a slider moved or a track started.
  m_nPrevSliderSum = m_nSliderSum;
  m_nSliderSum = m_nDeck1Slider + m_nDeck2Slider + m_nMasterSlider;
  if (m_nSliderSum != m_nPrevSliderSum || m_bVolumeDirty) {
    m_bVolumeDirty = false;
    m_decks.SetDeckVolume(1, DeckVolume(m_nDeck1Slider, m_nMasterSlider));
    m_decks.SetDeckVolume(2, DeckVolume(m_nDeck2Slider, m_nMasterSlider));
  }

  // 4-6: ended tracks, lamps, status.
  if (m_decks.GetDeckState(1) == DeckAtEnd) {
    OnDeckFinished(1);
  }
  if (m_decks.GetDeckState(2) == DeckAtEnd) {
    OnDeckFinished(2);
  }
  UpdateDeckLamps();
  m_strStatus = StatusText();

  // 7: the track playing out.
  m_strLastTrackLine.clear();
  if (m_nLastDeck > 0) {
    std::string strLength, strPosition;
    m_decks.GetDeckLength(m_nLastDeck, strLength);
    m_decks.GetDeckPosition(m_nLastDeck, strPosition);
    m_strLastTrackLine = " Last: " + CutBytes(m_strLastArtist, 36) + " - " +
                         CutBytes(m_strLastTitle, 36) + " (" +
                         FormatMinSec(Atoi(strLength) - Atoi(strPosition)) + ")";
  }

  // 8-9: the current track.
  std::string strLength, strPosition;
  m_decks.GetDeckPosition(m_nCurrentDeck, strPosition);
  m_decks.GetDeckLength(m_nCurrentDeck, strLength);
  const int nPosition = Atoi(strPosition);
  const int nRemaining = Atoi(strLength) - nPosition;
  m_strPrevRemaining = m_strRemaining;
  m_strRemaining = FormatMinSec(nRemaining);

  // 10-11.
  const int nInUse = DecksInUse();
  if (nInUse == 0) {
    m_bPlayCurrentEnabled = true;
  }
  if (nRemaining == 0 && m_queue.m_bHeadStarted && !m_queue.IsFree(1)) {
    SetNowPlayingColour(false);
  }

  // 12: once a second, when the shown time changes.
  if (m_strRemaining != m_strPrevRemaining) {
    m_strRemainingDisplay = m_strRemaining;
    if (nPosition > 10000 && nInUse < 2) {
      m_bPlayNextEnabled = true;
      m_bAutoChangeArmed = true;
    }
    if (nRemaining <= m_settings.nAutoTime * 1000 && !m_queue.IsFree(1) && m_bAutoChangeArmed &&
        m_nPlayMode == 1) {
      m_bAutoChangeArmed = false;
      if (m_nLastDeck != 0) {
        OnStopLastTrack();
      }
      AutoChange();
    }
    m_queue.m_bHeadStarted = !m_queue.IsFree(0);
  }

  // 13: the clock, in UTC.
  const SystemTime now = m_clock.NowUtc();
  m_strPrevClock = m_strClock;
  m_strClock =
      FormatDate(now.nDayOfWeek, now.nDay, now.nMonth, now.nYear, now.nHour, now.nMinute, true);
  if (m_strClock != m_strPrevClock) {
    m_strClockDisplay = m_strClock;
  }
}

}  // namespace velvane
