#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "core/analysis/AnalysisFile.h"
#include "core/main/Fader.h"
#include "core/main/RadioFixture.h"
#include "support/FileFaults.h"
#include "support/Records.h"

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

class TimerLoopTest : public RadioFixture {
 protected:
  void AutoPlay(int nTimerMs = 100) {
    Start([nTimerMs](Settings& settings) {
      settings.nAutoTime = 2;
      settings.nPlayMode = 1;
      settings.nSystemTimer = nTimerMs;
    });
  }
};

TEST_F(TimerLoopTest, AutoPlayStartsTheNextTrackWhenTheShownTimeTurnsToOneSecond) {
  AutoPlay();
  QueueTracks({15000, 20000});
  Play().OnPlayNextTrack();

  ASSERT_TRUE(TickUntil([&] { return Display().strRemaining == "00:02"; }));
  EXPECT_EQ(Display().decks[0].lamp, DeckLamp::kCurrent);
  ASSERT_TRUE(TickUntil([&] { return m_mci.IsOpen("Track2"); }));
  EXPECT_EQ(m_mci.DeckOf("Track1").nPosition, 13100);  // the first change to 00:01
  EXPECT_EQ(Display().queue.strNowArtist, "B");

  Tick();
  EXPECT_EQ(Display().lastTrack.Text(), " Last: A - TA (00:01)");
  EXPECT_EQ(Display().decks[0].lamp, DeckLamp::kInUse);
  EXPECT_EQ(Display().decks[1].lamp, DeckLamp::kCurrent);

  // The first track plays out on its own deck, then its line goes blank.
  ASSERT_TRUE(TickUntil([&] { return !m_mci.IsOpen("Track1"); }, 30));
  EXPECT_EQ(Display().lastTrack.Text(), "");
  EXPECT_EQ(DeckState(), "current 2, last 0, in use 2, open Track2");
  EXPECT_EQ(Display().decks[0].lamp, DeckLamp::kIdle);
}

TEST_F(TimerLoopTest, AutoPlayFollowsATrackTooShortToArmOnTheNextTickAndSinglePlayWaits) {
  AutoPlay();
  QueueTracks({4000, 20000, 20000});
  Play().OnPlayNextTrack();
  ASSERT_TRUE(TickUntil([&] { return !m_mci.IsOpen("Track1"); }, 60));  // never armed
  EXPECT_EQ(Play().DecksInUse(), 0);
  Tick();
  EXPECT_EQ(DeckState(), "current 1, last 0, in use 1, open Track1");
  EXPECT_EQ(Display().queue.strNowArtist, "B");

  // Stopped by the operator: quiet stays quiet.
  Play().OnStopAllTracks();
  Ticks(3);
  EXPECT_EQ(Play().DecksInUse(), 0);

  Play().OnPlayMode();  // Single Play: the operator starts every track
  Play().OnPlayCurrentTrack();
  ASSERT_TRUE(TickUntil([&] { return Play().DecksInUse() == 0; }, 300));
  Ticks(3);
  EXPECT_EQ(Play().DecksInUse(), 0);
  EXPECT_EQ(Display().queue.strNowArtist, "C");
}

TEST_F(TimerLoopTest, AutoPlayLogsAndSkipsBadNextTracksLeavingNoSilentDeck) {
  AutoPlay();
  AddTrack(1, 1, "A", "TA", 12000);
  m_mci.m_files.erase(AddMusicFile(2, 2, "broken", 1000));  // on disk, but will not open
  Queue(1, 1);
  Queue(7, 7);  // no music file
  Queue(2, 2);
  Play().OnPlayNextTrack();
  ASSERT_TRUE(TickUntil([&] { return m_dir.Exists("db/errorlog.txt"); }, 200));
  EXPECT_EQ(m_dir.Read("db/errorlog.txt"),
            "04/12/2026 17:59   Auto Play skipped CD 7 Track 7: no music file\r\n"
            "04/12/2026 17:59   Auto Play skipped CD 2 Track 2: it could not be played\r\n");
  EXPECT_EQ(DeckState(), "current 1, last 0, in use 1, open Track1");
  // The track playing out, not a skipped one.
  EXPECT_EQ(Play().LastTrackPlayed().strArtist, "A");

  // The first track still ends normally and takes the bad one out of the queue with it.
  ASSERT_TRUE(TickUntil([&] { return !m_mci.IsOpen("Track1"); }, 40));
  EXPECT_TRUE(Display().queueSlots[0].strCD.empty());
}

