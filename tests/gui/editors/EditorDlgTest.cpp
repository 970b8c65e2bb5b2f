#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <vector>

#include "gui/ModalDriver.h"
#include "gui/editors/ChartEditorDlg.h"
#include "gui/editors/NumberOneEditorDlg.h"
#include "gui/editors/PlaylistEditorDlg.h"
#include "gui/search/SearchDlgFixture.h"
#include "gui/settings/AdminDlg.h"

namespace velvane {
namespace {

using D = CPlaylistEditorDlg;
using E = EditorDialog;

class EditorDlgTest : public SearchDlgFixture {
 protected:
  EditorDlgTest() {
    Chart("05/03/1983", "Abba", "SOS", "1");
    Record("Abba", "SOS", "1", "1", 0);
    Record("Queen", "Radio", "1", "2");
  }

  static void Type(QWidget& dialog, const std::vector<std::pair<int, QString>>& fields) {
    for (const auto& [nId, text] : fields) {
      FindControlAs<QLineEdit>(&dialog, nId)->setText(text);
    }
  }
  static QListView* EditorList(QWidget& dialog) {
    return FindControlAs<QListView>(&dialog, E::kIdList);
  }
  static int SelectedRow(QWidget& dialog) { return EditorList(dialog)->currentIndex().row(); }
  static int Rows(QWidget& dialog) { return EditorList(dialog)->model()->rowCount(); }
  static QString Row(QWidget& dialog, int nRow) {
    const QAbstractItemModel* pModel = EditorList(dialog)->model();
    return pModel->data(pModel->index(nRow, 0)).toString();
  }
  // Shown and active, as keyboard focus and shortcuts need.
  static void Activate(QWidget& dialog) {
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  }
  static std::string Status(CAdminDlg& admin) { return TextOf(admin, CAdminDlg::kIdStatus); }

