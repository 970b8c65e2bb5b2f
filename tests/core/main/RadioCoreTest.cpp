#include <gtest/gtest.h>

#include "core/main/RadioFixture.h"

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
  ASSERT_EQ(m_prompter.m_shown.size(), 1u);
  EXPECT_EQ(m_prompter.m_shown[0].strText, "Files not found. The admin system will now be opened");
  // "Quit" saved nothing: the start values stand.
  EXPECT_EQ(m_radio.Display().strFadeAuto, "Fade:   5     Auto:   2");
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
  EXPECT_EQ(m_radio.Display().strPlayMode, "Auto Play");
  EXPECT_EQ(m_radio.Display().nMasterSlider, 300);
  EXPECT_EQ(m_radio.Display().strFadeAuto, "Fade:   7     Auto:   0");
  EXPECT_TRUE(m_prompter.m_shown.empty());
}

TEST_F(RadioCoreTest, AbsurdSizeSettingStartsWithTheLimitAndSaysSo) {
  m_profile.PutInt("General", "PlaySize", 999999999);
  m_radio.OnInitDialog([] {});
  EXPECT_EQ(m_radio.Store().PlaySize(), 1000000);
  ASSERT_EQ(m_prompter.m_shown.size(), 1u);
  EXPECT_EQ(m_prompter.m_shown[0].strText,
            "PlaySize 999999999 in the settings is outside 1 to 1000000; 1000000 is used");
}

TEST_F(RadioCoreTest, SavedQueuesGoRoundAndAFailedSaveIsReported) {
  QueueTracks({30000, 30000});
  const std::string strFolder = m_radio.SavedQueueFolder();
  EXPECT_EQ(strFolder, m_dir.Folder() + "db" + kPathSeparator + "playlist" + kPathSeparator);
  ASSERT_TRUE(m_radio.OnSaveQueue(strFolder + "evening.pla"));
  m_radio.Play().OnClearPlaylist();
  m_radio.OnLoadQueue(strFolder + "evening.pla");
  EXPECT_EQ(Display().queue.strNextTrack, "B - TB");

  const std::string strBad = m_dir.Folder() + "no such folder/evening.pla";
  EXPECT_FALSE(m_radio.OnSaveQueue(strBad));
  ASSERT_EQ(m_prompter.m_shown.size(), 1u);
  EXPECT_EQ(m_prompter.m_shown[0].strText, "Could not save the playlist file " + strBad);
  EXPECT_NE(m_dir.Read("db/errorlog.txt").find("Could not save the playlist file"),
            std::string::npos);
}

TEST_F(RadioCoreTest, ASecondProgramOnTheSameFolderIsToldItsChangesCannotBeSaved) {
  // The fixture's program holds the database folder; a second one starts on the same settings.
  FakePrompter prompter;
  RadioCore second(m_mci, m_clock, prompter, m_profile);
  second.OnInitDialog([] {});
  ASSERT_EQ(prompter.m_shown.size(), 1u);
  EXPECT_EQ(prompter.m_shown[0].strText,
            "The database folder is in use by another Velvane program, so changes to the "
            "databases cannot be saved until it has finished");
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

TEST_F(RadioCoreTest, ClosingIsRefusedWhileADeckIsInUseAndOtherwiseConfirmed) {
  QueueTracks({30000});
  m_radio.Play().OnPlayNextTrack();
  EXPECT_FALSE(m_radio.OnClose());
  ASSERT_EQ(m_prompter.m_shown.size(), 1u);  // refused without asking
  EXPECT_EQ(m_prompter.m_shown[0].strText,
            "Can't exit while tracks are running. Stop all tracks first");

  m_radio.Play().OnStopAllTracks();
  m_prompter.m_answers = {PromptAnswer::Cancel, PromptAnswer::Ok};
  EXPECT_FALSE(m_radio.OnClose());
  EXPECT_EQ(m_prompter.m_shown.back().strText, "Close the program?");
  EXPECT_EQ(m_prompter.m_shown.back().buttons, PromptButtons::OkCancel);
  EXPECT_TRUE(m_radio.OnClose());
}

TEST_F(RadioCoreTest, AdminIsRefusedWhileATrackIsCurrentAndSavesWithLimits) {
  QueueTracks({30000});
  m_radio.Play().OnPlayNextTrack();
  EXPECT_FALSE(m_radio.CanOpenAdmin());
  ASSERT_EQ(m_prompter.m_shown.size(), 1u);
  EXPECT_EQ(m_prompter.m_shown.back().strText, "Admin is not available while tracks are playing");
  m_radio.Play().OnStopAllTracks();
  EXPECT_TRUE(m_radio.CanOpenAdmin());

  AdminFields fields = FillAdminFields(m_radio.GetSettings());
  fields.strFadeTime = "0";
  fields.strAutoTime = "25";
  fields.strSystemTimer = "5";
  fields.strInitVolume = "-5";
  fields.bAutoChanger = true;
  fields.strPlaySize = "0";  // below the one record loaded
  EXPECT_TRUE(m_radio.OnAdminSaveAndExit(fields));
  EXPECT_EQ(m_radio.GetSettings().nFadeTime, 1);
  EXPECT_EQ(m_radio.GetSettings().nAutoTime, 10);
  EXPECT_EQ(m_radio.GetSettings().nSystemTimer, 10);
  EXPECT_EQ(m_radio.GetSettings().nInitVolume, 1000);
  EXPECT_EQ(m_radio.GetSettings().nPlaySize, 2);
  EXPECT_EQ(m_radio.Display().strFadeAuto, "Fade:   1     Auto:   10");
  EXPECT_EQ(m_radio.Display().strPlayMode, "Single Play");  // only the stored play mode changes
  ASSERT_TRUE(m_profile.Find("General", "PlayMode"));
  EXPECT_EQ(m_profile.Find("General", "PlayMode")->nValue, 1);
}

TEST_F(RadioCoreTest, AdminSaveWithANonNumberSizeIsRefusedAndStoresNothing) {
  AdminFields fields = FillAdminFields(m_radio.GetSettings());
  fields.strChartSize = "12a";
  EXPECT_FALSE(m_radio.OnAdminSaveAndExit(fields));
  ASSERT_EQ(m_prompter.m_shown.size(), 1u);
  EXPECT_EQ(m_prompter.m_shown.back().strText, "Please enter an integer.");
  EXPECT_TRUE(m_profile.m_vecWrites.empty());
  fields.strChartSize = "1000001";
  EXPECT_FALSE(m_radio.OnAdminSaveAndExit(fields));
  EXPECT_EQ(m_prompter.m_shown.back().strText, "The database sizes can be at most 1000000.");
  EXPECT_TRUE(m_profile.m_vecWrites.empty());
  fields.strChartSize = " 1200 ";
  EXPECT_TRUE(m_radio.OnAdminSaveAndExit(fields));
  EXPECT_EQ(m_radio.GetSettings().nChartSize, 1200);
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
  m_radio.Play().OnPlayNextTrack();  // a track starts under the editor
  EXPECT_EQ(nLocks, 1);
  m_radio.EndQueueEdit(&editor);
  ASSERT_EQ(m_prompter.m_shown.size(), 1u);
  EXPECT_EQ(m_prompter.m_shown.back().strText, "The Playlist has been changed, can't save");
  EXPECT_EQ(m_prompter.m_shown.back().strCaption, "ROLV Disco System");
  EXPECT_EQ(m_radio.Display().queue.strNowArtist, "A");
}

}  // namespace
}  // namespace velvane
