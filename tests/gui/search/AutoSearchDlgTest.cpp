#include "gui/search/AutoSearchDlg.h"

#include <QComboBox>

#include "core/search/AutoSelection.h"
#include "gui/ModalDriver.h"
#include "gui/search/SearchDlgFixture.h"

namespace velvane {
namespace {

class AutoSearchDlgTest : public SearchDlgFixture {
 protected:
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
  // Runs the dialog as the main window does, closing it with `close`.
  Texts RunAndClose(std::function<void(CAutoSearchDlg&)> close) {
    WhenModal<CAutoSearchDlg>(std::move(close));
    CAutoSearchDlg::Run(m_radio, m_clock, nullptr);
    return {m_radio.AutoSearchYears().strStartYear, m_radio.AutoSearchYears().strEndYear};
  }
};

TEST_F(AutoSearchDlgTest, CombosOfferTheYearsUpToNowAndKeepStartBeforeEnd) {
  m_radio.OnAutoSearchClosed({"1960", "1975"});
  CAutoSearchDlg dialog(m_radio, m_clock);
  QComboBox* pStart = Combo(dialog, CAutoSearchDlg::kIdStartYear);
  EXPECT_EQ(pStart->itemText(pStart->count() - 1), "2026");  // up to the clock's year
  EXPECT_EQ(Shown(dialog, CAutoSearchDlg::kIdStartYear), "1960");
  EXPECT_EQ(Shown(dialog, CAutoSearchDlg::kIdEndYear), "1975");

  Choose(dialog, CAutoSearchDlg::kIdStartYear, "1980");
  EXPECT_EQ(Shown(dialog, CAutoSearchDlg::kIdStartYear), "1975");
  Choose(dialog, CAutoSearchDlg::kIdEndYear, "1970");
  EXPECT_EQ(Shown(dialog, CAutoSearchDlg::kIdEndYear), "1975");
}

TEST_F(AutoSearchDlgTest, TheYearsLastReadGoBackHoweverTheDialogCloses) {
  // A saved year the combos do not offer survives Esc, but reads as empty at "Quit".
  m_radio.OnAutoSearchClosed({"1950", "1975"});
  EXPECT_EQ(RunAndClose([](CAutoSearchDlg& dialog) {
              EXPECT_EQ(Combo(dialog, CAutoSearchDlg::kIdStartYear)->currentIndex(), -1);
              QTest::keyClick(&dialog, Qt::Key_Escape);
            }),
            (Texts{"1950", "1975"}));
  EXPECT_EQ(RunAndClose([](CAutoSearchDlg& dialog) { Click(dialog, 1); }), (Texts{"", "1975"}));

  // The close box keeps what a year change read, not what was shown later.
  m_radio.OnAutoSearchClosed({"1960", "1975"});
  EXPECT_EQ(RunAndClose([](CAutoSearchDlg& dialog) {
              Choose(dialog, CAutoSearchDlg::kIdEndYear, "1990");
              Combo(dialog, CAutoSearchDlg::kIdStartYear)->setCurrentIndex(0);
              dialog.close();
            }),
            (Texts{"1960", "1990"}));
}

TEST_F(AutoSearchDlgTest, SelectionsAreDrawnWithTheClockSeedAndAddToListQueuesThem) {
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

}  // namespace
}  // namespace velvane
