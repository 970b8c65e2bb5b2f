#include "core/db/TrackDatabase.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/db/LineCodec.h"
#include "core/db/TrackStore.h"
#include "core/playback/SavedQueue.h"
#include "support/Fakes.h"
#include "support/FileFaults.h"
#include "support/Records.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

const char* const kTitle = "The ROLV Disco / Radio System";

class TrackDatabaseTest : public ::testing::Test {
 protected:
  void StartUp(int nPlaySize, int nChartSize) {
    std::error_code error;
    ASSERT_EQ(m_database.LockFolder(m_dir.Folder(), error), LockResult::kLocked);
    m_database.OpenAndLoad(m_dir.Folder(), nPlaySize, nChartSize);
  }
  TempDir m_dir;
  FakeClock m_clock{2010, 3, 7, 9, 5};
  FakePrompter m_prompter;
  TrackStore m_store;
  TrackDatabase m_database{m_store, m_clock, m_prompter, kTitle};
};

TEST_F(TrackDatabaseTest, ChartLinksAreCheckedAgainstTheLoadedPlaylistOrTheCapacityOfAMissingOne) {
  m_dir.Write("charts.dat", "01/01/1980\\A\\T\\1\\3\\\r\n");
  StartUp(10, 10);
  EXPECT_EQ(m_store.PlaylistCount(), 0);
  EXPECT_EQ(PlaylistLinks(m_store), std::vector<int>{3});
  EXPECT_TRUE(m_dir.Exists("playlist.dat"));  // created empty

  // The playlist loads first, so the chart links it holds survive.
  m_dir.Write("playlist.dat", "00101\\A\\T\\2\\\r\n00102\\B\\U\\9\\\r\n");
  m_dir.Write("charts.dat",
              "01/01/1980\\A\\T\\1\\0\\\r\n02/01/1980\\B\\U\\2\\1\\\r\n03/01/1980\\C\\V\\3\\"
              "12\\\r\n");
  StartUp(100, 100);
  EXPECT_EQ(ChartLinks(m_store), (std::vector<int>{2, 9}));  // checked against the capacity
  // 12 is beyond the 2 records loaded.
  EXPECT_EQ(PlaylistLinks(m_store), (std::vector<int>{0, 1, -1}));
}

TEST_F(TrackDatabaseTest, ExactCapacityLoadsSilentlyOneMoreLineIsReported) {
  m_dir.Write("playlist.dat", "00101\\A\\T\\-1\\\r\n\r\n00102\\B\\U\\-1\\\r\n");
  StartUp(2, 2);
  EXPECT_EQ(m_store.PlaylistCount(), 2);  // the blank line does not count
  EXPECT_TRUE(m_prompter.m_shown.empty());

  m_dir.Write("playlist.dat", "00101\\A\\T\\-1\\\r\n00102\\B\\U\\-1\\\r\n00103\\C\\V\\-1\\\r\n");
  m_dir.Write("charts.dat", "1\\A\\T\\1\\-1\\\n2\\A\\T\\1\\-1\\\n3\\A\\T\\1\\-1\\\n");
  StartUp(2, 2);
  EXPECT_EQ(PlaylistRows(m_store), (Strings{"A|T|1|1|-1", "B|U|1|2|-1"}));
  EXPECT_EQ(m_store.ChartCount(), 2);
  EXPECT_EQ(m_prompter.Texts(), (Strings{"Insufficient memory allocated to store the playlist",
                                         "Insufficient memory allocated to store the chartlist"}));
  EXPECT_EQ(m_prompter.m_shown[0].strCaption, kTitle);
  EXPECT_EQ(m_dir.Read("errorlog.txt"),
            "07/03/2010 09:05   Insufficient memory allocated to store the playlist\r\n"
            "07/03/2010 09:05   Insufficient memory allocated to store the chartlist\r\n");
}

