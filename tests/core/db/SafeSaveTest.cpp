#include "core/db/SafeSave.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "core/db/Logs.h"
#include "core/db/MusicFile.h"
#include "core/db/NativeFile.h"
#include "core/db/Paths.h"
#include "support/Fakes.h"
#include "support/FileFaults.h"
#include "support/Records.h"
#include "support/TempDir.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace velvane {
namespace {

namespace fs = std::filesystem;

class SafeSaveTest : public ::testing::Test {
 protected:
  // The content goes in two pieces, as a large file's does.
  SaveOutcome Save(const std::string& content) {
    const auto halves = [&content](const WritePiece& write) {
      const std::string_view whole = content;
      write(whole.substr(0, whole.size() / 2));
      write(whole.substr(whole.size() / 2));
    };
    return SaveDatabaseFile({m_dir.Folder(), m_clock, m_prompter, "Title"}, "playlist", halves,
                            "Failed to create a new playlist file");
  }

  // What playlist.dat, .old and .tmp hold; "-" where there is none, "/" for a folder.
  Strings Copies() const {
    Strings copies;
    for (const char* pszExt : {".dat", ".old", ".tmp"}) {
      const std::string strName = std::string("playlist") + pszExt;
      copies.push_back(!m_dir.Exists(strName)                     ? "-"
                       : fs::is_directory(m_dir.Path() / strName) ? "/"
                                                                  : m_dir.Read(strName));
    }
    return copies;
  }

