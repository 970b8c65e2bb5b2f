#include "core/demo/DemoLibrary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <tuple>
#include <vector>

#include "core/db/LineCodec.h"
#include "core/db/NumberOneFile.h"
#include "core/db/Paths.h"
#include "core/db/TrackDatabase.h"
#include "core/demo/WavWriter.h"
#include "support/FakeClock.h"
#include "support/FakePrompter.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

std::string ZeroPadded(const std::string& strNumber, int nDigits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*d", nDigits, std::atoi(strNumber.c_str()));
  return buffer;
}

// The player's rule: the first file, in name order, of the CD folder whose name starts with
// the two-digit track number. Empty when there is none.
std::string FindTrackFile(const std::string& strMusicDir, const std::string& strCD,
                          const std::string& strTrack) {
  const std::string strFolder = strMusicDir + ZeroPadded(strCD, 3) + kPathSeparator;
  const std::string strPrefix = ZeroPadded(strTrack, 2);
  std::set<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(strFolder, error)) {
    const std::string strName = entry.path().filename().string();
    if (strName.rfind(strPrefix, 0) == 0 && entry.is_regular_file()) {
      names.insert(strName);
    }
  }
  return names.empty() ? std::string() : strFolder + *names.begin();
}

std::vector<unsigned char> ReadBytes(const std::string& strPath) {
  std::ifstream file(strPath, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::uint32_t LittleEndian(const std::vector<unsigned char>& bytes, std::size_t nOffset,
                           int nBytes) {
  std::uint32_t value = 0;
  for (int i = nBytes - 1; i >= 0; --i) {
    value = (value << 8) | bytes[nOffset + i];
  }
  return value;
}

double WavSeconds(const std::vector<unsigned char>& bytes) {
  return static_cast<double>(LittleEndian(bytes, 40, 4)) / LittleEndian(bytes, 28, 4);
}

std::tuple<int, int, int> YearMonthDay(const std::string& strDate) {
  return {std::atoi(strDate.substr(strDate.size() - 4).c_str()),
          std::atoi(strDate.substr(3, 2).c_str()), std::atoi(strDate.substr(0, 2).c_str())};
}

// The checks that only read the library share one, made once for the suite.
class DemoLibraryMadeTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_pDir = std::make_unique<TempDir>();
    std::string strError;
    s_bMade = EnsureDemoLibrary(s_pDir->Folder() + "demo", s_settings, strError);
    EXPECT_TRUE(s_bMade) << strError;
  }
  static void TearDownTestSuite() { s_pDir.reset(); }

  void SetUp() override {
    ASSERT_TRUE(s_bMade);
    m_database.OpenAndLoad(s_settings.strFilesDir, s_settings.nPlaySize, s_settings.nChartSize);
  }

  static std::unique_ptr<TempDir> s_pDir;
  static Settings s_settings;
  static bool s_bMade;

  FakeClock m_clock{2010, 3, 7, 9, 5};
  FakePrompter m_prompter;
  TrackStore m_store;
  TrackDatabase m_database{m_store, m_clock, m_prompter, "Title"};
};

std::unique_ptr<TempDir> DemoLibraryMadeTest::s_pDir;
Settings DemoLibraryMadeTest::s_settings;
bool DemoLibraryMadeTest::s_bMade = false;

TEST_F(DemoLibraryMadeTest, SettingsRunTheDemoInAutoPlayFromItsOwnFolders) {
  const std::string strRoot = s_pDir->Folder() + "demo" + kPathSeparator;
  const Settings& s = s_settings;
  EXPECT_TRUE(s.bInstalled);
  EXPECT_EQ(s.strMusicDir, strRoot + "music" + kPathSeparator);
  EXPECT_EQ(s.strFilesDir, strRoot + "db" + kPathSeparator);
  EXPECT_EQ(std::tie(s.nPlayMode, s.nAutoTime, s.nFadeTime, s.nSystemTimer, s.nInitVolume),
            std::make_tuple(1, 2, 5, 100, 0));
  EXPECT_EQ(s.strLogFile, "demo");
  EXPECT_EQ(s.nLogEnabled, 1);
  EXPECT_EQ(s.nPlaySize, Settings{}.nPlaySize);
}

