#include "core/db/SafeSave.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

#include "core/db/Logs.h"
#include "core/db/NativeFile.h"

namespace velvane {

namespace {

namespace fs = std::filesystem;

constexpr const char* kNotRegular = "not a regular file";
// A large file goes to the disk in steps of this many bytes while it is being written.
constexpr std::uint64_t kWriteBackBytes = std::uint64_t{4} << 20;

struct RotationPaths {
  fs::path dat;     // name.dat as the folder names it
  fs::path target;  // the file that name leads to: name.dat itself unless it is a link
  fs::path tmp;     // beside the target, so the final rename stays on one file system
  fs::path old;     // name.old, in the database folder where the operator looks for it
};

SaveOutcome Failed(SaveResult result, const fs::path& path, std::string strReason,
                   const fs::path& tmp = {}) {
  return SaveOutcome{result, Utf8FromPath(path), std::move(strReason), Utf8FromPath(tmp)};
}

// errno after a failed C library call; a call that failed without saying why counts as EIO.
std::error_code LastError() {
  return std::error_code(errno != 0 ? errno : EIO, std::generic_category());
}

// Empty when the paths are known; else why not (a link loop, say).
std::string ResolvePaths(const std::string& strFolder, const std::string& strBaseName,
                         RotationPaths& paths) {
  paths.dat = PathFromUtf8(strFolder + strBaseName + ".dat");
  paths.old = PathFromUtf8(strFolder + strBaseName + ".old");
  paths.target = paths.dat;
  std::error_code error;
  if (fs::is_symlink(fs::symlink_status(paths.dat, error))) {
    paths.target = fs::weakly_canonical(paths.dat, error);
    if (error) {
      return error.message();
    }
  }
  paths.tmp = paths.target;
  paths.tmp.replace_extension(".tmp");
  if (paths.tmp == paths.target) {
    paths.tmp += ".tmp";  // a link to a file that is itself named *.tmp
  }
  return {};
}

// Returns the error that stopped the writing, if any. An old .tmp is removed first rather
// than opened: a FIFO would block the save and a link would send the data elsewhere. The new
// file takes the permissions and owner of `replaced`, the file it is to replace.
std::error_code WriteWholeFile(const fs::path& path, const ContentSource& content,
                               const fs::path& replaced) {
  std::error_code error;
  const fs::file_status status = fs::symlink_status(path, error);
  if (fs::is_directory(status)) {
    return std::make_error_code(std::errc::is_a_directory);
  }
  if (fs::exists(status) && !fs::remove(path, error)) {
    return error;
  }
  error.clear();  // "not found" from the look above
  errno = 0;
  UniqueFile file = OpenFile(path, "wb");
  if (file == nullptr) {
    return LastError();
  }
  TakeModeAndOwner(file.get(), replaced);
  errno = 0;
  bool bWritten = true;  // the pieces after a failed one are dropped
  std::uint64_t nWritten = 0;
  std::uint64_t nToDisk = 0;  // the bytes the disk has been asked to take so far
  content([&](std::string_view piece) {
    bWritten = bWritten && std::fwrite(piece.data(), 1, piece.size(), file.get()) == piece.size();
    nWritten += piece.size();
    if (bWritten && nWritten - nToDisk >= kWriteBackBytes) {
      bWritten = std::fflush(file.get()) == 0;
      if (bWritten) {
        StartWriteBack(file.get(), nToDisk, nWritten - nToDisk);
        nToDisk = nWritten;
      }
    }
  });
  if (!bWritten || !FlushToDisk(file.get())) {
    error = LastError();
  }
  // Closed here rather than by the owner: a failing close is a failed save.
  if (std::fclose(file.release()) != 0 && !error) {
    error = LastError();
  }
  if (error) {
    std::error_code ignored;
    fs::remove(path, ignored);  // a partial copy is worth nothing
  }
  return error;
}

// The previous copy gets the second name name.old; empty on success, else why not.
std::string KeepAsOld(const fs::path& target, const fs::path& old) {
  std::error_code error;
  const fs::file_status status = fs::symlink_status(old, error);
  if (fs::is_directory(status)) {
    return kNotRegular;
  }
  if (fs::exists(status) && !fs::remove(old, error)) {
    return error.message();
  }
  fs::create_hard_link(target, old, error);
  if (!error) {
    return {};
  }
  // Another file system, or one without links: a copy does as well.
  if (fs::copy_file(target, old, error)) {
    return {};
  }
  std::error_code ignored;
  fs::remove(old, ignored);  // a partial copy is no backup
  return error.message();
}

// The content as one piece.
ContentSource Whole(std::string_view content) {
  return [content](const WritePiece& write) { write(content); };
}

}  // namespace

SaveOutcome SaveWithRotation(const std::string& strFolder, const std::string& strBaseName,
                             const ContentSource& content) {
  RotationPaths paths;
  if (std::string strReason = ResolvePaths(strFolder, strBaseName, paths); !strReason.empty()) {
    return Failed(SaveResult::kCreateFailed, paths.dat, std::move(strReason));
  }
  if (const std::error_code error = WriteWholeFile(paths.tmp, content, paths.target)) {
    return Failed(SaveResult::kCreateFailed, paths.tmp, error.message());
  }
  std::error_code error;
  const fs::file_status status = fs::status(paths.target, error);
  // With no name.dat (a first save, or one deleted meanwhile) the last name.old stays: it is
  // the newest backup there is.
  if (fs::exists(status)) {
    if (!fs::is_regular_file(status)) {
      return Failed(SaveResult::kBackupFailed, paths.target, kNotRegular, paths.tmp);
    }
    if (std::string strReason = KeepAsOld(paths.target, paths.old); !strReason.empty()) {
      return Failed(SaveResult::kBackupFailed, paths.old, std::move(strReason), paths.tmp);
    }
  } else if (status.type() != fs::file_type::not_found) {
    return Failed(SaveResult::kBackupFailed, paths.target, error.message(), paths.tmp);
  }
  fs::rename(paths.tmp, paths.target, error);
  if (error) {
    return Failed(SaveResult::kRenameFailed, paths.dat, error.message(), paths.tmp);
  }
  // The new name and name.old on the disk too. Their data already is, so a folder that
  // cannot be synced costs at most the renames in a power cut: nothing to tell anyone about.
  SyncFolder(Utf8FromPath(paths.target.parent_path()));
  if (paths.old.parent_path() != paths.target.parent_path()) {
    SyncFolder(Utf8FromPath(paths.old.parent_path()));
  }
  return SaveOutcome{};
}

SaveOutcome SaveWithRotation(const std::string& strFolder, const std::string& strBaseName,
                             std::string_view content) {
  return SaveWithRotation(strFolder, strBaseName, Whole(content));
}

std::string ReplaceWholeFile(const std::string& strPath, std::string_view content) {
  const fs::path target = PathFromUtf8(strPath);
  fs::path tmp = target;
  tmp += ".tmp";
  if (const std::error_code error = WriteWholeFile(tmp, Whole(content), target)) {
    return Utf8FromPath(tmp) + ": " + error.message();
  }
  std::error_code error;
  fs::rename(tmp, target, error);
  if (error) {
    std::error_code ignored;
    fs::remove(tmp, ignored);
    return strPath + ": " + error.message();
  }
  return {};
}

SaveOutcome SaveDatabaseFile(const SaveReporting& reporting, const std::string& strBaseName,
                             const ContentSource& content, const std::string& strCreateFailedText) {
  SaveOutcome outcome = SaveWithRotation(reporting.strFilesDir, strBaseName, content);
  std::string strText;
  switch (outcome.result) {
    case SaveResult::kSaved:
    case SaveResult::kRefused:
      return outcome;
    case SaveResult::kCreateFailed:
      WriteErrorLog(reporting.strFilesDir, reporting.clock, strCreateFailedText);
      return outcome;
    case SaveResult::kBackupFailed:
      strText = "Failed to keep the previous " + strBaseName + ".dat as " + strBaseName + ".old";
      break;
    case SaveResult::kRenameFailed:
      strText = "Failed to replace " + strBaseName + ".dat";
      break;
  }
  strText += " (" + outcome.Describe() + "); the new copy is kept in " + outcome.strTmp;
  WriteErrorLog(reporting.strFilesDir, reporting.clock, strText);
  reporting.prompter.Show(strText, reporting.strTitle, PromptIcon::Exclamation, PromptButtons::Ok);
  return outcome;
}

}  // namespace velvane