  TempDir m_dir;
  FakeClock m_clock{2010, 3, 7, 9, 5};
  FakePrompter m_prompter;
  ScratchMounts m_mounts;  // after m_dir: unmounted before the folder is removed
};

TEST_F(SafeSaveTest, LinkedFileAndFolderStayLinksAndTheBackupLandsInTheDatabaseFolder) {
  POSIX_ONLY_TEST("symbolic links");
  fs::create_directories(m_dir.Path() / "elsewhere");
  m_dir.Write("elsewhere/library.dat", "previous\r\n");
  fs::create_symlink(m_dir.Path() / "elsewhere" / "library.dat", m_dir.Path() / "playlist.dat");

  ASSERT_TRUE(Save("new\r\n"));
  EXPECT_TRUE(fs::is_symlink(m_dir.Path() / "playlist.dat"));
  EXPECT_EQ(m_dir.Read("elsewhere/library.dat"), "new\r\n");
  EXPECT_FALSE(fs::is_symlink(m_dir.Path() / "playlist.old"));
  EXPECT_EQ(m_dir.Read("playlist.old"), "previous\r\n");
  EXPECT_FALSE(m_dir.Exists("elsewhere/library.tmp"));
  EXPECT_FALSE(m_dir.Exists("playlist.tmp"));

  // A database folder reached through a link works like any other.
  fs::create_directory_symlink(m_dir.Path() / "elsewhere", m_dir.Path() / "linked");
  ASSERT_TRUE(SaveWithRotation((m_dir.Path() / "linked" / "").string(), "library", "newer\r\n"));
  EXPECT_EQ(m_dir.Read("elsewhere/library.dat"), "newer\r\n");
  EXPECT_EQ(m_dir.Read("elsewhere/library.old"), "new\r\n");
  EXPECT_TRUE(fs::is_symlink(m_dir.Path() / "linked"));
}

TEST_F(SafeSaveTest, FolderNamedOldStopsTheSaveKeepingTheNewCopyAndSaysWhere) {
  m_dir.Write("playlist.dat", "previous\r\n");
  fs::create_directories(m_dir.Path() / "playlist.old" / "x");

  const SaveOutcome outcome = Save("new\r\n");
  EXPECT_EQ(outcome.result, SaveResult::kBackupFailed);
  EXPECT_EQ(Copies(), (Strings{"previous\r\n", "/", "new\r\n"}));
  const std::string strText = "Failed to keep the previous playlist.dat as playlist.old (" +
                              m_dir.Folder() + "playlist.old: not a regular file); the new " +
                              "copy is kept in " + m_dir.Folder() + "playlist.tmp";
  EXPECT_EQ(m_prompter.Texts(), Strings{strText});
  EXPECT_EQ(m_dir.Read("errorlog.txt"), "07/03/2010 09:05   " + strText + "\r\n");
}

TEST_F(SafeSaveTest, WhatStandsInPlaceOfTheTmpNeverBlocksNorMisleadsTheSave) {
  m_dir.Write("playlist.dat", "previous\r\n");
  m_dir.Write("playlist.old", "older\r\n");
  fs::create_directory(m_dir.Path() / "playlist.tmp");
  const SaveOutcome outcome = Save("new\r\n");
  EXPECT_EQ(outcome.result, SaveResult::kCreateFailed);
  EXPECT_EQ(outcome.strPath, m_dir.Folder() + "playlist.tmp");
  EXPECT_EQ(Copies(), (Strings{"previous\r\n", "older\r\n", "/"}));
  EXPECT_TRUE(m_prompter.m_shown.empty());  // the error log only, as for any failed create
  EXPECT_EQ(m_dir.Read("errorlog.txt"),
            "07/03/2010 09:05   Failed to create a new playlist file\r\n");

#ifndef _WIN32  // no FIFOs there, and links need privileges
  // A FIFO would block the writer; a link would send the new copy into another file.
  fs::remove(m_dir.Path() / "playlist.tmp");
  MakeFifo(m_dir.Path() / "playlist.tmp");
  ASSERT_TRUE(Save("new\r\n"));
  m_dir.Write("outside", "untouched");
  fs::create_symlink(m_dir.Path() / "outside", m_dir.Path() / "playlist.tmp");
  ASSERT_TRUE(Save("newer\r\n"));
  EXPECT_EQ(m_dir.Read("outside"), "untouched");
  EXPECT_EQ(Copies(), (Strings{"newer\r\n", "new\r\n", "-"}));
#endif
}

#ifndef _WIN32
// Under a umask of 077 two saves used to turn a shared 664 file of group audio into 600 of the
// saving user, and the rest of the studio could no longer read the library.
TEST_F(SafeSaveTest, TheNewCopyKeepsThePermissionsAndGroupOfTheFileItReplaces) {
  m_dir.Write("playlist.dat", "previous\r\n");
  const fs::path dat = m_dir.Path() / "playlist.dat";
  fs::permissions(dat, fs::perms(0664));
  const gid_t nGroup = RunningAsRoot() ? 29 : getgid();  // a group root is not in
  ASSERT_EQ(chown(dat.c_str(), static_cast<uid_t>(-1), nGroup), 0);
  const mode_t nOldMask = umask(077);
  const bool bSaved = Save("one\r\n") && Save("two\r\n");
  umask(nOldMask);
  ASSERT_TRUE(bSaved);
  struct stat saved {};
  ASSERT_EQ(stat(dat.c_str(), &saved), 0);
  EXPECT_EQ(saved.st_mode & 07777, 0664U);
  EXPECT_EQ(saved.st_gid, nGroup);
  EXPECT_EQ(m_dir.Read("playlist.dat"), "two\r\n");
}

// The lock file made under a umask of 077 used to be 600: no other user could lock the folder.
TEST_F(SafeSaveTest, ANewLockFileGetsTheAccessOfTheDatabasesNotTheUmask) {
  const fs::path lockPath = m_dir.Path() / kLockFileName;
  const auto lockedMode = [&] {
    FolderLock lock;
    std::error_code error;
    const mode_t nOldMask = umask(077);
    const LockResult result = lock.TryLock(m_dir.Folder(), error);
    umask(nOldMask);
    struct stat made {};
    EXPECT_EQ(result, LockResult::kLocked);
    EXPECT_EQ(stat(lockPath.c_str(), &made), 0);
    fs::remove(lockPath);
    return made;
  };
  EXPECT_EQ(lockedMode().st_mode & 07777, 0666U);  // no databases yet: open to all

  m_dir.Write("playlist.dat", "");
  const fs::path dat = m_dir.Path() / "playlist.dat";
  fs::permissions(dat, fs::perms(0660));
  const gid_t nGroup = RunningAsRoot() ? 29 : getgid();
  ASSERT_EQ(chown(dat.c_str(), static_cast<uid_t>(-1), nGroup), 0);
  const struct stat made = lockedMode();
  EXPECT_EQ(made.st_mode & 07777, 0660U);
  EXPECT_EQ(made.st_gid, nGroup);
}
#endif

TEST_F(SafeSaveTest, FifoInPlaceOfTheDatabaseIsNeverOpened) {
  POSIX_ONLY_TEST("a FIFO");
  MakeFifo(m_dir.Path() / "playlist.dat");
  const SaveOutcome outcome = Save("new\r\n");
  EXPECT_EQ(outcome.result, SaveResult::kBackupFailed);
  EXPECT_EQ(outcome.Describe(), m_dir.Folder() + "playlist.dat: not a regular file");
  EXPECT_EQ(fs::status(m_dir.Path() / "playlist.dat").type(), fs::file_type::fifo);
  EXPECT_EQ(m_dir.Read("playlist.tmp"), "new\r\n");
}

TEST_F(SafeSaveTest, FailedFinalRenameKeepsTheNewCopyAndTellsTheOperator) {
  m_dir.Write("playlist.dat", "previous\r\n");
  // A mount point can be neither renamed nor replaced.
  if (const std::string strWhy = m_mounts.Pinned(m_dir.Path() / "playlist.dat"); !strWhy.empty()) {
    GTEST_SKIP() << strWhy;
  }
  const SaveOutcome outcome = Save("new\r\n");
  EXPECT_EQ(outcome.result, SaveResult::kRenameFailed);
  // .old copied: links stop at mounts.
  EXPECT_EQ(Copies(), (Strings{"previous\r\n", "previous\r\n", "new\r\n"}));
  ASSERT_EQ(m_prompter.m_shown.size(), 1u);
  EXPECT_EQ(m_prompter.m_shown[0].strText.rfind("Failed to replace playlist.dat (", 0), 0u);
  EXPECT_TRUE(Contains(m_dir.Read("errorlog.txt"), m_dir.Folder() + "playlist.tmp"));
}

TEST_F(SafeSaveTest, FullDiskKeepsBothCopiesAndLeavesNoPartialTmp) {
  if (const std::string strWhy = m_mounts.Tmpfs(m_dir.Path(), std::size_t{6} << 20);
      !strWhy.empty()) {
    GTEST_SKIP() << strWhy;
  }
  ASSERT_TRUE(Save("previous\r\n") && Save("previous\r\n"));
  // The disk fills up midway through a large file, after parts of it have gone to the disk...
  const auto appendLine = [](std::string& strText, std::size_t i) {
    strText += "Artist " + std::to_string(i) + "\\Title\\1\\1\\-1\\\r\n";
  };
  SaveOutcome outcome =
      SaveDatabaseFile({m_dir.Folder(), m_clock, m_prompter, "Title"}, "playlist",
                       LinesInPieces(400000, appendLine), "Failed to create a new playlist file");
  EXPECT_EQ(outcome.result, SaveResult::kCreateFailed);
  EXPECT_EQ(outcome.Describe(), m_dir.Folder() + "playlist.tmp: No space left on device");
  EXPECT_EQ(Copies(), (Strings{"previous\r\n", "previous\r\n", "-"}));
  // ...and when it is full before the first byte.
  FillDisk(m_dir.Path());
  outcome = Save("new\r\n");
  EXPECT_EQ(outcome.result, SaveResult::kCreateFailed);
  EXPECT_EQ(outcome.Describe(), m_dir.Folder() + "playlist.tmp: No space left on device");
  EXPECT_EQ(Copies(), (Strings{"previous\r\n", "previous\r\n", "-"}));
}

// Another program may read the file at any moment: it must always find one whole copy.
TEST_F(SafeSaveTest, ReadersAlwaysFindAWholeFileWhileSavesRun) {
  POSIX_ONLY_TEST("forked child processes");
  const std::string a(20000, 'a');
  const std::string b(30000, 'b');
  m_dir.Write("playlist.dat", a);
  const std::string folder = m_dir.Folder();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  const int nFailed = RunInChildren(2, [&](int nChild) {
    if (nChild == 0) {
      for (int i = 0; i < 150; ++i) {
        if (!SaveWithRotation(folder, "playlist", i % 2 == 0 ? b : a)) {
          return 1;
        }
      }
      m_dir.Write("done", "");
      return 0;
    }
    // The reader: every read finds one of the two copies whole, never nothing.
    while (!m_dir.Exists("done") && std::chrono::steady_clock::now() < deadline) {
      const std::string content = m_dir.Read("playlist.dat");
      if (content != a && content != b) {
        return 1;
      }
    }
    return 0;
  });
  EXPECT_EQ(nFailed, 0);
  EXPECT_EQ(Copies(), (Strings{a, b, "-"}));
}

TEST(NativePathTest, Utf8NamesRoundTripThroughTheSystemsPaths) {
  for (const std::string strName :
       {"plain.dat", "Músicá/Ünïcode Ωδή 音楽.dat", "🎵 emoji.dat", ""}) {
    EXPECT_EQ(Utf8FromPath(PathFromUtf8(strName)), strName);
  }
  const std::filesystem::path path = PathFromUtf8("Ünïcode/Ωδή.mp3");
  EXPECT_EQ(Utf8FromPath(path.filename()), "Ωδή.mp3");
  EXPECT_EQ(Utf8FromPath(path.parent_path()), "Ünïcode");
}

// Names from an older library may be bytes of another code page. Linux takes a name as its
// bytes, so such a file must open as before.
TEST(NativePathTest, NamesThatAreNotUtf8StillOpenWhereNamesAreBytes) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows names are UTF-16: bytes that are not UTF-8 name no file there";
#else
  const TempDir dir;
  const std::string strPath = dir.Folder() + "caf\xe9.dat";  // Windows-1252 "café"
  EXPECT_EQ(PathFromUtf8(strPath).native(), strPath);
  {
    const UniqueFile file = OpenFile(strPath, "wb");
    ASSERT_NE(file, nullptr);
  }
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(strPath)));
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    EXPECT_EQ(Utf8FromPath(entry.path().filename()), "caf\xe9.dat");
  }
