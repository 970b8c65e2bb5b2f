#include "gui/main/RadioDlg.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>

#include "core/db/SavedQueue.h"
#include "gui/common/DialogKit.h"
#include "gui/main/RadioDlgColours.h"
#include "gui/playback/QueueEditDlg.h"
#include "gui/search/AutoSearchDlg.h"
#include "gui/search/ManualSearchDlg.h"
#include "gui/search/NumberOneDateDlg.h"
#include "gui/settings/AboutDlg.h"
#include "gui/settings/AdminDlg.h"
#include "gui/settings/AppIcon.h"

namespace velvane {

namespace {

const char* const kQueueFilter = "Playlist Files (*.pla)|*.pla|";
const char* const kQueueExtension = "pla";

// The controls whose text colour follows the now-playing alert.
constexpr int kAlertControls[] = {idc::kNowArtist, idc::kNowTitle, idc::kRemaining,
                                  idc::kNowChartInfo};

}  // namespace

CRadioDlg::CRadioDlg(Mci& mci, Clock& clock, Prompter& prompter, ProfileStore& profile,
                     FileChooser& chooser, QWidget* pParent)
    : QWidget(pParent), m_core(mci, clock, prompter, profile), m_clock(clock), m_chooser(chooser) {
  setWindowTitle(ToDisplay(m_core.m_strTitle));
  QIcon icon;
  for (const int nPixels : {16, 32, 48}) {
    icon.addPixmap(DrawAppIcon(nPixels));
  }
  setWindowIcon(icon);  // the large and the small window icon
  BuildControls();
  BuildMenu();
  ConnectControls();
  connect(&m_timer, &QTimer::timeout, this, &CRadioDlg::OnTimer);
}

CRadioDlg::~CRadioDlg() = default;

void CRadioDlg::OnInitDialog() {
  // The window takes the screen before it shows, so that the first-run administration dialog
  // is centred where the maximised window will be.
  if (const QScreen* pScreen = screen()) {
    setGeometry(pScreen->availableGeometry());
  }
  m_core.OnInitDialog([this] { CAdminDlg::Run(m_core, m_chooser, this); });
  setWindowTitle(ToDisplay(m_core.m_strTitle));
  Render();
  showMaximized();
  m_timer.start(std::max(1, m_core.m_settings.nSystemTimer));
}

void CRadioDlg::ConnectControls() {
  Forward(idc::kPlayNextTrack, &RadioCore::OnPlayNextTrack);
  Forward(idc::kPlayCurrentTrack, &RadioCore::OnPlayCurrentTrack);
  Forward(idc::kStopAllTracks, &RadioCore::OnStopAllTracks);
  Forward(idc::kStopCurrentTrack, &RadioCore::OnStopCurrentTrack);
  Forward(idc::kStopLastTrack, &RadioCore::OnStopLastTrack);
  Forward(idc::kClearPlaylist, &RadioCore::OnClearPlaylist);
  Forward(idc::kFadeCurrent, &RadioCore::OnFadeCurrent);
  Forward(idc::kFadeLast, &RadioCore::OnFadeLast);
  Forward(idc::kPlayMode, &RadioCore::OnPlayMode);
  connect(m_mapButtons.at(idc::kEditPlaylist), &QPushButton::clicked, this,
          &CRadioDlg::OnEditPlaylist);
  connect(m_mapButtons.at(idc::kManualSearch), &QPushButton::clicked, this,
          &CRadioDlg::OnManualSearch);
  connect(m_mapButtons.at(idc::kAutoSearch), &QPushButton::clicked, this, &CRadioDlg::OnAutoSearch);
  connect(m_mapButtons.at(idc::kSearchNumberOne), &QPushButton::clicked, this,
          &CRadioDlg::OnSearchNumberOne);
  connect(m_mapButtons.at(idc::kSaveQueue), &QPushButton::clicked, this, &CRadioDlg::OnSaveQueue);
  connect(m_mapButtons.at(idc::kLoadQueue), &QPushButton::clicked, this, &CRadioDlg::OnLoadQueue);

  connect(m_pDeck1Slider, &QSlider::valueChanged, this,
          [this](int nPosition) { m_core.SetDeckSlider(1, nPosition); });
  connect(m_pDeck2Slider, &QSlider::valueChanged, this,
          [this](int nPosition) { m_core.SetDeckSlider(2, nPosition); });
  connect(m_pMasterSlider, &QSlider::valueChanged, this,
          [this](int nPosition) { m_core.SetMasterSlider(nPosition); });

  connect(m_pAdminAction, &QAction::triggered, this, &CRadioDlg::OnAdmin);
  connect(m_pAboutAction, &QAction::triggered, this, &CRadioDlg::OnAbout);
}

void CRadioDlg::Forward(int nId, void (RadioCore::*pHandler)()) {
  connect(m_mapButtons.at(nId), &QPushButton::clicked, this, [this, pHandler] {
    (m_core.*pHandler)();
    Render();
  });
}

void CRadioDlg::OnTimer() {
  m_core.OnTimer();
  Render();
}

void CRadioDlg::OnAdmin() {
  if (m_core.CanOpenAdmin()) {
    CAdminDlg::Run(m_core, m_chooser, this);
  }
  Render();  // the fade / auto text and the play mode may have changed
}

void CRadioDlg::OnAbout() {
  CAboutDlg(m_core.m_strTitle, m_core.m_strVersion, this).exec();
}

void CRadioDlg::OnEditPlaylist() {
  CQueueEditDlg::Run(m_core, this);
  Render();
}

void CRadioDlg::OnManualSearch() {
  // Both searches read the two databases, so they wait for both files.
  if (m_core.DatabasesOpened()) {
    CManualSearchDlg::Run(m_core, this);
  }
  Render();
}

void CRadioDlg::OnAutoSearch() {
  if (m_core.DatabasesOpened()) {
    CAutoSearchDlg::Run(m_core, m_clock, this);
  }
  Render();
}

void CRadioDlg::OnSearchNumberOne() {
  CNumberOneDateDlg::Run(m_core, this);
  Render();
}

FileDialogOptions CRadioDlg::QueueFileOptions(const char* pszTitle) const {
  return {pszTitle, SavedQueueFolder(m_core.m_settings.strFilesDir), kQueueFilter, kQueueExtension};
}

void CRadioDlg::OnSaveQueue() {
  std::string strPath;
  if (m_chooser.ChooseSaveFile(QueueFileOptions("Save Playlist"), strPath)) {
    SaveQueue(strPath, m_core.m_queue);
  }
  Render();
}

void CRadioDlg::OnLoadQueue() {
  std::string strPath;
  if (m_chooser.ChooseOpenFile(QueueFileOptions("Open Playlist"), strPath)) {
    LoadQueue(strPath, m_core.m_queue);
  }
  Render();
}

void CRadioDlg::Render() {
  const PlayQueue& queue = m_core.m_queue;
  SetText(idc::kNowArtist, queue.m_strNowArtist);
  SetText(idc::kNowTitle, queue.m_strNowTitle);
  SetText(idc::kNowChartInfo, queue.m_strNowChartInfo);
  SetText(idc::kNextTrack, queue.m_strNextTrack);
  SetText(idc::kNextChartInfo, queue.m_strNextChartInfo);
  SetText(idc::kQueueList, queue.m_strQueueList);
  SetText(idc::kRemaining, m_core.m_strRemainingDisplay);
  SetText(idc::kClock, m_core.m_strClockDisplay);
  SetText(idc::kStatusField, m_core.m_strStatus);
  SetText(idc::kLastTrackLine, m_core.m_strLastTrackLine);
  SetText(idc::kFadeAutoField, m_core.m_strFadeAutoText);
  SetText(idc::kPlayModeField, m_core.m_strPlayModeText);

  for (int nSlot = 0; nSlot < kQueueSlots; ++nSlot) {
    const QString cd = ToDisplay(queue.m_strQueueCD[nSlot]);
    const QString track = ToDisplay(queue.m_strQueueTrack[nSlot]);
    if (m_pQueueCD[nSlot]->text() != cd) {
      m_pQueueCD[nSlot]->setText(cd);
    }
    if (m_pQueueTrack[nSlot]->text() != track) {
      m_pQueueTrack[nSlot]->setText(track);
    }
  }

  SetSlider(m_pDeck1Slider, m_core.m_nDeck1Slider);
  SetSlider(m_pDeck2Slider, m_core.m_nDeck2Slider);
  SetSlider(m_pMasterSlider, m_core.m_nMasterSlider);

  SetEnabled(idc::kPlayNextTrack, m_core.m_bPlayNextEnabled);
  SetEnabled(idc::kPlayCurrentTrack, m_core.m_bPlayCurrentEnabled);
  SetEnabled(idc::kFadeCurrent, m_core.m_bFadeCurrentEnabled);
  SetEnabled(idc::kFadeLast, m_core.m_bFadeLastEnabled);

  ShowNowPlayingColour(m_core.m_bNowPlayingAlert);
  ShowLamp(m_pDeck1Lamp, m_core.m_nDeck1Lamp);
  ShowLamp(m_pDeck2Lamp, m_core.m_nDeck2Lamp);
}

void CRadioDlg::SetText(int nId, const std::string& strText) {
  m_mapLabels.at(nId)->setText(ToDisplay(strText));  // QLabel ignores an unchanged text
}

void CRadioDlg::SetSlider(QSlider* pSlider, int nPosition) {
  if (pSlider->isSliderDown() || pSlider->value() == nPosition) {
    return;  // the operator's hand on the slider wins until it is let go
  }
  const QSignalBlocker blocker(pSlider);
  pSlider->setValue(nPosition);
}

void CRadioDlg::SetEnabled(int nId, bool bEnabled) {
  m_mapButtons.at(nId)->setEnabled(bEnabled);
}

void CRadioDlg::ShowNowPlayingColour(bool bAlert) {
  if (bAlert == m_bAlertShown) {
    return;
  }
  m_bAlertShown = bAlert;
  for (const int nId : kAlertControls) {
    QLabel* pLabel = m_mapLabels.at(nId);
    QPalette palette = pLabel->palette();
    palette.setColor(QPalette::WindowText, bAlert ? kAlertTextColour : kTextColour);
    pLabel->setPalette(palette);
  }
}

void CRadioDlg::ShowLamp(QLabel* pLamp, int nLamp) {
  const QColor colour = LampColour(nLamp);
  if (pLamp->palette().color(QPalette::Window) == colour) {
    return;
  }
  QPalette palette = pLamp->palette();
  palette.setColor(QPalette::Window, colour);
  pLamp->setPalette(palette);
}

void CRadioDlg::closeEvent(QCloseEvent* pEvent) {
  if (m_core.OnClose()) {
    m_timer.stop();
    pEvent->accept();
  } else {
    pEvent->ignore();
  }
}

void CRadioDlg::keyPressEvent(QKeyEvent* pEvent) {
  switch (pEvent->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      pEvent->accept();  // ignored in the main window: it closes only through the close request
      return;
    default:
      QWidget::keyPressEvent(pEvent);
  }
}

void CRadioDlg::contextMenuEvent(QContextMenuEvent* pEvent) {
  QMenu menu(this);
  menu.addAction(m_pAdminAction);
  menu.addAction(m_pAboutAction);
  menu.exec(pEvent->globalPos());
}

}  // namespace velvane
