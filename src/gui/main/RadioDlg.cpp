#include "gui/main/RadioDlg.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>

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

// The width a label's text may take: its contents less the indent a framed label keeps.
int TextRoom(const QLabel* pLabel) {
  int nIndent = pLabel->indent();
  if (nIndent < 0) {
    nIndent = pLabel->frameWidth() > 0
                  ? pLabel->fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2
                  : 0;
  }
  return pLabel->contentsRect().width() - 2 * (pLabel->margin() + nIndent);
}

// A line too long for its label is cut at the end with an ellipsis, so its start stays in
// view; `keep` (a countdown) follows it whole.
QString FitLine(const QLabel* pLabel, const QString& line, const QString& keep) {
  const QFontMetrics metrics = pLabel->fontMetrics();
  const int nRoom = std::max(0, TextRoom(pLabel) - metrics.horizontalAdvance(keep));
  return metrics.elidedText(line, Qt::ElideRight, nRoom) + keep;
}

}  // namespace

CRadioDlg::CRadioDlg(Mci& mci, Clock& clock, Prompter& prompter, ProfileStore& profile,
                     const DialogPorts& ports, DeckGain* pGain, QWidget* pParent)
    : QWidget(pParent),
      m_core(mci, clock, prompter, profile, pGain, ports.makeHttp),
      m_clock(clock),
      m_ports(ports) {
  setWindowTitle(ToDisplay(m_core.Title()));
  QIcon icon;
  for (const int nPixels : {16, 32, 48}) {
    icon.addPixmap(DrawAppIcon(nPixels));
  }
  setWindowIcon(icon);  // the large and the small window icon
  BuildControls();
  BuildMenu();
  BuildKeys();
  ConnectControls();
  connect(&m_timer, &QTimer::timeout, this, &CRadioDlg::OnTimer);
}

CRadioDlg::~CRadioDlg() = default;

void CRadioDlg::OnInitDialog() {
  // The window takes the screen before it shows, so that the first-run administration dialog
  // is centred where the maximised window will be. Even its smallest size must fit there.
  if (const QScreen* pScreen = screen()) {
    const QRect available = pScreen->availableGeometry();
    m_pClient->setMinimumSize(m_pClient->minimumSize().boundedTo(
        available.size() - QSize(0, m_pMenuBar->sizeHint().height())));
    setGeometry(available);
  }
  m_core.OnInitDialog([this] { CAdminDlg::Run(m_core, m_ports, this); });
  setWindowTitle(ToDisplay(m_core.Title()));
  Render();
  showMaximized();
  m_timer.start(std::max(1, m_core.GetSettings().nSystemTimer));
}

void CRadioDlg::ConnectControls() {
  Forward(idc::kPlayNextTrack, &PlayControl::OnPlayNextTrack);
  Forward(idc::kPlayCurrentTrack, &PlayControl::OnPlayCurrentTrack);
  Forward(idc::kStopAllTracks, &PlayControl::OnStopAllTracks);
  Forward(idc::kStopCurrentTrack, &PlayControl::OnStopCurrentTrack);
  Forward(idc::kStopLastTrack, &PlayControl::OnStopLastTrack);
  Forward(idc::kClearPlaylist, &PlayControl::OnClearPlaylist);
  Forward(idc::kFadeCurrent, &PlayControl::OnFadeCurrent);
  Forward(idc::kFadeLast, &PlayControl::OnFadeLast);
  Forward(idc::kPlayMode, &PlayControl::OnPlayMode);
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
          [this](int nPosition) { m_core.Play().SetDeckSlider(1, nPosition); });
  connect(m_pDeck2Slider, &QSlider::valueChanged, this,
          [this](int nPosition) { m_core.Play().SetDeckSlider(2, nPosition); });
  connect(m_pMasterSlider, &QSlider::valueChanged, this,
          [this](int nPosition) { m_core.Play().SetMasterSlider(nPosition); });

  connect(m_pAdminAction, &QAction::triggered, this, &CRadioDlg::OnAdmin);
  connect(m_pAboutAction, &QAction::triggered, this, &CRadioDlg::OnAbout);
}

void CRadioDlg::Forward(int nId, void (PlayControl::*pHandler)()) {
  connect(m_mapButtons.at(nId), &QPushButton::clicked, this, [this, pHandler] {
    (m_core.Play().*pHandler)();
    Render();
  });
}

void CRadioDlg::OnTimer() {
  m_core.OnTimer();
  Render();
}

void CRadioDlg::OnAdmin() {
  if (m_core.CanOpenAdmin()) {
    CAdminDlg::Run(m_core, m_ports, this);
  }
  Render();  // the fade / auto text and the play mode may have changed
}

