#pragma once

#include <string>

#include "core/db/NativeFile.h"

namespace velvane {

// A database file read whole, telling a file that is not there from one that cannot be read:
// only the first may ever be replaced by an empty database.
struct FileRead {
  enum class State { kRead, kMissing, kUnreadable };
  State state = State::kMissing;
  TextBuffer content;     // the whole file, when read
  std::string strReason;  // why it could not be read
};

// Only a name that leads nowhere is missing. No permission, a folder, a FIFO or device (never
// opened, so nothing blocks), a link to nothing or a read error make the file unreadable.
FileRead ReadDatabaseFile(const std::string& strPath);

}  // namespace velvane
