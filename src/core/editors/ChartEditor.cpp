#include "core/editors/ChartEditor.h"

#include <utility>

#include "core/editors/DateRule.h"
#include "core/editors/PlaylistLookup.h"
#include "core/text/Text.h"

namespace velvane {

namespace {

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
    const ChartEntry& entry = m_store.Chart(j);
    // CD and track are not part of a chart entry: they come from the linked record, as stored.
    std::string strCD = " ";
    std::string strTrack = " ";
    int nLink = -1;
    if (entry.nPlaylistLink >= 0 && entry.nPlaylistLink < m_store.PlaylistCount()) {
      const PlaylistEntry& record = m_store.Playlist(entry.nPlaylistLink);
      strCD = record.strCD;
      strTrack = record.strTrack;
      nLink = entry.nPlaylistLink;
    }
    AddRecordLine({entry.strDate, entry.strArtist, entry.strTitle, entry.strPosition, strCD,
                   strTrack, std::to_string(nLink)});
  }
  FinishOpening();
}

bool ChartEditor::PrepareUpdate(EditorFields& fields) {
  return ApplyDateRule(fields[kDate]);
}

void ChartEditor::OnFindInPlaylist() {
  EditorFields& fields = Fields();
  const int nRecord =
      FindAcceptedPlaylistRecord(m_store, GetPrompter(), Title(), fields[kArtist], fields[kTitle]);
  if (nRecord >= 0) {
    const PlaylistEntry& record = m_store.Playlist(nRecord);
    fields[kCD] = record.strCD;
    fields[kTrack] = record.strTrack;
    fields[kPlaylistLink] = std::to_string(nRecord);
    return;
  }
  fields[kCD] = BlankField();
  fields[kTrack] = BlankField();
  fields[kPlaylistLink] = NoLinkField();
}

bool ChartEditor::OnSaveAndExit() {
  if (!StartSaving(m_store.ChartSize(), "chart database", "entries")) {
    return false;
  }
  const int nCount = RecordCount();
  m_store.SetChartCount(nCount);
  for (int i = 0; i < nCount; ++i) {
    const EditorFields fields = RecordFields(i);
    m_store.SetChartEntry(i, fields[kDate], fields[kArtist], fields[kTitle], fields[kPosition],
                          static_cast<int>(Atol(fields[kPlaylistLink])));
  }
  return true;
}

}  // namespace velvane
