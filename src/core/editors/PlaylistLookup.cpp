#include "core/editors/PlaylistLookup.h"

#include "core/search/TextMatch.h"

namespace velvane {

std::optional<int> FindAcceptedPlaylistRecord(const TrackStore& store, Prompter& prompter,
                                              const std::string& strCaption,
                                              const std::string& strArtist,
                                              const std::string& strTitle) {
  for (int i = 0; i < store.PlaylistCount(); ++i) {
    const PlaylistView record = store.Playlist(i);
    switch (
        AskMatch(prompter, strCaption, record.strArtist, strArtist, record.strTitle, strTitle)) {
      case MatchAnswer::Yes:
        return i;
      case MatchAnswer::Cancel:
        return std::nullopt;
      case MatchAnswer::No:
        break;
    }
  }
  return -1;
}

}  // namespace velvane
