#pragma once

#include <string>

namespace velvane {

// One track of the music library: one line of playlist.dat.
struct PlaylistEntry {
  std::string strArtist;
  std::string strTitle;
  std::string strCD;     // decimal digits without leading zeros, "0" for none
  std::string strTrack;  // decimal digits without leading zeros
  int nChartLink = -1;   // index into the chart array, -1 for none
};

// One chart placing: one line of charts.dat.
struct ChartEntry {
  std::string strDate;  // "dd/mm/yyyy"
  std::string strArtist;
  std::string strTitle;
  std::string strPosition;
  int nPlaylistLink = -1;  // index into the playlist array, -1 for none
};

// One line of hits.dat: the song that was number one from its date on.
struct NumberOneEntry {
  std::string strDate;  // "dd/mm/yyyy"
  std::string strArtist;
  std::string strTitle;
  std::string strCD;  // "0" or " " when the library has no copy
  std::string strTrack;
};

}  // namespace velvane
