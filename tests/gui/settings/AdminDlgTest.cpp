#include "gui/settings/AdminDlg.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <tuple>

#include "core/main/RadioFixture.h"
#include "core/updates/UpdateCatalogue.h"
#include "gui/ModalDriver.h"
#include "gui/settings/LogOptionsDlg.h"
#include "gui/updates/ChartUpdatesDlg.h"
#include "platform/LocalHttpServer.h"
#include "platform/QtHttpClient.h"

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

  std::string Text(int nId) { return TextOf(*m_pDialog, nId); }
  // Types over the fields' texts as the operator does.
  void Type(const std::vector<std::pair<int, QString>>& fields) {
    for (const auto& [nId, text] : fields) {
      FindControlAs<QLineEdit>(m_pDialog.get(), nId)->selectAll();
      QTest::keyClicks(FindControl(m_pDialog.get(), nId), text);
    }
  }
  void Click(int nId) { velvane::Click(*m_pDialog, nId); }

  FakeDialogPorts m_fakes;
  FakeFileChooser& m_chooser = m_fakes.chooser;
  std::unique_ptr<CAdminDlg> m_pDialog;
};

// Every menu command is reached by its own test below, through CommandAction.
TEST_F(AdminDlgTest, OpensWithTheMainWindowValuesAndSaveAndExitHandsEveryTypedValueOver) {
  using A = CAdminDlg;
  EXPECT_EQ((Texts{Text(A::kIdMusicDir), Text(A::kIdFadeTime), Text(A::kIdInitVolume),
                   Text(A::kIdLoudnessTarget), Text(A::kIdNowPlayingTemplate)}),
            (Texts{"/music/", "5", "700", "-16",
                   "%artist% - %title%"}));  // the volume is 1000 minus the setting
  Type({{A::kIdFadeTime, "7"}, {A::kIdChartSize, "12"}, {A::kIdLoudnessTarget, "-99"}});
  Click(1);
  EXPECT_TRUE(m_pDialog->isVisible());  // refused: a target out of its range

  Type({{A::kIdLoudnessTarget, "-20"}, {A::kIdStreamServer, "localhost:8000/live"}});
  Click(1);
  EXPECT_TRUE(m_pDialog->isVisible());  // refused: no http address

  Type({{A::kIdStreamServer, "http://source:pw@localhost:8000/live"},
        {A::kIdNowPlayingFile, "/srv/np.txt"},
        {A::kIdNowPlayingTemplate, "%title%"},
        {A::kIdWebHook, "https://radio.example/hook"},
        {A::kIdAutoTime, "8"},
        {A::kIdSystemTimer, "200"},
        {A::kIdInitVolume, "250"},
        {A::kIdPlaySize, "40"},
        {A::kIdUpdateServer, "updates.example:81"}});
  for (const int nId : {A::kIdEvenLoudness, A::kIdChangeAtMusicEnd, A::kIdAutoChanger}) {
    Click(nId);
  }
  Click(1);
  EXPECT_FALSE(m_pDialog->isVisible());
  EXPECT_EQ(m_pDialog->result(), QDialog::Accepted);
  const Settings& s = m_radio.GetSettings();
  EXPECT_EQ(
      std::tuple(s.nFadeTime, s.nAutoTime, s.nSystemTimer, s.nInitVolume, s.nPlaySize, s.nChartSize,
                 s.nPlayMode, s.strUpdateServer, s.bEvenLoudness, s.nLoudnessTarget,
                 s.bChangeAtMusicEnd),
      std::tuple(7, 8, 200, 750, 40, 12, 1, std::string("updates.example:81"), true, -20, true));
  EXPECT_EQ((Texts{s.strNowPlayingFile, s.strNowPlayingTemplate, s.strStreamServer, s.strWebHook}),
            (Texts{"/srv/np.txt", "%title%", "http://source:pw@localhost:8000/live",
                   "https://radio.example/hook"}));
}

