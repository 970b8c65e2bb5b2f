#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "core/db/LineCodec.h"
#include "core/main/RadioFixture.h"
#include "core/search/AutoSelection.h"
#include "core/settings/Settings.h"
#include "gui/ModalDriver.h"
#include "gui/main/CommandLine.h"
#include "gui/main/MainKeys.h"
#include "gui/main/RadioDlg.h"
#include "gui/playback/QueueEditDlg.h"
#include "gui/search/AutoSearchDlg.h"
#include "gui/search/ManualSearchDlg.h"
#include "gui/search/NumberOneDateDlg.h"
#include "gui/settings/AboutDlg.h"
#include "gui/settings/AdminDlg.h"
#include "platform/QtPrompter.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

// The main window over fakes: audio on a virtual clock, a clock standing at Friday 04 December
// 2026 17:59 UTC, scripted message boxes and file dialogs, an in-memory settings store, and a
// database and music folder in a temporary folder.
class RadioDlgTest : public ::testing::Test {
 protected:
  RadioDlgTest() {
    std::filesystem::create_directories(m_dir.Path() / "music" / "001");
    std::filesystem::create_directories(m_dir.Path() / "db");
    m_dir.Write("db/charts.dat", "");
  }

  // Settings as if the administration dialog had saved them once.
  void Install() {
    Settings settings;
    settings.strMusicDir = m_dir.Folder() + "music/";
    settings.strFilesDir = m_dir.Folder() + "db/";
    settings.nPlaySize = settings.nChartSize = 100;
    SaveSettings(m_profile, settings);
  }

  // Library track n of CD 1, one minute long: its record in playlist.dat (by default "Artist n"
  // - "Title n", else the stored bytes given) and its music file, which the fake audio knows.
  void AddTrack(int nTrack, const std::string& strArtist = "", const std::string& strTitle = "") {
    const std::string strNo = std::to_string(nTrack);
    std::ofstream(m_dir.Path() / "db" / "playlist.dat", std::ios::binary | std::ios::app)
        << FormatPlaylistLine({strArtist.empty() ? "Artist " + strNo : strArtist,
                               strTitle.empty() ? "Title " + strNo : strTitle, "1", strNo, -1});
    const std::string strPath =
        (m_dir.Path() / "music" / "001" / ("0" + strNo + " Title " + strNo + ".mp3")).string();
    std::ofstream(strPath).put('x');
    m_mci.AddFile(strPath, 60000);
  }

  // Builds the main window and runs its start-up.
  void Start() {
    m_pDlg = std::make_unique<CRadioDlg>(m_mci, m_clock, m_prompter, m_profile, m_fakes.ports);
    m_pDlg->OnInitDialog();
  }

  // An installed start with tracks 1..n of CD 1 queued in order (no playlist.dat for none).
  void StartInstalled(int nTracks = 0) {
    Install();
    for (int i = 1; i <= nTracks; ++i) {
      AddTrack(i);
    }
    Start();
    for (int i = 1; i <= nTracks; ++i) {
      Queue(1, i);
    }
  }

  RadioCore& Core() { return m_pDlg->Core(); }

  void Queue(int nCD, int nTrack) {
    Core().Queue().AddToQueue(std::to_string(nCD), std::to_string(nTrack), "", "", -1);
  }

  // One timer period of audio, then the timer slot.
  void Tick(int nMilliseconds = 100) {
    m_mci.Advance(nMilliseconds);
    m_pDlg->OnTimer();
  }

  QLabel* Label(int nId) { return Find<QLabel>(nId); }
  QPushButton* Button(int nId) { return Find<QPushButton>(nId); }
  QSlider* Slider(int nId) { return Find<QSlider>(nId); }
  QLineEdit* Edit(int nId) { return Find<QLineEdit>(nId); }
  std::string Text(int nId) { return TextOf(*m_pDlg, nId); }
  QColor TextColour(int nId) { return Label(nId)->palette().color(QPalette::WindowText); }
  QColor Background(int nId) { return Label(nId)->palette().color(QPalette::Window); }

  // Runs `action` and returns the class of the modal dialog it opened over the main window
  // ("" for none); the dialog is cancelled at once, so a wrong one cannot hang the test.
  std::string DialogOpenedBy(const std::function<void()>& action) {
    std::string strClass;
    QObject guard;  // a closer still pending on return is dropped with it
    QTimer::singleShot(0, &guard, [&] {
      if (auto* pDialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        strClass = pDialog->metaObject()->className();
        EXPECT_EQ(pDialog->parentWidget(), m_pDlg.get()) << strClass;
        pDialog->reject();
      }
    });
    action();
    QApplication::processEvents();
    return strClass;
  }
  std::string DialogOpenedBy(int nButtonId) {
    return DialogOpenedBy([&] { Button(nButtonId)->click(); });
  }

  template <typename T>
  T* Find(int nId) {
    T* pControl = FindControlAs<T>(m_pDlg.get(), nId);
    EXPECT_NE(pControl, nullptr) << "control " << nId;
    return pControl;
  }

  TempDir m_dir;
  FakeMci m_mci;
  FakeClock m_clock{2026, 12, 4, 17, 59};
  FakePrompter m_prompter;
  FakeProfileStore m_profile;
  FakeDialogPorts m_fakes;
  FakeFileChooser& m_chooser = m_fakes.chooser;
  std::unique_ptr<CRadioDlg> m_pDlg;
};