  FakeDialogPorts m_fakes;
};

TEST_F(EditorDlgTest, OpensOnTheNewRecordLineAndKeysMnemonicsAndTabOrderWork) {
  D dialog(m_radio);
  Activate(dialog);
  EXPECT_EQ(dialog.windowTitle(), "Playlist Editor (3 of 2)");
  EXPECT_EQ(Rows(dialog), 3);
  EXPECT_EQ(SelectedRow(dialog), 2);
  EXPECT_EQ(Row(dialog, 0), "Abba\tSOS\t1\t1\tNo. 1   on   05 March 1983\t0\t");
  for (const int nId :
       {D::kIdArtistHeader, D::kIdTitleHeader, D::kIdCdTrackHeader, D::kIdChartInfoHeader}) {
    EXPECT_TRUE(FindControl(&dialog, nId)->font().bold()) << nId;
  }
  EXPECT_FALSE(FindControl(&dialog, D::kIdChartInfo)->isEnabled());

  QLineEdit* pArtist = FindControlAs<QLineEdit>(&dialog, D::kIdArtist);
  pArtist->setFocus();
  QTest::keyClick(pArtist, Qt::Key_Up);
  QTest::keyClick(pArtist, Qt::Key_Up);
  EXPECT_EQ(SelectedRow(dialog), 0);
  EXPECT_EQ(dialog.windowTitle(), "Playlist Editor (1 of 2)");
  EXPECT_EQ(TextOf(dialog, D::kIdArtist), "Abba");
  EXPECT_EQ(TextOf(dialog, D::kIdChartInfo), "No. 1   on   05 March 1983");
  QTest::keyClick(EditorList(dialog), Qt::Key_Down);  // the list's own keys do the same
  EXPECT_EQ(TextOf(dialog, D::kIdArtist), "Queen");

  Type(dialog, {{D::kIdTitle, "Changed"}});
  QTest::keyClick(FindControl(&dialog, D::kIdTitle), Qt::Key_Return);  // does nothing
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(Row(dialog, 1), "Queen\tRadio\t1\t2\t \t-1\t");

  QTest::keyClick(&dialog, Qt::Key_F, Qt::ControlModifier);
  EXPECT_TRUE(FindControl(&dialog, E::kIdSearchText)->hasFocus());

  // Every button has a mnemonic, and Tab goes list, fields, buttons, row by row.
  EXPECT_EQ((Texts{TextOf(dialog, D::kIdFindChartEntry), TextOf(dialog, E::kIdUpdate),
                   TextOf(dialog, E::kIdDelete), TextOf(dialog, E::kIdSearch)}),
            (Texts{"Find &Chart Entry", "&Update", "&Delete", "S&earch"}));
  EditorList(dialog)->setFocus();
  std::vector<int> order;
  for (int i = 0; i < 14; ++i) {
    order.push_back(ControlId(QApplication::focusWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  const std::vector<int> expected = {
      E::kIdList,   D::kIdArtist,    D::kIdTitle,          D::kIdCD,          D::kIdTrack,
      E::kIdUpdate, E::kIdDelete,    D::kIdFindChartEntry, E::kIdSaveAndExit, E::kIdSearchText,
      E::kIdSearch, E::kIdTopOfList, E::kIdBottomOfList,   E::kIdQuit};
  EXPECT_EQ(order, expected);

  EditorList(dialog)->setCurrentIndex(EditorList(dialog)->model()->index(1, 0));
  QTest::keyClick(&dialog, Qt::Key_D, Qt::AltModifier);  // pressed as a click, shown briefly
  EXPECT_TRUE(QTest::qWaitFor([&] { return Rows(dialog) == 2; }));
}

TEST_F(EditorDlgTest, UpdateAndSearchWorkThroughTheButtons) {
  D dialog(m_radio);
  Activate(dialog);
  Type(dialog,
       {{D::kIdArtist, "Blondie"}, {D::kIdTitle, "Atomic"}, {D::kIdCD, "2"}, {D::kIdTrack, "1"}});
  Click(dialog, E::kIdUpdate);
  EXPECT_EQ(Rows(dialog), 4);
  EXPECT_EQ(Row(dialog, 2), "Blondie\tAtomic\t2\t1\t \t-1\t");
  EXPECT_EQ(SelectedRow(dialog), 2);

  Click(dialog, E::kIdTopOfList);
  EXPECT_TRUE(FindControl(&dialog, D::kIdArtist)->hasFocus());
  Type(dialog, {{E::kIdSearchText, "atom"}});
  Click(dialog, E::kIdSearch);
  EXPECT_EQ(SelectedRow(dialog), 2);
  EXPECT_EQ(TextOf(dialog, D::kIdArtist), "Blondie");
}

TEST_F(EditorDlgTest, DeleteUndoAndRedoWorkFromTheButtonAndTheKeysAndTheListFollows) {
  D dialog(m_radio);
  Activate(dialog);
  const QString strAbba = Row(dialog, 0);
  EditorList(dialog)->setCurrentIndex(EditorList(dialog)->model()->index(0, 0));
  Click(dialog, E::kIdDelete);
  EXPECT_EQ(Rows(dialog), 2);
  EXPECT_EQ(Row(dialog, 0).left(6), "Queen\t");
  EXPECT_EQ(SelectedRow(dialog), 0);
  EXPECT_EQ(TextOf(dialog, D::kIdArtist), "Queen");

  QLineEdit* pArtist = FindControlAs<QLineEdit>(&dialog, D::kIdArtist);
  pArtist->setFocus();
  QTest::keyClick(pArtist, Qt::Key_Z, Qt::ControlModifier);  // the record, not the typing
  EXPECT_EQ(Row(dialog, 0), strAbba);
  EXPECT_EQ(TextOf(dialog, D::kIdArtist), "Abba");
  QTest::keyClick(pArtist, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(Rows(dialog), 2);
  QTest::keyClick(pArtist, Qt::Key_Z, Qt::ControlModifier);
  QTest::keyClick(pArtist, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Rows(dialog), 2);
  QTest::keyClick(pArtist, Qt::Key_Delete);  // in a field it deletes a character only
  EXPECT_EQ(Rows(dialog), 2);

  QListView* pList = EditorList(dialog);
  pList->setFocus();
  QTest::keyClick(pList, Qt::Key_Delete);
  EXPECT_EQ(Rows(dialog), 1);
  // Enter on the list shows the line again and goes to the first field.
  QTest::keyClick(&dialog, Qt::Key_Z, Qt::ControlModifier);
  Type(dialog, {{D::kIdArtist, "typed"}});
  pList->setFocus();
  QTest::keyClick(pList, Qt::Key_Return);
  EXPECT_EQ(TextOf(dialog, D::kIdArtist), "Queen");
  EXPECT_TRUE(pArtist->hasFocus());
}

TEST_F(EditorDlgTest, QuitEscAndTheCloseBoxAllAsk) {
  D dialog(m_radio);
  dialog.show();
  m_prompter.m_answers = {PromptAnswer::No, PromptAnswer::No, PromptAnswer::No, PromptAnswer::Yes};
  Click(dialog, E::kIdQuit);
  QTest::keyClick(&dialog, Qt::Key_Escape);
  dialog.close();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(m_prompter.m_shown.size(), 3u);
  dialog.close();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(EditorDlgTest, FromTheAdminDialogEachEditorSavesOnlyItsOwnFileAndOnlyOnSave) {
  CAdminDlg admin(m_radio, m_fakes.ports);
  WhenModal<CChartEditorDlg>([&](CChartEditorDlg& dialog) {
    EXPECT_EQ(Status(admin), "Loading the charts database, please wait.");
    EXPECT_FALSE(FindControl(&dialog, CChartEditorDlg::kIdCD)->isEnabled());
    Click(dialog, E::kIdQuit);  // the scripted answer is Yes
  });
  admin.CommandAction(CAdminDlg::kCmdEditCharts)->trigger();
  EXPECT_FALSE(m_dir.Exists("db/charts.old"));

  WhenModal<CNumberOneEditorDlg>([&](CNumberOneEditorDlg& dialog) {
    EXPECT_EQ(Status(admin), "Loading the Number 1 database, please wait.");
    EXPECT_FALSE(FindControl(&dialog, CNumberOneEditorDlg::kIdPosition)->isEnabled());
    Type(dialog, {{CNumberOneEditorDlg::kIdDate, "5/3/83"},
                  {CNumberOneEditorDlg::kIdArtist, "Abba"},
                  {CNumberOneEditorDlg::kIdTitle, "SOS"}});
    Click(dialog, CNumberOneEditorDlg::kIdFindInPlaylist);
    EXPECT_EQ(TextOf(dialog, CNumberOneEditorDlg::kIdCD), "1");
    Click(dialog, E::kIdUpdate);
    Click(dialog, E::kIdSaveAndExit);
  });
  admin.CommandAction(CAdminDlg::kCmdEditNumberOne)->trigger();
  EXPECT_EQ(Status(admin), "");
  EXPECT_EQ(m_dir.Read("db/hits.dat"), "05/03/1983\\Abba\\SOS\\1\\1\\\r\n");
  EXPECT_FALSE(m_dir.Exists("db/playlist.old"));  // nothing else is saved

  // The playlist editor saves at once, and the edit outlives the administration dialog's Quit.
  WhenModal<D>([&](D& dialog) {
    EXPECT_EQ(Status(admin), "Loading the playlist, please wait.");
    dialog.List()->setCurrentIndex(dialog.List()->model()->index(1, 0));
    Type(dialog, {{D::kIdArtist, "Queen II"}});
    Click(dialog, E::kIdUpdate);
    Click(dialog, E::kIdSaveAndExit);
  });
  admin.CommandAction(CAdminDlg::kCmdEditPlaylist)->trigger();
  EXPECT_EQ(Status(admin), "");
  EXPECT_NE(m_dir.Read("db/playlist.dat").find("00102\\Queen II\\Radio\\-1\\"), std::string::npos);

  admin.reject();  // leaving the administration dialog with "Quit" keeps the edit
  EXPECT_EQ(m_radio.Store().Playlist(1).strArtist, "Queen II");
}

}  // namespace
}  // namespace velvane
