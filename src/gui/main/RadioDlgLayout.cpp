// The controls of the main window (dialog 102): positions in dialog units, ids, fonts and the
// colour table.
#include <QAction>
#include <QFrame>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QVBoxLayout>
#include <cstdlib>

#include "gui/common/DialogKit.h"
#include "gui/main/MainKeys.h"
#include "gui/main/RadioDlg.h"
#include "gui/main/RadioDlgColours.h"

namespace velvane {

namespace {

// Dialog 102 in dialog units.
constexpr int kLayoutWidth = 680;
constexpr int kLayoutHeight = 465;
// Below half its size the window's texts can no longer be read.
constexpr double kMinimumScale = 0.5;

enum class Kind {
  kHeading,       // plain static text
  kFrame,         // grey frame that groups an area
  kSunkenCentre,  // sunken static, text centred
  kSunkenLeft,    // sunken static, text left-aligned
  kQueueList,     // sunken static, several left-aligned lines from the top
  kLamp,          // static without text, coloured by its deck's state
  kButton,
};

struct Control {
  int nId;  // kNoId for the statics without a number
  Kind kind;
  const char* pText;
  int x, y, nWidth, nHeight;
  int nFontHeight;  // bold Arial in pixels; 0 for the dialog font
};

// In creation order: frames first, so that everything else lies above them.
constexpr Control kControls[] = {
    {idc::kQueuePanel, Kind::kFrame, "", 10, 10, 100, 180, 0},
    {idc::kNextPanel, Kind::kFrame, "", 120, 285, 440, 150, 0},
    {idc::kClockPanel, Kind::kFrame, "", 120, 215, 440, 60, 0},
    {idc::kVolumePanel, Kind::kFrame, "", 570, 10, 100, 180, 0},

    {kNoId, Kind::kHeading, "Playlist", 20, 15, 80, 9, 0},
    {kNoId, Kind::kHeading, "CD", 20, 25, 40, 9, 0},
    {kNoId, Kind::kHeading, "Track", 60, 25, 40, 9, 0},

    {idc::kManualSearch, Kind::kButton, "Manual Search", 10, 205, 100, 30, 16},
    {idc::kAutoSearch, Kind::kButton, "Auto Search", 10, 245, 100, 30, 16},
    {idc::kEditPlaylist, Kind::kButton, "Edit Playlist", 10, 285, 100, 30, 16},
    {idc::kSaveQueue, Kind::kButton, "Save\nPlaylist", 10, 325, 50, 30, 16},
    {idc::kLoadQueue, Kind::kButton, "Load\nPlaylist", 60, 325, 50, 30, 16},
    {idc::kClearPlaylist, Kind::kButton, "Clear Playlist", 10, 365, 100, 30, 16},
    {idc::kSearchNumberOne, Kind::kButton, "Search No 1 On Date", 10, 405, 100, 30, 16},

    {idc::kNowPlayingHeading, Kind::kHeading, "Now Playing", 135, 14, 410, 15, 22},
    {idc::kNowArtist, Kind::kSunkenCentre, "", 135, 34, 410, 41, 22},
    {idc::kNowTitle, Kind::kSunkenCentre, "", 135, 80, 410, 40, 22},
    {idc::kRemaining, Kind::kSunkenCentre, "00:00", 135, 125, 410, 40, 52},
    {idc::kNowChartInfo, Kind::kSunkenCentre, "", 135, 170, 410, 15, 16},
    {idc::kClock, Kind::kSunkenCentre, "", 135, 225, 410, 40, 32},
    {idc::kNextTrackHeading, Kind::kHeading, "Next Track", 135, 290, 410, 15, 20},
    {idc::kNextTrack, Kind::kSunkenCentre, "", 135, 305, 410, 15, 16},
    {idc::kNextChartInfo, Kind::kSunkenCentre, "", 135, 320, 410, 15, 16},
    {idc::kNextSpare, Kind::kSunkenCentre, "", 135, 335, 410, 15, 16},
    {idc::kQueueList, Kind::kQueueList, "", 135, 355, 410, 70, 0},

    {kNoId, Kind::kHeading, "Volume Controls", 580, 15, 85, 9, 0},
    {kNoId, Kind::kHeading, "Deck 1 Deck 2    Master", 580, 25, 88, 9, 0},
    {idc::kDeck1Lamp, Kind::kLamp, "", 580, 130, 25, 20, 0},
    {idc::kDeck2Lamp, Kind::kLamp, "", 605, 130, 25, 20, 0},
    {idc::kFadeCurrent, Kind::kButton, "Fade Current", 580, 155, 40, 25, 0},
    {idc::kFadeLast, Kind::kButton, "Fade Last", 620, 155, 40, 25, 0},
    {idc::kStopLastTrack, Kind::kButton, "Stop Last\nTrack", 570, 205, 50, 30, 0},
    {idc::kStopCurrentTrack, Kind::kButton, "Stop Current\nTrack", 620, 205, 50, 30, 0},
    {idc::kStopAllTracks, Kind::kButton, "Stop All Tracks", 570, 245, 100, 30, 16},
    {idc::kPlayNextTrack, Kind::kButton, "Play Next Track", 570, 285, 100, 70, 20},
    {idc::kPlayCurrentTrack, Kind::kButton, "Play Current Track", 570, 365, 100, 30, 16},
    {idc::kPlayMode, Kind::kButton, "Play Mode", 570, 405, 100, 30, 16},

    {idc::kStatusField, Kind::kSunkenLeft, "", 10, 445, 100, 15, 16},
    {idc::kLastTrackLine, Kind::kSunkenLeft, "", 110, 445, 360, 15, 16},
    {idc::kFadeAutoField, Kind::kSunkenLeft, "", 470, 445, 100, 15, 16},
    {idc::kPlayModeField, Kind::kSunkenLeft, "", 570, 445, 100, 15, 16},
    {idc::kStatusSpare, Kind::kSunkenLeft, "", 670, 445, 10, 15, 0},
};

// The colour table: black text on the green background; the first four turn red on alert.
constexpr int kColouredControls[] = {idc::kNowArtist,     idc::kNowTitle,  idc::kRemaining,
                                     idc::kNowChartInfo,  idc::kClock,     idc::kNextTrack,
                                     idc::kNextChartInfo, idc::kNextSpare, idc::kQueueList};

void SetColours(QWidget* pWidget, const QColor& text, const QColor& background) {
  QPalette palette = pWidget->palette();
  palette.setColor(QPalette::WindowText, text);
  palette.setColor(QPalette::Window, background);
  pWidget->setPalette(palette);
  pWidget->setAutoFillBackground(true);
}

QSlider* MakeSlider(DialogBuilder& kit, int nId, UnitRect at) {
  QSlider* pSlider = kit.Place(new QSlider(Qt::Vertical, kit.Parent()), nId, at);
  pSlider->setRange(0, 1000);
  // 0 (full volume) at the top: the keys and the wheel move the handle the way they point.
  pSlider->setInvertedAppearance(true);
  pSlider->setInvertedControls(true);
  pSlider->setTickPosition(QSlider::TicksRight);
  pSlider->setTickInterval(100);
  pSlider->setSingleStep(10);
  pSlider->setPageStep(100);
  return pSlider;
}

// A one-line caption too wide for its button (as "Fade Current" may be in a wide dialog font)
// is shown on two lines, broken at the blank nearest its middle.
void FitCaption(QPushButton* pButton) {
  const QString text = pButton->text();
  const int nRoom = pButton->width() - 6;
  if (text.contains(QLatin1Char('\n')) || pButton->fontMetrics().horizontalAdvance(text) <= nRoom) {
    return;
  }
  qsizetype nBest = -1;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == QLatin1Char(' ') &&
        (nBest < 0 || std::abs(i - text.size() / 2) < std::abs(nBest - text.size() / 2))) {
      nBest = i;
    }
  }
  if (nBest >= 0) {
    pButton->setText(text.left(nBest) + QLatin1Char('\n') + text.mid(nBest + 1));
  }
}

}  // namespace

