#pragma once

#include <string>
#include <string_view>

namespace velvane {

// One track of the music library as the store hands it out: views of the stored texts, valid
// until the store changes.
struct PlaylistView {
  std::string_view strArtist;
  std::string_view strTitle;
  std::string_view strCD;
  std::string_view strTrack;
  int nChartLink = -1;
};

// One chart placing as the store hands it out.
struct ChartView {
  std::string_view strDate;
  std::string_view strArtist;
  std::string_view strTitle;
  std::string_view strPosition;
  int nPlaylistLink = -1;
};

// One track of the music library: one line of playlist.dat, with its own copies of the texts.
struct PlaylistEntry {
  std::string strArtist;
  std::string strTitle;
  std::string strCD;     // decimal digits without leading zeros, "0" for none
  std::string strTrack;  // decimal digits without leading zeros
  int nChartLink = -1;   // index into the chart array, -1 for none

  operator PlaylistView() const {  // NOLINT(google-explicit-constructor): a copy reads as one
    return {strArtist, strTitle, strCD, strTrack, nChartLink};
  }
};

// One chart placing: one line of charts.dat.
struct ChartEntry {
  std::string strDate;  // "dd/mm/yyyy"
  std::string strArtist;
  std::string strTitle;
  std::string strPosition;
  int nPlaylistLink = -1;  // index into the playlist array, -1 for none

  operator ChartView() const {  // NOLINT(google-explicit-constructor)
    return {strDate, strArtist, strTitle, strPosition, nPlaylistLink};
  }
};

inline PlaylistEntry OwnedEntry(const PlaylistView& view) {
  return {std::string(view.strArtist), std::string(view.strTitle), std::string(view.strCD),
          std::string(view.strTrack), view.nChartLink};
}

inline ChartEntry OwnedEntry(const ChartView& view) {
  return {std::string(view.strDate), std::string(view.strArtist), std::string(view.strTitle),
          std::string(view.strPosition), view.nPlaylistLink};
}

// One line of hits.dat: the song that was number one from its date on.
struct NumberOneEntry {
  std::string strDate;  // "dd/mm/yyyy"
  std::string strArtist;
  std::string strTitle;
  std::string strCD;  // "0" or " " when the library has no copy
  std::string strTrack;
};

}  // namespace velvane
