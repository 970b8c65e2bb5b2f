#include "gui/settings/AdminDlg.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <memory>

#include "core/main/RadioFixture.h"
#include "core/updates/UpdateCatalogue.h"
#include "gui/FakeDialogPorts.h"
#include "gui/ModalDriver.h"
#include "gui/common/DialogKit.h"
#include "gui/settings/LogOptionsDlg.h"
#include "gui/updates/ChartUpdatesDlg.h"

namespace velvane {
namespace {

class AdminDlgTest : public RadioFixture {
 protected:
  // The dialog fills itself from the settings when it is built.
  AdminDlgTest() {
    Start([](Settings& settings) {
      settings.strMusicDir = "/music/";
      settings.nInitVolume = 300;
      settings.strLogFile = "club";
    });
    m_pDialog = std::make_unique<CAdminDlg>(m_radio, m_fakes.ports);
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

  FakeDialogPorts m_fakes;
  FakeFileChooser& m_chooser = m_fakes.chooser;
  std::unique_ptr<CAdminDlg> m_pDialog;
};

// Every menu command is reached by its own test below, through CommandAction.
TEST_F(AdminDlgTest, OpensWithTheMainWindowValues) {
  EXPECT_EQ(Text(CAdminDlg::kIdMusicDir), "/music/");
  EXPECT_EQ(Text(CAdminDlg::kIdFadeTime), "5");
  EXPECT_EQ(Text(CAdminDlg::kIdInitVolume), "700");  // 1000 minus the setting
}

TEST_F(AdminDlgTest, SaveAndExitHandsEveryTypedValueOverAndClosesOnlyWhenTheCoreAccepts) {
  Type(CAdminDlg::kIdFadeTime, "7");
  Type(CAdminDlg::kIdChartSize, "12");
  EXPECT_EQ(Text(CAdminDlg::kIdLoudnessTarget), "-16");
  Type(CAdminDlg::kIdLoudnessTarget, "-99");
  Click(1);
  EXPECT_TRUE(m_pDialog->isVisible());  // refused: a target out of its range

  Type(CAdminDlg::kIdLoudnessTarget, "-20");
  EXPECT_EQ(Text(CAdminDlg::kIdNowPlayingTemplate), "%artist% - %title%");
  Type(CAdminDlg::kIdStreamServer, "localhost:8000/live");
  Click(1);
  EXPECT_TRUE(m_pDialog->isVisible());  // refused: no http address
  Type(CAdminDlg::kIdStreamServer, "http://source:pw@localhost:8000/live");
  Type(CAdminDlg::kIdNowPlayingFile, "/srv/np.txt");
  Type(CAdminDlg::kIdNowPlayingTemplate, "%title%");
  Type(CAdminDlg::kIdWebHook, "https://radio.example/hook");
  for (const int nId : {CAdminDlg::kIdEvenLoudness, CAdminDlg::kIdChangeAtMusicEnd}) {
    QTest::mouseClick(FindControlAs<QCheckBox>(m_pDialog.get(), nId), Qt::LeftButton);
  }
  Type(CAdminDlg::kIdAutoTime, "8");
  Type(CAdminDlg::kIdSystemTimer, "200");
  Type(CAdminDlg::kIdInitVolume, "250");
  Type(CAdminDlg::kIdPlaySize, "40");
  Type(CAdminDlg::kIdUpdateServer, "updates.example:81");
  QTest::mouseClick(FindControlAs<QCheckBox>(m_pDialog.get(), CAdminDlg::kIdAutoChanger),
                    Qt::LeftButton);
  Click(1);
  EXPECT_FALSE(m_pDialog->isVisible());
  EXPECT_EQ(m_pDialog->result(), QDialog::Accepted);
  const Settings& settings = m_radio.GetSettings();
  EXPECT_EQ(settings.nFadeTime, 7);
  EXPECT_EQ(settings.nAutoTime, 8);
  EXPECT_EQ(settings.nSystemTimer, 200);
  EXPECT_EQ(settings.nInitVolume, 750);
  EXPECT_EQ(settings.nPlaySize, 40);
  EXPECT_EQ(settings.nChartSize, 12);
  EXPECT_EQ(settings.nPlayMode, 1);
  EXPECT_EQ(settings.strUpdateServer, "updates.example:81");
  EXPECT_TRUE(settings.bEvenLoudness);
  EXPECT_EQ(settings.nLoudnessTarget, -20);
  EXPECT_TRUE(settings.bChangeAtMusicEnd);
  EXPECT_EQ(settings.strNowPlayingFile, "/srv/np.txt");
  EXPECT_EQ(settings.strNowPlayingTemplate, "%title%");
  EXPECT_EQ(settings.strStreamServer, "http://source:pw@localhost:8000/live");
  EXPECT_EQ(settings.strWebHook, "https://radio.example/hook");
}

TEST_F(AdminDlgTest, BrowseSetsTheFolderAndPutsBackEveryTypedFieldAndQuitKeepsNothing) {
  Type(CAdminDlg::kIdFadeTime, "9");
  Type(CAdminDlg::kIdFilesDir, "/typed/");
  m_chooser.m_answers = {std::string("/srv/music")};
  Click(CAdminDlg::kIdBrowseMusicDir);
  ASSERT_EQ(m_chooser.m_calls.size(), 1u);
  EXPECT_EQ(m_chooser.m_calls[0].strTitle, "Select the top level folder for the music files");
  EXPECT_EQ(Text(CAdminDlg::kIdMusicDir), "/srv/music/");
  EXPECT_EQ(Text(CAdminDlg::kIdFadeTime), "5");
  EXPECT_EQ(Text(CAdminDlg::kIdFilesDir), m_dir.Folder() + "db/");

  // A cancelled browse changes no folder but still puts the fields back.
  Type(CAdminDlg::kIdAutoTime, "8");
  Click(CAdminDlg::kIdBrowseFilesDir);
  EXPECT_EQ(m_chooser.m_calls.back().strTitle, "Select a folder for the database files");
  EXPECT_EQ(Text(CAdminDlg::kIdAutoTime), "2");
  EXPECT_EQ(Text(CAdminDlg::kIdMusicDir), "/srv/music/");

  Click(2);  // "Quit" keeps none of it
  EXPECT_EQ(m_pDialog->result(), QDialog::Rejected);
  EXPECT_EQ(m_radio.GetSettings().strMusicDir, "/music/");
  EXPECT_TRUE(m_profile.m_vecWrites.empty());
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
  EXPECT_EQ(m_radio.GetSettings().strLogFile, "friday");
  EXPECT_EQ(m_radio.GetSettings().nLogEnabled, 1);

  WhenModal<CLogOptionsDlg>([](CLogOptionsDlg& options) {
    FindControlAs<QLineEdit>(&options, CLogOptionsDlg::kIdLogFile)->setText("gone");
    options.close();
  });
  m_pDialog->CommandAction(CAdminDlg::kCmdSetLogFile)->trigger();
  EXPECT_EQ(m_radio.GetSettings().strLogFile, "friday");
  EXPECT_TRUE(m_profile.m_vecWrites.empty());
}

TEST_F(AdminDlgTest, BuildsAskFirstThenLinkSaveBothFilesAndReport) {
  TrackStore& store = m_radio.Store();
  store.SetPlaylistEntry(0, "Abba", "Waterloo", "1", "1", -1);
  store.SetPlaylistCount(1);
  store.SetChartEntry(0, "06/04/1974", "ABBA", "WATERLOO", "5", -1);
  store.SetChartEntry(1, "13/04/1974", "ABBA", "WATERLOO", "1", -1);
  store.SetChartCount(2);
  auto* pStatus = FindControlAs<QLabel>(m_pDialog.get(), CAdminDlg::kIdStatus);

  m_prompter.m_answers = {PromptAnswer::Cancel};
  m_pDialog->CommandAction(CAdminDlg::kCmdBuildAllRelationships)->trigger();
  EXPECT_EQ(store.Playlist(0).nChartLink, -1);
  const std::string strPlaylist = m_radio.GetSettings().strFilesDir + "playlist.dat";
  const std::string strCharts = m_radio.GetSettings().strFilesDir + "charts.dat";
  EXPECT_EQ(std::filesystem::file_size(strPlaylist), 0U);  // as created at start-up

  m_prompter.m_answers = {PromptAnswer::Ok};
  m_pDialog->CommandAction(CAdminDlg::kCmdBuildAllRelationships)->trigger();
  EXPECT_EQ(store.Playlist(0).nChartLink, 1);
  EXPECT_EQ(pStatus->text(), "The database relationships have been rebuilt");
  EXPECT_EQ(m_pDialog->windowTitle(), "Velvane Admin");
  EXPECT_GT(std::filesystem::file_size(strPlaylist), 0U);
  EXPECT_GT(std::filesystem::file_size(strCharts), 0U);

  m_prompter.m_answers = {PromptAnswer::Ok};
  m_pDialog->CommandAction(CAdminDlg::kCmdBuildPlaylistReferences)->trigger();
  EXPECT_EQ(pStatus->text(), "The playlist references have been rebuilt");
  EXPECT_EQ(m_prompter.m_shown.back().strText,
            "Warning - Building the playlist references can take a very long time\nand cannot be "
            "cancelled.\n\nDo you want to continue?");

  std::filesystem::create_directories(m_radio.GetSettings().strMusicDir);
  m_pDialog->CommandAction(CAdminDlg::kCmdCheckMusicFiles)->trigger();
  EXPECT_EQ(pStatus->text(), "Found 0 music tracks out of 1 expected");
}

// The dialog builds no adapter of its own: the update listing works through the HTTP port the
// program hands it, here a fake (Analyse and Import: see the maintenance dialog tests).
TEST_F(AdminDlgTest, NewChartListingAsksTheHandedPortForTheTypedServerAndToldAFailure) {
  Type(CAdminDlg::kIdUpdateServer, "127.0.0.1:9");
  m_pDialog->CommandAction(CAdminDlg::kCmdNewChartListing)->trigger();  // no answer
  EXPECT_EQ(FindControlAs<QLabel>(m_pDialog.get(), CAdminDlg::kIdStatus)->text(),
            QStringLiteral("Internet connection failed"));

  m_fakes.http.m_answers[UpdateUrl("127.0.0.1:9", kCatalogueName)] = {
      true, 200, "UK   CHTuk_020200.cht000002\r\n", ""};
  WhenModal<CChartUpdatesDlg>([](CChartUpdatesDlg& dialog) {
    EXPECT_TRUE(QTest::qWaitFor(
        [&dialog] {
          return FindControlAs<QListWidget>(&dialog, CChartUpdatesDlg::kIdList)->count() == 1;
        },
        5000));
    QTest::mouseClick(FindControl(&dialog, 1), Qt::LeftButton);  // "Exit"
  });
  m_pDialog->CommandAction(CAdminDlg::kCmdNewChartListing)->trigger();
  EXPECT_EQ(m_fakes.http.m_requests.size(), 2U);
  EXPECT_EQ(FindControlAs<QLabel>(m_pDialog.get(), CAdminDlg::kIdStatus)->text(), "");
}

}  // namespace
}  // namespace velvane