TEST_F(TimerLoopTest, SkippingABadNextTrackLocksTheQueueEditor) {
  AutoPlay();
  AddTrack(1, 1, "A", "TA", 12000);
  Queue(1, 1);
  Queue(7, 7);  // no music file, and nothing behind it
  int nLocks = 0;
  m_radio.SetQueueEditorLockedHandler([&] { ++nLocks; });
  Play().OnPlayNextTrack();
  m_radio.BeginQueueEdit();
  const QueueEditor editor(m_radio.QueueSlotsNow());
  ASSERT_TRUE(TickUntil([&] { return m_dir.Exists("db/errorlog.txt"); }, 200));
  EXPECT_EQ(nLocks, 1);

  // The editor's copy would bring the skipped track back: its save is refused.
  m_radio.EndQueueEdit(&editor);
  EXPECT_EQ(m_prompter.Texts(), Strings{"The Playlist has been changed, can't save"});
  EXPECT_EQ(Display().queueSlots[0].strCD, "7");
}

TEST_F(TimerLoopTest, ATrackStartedByHandArmsOnlyAfterItsOwnTenSeconds) {
  AutoPlay();
  QueueTracks({60000, 4000, 60000});
  Play().OnPlayNextTrack();
  Ticks(300);  // A is armed
  ASSERT_TRUE(Display().bPlayNextEnabled);
  Play().OnPlayNextTrack();  // B, four seconds long, over A
  Ticks(30);

  // B's last seconds start nothing: A plays on, C waits.
  EXPECT_EQ(m_mci.DeckOf("Track1").nPosition, 33000);
  EXPECT_EQ(Display().queue.strNowArtist, "B");
  EXPECT_EQ(Display().queue.strNextTrack, "C - TC");
}

TEST_F(TimerLoopTest, AutoChangeAtExactlyAutoTimeLeftWithOneSecondTicks) {
  AutoPlay(1000);
  QueueTracks({15000, 20000});
  Play().OnPlayNextTrack();
  Ticks(12, 1000);
  EXPECT_FALSE(m_mci.IsOpen("Track2"));
  Tick(1000);  // 13 s played: exactly 2000 ms left
  EXPECT_TRUE(m_mci.IsOpen("Track2"));
  EXPECT_EQ(Display().queue.strNowArtist, "B");
}

TEST_F(TimerLoopTest, LastTrackLineCutsEachNameAndKeepsTheCountdownApart) {
  // A Windows-1252 artist over 36 bytes and a UTF-8 title: each cut, then converted.
  AddTrack(1, 1, "Mot\xF6rhead" + std::string(40, 'x'), "J\xC3\xB3ga", 60000);
  AddTrack(1, 2, "B", "TB", 60000);
  Queue(1, 1);
  Queue(1, 2);
  Play().OnPlayNextTrack();
  Tick();
  Play().OnPlayNextTrack();
  Tick(1000);
  const LastTrackLine& line = Display().lastTrack;
  EXPECT_EQ(line.strNames, " Last: Mot\xC3\xB6rhead" + std::string(27, 'x') + " - J\xC3\xB3ga");
  EXPECT_EQ(line.strCountdown, " (00:58)");
}

TEST_F(TimerLoopTest, SinglePlayArmsPlayNextAfterTenSecondsAndAtTheEndOnlyAdvances) {
  QueueTracks({12950, 20000});
  Play().OnPlayNextTrack();
  Ticks(100);  // exactly ten seconds, as the shown time turns to 00:02
  EXPECT_FALSE(Display().bPlayNextEnabled);
  Ticks(10);
  EXPECT_TRUE(Display().bPlayNextEnabled);

  Ticks(20);
  EXPECT_EQ(DeckState(), "current 0, last 0, in use , open");
  EXPECT_EQ(Display().queue.strNowArtist, "B");
  EXPECT_TRUE(Display().queueSlots[1].strCD.empty());
  EXPECT_TRUE(Display().bPlayCurrentEnabled);
}

TEST_F(TimerLoopTest, StoppedHeadWithATrackWaitingTurnsTheAlertOn) {
  QueueTracks({60000, 60000});
  Play().OnPlayNextTrack();
  Ticks(15);
  Play().OnStopCurrentTrack();
  Tick();
  EXPECT_EQ(Display().strRemaining, "00:00");
  EXPECT_TRUE(Display().bNowPlayingAlert);
  Play().OnPlayNextTrack();  // plays slot 2's track
  EXPECT_FALSE(Display().bNowPlayingAlert);
  EXPECT_EQ(Display().queue.strNowArtist, "B");
}

