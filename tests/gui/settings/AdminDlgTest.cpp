#include "gui/settings/AdminDlg.h"

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>
#include <tuple>
#include <vector>

#include "core/main/RadioFixture.h"
#include "core/updates/UpdateCatalogue.h"
#include "gui/ModalDriver.h"
#include "gui/editors/ChartEditorDlg.h"
#include "gui/editors/NumberOneEditorDlg.h"
#include "gui/editors/PlaylistEditorDlg.h"
#include "gui/maintenance/AnalyseDlg.h"
#include "gui/maintenance/ImportCDDlg.h"
#include "gui/maintenance/ImportLibraryDlg.h"
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

// The maintenance dialogs, opened from the administration dialog as the operator opens them:
// the dialog builds no adapter of its own, so they work through the fake ports handed to it.
class MaintenanceDlgTest : public SearchDlgFixture {
 protected:
  static std::string Status(CAdminDlg& admin) { return TextOf(admin, CAdminDlg::kIdStatus); }

  FakeDialogPorts m_fakes;
};

TEST_F(MaintenanceDlgTest, AnalyseShowsItsProgressAndFailuresAndTheAdminStatusTheOutcome) {
  for (int t = 1; t <= 6; ++t) {
    AddTrack(3, t, "A", "T" + std::to_string(t), 1000);
  }
  std::ofstream(m_dir.Path() / "music" / "003" / "04 T4.mp3") << "bad";
  CAdminDlg admin(m_radio, m_fakes.ports);
  WhenModal<CAnalyseDlg>([](CAnalyseDlg& dialog) {
    ASSERT_TRUE(QTest::qWaitFor([&dialog] { return !dialog.Outcome().empty(); }, 10000));
    EXPECT_EQ(TextOf(dialog, CAnalyseDlg::kIdCount),
              "Analysed 5 music files, 1 could not be analysed");
    const auto* pProgress = FindControlAs<QProgressBar>(&dialog, CAnalyseDlg::kIdProgress);
    EXPECT_EQ(pProgress->value(), pProgress->maximum());
    QListWidget* pFailures = FindControlAs<QListWidget>(&dialog, CAnalyseDlg::kIdFailures);
    ASSERT_EQ(pFailures->count(), 1);
    EXPECT_EQ(pFailures->item(0)->text(),
              "Music file CD 003 Track 04 could not be analysed (04 T4.mp3): damaged");
    // Wider than the list, the line wraps and its row is high enough to show it whole.
    const QRect row = pFailures->visualItemRect(pFailures->item(0));
    const QRect wrapped = pFailures->fontMetrics().boundingRect(
        QRect(0, 0, row.width() - 8, 1000), Qt::TextWordWrap, pFailures->item(0)->text());
    EXPECT_GT(wrapped.height(), pFailures->fontMetrics().height());
    EXPECT_LE(wrapped.height(), row.height());
    EXPECT_EQ(TextOf(dialog, CAnalyseDlg::kIdStopClose), "Close");
  });
  admin.CommandAction(CAdminDlg::kCmdAnalyseMusicFiles)->trigger();
  EXPECT_EQ(Status(admin), "Analysed 5 music files, 1 could not be analysed");
  EXPECT_EQ(m_radio.Analysis().Count(), 5u);

  // A results file that cannot be read is told, and nothing is analysed.
  const std::filesystem::path results = m_dir.Path() / "db" / "analysis.dat";
  std::filesystem::remove(results);
  std::filesystem::create_directory(results);
  const int nCalls = m_fakes.analyser.m_nCalls;
  WhenModal<CAnalyseDlg>([](CAnalyseDlg& dialog) {
    EXPECT_TRUE(QTest::qWaitFor([&dialog] { return !dialog.Outcome().empty(); }, 10000));
  });
  admin.CommandAction(CAdminDlg::kCmdAnalyseMusicFiles)->trigger();
  EXPECT_EQ(Status(admin),
            "The analysis results cannot be read: " + results.string() + ": not a regular file");
  EXPECT_EQ(m_fakes.analyser.m_nCalls, nCalls);
}

