#pragma once

#include <string>

#include "core/db/TrackDatabase.h"
#include "core/main/MainDisplay.h"
#include "core/main/PlayControl.h"
#include "core/playback/DeckDriver.h"
#include "core/ports/Clock.h"
#include "core/settings/Settings.h"

namespace velvane {

// The heartbeat of the main window, one tick every SystemTimer milliseconds: the dead-air
// guard, fades, volumes, ended tracks, lamps, status, the last-track line, the remaining time
// with the auto change, the clock and the now-playing outputs, in this order.
class TimerLoop {
 public:
  TimerLoop(PlayControl& play, DeckDriver& decks, const PlayQueue& queue,
            const TrackDatabase& database, const Settings& settings, Clock& clock,
            MainDisplay& display);

  void OnTimer();

 private:
  // "Ready" with both databases and a music folder that has something in it.
  std::string StatusText() const;
  LastTrackLine PlayingOutLine();
  // What is left of the deck's track, in ms, counted to its music end where that counts.
  int RemainingMs(int nDeck, const std::string& strLength, const std::string& strPosition) const;

  PlayControl& m_play;
  DeckDriver& m_driver;
  const PlayQueue& m_queue;
  const TrackDatabase& m_database;
  const Settings& m_settings;
  Clock& m_clock;
  MainDisplay& m_display;

  std::string m_strRemaining;  // as formatted on the latest tick; shown when it changes
  std::string m_strClock;
};

}  // namespace velvane