TEST_F(TimerLoopTest, VolumesCombineDeckAndMasterSlidersAndReachANewTrackOnTheNextTick) {
  QueueTracks({60000, 60000});
  Play().SetMasterSlider(200);
  Play().OnPlayNextTrack();
  Tick();
  EXPECT_EQ(m_mci.DeckOf("Track1").nVolume, 800);
  Play().OnPlayNextTrack();  // deck 2's slider already at the top: no slider moves
  Tick();
  EXPECT_EQ(m_mci.DeckOf("Track2").nVolume, 800);
  Play().SetDeckSlider(2, 250);
  Tick();
  EXPECT_EQ(m_mci.DeckOf("Track2").nVolume, 600);
  Play().SetMasterSlider(1000);
  Tick();
  EXPECT_EQ(m_mci.DeckOf("Track2").nVolume, 0);
}

TEST_F(TimerLoopTest, TheCurrentTrackEndingFreesBothDecksAndMovesTheQueueOnce) {
  QueueTracks({60000, 5000, 60000, 60000});
  Play().OnPlayNextTrack();
  Tick();
  Play().OnPlayNextTrack();  // B, five seconds, over A
  ASSERT_TRUE(TickUntil([&] { return !m_mci.IsOpen("Track2"); }, 60));
  EXPECT_EQ(DeckState(), "current 0, last 0, in use , open");  // A went with it
  EXPECT_EQ(Display().queue.strNowArtist, "C");
  EXPECT_EQ(Display().queue.strNextTrack, "D - TD");
}

TEST_F(TimerLoopTest, AFadeGreysItsButtonUntilItEndsAndAFadedOutDeckPlaysOn) {
  QueueTracks({60000});
  Play().OnPlayNextTrack();
  Play().SetDeckSlider(1, 990);
  Play().OnFadeCurrent();
  Tick();
  EXPECT_EQ(Display().decks[0].nSlider, 1000);
  EXPECT_TRUE(Display().bFadeCurrentEnabled);
  EXPECT_TRUE(m_mci.IsOpen("Track1"));

  Play().OnFadeCurrent();  // from silence: fades in, 20 a tick
  Tick();
  EXPECT_EQ(Display().decks[0].nSlider, 980);
  EXPECT_FALSE(Display().bFadeCurrentEnabled);
}

TEST_F(TimerLoopTest, StatusAndClockTexts) {
  Tick();
  EXPECT_EQ(Display().strStatus, "Not Ready");  // empty music folder
  QueueTracks({61500});
  Tick();
  EXPECT_EQ(Display().strStatus, "No Database");  // the database files were never opened
  EXPECT_EQ(Display().strClock, "Friday 04 December 2026     17:59");
}

// Auto Play over tracks with analysis results, with the two sound settings as each test says.
class SoundFromAnalysisTest : public RadioFixture {
 protected:
  void AutoPlay(bool bEvenLoudness, bool bChangeAtMusicEnd) {
    Start([&](Settings& settings) {
      settings.nAutoTime = 2;
      settings.nPlayMode = 1;
      settings.bEvenLoudness = bEvenLoudness;
      settings.nLoudnessTarget = -16;
      settings.bChangeAtMusicEnd = bChangeAtMusicEnd;
    });
  }

  // Library track CD 1 / nTrack with its music file and a result measured on it as it is now.
  std::string AnalysedTrack(int nTrack, int nLengthMs, double dLoudness, double dTruePeak,
                            int nAudibleEnd) {
    const std::string strName(1, static_cast<char>('A' + nTrack - 1));
    std::string strPath = AddTrack(1, nTrack, strName, "T" + strName, nLengthMs);
    TrackAnalysis result{"1", std::to_string(nTrack), {}, {dLoudness, dTruePeak, 0, nAudibleEnd}};
    EXPECT_TRUE(DescribeFile(strPath, result.file));
    m_results.Put(result);
    m_radio.OnAnalysisSaved(m_results);
    Queue(1, nTrack);
    return strPath;
  }

  AnalysisResults m_results;
};

