#include "gui/search/ManualSearchDlg.h"

#include <QLineEdit>

#include "gui/search/SearchDlgFixture.h"

namespace velvane {
namespace {

class ManualSearchDlgTest : public SearchDlgFixture {
 protected:
  ManualSearchDlgTest() {
    Record("ABBA", "Waterloo", "12", "3", 0);
    Chart("06/04/1974", "Abba", "Waterloo", "1", 0);
    Chart("01/01/1980", "ABBA", "Unheard", "30");
    Record("Bj\xF6rk", "Army Of Me", "7", "2");  // stored in Windows-1252 by an older program
    m_dialog.show();
  }

  // Types the texts and presses Enter in the title edit.
  void Search(const QString& artist, const QString& title) {
    FindControlAs<QLineEdit>(&m_dialog, CManualSearchDlg::kIdArtist)->setText(artist);
    auto* pTitle = FindControlAs<QLineEdit>(&m_dialog, CManualSearchDlg::kIdTitle);
    pTitle->clear();
    QTest::keyClicks(pTitle, title);
    QTest::keyClick(pTitle, Qt::Key_Return);
  }

  CManualSearchDlg m_dialog{m_radio};
};

TEST_F(ManualSearchDlgTest, EnterSearchesAndAnEmptySearchKeepsTheListAndTheRowsBehindIt) {
  Search("b", "");
  EXPECT_EQ(Lines(m_dialog), (Texts{"ABBA\tWaterloo\t12\t3\tNo. 1   on   06 April 1974",
                                    "ABBA\tUnheard\t\t\tNo. 30   on   01 January 1980",
                                    "Bj\xC3\xB6rk\tArmy Of Me\t7\t2\t"}));
  EXPECT_EQ(Status(m_dialog), " 3 tracks found for   b - ");

  Search("", "");
  EXPECT_EQ(Status(m_dialog), " Nothing to search for");
  ASSERT_EQ(Lines(m_dialog).size(), 3u);
  Select(m_dialog, 2);
  Click(m_dialog, CManualSearchDlg::kIdAddToList);
  EXPECT_EQ(QueuedCDs(), Texts{"7"});
}

TEST_F(ManualSearchDlgTest, AddToListAndDoubleClickAddTheSelectedLine) {
  Search("abba", "");
  Click(m_dialog, CManualSearchDlg::kIdAddToList);  // nothing selected: nothing happens
  EXPECT_EQ(Status(m_dialog), " 2 tracks found for   abba - ");

  Select(m_dialog, 0);
  Click(m_dialog, CManualSearchDlg::kIdAddToList);
  EXPECT_EQ(Status(m_dialog), " ABBA - Waterloo   (added to playlist)");
  DoubleClick(m_dialog, 1);  // a chart entry the library lacks
  EXPECT_EQ(Status(m_dialog), " ABBA - Unheard   (added to wish list)");
  DoubleClick(m_dialog, 0);
  EXPECT_EQ(QueuedCDs(), (Texts{"12", "12"}));
}

}  // namespace
}  // namespace velvane