using namespace idc;  // the control numbers

const QColor kGreenBackground(170, 240, 175);
const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);
const QColor kGreen(0, 255, 0);

TEST_F(RadioDlgTest, FirstRunTellsTheOperatorBeforeTheWindowShows) {
  bool bAdminRan = false;
  WhenModal<CAdminDlg>([&](CAdminDlg&) {
    bAdminRan = true;
    EXPECT_FALSE(m_pDlg->isVisible());
    EXPECT_FALSE(m_pDlg->Timer().isActive());
  });  // then "Quit"
  Start();

  EXPECT_TRUE(bAdminRan);
  EXPECT_TRUE(m_pDlg->windowState() & Qt::WindowMaximized);
  EXPECT_EQ(m_pDlg->windowTitle().toStdString(), "The ROLV Disco / Radio System");
  EXPECT_TRUE(m_pDlg->Timer().isActive());
  EXPECT_EQ(m_pDlg->Timer().interval(), 100);
  EXPECT_EQ(Text(kFadeAutoField), "Fade:   5     Auto:   2");
  m_pDlg->OnTimer();
  EXPECT_EQ(Text(kClock), "Friday 04 December 2026     17:59");
}

TEST_F(RadioDlgTest, ControlsButtonsMenuEntriesAndClosingWorkAsTheCoreAllows) {
  StartInstalled();
  for (int nSlot = 0; nSlot < kQueueSlots; ++nSlot) {
    for (const int nId : {kQueueCD[nSlot], kQueueTrack[nSlot]}) {
      EXPECT_TRUE(Edit(nId) != nullptr && !Edit(nId)->isEnabled()) << nId;  // never typed in
    }
  }
  EXPECT_EQ(Button(kSaveQueue)->text(), "Save\nPlaylist");
  EXPECT_EQ(Button(kStopCurrentTrack)->text(), "Stop Current\nTrack");

  // Bold fonts, largest for the remaining time, then the clock, then the now-playing texts.
  const auto height = [this](int nId) { return Label(nId)->font().pixelSize(); };
  EXPECT_TRUE(Label(kRemaining)->font().bold());
  EXPECT_GT(height(kRemaining), height(kClock));
  EXPECT_GT(height(kClock), height(kNowArtist));

  // Volume sliders run from full at the top to silent at the bottom; Up moves towards full.
  for (const int nId : {kDeck1Slider, kDeck2Slider, kMasterSlider}) {
    QSlider* pSlider = Slider(nId);
    EXPECT_TRUE(pSlider->invertedAppearance()) << nId;
    pSlider->setValue(500);
    QTest::keyClick(pSlider, Qt::Key_Up);
    EXPECT_LT(pSlider->value(), 500) << nId;
  }

  // charts.dat exists, playlist.dat does not: it is created, not loaded, and cannot be searched.
  EXPECT_EQ(DialogOpenedBy(kManualSearch), "");
  EXPECT_EQ(DialogOpenedBy(kAutoSearch), "");
  EXPECT_EQ(DialogOpenedBy(kSearchNumberOne), "velvane::CNumberOneDateDlg");
  EXPECT_EQ(DialogOpenedBy(kEditPlaylist), "velvane::CQueueEditDlg");

  StartInstalled(1);  // both databases now
  EXPECT_EQ(DialogOpenedBy(kManualSearch), "velvane::CManualSearchDlg");
  EXPECT_EQ(DialogOpenedBy(kAutoSearch), "velvane::CAutoSearchDlg");
  EXPECT_EQ(DialogOpenedBy([&] { m_pDlg->AboutAction()->trigger(); }), "velvane::CAboutDlg");
  Button(kPlayNextTrack)->click();
  EXPECT_EQ(DialogOpenedBy([&] { m_pDlg->AdminAction()->trigger(); }), "");
  Button(kStopAllTracks)->click();
  EXPECT_EQ(DialogOpenedBy([&] { m_pDlg->AdminAction()->trigger(); }), "velvane::CAdminDlg");

  // The window closes only through a close request the core allows.
  m_prompter.m_shown.clear();
  for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
    QTest::keyClick(m_pDlg.get(), key);
    QTest::keyClick(Button(kClearPlaylist), key);
  }
  EXPECT_TRUE(m_pDlg->isVisible());
  EXPECT_TRUE(m_prompter.m_shown.empty());
  m_prompter.m_answers = {PromptAnswer::Cancel, PromptAnswer::Ok};
  EXPECT_FALSE(m_pDlg->close());
  EXPECT_TRUE(m_pDlg->isVisible());
  EXPECT_TRUE(m_pDlg->Timer().isActive());
  EXPECT_TRUE(m_pDlg->close());
  EXPECT_FALSE(m_pDlg->isVisible());
  EXPECT_FALSE(m_pDlg->Timer().isActive());
}

