#include "core/settings/Settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "core/analysis/AnalysisFile.h"
#include "core/db/MusicFile.h"
#include "core/db/NativeFile.h"
#include "core/db/Paths.h"
#include "core/db/TrackDatabase.h"
#include "core/demo/DemoLibrary.h"
#include "support/Fakes.h"
#include "support/Records.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

using Kind = FakeProfileStore::Kind;

constexpr const char* kGeneral = "General";

TEST(LoadSettingsTest, FirstRunReadsNothingElseAndKeepsStartValues) {
  for (bool bIsInstalledPresent : {false, true}) {
    SCOPED_TRACE(bIsInstalledPresent ? "IsInstalled = 0" : "IsInstalled missing");
    FakeProfileStore store;
    store.PutString(kGeneral, "MusicDir", "/music/");
    store.PutString(kGeneral, "FadeTime", "3");
    if (bIsInstalledPresent) {
      store.PutInt(kGeneral, "IsInstalled", 0);
    }

    Settings settings;
    EXPECT_FALSE(LoadSettings(store, settings));
    EXPECT_EQ(store.ReadEntries(kGeneral), std::vector<std::string>{"IsInstalled"});
    EXPECT_EQ(std::tie(settings.strMusicDir, settings.nFadeTime, settings.nPlaySize),
              std::make_tuple("", 5, 50000));
  }
}

// Missing values take the default of their kind, not the start value; text numbers read
// like atoi.
TEST(LoadSettingsTest, InstalledConfigurationDefaultsTextNumbersAndTheLoudnessRange) {
  FakeProfileStore store;
  store.PutInt(kGeneral, "IsInstalled", 1);
  store.PutString(kGeneral, "AutoTime", "abc");
  store.PutString(kGeneral, "SystemTimer", " 12s");

  Settings s;
  EXPECT_TRUE(LoadSettings(store, s));
  // A configuration from before the sound and now-playing settings plays as it always did.
  EXPECT_EQ(
      std::tie(s.nFadeTime, s.nAutoTime, s.nSystemTimer, s.nPlaySize, s.nChartSize, s.bEvenLoudness,
               s.bChangeAtMusicEnd, s.nLoudnessTarget, s.strNowPlayingTemplate),
      std::make_tuple(0, 0, 12, 10000, 50000, false, false, -16, "%artist% - %title%"));
  // An absurd loudness target is held to its range.
  for (const auto& [nStored, nUsed] : {std::pair{999999, -5}, {-300, -40}, {-23, -23}}) {
    store.PutInt(kGeneral, "LoudnessTarget", nStored);
    LoadSettings(store, s);
    EXPECT_EQ(s.nLoudnessTarget, nUsed) << nStored;
  }
}

TEST(SaveSettingsTest, WritesEveryValueInOrderWithItsKindAndReadsItBack) {
  FakeProfileStore store;
  // Every value differs from its start value; FadeTime is negative.
  const Settings settings{true, "/music/", "/data/",    4,         -6,         50,        1,
                          300,  "log",     1,           20000,     30000,      "host",    true,
                          -20,  true,      "/np/n.txt", "%title%", "http://s", "http://h"};
  SaveSettings(store, settings);

  // Each entry in order, with its kind: "i" written as a number, "s" as text.
  std::string strWritten;
  for (const auto& write : store.m_vecWrites) {
    EXPECT_EQ(write.strSection, kGeneral);
    strWritten += write.strEntry + (write.kind == Kind::kInt ? ":i " : ":s ");
  }
  EXPECT_EQ(strWritten,
            "IsInstalled:i MusicDir:s FilesDir:s AutoTime:s FadeTime:s SystemTimer:s PlayMode:i "
            "InitVolume:i LogFile:s LogEnabled:i PlaySize:i ChartSize:i UpdateServer:s "
            "EvenLoudness:i LoudnessTarget:i ChangeAtMusicEnd:i NowPlayingFile:s "
            "NowPlayingTemplate:s NowPlayingStreamServer:s NowPlayingWebHook:s ");

  auto Fields = [](const Settings& s) {
    return std::tie(s.bInstalled, s.strMusicDir, s.strFilesDir, s.nAutoTime, s.nFadeTime,
                    s.nSystemTimer, s.nPlayMode, s.nInitVolume, s.strLogFile, s.nLogEnabled,
                    s.nPlaySize, s.nChartSize, s.strUpdateServer, s.bEvenLoudness,
                    s.nLoudnessTarget, s.bChangeAtMusicEnd, s.strNowPlayingFile,
                    s.strNowPlayingTemplate, s.strStreamServer, s.strWebHook);
  };
  Settings reloaded;
  EXPECT_TRUE(LoadSettings(store, reloaded));
  EXPECT_EQ(Fields(reloaded), Fields(settings));
}

