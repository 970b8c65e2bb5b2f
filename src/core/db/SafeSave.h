#pragma once

#include <string>
#include <string_view>

#include "core/ports/Clock.h"
#include "core/ports/Prompter.h"

namespace velvane {

enum class SaveResult {
  kSaved,
  kCreateFailed,  // name.tmp could not be created or written: name.dat and name.old untouched
  kRenameFailed,  // name.tmp could not become name.dat: the new copy stays in name.tmp
};

// The one rotation every database save uses: write name.tmp completely, delete name.old,
// rename name.dat to name.old, rename name.tmp to name.dat.
SaveResult SaveWithRotation(const std::string& strFolder, const std::string& strBaseName,
                            std::string_view content);

// Everything a database save needs to report a failure: the error log in the database folder
// and, where the operator must be told, a message captioned with the program title.
struct SaveReporting {
  std::string strFilesDir;
  Clock& clock;
  Prompter& prompter;
  std::string strTitle;
};

// SaveWithRotation plus its reports: a failed create appends `strCreateFailedText` to the
// error log only; a failed final rename is logged and shown. Returns true when saved.
bool SaveDatabaseFile(const SaveReporting& reporting, const std::string& strBaseName,
                      std::string_view content, const std::string& strCreateFailedText);

}  // namespace velvane