TEST_F(SoundFromAnalysisTest, BothOffPlaysEveryTrackAtItsOwnGainToTheEndOfItsFile) {
  AutoPlay(false, false);
  AnalysedTrack(1, 20000, -26.0, -12.0, 15000);
  AnalysedTrack(2, 20000, -9.0, -0.5, 20000);
  Play().OnPlayNextTrack();
  EXPECT_EQ(m_mci.m_gains.at("Track1"), 0.0);
  ASSERT_TRUE(TickUntil([&] { return m_mci.IsOpen("Track2"); }, 300));
  EXPECT_EQ(m_mci.DeckOf("Track1").nPosition, 18100);  // 2 s before the end of the file
  EXPECT_EQ(m_mci.m_gains.at("Track2"), 0.0);
}

TEST_F(SoundFromAnalysisTest, EvenLoudnessGivesEachTrackItsGainAndNoneWithoutAResult) {
  AutoPlay(true, false);
  AnalysedTrack(1, 15000, -26.0, -12.0, 15000);  // quiet: +10 dB
  AnalysedTrack(2, 15000, -9.0, -0.5, 15000);    // loud: -7 dB
  // Nothing analysed for the third.
  AddTrack(1, 3, "C", "TC", 15000);
  Queue(1, 3);

  Play().OnPlayNextTrack();
  EXPECT_DOUBLE_EQ(m_mci.m_gains.at("Track1"), 10.0);
  ASSERT_TRUE(TickUntil([&] { return m_mci.IsOpen("Track2"); }, 300));
  EXPECT_DOUBLE_EQ(m_mci.m_gains.at("Track2"), -7.0);
  ASSERT_TRUE(TickUntil([&] { return Display().queue.strNowArtist == "C"; }, 300));
  EXPECT_DOUBLE_EQ(m_mci.m_gains.at("Track1"), 0.0);  // the deck forgot the first track's gain
  // The volume commands are the same as without the setting.
  EXPECT_EQ(m_mci.DeckOf("Track1").nVolume, 1000);
}

TEST_F(SoundFromAnalysisTest, ChangeAtMusicEndStartsTheNextTrackTwoSecondsBeforeTheSilentTail) {
  AutoPlay(false, true);
  AnalysedTrack(1, 20000, -16.0, -3.0, 15000);  // five silent seconds at the end
  AnalysedTrack(2, 20000, -16.0, -3.0, 20000);
  Play().OnPlayNextTrack();
  Tick();
  EXPECT_EQ(Display().strRemaining, "00:14");  // counted to the end of the music

  ASSERT_TRUE(TickUntil([&] { return m_mci.IsOpen("Track2"); }, 300));
  EXPECT_EQ(m_mci.DeckOf("Track1").nPosition, 13100);
  Tick();
  EXPECT_EQ(Display().lastTrack.Text(), " Last: A - TA (00:01)");
  // The last track is let go where its music ends, not five seconds of silence later.
  ASSERT_TRUE(TickUntil([&] { return !m_mci.IsOpen("Track1"); }, 30));
  EXPECT_EQ(DeckState(), "current 2, last 0, in use 2, open Track2");
  EXPECT_EQ(Display().lastTrack.Text(), "");
}

TEST_F(SoundFromAnalysisTest, AResultOfAFileThatChangedSinceIsNotUsed) {
  AutoPlay(true, true);
  const std::string strPath = AnalysedTrack(1, 20000, -26.0, -12.0, 15000);
  AnalysedTrack(2, 20000, -16.0, -3.0, 20000);
  std::ofstream(strPath, std::ios::app) << "re-ripped";  // another size: the result is stale

  Play().OnPlayNextTrack();
  EXPECT_EQ(m_mci.m_gains.at("Track1"), 0.0);
  ASSERT_TRUE(TickUntil([&] { return m_mci.IsOpen("Track2"); }, 300));
  EXPECT_EQ(m_mci.DeckOf("Track1").nPosition, 18100);
}