// A file that exists but cannot be read may hold the only copy of the library: it is reported,
// left exactly as it is, and never saved over. Only a missing file is made (empty).
TEST_F(TrackDatabaseTest, UnreadableFilesAreReportedKeptAndNeverSavedOver) {
  POSIX_ONLY_TEST("a FIFO");
  std::filesystem::create_directories(m_dir.Path() / "playlist.dat" / "x");
  MakeFifo(m_dir.Path() / "charts.dat");  // opening it would wait for a writer for ever
  StartUp(10, 10);
  EXPECT_EQ(m_prompter.Texts(),
            (Strings{"Could not open the playlist file", "Could not open the charts file"}));
  EXPECT_EQ(m_store.PlaySize(), 10);  // the arrays exist all the same
  EXPECT_FALSE(m_database.PlaylistLoaded());
  EXPECT_EQ(m_database.OpenProblem(), m_dir.Folder() + "playlist.dat: not a regular file");

  m_prompter.m_shown.clear();
  EXPECT_EQ(m_database.SaveCharts(m_dir.Folder()).result, SaveResult::kRefused);
  const std::string strRefusal = "Not saved: " + m_dir.Folder() +
                                 "charts.dat: it could not be read (not a regular file), so it "
                                 "is left as it is";
  EXPECT_EQ(m_prompter.Texts(), Strings{strRefusal});
  EXPECT_EQ(m_dir.Read("errorlog.txt"), "07/03/2010 09:05   " + strRefusal + "\r\n");
  EXPECT_EQ(std::filesystem::status(m_dir.Path() / "charts.dat").type(),
            std::filesystem::file_type::fifo);
  EXPECT_FALSE(m_dir.Exists("charts.old"));
  EXPECT_FALSE(m_dir.Exists("charts.tmp"));
}

TEST_F(TrackDatabaseTest, LinksLeadingNowhereAreNeitherFollowedNorSavedOver) {
  POSIX_ONLY_TEST("symbolic links");
  std::filesystem::create_symlink("playlist.dat", m_dir.Path() / "playlist.dat");  // a loop
  std::filesystem::create_symlink("gone.dat", m_dir.Path() / "charts.dat");
  StartUp(10, 10);
  EXPECT_EQ(m_prompter.m_shown.size(), 2u);
  EXPECT_FALSE(m_database.SavePlaylist(m_dir.Folder()));
  EXPECT_FALSE(m_database.SaveCharts(m_dir.Folder()));
  EXPECT_FALSE(m_dir.Exists("gone.dat"));  // nothing made through the dangling link
  EXPECT_TRUE(std::filesystem::is_symlink(m_dir.Path() / "charts.dat"));
}

TEST_F(TrackDatabaseTest, FileWithoutReadPermissionIsNotSavedOver) {
  POSIX_ONLY_TEST("file modes");
  if (RunningAsRoot()) {
    GTEST_SKIP() << "root reads files whatever their permissions";
  }
  m_dir.Write("playlist.dat", "00101\\A\\T\\-1\\\r\n");
  std::filesystem::permissions(m_dir.Path() / "playlist.dat", std::filesystem::perms::owner_write);
  StartUp(10, 10);
  EXPECT_EQ(m_database.OpenProblem(), m_dir.Folder() + "playlist.dat: Permission denied");
  EXPECT_FALSE(m_database.SavePlaylist(m_dir.Folder()));
  std::filesystem::permissions(m_dir.Path() / "playlist.dat", std::filesystem::perms::owner_all);
  EXPECT_EQ(m_dir.Read("playlist.dat"), "00101\\A\\T\\-1\\\r\n");
}

TEST_F(TrackDatabaseTest, SavesNeedTheFolderLockWhichOnlyOneHoldsUntilItEnds) {
  m_dir.Write("playlist.dat", "00101\\A\\T\\-1\\\r\n");
  std::error_code error;
  {
    TrackStore holderStore;
    TrackDatabase holder(holderStore, m_clock, m_prompter, kTitle);
    ASSERT_EQ(holder.LockFolder(m_dir.Folder(), error), LockResult::kLocked);

    EXPECT_EQ(m_database.LockFolder(m_dir.Folder(), error), LockResult::kInUse);
    m_database.OpenAndLoad(m_dir.Folder(), 10, 10);  // reading needs no lock
    EXPECT_EQ(m_store.PlaylistCount(), 1);
    m_store.SetPlaylistCount(0);
    const SaveOutcome refused = m_database.SavePlaylist(m_dir.Folder());
    EXPECT_EQ(refused.result, SaveResult::kRefused);
    EXPECT_EQ(refused.Describe(), m_dir.Folder() + ": " + kFolderInUseText);
    EXPECT_EQ(m_prompter.Texts(), Strings{"Not saved: " + refused.Describe()});
    EXPECT_EQ(m_dir.Read("playlist.dat"), "00101\\A\\T\\-1\\\r\n");
    EXPECT_FALSE(m_dir.Exists("playlist.old"));
  }
  EXPECT_EQ(m_database.LockFolder(m_dir.Folder(), error), LockResult::kLocked);
  EXPECT_TRUE(m_database.SavePlaylist(m_dir.Folder()));
  EXPECT_EQ(m_dir.Read("playlist.dat"), "");
}

