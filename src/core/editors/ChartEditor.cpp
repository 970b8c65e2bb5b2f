#include "core/editors/ChartEditor.h"

#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "core/editors/DateRule.h"
#include "core/editors/PlaylistLookup.h"
#include "core/text/Text.h"

namespace velvane {

namespace {

// A chart position is 1 to 999, or blank for an entry without one.
bool IsChartPosition(std::string_view position) {
  const std::size_t nBegin = position.find_first_not_of(' ');
  if (nBegin == std::string_view::npos) {
    return true;
  }
  const std::string_view digits =
      position.substr(nBegin, position.find_last_not_of(' ') + 1 - nBegin);
  if (digits.size() > 3 || digits.find_first_not_of("0123456789") != std::string_view::npos) {
    return false;
  }
  return Atoi(digits) >= 1;
}

RecordEditor::Layout ChartLayout() {
  using F = ChartEditor::Column;
  return {.strName = "Chart Editor",
          .cutFields = {F::kArtist, F::kTitle},
          .required = {F::kDate, F::kArtist, F::kTitle, F::kPosition},
          .newRecord = {"", "", "", "", " ", " ", "-1"},
          .nFocusField = F::kArtist,
          .emptyAs = {"", "", "", "", "", "", "-1"}};
}

}  // namespace

ChartEditor::ChartEditor(TrackStore& store, Prompter& prompter, std::string strTitle)
    : RecordEditor(prompter, std::move(strTitle), ChartLayout()), m_store(store) {
  for (int j = 0; j < m_store.ChartCount(); ++j) {
    const ChartView entry = m_store.Chart(j);
    // CD and track are not part of a chart entry: they come from the linked record, as stored.
    std::string strCD = " ";
    std::string strTrack = " ";
    int nLink = -1;
    if (entry.nPlaylistLink >= 0 && entry.nPlaylistLink < m_store.PlaylistCount()) {
      const PlaylistView record = m_store.Playlist(entry.nPlaylistLink);
      strCD = record.strCD;
      strTrack = record.strTrack;
      nLink = entry.nPlaylistLink;
    }
    AddRecordLine({std::string(entry.strDate), std::string(entry.strArtist),
                   std::string(entry.strTitle), std::string(entry.strPosition), strCD, strTrack,
                   std::to_string(nLink)});
  }
  FinishOpening();
}

bool ChartEditor::PrepareUpdate(EditorFields& fields) {
  if (!ApplyDateRule(fields[kDate])) {
    Tell(DateRefusal(fields[kDate]));
    return false;
  }
  if (!IsChartPosition(fields[kPosition])) {
    Tell("The chart position must be a number from 1 to 999, or blank.");
    return false;
  }
  return true;
}

bool ChartEditor::OnFindInPlaylist() {
  EditorFields& fields = Fields();
  const std::optional<int> record =
      FindAcceptedPlaylistRecord(m_store, GetPrompter(), Title(), fields[kArtist], fields[kTitle]);
  if (!record) {
    return false;
  }
  if (*record >= 0) {
    const PlaylistView entry = m_store.Playlist(*record);
    fields[kCD] = entry.strCD;
    fields[kTrack] = entry.strTrack;
    fields[kPlaylistLink] = std::to_string(*record);
    return true;
  }
  fields[kCD] = BlankField();
  fields[kTrack] = BlankField();
  fields[kPlaylistLink] = NoLinkField();
  return true;
}

bool ChartEditor::OnSaveAndExit() {
  if (!StartSaving(m_store.ChartSize(), "chart database", "entries")) {
    return false;
  }
  const std::vector<int> entryLines = OpenedRecordLines();
  const int nCount = RecordCount();
  m_store.SetChartCount(nCount);
  for (int i = 0; i < nCount; ++i) {
    const EditorFields fields = RecordFields(i);
    m_store.SetChartEntry(i, fields[kDate], fields[kArtist], fields[kTitle], fields[kPosition],
                          static_cast<int>(Atol(fields[kPlaylistLink])));
  }
  // Records follow their chart entries: a record whose entry was deleted loses its link, and
  // the entries after it have moved up.
  for (int i = 0; i < m_store.PlaylistCount(); ++i) {
    const int nLink = m_store.Playlist(i).nChartLink;
    if (nLink >= 0) {
      m_store.SetPlaylistReference(LineOf(entryLines, nLink), i);
    }
  }
  return true;
}

}  // namespace velvane
