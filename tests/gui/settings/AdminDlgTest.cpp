#include "gui/settings/AdminDlg.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "gui/ModalDriver.h"
#include "gui/common/DialogKit.h"
#include "gui/settings/LogOptionsDlg.h"
#include "support/FakeClock.h"
#include "support/FakeFileChooser.h"
#include "support/FakeMci.h"
#include "support/FakeProfileStore.h"
#include "support/FakePrompter.h"

namespace velvane {
namespace {

class AdminDlgTest : public ::testing::Test {
 protected:
  AdminDlgTest() {
    m_core.m_settings.strMusicDir = "/music/";
    m_core.m_settings.strFilesDir = "/db/";
    m_core.m_settings.nInitVolume = 300;
    m_core.m_settings.strLogFile = "club";
    m_core.m_store.Allocate(10, 10);
    m_core.m_store.SetPlaylistCount(3);
    Open();
  }

  // The dialog fills itself from the settings when it is built.
  void Open() {
    m_pDialog = std::make_unique<CAdminDlg>(m_core, m_chooser);
    m_pDialog->show();
  }

  std::string Text(int nId) { return Edit(nId)->text().toStdString(); }
  void Type(int nId, const QString& text) {
    Edit(nId)->selectAll();
    QTest::keyClicks(Edit(nId), text);
  }
  void Click(int nId) {
    QTest::mouseClick(FindControlAs<QPushButton>(m_pDialog.get(), nId), Qt::LeftButton);
  }
  QLineEdit* Edit(int nId) { return FindControlAs<QLineEdit>(m_pDialog.get(), nId); }

