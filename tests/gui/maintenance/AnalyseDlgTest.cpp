#include "gui/maintenance/AnalyseDlg.h"

#include <gtest/gtest.h>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <chrono>
#include <fstream>
#include <thread>

#include "core/main/RadioFixture.h"
#include "gui/common/DialogKit.h"
#include "support/FakeAudioAnalyser.h"

namespace velvane {
namespace {

class AnalyseDlgTest : public RadioFixture {
 protected:
  template <typename T>
  T* Control(int nId) {
    return FindControlAs<T>(m_pDialog.get(), nId);
  }
  // Shows the dialog and lets the event loop run until the run has ended.
  void RunToTheEnd() {
    m_pDialog = std::make_unique<CAnalyseDlg>(m_radio, m_analyser);
    m_pDialog->show();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !m_pDialog->Outcome().empty(); }, 10000));
    EXPECT_EQ(Control<QPushButton>(CAnalyseDlg::kIdStopClose)->text(), "Close");
  }

  FakeAudioAnalyser m_analyser;
  std::unique_ptr<CAnalyseDlg> m_pDialog;
};

TEST_F(AnalyseDlgTest, TheRunShowsItsProgressAndFailuresAndHandsTheResultsOver) {
  for (int t = 1; t <= 6; ++t) {
    AddTrack(3, t, "A", "T" + std::to_string(t), 1000);
  }
  std::ofstream(m_dir.Path() / "music" / "003" / "04 T4.mp3") << "bad";
  RunToTheEnd();
  EXPECT_EQ(Control<QLabel>(CAnalyseDlg::kIdCount)->text(),
            "Analysed 5 music files, 1 could not be analysed");
  const QProgressBar* pProgress = Control<QProgressBar>(CAnalyseDlg::kIdProgress);
  EXPECT_EQ(pProgress->value(), pProgress->maximum());
  QListWidget* pFailures = Control<QListWidget>(CAnalyseDlg::kIdFailures);
  ASSERT_EQ(pFailures->count(), 1);
  EXPECT_EQ(pFailures->item(0)->text(),
            "Music file CD 003 Track 04 could not be analysed (04 T4.mp3): damaged");
  EXPECT_EQ(m_radio.Analysis().Count(), 5u);
  EXPECT_EQ(m_pDialog->Outcome(), "Analysed 5 music files, 1 could not be analysed");
}

// Holds every file until the test lets go, so the test can stop a run under way.
class HeldAnalyser : public FakeAudioAnalyser {
 public:
  bool Analyse(const std::string& strPath, TrackMeasures& measures,
               std::string& strError) override {
    while (!m_bLetGo) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return FakeAudioAnalyser::Analyse(strPath, measures, strError);
  }
  std::atomic<bool> m_bLetGo{false};
};

TEST_F(AnalyseDlgTest, EscapeStopsTheRunAndTheDialogStaysUntilItHasEnded) {
  for (int t = 1; t <= 99; ++t) {
    AddTrack(5, t, "A", "T", 1000);
  }
  HeldAnalyser analyser;
  CAnalyseDlg dialog(m_radio, analyser);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitFor([&dialog] { return dialog.Running(); }, 5000));
  dialog.reject();
  QPushButton* pButton = FindControlAs<QPushButton>(&dialog, CAnalyseDlg::kIdStopClose);
  EXPECT_EQ(pButton->text(), "Stopping...");
  EXPECT_FALSE(pButton->isEnabled());
  EXPECT_TRUE(dialog.isVisible());
  analyser.m_bLetGo = true;
  ASSERT_TRUE(QTest::qWaitFor([&dialog] { return !dialog.Outcome().empty(); }, 10000));
  EXPECT_NE(dialog.Outcome().find("; stopped with "), std::string::npos) << dialog.Outcome();
  EXPECT_EQ(m_radio.Analysis().Count(), static_cast<std::size_t>(analyser.m_nCalls.load()));
  QTest::mouseClick(pButton, Qt::LeftButton);  // now "Close"
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(AnalyseDlgTest, AResultsFileThatCannotBeReadIsTold) {
  AddTrack(3, 1, "A", "T", 1000);
  std::filesystem::create_directory(m_dir.Path() / "db" / "analysis.dat");
  RunToTheEnd();
  EXPECT_EQ(m_pDialog->Outcome(), "The analysis results cannot be read: " +
                                      (m_dir.Path() / "db" / "analysis.dat").string() +
                                      ": not a regular file");
  EXPECT_EQ(m_analyser.m_nCalls, 0);
  EXPECT_EQ(m_radio.Analysis().Count(), 0u);
}

}  // namespace
}  // namespace velvane