TEST_F(AdminDlgTest, SetLogFileTakesTheValuesOnOkOnlyBrowsePutsBackTheFieldsAndQuitKeepsNothing) {
  WhenModal<CLogOptionsDlg>([](CLogOptionsDlg& options) {
    EXPECT_EQ(TextOf(options, CLogOptionsDlg::kIdLogFile), "club");
    FindControlAs<QLineEdit>(&options, CLogOptionsDlg::kIdLogFile)->setText("friday");
    velvane::Click(options, CLogOptionsDlg::kIdLogEnabled);
    velvane::Click(options, 1);
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

  // Browse sets the folder and puts back every typed field; "Quit" keeps nothing.
  Type({{CAdminDlg::kIdFadeTime, "9"}, {CAdminDlg::kIdFilesDir, "/typed/"}});
  m_chooser.m_answers = {std::string("/srv/music")};
  Click(CAdminDlg::kIdBrowseMusicDir);
  ASSERT_EQ(m_chooser.m_calls.size(), 1u);
  EXPECT_EQ(m_chooser.m_calls[0].strTitle, "Select the top level folder for the music files");
  EXPECT_EQ(Text(CAdminDlg::kIdMusicDir), "/srv/music/");
  EXPECT_EQ(Text(CAdminDlg::kIdFadeTime), "5");
  EXPECT_EQ(Text(CAdminDlg::kIdFilesDir), m_dir.Folder() + "db/");

  // A cancelled browse changes no folder but still puts the fields back.
  Type({{CAdminDlg::kIdAutoTime, "8"}});
  Click(CAdminDlg::kIdBrowseFilesDir);
  EXPECT_EQ(m_chooser.m_calls.back().strTitle, "Select a folder for the database files");
  EXPECT_EQ(Text(CAdminDlg::kIdAutoTime), "2");
  EXPECT_EQ(Text(CAdminDlg::kIdMusicDir), "/srv/music/");

  Click(2);  // "Quit" keeps none of it
  EXPECT_EQ(m_pDialog->result(), QDialog::Rejected);
  EXPECT_EQ(m_radio.GetSettings().strMusicDir, "/music/");
  EXPECT_TRUE(m_profile.m_vecWrites.empty());
}

TEST_F(AdminDlgTest, BuildsAskFirstThenLinkSaveAndReportAndTheChartListingUsesTheHandedPort) {
  TrackStore& store = m_radio.Store();
  store.SetPlaylistEntry(0, "Abba", "Waterloo", "1", "1", -1);
  store.SetPlaylistCount(1);
  store.SetChartEntry(0, "06/04/1974", "ABBA", "WATERLOO", "5", -1);
  store.SetChartEntry(1, "13/04/1974", "ABBA", "WATERLOO", "1", -1);
  store.SetChartCount(2);

  m_prompter.m_answers = {PromptAnswer::Cancel};
  m_pDialog->CommandAction(CAdminDlg::kCmdBuildAllRelationships)->trigger();
  EXPECT_EQ(store.Playlist(0).nChartLink, -1);
  const std::string strPlaylist = m_radio.GetSettings().strFilesDir + "playlist.dat";
  const std::string strCharts = m_radio.GetSettings().strFilesDir + "charts.dat";
  EXPECT_EQ(std::filesystem::file_size(strPlaylist), 0U);  // as created at start-up

  m_prompter.m_answers = {PromptAnswer::Ok};
  m_pDialog->CommandAction(CAdminDlg::kCmdBuildAllRelationships)->trigger();
  EXPECT_EQ(store.Playlist(0).nChartLink, 1);
  EXPECT_EQ(Text(CAdminDlg::kIdStatus), "The database relationships have been rebuilt");
  EXPECT_EQ(m_pDialog->windowTitle(), "Velvane Admin");
  EXPECT_GT(std::filesystem::file_size(strPlaylist), 0U);
  EXPECT_GT(std::filesystem::file_size(strCharts), 0U);

  m_prompter.m_answers = {PromptAnswer::Ok};
  m_pDialog->CommandAction(CAdminDlg::kCmdBuildPlaylistReferences)->trigger();
  EXPECT_EQ(Text(CAdminDlg::kIdStatus), "The playlist references have been rebuilt");
  EXPECT_EQ(m_prompter.m_shown.back().strText,
            "Warning - Building the playlist references can take a very long time\nand cannot be "
            "cancelled.\n\nDo you want to continue?");

  std::filesystem::create_directories(m_radio.GetSettings().strMusicDir);
  m_pDialog->CommandAction(CAdminDlg::kCmdCheckMusicFiles)->trigger();
  EXPECT_EQ(Text(CAdminDlg::kIdStatus), "Found 0 music tracks out of 1 expected");

  // The dialog builds no adapter of its own: the update listing works through the HTTP port the
  // program hands it, here a fake (Analyse and Import: see the maintenance dialog tests).
  Type({{CAdminDlg::kIdUpdateServer, "127.0.0.1:9"}});
  m_pDialog->CommandAction(CAdminDlg::kCmdNewChartListing)->trigger();  // no answer
  EXPECT_EQ(Text(CAdminDlg::kIdStatus), "Internet connection failed");

  m_fakes.http.m_answers[UpdateUrl("127.0.0.1:9", kCatalogueName)] = {
      true, 200, "UK   CHTuk_020200.cht000002\r\n", ""};
  WhenModal<CChartUpdatesDlg>([](CChartUpdatesDlg& dialog) {
    EXPECT_TRUE(QTest::qWaitFor(
        [&dialog] {
          return FindControlAs<QListWidget>(&dialog, CChartUpdatesDlg::kIdList)->count() == 1;
        },
        5000));
    velvane::Click(dialog, 1);  // "Exit"
  });
  m_pDialog->CommandAction(CAdminDlg::kCmdNewChartListing)->trigger();
  EXPECT_EQ(m_fakes.http.m_requests.size(), 2U);
  EXPECT_EQ(Text(CAdminDlg::kIdStatus), "");
}

using namespace std::chrono_literals;

class ChartUpdatesDlgTest : public RadioFixture {
 protected:
  ChartUpdatesDlgTest() {
    Start([this](Settings& settings) {
      settings.nChartSize = 2;
      settings.strUpdateServer = m_server.Address();
    });
    m_server.Serve("/avail.cht",
                   "US   HITus_010190.hit000002\r\n"
                   "UK   CHTuk_020200.cht000002\r\n");
  }

  // Opens the dialog and waits until the catalogue is in its list.
  void Open(int nLines) {
    m_pDialog = std::make_unique<CChartUpdatesDlg>(m_radio, m_http, m_server.Address());
    m_pDialog->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return List()->count() == nLines; }));
  }
  QListWidget* List() { return FindControlAs<QListWidget>(m_pDialog.get(), 1130); }
  void Apply(int nRow) {
    List()->setCurrentRow(nRow);
    Click(*m_pDialog, 1124);
  }
  std::string LastMessage() const {
    return m_prompter.m_shown.empty() ? std::string() : m_prompter.m_shown.back().strText;
  }

  LocalHttpServer m_server;
  QtHttpClient m_http{1000ms};
  std::unique_ptr<CChartUpdatesDlg> m_pDialog;
};

