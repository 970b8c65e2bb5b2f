// The three search dialogs and the queue editor. Each search dialog runs the core's search on its
// own controls, shows the lines and the status the core gives, and queues the line the operator
// picks.
#include <QComboBox>
#include <QLineEdit>
#include <QTreeWidget>

#include "core/main/RadioFixture.h"
#include "core/search/AutoSelection.h"
#include "gui/ModalDriver.h"
#include "gui/playback/QueueEditDlg.h"
#include "gui/search/AutoSearchDlg.h"
#include "gui/search/ManualSearchDlg.h"
#include "gui/search/NumberOneDateDlg.h"
#include "gui/search/SearchDlgFixture.h"

namespace velvane {
namespace {

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
  EXPECT_EQ(QueuedCDs(), (Texts{"7", "12"}));

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
  EXPECT_EQ(QueuedCDs(), (Texts{"7", "12", "5", "5"}));
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
  Texts QueuedArtists() const {
    Texts artists;
    for (const QueueSlot& slot : m_radio.QueueSlotsNow()) {
      if (!slot.strArtist.empty()) {
        artists.push_back(slot.strArtist);
      }
    }
    return artists;
  }

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
  EXPECT_EQ(QueuedArtists(), (Texts{"A", "B", "C", "D", "E"}));  // only the copy changed

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
  EXPECT_EQ(QueuedArtists(), (Texts{"A", "B", "C"}));

  WhenModal<CQueueEditDlg>([](CQueueEditDlg& dialog) {
    Press(dialog, 0, Q::kIdMoveDown);
    Click(dialog, 1);
  });
  CQueueEditDlg::Run(m_radio, nullptr);
  EXPECT_EQ(QueuedArtists(), (Texts{"B", "A", "C"}));

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