TEST(LimitDatabaseSizesTest, AbsurdSizesTakeTheLimitAndSaySoOnce) {
  Settings settings;
  settings.nPlaySize = 999999999;
  settings.nChartSize = -3;
  const std::string strNote = LimitDatabaseSizes(settings);
  EXPECT_EQ(settings.nPlaySize, kMaxDatabaseSize);
  EXPECT_EQ(settings.nChartSize, 1);
  EXPECT_EQ(strNote,
            "PlaySize 999999999 in the settings is outside 1 to 1000000; 1000000 is used\n"
            "ChartSize -3 in the settings is outside 1 to 1000000; 1 is used");
  EXPECT_EQ(LimitDatabaseSizes(settings), "");  // sane values pass without a word
}

TEST(YearRangeTest, EmptyYearsTakeTheirDefaultsAndStoredOnesAreTakenAsTheyStand) {
  FakeClock clock(2031, 12, 31, 23, 59, 59);
  FakeProfileStore store;
  const auto years = [&] {
    const YearRange range = LoadYearRange(store, clock);
    return range.strStartYear + "-" + range.strEndYear;
  };
  EXPECT_EQ(years(), "1952-2031");
  store.PutString(kGeneral, "AutoStartYear", "");  // a value stored empty counts as missing
  store.PutString(kGeneral, "AutoEndYear", "");
  EXPECT_EQ(years(), "1952-2031");

  SaveYearRange(store, {"1970", "1989x"});
  ASSERT_TRUE(store.Find(kGeneral, "AutoStartYear"));
  EXPECT_EQ(store.Find(kGeneral, "AutoStartYear")->strValue, "1970");  // a text value
  EXPECT_EQ(years(), "1970-1989x");
}

namespace fs = std::filesystem;

// The music file the player finds for the track, "" for none.
std::string TrackFile(const Settings& settings, const std::string& strCD,
                      const std::string& strTrack) {
  std::string strPath;
  return FindMusicFile(settings.strMusicDir, strCD, strTrack, strPath) ? strPath : "";
}

class DemoLibraryTest : public ::testing::Test {
 protected:
  std::string Root() const { return m_dir.Folder() + "demo"; }

  void Make(Settings& settings) {
    std::string strError;
    ASSERT_TRUE(EnsureDemoLibrary(Root(), settings, strError)) << strError;
  }

  TempDir m_dir;
  Settings m_settings;
};

TEST_F(DemoLibraryTest, LoadsLinkedBothWaysWithAFileForEveryRecord) {
  Make(m_settings);
  EXPECT_TRUE(m_settings.bInstalled);
  EXPECT_EQ(m_settings.nPlayMode, 1);  // Auto Play

  FakeClock clock{2010, 3, 7};
  FakePrompter prompter;
  TrackStore store;
  TrackDatabase database{store, clock, prompter, "Title"};
  database.OpenAndLoad(m_settings.strFilesDir, m_settings.nPlaySize, m_settings.nChartSize);
  EXPECT_TRUE(prompter.m_shown.empty());
  ASSERT_GT(store.PlaylistCount(), 0);

  for (int p = 0; p < store.PlaylistCount(); ++p) {
    const PlaylistView record = store.Playlist(p);
    SCOPED_TRACE(record.strTitle);
    const std::string strFile =
        TrackFile(m_settings, std::string(record.strCD), std::string(record.strTrack));
    ASSERT_FALSE(strFile.empty());
    EXPECT_GT(fs::file_size(strFile), 44u);  // more than a WAV header
    if (record.nChartLink != -1) {
      EXPECT_EQ(store.Chart(record.nChartLink).nPlaylistLink, p);
    }
  }
  int nLinked = 0;
  for (int c = 0; c < store.ChartCount(); ++c) {
    const ChartView entry = store.Chart(c);
    if (entry.nPlaylistLink != -1) {
      ++nLinked;
      EXPECT_EQ(store.Playlist(entry.nPlaylistLink).strTitle, entry.strTitle);
      EXPECT_NE(store.Playlist(entry.nPlaylistLink).nChartLink, -1);
    }
  }
  EXPECT_GT(nLinked, 0);
}

// The samples of a demo tune (16-bit stereo after a 44-byte header), as fractions of full scale.
std::vector<double> Samples(const std::string& strPath) {
  std::ifstream file(strPath, std::ios::binary);
  file.seekg(44);
  std::vector<double> samples;
  std::int16_t nSample = 0;
  while (file.read(reinterpret_cast<char*>(&nSample), sizeof nSample)) {
    samples.push_back(nSample / 32768.0);
  }
  return samples;
}

double PeakDb(const std::vector<double>& samples) {
  const auto louder = [](double a, double b) { return std::abs(a) < std::abs(b); };
  return 20 * std::log10(std::abs(*std::max_element(samples.begin(), samples.end(), louder)));
}

