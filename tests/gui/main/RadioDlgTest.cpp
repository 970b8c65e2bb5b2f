#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <QSignalSpy>
#include <QTest>
#include <filesystem>

#include "core/db/SavedQueue.h"
#include "gui/ModalDriver.h"
#include "gui/main/RadioDlgFixture.h"
#include "gui/search/AutoSearchDlg.h"
#include "gui/search/ManualSearchDlg.h"
#include "gui/search/NumberOneDateDlg.h"
#include "gui/settings/AboutDlg.h"
#include "gui/settings/AdminDlg.h"

namespace velvane {
namespace {

using RadioDlgTest = RadioDlgFixture;

const QColor kGreenBackground(170, 240, 175);
const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);
const QColor kGreen(0, 255, 0);

QColor TextColour(QWidget* pWidget) {
  return pWidget->palette().color(QPalette::WindowText);
}
QColor Background(QWidget* pWidget) {
  return pWidget->palette().color(QPalette::Window);
}

TEST_F(RadioDlgTest, FirstRunTellsTheOperatorBeforeTheWindowShowsAndQuitKeepsTheStartValues) {
  bool bAdminRan = false;
  WhenModal<CAdminDlg>([&](CAdminDlg&) {
    bAdminRan = true;
    ASSERT_EQ(m_prompter.m_shown.size(), 1u);
    EXPECT_EQ(m_prompter.m_shown[0].strText,
              "Files not found. The admin system will now be opened");
    EXPECT_EQ(m_prompter.m_shown[0].strCaption, "The ROLV Disco / Radio System");
    EXPECT_EQ(m_prompter.m_shown[0].icon, PromptIcon::Exclamation);
    EXPECT_FALSE(m_pDlg->isVisible());
    EXPECT_FALSE(m_pDlg->Timer().isActive());
  });  // then "Quit"
  Start();

  EXPECT_TRUE(bAdminRan);
  EXPECT_EQ(m_prompter.m_shown.size(), 1u);
  EXPECT_TRUE(m_pDlg->isVisible());
  EXPECT_TRUE(m_pDlg->windowState() & Qt::WindowMaximized);
  EXPECT_EQ(m_pDlg->windowTitle().toStdString(), "The ROLV Disco / Radio System");
  EXPECT_TRUE(m_pDlg->Timer().isActive());
  EXPECT_EQ(m_pDlg->Timer().interval(), 100);
  EXPECT_EQ(Text(idc::kFadeAutoField), "Fade:   5     Auto:   2");
  EXPECT_EQ(Text(idc::kPlayModeField), "Single Play");
  EXPECT_EQ(Slider(idc::kMasterSlider)->value(), 0);
  EXPECT_FALSE(m_profile.Find("General", "IsInstalled"));  // "Quit" saved nothing

  m_pDlg->OnTimer();
  EXPECT_EQ(Text(idc::kStatusField), "Not Ready");  // no music folder
  EXPECT_EQ(Text(idc::kClock), "Friday 04 December 2026     17:59");
}

TEST_F(RadioDlgTest, EveryControlOfTheLayoutIsThereWithItsNumber) {
  Install();
  Start();
  const int nIds[] = {idc::kPlayNextTrack,    idc::kMasterSlider,      idc::kStopAllTracks,
                      idc::kRemaining,        idc::kQueuePanel,        idc::kManualSearch,
                      idc::kAutoSearch,       idc::kEditPlaylist,      idc::kClearPlaylist,
                      idc::kSaveQueue,        idc::kSearchNumberOne,   idc::kNowTitle,
                      idc::kNowArtist,        idc::kNowPlayingHeading, idc::kNextTrackHeading,
                      idc::kNextPanel,        idc::kLoadQueue,         idc::kClock,
                      idc::kClockPanel,       idc::kNowChartInfo,      idc::kNextTrack,
                      idc::kNextChartInfo,    idc::kNextSpare,         idc::kQueueList,
                      idc::kPlayCurrentTrack, idc::kPlayMode,          idc::kStopCurrentTrack,
                      idc::kDeck1Slider,      idc::kDeck2Slider,       idc::kVolumePanel,
                      idc::kDeck1Lamp,        idc::kDeck2Lamp,         idc::kStopLastTrack,
                      idc::kFadeCurrent,      idc::kFadeLast,          idc::kPlayModeField,
                      idc::kStatusSpare,      idc::kFadeAutoField,     idc::kStatusField,
                      idc::kLastTrackLine};
  for (const int nId : nIds) {
    EXPECT_NE(FindControl(m_pDlg.get(), nId), nullptr) << nId;
  }
  for (int nSlot = 0; nSlot < kQueueSlots; ++nSlot) {
    for (const int nId : {idc::kQueueCD[nSlot], idc::kQueueTrack[nSlot]}) {
      QLineEdit* pEdit = Edit(nId);
      ASSERT_NE(pEdit, nullptr);
      EXPECT_FALSE(pEdit->isEnabled()) << nId;
      EXPECT_EQ(pEdit->alignment() & Qt::AlignHCenter, Qt::AlignHCenter) << nId;
      EXPECT_EQ(pEdit->hasFrame(), nSlot == 0) << nId;
    }
  }
  EXPECT_EQ(Button(idc::kSaveQueue)->text(), "Save\nPlaylist");
  EXPECT_EQ(Button(idc::kStopCurrentTrack)->text(), "Stop Current\nTrack");

  // Relative places: the now-playing column, top to bottom; the volume column on the right.
  EXPECT_LT(Label(idc::kNowArtist)->geometry().bottom(), Label(idc::kNowTitle)->y());
  EXPECT_LT(Label(idc::kNowTitle)->geometry().bottom(), Label(idc::kRemaining)->y());
  EXPECT_LT(Label(idc::kRemaining)->geometry().bottom(), Label(idc::kClock)->y());
  EXPECT_LT(Label(idc::kNowArtist)->geometry().right(), Slider(idc::kDeck1Slider)->x());
  EXPECT_GT(Button(idc::kPlayNextTrack)->height(), 2 * Button(idc::kStopAllTracks)->height());

  // Bold fonts, largest for the remaining time, then the clock, then the now-playing texts.
  const auto height = [this](int nId) {
    return FindControl(m_pDlg.get(), nId)->font().pixelSize();
  };
  EXPECT_TRUE(Label(idc::kRemaining)->font().bold());
  EXPECT_GT(height(idc::kRemaining), height(idc::kClock));
  EXPECT_GT(height(idc::kClock), height(idc::kNowArtist));
  EXPECT_GT(height(idc::kNowArtist), height(idc::kPlayNextTrack));
  EXPECT_EQ(height(idc::kPlayNextTrack), height(idc::kNextTrackHeading));
  EXPECT_GT(height(idc::kPlayNextTrack), height(idc::kStopAllTracks));
  EXPECT_EQ(height(idc::kStopAllTracks), height(idc::kLastTrackLine));
}

TEST_F(RadioDlgTest, VolumeSlidersRunFromFullAtTheTopToSilentAtTheBottom) {
  Install();
  Start();
  for (const int nId : {idc::kDeck1Slider, idc::kDeck2Slider, idc::kMasterSlider}) {
    QSlider* pSlider = Slider(nId);
    EXPECT_EQ(pSlider->orientation(), Qt::Vertical);
    EXPECT_EQ(pSlider->minimum(), 0);
    EXPECT_EQ(pSlider->maximum(), 1000);
    EXPECT_EQ(pSlider->tickInterval(), 100);
    // A vertical QSlider shows its minimum at the bottom unless inverted.
    EXPECT_TRUE(pSlider->invertedAppearance()) << nId;
    // Up moves the handle up, towards full volume.
    pSlider->setValue(500);
    QTest::keyClick(pSlider, Qt::Key_Up);
    EXPECT_LT(pSlider->value(), 500) << nId;
  }
}

TEST_F(RadioDlgTest, ClosingWithADeckInUseIsRefusedWithoutAsking) {
  Install();
  AddTrack(1, 1, "Artist One", "Title One", 60000);
  Start();
  Queue(1, 1);
  Button(idc::kPlayNextTrack)->click();
  ASSERT_TRUE(Core().m_bDeck1InUse);

  EXPECT_FALSE(m_pDlg->close());
  EXPECT_TRUE(m_pDlg->isVisible());
  ASSERT_EQ(m_prompter.m_shown.size(), 1u);
  EXPECT_EQ(m_prompter.m_shown[0].strText,
            "Can't exit while tracks are running. Stop all tracks first");

  Button(idc::kStopAllTracks)->click();
  EXPECT_TRUE(m_pDlg->close());  // the fake answers OK
  EXPECT_EQ(m_prompter.m_shown.back().strText, "Close the program?");
  EXPECT_FALSE(m_pDlg->isVisible());
  EXPECT_FALSE(m_pDlg->Timer().isActive());
}

TEST_F(RadioDlgTest, CancelOnCloseTheProgramKeepsEverythingRunning) {
  Install();
  Start();
  m_prompter.m_answers = {PromptAnswer::Cancel};
  EXPECT_FALSE(m_pDlg->close());
  ASSERT_EQ(m_prompter.m_shown.size(), 1u);
  EXPECT_EQ(m_prompter.m_shown[0].strText, "Close the program?");
  EXPECT_EQ(m_prompter.m_shown[0].icon, PromptIcon::Question);
  EXPECT_EQ(m_prompter.m_shown[0].buttons, PromptButtons::OkCancel);
  EXPECT_TRUE(m_pDlg->isVisible());
  EXPECT_TRUE(m_pDlg->Timer().isActive());
}

TEST_F(RadioDlgTest, EscapeAndEnterDoNothing) {
  Install();
  Start();
  for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
    QTest::keyClick(m_pDlg.get(), key);
    QTest::keyClick(Button(idc::kClearPlaylist), key);
  }
  EXPECT_TRUE(m_pDlg->isVisible());
  EXPECT_TRUE(m_prompter.m_shown.empty());
}