TEST_F(TrackDatabaseTest, OldFilesWithCrOnlyLinesAndHugeLinksLoadWhole) {
  m_dir.Write("playlist.dat", "00101\\A\\T\\4294967297\\\r00102\\B\\U\\0\\\r");
  m_dir.Write("charts.dat", "1\\A\\T\\1\\-4294967296\\\r2\\B\\U\\2\\1\\");
  StartUp(10, 10);
  EXPECT_EQ(ChartLinks(m_store), (std::vector<int>{-1, 0}));  // never wrapped round to 1
  EXPECT_EQ(PlaylistLinks(m_store), (std::vector<int>{-1, 1}));
  ASSERT_TRUE(m_database.SavePlaylist(m_dir.Folder()));
  EXPECT_EQ(m_dir.Read("playlist.dat"), "00101\\A\\T\\-1\\\r\n00102\\B\\U\\0\\\r\n");
}

TEST(PlaylistLine, NumbersArePaddedAndAnEmptyFieldIsWrittenAsOneBlank) {
  const std::pair<PlaylistEntry, const char*> cases[] = {
      {{"A", "T", "7", "5", -1}, "00705\\A\\T\\-1\\\r\n"},
      {{"A", "T", "999", "99", 12}, "99999\\A\\T\\12\\\r\n"},
      {{"A", "T", "012", "03", -1}, "01203\\A\\T\\-1\\\r\n"},
      {{"", "T", "1", "2", -1}, "00102\\ \\T\\-1\\\r\n"},
      {{"A", "T", "1000", "-5", -1}, "00000\\A\\T\\-1\\\r\n"},  // never a wider block
  };
  for (const auto& [record, pszLine] : cases) {
    EXPECT_EQ(FormatPlaylistLine(record), pszLine);
  }
}

TEST(PlaylistLine, ReadsNormalisedNumbersCutFieldsAndDamageAsNoneOrOutOfRange) {
  const std::pair<std::string, std::string> cases[] = {
      {"00705\\A\\T\\-1\\\r\n", "A|T|7|5|-1"},
      {"99999\\A\\T\\12\\\n", "A|T|999|99|12"},
      {"00700\\A\\T\\3\\", "A|T|7|0|3"},
      {"00102\\ \\T\\-1\\\r\n", " |T|1|2|-1"},
      // A run of separators counts as one, so an empty artist lets the title slide into it.
      {"\\\\00102\\\\T\\4\\\r\n", "T|4|1|2|-1"},
      {"00102\\Artist only", "Artist only||1|2|-1"},
      {"7\\A\\T\\x\\", "A|T|7|0|0"},  // a short block; a link that is no number reads as 0
      {"00102\\" + std::string(300, 'a') + "\\T\\-1\\", std::string(127, 'a') + "|T|1|2|-1"},
      // A sign in the number block would widen it on writing and shift it on every resave.
      {"-1203\\A\\T\\-1\\", "A|T|0|3|-1"},
      {"00101\\A\\T\\4294967297\\", "A|T|1|1|2147483647"},  // 2^32 + 1 must not wrap round to 1
  };
  for (const auto& [line, row] : cases) {
    EXPECT_EQ(Row(ParsePlaylistLine(line)), row);
  }
  EXPECT_EQ(ParseChartLine("d\\A\\T\\1\\-4294967297\\").nPlaylistLink, -2147483647 - 1);
  // Lines of separators and blanks only hold no record.
  EXPECT_TRUE(IsBlankLine(" \\ \\\r\n"));
  EXPECT_FALSE(IsBlankLine("00000\\ \\ \\-1\\"));
}

TEST(Lines, CrLfLfAndALoneCrEachEndALine) {
  EXPECT_EQ(SplitLines("a\r\nb\nc\rd\r\r\ne"),
            (std::vector<std::string_view>{"a", "b", "c", "d", "", "e"}));
  EXPECT_EQ(SplitLines("a\n\r"), (std::vector<std::string_view>{"a", ""}));
  EXPECT_TRUE(SplitLines("").empty());
}

