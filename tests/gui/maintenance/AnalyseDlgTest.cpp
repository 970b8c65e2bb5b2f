#include "gui/maintenance/AnalyseDlg.h"

#include <gtest/gtest.h>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <fstream>

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
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return Control<QPushButton>(CAnalyseDlg::kIdClose)->isEnabled(); }, 10000));
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
