#include "core/db/DatabaseRead.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

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
  const fs::file_status status = fs::status(strPath, error);
  if (status.type() == fs::file_type::not_found) {
    std::error_code ignored;
    if (fs::is_symlink(fs::symlink_status(strPath, ignored))) {
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
  std::FILE* pFile = std::fopen(strPath.c_str(), "rb");
  if (pFile == nullptr) {
    return Unreadable(ErrnoText());
  }
  FileRead read{FileRead::State::kRead, {}, {}};
  char buffer[65536];
  std::size_t nRead = 0;
  while ((nRead = std::fread(buffer, 1, sizeof buffer, pFile)) > 0) {
    read.strContent.append(buffer, nRead);
  }
  if (std::ferror(pFile) != 0) {
    read = Unreadable(ErrnoText());
  }
  std::fclose(pFile);
  return read;
}

}  // namespace velvane
