#pragma once

#include <QKeyCombination>
#include <QKeySequence>
#include <QString>

#include "gui/common/DialogKit.h"
#include "gui/main/ControlIds.h"

namespace velvane {

// The main window's keys. The buttons an operator needs on air are on function keys: no text
// field ever takes a function key as typing, so a key press can never be read both as typing
// and as a command, and the keys work wherever the focus is in the main window. They are
// window shortcuts, so while a dialog is open over the window (a search with its text fields)
// they do nothing.
struct MainKey {
  int nId;  // the button the key presses; kNoId for a window menu entry
  QKeyCombination key;
  const char* pAction;
};

inline constexpr QKeyCombination kAboutKey = Qt::Key_F1;
inline constexpr QKeyCombination kAdminKey = Qt::CTRL | Qt::SHIFT | Qt::Key_A;

// Play and stop first, then fades, mode and the two searches, in key order.
inline constexpr MainKey kMainKeys[] = {
    {kNoId, kAboutKey, "About Velvane"},
    {idc::kPlayNextTrack, Qt::Key_F2, "Play Next Track"},
    {idc::kPlayCurrentTrack, Qt::Key_F3, "Play Current Track"},
    {idc::kStopCurrentTrack, Qt::Key_F4, "Stop Current Track"},
    {idc::kStopLastTrack, Qt::Key_F5, "Stop Last Track"},
    {idc::kStopAllTracks, Qt::Key_F6, "Stop All Tracks"},
    {idc::kFadeCurrent, Qt::Key_F7, "Fade Current"},
    {idc::kFadeLast, Qt::Key_F8, "Fade Last"},
    {idc::kPlayMode, Qt::Key_F9, "Play Mode"},
    {idc::kManualSearch, Qt::Key_F10, "Manual Search"},
    {idc::kAutoSearch, Qt::Key_F11, "Auto Search"},
    {kNoId, kAdminKey, "Velvane Admin"},
};

// The key as the operator reads it ("F2", "Ctrl+Shift+A").
inline QString KeyName(QKeyCombination key) {
  return QKeySequence(key).toString(QKeySequence::NativeText);
}

}  // namespace velvane
