#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>

#include "core/db/LineCodec.h"
#include "core/db/TrackDatabase.h"
#include "core/playback/SavedQueue.h"
#include "support/Fakes.h"
#include "support/Rows.h"
#include "support/TempDir.h"

// Random input for every reader of the database files and saved queues: nothing may crash, and
// whatever was read, what a save writes reads back to the same save (a resave of a resaved
// file changes nothing). The seed is fixed, so a failure repeats.

namespace velvane {
namespace {

using namespace std::string_view_literals;

class RandomInput {
 public:
  explicit RandomInput(std::uint32_t nSeed) : m_random(nSeed) {}

  std::size_t Below(std::size_t n) { return m_random() % n; }

  // Mostly the bytes the readers care about, sometimes whole hostile pieces.
  std::string Text(std::size_t nMaxPieces) {
    static constexpr std::string_view kBytes = "\\\\\\\\\r\n \t-+0123456789/A\xC3\xA9\xE9\0"sv;
    static constexpr std::array<std::string_view, 6> kPieces = {
        "4294967297", "-2147483649", "99999999999999999999", "-1203", "\r\n", "\\ \\"};
    std::string text;
    for (std::size_t i = Below(nMaxPieces + 1); i > 0; --i) {
      const std::size_t nKind = Below(20);
      if (nKind == 0) {
        text += kPieces[Below(kPieces.size())];
      } else if (nKind == 1) {
        text += std::string(100 + Below(200), Below(2) == 0 ? 'a' : '\xE9');
      } else {
        text += nKind == 2 ? static_cast<char>(Below(256)) : kBytes[Below(kBytes.size())];
      }
    }
    return text;
  }

  // A saved queue file: up to 100 bytes, zero bytes and digits most likely.
  std::string QueueFile() {
    static constexpr std::string_view kBytes = "\0\0\0\0 -0123456789x"sv;
    std::string bytes(Below(101), '\0');
    for (char& c : bytes) {
      c = Below(8) == 0 ? static_cast<char>(Below(256)) : kBytes[Below(kBytes.size())];
    }
    return bytes;
  }

 private:
  std::mt19937 m_random;
};

// Parsing then formatting one line, and the same again, must agree; the formatted line must be
// one line.
template <typename Parse, typename Format>
void ExpectLineFixedPoint(std::string_view line, Parse parse, Format format) {
  const std::string once = format(parse(line));
  const std::string twice = format(parse(once));
  ASSERT_EQ(once, twice) << "line: " << testing::PrintToString(std::string(line));
  ASSERT_EQ(SplitLines(once).size(), 1u) << testing::PrintToString(once);
}

TEST(FixedPointFuzz, EveryLineReaderReachesAFixedPointAfterOneSave) {
  RandomInput random(20240601);
  for (int i = 0; i < 100000; ++i) {
    const std::string input = random.Text(40);
    for (const std::string_view line : SplitLines(input)) {
      if (IsBlankLine(line)) {
        continue;
      }
      ExpectLineFixedPoint(line, ParsePlaylistLine, FormatPlaylistLine);
      ExpectLineFixedPoint(line, ParseChartLine, FormatChartLine);
      ExpectLineFixedPoint(line, ParseNumberOneLine, FormatNumberOneLine);
      if (HasFatalFailure()) {
        return;
      }
    }
  }
}

// The whole load and save, with the link range checks and capacities in play.
TEST(FixedPointFuzz, ResavingAResavedDatabaseChangesNothing) {
  RandomInput random(7);
  TempDir dir;
  FakeClock clock(2010, 3, 7, 9, 5);
  FakePrompter prompter;
  auto resave = [&](int nPlaySize, int nChartSize) {
    TrackStore store;
    TrackDatabase database(store, clock, prompter, "Title");
    std::error_code error;
    database.LockFolder(dir.Folder(), error);
    database.OpenAndLoad(dir.Folder(), nPlaySize, nChartSize);
    EXPECT_TRUE(database.SavePlaylist(dir.Folder()));
    EXPECT_TRUE(database.SaveCharts(dir.Folder()));
    return dir.Read("playlist.dat") + '|' + dir.Read("charts.dat");
  };
  for (int i = 0; i < 60; ++i) {
    const std::string playlist = random.Text(300);
    const std::string charts = random.Text(300);
    dir.Write("playlist.dat", playlist);
    dir.Write("charts.dat", charts);
    const int nPlaySize = static_cast<int>(1 + random.Below(12));
    const int nChartSize = static_cast<int>(1 + random.Below(12));
    const std::string once = resave(nPlaySize, nChartSize);
    ASSERT_EQ(resave(nPlaySize, nChartSize), once)
        << "playlist.dat: " << testing::PrintToString(playlist)
        << "\ncharts.dat: " << testing::PrintToString(charts);
  }
}

// The loader keeps most records as places in the file it read: what it holds must be what the
// line reader makes of each line, records it could not keep in place included.
TEST(FixedPointFuzz, TheLoadedDatabaseHoldsWhatTheLineReaderReads) {
  RandomInput random(11);
  TempDir dir;
  FakeClock clock(2010, 3, 7, 9, 5);
  FakePrompter prompter;
  for (int i = 0; i < 200; ++i) {
    const std::string content = random.Text(300);
    dir.Write("playlist.dat", content);
    dir.Write("charts.dat", content);
    TrackStore store;
    TrackDatabase database(store, clock, prompter, "Title");
    database.OpenAndLoad(dir.Folder(), 1000, 1000);
    Strings playlist;
    Strings charts;
    for (const std::string_view line : SplitLines(content)) {
      if (!IsBlankLine(line)) {
        PlaylistEntry record = ParsePlaylistLine(line);
        record.nChartLink =
            record.nChartLink < -1 || record.nChartLink >= 1000 ? -1 : record.nChartLink;
        playlist.push_back(Row(record));
        ChartEntry entry = ParseChartLine(line);
        entry.nPlaylistLink =
            entry.nPlaylistLink < -1 || entry.nPlaylistLink >= store.PlaylistCount()
                ? -1
                : entry.nPlaylistLink;
        charts.push_back(Row(entry));
      }
    }
    ASSERT_EQ(PlaylistRows(store), playlist) << testing::PrintToString(content);
    ASSERT_EQ(ChartRows(store), charts) << testing::PrintToString(content);
  }
}

TEST(FixedPointFuzz, SavedQueuesReachAFixedPointAfterOneSave) {
  RandomInput random(99);
  TempDir dir;
  TrackStore store;
  auto loadAndSave = [&](const std::string& strFrom, const std::string& strTo) {
    PlayQueue queue(store);
    LoadQueue(dir.Folder() + strFrom, queue);
    std::filesystem::remove(dir.Path() / strTo);
    EXPECT_TRUE(SaveQueue(dir.Folder() + strTo, queue));
    return dir.Read(strTo);
  };
  for (int i = 0; i < 1000; ++i) {
    const std::string bytes = random.QueueFile();
    dir.Write("in.pla", bytes);
    const std::string once = loadAndSave("in.pla", "once.pla");
    ASSERT_EQ(loadAndSave("once.pla", "twice.pla"), once) << testing::PrintToString(bytes);
  }
}

}  // namespace
}  // namespace velvane
