#pragma once

#include <string>

#include "core/db/Records.h"
#include "core/playback/QueueInput.h"

namespace velvane {

// One line of a search result: a library track (CD set) or a song the library lacks (CD empty).
struct SearchRow {
  std::string strCD;
  std::string strTrack;
  std::string strArtist;
  std::string strTitle;
  int nChartRef = -1;        // chart entry passed on to the queue
  std::string strChartInfo;  // "No. 3   on   05 March 1983", or empty
};

// A library record as a row without chart information.
SearchRow RecordRow(const PlaylistView& record);

// "artist(36) TAB title(36) TAB CD TAB track TAB chart info", as the result lists show it.
std::string FormatSearchLine(const SearchRow& row);

// "Add To List": queues a library track, or puts a missing song on the wish list. Returns the
// status line text, ready for the screen (UTF-8).
std::string AddRowToList(const SearchRow& row, QueueInput& queue, const std::string& strFilesDir);

}  // namespace velvane