void CRadioDlg::OnAbout() {
  CAboutDlg(m_core.Title(), m_core.Version(), this).exec();
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
  return {pszTitle, m_core.SavedQueueFolder(), kQueueFilter, kQueueExtension};
}

void CRadioDlg::OnSaveQueue() {
  std::string strPath;
  if (m_ports.chooser.ChooseSaveFile(QueueFileOptions("Save Playlist"), strPath)) {
    m_core.OnSaveQueue(strPath);
  }
  Render();
}

void CRadioDlg::OnLoadQueue() {
  std::string strPath;
  if (m_ports.chooser.ChooseOpenFile(QueueFileOptions("Open Playlist"), strPath)) {
    m_core.OnLoadQueue(strPath);
  }
  Render();
}

void CRadioDlg::Render() {
  const MainDisplay& display = m_core.Display();
  SetText(idc::kNowArtist, display.queue.strNowArtist);
  SetText(idc::kNowTitle, display.queue.strNowTitle);
  SetText(idc::kNowChartInfo, display.queue.strNowChartInfo);
  SetText(idc::kNextTrack, display.queue.strNextTrack);
  SetText(idc::kNextChartInfo, display.queue.strNextChartInfo);
  SetText(idc::kQueueList, display.queue.strQueueList);
  SetText(idc::kRemaining, display.strRemaining);
  SetText(idc::kClock, display.strClock);
  SetText(idc::kStatusField, display.strStatus);
  SetText(idc::kLastTrackLine, display.lastTrack.strNames, display.lastTrack.strCountdown);
  SetText(idc::kFadeAutoField, display.strFadeAuto);
  SetText(idc::kPlayModeField, display.strPlayMode);

  for (int nSlot = 0; nSlot < kQueueSlots; ++nSlot) {
    const QString cd = ToDisplay(display.queueSlots[nSlot].strCD);
    const QString track = ToDisplay(display.queueSlots[nSlot].strTrack);
    if (m_pQueueCD[nSlot]->text() != cd) {
      m_pQueueCD[nSlot]->setText(cd);
    }
    if (m_pQueueTrack[nSlot]->text() != track) {
      m_pQueueTrack[nSlot]->setText(track);
    }
  }

  SetSlider(m_pDeck1Slider, display.decks[0].nSlider);
  SetSlider(m_pDeck2Slider, display.decks[1].nSlider);
  SetSlider(m_pMasterSlider, display.nMasterSlider);

  SetEnabled(idc::kPlayNextTrack, display.bPlayNextEnabled);
  SetEnabled(idc::kPlayCurrentTrack, display.bPlayCurrentEnabled);
  SetEnabled(idc::kFadeCurrent, display.bFadeCurrentEnabled);
  SetEnabled(idc::kFadeLast, display.bFadeLastEnabled);

  ShowNowPlayingColour(display.bNowPlayingAlert);
  ShowLamp(m_pDeck1Lamp, display.decks[0].lamp);
  ShowLamp(m_pDeck2Lamp, display.decks[1].lamp);
}

void CRadioDlg::SetText(int nId, const std::string& strText, const std::string& strKeep) {
  QLabel* pLabel = m_mapLabels.at(nId);
  QString text = ToDisplay(strText);
  if (!pLabel->wordWrap()) {
    // One-line fields, and each line of the queue list, cut what does not fit at the end.
    QStringList lines = text.split(QLatin1Char('\n'));
    const QString keep = ToDisplay(strKeep);
    for (qsizetype i = 0; i < lines.size(); ++i) {
      lines[i] = FitLine(pLabel, lines[i], i + 1 == lines.size() ? keep : QString());
    }
    text = lines.join(QLatin1Char('\n'));
  }
  pLabel->setText(text);  // QLabel ignores an unchanged text
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

void CRadioDlg::ShowLamp(QLabel* pLamp, DeckLamp lamp) {
  const QColor colour = LampColour(lamp);
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

bool CRadioDlg::eventFilter(QObject* pWatched, QEvent* pEvent) {
  if (pWatched == m_pClient && pEvent->type() == QEvent::Resize) {
    Relayout();
  }
  return QWidget::eventFilter(pWatched, pEvent);
}

void CRadioDlg::contextMenuEvent(QContextMenuEvent* pEvent) {
  QMenu menu(this);
  menu.addAction(m_pAdminAction);
  menu.addAction(m_pAboutAction);
  menu.exec(pEvent->globalPos());
}

}  // namespace velvane