void CRadioDlg::BuildControls() {
  m_pClient = new QWidget(this);
  DialogBuilder kit(m_pClient);
  m_scaled.emplace(kit.Units(), kLayoutWidth, kLayoutHeight);

  for (const Control& control : kControls) {
    const UnitRect at{control.x, control.y, control.nWidth, control.nHeight};
    const QString text = QString::fromUtf8(control.pText);
    QWidget* pWidget = nullptr;
    if (control.kind == Kind::kButton) {
      QPushButton* pButton = kit.Button(text, control.nId, at);
      pButton->setAutoDefault(false);
      pButton->setDefault(false);
      m_mapButtons[control.nId] = pButton;
      pWidget = pButton;
    } else if (control.kind == Kind::kFrame) {
      QFrame* pFrame = kit.Place(new QFrame(m_pClient), control.nId, at);
      pFrame->setFrameStyle(QFrame::Box | QFrame::Sunken);
      pFrame->setAttribute(Qt::WA_TransparentForMouseEvents);
      pWidget = pFrame;
    } else {
      QLabel* pLabel = kit.Label(text, control.nId, at);
      pLabel->setTextFormat(Qt::PlainText);
      switch (control.kind) {
        case Kind::kSunkenCentre:
          pLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
          pLabel->setAlignment(Qt::AlignCenter);
          // The two tall now-playing fields take a long artist or title on two lines.
          pLabel->setWordWrap(control.nHeight >= 40 && control.nId != idc::kRemaining &&
                              control.nId != idc::kClock);
          break;
        case Kind::kSunkenLeft:
          pLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
          pLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
          break;
        case Kind::kQueueList:
          pLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
          pLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
          break;
        case Kind::kHeading:
          pLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
          break;
        default:
          break;
      }
      if (control.nId != kNoId) {
        m_mapLabels[control.nId] = pLabel;
      }
      pWidget = pLabel;
    }
    if (control.nFontHeight != 0) {
      pWidget->setFont(BoldArial(control.nFontHeight));
    }
    if (control.kind == Kind::kButton) {
      FitCaption(static_cast<QPushButton*>(pWidget));
    }
    m_scaled->Add(pWidget, at);
  }

  // The play queue: twenty edits the operator cannot type into, slot 1 with a border.
  for (int nSlot = 0; nSlot < kQueueSlots; ++nSlot) {
    const int y = 35 + 15 * nSlot;
    for (int nColumn = 0; nColumn < 2; ++nColumn) {
      const UnitRect at{nColumn == 0 ? 20 : 60, y, 40, 12};
      QLineEdit* pEdit =
          kit.Edit(nColumn == 0 ? idc::kQueueCD[nSlot] : idc::kQueueTrack[nSlot], at);
      m_scaled->Add(pEdit, at);
      pEdit->setAlignment(Qt::AlignCenter);
      pEdit->setFrame(nSlot == 0);
      pEdit->setReadOnly(true);
      pEdit->setEnabled(false);
      (nColumn == 0 ? m_pQueueCD : m_pQueueTrack)[nSlot] = pEdit;
    }
  }

  const UnitRect deck1At{580, 35, 25, 90};
  const UnitRect deck2At{605, 35, 25, 90};
  const UnitRect masterAt{635, 35, 25, 115};
  m_pDeck1Slider = MakeSlider(kit, idc::kDeck1Slider, deck1At);
  m_pDeck2Slider = MakeSlider(kit, idc::kDeck2Slider, deck2At);
  m_pMasterSlider = MakeSlider(kit, idc::kMasterSlider, masterAt);
  m_scaled->Add(m_pDeck1Slider, deck1At);
  m_scaled->Add(m_pDeck2Slider, deck2At);
  m_scaled->Add(m_pMasterSlider, masterAt);

  for (const int nId : kColouredControls) {
    SetColours(m_mapLabels.at(nId), kTextColour, kBackgroundColour);
  }
  m_bAlertShown = false;
  m_pDeck1Lamp = m_mapLabels.at(idc::kDeck1Lamp);
  m_pDeck2Lamp = m_mapLabels.at(idc::kDeck2Lamp);
  SetColours(m_pDeck1Lamp, kTextColour, LampColour(DeckLamp::kIdle));
  SetColours(m_pDeck2Lamp, kTextColour, LampColour(DeckLamp::kIdle));

  // The client takes the whole window below the menu bar; the controls follow its size.
  m_pClient->setMinimumSize(m_scaled->Size(kMinimumScale));
  m_pClient->installEventFilter(this);
  auto* pLayout = new QVBoxLayout(this);
  pLayout->setContentsMargins(0, 0, 0, 0);
  pLayout->addWidget(m_pClient, 1);
}