TEST_F(RadioDlgTest, QueuedTracksShowAsNowPlayingNextTrackAndTheList) {
  Install();
  AddTrack(1, 1, "Artist One", "Title One", 60000);
  AddTrack(1, 2, "Artist Two", "Title Two", 60000);
  AddTrack(2, 5, "Artist Three", "Title <b>Three</b>", 60000);
  Start();
  Queue(1, 1);
  Queue(1, 2);
  Queue(2, 5);
  m_pDlg->OnTimer();

  EXPECT_EQ(Text(idc::kNowArtist), "Artist One");
  EXPECT_EQ(Text(idc::kNowTitle), "Title One");
  EXPECT_EQ(Text(idc::kNextTrack), "Artist Two - Title Two");
  EXPECT_EQ(Text(idc::kQueueList), "03 Artist Three - Title <b>Three</b>\n");
  EXPECT_EQ(Label(idc::kQueueList)->textFormat(), Qt::PlainText);
  EXPECT_EQ(Edit(idc::kQueueCD[0])->text(), "1");
  EXPECT_EQ(Edit(idc::kQueueTrack[1])->text(), "2");
  EXPECT_EQ(Edit(idc::kQueueCD[2])->text(), "2");
  EXPECT_EQ(Edit(idc::kQueueTrack[2])->text(), "5");
  EXPECT_EQ(Edit(idc::kQueueCD[3])->text(), "");
  EXPECT_EQ(Text(idc::kStatusField), "Ready");

  Button(idc::kClearPlaylist)->click();
  EXPECT_EQ(Text(idc::kNowArtist), "");
  EXPECT_EQ(Edit(idc::kQueueCD[0])->text(), "");
}