// Waits until the test lets go: a held fake lets the test stop a run under way.
void WaitUntil(const std::atomic<bool>& bLetGo) {
  while (!bLetGo) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

class HeldAnalyser : public FakeAudioAnalyser {
 public:
  bool Analyse(const std::string& strPath, TrackMeasures& measures,
               std::string& strError) override {
    WaitUntil(m_bLetGo);
    return FakeAudioAnalyser::Analyse(strPath, measures, strError);
  }
  std::atomic<bool> m_bLetGo{false};
};

TEST_F(MaintenanceDlgTest, EscapeStopsTheAnalysisAndTheDialogStaysUntilItHasEnded) {
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

TEST_F(MaintenanceDlgTest, ImportBrowsesListsAppendsAndTellsNothingWasSavedOrThatItHasNoRoom) {
  Start([](Settings& settings) { settings.nPlaySize = 2; });
  m_fakes.chooser.m_answers = {AddMusicFile(12, 3, "- A - T", 1000)};
  CAdminDlg admin(m_radio, m_fakes.ports);
  WhenModal<CImportCDDlg>([this](CImportCDDlg& dialog) {
    Click(dialog, CImportCDDlg::kIdImportSave);  // nothing chosen yet: nothing happens
    EXPECT_TRUE(m_prompter.m_shown.empty());
    Click(dialog, CImportCDDlg::kIdBrowse);
    ASSERT_EQ(m_fakes.chooser.m_calls.size(), 1U);
    EXPECT_EQ(m_fakes.chooser.m_calls[0].options.strTitle, "Browse For CD");
    EXPECT_EQ(m_fakes.chooser.m_calls[0].options.strFolder, m_radio.GetSettings().strMusicDir);
    EXPECT_EQ(FindControlAs<QListWidget>(&dialog, CImportCDDlg::kIdList)->count(), 1);
    EXPECT_EQ(m_radio.Store().PlaylistCount(), 0);

    Click(dialog, CImportCDDlg::kIdImportSave);
    EXPECT_EQ(m_radio.Store().PlaylistCount(), 1);
    ASSERT_EQ(m_prompter.m_shown.size(), 1U);
    EXPECT_EQ(m_prompter.m_shown[0].strText, kCDImportedNotSaved);
    EXPECT_EQ(m_prompter.m_shown[0].icon, PromptIcon::Information);

    // Twice is appended twice; a third time does not fit a library of two and is refused.
    Click(dialog, CImportCDDlg::kIdImportSave);
    Click(dialog, CImportCDDlg::kIdImportSave);
    EXPECT_EQ(m_radio.Store().PlaylistCount(), 2);
    EXPECT_EQ(m_prompter.m_shown.size(), 3U);
    Click(dialog, CImportCDDlg::kIdImportSave);  // the refusal forgot the chosen file
    EXPECT_EQ(m_prompter.m_shown.size(), 3U);
  });
  admin.CommandAction(CAdminDlg::kCmdImportFolder)->trigger();
}

// A skipped file is listed by its name, which the narrow track column would cut to "0...", and
// the whole line, reason included, is in its tooltip.
TEST_F(MaintenanceDlgTest, ImportListsASkippedFileByItsNameWithTheWholeReason) {
  const std::filesystem::path cd = m_dir.Path() / "music" / "012";
  std::filesystem::create_directories(cd);
  for (const char* pszName : {"05.mp3", "120 - x.mp3"}) {
    std::ofstream(cd / pszName) << "x";
  }
  m_fakes.chooser.m_answers = {(cd / "05.mp3").string()};
  CImportCDDlg dialog(m_radio, m_fakes.chooser, m_fakes.tags);
  Click(dialog, CImportCDDlg::kIdBrowse);
  const auto* pList = FindControlAs<QListWidget>(&dialog, CImportCDDlg::kIdList);
  ASSERT_EQ(pList->count(), 2);
  EXPECT_EQ(pList->item(0)->text(),
            "\t05.mp3\tNot importable: no artist or title in its name or tags\t");
  EXPECT_EQ(pList->item(1)->toolTip(), "120 - x.mp3 Not importable: its track number is above 99");
}

// Folders of an operator's collection: "Artist/Album/NN Title.mp3" with tags for some.
std::filesystem::path MakeCollection(const std::filesystem::path& root, FakeTagReader& tags) {
  for (const char* pszFile : {"Abba/Gold/01 x.mp3", "Abba/Gold/02 y.mp3", "Solo/track.flac"}) {
    std::filesystem::create_directories((root / pszFile).parent_path());
    std::ofstream(root / pszFile) << pszFile;
  }
  tags.m_tags["01 x.mp3"] = {"ABBA", "Waterloo", 1, 1};
  tags.m_tags["02 y.mp3"] = {"ABBA", "SOS", 1, 2};
  return root;
}

TEST_F(MaintenanceDlgTest, LibraryImportPreviewsThePlanThenPlacesSavesAndShowsTheLibraryAtOnce) {
  const std::filesystem::path source = MakeCollection(m_dir.Path() / "collection", m_fakes.tags);
  m_fakes.chooser.m_answers = {(source / "Abba").string(), (source / "Solo").string(),
                               (source / "Solo").string()};
  CAdminDlg admin(m_radio, m_fakes.ports);
  WhenModal<CImportLibraryDlg>([this](CImportLibraryDlg& dialog) {
    EXPECT_FALSE(FindControl(&dialog, CImportLibraryDlg::kIdPreview)->isEnabled());
    for (int i = 0; i < 3; ++i) {
      Click(dialog, CImportLibraryDlg::kIdAddFolder);  // the third adds the same folder again
    }
    EXPECT_EQ(FindControlAs<QListWidget>(&dialog, CImportLibraryDlg::kIdFolders)->count(), 2);
    EXPECT_FALSE(FindControl(&dialog, CImportLibraryDlg::kIdImport)->isEnabled());
    Click(dialog, CImportLibraryDlg::kIdPreview);
    ASSERT_TRUE(QTest::qWaitFor([&dialog] { return !dialog.Working(); }, 10000));
    auto* pPlan = FindControlAs<QListWidget>(&dialog, CImportLibraryDlg::kIdPlan);
    ASSERT_EQ(pPlan->count(), 3);
    EXPECT_EQ(pPlan->item(0)->text().section('\t', 0, 3), "001\t01\tABBA\tWaterloo");
    EXPECT_EQ(pPlan->item(2)->text().section('\t', 0, 3), "002\t01\tUnknown Artist\ttrack");
    EXPECT_EQ(m_radio.Store().PlaylistCount(), 0);  // a preview places and saves nothing
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path() / "music" / "001"));

    Click(dialog, CImportLibraryDlg::kIdImport);
    ASSERT_TRUE(QTest::qWaitFor([&dialog] { return !dialog.Outcome().empty(); }, 10000));
    EXPECT_EQ(FindControlAs<QLabel>(&dialog, CImportLibraryDlg::kIdStatus)->text().toStdString(),
              dialog.Outcome());
    EXPECT_FALSE(FindControl(&dialog, CImportLibraryDlg::kIdImport)->isEnabled());
    Click(dialog, CImportLibraryDlg::kIdCancelClose);
  });
  admin.CommandAction(CAdminDlg::kCmdImportMusicLibrary)->trigger();
  EXPECT_EQ(Status(admin),
            "Imported 3 tracks on 2 CDs (CD 001 to 002); 0 already imported; 0 not importable");
  ASSERT_EQ(m_radio.Store().PlaylistCount(), 3);
  EXPECT_EQ(m_radio.Store().Playlist(1).strTitle, "SOS");
  EXPECT_TRUE(std::filesystem::exists(m_dir.Path() / "music" / "001" / "02 - ABBA - SOS.mp3"));
  EXPECT_TRUE(std::filesystem::exists(m_dir.Path() / "db" / "imported.dat"));
  const std::string strSaved = m_dir.Read("db/playlist.dat");
  EXPECT_EQ(std::count(strSaved.begin(), strSaved.end(), '\n'), 3);  // saved, not only held

  // The same folders again: everything is already imported, so there is nothing to import.
  m_fakes.chooser.m_answers = {source.string()};
  WhenModal<CImportLibraryDlg>([](CImportLibraryDlg& dialog) {
    Click(dialog, CImportLibraryDlg::kIdAddFolder);
    Click(dialog, CImportLibraryDlg::kIdPreview);
    ASSERT_TRUE(QTest::qWaitFor([&dialog] { return !dialog.Working(); }, 10000));
    EXPECT_NE(FindControlAs<QLabel>(&dialog, CImportLibraryDlg::kIdStatus)
                  ->text()
                  .indexOf("3 already imported"),
              -1);
    EXPECT_FALSE(FindControl(&dialog, CImportLibraryDlg::kIdImport)->isEnabled());
  });
  admin.CommandAction(CAdminDlg::kCmdImportMusicLibrary)->trigger();
  EXPECT_EQ(m_radio.Store().PlaylistCount(), 3);
}

