#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "core/db/TrackStore.h"
#include "core/maintenance/Prefetch.h"

namespace velvane {

enum class SongSides { ChartOnly, ChartAndLibrary };

// Numbers the songs of the chart (and, if asked, of the library) so that two of them get the
// same number exactly when silent ConfirmMatch takes their artists and titles as equal.
// Numbers run from 0 to Count() - 1. `onKey` is called after each entry's and record's key,
// so a long run can show progress.
class SongNumbers {
 public:
  SongNumbers(const TrackStore& store, SongSides sides, const std::function<void()>& onKey);

  std::uint32_t Count() const { return m_nCount; }
  std::uint32_t OfEntry(int nEntry) const { return m_songOf[static_cast<std::size_t>(nEntry)]; }
  // Asks for OfEntry(nEntry) ahead of a look-up in no particular order (see Prefetch.h).
  void PrefetchEntry(int nEntry) const {
    PrefetchForRead(&m_songOf[static_cast<std::size_t>(nEntry)]);
  }
  // Only with SongSides::ChartAndLibrary.
  std::uint32_t OfRecord(int nRecord) const {
    return m_songOf[m_nEntries + static_cast<std::size_t>(nRecord)];
  }

 private:
  std::size_t m_nEntries;
  std::vector<std::uint32_t> m_songOf;  // chart entries first, then library records
  std::uint32_t m_nCount = 0;
};

}  // namespace velvane