TEST_F(RadioDlgTest, SaveAndLoadPlaylistGoThroughTheFileDialogs) {
  Install();
  AddTrack(1, 1, "Artist One", "Title One", 60000);
  AddTrack(1, 2, "Artist Two", "Title Two", 60000);
  Start();
  Queue(1, 1);
  Queue(1, 2);
  const std::string strFile = m_dir.Folder() + "db/playlist/evening.pla";
  m_chooser.m_answers = {strFile};
  Button(idc::kSaveQueue)->click();
  ASSERT_EQ(m_chooser.m_calls.size(), 1u);
  EXPECT_EQ(m_chooser.m_calls[0].kind, FakeFileChooser::Kind::kSaveFile);
  EXPECT_EQ(m_chooser.m_calls[0].options.strTitle, "Save Playlist");
  EXPECT_EQ(m_chooser.m_calls[0].options.strFolder, m_dir.Folder() + "db/playlist/");
  EXPECT_EQ(m_chooser.m_calls[0].options.strFilter, "Playlist Files (*.pla)|*.pla|");
  EXPECT_EQ(m_chooser.m_calls[0].options.strDefaultExtension, "pla");
  EXPECT_EQ(std::filesystem::file_size(strFile), kSavedQueueBytes);

  Button(idc::kClearPlaylist)->click();
  Button(idc::kLoadQueue)->click();  // cancelled: nothing happens
  EXPECT_EQ(Edit(idc::kQueueCD[0])->text(), "");
  m_chooser.m_answers = {strFile};
  Button(idc::kLoadQueue)->click();
  ASSERT_EQ(m_chooser.m_calls.size(), 3u);
  EXPECT_EQ(m_chooser.m_calls[2].kind, FakeFileChooser::Kind::kOpenFile);
  EXPECT_EQ(m_chooser.m_calls[2].options.strTitle, "Open Playlist");
  EXPECT_EQ(Text(idc::kNowArtist), "Artist One");  // shown at once, not at the next tick
  EXPECT_EQ(Text(idc::kNextTrack), "Artist Two - Title Two");
  EXPECT_EQ(Edit(idc::kQueueTrack[1])->text(), "2");
}

