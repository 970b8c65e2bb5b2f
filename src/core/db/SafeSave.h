#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "core/ports/Clock.h"
#include "core/ports/Prompter.h"

namespace velvane {

enum class SaveResult {
  kSaved,
  kRefused,       // not attempted (see TrackDatabase): nothing on disk was touched
  kCreateFailed,  // name.tmp could not be created or written: name.dat and name.old untouched
  kBackupFailed,  // the previous copy could not become name.old: name.dat untouched, the new
                  // copy stays in name.tmp
  kRenameFailed,  // name.tmp could not become name.dat: the new copy stays in name.tmp
};

// What a save did and, when it failed, which file stopped it and why.
struct SaveOutcome {
  SaveResult result = SaveResult::kSaved;
  std::string strPath;    // the file or folder that stopped the save
  std::string strReason;  // why, e.g. "No space left on device"
  std::string strTmp;     // where the new copy is kept, after kBackupFailed / kRenameFailed

  explicit operator bool() const { return result == SaveResult::kSaved; }
  // "<path>: <reason>", for a one-line report.
  std::string Describe() const { return strPath + ": " + strReason; }
};

// Hands a file's content to `write` in pieces, in order, so that a large file is never held
// whole in memory: each piece goes to the disk while it is still in the processor's cache.
using WritePiece = std::function<void(std::string_view)>;
using ContentSource = std::function<void(const WritePiece& write)>;

// The content of `nLines` lines, line i appended to a string by append(text, i), handed on in
// pieces small enough to stay in the cache.
template <typename AppendLine>
ContentSource LinesInPieces(std::size_t nLines, AppendLine append) {
  return [nLines, append](const WritePiece& write) {
    constexpr std::size_t kPieceBytes = std::size_t{1} << 18;
    std::string piece;
    piece.reserve(2 * kPieceBytes);  // a piece ends after the line that fills it
    for (std::size_t i = 0; i < nLines; ++i) {
      append(piece, i);
      if (piece.size() >= kPieceBytes) {
        write(piece);
        piece.clear();
      }
    }
    write(piece);
  };
}

// The one rotation every database save uses. name.tmp is written completely and flushed to the
// disk; the previous name.dat gets the second name name.old (a copy where the file system has
// no links); then one rename puts name.tmp in place of name.dat, so name.dat exists at every
// moment and a crash leaves either the old or the new copy under that name. A name.dat that is
// a link stays a link: the file it leads to is replaced, with the .tmp written beside it.
// It is not safe against a second writer at the same time: callers hold the folder lock.
SaveOutcome SaveWithRotation(const std::string& strFolder, const std::string& strBaseName,
                             const ContentSource& content);
SaveOutcome SaveWithRotation(const std::string& strFolder, const std::string& strBaseName,
                             std::string_view content);

// Replaces the file at `strPath` by `content` in one step, for files that other programs read
// while they change: strPath + ".tmp" is written whole and flushed, then renamed over strPath,
// so a reader finds the previous content or the new one, never a part. No backup is kept.
// Returns empty on success, else why not (the .tmp is then removed).
std::string ReplaceWholeFile(const std::string& strPath, std::string_view content);

// Everything a database save needs to report a failure: the error log in the database folder
// and, where the operator must be told, a message captioned with the program title.
struct SaveReporting {
  std::string strFilesDir;
  Clock& clock;
  Prompter& prompter;
  std::string strTitle;
};

// SaveWithRotation plus its reports: a failed create appends `strCreateFailedText` to the
// error log only; when the backup or the final rename fails, the line names the file and the
// operator is shown it.
SaveOutcome SaveDatabaseFile(const SaveReporting& reporting, const std::string& strBaseName,
                             const ContentSource& content, const std::string& strCreateFailedText);

}  // namespace velvane
