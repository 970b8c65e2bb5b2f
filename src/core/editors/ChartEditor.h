#pragma once

#include <string>

#include "core/db/TrackStore.h"
#include "core/editors/RecordEditor.h"

namespace velvane {

// The chart history editor: one line per chart entry (date, artist, title, position, the
// linked record's CD and track, and the playlist link out of sight).
class ChartEditor : public RecordEditor {
 public:
  enum Column : std::size_t { kDate, kArtist, kTitle, kPosition, kCD, kTrack, kPlaylistLink };

  ChartEditor(TrackStore& store, Prompter& prompter, std::string strTitle);

  // Links the fields to the first accepted playlist record in database order, asking about
  // near misses; with none accepted CD, track and link are cleared. A cancelled question ends
  // the search with the fields unchanged (returns false).
  bool OnFindInPlaylist();
  // Writes every entry line back with its playlist link; the playlist's chart links follow the
  // entries (a deleted entry's records lose theirs) and are otherwise left as they are.
  // Refused, with nothing written, beyond the chart capacity.
  bool OnSaveAndExit();

 private:
  bool PrepareUpdate(EditorFields& fields) override;

  TrackStore& m_store;
};

}  // namespace velvane