TEST_F(RadioDlgTest, RemainingTimeAndClockFollowTheTicks) {
  Install();
  AddTrack(1, 1, "Artist One", "Title One", 65000);
  Start();
  EXPECT_EQ(Text(idc::kRemaining), "");  // start-up clears the queue as "Clear Playlist" does
  Queue(1, 1);
  Button(idc::kPlayNextTrack)->click();
  Tick();
  EXPECT_EQ(Text(idc::kRemaining), "01:04");
  EXPECT_EQ(Text(idc::kClock), "Friday 04 December 2026     17:59");
  Tick(5000);
  EXPECT_EQ(Text(idc::kRemaining), "00:59");
  m_clock.Set(2026, 12, 5, 0, 1);
  Tick();
  EXPECT_EQ(Text(idc::kClock), "Saturday 05 December 2026     00:01");
  EXPECT_EQ(Text(idc::kLastTrackLine), "");
}

TEST_F(RadioDlgTest, LampsAndAlertColoursFollowTheDecks) {
  Install();
  AddTrack(1, 1, "Artist One", "Title One", 60000);
  AddTrack(1, 2, "Artist Two", "Title Two", 60000);
  AddTrack(1, 3, "Artist Three", "Title Three", 60000);
  Start();
  QLabel* pLamp1 = Label(idc::kDeck1Lamp);
  QLabel* pLamp2 = Label(idc::kDeck2Lamp);
  EXPECT_EQ(Background(pLamp1), kRed);
  EXPECT_EQ(Background(pLamp2), kRed);
  for (const int nId :
       {idc::kNowArtist, idc::kNowTitle, idc::kRemaining, idc::kNowChartInfo, idc::kClock,
        idc::kNextTrack, idc::kNextChartInfo, idc::kNextSpare, idc::kQueueList}) {
    EXPECT_EQ(Background(Label(nId)), kGreenBackground) << nId;
    EXPECT_TRUE(Label(nId)->autoFillBackground()) << nId;
    EXPECT_EQ(TextColour(Label(nId)), kBlack) << nId;
  }

  Queue(1, 1);
  Queue(1, 2);
  Queue(1, 3);
  Button(idc::kPlayNextTrack)->click();
  Tick();
  EXPECT_EQ(Background(pLamp1), kGreen);
  EXPECT_EQ(Background(pLamp2), kRed);
  for (int i = 0; i < 110; ++i) {
    Tick();  // more than ten seconds: "Play Next Track" comes back
  }
  ASSERT_TRUE(Button(idc::kPlayNextTrack)->isEnabled());
  Button(idc::kPlayNextTrack)->click();
  Tick();
  EXPECT_EQ(Background(pLamp1), kYellow);  // playing out as the last track
  EXPECT_EQ(Background(pLamp2), kGreen);
  EXPECT_NE(Text(idc::kLastTrackLine).find(" Last: Artist One - Title One ("), std::string::npos);

  // Stopping the current track with a track waiting sets the now-playing alert.
  Button(idc::kStopLastTrack)->click();
  Button(idc::kStopCurrentTrack)->click();
  Tick();
  ASSERT_TRUE(Core().m_bNowPlayingAlert);
  for (const int nId : {idc::kNowArtist, idc::kNowTitle, idc::kRemaining, idc::kNowChartInfo}) {
    EXPECT_EQ(TextColour(Label(nId)), kRed) << nId;
  }
  EXPECT_EQ(TextColour(Label(idc::kClock)), kBlack);
  EXPECT_EQ(TextColour(Label(idc::kNextTrack)), kBlack);
  EXPECT_EQ(Background(pLamp1), kRed);
  EXPECT_EQ(Background(pLamp2), kRed);

  Button(idc::kPlayNextTrack)->click();
  EXPECT_EQ(TextColour(Label(idc::kNowArtist)), kBlack);
  EXPECT_EQ(TextColour(Label(idc::kRemaining)), kBlack);
}

