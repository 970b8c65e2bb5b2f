#pragma once

#include <QTimer>
#include <QWidget>
#include <array>
#include <map>
#include <optional>

#include "core/main/RadioCore.h"
#include "gui/common/DialogKit.h"
#include "gui/common/DialogPorts.h"
#include "gui/main/ControlIds.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QSlider;

namespace velvane {

// The main window: builds the controls of dialog 102 at their dialog-unit positions, forwards
// clicks, slider moves and timer ticks to the core it owns, and after every event shows the
// core's state. No rule lives here.
//
// The window menu entries ("Velvane Admin", "About Velvane") live in a small menu bar
// ("Velvane"), the same two entries on the window's context menu (right click), and the
// shortcuts Ctrl+Shift+A and F1. The play, stop, fade, mode and search buttons have function
// keys (MainKeys.h). Escape and Enter do nothing; the window closes only through
// the close request, which the core may refuse.
//
// The layout of dialog 102 fills the window at whatever size the window has: every control is
// re-placed from its dialog-unit rectangle at one scale, fonts scaled with it, centred where
// the window is wider or taller than the layout's proportions.
class CRadioDlg : public QWidget {
  Q_OBJECT

 public:
  // `pGain` gives each track its gain beneath the deck volumes (see RadioCore).
  CRadioDlg(Mci& mci, Clock& clock, Prompter& prompter, ProfileStore& profile,
            const DialogPorts& ports, DeckGain* pGain = nullptr, QWidget* pParent = nullptr);
  ~CRadioDlg() override;

  // The start-up of the main window: the core's start-up (on a first run the operator is told
  // and the administration dialog runs before the window shows), then the window is shown
  // maximised and the timer starts with the SystemTimer period.
  void OnInitDialog();

  RadioCore& Core() { return m_core; }
  const QTimer& Timer() const { return m_timer; }
  QAction* AdminAction() const { return m_pAdminAction; }
  QAction* AboutAction() const { return m_pAboutAction; }

  // One timer tick: the core's tick, then the window shows the result.
  void OnTimer();
  // Shows the core's state in every control.
  void Render();

  // Window menu commands.
  void OnAdmin();
  void OnAbout();
  // Buttons that open dialogs.
  void OnEditPlaylist();
  void OnManualSearch();
  void OnAutoSearch();
  void OnSearchNumberOne();
  void OnSaveQueue();
  void OnLoadQueue();

 protected:
  void closeEvent(QCloseEvent* pEvent) override;
  void keyPressEvent(QKeyEvent* pEvent) override;
  void contextMenuEvent(QContextMenuEvent* pEvent) override;
  bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

 private:
  // RadioDlgLayout.cpp: every control at its place, with its id, font and colours.
  void BuildControls();
  void BuildMenu();
  // The function keys of the buttons, each named in its button's tooltip (see MainKeys.h).
  void BuildKeys();
  void ConnectControls();
  // Places the layout at the largest scale that fits the client area.
  void Relayout();
  // A button that runs a core handler and then shows the new state.
  void Forward(int nId, void (PlayControl::*pHandler)());

  // The file dialog of "Save Playlist" / "Load Playlist": .pla files in the queue folder.
  FileDialogOptions QueueFileOptions(const char* pszTitle) const;
  // Shows stored or core text in a label; `strKeep` follows it and is never cut to fit.
  void SetText(int nId, const std::string& strText, const std::string& strKeep = {});
  void SetSlider(QSlider* pSlider, int nPosition);
  void SetEnabled(int nId, bool bEnabled);
  void ShowNowPlayingColour(bool bAlert);
  void ShowLamp(QLabel* pLamp, DeckLamp lamp);

  RadioCore m_core;
  Clock& m_clock;
  DialogPorts m_ports;
  QTimer m_timer;

  QWidget* m_pClient = nullptr;  // holds the 680 x 465 dialog units of dialog 102
  std::optional<ScaledLayout> m_scaled;
  QMenuBar* m_pMenuBar = nullptr;
  QMenu* m_pWindowMenu = nullptr;
  QAction* m_pAdminAction = nullptr;
  QAction* m_pAboutAction = nullptr;

  std::map<int, QLabel*> m_mapLabels;
  std::map<int, QPushButton*> m_mapButtons;
  std::array<QLineEdit*, kQueueSlots> m_pQueueCD{};
  std::array<QLineEdit*, kQueueSlots> m_pQueueTrack{};
  QSlider* m_pDeck1Slider = nullptr;
  QSlider* m_pDeck2Slider = nullptr;
  QSlider* m_pMasterSlider = nullptr;
  QLabel* m_pDeck1Lamp = nullptr;
  QLabel* m_pDeck2Lamp = nullptr;
  bool m_bAlertShown = false;
};

}  // namespace velvane
