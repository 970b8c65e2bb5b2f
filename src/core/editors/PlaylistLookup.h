#pragma once

#include <optional>
#include <string>

#include "core/db/TrackStore.h"
#include "core/ports/Prompter.h"

namespace velvane {

// The index of the first library record, in database order, that is the song `strArtist` /
// `strTitle`: equal texts are, and the operator is asked about near misses. -1 when none is
// accepted; nothing when the operator cancelled a question, which ends the search.
std::optional<int> FindAcceptedPlaylistRecord(const TrackStore& store, Prompter& prompter,
                                              const std::string& strCaption,
                                              const std::string& strArtist,
                                              const std::string& strTitle);

}  // namespace velvane