TEST_F(DemoLibraryMadeTest, LoadsWithLinksThatPointAtEachOther) {
  EXPECT_TRUE(m_prompter.m_shown.empty());
  ASSERT_EQ(m_store.PlaylistCount(), 11);
  ASSERT_EQ(m_store.ChartCount(), 20);

  int nCharted = 0;
  for (int p = 0; p < m_store.PlaylistCount(); ++p) {
    const PlaylistEntry& record = m_store.Playlist(p);
    SCOPED_TRACE(record.strTitle);
    if (record.nChartLink == -1) {
      continue;
    }
    ++nCharted;
    const ChartEntry& best = m_store.Chart(record.nChartLink);
    EXPECT_EQ(best.nPlaylistLink, p);
    EXPECT_EQ(best.strArtist, record.strArtist);
    EXPECT_EQ(best.strTitle, record.strTitle);
    // The record names its best placing, as rebuilding the relationships would.
    for (int c = 0; c < m_store.ChartCount(); ++c) {
      if (m_store.Chart(c).nPlaylistLink == p) {
        EXPECT_GE(std::atoi(m_store.Chart(c).strPosition.c_str()),
                  std::atoi(best.strPosition.c_str()));
      }
    }
  }
  EXPECT_EQ(nCharted, 9);  // two tunes never charted, for the out-of-chart selection

  int nNotHeld = 0;
  for (int c = 0; c < m_store.ChartCount(); ++c) {
    const ChartEntry& entry = m_store.Chart(c);
    SCOPED_TRACE(entry.strDate + " " + entry.strTitle);
    EXPECT_NE(entry.strArtist, " ");
    if (entry.nPlaylistLink == -1) {
      ++nNotHeld;
      continue;
    }
    const PlaylistEntry& record = m_store.Playlist(entry.nPlaylistLink);
    EXPECT_EQ(record.strArtist, entry.strArtist);
    EXPECT_EQ(record.strTitle, entry.strTitle);
    EXPECT_NE(record.nChartLink, -1);
  }
  EXPECT_EQ(nNotHeld, 5);

  // Written through the line codec: the file is exactly what a save of these records gives.
  std::string strExpected;
  for (int p = 0; p < m_store.PlaylistCount(); ++p) {
    strExpected += FormatPlaylistLine(m_store.Playlist(p));
  }
  const std::vector<unsigned char> bytes = ReadBytes(s_settings.strFilesDir + "playlist.dat");
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), strExpected);
}

TEST_F(DemoLibraryMadeTest, EveryRecordHasAShortTuneWhereThePlayerLooks) {
  ASSERT_GT(m_store.PlaylistCount(), 0);
  std::set<std::string> cds;
  for (int p = 0; p < m_store.PlaylistCount(); ++p) {
    const PlaylistEntry& record = m_store.Playlist(p);
    SCOPED_TRACE(record.strCD + "/" + record.strTrack + " " + record.strTitle);
    cds.insert(record.strCD);
    const std::string strPath =
        FindTrackFile(s_settings.strMusicDir, record.strCD, record.strTrack);
    ASSERT_FALSE(strPath.empty());
    EXPECT_EQ(std::filesystem::path(strPath).filename().string(),
              ZeroPadded(record.strTrack, 2) + " " + record.strTitle + ".wav");
    const std::vector<unsigned char> bytes = ReadBytes(strPath);
    ASSERT_GT(bytes.size(), 44u);
    // Long enough for Auto Play to arm after 10 s, short enough to change within a minute.
    EXPECT_GE(WavSeconds(bytes), 14.0);
    EXPECT_LE(WavSeconds(bytes), 20.0);
    EXPECT_EQ(bytes.size(), 44 + LittleEndian(bytes, 40, 4));
  }
  EXPECT_EQ(cds, (std::set<std::string>{"1", "2", "3"}));
}

TEST_F(DemoLibraryMadeTest, NumberOnesAscendAndNameTheirLibraryCopies) {
  const std::vector<NumberOneEntry> hits = ReadNumberOnes(s_settings.strFilesDir);
  ASSERT_GE(hits.size(), 4u);
  int nHeld = 0;
  int nNotHeld = 0;
  for (std::size_t i = 0; i < hits.size(); ++i) {
    const NumberOneEntry& hit = hits[i];
    SCOPED_TRACE(hit.strDate + " " + hit.strTitle);
    if (i > 0) {
      EXPECT_LT(YearMonthDay(hits[i - 1].strDate), YearMonthDay(hit.strDate));
    }
    if (hit.strCD == " ") {
      EXPECT_EQ(hit.strTrack, " ");
      ++nNotHeld;
      continue;
    }
    ++nHeld;
    std::string strArtist;
    std::string strTitle;
    int nChartLink = -1;
    ASSERT_TRUE(
        m_store.FindPlaylistEntry(hit.strCD, hit.strTrack, strArtist, strTitle, nChartLink));
    EXPECT_EQ(strArtist, hit.strArtist);
    EXPECT_EQ(strTitle, hit.strTitle);
    ASSERT_NE(nChartLink, -1);
    EXPECT_EQ(m_store.Chart(nChartLink).strPosition, "1");
  }
  EXPECT_GT(nHeld, 0);
  EXPECT_GT(nNotHeld, 0);
}

// The checks that change the library, or fail to make one, each have their own folder.
class DemoLibraryTest : public ::testing::Test {
 protected:
  std::string Root() const { return m_dir.Folder() + "demo"; }

  void Make() {
    std::string strError;
    ASSERT_TRUE(EnsureDemoLibrary(Root(), m_settings, strError)) << strError;
  }

  TempDir m_dir;
  Settings m_settings;
};

