#pragma once

#include <QColor>

#include "core/main/Deck.h"

namespace velvane {

// The main window's colours.
inline const QColor kBackgroundColour(170, 240, 175);  // the coloured fields
inline const QColor kTextColour(0, 0, 0);
inline const QColor kAlertTextColour(255, 0, 0);  // now-playing texts while the alert is set

// A deck lamp: red idle, yellow in use (playing out), green current.
inline QColor LampColour(DeckLamp lamp) {
  switch (lamp) {
    case DeckLamp::kInUse:
      return QColor(255, 255, 0);
    case DeckLamp::kCurrent:
      return QColor(0, 255, 0);
    case DeckLamp::kIdle:
      break;
  }
  return QColor(255, 0, 0);
}

}  // namespace velvane