TEST_F(RadioDlgTest, TheQueueGoesThroughSaveClearAndLoadAndSlidersAndButtonsFollowTheCore) {
  StartInstalled(3);
  m_pDlg->OnTimer();
  EXPECT_EQ((Texts{Text(kNowArtist), Text(kNowTitle), Text(kQueueCD[2]), Text(kQueueTrack[2]),
                   Text(kStatusField)}),
            (Texts{"Artist 1", "Title 1", "1", "3", "Ready"}));

  const std::string strFile = m_dir.Folder() + "db/playlist/evening.pla";
  m_chooser.m_answers = {strFile};
  Button(kSaveQueue)->click();
  ASSERT_EQ(m_chooser.m_calls.size(), 1u);
  const FileDialogOptions& save = m_chooser.m_calls[0].options;
  EXPECT_EQ(m_chooser.m_calls[0].kind, FakeFileChooser::Kind::kSaveFile);
  EXPECT_EQ((Texts{save.strTitle, save.strFolder, save.strFilter, save.strDefaultExtension}),
            (Texts{"Save Playlist", m_dir.Folder() + "db/playlist/",
                   "Playlist Files (*.pla)|*.pla|", "pla"}));
  EXPECT_TRUE(std::filesystem::exists(strFile));

  Button(kClearPlaylist)->click();
  EXPECT_EQ((Texts{Text(kNowArtist), Text(kQueueCD[0])}), (Texts{"", ""}));
  m_chooser.m_answers = {strFile};
  Button(kLoadQueue)->click();
  EXPECT_EQ(m_chooser.m_calls.back().kind, FakeFileChooser::Kind::kOpenFile);
  EXPECT_EQ(m_chooser.m_calls.back().options.strTitle, "Open Playlist");
  // Shown at once, not at the next tick.
  EXPECT_EQ((Texts{Text(kNowArtist), Text(kQueueTrack[1])}), (Texts{"Artist 1", "2"}));

  // Slider moves reach the core, and the sliders and the buttons follow it.
  QSlider* pDeck1 = Slider(kDeck1Slider);
  pDeck1->setValue(400);
  Slider(kDeck2Slider)->setValue(300);
  Slider(kMasterSlider)->setValue(200);
  EXPECT_EQ(Core().Display().decks[0].nSlider, 400);
  EXPECT_EQ(Core().Display().decks[1].nSlider, 300);
  EXPECT_EQ(Core().Display().nMasterSlider, 200);

  Button(kPlayNextTrack)->click();
  EXPECT_EQ(pDeck1->value(), 0);  // a starting deck plays at full volume
  EXPECT_FALSE(Button(kPlayNextTrack)->isEnabled());
  EXPECT_FALSE(Button(kPlayCurrentTrack)->isEnabled());

  // A fade moves the slider through the core; shown positions are not fed back as moves.
  QSignalSpy moves(pDeck1, &QSlider::valueChanged);
  Button(kFadeCurrent)->click();
  Tick();
  EXPECT_FALSE(Button(kFadeCurrent)->isEnabled());
  EXPECT_GT(Core().Display().decks[0].nSlider, 0);
  EXPECT_EQ(pDeck1->value(), Core().Display().decks[0].nSlider);
  EXPECT_EQ(moves.count(), 0);
  EXPECT_EQ(Text(kRemaining), "00:59");

  Button(kPlayMode)->click();
  EXPECT_EQ(Text(kPlayModeField), "Auto Play");
}

TEST_F(RadioDlgTest, TextsShowReadableLongLinesKeepTheirStartAndColoursFollowTheDecks) {
  Install();
  const std::string strLong = "Orchestral Manoeuvres In The Dark And Friends";
  AddTrack(1, strLong, strLong);
  AddTrack(2, strLong + " Again", strLong);
  AddTrack(3, "Bj\xC3\xB6rk", "J\xC3\xB3ga");  // UTF-8
  AddTrack(4, "Mot\xF6rhead", "Ace");          // Windows-1252
  Start();
  for (int i = 1; i <= 4; ++i) {
    Queue(1, i);
  }
  Tick();
  EXPECT_EQ(Label(kQueueList)->text(), QString::fromUtf8("03 Björk - Jóga\n04 Motörhead - Ace\n"));
  for (const int nId : {kNowArtist, kNowTitle, kRemaining, kNowChartInfo, kClock, kNextTrack,
                        kNextChartInfo, kNextSpare, kQueueList}) {
    EXPECT_EQ(Background(nId), kGreenBackground) << nId;
    EXPECT_TRUE(Label(nId)->autoFillBackground()) << nId;
    EXPECT_EQ(TextColour(nId), kBlack) << nId;
    EXPECT_EQ(Label(nId)->textFormat(), Qt::PlainText) << nId;  // track texts are not markup
  }
  EXPECT_EQ(Background(kDeck1Lamp), kRed);

  // Next Track: the start of the artist stays, the end gives way to an ellipsis.
  const QString next = Label(kNextTrack)->text();
  EXPECT_TRUE(next.startsWith(QString::fromStdString(strLong + " Again"))) << next.toStdString();
  EXPECT_TRUE(next.endsWith(QChar(0x2026))) << next.toStdString();

  // Deck 1 plays out while deck 2 plays the current track; the last-track line shortens the
  // names, never the countdown.
  Button(kPlayNextTrack)->click();
  Tick();
  Core().Play().OnPlayNextTrack();
  Tick(1000);
  const QString last = Label(kLastTrackLine)->text();
  EXPECT_TRUE(last.startsWith(QStringLiteral(" Last: Orchestral"))) << last.toStdString();
  EXPECT_TRUE(last.endsWith(QChar(0x2026) + QStringLiteral(" (00:58)"))) << last.toStdString();
  EXPECT_EQ(Background(kDeck1Lamp), kYellow);
  EXPECT_EQ(Background(kDeck2Lamp), kGreen);
  Button(kStopAllTracks)->click();

  // Stopping the current track with a track waiting sets the alert; the next start clears it.
  Queue(1, 1);
  Button(kPlayNextTrack)->click();
  Tick();
  Button(kStopCurrentTrack)->click();
  Tick();
  ASSERT_TRUE(Core().Display().bNowPlayingAlert);
  for (const int nId : {kNowArtist, kNowTitle, kRemaining, kNowChartInfo}) {
    EXPECT_EQ(TextColour(nId), kRed) << nId;
  }
  EXPECT_EQ(TextColour(kNextTrack), kBlack);
  Button(kPlayNextTrack)->click();
  EXPECT_EQ(TextColour(kNowArtist), kBlack);
}