#endif
}

TEST(Logs, LinesAreAppendedWithUtcTimeStampsAndAMissingFolderIsSkipped) {
  TempDir dir;
  FakeClock clock(2010, 3, 7, 9, 5);
  WritePlayLog(dir.Folder(), "disco", clock, "A", "T");  // makes the logs folder
  WriteErrorLog(dir.Folder(), clock, "Failed to create a new chart file");
  clock.Set(2010, 12, 31, 23, 59);
  WritePlayLog(dir.Folder(), "disco", clock, "B", "U");
  EXPECT_EQ(dir.Read("logs/disco.log"), "07/03/2010 09:05   A - T\r\n31/12/2010 23:59   B - U\r\n");
  EXPECT_EQ(dir.Read("errorlog.txt"), "07/03/2010 09:05   Failed to create a new chart file\r\n");
  WriteWishList(dir.Folder(), "A", "T");
  WriteWishList(dir.Folder(), "A", "T");  // repeated requests are not merged
  EXPECT_EQ(dir.Read("wishlist.txt"), "A - T (Requested Track)\r\nA - T (Requested Track)\r\n");

  WriteErrorLog("/nonexistent-velvane-folder/", clock, "x");
  WritePlayLog("/nonexistent-velvane-folder/", "log", clock, "A", "T");
}

TEST(MusicFile, IsTheFirstMatchInNameOrderUnderTheZeroPaddedNumbers) {
  TempDir dir;
  std::filesystem::create_directories(dir.Path() / "music" / "012");
  std::filesystem::create_directories(dir.Path() / "music" / "123");
  dir.Write("music/012/07 b second.mp3", "x");
  dir.Write("music/012/07 a first.mp3", "x");
  dir.Write("music/123/04 x.mp3", "x");
  const std::string strMusic = dir.Folder() + "music/";
  std::string strPath;
  ASSERT_TRUE(FindMusicFile(strMusic, "012", "7", strPath));
  EXPECT_EQ(strPath, strMusic + "012" + kPathSeparator + "07 a first.mp3");

  // A CD text longer than three characters is cut: "1234" looks in folder 123.
  ASSERT_TRUE(FindMusicFile(strMusic, "1234", "4", strPath));
  EXPECT_EQ(strPath, strMusic + "123" + kPathSeparator + "04 x.mp3");
  EXPECT_FALSE(FindMusicFile(strMusic, "12", "8", strPath));
}

}  // namespace
}  // namespace velvane
