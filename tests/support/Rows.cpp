#include "support/Rows.h"

namespace velvane {

std::string Row(const PlaylistView& record) {
  return std::string(record.strArtist) + '|' + std::string(record.strTitle) + '|' +
         std::string(record.strCD) + '|' + std::string(record.strTrack) + '|' +
         std::to_string(record.nChartLink);
}

std::string Row(const ChartView& entry) {
  return std::string(entry.strDate) + '|' + std::string(entry.strArtist) + '|' +
         std::string(entry.strTitle) + '|' + std::string(entry.strPosition) + '|' +
         std::to_string(entry.nPlaylistLink);
}

std::string Row(const NumberOneEntry& entry) {
  return entry.strDate + '|' + entry.strArtist + '|' + entry.strTitle + '|' + entry.strCD + '|' +
         entry.strTrack;
}

Strings PlaylistRows(const TrackStore& store) {
  Strings rows;
  rows.reserve(static_cast<std::size_t>(store.PlaylistCount()));
  for (int i = 0; i < store.PlaylistCount(); ++i) {
    rows.push_back(Row(store.Playlist(i)));
  }
  return rows;
}

Strings ChartRows(const TrackStore& store) {
  Strings rows;
  rows.reserve(static_cast<std::size_t>(store.ChartCount()));
  for (int i = 0; i < store.ChartCount(); ++i) {
    rows.push_back(Row(store.Chart(i)));
  }
  return rows;
}

std::vector<int> ChartLinks(const TrackStore& store) {
  std::vector<int> links;
  links.reserve(static_cast<std::size_t>(store.PlaylistCount()));
  for (int i = 0; i < store.PlaylistCount(); ++i) {
    links.push_back(store.Playlist(i).nChartLink);
  }
  return links;
}

std::vector<int> PlaylistLinks(const TrackStore& store) {
  std::vector<int> links;
  links.reserve(static_cast<std::size_t>(store.ChartCount()));
  for (int i = 0; i < store.ChartCount(); ++i) {
    links.push_back(store.Chart(i).nPlaylistLink);
  }
  return links;
}

testing::AssertionResult Contains(std::string_view text, std::string_view part) {
  if (text.find(part) != std::string_view::npos) {
    return testing::AssertionSuccess();
  }
  return testing::AssertionFailure()
         << testing::PrintToString(std::string(text)) << " does not hold "
         << testing::PrintToString(std::string(part));
}

}  // namespace velvane