TEST(ChartAndNumberOneLines, TextsTravelUnchangedInBothDirections) {
  EXPECT_EQ(FormatChartLine({"05/03/1983", "A", "T", "01", -1}), "05/03/1983\\A\\T\\01\\-1\\\r\n");
  EXPECT_EQ(Row(ParseChartLine("05/03/1983\\A\\T\\01\\-1\\\r\n")), "05/03/1983|A|T|01|-1");
  EXPECT_EQ(FormatChartLine({"5/3/83", "", "T", "1", 7}), "5/3/83\\ \\T\\1\\7\\\r\n");
  EXPECT_EQ(FormatNumberOneLine({"05/03/1983", "A", "T", " ", ""}), "05/03/1983\\A\\T\\ \\ \\\r\n");
  EXPECT_EQ(Row(ParseNumberOneLine("05/03/1983\\A\\T\\ \\ \\\r\n")), "05/03/1983|A|T| | ");
}

TEST(TrackStore, SettersCheckCapacityGettersCheckCount) {
  TrackStore store;
  store.Allocate(3, 2);
  store.SetPlaylistEntry(2, "A", "T", "1", "2", -1);  // beyond the count, within capacity
  store.SetPlaylistEntry(3, "X", "X", "9", "9", -1);  // at capacity: ignored

  std::string artist, title, cd, track;
  int link = 99;
  EXPECT_FALSE(store.GetPlaylistEntry(2, artist, title, cd, track, link));
  EXPECT_EQ(link, -1);
  store.SetPlaylistCount(3);
  EXPECT_TRUE(store.GetPlaylistEntry(2, artist, title, cd, track, link));
  EXPECT_EQ(cd, "1");
}

TEST(TrackStore, LinksOutsideTheOtherCountBecomeMinusOne) {
  TrackStore store;
  store.Allocate(10, 10);
  store.SetChartCount(3);
  store.SetPlaylistCount(2);
  for (const auto& [nLink, nKept] : {std::pair{3, -1}, {2, 2}, {-7, -1}}) {
    store.SetPlaylistEntry(0, "A", "T", "1", "1", nLink);
    EXPECT_EQ(store.Playlist(0).nChartLink, nKept) << nLink;
  }
  store.SetChartEntry(1, "01/01/1980", "A", "T", "1", 2);  // playlist count is 2
  EXPECT_EQ(store.Chart(1).nPlaylistLink, -1);

  store.SetPlaylistReference(2, 1);
  EXPECT_EQ(store.Playlist(1).nChartLink, 2);
  store.SetPlaylistReference(3, 1);
  EXPECT_EQ(store.Playlist(1).nChartLink, -1);
  store.SetPlaylistReference(1, 2);  // index at the count: nothing happens
  store.SetPlaylistCount(3);
  EXPECT_EQ(store.Playlist(2).nChartLink, -1);
  store.SetChartReference(1, 2);
  EXPECT_EQ(store.Chart(2).nPlaylistLink, 1);
}

TEST(TrackStore, FindComparesNumbersAndTakesTheFirstMatch) {
  TrackStore store;
  store.Allocate(4, 4);
  store.SetChartCount(4);
  store.SetPlaylistEntry(0, "Zero", "Z", "x", "", 1);  // non-numeric: CD 0 track 0
  store.SetPlaylistEntry(1, "First", "F", "7", "3", 2);
  store.SetPlaylistEntry(2, "Second", "S", "7", "3", 3);
  store.SetPlaylistCount(3);

  const auto find = [&store](const char* pszCD, const char* pszTrack) {
    std::string artist = "stale", title = "stale";  // a miss must clear them
    int link = 0;
    const bool bFound = store.FindPlaylistEntry(pszCD, pszTrack, artist, title, link);
    return std::to_string(bFound) + "|" + artist + "|" + title + "|" + std::to_string(link);
  };
  EXPECT_EQ(find("007", "03"), "1|First|F|2");
  EXPECT_EQ(find("0", "0"), "1|Zero|Z|1");
  EXPECT_EQ(find("8", "1"), "0|||-1");
}

using namespace std::string_view_literals;

// Random input for every reader of the database files and saved queues: nothing may crash, and
// whatever was read, what a save writes reads back to the same save (a resave of a resaved
// file changes nothing). The seed is fixed, so a failure repeats.
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
