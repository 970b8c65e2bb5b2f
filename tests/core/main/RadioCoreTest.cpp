#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "core/main/RadioFixture.h"
#include "support/FileFaults.h"
#include "support/Rows.h"

namespace velvane {
namespace {

using RadioCoreTest = RadioFixture;

TEST_F(RadioCoreTest, FirstRunTellsTheOperatorThenRunsAdminWithArraysReady) {
  m_profile = FakeProfileStore{};  // never installed
  const bool bFileBefore = std::filesystem::exists("playlist.dat");
  bool bAdminRan = false;
  m_radio.OnInitDialog([&] {
    bAdminRan = true;
    EXPECT_EQ(m_radio.Store().PlaySize(), 50000);  // commands of the dialog can store records
  });
  EXPECT_TRUE(bAdminRan);
  EXPECT_EQ(m_prompter.Texts(), Strings{"Files not found. The admin system will now be opened"});
  // "Quit" saved nothing: the start values stand.
  EXPECT_EQ(Display().strFadeAuto, "Fade:   5     Auto:   2");
  EXPECT_EQ(m_radio.AutoSearchYears().strEndYear, "2026");
  // No database folder yet: no files are made in the working folder.
  EXPECT_EQ(std::filesystem::exists("playlist.dat"), bFileBefore);
}

TEST_F(RadioCoreTest, InstalledStartLoadsTheDatabasesAndTakesModeAndVolume) {
  m_dir.Write("db/playlist.dat", "00101\\A\\T\\0\\\r\n");
  m_dir.Write("db/charts.dat", "05/03/1983\\A\\T\\3\\0\\\r\n");
  m_profile = FakeProfileStore{};
  m_profile.PutInt("General", "IsInstalled", 1);
  m_profile.PutString("General", "FilesDir", m_dir.Folder() + "db/");
  m_profile.PutInt("General", "PlayMode", 1);
  m_profile.PutInt("General", "InitVolume", 300);
  m_profile.PutString("General", "FadeTime", "7");
  m_radio.OnInitDialog([] { FAIL() << "no admin dialog on an installed start"; });
  EXPECT_EQ(m_radio.Store().Playlist(0).nChartLink, 0);
  EXPECT_EQ(Display().strPlayMode, "Auto Play");
  EXPECT_EQ(Display().nMasterSlider, 300);
  EXPECT_EQ(Display().strFadeAuto, "Fade:   7     Auto:   0");
  EXPECT_TRUE(m_prompter.m_shown.empty());

  // The mode button toggles the mode in use only.
  Play().OnPlayMode();
  EXPECT_EQ(Display().strPlayMode, "Single Play");
  Play().OnPlayMode();
  EXPECT_EQ(Display().strPlayMode, "Auto Play");
  EXPECT_EQ(m_radio.GetSettings().nPlayMode, 1);
}

TEST_F(RadioCoreTest, AbsurdSizeSettingStartsWithTheLimitAndSaysSo) {
  m_profile.PutInt("General", "PlaySize", 999999999);
  m_radio.OnInitDialog([] {});
  EXPECT_EQ(m_radio.Store().PlaySize(), 1000000);
  EXPECT_EQ(m_prompter.Texts(),
            Strings{"PlaySize 999999999 in the settings is outside 1 to 1000000; 1000000 is used"});
}

TEST_F(RadioCoreTest, SavedQueuesGoRoundAndAFailedSaveIsReported) {
  QueueTracks({30000, 30000});
  const std::string strFolder = m_radio.SavedQueueFolder();
  EXPECT_EQ(strFolder, m_dir.Folder() + "db" + kPathSeparator + "playlist" + kPathSeparator);
  ASSERT_TRUE(m_radio.OnSaveQueue(strFolder + "evening.pla"));
  Play().OnClearPlaylist();
  m_radio.OnLoadQueue(strFolder + "evening.pla");
  EXPECT_EQ(Display().queue.strNextTrack, "B - TB");

  const std::string strBad = m_dir.Folder() + "no such folder/evening.pla";
  EXPECT_FALSE(m_radio.OnSaveQueue(strBad));
  EXPECT_EQ(m_prompter.Texts(), Strings{"Could not save the playlist file " + strBad});
  EXPECT_TRUE(Contains(m_dir.Read("db/errorlog.txt"), "Could not save the playlist file"));
}

TEST_F(RadioCoreTest, ASecondProgramOnTheSameFolderIsToldItsChangesCannotBeSaved) {
  // The fixture's program holds the database folder; a second one starts on the same settings.
  FakePrompter prompter;
  RadioCore second(m_mci, m_clock, prompter, m_profile);
  second.OnInitDialog([] {});
  EXPECT_EQ(prompter.Texts(),
            Strings{"The database folder is in use by another Velvane program, so changes to the "
                    "databases cannot be saved until it has finished"});
  EXPECT_TRUE(second.DatabasesOpened());  // it still reads them
  EXPECT_TRUE(m_prompter.m_shown.empty());
}

TEST_F(RadioCoreTest, QueuedTracksShowRecordsAddedToTheLibrary) {
  Queue(9, 1);  // not in the library yet
  Queue(9, 2);
  EXPECT_EQ(Display().queue.strNextTrack, " - ");
  AddTrack(9, 2, "Imported", "Song", 30000);
  m_radio.OnLibraryChanged();
  EXPECT_EQ(Display().queue.strNextTrack, "Imported - Song");
}

TEST_F(RadioCoreTest, ClosingAndAdminAreRefusedWhileTracksPlayAndClosingIsConfirmed) {
  QueueTracks({30000});
  Play().OnPlayNextTrack();
  EXPECT_FALSE(m_radio.OnClose());  // refused without asking
  EXPECT_FALSE(m_radio.CanOpenAdmin());
  EXPECT_EQ(m_prompter.Texts(),
            (Strings{"Can't exit while tracks are running. Stop all tracks first",
                     "Admin is not available while tracks are playing"}));

  Play().OnStopAllTracks();
  EXPECT_TRUE(m_radio.CanOpenAdmin());
  m_prompter.m_answers = {PromptAnswer::Cancel, PromptAnswer::Ok};
  EXPECT_FALSE(m_radio.OnClose());
  EXPECT_EQ(m_prompter.m_shown.back().strText, "Close the program?");
  EXPECT_EQ(m_prompter.m_shown.back().buttons, PromptButtons::OkCancel);
  EXPECT_TRUE(m_radio.OnClose());
}

TEST_F(RadioCoreTest, AdminSavesWithinTheLimitsAndRefusesASizeThatIsNoNumber) {
  AppendRecord(m_radio.Store(), {"A", "T", "1", "1"});
  AdminFields fields = FillAdminFields(m_radio.GetSettings());
  fields.strChartSize = "12a";
  EXPECT_FALSE(m_radio.OnAdminSaveAndExit(fields));
  fields.strChartSize = "1000001";
  EXPECT_FALSE(m_radio.OnAdminSaveAndExit(fields));
  EXPECT_EQ(m_prompter.Texts(),
            (Strings{"Please enter an integer.", "The database sizes can be at most 1000000."}));
  EXPECT_TRUE(m_profile.m_vecWrites.empty());

  fields.strChartSize = " 1200 ";
  fields.strFadeTime = "0";
  fields.strAutoTime = "25";
  fields.strSystemTimer = "5";
  fields.strInitVolume = "-5";
  fields.bAutoChanger = true;
  fields.strPlaySize = "0";  // below the one record loaded
  EXPECT_TRUE(m_radio.OnAdminSaveAndExit(fields));
  const Settings& settings = m_radio.GetSettings();
  EXPECT_EQ(std::tie(settings.nFadeTime, settings.nAutoTime, settings.nSystemTimer,
                     settings.nInitVolume, settings.nPlaySize, settings.nChartSize),
            std::make_tuple(1, 10, 10, 1000, 2, 1200));
  EXPECT_EQ(Display().strFadeAuto, "Fade:   1     Auto:   10");
  EXPECT_EQ(Display().strPlayMode, "Single Play");  // only the stored play mode changes
  ASSERT_TRUE(m_profile.Find("General", "PlayMode"));
  EXPECT_EQ(m_profile.Find("General", "PlayMode")->nValue, 1);
}

TEST_F(RadioCoreTest, AutoSearchYearsAreKeptAndSavedAsText) {
  m_radio.OnAutoSearchClosed({"", "1985"});
  EXPECT_EQ(m_radio.AutoSearchYears().strEndYear, "1985");
  ASSERT_TRUE(m_profile.Find("General", "AutoEndYear"));
  EXPECT_EQ(m_profile.Find("General", "AutoEndYear")->strValue, "1985");
}

TEST_F(RadioCoreTest, FoldersTypedWithoutTheirSeparatorGainIt) {
  std::filesystem::create_directories(m_dir.Path() / "typed");
  AdminFields fields = FillAdminFields(m_radio.GetSettings());
  fields.strFilesDir = (m_dir.Path() / "typed").string();
  fields.strMusicDir = (m_dir.Path() / "music").string();
  ASSERT_TRUE(m_radio.OnAdminSaveAndExit(fields));
  EXPECT_EQ(m_radio.GetSettings().strFilesDir, m_dir.Folder() + "typed" + kPathSeparator);
  EXPECT_EQ(m_radio.GetSettings().strMusicDir, m_dir.Folder() + "music" + kPathSeparator);

  // The next start makes the database files inside the folder, not beside it.
  m_radio.OnInitDialog([] {});
  EXPECT_TRUE(m_dir.Exists("typed/playlist.dat"));
  EXPECT_FALSE(m_dir.Exists("typedplaylist.dat"));
}

TEST_F(RadioCoreTest, QueueEditSaveIsRefusedWhenATrackStartedUnderTheEditor) {
  QueueTracks({30000, 30000});
  int nLocks = 0;
  m_radio.SetQueueEditorLockedHandler([&] { ++nLocks; });

  m_radio.BeginQueueEdit();
  QueueEditor editor(m_radio.QueueSlotsNow());
  editor.OnMoveDown(0, false);
  Play().OnPlayNextTrack();  // a track starts under the editor
  EXPECT_EQ(nLocks, 1);
  m_radio.EndQueueEdit(&editor);
  EXPECT_EQ(m_prompter.Texts(), Strings{"The Playlist has been changed, can't save"});
  EXPECT_EQ(m_prompter.m_shown.back().strCaption, "ROLV Disco System");
  EXPECT_EQ(Display().queue.strNowArtist, "A");
}

// What the main window's core does after an editor saved: both files, the queue looked up.
using RadioCoreEditorsTest = RadioFixture;

TEST_F(RadioCoreEditorsTest, BothFilesAreSavedAndTheQueueLooksItsTracksUpAgain) {
  QueueTracks({30000});
  m_radio.Store().SetPlaylistEntry(0, "Edited", "TA", "1", "1", -1);
  EXPECT_TRUE(m_radio.SaveEditedDatabases());
  EXPECT_EQ(m_dir.Read("db/playlist.dat"), "00101\\Edited\\TA\\-1\\\r\n");
  EXPECT_TRUE(m_dir.Exists("db/charts.old"));
  EXPECT_EQ(m_radio.Display().queue.strNowArtist, "Edited");
  EXPECT_TRUE(m_prompter.m_shown.empty());
}

TEST_F(RadioCoreEditorsTest, AFailedPlaylistSaveIsToldKeepsTheEditsAndLeavesChartsDatAlone) {
  QueueTracks({30000});
  std::filesystem::create_directory(m_dir.Path() / "db" / "playlist.tmp");
  m_radio.Store().SetPlaylistEntry(0, "Edited", "TA", "1", "1", -1);
  EXPECT_FALSE(m_radio.SaveEditedDatabases());
  ASSERT_EQ(m_prompter.m_shown.size(), 1u);
  EXPECT_EQ(m_prompter.m_shown[0].icon, PromptIcon::Exclamation);
  EXPECT_EQ(m_dir.Read("db/playlist.dat"), "");  // the previous copy, untouched
  EXPECT_FALSE(m_dir.Exists("db/charts.old"));   // the two files on disk still belong together
  EXPECT_EQ(m_radio.Store().Playlist(0).strArtist, "Edited");
  EXPECT_TRUE(Contains(m_dir.Read("db/errorlog.txt"), "Failed to create a new playlist file"));
}

// Started while velvane-tool held the folder, the program used to stay read-only for its whole
// run: every Save And Exit was refused and the edits were lost at the restart.
TEST_F(RadioCoreEditorsTest, SavesTakeTheLockBackOnceTheOtherProgramHasEnded) {
  POSIX_ONLY_TEST("a forked child process holds the lock");
  std::filesystem::create_directories(m_dir.Path() / "db2");
  const std::string strFolder = (m_dir.Path() / "db2" / "").string();
  ChildLockHolder tool(strFolder);
  ASSERT_TRUE(tool.Holding());
  Start([&](Settings& settings) { settings.strFilesDir = strFolder; });
  m_prompter.m_shown.clear();
  QueueTracks({30000});

  EXPECT_FALSE(m_radio.SaveEditedDatabases());
  ASSERT_FALSE(m_prompter.m_shown.empty());
  EXPECT_TRUE(Contains(m_prompter.m_shown[0].strText, kFolderInUseText));
  EXPECT_EQ(m_dir.Read("db2/playlist.dat"), "");
  EXPECT_EQ(m_radio.DatabaseWriteRefusal(), kFolderInUseText);

  tool.End();
  EXPECT_EQ(m_radio.DatabaseWriteRefusal(), "");
  EXPECT_TRUE(m_radio.SaveEditedDatabases());
  EXPECT_EQ(m_dir.Read("db2/playlist.dat"), "00101\\A\\TA\\-1\\\r\n");
  // And it holds the folder now: another program is kept out.
  EXPECT_FALSE(ChildLockHolder(strFolder).Holding());
}

TEST_F(RadioCoreEditorsTest, WithoutASavedDatabaseFolderNothingIsWrittenAndTheOperatorIsTold) {
  Start([](Settings& settings) { settings.strFilesDir.clear(); });
  const auto before = std::filesystem::current_path();
  EXPECT_FALSE(m_radio.SaveEditedDatabases());
  EXPECT_EQ(m_prompter.m_shown.size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(before / "playlist.dat"));

  // The editors ask first, since what is edited now cannot outlive the first-run dialog.
  m_prompter.m_answers = {PromptAnswer::No, PromptAnswer::Yes};
  EXPECT_FALSE(m_radio.ConfirmEditingWithoutFolder());
  EXPECT_TRUE(m_radio.ConfirmEditingWithoutFolder());
  EXPECT_EQ(m_prompter.m_shown.back().buttons, PromptButtons::YesNo);
  Start();
  EXPECT_TRUE(m_radio.ConfirmEditingWithoutFolder());
  EXPECT_EQ(m_prompter.m_shown.size(), 3u);
}

}  // namespace
}  // namespace velvane
