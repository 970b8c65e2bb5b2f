#include "core/main/TimerLoop.h"

#include <algorithm>
#include <filesystem>

#include "core/db/NativeFile.h"
#include "core/text/DisplayFormat.h"
#include "core/text/Text.h"

namespace velvane {

TimerLoop::TimerLoop(PlayControl& play, DeckDriver& decks, const PlayQueue& queue,
                     const TrackDatabase& database, const Settings& settings, Clock& clock,
                     MainDisplay& display)
    : m_play(play),
      m_driver(decks),
      m_queue(queue),
      m_database(database),
      m_settings(settings),
      m_clock(clock),
      m_display(display) {}

std::string TimerLoop::StatusText() const {
  std::string strStatus = "Ready";
  if (!m_database.PlaylistLoaded() || !m_database.ChartLoaded()) {
    strStatus = "No Database";
  }
  std::error_code error;
  const bool bMusicFound =
      !m_settings.strMusicDir.empty() &&
      std::filesystem::directory_iterator(PathFromUtf8(m_settings.strMusicDir), error) !=
          std::filesystem::directory_iterator();
  return bMusicFound && !error ? strStatus : "Not Ready";
}

int TimerLoop::RemainingMs(int nDeck, const std::string& strLength,
                           const std::string& strPosition) const {
  const int nLength = Atoi(strLength);
  const int nMusicEnd = m_play.MusicEnd(nDeck);
  if (nMusicEnd == 0) {
    return nLength - Atoi(strPosition);
  }
  // Counted to the music end when that comes first; past it, only silence is left until the
  // deck closes.
  return std::max(std::min(nMusicEnd, nLength) - Atoi(strPosition), 0);
}

LastTrackLine TimerLoop::PlayingOutLine() {
  const int nLastDeck = m_play.LastDeck();
  if (nLastDeck == 0) {
    return {};
  }
  std::string strLength, strPosition;
  m_driver.GetDeckLength(nLastDeck, strLength);
  m_driver.GetDeckPosition(nLastDeck, strPosition);
  const LastTrack& last = m_play.LastTrackPlayed();
  return {" Last: " + FormatArtistTitle(CutBytes(last.strArtist, 36), CutBytes(last.strTitle, 36)),
          " (" + FormatMinSec(RemainingMs(nLastDeck, strLength, strPosition)) + ")"};
}

void TimerLoop::OnTimer() {
  m_play.StartAfterDeadAir();
  m_play.StepFades();
  m_play.SendVolumes();

  for (int nDeck = 1; nDeck <= kDecks; ++nDeck) {
    if (m_driver.GetDeckState(nDeck, m_play.MusicEnd(nDeck)) == DeckState::kAtEnd) {
      m_play.OnDeckFinished(nDeck);
    }
  }
  m_play.UpdateDeckLamps();
  m_display.strStatus = StatusText();
  m_display.lastTrack = PlayingOutLine();

  // The current track (deck 0 when none: the queries fail and read as 0).
  std::string strLength, strPosition;
  m_driver.GetDeckPosition(m_play.CurrentDeck(), strPosition);
  m_driver.GetDeckLength(m_play.CurrentDeck(), strLength);
  const int nPosition = Atoi(strPosition);
  const int nRemaining = RemainingMs(m_play.CurrentDeck(), strLength, strPosition);
  const std::string strPrevRemaining = m_strRemaining;
  m_strRemaining = FormatMinSec(nRemaining);

  if (m_play.DecksInUse() == 0) {
    m_display.bPlayCurrentEnabled = true;
  }
  // The current track has stopped while the next one waits: the operator must act.
  if (nRemaining == 0 && m_queue.HeadStarted() && !m_queue.IsFree(1)) {
    m_display.bNowPlayingAlert = true;
  }

  // Arming and auto change are judged only when the shown time changes, once a second.
  if (m_strRemaining != strPrevRemaining) {
    m_display.strRemaining = m_strRemaining;
    m_play.OnShownTimeChanged(nPosition, nRemaining);
  }

  const SystemTime now = m_clock.NowUtc();
  const std::string strPrevClock = m_strClock;
  m_strClock =
      FormatDate(now.nDayOfWeek, now.nDay, now.nMonth, now.nYear, now.nHour, now.nMinute, true);
  if (m_strClock != strPrevClock) {
    m_display.strClock = m_strClock;
  }
  m_play.TellNowPlaying();  // the queue's next track may have changed
}

}  // namespace velvane
