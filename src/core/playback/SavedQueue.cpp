#include "core/playback/SavedQueue.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <utility>

#include "core/db/NativeFile.h"
#include "core/db/Paths.h"
#include "core/text/Text.h"

namespace velvane {

namespace {

using Field = std::array<char, kSavedQueueFieldBytes>;

// The format has room for three characters and the terminating zero; a longer text is cut
// to three so that the zero byte always fits and the file can be read back.
Field EncodeField(const std::string& strText) {
  Field field{};
  const std::size_t nBytes = std::min(strText.size(), kSavedQueueFieldBytes - 1);
  std::copy_n(strText.begin(), nBytes, field.begin());
  return field;
}

std::string DecodeField(const char* pField) {
  const std::string_view raw(pField, kSavedQueueFieldBytes);
  const std::string_view text = raw.substr(0, raw.find('\0'));
  if (text.empty() || text.front() == ' ') {
    return {};
  }
  // Numbers are compared as integers anyway; written back in decimal "007" is a plain 7.
  return std::to_string(Atoi(text));
}

// True for a regular file, and for a name that leads nowhere yet.
bool RegularOrMissing(const std::filesystem::path& path) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  return status.type() == std::filesystem::file_type::not_found ||
         std::filesystem::is_regular_file(status);
}

}  // namespace

bool SaveQueue(const std::string& strPath, const PlayQueue& queue) {
  const std::filesystem::path path = PathFromUtf8(strPath);
  if (!RegularOrMissing(path)) {
    return false;
  }
  // Opened for update so that nothing past the 80 bytes is lost; created first if missing.
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  if (!file.is_open()) {
    { const std::ofstream created(path, std::ios::binary); }
    file.open(path, std::ios::in | std::ios::out | std::ios::binary);
    if (!file.is_open()) {
      return false;
    }
  }
  file.seekp(0);
  for (int i = 0; i < kQueueSlots; ++i) {
    const Field cd = EncodeField(queue.Slot(i).strCD);
    const Field track = EncodeField(queue.Slot(i).strTrack);
    file.write(cd.data(), cd.size());
    file.write(track.data(), track.size());
  }
  file.close();
  return !file.fail();
}

std::string LoadQueue(const std::string& strPath, QueueInput& queue) {
  const std::filesystem::path path = PathFromUtf8(strPath);
  if (!RegularOrMissing(path)) {
    return "not a regular file";
  }
  std::ifstream file(path, std::ios::binary);
  if (!file.is_open()) {
    return {};
  }
  std::array<char, kSavedQueueBytes> bytes{};
  file.read(bytes.data(), bytes.size());
  // Only whole records count: a cut-off record is as good as a missing one, a free slot.
  const std::size_t nRecords = static_cast<std::size_t>(file.gcount()) / kSavedQueueRecordBytes;
  for (std::size_t i = 0; i < nRecords; ++i) {
    const char* pRecord = bytes.data() + i * kSavedQueueRecordBytes;
    std::string strCD = DecodeField(pRecord);
    if (strCD.empty()) {
      continue;  // a free slot: nothing to queue
    }
    queue.AddToQueue(std::move(strCD), DecodeField(pRecord + kSavedQueueFieldBytes), "", "", 0);
  }
  return {};
}

std::string SavedQueueFolder(const std::string& strFilesDir) {
  std::string strFolder = strFilesDir + "playlist" + kPathSeparator;
  std::error_code ignored;
  std::filesystem::create_directory(PathFromUtf8(strFolder), ignored);
  return strFolder;
}

}  // namespace velvane
