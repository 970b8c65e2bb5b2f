#pragma once

// The quadratic reference for relationship building: nested loops, every record against every
// chart entry. The oracle the hash join is tested against and measured beside. Silent matching
// never asks, so any prompter will do.
#include "core/db/TrackStore.h"
#include "core/ports/Prompter.h"
#include "core/search/TextMatch.h"
#include "core/text/Text.h"

namespace velvane {

inline void LiteralBuildAll(TrackStore& store, Prompter& prompter) {
  for (int p = 0; p < store.PlaylistCount(); ++p) {
    store.SetPlaylistReference(-1, p);
  }
  for (int c = 0; c < store.ChartCount(); ++c) {
    store.SetChartReference(-1, c);
  }
  for (int p = 0; p < store.PlaylistCount(); ++p) {
    int nBest = 1000;
    const PlaylistView record = store.Playlist(p);
    for (int c = 0; c < store.ChartCount(); ++c) {
      const ChartView entry = store.Chart(c);
      if (ConfirmMatch(prompter, "", record.strArtist, entry.strArtist, record.strTitle,
                       entry.strTitle, true)) {
        store.SetChartReference(p, c);
        if (const int nPosition = Atoi(entry.strPosition); nPosition < nBest) {
          store.SetPlaylistReference(c, p);
          nBest = nPosition;
        }
      }
    }
  }
}

inline void LiteralBuildReferences(TrackStore& store, Prompter& prompter) {
  for (int p = 0; p < store.PlaylistCount(); ++p) {
    const int nLink = store.Playlist(p).nChartLink;
    if (nLink < 0 || nLink >= store.ChartCount()) {
      continue;
    }
    const ChartEntry linked = OwnedEntry(store.Chart(nLink));
    for (int c = 0; c < store.ChartCount(); ++c) {
      if (ConfirmMatch(prompter, "", linked.strArtist, store.Chart(c).strArtist, linked.strTitle,
                       store.Chart(c).strTitle, true)) {
        store.SetChartReference(p, c);
      }
    }
  }
}

}  // namespace velvane
