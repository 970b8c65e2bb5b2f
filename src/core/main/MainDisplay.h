#pragma once

#include <string>

#include "core/main/Deck.h"
#include "core/playback/PlayQueue.h"

namespace velvane {

// The status bar's line for the track playing out: " Last: artist - title" and " (mm:ss)",
// both empty when nothing plays out. The names are UTF-8 for the screen; a view short of room
// shortens them and keeps the countdown whole.
struct LastTrackLine {
  std::string strNames;
  std::string strCountdown;

  std::string Text() const { return strNames + strCountdown; }
};

// Everything the main window shows, as the view renders it after every event.
struct MainDisplay {
  // The queue: the slots' CD and track numbers and the texts built from them.
  QueueSlots queueSlots;
  QueueTexts queue;

  std::string strRemaining = "00:00";  // remaining time of the current track
  std::string strClock;                // UTC date and time
  std::string strStatus;               // "Ready", "No Database", "Not Ready"
  LastTrackLine lastTrack;             // the track playing out, with its remaining time
  std::string strPlayMode;             // "Single Play" / "Auto Play"
  std::string strFadeAuto;             // "Fade:   5     Auto:   2"
  bool bNowPlayingAlert = false;       // the now-playing texts in red

  Decks decks;            // sliders and lamps; index 0 is deck 1
  int nMasterSlider = 0;  // 0 (top, full volume) to 1000 (bottom, silent)

  bool bPlayNextEnabled = true;
  bool bPlayCurrentEnabled = true;
  bool bFadeCurrentEnabled = true;
  bool bFadeLastEnabled = true;
};

}  // namespace velvane