TEST_F(RadioDlgTest, FunctionKeysPressTheirButtonsOnlyWhileTheWindowHasTheKeyboard) {
  StartInstalled(3);
  // A key goes to the active window; a closed dialog gives the activation back only later,
  // so the window is made active before a dialog's driver is set up.
  const auto activate = [&] {
    m_pDlg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_pDlg.get()));
  };
  const auto hit = [&](Qt::Key nKey) { QTest::keyClick(m_pDlg.get(), nKey); };
  const auto press = [&](Qt::Key nKey) {
    activate();
    hit(nKey);
  };
  const PlayControl& play = Core().Play();

  press(Qt::Key_F2);  // Play Next Track
  ASSERT_EQ(play.CurrentDeck(), 1);
  press(Qt::Key_F2);  // its button is disabled just after a start: the key is dead as well
  EXPECT_EQ(play.DecksInUse(), 1);
  Core().Play().OnPlayNextTrack();  // deck 1 plays out, deck 2 is current
  m_pDlg->Render();
  press(Qt::Key_F8);  // Fade Last
  EXPECT_TRUE(play.FadeRunning(FadeRole::kLast));
  press(Qt::Key_F7);  // Fade Current
  EXPECT_TRUE(play.FadeRunning(FadeRole::kCurrent));
  press(Qt::Key_F5);  // Stop Last Track
  EXPECT_EQ(play.LastDeck(), 0);
  EXPECT_EQ(play.CurrentDeck(), 2);
  press(Qt::Key_F4);  // Stop Current Track
  EXPECT_EQ(play.DecksInUse(), 0);
  Tick();             // the tick enables "Play Current Track" once nothing plays
  press(Qt::Key_F3);  // Play Current Track
  EXPECT_EQ(play.DecksInUse(), 1);
  press(Qt::Key_F6);  // Stop All Tracks
  EXPECT_EQ(play.DecksInUse(), 0);
  press(Qt::Key_F9);  // Play Mode
  EXPECT_EQ(Text(kPlayModeField), "Auto Play");

  EXPECT_EQ(DialogOpenedBy([&] { hit(Qt::Key_F11); }), "velvane::CAutoSearchDlg");
  // The about box lists every key and still holds all its lines.
  activate();
  WhenModal<CAboutDlg>([&](CAboutDlg& about) {
    QStringList texts;
    for (const QLabel* pLabel : about.findChildren<QLabel*>()) {
      texts << pLabel->text();
      EXPECT_TRUE(about.rect().contains(pLabel->geometry())) << pLabel->text().toStdString();
    }
    for (const MainKey& key : kMainKeys) {
      EXPECT_TRUE(texts.contains(KeyName(key.key))) << key.pAction;
      EXPECT_TRUE(texts.contains(QString::fromUtf8(key.pAction))) << key.pAction;
    }
  });
  hit(Qt::Key_F1);
  // Over an open dialog the window's keys are dead, so a text field there is never disturbed.
  activate();
  WhenModal<CManualSearchDlg>([&](CManualSearchDlg& dialog) {
    QLineEdit* pField = dialog.findChild<QLineEdit*>();
    ASSERT_NE(pField, nullptr);
    pField->setFocus();
    QTest::keyClick(pField, Qt::Key_F2);
    QTest::keyClick(pField, Qt::Key_F9);
    EXPECT_EQ(play.DecksInUse(), 0);
    EXPECT_EQ(play.Mode(), PlayMode::kAuto);
  });
  hit(Qt::Key_F10);  // Manual Search

  for (const MainKey& key : kMainKeys) {
    if (key.nId != kNoId) {
      EXPECT_TRUE(Button(key.nId)->toolTip().contains(KeyName(key.key))) << key.pAction;
    }
  }
}

// Where every numbered control lies in the window.
std::map<int, QRect> Places(QWidget* pWindow) {
  std::map<int, QRect> places;
  for (QWidget* pControl : pWindow->findChildren<QWidget*>()) {
    if (const int nId = ControlId(pControl); nId != kNoId) {
      places[nId] = QRect(pControl->mapTo(pWindow, QPoint(0, 0)), pControl->size());
    }
  }
  return places;
}