TEST_F(SoundFromAnalysisTest, StartUpReadsTheResultsFileAndGoesOnWithoutAnUnreadableOne) {
  const std::string strPath = AnalysedTrack(1, 20000, -26.0, -12.0, 15000);
  const std::string strFilesDir = (m_dir.Path() / "db" / "").string();
  ASSERT_TRUE(SaveAnalysisFile(strFilesDir, m_results));
  {
    RadioCore restarted{m_mci, m_clock, m_prompter, m_profile, &m_mci};
    restarted.OnInitDialog([] {});
    ASSERT_NE(restarted.Analysis().FreshMeasures("1", "1", strPath), nullptr);
    EXPECT_EQ(restarted.Analysis().FreshMeasures("1", "1", strPath)->nAudibleEnd, 15000);
  }
  std::filesystem::remove(strFilesDir + "analysis.dat");
  std::filesystem::create_directory(strFilesDir + "analysis.dat");
  RadioCore restarted{m_mci, m_clock, m_prompter, m_profile, &m_mci};
  restarted.OnInitDialog([] {});
  EXPECT_EQ(restarted.Analysis().Count(), 0u);
  for (const auto& shown : m_prompter.m_shown) {  // only that this copy cannot save
    EXPECT_FALSE(Contains(shown.strText, "analysis"));
  }
  EXPECT_TRUE(Contains(m_dir.Read("db/errorlog.txt"), "The music file analysis could not be read"));
}

// The nightly velvane-tool run saves analysis.dat while the program plays.
TEST_F(SoundFromAnalysisTest, ResultsSavedByAnotherProgramCountFromTheNextTrack) {
  AutoPlay(true, false);
  QueueTracks({15000, 15000});
  Play().OnPlayNextTrack();
  EXPECT_DOUBLE_EQ(m_mci.m_gains.at("Track1"), 0.0);

  AnalysisResults saved;
  const std::string strSecond = (m_dir.Path() / "music" / "001" / "02 TB.mp3").string();
  TrackAnalysis result{"1", "2", {}, {-26.0, -12.0, 0, 15000}};
  ASSERT_TRUE(DescribeFile(strSecond, result.file));
  saved.Put(result);
  ASSERT_TRUE(SaveAnalysisFile((m_dir.Path() / "db" / "").string(), saved));

  ASSERT_TRUE(TickUntil([&] { return m_mci.IsOpen("Track2"); }, 300));
  EXPECT_DOUBLE_EQ(m_mci.m_gains.at("Track2"), 10.0);
  EXPECT_EQ(m_radio.Analysis().Count(), 1u);
}

class PlayControlTest : public RadioFixture {
 protected:
  // Plays the head, then the next track as if the timer had shown the head's time.
  void PlayTwo() {
    Play().OnPlayNextTrack();
    Tick();  // the head is started once its time shows
    Play().OnPlayNextTrack();
  }
};

TEST_F(PlayControlTest, PlayButtonsWhileTheHeadPlaysStartNothingAndPlayCurrentKeepsTheHead) {
  QueueTracks({30000});
  Play().OnPlayNextTrack();
  EXPECT_EQ(DeckState(), "current 1, last 0, in use 1, open Track1");
  EXPECT_FALSE(Display().bPlayNextEnabled);
  EXPECT_FALSE(Display().bPlayCurrentEnabled);
  m_mci.TakeCommands();
  Play().OnPlayNextTrack();  // nothing to play next
  AddTrack(1, 2, "B", "TB", 30000);
  Queue(1, 2);
  Play().OnPlayCurrentTrack();
  EXPECT_TRUE(m_mci.TakeCommands().empty());

  // Once stopped, Play Current plays the head again instead of moving on.
  Tick();  // the head counts as started
  Play().OnStopAllTracks();
  Play().OnPlayCurrentTrack();
  EXPECT_EQ(Display().queue.strNowArtist, "A");
  EXPECT_TRUE(Contains(m_mci.DeckOf("Track1").strPath, "01 TA"));
}

TEST_F(PlayControlTest, NextTrackStartsOnTheOtherDeckAndStopCurrentGivesTheHeadBack) {
  QueueTracks({30000, 30000});
  Play().SetDeckSlider(2, 700);
  PlayTwo();
  Ticks(110);
  EXPECT_FALSE(Display().bPlayNextEnabled);  // not armed while two decks play
  EXPECT_EQ(DeckState(), "current 2, last 1, in use 12, open Track1 Track2");
  EXPECT_EQ(Display().decks[1].nSlider, 0);  // a new track starts at full volume
  EXPECT_EQ(Play().LastTrackPlayed().strArtist, "A");
  EXPECT_EQ(Display().queue.strNowArtist, "B");

  // Stop Current while the last track plays: the last one becomes current and takes slot 1.
  Play().OnStopCurrentTrack();
  EXPECT_EQ(DeckState(), "current 1, last 0, in use 1, open Track1");
  EXPECT_EQ(Display().queueSlots[0].strTrack, "1");
  EXPECT_EQ(Display().queue.strNowArtist, "A");
}