TEST_F(DemoLibraryTest, PlaysWithEvenLoudnessOverQuietLoudAndSilentTailedTunes) {
  Make(m_settings);
  EXPECT_TRUE(m_settings.bEvenLoudness);
  EXPECT_TRUE(m_settings.bChangeAtMusicEnd);
  const double dUsual = PeakDb(Samples(TrackFile(m_settings, "1", "1")));
  EXPECT_NEAR(PeakDb(Samples(TrackFile(m_settings, "1", "2"))) - dUsual, -14.0, 0.5);
  EXPECT_NEAR(PeakDb(Samples(TrackFile(m_settings, "1", "3"))) - dUsual, 6.0, 0.5);

  // Eight seconds of digital silence end the fourth tune (stereo at 11025 Hz).
  const std::vector<double> tail = Samples(TrackFile(m_settings, "1", "4"));
  const std::size_t nSilent = static_cast<std::size_t>(
      std::find_if(tail.rbegin(), tail.rend(), [](double d) { return d != 0.0; }) - tail.rbegin());
  EXPECT_NEAR(static_cast<double>(nSilent) / (2 * 11025), 8.0, 0.05);
}

TEST_F(DemoLibraryTest, TunesAreAnalysedOnceAndNotWhileAnotherProgramAnalyses) {
  Make(m_settings);
  FakeAudioAnalyser analyser;
  FakeClock clock{2010, 3, 7};
  {
    FolderLock other;
    std::error_code error;
    ASSERT_EQ(other.TryLock(m_settings.strFilesDir, error, kAnalysisLockFile), LockResult::kLocked);
    AnalyseDemoTunes(m_settings, analyser, clock);
    EXPECT_EQ(analyser.m_nCalls, 0);
  }
  AnalyseDemoTunes(m_settings, analyser, clock);
  AnalysisResults results;
  std::string strError;
  ASSERT_TRUE(LoadAnalysisFile(m_settings.strFilesDir, results, strError)) << strError;
  EXPECT_EQ(results.Count(), 11u);
  EXPECT_EQ(analyser.m_nCalls, 11);
  AnalyseDemoTunes(m_settings, analyser, clock);  // every result is fresh
  EXPECT_EQ(analyser.m_nCalls, 11);
}

TEST_F(DemoLibraryTest, MadeOnceTheOperatorsChangesStayButMissingTunesReturn) {
  Make(m_settings);
  const std::string strChanged = "00101\\My Artist\\My Title\\-1\\\r\n";
  m_dir.Write("demo/db/playlist.dat", strChanged);
  const std::string strDeleted = TrackFile(m_settings, "2", "3");
  ASSERT_TRUE(fs::remove(strDeleted));
  // A track with a file of the operator's own gets no second one.
  const std::string strOwnFile = m_settings.strMusicDir + "001" + kPathSeparator + "02 mine.mp3";
  fs::rename(TrackFile(m_settings, "1", "2"), strOwnFile);

  Settings fresh;
  Make(fresh);
  EXPECT_EQ(m_dir.Read("demo/db/playlist.dat"), strChanged);
  EXPECT_FALSE(m_dir.Exists("demo/db/playlist.old"));
  EXPECT_TRUE(fs::exists(strDeleted));
  EXPECT_EQ(TrackFile(m_settings, "1", "2"), strOwnFile);
  EXPECT_TRUE(fresh.bInstalled);
  EXPECT_EQ(fresh.strFilesDir, m_settings.strFilesDir);
}

TEST_F(DemoLibraryTest, WithoutPlaylistTheLibraryIsMadeAgain) {
  // What an interrupted first run leaves: the other files, but no playlist.dat yet.
  fs::create_directories(m_dir.Path() / "demo" / "db");
  m_dir.Write("demo/db/charts.dat", "01/01/1999\\X\\Y\\1\\-1\\\r\n");
  Make(m_settings);
  EXPECT_FALSE(Contains(m_dir.Read("demo/db/charts.dat"), "1999"));
  EXPECT_NE(m_dir.Read("demo/db/playlist.dat"), "");
}

TEST_F(DemoLibraryTest, RootThatCannotBeCreatedFailsNamingIt) {
  m_dir.Write("plain", "not a folder");
  const std::string strRoot = m_dir.Folder() + "plain" + kPathSeparator + "demo";
  std::string strError;
  EXPECT_FALSE(EnsureDemoLibrary(strRoot, m_settings, strError));
  EXPECT_TRUE(Contains(strError, strRoot));
  EXPECT_FALSE(Contains(strError, "\n"));
  EXPECT_FALSE(m_settings.bInstalled);
  EXPECT_EQ(m_dir.Read("plain"), "not a folder");
}

}  // namespace
}  // namespace velvane
