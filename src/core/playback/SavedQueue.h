#pragma once

#include <string>

#include "core/playback/PlayQueue.h"

namespace velvane {

// A saved queue (.pla) is 80 bytes: per slot, in queue order, a 4-byte CD field and a 4-byte
// track field, each a zero-terminated text padded with zero bytes.
inline constexpr std::size_t kSavedQueueFieldBytes = 4;
inline constexpr std::size_t kSavedQueueRecordBytes = 2 * kSavedQueueFieldBytes;
inline constexpr std::size_t kSavedQueueBytes = kQueueSlots * kSavedQueueRecordBytes;

// Writes the ten slots over the start of the file, creating it if needed. A longer existing
// file keeps its bytes after the first 80. Returns false if the file cannot be written, or is
// not a regular file (a FIFO would hold the window until someone read it).
bool SaveQueue(const std::string& strPath, const PlayQueue& queue);

// Appends the saved tracks behind the slots in use; free slots of the file are skipped and
// tracks beyond the tenth slot are dropped. A file that cannot be opened changes nothing. A
// name that is not a regular file (a FIFO, a folder, a device) is never opened, so nothing
// blocks; returns why it was not read, or empty.
std::string LoadQueue(const std::string& strPath, QueueInput& queue);

// The folder the file dialogs open on: FilesDir + "playlist" + separator, created if missing.
std::string SavedQueueFolder(const std::string& strFilesDir);

}  // namespace velvane
