#pragma once

#include <string>

#include "core/db/TrackStore.h"
#include "core/editors/RecordEditor.h"

namespace velvane {

// The library editor: one line per playlist record (artist, title, CD, track, chart info, and
// the chart link out of sight), working on the main window's records.
class PlaylistEditor : public RecordEditor {
 public:
  enum Column : std::size_t { kArtist, kTitle, kCD, kTrack, kChartInfo, kChartLink };

  // Opens on the store's records, the new-record line selected.
  PlaylistEditor(TrackStore& store, Prompter& prompter, std::string strTitle);

  // Links the fields to the accepted chart entry with the lowest position (the earliest of
  // equal ones), asking about every near miss; with none accepted the link is cleared. A
  // cancelled question ends the search with the fields unchanged (returns false).
  bool OnFindChartEntry();
  // Writes every record line back (count, records, and each linked chart entry's link to its
  // record's new index; entries of deleted records lose their link). Refused, with nothing
  // written, beyond the playlist's capacity.
  // Returns whether the records were written; the caller then saves both files.
  bool OnSaveAndExit();

 private:
  bool PrepareUpdate(EditorFields& fields) override;
  EditorFields RecordLineFields(const PlaylistView& entry) const;

  TrackStore& m_store;
};

}  // namespace velvane
