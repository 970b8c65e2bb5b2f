#include "core/editors/PlaylistLookup.h"

#include "core/search/TextMatch.h"

namespace velvane {

int FindAcceptedPlaylistRecord(const TrackStore& store, Prompter& prompter,
                               const std::string& strCaption, const std::string& strArtist,
                               const std::string& strTitle) {
  for (int i = 0; i < store.PlaylistCount(); ++i) {
    const PlaylistEntry& record = store.Playlist(i);
    if (ConfirmMatch(prompter, strCaption, record.strArtist, strArtist, record.strTitle, strTitle,
                     false)) {
      return i;
    }
  }
  return -1;
}

}  // namespace velvane
