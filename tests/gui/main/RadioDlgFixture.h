#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "core/db/LineCodec.h"
#include "core/settings/Settings.h"
#include "gui/FakeDialogPorts.h"
#include "gui/ModalDriver.h"
#include "gui/main/RadioDlg.h"
#include "support/FakeClock.h"
#include "support/FakeMci.h"
#include "support/FakeProfileStore.h"
#include "support/FakePrompter.h"
#include "support/TempDir.h"

namespace velvane {

// The main window over fakes: audio on a virtual clock, a clock standing at Friday 04 December
// 2026 17:59 UTC, scripted message boxes and file dialogs, an in-memory settings store, and a
// database and music folder in a temporary folder.
class RadioDlgFixture : public ::testing::Test {
 protected:
  RadioDlgFixture() {
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

}  // namespace velvane
