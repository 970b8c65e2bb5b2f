#pragma once

#include <functional>
#include <string>

#include "core/db/TrackStore.h"

namespace velvane {

// Told "Building (N percent)" each time the whole percentage of the work done changes: from 0
// percent up to at most 99, never for an empty library. The work is one step per key made
// (chart entries, and library records where their songs are looked up) and one per library
// record linked.
using BuildProgress = std::function<void(const std::string& strCaption)>;

// Forgets every link, then links each library record to the chart entry of the same song with
// the lowest position below 1000 (the first of equal ones; a position that is not a number is
// 0) and each chart entry to the last library record of its song. Same song: silent
// ConfirmMatch. One pass over each database, so it takes milliseconds, not hours.
void BuildAllRelationships(TrackStore& store, const BuildProgress& progress);

// Keeps the library's chart links and gives every chart entry of a song that a record links to
// that record's index (the last such record wins). Other entries keep their links.
void BuildPlaylistReferences(TrackStore& store, const BuildProgress& progress);

// The completion texts of the two builds.
inline constexpr const char* kRelationshipsRebuilt = "The database relationships have been rebuilt";
inline constexpr const char* kReferencesRebuilt = "The playlist references have been rebuilt";

}  // namespace velvane