TEST_F(RadioDlgTest, TheLayoutFitsTheScreenAndKeepsItsProportionsWhenResized) {
  StartInstalled(1);
  QApplication::processEvents();
  // The window fits the available area of the screen (offscreen: 800 x 600).
  const QRect available = m_pDlg->screen()->availableGeometry();
  EXPECT_TRUE(available.contains(m_pDlg->frameGeometry()));
  const std::map<int, QRect> small = Places(m_pDlg.get());
  EXPECT_EQ(small.size(), 40u + 2 * kQueueSlots);  // every numbered control is there
  for (const auto& [nId, place] : small) {
    EXPECT_TRUE(m_pDlg->rect().contains(place)) << nId;  // the status line included
  }
  const int nSmallTime = Label(kRemaining)->font().pixelSize();
  const double dSmallSlot = Edit(kQueueCD[0])->font().pointSizeF();

  m_pDlg->showNormal();
  m_pDlg->resize(available.width() * 2, available.height() * 2);
  QApplication::processEvents();
  const std::map<int, QRect> large = Places(m_pDlg.get());

  // Every control is the same picture, larger by one factor: places, sizes and fonts.
  const double dFactor =
      static_cast<double>(large.at(kNextPanel).width()) / small.at(kNextPanel).width();
  EXPECT_GT(dFactor, 1.5);
  const QPoint smallOrigin = small.at(kQueuePanel).topLeft();
  const QPoint largeOrigin = large.at(kQueuePanel).topLeft();
  const auto matches = [&](int nLarge, int nSmall) {
    return std::abs(nLarge - nSmall * dFactor) <= 3;
  };
  for (const auto& [nId, place] : small) {
    const QRect moved = large.at(nId).translated(-largeOrigin);
    const QRect from = place.translated(-smallOrigin);
    EXPECT_TRUE(matches(moved.left(), from.left()) && matches(moved.top(), from.top()) &&
                matches(moved.width(), from.width()) && matches(moved.height(), from.height()))
        << nId;
    EXPECT_TRUE(m_pDlg->rect().contains(large.at(nId))) << nId;
  }
  EXPECT_NEAR(Label(kRemaining)->font().pixelSize(), nSmallTime * dFactor, 1.0);
  EXPECT_NEAR(Edit(kQueueCD[0])->font().pointSizeF(), dSmallSlot * dFactor, 0.1);
}

using Action = DesktopCommandLine::Action;

TEST(DesktopCommandLine, HelpAndVersionWinAnythingUnknownIsAUsageErrorAndHelpNamesEveryOption) {
  EXPECT_EQ(ParseDesktopCommandLine({}).action, Action::kRun);
  const DesktopCommandLine demo = ParseDesktopCommandLine({"--demo"});
  EXPECT_EQ(demo.action, Action::kRun);
  EXPECT_TRUE(demo.bDemo);
  EXPECT_EQ(ParseDesktopCommandLine({"--demo", "--help"}).action, Action::kHelp);
  EXPECT_EQ(ParseDesktopCommandLine({"-h"}).action, Action::kHelp);
  EXPECT_EQ(ParseDesktopCommandLine({"--version", "--bogus"}).action, Action::kVersion);

  const DesktopCommandLine bad = ParseDesktopCommandLine({"--demo", "--colour"});
  EXPECT_EQ(bad.action, Action::kUsageError);
  EXPECT_EQ(DesktopUsageError(bad.strError),
            "velvane: unknown option --colour\nusage: velvane [--demo]\n"
            "Run \"velvane --help\" for the options.\n");
  EXPECT_EQ(ParseDesktopCommandLine({"evening.pla"}).strError, "unexpected argument evening.pla");

  // The help has a line for every option.
  const std::string strHelp = DesktopHelp();
  EXPECT_EQ(strHelp.rfind("usage: velvane [--demo]\n", 0), 0u);
  for (const char* pszOption : {"\n  --demo ", "\n  -h, --help ", "\n  --version "}) {
    EXPECT_NE(strHelp.find(pszOption), std::string::npos) << pszOption;
  }
  EXPECT_EQ(DesktopVersion(), "velvane 1.1.1.0\n");
}

// Installed with `cmake --install --prefix ~/.local` after a configure without a prefix, the
// about box used to name the manual under /usr/local, where nothing was.
TEST(AboutDlgTest, TheManualIsFoundFromTheProgramsFolderElseWhereTheBuildMeantToPutIt) {
  const TempDir prefix;
  const QDir root(QString::fromStdString(prefix.Path().string()));
  ASSERT_TRUE(root.mkpath(QStringLiteral("bin")));
  const QString strBin = root.filePath(QStringLiteral("bin"));
  const QString strDocFromBin = QStringLiteral("../share/doc/Velvane");
  const QString strConfigured = QStringLiteral("/usr/local/share/doc/Velvane");
  EXPECT_EQ(ManualPath(strBin, strDocFromBin, strConfigured),
            QStringLiteral("/usr/local/share/doc/Velvane/README.md"));

  ASSERT_TRUE(root.mkpath(QStringLiteral("share/doc/Velvane")));
  prefix.Write("share/doc/Velvane/README.md", "");
  EXPECT_EQ(ManualPath(strBin, strDocFromBin, strConfigured),
            root.filePath(QStringLiteral("share/doc/Velvane/README.md")));
}

