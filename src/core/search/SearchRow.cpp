#include "core/search/SearchRow.h"

#include "core/db/Logs.h"
#include "core/text/DisplayFormat.h"
#include "core/text/Text.h"

namespace velvane {

SearchRow RecordRow(const PlaylistView& record) {
  return {std::string(record.strCD),
          std::string(record.strTrack),
          std::string(record.strArtist),
          std::string(record.strTitle),
          -1,
          ""};
}

std::string FormatSearchLine(const SearchRow& row) {
  return CutBytes(row.strArtist, 36) + "\t" + CutBytes(row.strTitle, 36) + "\t" + row.strCD + "\t" +
         row.strTrack + "\t" + row.strChartInfo;
}

std::string AddRowToList(const SearchRow& row, QueueInput& queue, const std::string& strFilesDir) {
  const std::string strStatus = " " + FormatArtistTitle(row.strArtist, row.strTitle);
  if (!row.strCD.empty()) {
    queue.AddToQueue(row.strCD, row.strTrack, row.strArtist, row.strTitle, row.nChartRef);
    return strStatus + "   (added to playlist)";
  }
  WriteWishList(strFilesDir, row.strArtist, row.strTitle);
  return strStatus + "   (added to wish list)";
}

}  // namespace velvane