TEST_F(ChartUpdatesDlgTest, TheSortedListAppliesTheUpdateItShowsAndTellsTheOutcome) {
  m_server.Serve("/uk_020200.cht",
                 "02/02/2000\\New\\Entry\\1\\-1\\\r\n02/02/2000\\B\\C\\2\\-1\\\r\n");
  Open(2);
  EXPECT_EQ(List()->item(0)->text(),
            QStringLiteral("  UK   \tChart Database\t02/02/00\tuk_020200.cht"));
  Apply(0);
  EXPECT_EQ(LastMessage(),
            "The chart database has been updated.\nIf it has previously been modified manually "
            "you should rebuild the relationships");
  EXPECT_EQ(m_radio.Store().ChartCount(), 2);
  EXPECT_EQ(m_dir.Read("db/charts.dat"),
            "02/02/2000\\New\\Entry\\1\\-1\\\r\n02/02/2000\\B\\C\\2\\-1\\\r\n");
  EXPECT_EQ(m_pDialog->windowTitle(), QStringLiteral("Chart Updates"));
}

TEST_F(ChartUpdatesDlgTest, EscapeOrExitEndsADownloadAndAMissingCatalogueIsTold) {
  Open(2);
  m_server.SetMode(LocalHttpServer::Mode::kStall);
  QtHttpClient patient;  // would wait the full timeout unless cancelled
  m_pDialog = std::make_unique<CChartUpdatesDlg>(m_radio, patient, m_server.Address());
  m_pDialog->show();
  QTimer::singleShot(100, [&] { QTest::keyClick(m_pDialog.get(), Qt::Key_Escape); });
  ASSERT_TRUE(QTest::qWaitFor([&] { return !m_pDialog->isVisible(); }, 5000));

  m_server.SetMode(LocalHttpServer::Mode::kAnswer);
  Open(2);
  m_server.SetMode(LocalHttpServer::Mode::kStall);
  QTimer::singleShot(100, [&] {
    EXPECT_EQ(m_pDialog->windowTitle(), QStringLiteral("Chart Updates - Updating"));
    QTest::keyClick(m_pDialog.get(), Qt::Key_Escape);
  });
  Apply(0);
  EXPECT_NE(LastMessage().find("(cancelled)"), std::string::npos) << LastMessage();
  EXPECT_TRUE(m_pDialog->isVisible());  // only the download ended
  EXPECT_EQ(m_radio.Store().ChartCount(), 0);

  // "Exit" during a download closes the dialog once it has stopped: one press, no message.
  const std::size_t nShown = m_prompter.m_shown.size();
  QTimer::singleShot(100, [&] { Click(*m_pDialog, 1); });
  Apply(0);
  EXPECT_FALSE(m_pDialog->isVisible());
  EXPECT_EQ(m_pDialog->result(), QDialog::Accepted);
  EXPECT_EQ(m_prompter.m_shown.size(), nShown);
  EXPECT_EQ(m_radio.Store().ChartCount(), 0);

  // A catalogue that is not there says so above the empty list.
  m_server.SetMode(LocalHttpServer::Mode::kAnswer);
  m_server.Serve("/avail.cht", "", 404);
  Open(0);
  ASSERT_TRUE(QTest::qWaitFor([&] {
    return m_pDialog->findChild<QLabel*>()->text().startsWith("The update server answered 404");
  }));
}

}  // namespace
}  // namespace velvane