// The message box adapter needs a QApplication, so its tests run with the view tests.
TEST(QtPrompterTest, ShowsCaptionTextIconAndButtonsAndReturnsTheChoiceOrTheCancellingOne) {
  using Box = QMessageBox;
  const struct {
    PromptIcon icon;
    PromptButtons buttons;
    Box::Icon boxIcon;
    Box::StandardButtons boxButtons;
    Box::StandardButton press;  // NoButton: Escape
    PromptAnswer answer;
  } cases[] = {
      {PromptIcon::Question, PromptButtons::OkCancel, Box::Question, Box::Ok | Box::Cancel,
       Box::Cancel, PromptAnswer::Cancel},
      {PromptIcon::Exclamation, PromptButtons::YesNoCancel, Box::Warning,
       Box::Yes | Box::No | Box::Cancel, Box::No, PromptAnswer::No},
      {PromptIcon::Question, PromptButtons::YesNo, Box::Question, Box::Yes | Box::No, Box::Yes,
       PromptAnswer::Yes},
      {PromptIcon::Question, PromptButtons::YesNo, Box::Question, Box::Yes | Box::No, Box::NoButton,
       PromptAnswer::No},
      {PromptIcon::Exclamation, PromptButtons::Ok, Box::Warning, Box::Ok, Box::NoButton,
       PromptAnswer::Ok},
  };
  QtPrompter prompter;
  for (const auto& c : cases) {
    WhenModal<QMessageBox>([&c](QMessageBox& box) {
      EXPECT_EQ(box.windowTitle().toStdString(), "The ROLV Disco / Radio System");
      EXPECT_EQ(box.text().toStdString(), "Close the program?");
      EXPECT_EQ(box.icon(), c.boxIcon);
      EXPECT_EQ(box.standardButtons(), c.boxButtons);
      if (c.press == Box::NoButton) {
        QTest::keyClick(&box, Qt::Key_Escape);
      } else {
        box.button(c.press)->click();
      }
    });
    EXPECT_EQ(
        prompter.Show("Close the program?", "The ROLV Disco / Radio System", c.icon, c.buttons),
        c.answer);
  }
}

// The three search dialogs and the queue editor. Each search dialog runs the core's search on its
// own controls, shows the lines and the status the core gives, and queues the line the operator
// picks.
class SearchDlgTest : public SearchDlgFixture {
 protected:
  // Types the texts into the fields and presses Enter in the last one.
  static void Type(QWidget& dialog, const std::vector<std::pair<int, QString>>& fields) {
    QLineEdit* pEdit = nullptr;
    for (const auto& [nId, text] : fields) {
      pEdit = FindControlAs<QLineEdit>(&dialog, nId);
      pEdit->clear();
      QTest::keyClicks(pEdit, text);
    }
    QTest::keyClick(pEdit, Qt::Key_Return);
  }
  static QComboBox* Combo(CAutoSearchDlg& dialog, int nId) {
    return FindControlAs<QComboBox>(&dialog, nId);
  }
  // The operator picks a year from the drop-down list.
  static void Choose(CAutoSearchDlg& dialog, int nId, const QString& year) {
    QComboBox* pCombo = Combo(dialog, nId);
    pCombo->setCurrentIndex(pCombo->findText(year));
    emit pCombo->activated(pCombo->currentIndex());
  }
  static std::string Shown(CAutoSearchDlg& dialog, int nId) {
    return Combo(dialog, nId)->currentText().toStdString();
  }
  // Runs the auto search as the main window does, closing it with `close`; returns the years
  // the core keeps.
  Texts RunAndClose(std::function<void(CAutoSearchDlg&)> close) {
    WhenModal<CAutoSearchDlg>(std::move(close));
    CAutoSearchDlg::Run(m_radio, m_clock, nullptr);
    return {m_radio.AutoSearchYears().strStartYear, m_radio.AutoSearchYears().strEndYear};
  }
};

TEST_F(SearchDlgTest, ManualAndNumberOneSearchesRunOnEnterAndAddWhatCanBeQueued) {
  Record("ABBA", "Waterloo", "12", "3", 0);
  Chart("06/04/1974", "Abba", "Waterloo", "1", 0);
  Record("Bj\xF6rk", "Army Of Me", "7", "2");  // stored in Windows-1252 by an older program
  CManualSearchDlg dialog(m_radio);
  dialog.show();
  Type(dialog, {{CManualSearchDlg::kIdArtist, "b"}, {CManualSearchDlg::kIdTitle, ""}});
  EXPECT_EQ(Lines(dialog), (Texts{"ABBA\tWaterloo\t12\t3\tNo. 1   on   06 April 1974",
                                  "Bj\xC3\xB6rk\tArmy Of Me\t7\t2\t"}));
  EXPECT_EQ(Status(dialog), " 2 tracks found for   b - ");

  Type(dialog, {{CManualSearchDlg::kIdArtist, ""}, {CManualSearchDlg::kIdTitle, ""}});
  EXPECT_EQ(Status(dialog), " Nothing to search for");
  Click(dialog, CManualSearchDlg::kIdAddToList);  // nothing selected: nothing happens
  Select(dialog, 1);                              // the rows behind the kept list are still there
  Click(dialog, CManualSearchDlg::kIdAddToList);
  EXPECT_EQ(Status(dialog), " Bj\xC3\xB6rk - Army Of Me   (added to playlist)");
  DoubleClick(dialog, 0);
  EXPECT_EQ(Queued(&QueueSlot::strCD), (Texts{"7", "12"}));

  // The number one on a date is searched on Enter, and only a queueable answer can be added.
  m_dir.Write("db/hits.dat",
              "01/01/1983\\Men At Work\\Down Under\\5\\2\\\r\n"
              "29/01/1983\\Phil Collins\\You Can't Hurry Love\\0\\0\\\r\n");
  Record("Men At Work", "Down Under", "5", "2");
  CNumberOneDateDlg numberOne(m_radio);
  numberOne.show();
  using D = CNumberOneDateDlg;
  QWidget* pAdd = FindControl(&numberOne, D::kIdAddToPlaylist);
  EXPECT_FALSE(pAdd->isEnabled());
  Type(numberOne, {{D::kIdDate, "15/1/83"}});
  EXPECT_EQ(TextOf(numberOne, D::kIdResult),
            "\nNumber 1 in the charts on 15 January 1983 was\n\nMen At Work - Down Under");
  ASSERT_TRUE(pAdd->isEnabled());
  Click(numberOne, D::kIdAddToPlaylist);
  Click(numberOne, D::kIdAddToPlaylist);
  EXPECT_EQ(TextOf(numberOne, D::kIdResult), " Men At Work - Down Under   (added to playlist)");
  EXPECT_EQ(Queued(&QueueSlot::strCD), (Texts{"7", "12", "5", "5"}));
  Type(numberOne, {{D::kIdDate, "1 2 1983"}});  // CD "0": the library lacks it
  EXPECT_FALSE(pAdd->isEnabled());
  Type(numberOne, {{D::kIdDate, "15/1/83"}});
  Type(numberOne, {{D::kIdDate, "31/12/1982"}});  // no entry that early
  EXPECT_FALSE(pAdd->isEnabled());
}