TEST_F(DemoLibraryTest, MadeOnceTheOperatorsChangesStayButMissingTunesReturn) {
  Make();
  const std::string strChanged = "00101\\My Artist\\My Title\\-1\\\r\n";
  m_dir.Write("demo/db/playlist.dat", strChanged);
  m_dir.Write("demo/db/hits.dat", "");
  const std::string strDeleted = FindTrackFile(m_settings.strMusicDir, "2", "3");
  ASSERT_FALSE(strDeleted.empty());
  std::filesystem::remove(strDeleted);
  const std::string strOwnFile = m_settings.strMusicDir + "001" + kPathSeparator + "02 mine.mp3";
  std::filesystem::rename(FindTrackFile(m_settings.strMusicDir, "1", "2"), strOwnFile);

  Settings fresh;
  std::string strError;
  ASSERT_TRUE(EnsureDemoLibrary(Root(), fresh, strError)) << strError;
  EXPECT_EQ(m_dir.Read("demo/db/playlist.dat"), strChanged);
  EXPECT_EQ(m_dir.Read("demo/db/hits.dat"), "");
  EXPECT_FALSE(m_dir.Exists("demo/db/playlist.old"));
  EXPECT_TRUE(std::filesystem::exists(strDeleted));
  // A track that has a file of the operator's own gets no second one.
  EXPECT_EQ(FindTrackFile(m_settings.strMusicDir, "1", "2"), strOwnFile);
  EXPECT_TRUE(fresh.bInstalled);
  EXPECT_EQ(fresh.strFilesDir, m_settings.strFilesDir);
  EXPECT_EQ(fresh.strMusicDir, m_settings.strMusicDir);
}

TEST_F(DemoLibraryTest, WithoutPlaylistTheLibraryIsMadeAgain) {
  // What an interrupted first run leaves: the other files, but no playlist.dat yet.
  std::filesystem::create_directories(m_dir.Path() / "demo" / "db");
  m_dir.Write("demo/db/charts.dat", "01/01/1999\\X\\Y\\1\\-1\\\r\n");
  Make();
  EXPECT_EQ(m_dir.Read("demo/db/charts.dat").find("1999"), std::string::npos);
  EXPECT_NE(m_dir.Read("demo/db/playlist.dat"), "");
}

TEST_F(DemoLibraryTest, RootThatCannotBeCreatedFailsNamingIt) {
  m_dir.Write("plain", "not a folder");
  const std::string strRoot = m_dir.Folder() + "plain" + kPathSeparator + "demo";
  std::string strError;
  EXPECT_FALSE(EnsureDemoLibrary(strRoot, m_settings, strError));
  EXPECT_NE(strError.find(strRoot), std::string::npos) << strError;
  EXPECT_EQ(strError.find('\n'), std::string::npos);
  EXPECT_FALSE(m_settings.bInstalled);
  EXPECT_EQ(m_dir.Read("plain"), "not a folder");
}

TEST(WriteMelodyWavTest, NotesFollowEachOtherWithoutClicksAndWithinTheAmplitude) {
  TempDir dir;
  constexpr int kRate = 8000;
  // Uneven lengths, so rounding per note would drift; a rest in the middle.
  const std::vector<MelodyNote> notes{
      {440.0, 0.1234}, {0.0, 0.05}, {660.0, 0.2001}, {523.25, 0.0999}};
  ASSERT_TRUE(WriteMelodyWav(dir.Folder() + "tune.wav", notes, 0.3, kRate));
  const std::vector<unsigned char> bytes = ReadBytes(dir.Folder() + "tune.wav");
  ASSERT_EQ(bytes.size(), 44 + 4 * static_cast<std::size_t>(std::llround(0.4734 * kRate)));
  EXPECT_EQ(LittleEndian(bytes, 24, 4), static_cast<std::uint32_t>(kRate));
  auto Sample = [&bytes](std::size_t nFrame) {  // left channel
    return std::abs(static_cast<std::int16_t>(LittleEndian(bytes, 44 + 4 * nFrame, 2)));
  };

  int nPeak = 0;
  for (std::size_t i = 0; 44 + 4 * i < bytes.size(); ++i) {
    nPeak = std::max(nPeak, Sample(i));
  }
  EXPECT_LE(nPeak, static_cast<int>(0.3 * 32767) + 1);
  EXPECT_GT(nPeak, static_cast<int>(0.2 * 32767));

  // Each note starts and ends at silence; the rest is silent throughout.
  double dTime = 0.0;
  for (const MelodyNote& note : notes) {
    const auto nFirst = static_cast<std::size_t>(std::llround(dTime * kRate));
    dTime += note.dSeconds;
    const auto nEnd = static_cast<std::size_t>(std::llround(dTime * kRate));
    SCOPED_TRACE(note.dFrequencyHz);
    EXPECT_LE(Sample(nFirst), 200);
    EXPECT_LE(Sample(nEnd - 1), 200);
    for (std::size_t i = nFirst; note.dFrequencyHz == 0.0 && i < nEnd; ++i) {
      ASSERT_EQ(Sample(i), 0);
    }
  }
}

}  // namespace
}  // namespace velvane