void CRadioDlg::Relayout() {
  const QSize room = m_pClient->size();
  const double dScale = m_scaled->ScaleToFit(room);
  const QSize size = m_scaled->Size(dScale);
  m_scaled->Apply(dScale,
                  QPoint((room.width() - size.width()) / 2, (room.height() - size.height()) / 2));
  Render();  // the one-line fields cut their texts to the new widths
}

void CRadioDlg::BuildMenu() {
  m_pAdminAction = new QAction(QStringLiteral("Velvane Admin"), this);
  m_pAdminAction->setShortcut(QKeySequence(kAdminKey));
  m_pAdminAction->setShortcutContext(Qt::WindowShortcut);
  m_pAboutAction = new QAction(QStringLiteral("About Velvane"), this);
  m_pAboutAction->setShortcut(QKeySequence(kAboutKey));
  m_pAboutAction->setShortcutContext(Qt::WindowShortcut);
  addAction(m_pAdminAction);
  addAction(m_pAboutAction);

  m_pMenuBar = new QMenuBar(this);
  m_pWindowMenu = m_pMenuBar->addMenu(QStringLiteral("&Velvane"));
  m_pWindowMenu->addAction(m_pAdminAction);
  m_pWindowMenu->addAction(m_pAboutAction);
  layout()->setMenuBar(m_pMenuBar);
}

void CRadioDlg::BuildKeys() {
  for (const MainKey& key : kMainKeys) {
    if (key.nId == kNoId) {
      continue;
    }
    QPushButton* pButton = m_mapButtons.at(key.nId);
    auto* pShortcut = new QShortcut(QKeySequence(key.key), this);
    pShortcut->setContext(Qt::WindowShortcut);
    // A key held down presses its button once: a repeat would start or stop a second deck.
    pShortcut->setAutoRepeat(false);
    // A click, so that a disabled button stays as dead under its key as under the mouse.
    connect(pShortcut, &QShortcut::activated, pButton, &QPushButton::click);
    pButton->setToolTip(
        QStringLiteral("%1 (%2)").arg(QString::fromUtf8(key.pAction), KeyName(key.key)));
  }
}

}  // namespace velvane
