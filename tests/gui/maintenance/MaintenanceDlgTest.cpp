// The maintenance dialogs, opened from the administration dialog as the operator opens them:
// the dialog builds no adapter of its own, so they work through the fake ports handed to it.
#include "gui/maintenance/AnalyseDlg.h"

#include <gtest/gtest.h>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <fstream>
#include <thread>

#include "core/main/RadioFixture.h"
#include "gui/ModalDriver.h"
#include "gui/maintenance/ImportCDDlg.h"
#include "gui/maintenance/ImportLibraryDlg.h"
#include "gui/settings/AdminDlg.h"

namespace velvane {
namespace {

class MaintenanceDlgTest : public RadioFixture {
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

}  // namespace
}  // namespace velvane