TEST_F(RadioDlgTest, SlidersAndButtonStatesFollowTheCore) {
  Install();
  AddTrack(1, 1, "Artist One", "Title One", 60000);
  AddTrack(1, 2, "Artist Two", "Title Two", 60000);
  Start();
  Queue(1, 1);
  Queue(1, 2);
  QSlider* pDeck1 = Slider(idc::kDeck1Slider);
  QSlider* pMaster = Slider(idc::kMasterSlider);

  // The operator's moves reach the core.
  pDeck1->setValue(400);
  pMaster->setValue(200);
  EXPECT_EQ(Core().m_nDeck1Slider, 400);
  EXPECT_EQ(Core().m_nMasterSlider, 200);

  Button(idc::kPlayNextTrack)->click();
  EXPECT_EQ(pDeck1->value(), 0);  // a starting deck plays at full volume
  EXPECT_EQ(Core().m_nDeck1Slider, 0);
  EXPECT_FALSE(Button(idc::kPlayNextTrack)->isEnabled());
  EXPECT_FALSE(Button(idc::kPlayCurrentTrack)->isEnabled());
  Tick();
  EXPECT_EQ(m_mci.DeckOf("Track1").nVolume, 800);

  // A fade moves the slider through the core; shown positions are not fed back as moves.
  QSignalSpy moves(pDeck1, &QSlider::valueChanged);
  Button(idc::kFadeCurrent)->click();
  Tick();
  EXPECT_FALSE(Button(idc::kFadeCurrent)->isEnabled());
  EXPECT_EQ(Core().m_nDeck1Slider, 20);  // 5 s fade in 100 ms ticks
  EXPECT_EQ(pDeck1->value(), 20);
  for (int i = 0; i < 100; ++i) {
    Tick();
  }
  EXPECT_EQ(pDeck1->value(), 1000);
  EXPECT_TRUE(Button(idc::kFadeCurrent)->isEnabled());
  EXPECT_EQ(moves.count(), 0);
  EXPECT_TRUE(Button(idc::kPlayNextTrack)->isEnabled());  // played for more than ten seconds

  Button(idc::kPlayMode)->click();
  EXPECT_EQ(Text(idc::kPlayModeField), "Auto Play");
}

TEST_F(RadioDlgTest, AdminIsRefusedWhileATrackIsCurrentAndOpensOtherwise) {
  Install();
  AddTrack(1, 1, "Artist One", "Title One", 60000);
  Start();
  Queue(1, 1);
  Button(idc::kPlayNextTrack)->click();
  m_pDlg->AdminAction()->trigger();  // no dialog may open: a modal would hang the test
  ASSERT_EQ(m_prompter.m_shown.size(), 1u);
  EXPECT_EQ(m_prompter.m_shown[0].strText, "Admin is not available while tracks are playing");

  Button(idc::kStopAllTracks)->click();
  bool bOpened = false;
  WhenModal<CAdminDlg>([&](CAdminDlg& dialog) {
    bOpened = true;
    EXPECT_EQ(dialog.parentWidget(), m_pDlg.get());
  });
  m_pDlg->AdminAction()->trigger();
  EXPECT_TRUE(bOpened);

  bool bAbout = false;
  WhenModal<CAboutDlg>([&](CAboutDlg&) { bAbout = true; });
  m_pDlg->AboutAction()->trigger();
  EXPECT_TRUE(bAbout);
}

TEST_F(RadioDlgTest, SearchButtonsOpenTheirDialogsTheTwoSearchesOnlyWithBothDatabases) {
  Install();
  m_dir.Write("db/playlist.dat", "");
  Start();
  bool bManual = false, bAuto = false, bNumberOne = false;
  WhenModal<CManualSearchDlg>([&](CManualSearchDlg&) { bManual = true; });
  Button(idc::kManualSearch)->click();
  WhenModal<CAutoSearchDlg>([&](CAutoSearchDlg&) { bAuto = true; });
  Button(idc::kAutoSearch)->click();
  WhenModal<CNumberOneDateDlg>([&](CNumberOneDateDlg&) { bNumberOne = true; });
  Button(idc::kSearchNumberOne)->click();
  EXPECT_TRUE(bManual);
  EXPECT_TRUE(bAuto);
  EXPECT_TRUE(bNumberOne);
}

TEST_F(RadioDlgTest, SearchesNeedBothDatabaseFiles) {
  Install();  // charts.dat exists, playlist.dat does not: it is created, but not loaded
  Start();
  bool bOpened = false;
  for (const int nId : {idc::kManualSearch, idc::kAutoSearch}) {
    // Closes any dialog that opens against the rule, so the test cannot hang.
    QTimer::singleShot(0, [&] {
      if (auto* pDialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        bOpened = true;
        pDialog->reject();
      }
    });
    Button(nId)->click();
    QApplication::processEvents();
  }
  EXPECT_FALSE(bOpened);
}

}  // namespace
}  // namespace velvane
