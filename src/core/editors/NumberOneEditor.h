#pragma once

#include <functional>
#include <string>

#include "core/db/TrackStore.h"
#include "core/editors/RecordEditor.h"
#include "core/ports/Clock.h"

namespace velvane {

// The number one editor: one line per hits.dat entry (date, artist, title, position "1", CD,
// track). It reads hits.dat itself when it opens and rewrites it itself on "Save And Exit".
// The number-one search needs the entries in date order, so "Update" puts an entry at its
// date's place, after those of the same day, and a file found out of order is offered sorted.
class NumberOneEditor : public RecordEditor {
 public:
  enum Column : std::size_t { kDate, kArtist, kTitle, kPosition, kCD, kTrack };

  // Opens on hits.dat in `strFilesDir`; a missing or unreadable file gives an empty list, and
  // an unreadable one is never saved over. Entries out of date order are told once, with the
  // question whether to sort them (Yes sorts, No leaves them). `writeRefusal`, asked at each save:
  // why hits.dat may not be written now (another program holds the database folder), or empty.
  NumberOneEditor(const TrackStore& store, Prompter& prompter, std::string strTitle,
                  std::string strFilesDir, Clock& clock,
                  std::function<std::string()> writeRefusal = nullptr);

  // CD and track of the first accepted playlist record in database order; with none accepted
  // both are emptied. A cancelled question ends the search with the fields unchanged (returns
  // false).
  bool OnFindInPlaylist();
  // Rewrites hits.dat through hits.tmp / hits.old. When that fails the operator is told, the
  // caption keeps its "Saving" text and the editor stays open; returns whether it was saved.
  bool OnSaveAndExit();

 private:
  bool PrepareUpdate(EditorFields& fields) override;
  int PlaceFor(const EditorFields& fields, int nOldLine) const override;
  void OfferDateOrder();

  const TrackStore& m_store;
  std::string m_strFilesDir;
  Clock& m_clock;
  std::string m_strUnreadable;  // why hits.dat could not be read, so must not be saved over
  std::function<std::string()> m_writeRefusal;
};

}  // namespace velvane