TEST_F(SearchDlgTest, AutoSearchCombosOfferTheYearsUpToNowKeepStartBeforeEndAndGoBackOnClose) {
  using D = CAutoSearchDlg;
  m_radio.OnAutoSearchClosed({"1960", "1975"});
  {
    D dialog(m_radio, m_clock);
    QComboBox* pStart = Combo(dialog, D::kIdStartYear);
    EXPECT_EQ(pStart->itemText(pStart->count() - 1), "2026");  // up to the clock's year
    EXPECT_EQ((Texts{Shown(dialog, D::kIdStartYear), Shown(dialog, D::kIdEndYear)}),
              (Texts{"1960", "1975"}));
    Choose(dialog, D::kIdStartYear, "1980");
    EXPECT_EQ(Shown(dialog, D::kIdStartYear), "1975");
    Choose(dialog, D::kIdEndYear, "1970");
    EXPECT_EQ(Shown(dialog, D::kIdEndYear), "1975");
  }
  // The close box keeps what a year change read, not what was shown later.
  EXPECT_EQ(RunAndClose([](D& dialog) {
              Choose(dialog, D::kIdEndYear, "1990");
              Combo(dialog, D::kIdStartYear)->setCurrentIndex(0);
              dialog.close();
            }),
            (Texts{"1960", "1990"}));

  // A saved year the combos do not offer survives Esc, but reads as empty at "Quit".
  m_radio.OnAutoSearchClosed({"1950", "1975"});
  EXPECT_EQ(RunAndClose([](D& dialog) {
              EXPECT_EQ(Combo(dialog, D::kIdStartYear)->currentIndex(), -1);
              QTest::keyClick(&dialog, Qt::Key_Escape);
            }),
            (Texts{"1950", "1975"}));
  EXPECT_EQ(RunAndClose([](D& dialog) { Click(dialog, 1); }), (Texts{"", "1975"}));
}

TEST_F(SearchDlgTest, AutoSelectionsAreDrawnWithTheClockSeedAndAddToListQueuesThem) {
  // Three 1970 hits charting for ten weeks each, one 1971 hit, ten tracks that never charted.
  for (int i = 1; i <= 3; ++i) {
    const std::string strNo = std::to_string(i);
    const int nRecord = Record("Hit", strNo, "1", strNo, 0);  // linked: it charted
    for (int nWeek = 10; nWeek < 20; ++nWeek) {
      Chart(std::to_string(nWeek) + "/0" + strNo + "/1970", "Hit", strNo, "1", nRecord);
    }
  }
  Record("Late", "Hit", "2", "1", Chart("01/01/1971", "Late", "Hit", "1", 3));
  for (int i = 1; i <= 10; ++i) {
    Record("Never", std::to_string(i), "3", std::to_string(i));
  }
  m_radio.OnAutoSearchClosed({"1970", "1970"});
  m_clock.Set(2026, 12, 5, 10, 30, 15);
  CAutoSearchDlg dialog(m_radio, m_clock);
  dialog.show();

  // The same draws as the core makes from the same seed.
  Random15 random = SeededFromTime(m_clock);
  auto expectShown = [&](const SelectionResult& expected) {
    Texts lines;
    for (const SearchRow& row : expected.rows) {
      lines.push_back(FormatSearchLine(row));
    }
    EXPECT_EQ(Lines(dialog), lines);
    EXPECT_EQ(Status(dialog), expected.strStatus);
    return expected.rows;
  };
  Click(dialog, CAutoSearchDlg::kIdTop40);
  const std::vector<SearchRow> top40 =
      expectShown(SelectTop40(m_radio.Store(), "1970", "1970", random));
  ASSERT_EQ(top40.size(), 3u);
  DoubleClick(dialog, 1);

  Click(dialog, CAutoSearchDlg::kIdOutOfChart);
  const std::vector<SearchRow> outOfChart = expectShown(SelectOutOfChart(m_radio.Store(), random));
  ASSERT_FALSE(outOfChart.empty());
  Select(dialog, 0);
  Click(dialog, CAutoSearchDlg::kIdAddToList);
  EXPECT_EQ(Status(dialog), " Never - " + outOfChart[0].strTitle + "   (added to playlist)");
  EXPECT_EQ(m_radio.QueueSlotsNow()[0].strTrack, top40[1].strTrack);
  EXPECT_EQ(m_radio.QueueSlotsNow()[1].strTrack, outOfChart[0].strTrack);
}