class HeldTags : public FakeTagReader {
 public:
  bool ReadTags(const std::string& strPath, FileTags& tags) override {
    WaitUntil(m_bLetGo);
    return FakeTagReader::ReadTags(strPath, tags);
  }
  std::atomic<bool> m_bLetGo{false};
};

TEST_F(MaintenanceDlgTest, EscapeCancelsALibraryPreviewAndTheDialogStaysUntilItHasEnded) {
  HeldTags tags;
  m_fakes.chooser.m_answers = {MakeCollection(m_dir.Path() / "collection", tags).string()};
  CImportLibraryDlg dialog(m_radio, m_fakes.chooser, tags);
  dialog.show();
  Click(dialog, CImportLibraryDlg::kIdAddFolder);
  Click(dialog, CImportLibraryDlg::kIdPreview);
  ASSERT_TRUE(dialog.Working());
  dialog.reject();
  auto* pButton = FindControlAs<QPushButton>(&dialog, CImportLibraryDlg::kIdCancelClose);
  EXPECT_EQ(pButton->text(), "Cancelling...");
  EXPECT_TRUE(dialog.isVisible());
  tags.m_bLetGo = true;
  ASSERT_TRUE(QTest::qWaitFor([&dialog] { return !dialog.Working(); }, 10000));
  EXPECT_EQ(FindControlAs<QLabel>(&dialog, CImportLibraryDlg::kIdStatus)->text(),
            "Preview cancelled: nothing was imported.");
  EXPECT_FALSE(FindControl(&dialog, CImportLibraryDlg::kIdImport)->isEnabled());
  EXPECT_EQ(pButton->text(), "Close");
  QTest::mouseClick(pButton, Qt::LeftButton);
  EXPECT_FALSE(dialog.isVisible());
}

using D = CPlaylistEditorDlg;
using E = EditorDialog;

// The editors, over the maintenance dialogs' fixture.
class EditorDlgTest : public MaintenanceDlgTest {
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
