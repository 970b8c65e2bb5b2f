#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/db/Records.h"
#include "core/db/SafeSave.h"
#include "core/db/TrackStore.h"
#include "core/ports/HttpClient.h"
#include "core/ports/Prompter.h"
#include "core/updates/UpdateCatalogue.h"

namespace velvane {

// The lines of a downloaded update, blank lines skipped. The body is a whole transfer (a cut
// one never reaches here), so a last line without its line end counts like the others.
std::vector<std::string_view> CompleteLines(std::string_view body);

// Downloaded line i overwrites chart entry i with its date and position. An entry linked to a
// library record keeps its link and its own artist and title; the link in the download is not
// used. The chart count is left to the caller.
void MergeChartUpdate(TrackStore& store, const std::vector<std::string_view>& lines);

// hits.dat rebuilt from the download: date, artist and title from each line (a missing token
// keeps the previous line's value). CD and track come from the old line at the same position
// when it has the same date or is the same song (a respelled name keeps its copy), else from
// an old line with the same date and the same song, else " " (no known copy in the library).
std::vector<NumberOneEntry> MergeNumberOneUpdate(const std::vector<std::string_view>& lines,
                                                 const std::vector<NumberOneEntry>& old,
                                                 Prompter& prompter);

// Where an update is applied.
struct UpdateTarget {
  TrackStore& store;
  SaveReporting reporting;      // the database folder, for hits.dat and the error log
  std::string strWriteRefusal;  // why no database file may be written now, or empty
  std::function<SaveOutcome()> saveCharts;
};

// What an update did, and the one message that tells the operator.
struct UpdateOutcome {
  bool bApplied = false;
  std::string strMessage;
  PromptIcon icon = PromptIcon::Exclamation;
};

// Called with the number of lines merged so far.
using UpdateProgress = std::function<void(int nDone)>;

// Applies a downloaded update only when all of it arrived: a broken connection, an HTTP
// error, an update with no records, a line count other than the catalogue's record count, a
// chart update larger than ChartSize, or a failed save leave every record and file as they
// were.
UpdateOutcome ApplyUpdate(UpdateTarget& target, const CatalogueEntry& entry,
                          const HttpResponse& response, const UpdateProgress& progress = {});

}  // namespace velvane
