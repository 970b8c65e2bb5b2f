#include "gui/search/NumberOneDateDlg.h"

#include <QLineEdit>

#include "gui/search/SearchDlgFixture.h"

namespace velvane {
namespace {

class NumberOneDateDlgTest : public SearchDlgFixture {
 protected:
  NumberOneDateDlgTest() {
    m_dir.Write("db/hits.dat",
                "01/01/1983\\Men At Work\\Down Under\\5\\2\\\r\n"
                "29/01/1983\\Phil Collins\\You Can't Hurry Love\\0\\0\\\r\n");
    Record("Men At Work", "Down Under", "5", "2");
    m_dialog.show();
  }

  bool CanAdd() { return FindControl(&m_dialog, CNumberOneDateDlg::kIdAddToPlaylist)->isEnabled(); }
  std::string Result() {
    return FindControlAs<QLabel>(&m_dialog, CNumberOneDateDlg::kIdResult)->text().toStdString();
  }
  // Types the date and presses Enter in the edit.
  void Search(const QString& date) {
    auto* pDate = FindControlAs<QLineEdit>(&m_dialog, CNumberOneDateDlg::kIdDate);
    pDate->clear();
    QTest::keyClicks(pDate, date);
    QTest::keyClick(pDate, Qt::Key_Return);
  }

  CNumberOneDateDlg m_dialog{m_radio};
};

TEST_F(NumberOneDateDlgTest, OnlyANumberOneInTheLibraryCanBeQueuedAndThatAgainAndAgain) {
  EXPECT_FALSE(CanAdd());
  Search("15/1/83");
  EXPECT_EQ(Result(),
            "\nNumber 1 in the charts on 15 January 1983 was\n\nMen At Work - Down Under");
  ASSERT_TRUE(CanAdd());
  Click(m_dialog, CNumberOneDateDlg::kIdAddToPlaylist);
  Click(m_dialog, CNumberOneDateDlg::kIdAddToPlaylist);
  EXPECT_EQ(Result(), " Men At Work - Down Under   (added to playlist)");
  EXPECT_EQ(QueuedCDs(), (Texts{"5", "5"}));

  Search("1 2 1983");  // CD "0": shown, but the library lacks it
  EXPECT_FALSE(CanAdd());
  Search("15/1/83");
  Search("31/12/1982");  // no entry that early
  EXPECT_FALSE(CanAdd());
}

}  // namespace
}  // namespace velvane
