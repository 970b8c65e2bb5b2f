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

namespace {

// What `get` gives for each index below `nCount`.
template <typename Get>
auto Each(int nCount, Get get) {
  std::vector<decltype(get(0))> values;
  for (int i = 0; i < nCount; ++i) {
    values.push_back(get(i));
  }
  return values;
}

}  // namespace

Strings PlaylistRows(const TrackStore& store) {
  return Each(store.PlaylistCount(), [&](int i) { return Row(store.Playlist(i)); });
}
Strings ChartRows(const TrackStore& store) {
  return Each(store.ChartCount(), [&](int i) { return Row(store.Chart(i)); });
}
std::vector<int> ChartLinks(const TrackStore& store) {
  return Each(store.PlaylistCount(), [&](int i) { return store.Playlist(i).nChartLink; });
}
std::vector<int> PlaylistLinks(const TrackStore& store) {
  return Each(store.ChartCount(), [&](int i) { return store.Chart(i).nPlaylistLink; });
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
