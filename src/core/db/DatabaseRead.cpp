#include "core/db/DatabaseRead.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

#include "core/db/NativeFile.h"

namespace velvane {

namespace {

FileRead Unreadable(std::string strReason) {
  return FileRead{FileRead::State::kUnreadable, {}, std::move(strReason)};
}

std::string ErrnoText() {
  return std::generic_category().message(errno);
}

}  // namespace

FileRead ReadDatabaseFile(const std::string& strPath) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path path = PathFromUtf8(strPath);
  const fs::file_status status = fs::status(path, error);
  if (status.type() == fs::file_type::not_found) {
    std::error_code ignored;
    if (fs::is_symlink(fs::symlink_status(path, ignored))) {
      return Unreadable("a link to a missing file");
    }
    return FileRead{};
  }
  if (error) {
    return Unreadable(error.message());
  }
  if (!fs::is_regular_file(status)) {
    return Unreadable("not a regular file");
  }
  const UniqueFile file = OpenFile(path, "rb");
  if (file == nullptr) {
    return Unreadable(ErrnoText());
  }
  FileRead read{FileRead::State::kRead, {}, {}};
  char buffer[65536];
  std::size_t nRead = 0;
  while ((nRead = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
    read.strContent.append(buffer, nRead);  // may throw bad_alloc: the owner still closes
  }
  if (std::ferror(file.get()) != 0) {
    read = Unreadable(ErrnoText());
  }
  return read;
}

}  // namespace velvane