using Q = CQueueEditDlg;

// Tracks come from RadioFixture::QueueTracks: artists "A", "B", ... with titles "TA", "TB", ...
class QueueEditDlgTest : public RadioFixture {
 protected:
  static QTreeWidget* List(CQueueEditDlg& dialog) {
    return FindControlAs<QTreeWidget>(&dialog, Q::kIdList);
  }
  // The artist column of every line, the selected line marked with '*'.
  static Texts Lines(CQueueEditDlg& dialog) {
    Texts lines;
    for (int i = 0; i < List(dialog)->topLevelItemCount(); ++i) {
      const QTreeWidgetItem* pItem = List(dialog)->topLevelItem(i);
      lines.push_back(((pItem->isSelected() ? "*" : "") + pItem->text(0)).toStdString());
    }
    return lines;
  }
  // Selects a line and presses a button.
  static void Press(CQueueEditDlg& dialog, int nLine, int nId) {
    List(dialog)->setCurrentItem(List(dialog)->topLevelItem(nLine));
    Click(dialog, nId);
  }
};

TEST_F(QueueEditDlgTest, ButtonsMoveAndRemoveTheSelectedLineOfTheCopyButNeverThePlayingTrack) {
  QueueTracks({30000, 30000, 30000, 30000, 30000});
  CQueueEditDlg dialog(m_radio);
  EXPECT_EQ(List(dialog)->topLevelItem(1)->text(1), "TB");
  Press(dialog, -1, Q::kIdMoveUp);  // nothing selected: nothing happens
  EXPECT_EQ(Lines(dialog), (Texts{"A", "B", "C", "D", "E"}));

  Press(dialog, 2, Q::kIdMoveUp);  // the selection follows the moved track
  EXPECT_EQ(Lines(dialog), (Texts{"A", "*C", "B", "D", "E"}));
  Press(dialog, 3, Q::kIdMoveDown);
  EXPECT_EQ(Lines(dialog), (Texts{"A", "C", "B", "E", "*D"}));
  Press(dialog, 1, Q::kIdRemove);
  EXPECT_EQ(Lines(dialog), (Texts{"A", "B", "E", "D"}));
  EXPECT_EQ(Queued(&QueueSlot::strArtist),
            (Texts{"A", "B", "C", "D", "E"}));  // only the copy changed

  m_radio.Play().OnPlayNextTrack();
  CQueueEditDlg playing(m_radio);
  Press(playing, 0, Q::kIdRemove);
  Press(playing, 1, Q::kIdMoveUp);
  EXPECT_EQ(Lines(playing), (Texts{"A", "*B", "C", "D", "E"}));
}

TEST_F(QueueEditDlgTest, SaveWritesTheCopyBackQuitDoesNotAndATrackStartLeavesOnlyQuit) {
  QueueTracks({30000, 30000, 30000});
  WhenModal<CQueueEditDlg>([](CQueueEditDlg& dialog) {
    Press(dialog, 2, Q::kIdRemove);
    Click(dialog, 2);
  });
  CQueueEditDlg::Run(m_radio, nullptr);
  EXPECT_EQ(Queued(&QueueSlot::strArtist), (Texts{"A", "B", "C"}));

  WhenModal<CQueueEditDlg>([](CQueueEditDlg& dialog) {
    Press(dialog, 0, Q::kIdMoveDown);
    Click(dialog, 1);
  });
  CQueueEditDlg::Run(m_radio, nullptr);
  EXPECT_EQ(Queued(&QueueSlot::strArtist), (Texts{"B", "A", "C"}));

  // A track starting under the editor leaves only "Quit".
  WhenModal<CQueueEditDlg>([this](CQueueEditDlg& dialog) {
    Press(dialog, 2, Q::kIdMoveUp);
    m_radio.Play().OnPlayNextTrack();  // as the timer would in auto play
    EXPECT_EQ(dialog.windowTitle(), "Playlist has changed, edit / save has been disabled");
    for (const int nId : {1, Q::kIdList, Q::kIdMoveUp, Q::kIdMoveDown, Q::kIdRemove}) {
      EXPECT_FALSE(FindControl(&dialog, nId)->isEnabled()) << nId;
    }
    EXPECT_TRUE(FindControl(&dialog, 2)->isEnabled());
    Click(dialog, 1);
    EXPECT_TRUE(dialog.isVisible());
  });
  CQueueEditDlg::Run(m_radio, nullptr);
  // The editor is gone: a later track start must not reach it.
  QueueTracks({30000});
  m_radio.BeginQueueEdit();
  m_radio.Play().OnPlayNextTrack();  // would crash on a handler of the destroyed dialog
  m_radio.EndQueueEdit(nullptr);
}

}  // namespace
}  // namespace velvane