TEST_F(PlayControlTest, MissingFileOrBusyDecksPlayNothingSilentlyAndStopAllFreesEverything) {
  Queue(5, 5);  // not in the music folder
  Play().OnPlayNextTrack();
  EXPECT_EQ(DeckState(), "current 0, last 0, in use , open");
  EXPECT_TRUE(m_prompter.m_shown.empty());
  EXPECT_FALSE(m_dir.Exists("db/errorlog.txt"));

  Play().OnClearPlaylist();
  QueueTracks({30000, 30000, 30000});
  PlayTwo();
  Tick();
  m_mci.TakeCommands();
  Play().OnPlayNextTrack();  // both decks busy
  EXPECT_TRUE(m_mci.TakeCommands().empty());

  ASSERT_FALSE(Display().lastTrack.Text().empty());
  Play().OnStopAllTracks();
  EXPECT_EQ(DeckState(), "current 0, last 0, in use , open");
  EXPECT_EQ(Display().strRemaining, "");
  EXPECT_TRUE(Display().bPlayNextEnabled);
  Tick();
  EXPECT_EQ(Display().lastTrack.Text(), "");  // no stale last-track line afterwards
}

TEST_F(PlayControlTest, StopLastAndFadeLastActOnlyOnTheLastDeck) {
  QueueTracks({60000, 60000});
  Play().OnPlayNextTrack();
  Play().OnFadeLast();  // nothing plays out yet
  Play().OnStopLastTrack();
  Tick();
  EXPECT_EQ(Display().decks[0].nSlider, 0);
  EXPECT_EQ(DeckState(), "current 1, last 0, in use 1, open Track1");

  Play().OnPlayNextTrack();  // B on deck 2; A plays out on deck 1
  Play().OnFadeLast();
  Tick();
  EXPECT_EQ(Display().decks[0].nSlider, 20);
  EXPECT_EQ(Display().decks[1].nSlider, 0);
  Play().OnStopLastTrack();
  EXPECT_EQ(DeckState(), "current 2, last 0, in use 2, open Track2");
}

TEST_F(PlayControlTest, StartingATrackWritesThePlayLogWhenEnabled) {
  m_radio.OnLogOptions("disco", false);
  QueueTracks({30000});
  Play().OnPlayNextTrack();
  EXPECT_FALSE(m_dir.Exists("db/logs"));

  Play().OnStopAllTracks();
  m_radio.OnLogOptions("disco", true);
  Play().OnPlayNextTrack();
  EXPECT_EQ(m_dir.Read("db/logs/disco.log"), "04/12/2026 17:59   A - TA\r\n");
}

TEST(Fader, StepCoversTheFadeTimeInWholeTicks) {
  EXPECT_EQ(Fader::StepFor(5, 100), 20);
  EXPECT_EQ(Fader::StepFor(3, 70), 23);
  EXPECT_EQ(Fader::StepFor(5, 0), 1000);  // read from an unchecked configuration
  EXPECT_EQ(Fader::StepFor(0, 100), 1000);
  EXPECT_EQ(Fader::StepFor(2147483647, 10), 1);  // a damaged setting: slow, but it ends
}

TEST(Fader, FadesStopAtTheEndAndKeepTheirDeck) {
  Decks decks;
  decks[0].nSlider = 990;
  decks[1].nSlider = 1000;
  Fader fader;
  fader.Start(FadeRole::kCurrent, 1, decks[0].nSlider, 20);
  fader.Start(FadeRole::kLast, 2, decks[1].nSlider, 20);  // already silent: fades back in
  EXPECT_TRUE(fader.Step(FadeRole::kCurrent, decks));
  EXPECT_EQ(decks[0].nSlider, 1000);
  EXPECT_FALSE(fader.Running(FadeRole::kCurrent));
  EXPECT_FALSE(fader.Step(FadeRole::kCurrent, decks));

  EXPECT_TRUE(fader.Step(FadeRole::kLast, decks));
  EXPECT_EQ(decks[1].nSlider, 980);
  EXPECT_TRUE(fader.Running(FadeRole::kLast));
  decks[1].nSlider = 10;  // moved by the operator: the fade ends at the top
  EXPECT_TRUE(fader.Step(FadeRole::kLast, decks));
  EXPECT_EQ(decks[1].nSlider, 0);
  EXPECT_FALSE(fader.Running(FadeRole::kLast));
}

}  // namespace
}  // namespace velvane
