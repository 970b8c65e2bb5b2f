#include "core/db/DatabaseRead.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
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
  // One read into a buffer of the file's size (the loaded records point into it, so it must
  // not hold twice that); a file that grew meanwhile is read on into a larger one.
  const std::uintmax_t nSize = fs::file_size(path, error);
  TextBuffer& content = read.content;  // may throw bad_alloc: the owner still closes
  content = TextBuffer(error ? 1 : static_cast<std::size_t>(nSize) + 1);
  std::size_t nUsed = 0;
  while (true) {
    nUsed += std::fread(content.Data() + nUsed, 1, content.Capacity() - nUsed, file.get());
    if (nUsed < content.Capacity()) {
      break;
    }
    TextBuffer larger(content.Capacity() * 2);
    std::memcpy(larger.Data(), content.Data(), nUsed);
    content = std::move(larger);
  }
  content.SetSize(nUsed);
  if (std::ferror(file.get()) != 0) {
    read = Unreadable(ErrnoText());
  }
  return read;
}

}  // namespace velvane
