#include "core/demo/DemoLibrary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/analysis/AnalysisFile.h"
#include "core/db/MusicFile.h"
#include "core/db/NativeFile.h"
#include "core/db/Paths.h"
#include "core/db/TrackDatabase.h"
#include "support/Fakes.h"
#include "support/Rows.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

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