  FakeMci m_mci;
  FakeClock m_clock{2026, 12, 4, 17, 59};
  FakePrompter m_prompter;
  FakeProfileStore m_profile;
  FakeFileChooser m_chooser;
  RadioCore m_core{m_mci, m_clock, m_prompter, m_profile};
  std::unique_ptr<CAdminDlg> m_pDialog;
};

TEST_F(AdminDlgTest, OpensWithTheMainWindowValuesAndOnlyTheLogOptionsCommandEnabled) {
  EXPECT_EQ(Text(CAdminDlg::kIdMusicDir), "/music/");
  EXPECT_EQ(Text(CAdminDlg::kIdFadeTime), "5");
  EXPECT_EQ(Text(CAdminDlg::kIdInitVolume), "700");  // 1000 minus the setting
  int nCommands = 0;
  for (QAction* pAction : m_pDialog->findChildren<QAction*>()) {
    const int nCommand = pAction->property("commandId").toInt();
    if (nCommand != 0) {
      ++nCommands;
      EXPECT_EQ(pAction->isEnabled(), nCommand == CAdminDlg::kCmdSetLogFile) << nCommand;
    }
  }
  EXPECT_EQ(nCommands, 9);
}

TEST_F(AdminDlgTest, SaveAndExitStoresTheTypedValuesWithinTheirLimits) {
  Type(CAdminDlg::kIdFadeTime, "0");
  Type(CAdminDlg::kIdAutoTime, "25");
  Type(CAdminDlg::kIdSystemTimer, "5");
  Type(CAdminDlg::kIdInitVolume, "1000");
  Type(CAdminDlg::kIdPlaySize, "2");  // below the three records loaded
  Type(CAdminDlg::kIdUpdateServer, "updates.example:81");
  QTest::mouseClick(FindControlAs<QCheckBox>(m_pDialog.get(), CAdminDlg::kIdAutoChanger),
                    Qt::LeftButton);
  Click(1);

  EXPECT_EQ(m_pDialog->result(), QDialog::Accepted);
  const Settings& settings = m_core.m_settings;
  EXPECT_EQ(settings.nFadeTime, 1);
  EXPECT_EQ(settings.nAutoTime, 10);
  EXPECT_EQ(settings.nSystemTimer, 10);
  EXPECT_EQ(settings.nInitVolume, 0);
  EXPECT_EQ(settings.nPlaySize, 4);
  EXPECT_EQ(settings.nPlayMode, 1);
  EXPECT_EQ(settings.strUpdateServer, "updates.example:81");
  ASSERT_TRUE(m_profile.Find("General", "SystemTimer"));  // saved, not only kept
  EXPECT_EQ(m_profile.Find("General", "SystemTimer")->strValue, "10");

  // The other side of each limit, through a fresh dialog.
  Open();
  Type(CAdminDlg::kIdFadeTime, "25");
  Type(CAdminDlg::kIdSystemTimer, "5000");
  Type(CAdminDlg::kIdInitVolume, "-5");
  Click(1);
  EXPECT_EQ(settings.nFadeTime, 10);
  EXPECT_EQ(settings.nSystemTimer, 1000);
  EXPECT_EQ(settings.nInitVolume, 1000);
}

TEST_F(AdminDlgTest, ASizeThatIsNotAWholeNumberKeepsTheDialogOpenAndStoresNothing) {
  Type(CAdminDlg::kIdFadeTime, "7");
  Type(CAdminDlg::kIdChartSize, "12a");
  Click(1);
  EXPECT_TRUE(m_pDialog->isVisible());
  ASSERT_EQ(m_prompter.m_shown.size(), 1u);
  EXPECT_EQ(m_prompter.m_shown[0].strCaption, "The ROLV Disco / Radio System");
  EXPECT_EQ(m_prompter.m_shown[0].icon, PromptIcon::Exclamation);
  EXPECT_EQ(m_core.m_settings.nFadeTime, 5);
  EXPECT_TRUE(m_profile.m_vecWrites.empty());

  Type(CAdminDlg::kIdChartSize, "12");
  Click(1);
  EXPECT_FALSE(m_pDialog->isVisible());
  EXPECT_EQ(m_core.m_settings.nFadeTime, 7);
}

TEST_F(AdminDlgTest, QuitStoresNothing) {
  Type(CAdminDlg::kIdFadeTime, "9");
  Type(CAdminDlg::kIdMusicDir, "/elsewhere/");
  Click(2);
  EXPECT_EQ(m_pDialog->result(), QDialog::Rejected);
  EXPECT_EQ(m_core.m_settings.nFadeTime, 5);
  EXPECT_EQ(m_core.m_settings.strMusicDir, "/music/");
  EXPECT_TRUE(m_profile.m_vecWrites.empty());
}

TEST_F(AdminDlgTest, BrowseSetsTheFolderWithASeparatorAndPutsBackEveryTypedField) {
  Type(CAdminDlg::kIdFadeTime, "9");
  Type(CAdminDlg::kIdFilesDir, "/typed/");
  m_chooser.m_answers = {std::string("/srv/music")};
  Click(CAdminDlg::kIdBrowseMusicDir);
  ASSERT_EQ(m_chooser.m_calls.size(), 1u);
  EXPECT_EQ(m_chooser.m_calls[0].strTitle, "Select the top level folder for the music files");
  EXPECT_EQ(Text(CAdminDlg::kIdMusicDir), "/srv/music/");
  EXPECT_EQ(Text(CAdminDlg::kIdFadeTime), "5");
  EXPECT_EQ(Text(CAdminDlg::kIdFilesDir), "/db/");

  // A cancelled browse changes no folder but still puts the fields back.
  Type(CAdminDlg::kIdAutoTime, "8");
  Click(CAdminDlg::kIdBrowseFilesDir);
  EXPECT_EQ(m_chooser.m_calls.back().strTitle, "Select a folder for the database files");
  EXPECT_EQ(Text(CAdminDlg::kIdAutoTime), "2");
  EXPECT_EQ(Text(CAdminDlg::kIdMusicDir), "/srv/music/");

  Click(1);
  EXPECT_EQ(m_core.m_settings.strMusicDir, "/srv/music/");
}

TEST_F(AdminDlgTest, SetLogFileTakesTheValuesOnOkOnlyAndSavesNothingItself) {
  WhenModal<CLogOptionsDlg>([](CLogOptionsDlg& options) {
    auto* pName = FindControlAs<QLineEdit>(&options, CLogOptionsDlg::kIdLogFile);
    EXPECT_EQ(pName->text(), "club");
    pName->setText(QStringLiteral("friday"));
    QTest::mouseClick(FindControl(&options, CLogOptionsDlg::kIdLogEnabled), Qt::LeftButton);
    QTest::mouseClick(FindControl(&options, 1), Qt::LeftButton);
  });
  m_pDialog->CommandAction(CAdminDlg::kCmdSetLogFile)->trigger();
  EXPECT_EQ(m_core.m_settings.strLogFile, "friday");
  EXPECT_EQ(m_core.m_settings.nLogEnabled, 1);

  WhenModal<CLogOptionsDlg>([](CLogOptionsDlg& options) {
    FindControlAs<QLineEdit>(&options, CLogOptionsDlg::kIdLogFile)->setText("gone");
    options.close();
  });
  m_pDialog->CommandAction(CAdminDlg::kCmdSetLogFile)->trigger();
  EXPECT_EQ(m_core.m_settings.strLogFile, "friday");
  EXPECT_TRUE(m_profile.m_vecWrites.empty());
}

}  // namespace
}  // namespace velvane
