#include "core/updates/UpdateMerge.h"

#include <unordered_map>

#include "core/db/LineCodec.h"
#include "core/db/Logs.h"
#include "core/db/NumberOneFile.h"
#include "core/search/TextMatch.h"
#include "core/text/Text.h"

namespace velvane {

namespace {

constexpr const char* kNothingChanged = " Nothing has been changed.";

UpdateOutcome Refused(std::string strMessage) {
  return {false, std::move(strMessage) + kNothingChanged, PromptIcon::Exclamation};
}

// The refusals that need neither the records nor the files.
std::string TransferProblem(const CatalogueEntry& entry, const HttpResponse& response,
                            std::size_t nLines) {
  if (!response.bOk) {
    return std::string(kConnectionFailedText) + " while fetching " + entry.strFile + " (" +
           response.strError + ").";
  }
  if (response.nStatus != 200) {
    return ServerAnswerText(response.nStatus, entry.strFile) + ".";
  }
  // An update without records would empty the database it replaces.
  if (entry.nSize <= 0 || nLines == 0) {
    return "The update " + entry.strFile + " holds no records.";
  }
  if (static_cast<int>(nLines) != entry.nSize) {
    return "The update " + entry.strFile + " arrived with " + std::to_string(nLines) +
           " complete lines where the listing says " + std::to_string(entry.nSize) + ".";
  }
  return {};
}

UpdateOutcome ApplyChartUpdate(UpdateTarget& target, const CatalogueEntry& entry,
                               const std::vector<std::string_view>& lines,
                               const UpdateProgress& progress) {
  TrackStore& store = target.store;
  if (entry.nSize > store.ChartSize()) {
    return {false,
            "Insufficient memory for update.\nIncrease the chart size to a minimum of " +
                std::to_string(entry.nSize + 1),
            PromptIcon::Exclamation};
  }
  const TrackStore before = store;  // put back if the save fails, so memory matches the file
  MergeChartUpdate(store, lines);
  if (progress) {
    progress(static_cast<int>(lines.size()));
  }
  store.SetChartCount(entry.nSize);
  if (!target.saveCharts()) {
    store = before;
    return Refused("The chart update could not be saved (errorlog.txt says why).");
  }
  return {true,
          "The chart database has been updated.\nIf it has previously been modified manually you "
          "should rebuild the relationships",
          PromptIcon::Information};
}

UpdateOutcome ApplyNumberOneUpdate(UpdateTarget& target, const std::vector<std::string_view>& lines,
                                   const UpdateProgress& progress) {
  const SaveReporting& reporting = target.reporting;
  std::string strUnreadable;
  bool bMissing = false;
  const std::vector<NumberOneEntry> old =
      ReadNumberOnes(reporting.strFilesDir, &strUnreadable, &bMissing);
  if (!strUnreadable.empty()) {
    // Its CD and track numbers would be lost.
    return Refused("hits.dat could not be read (" + strUnreadable + ").");
  }
  if (bMissing) {
    WriteErrorLog(reporting.strFilesDir, reporting.clock, "Failed to open the number one file");
  }
  const std::vector<NumberOneEntry> merged = MergeNumberOneUpdate(lines, old, reporting.prompter);
  if (progress) {
    progress(static_cast<int>(merged.size()));
  }
  if (!SaveNumberOnes(reporting, merged, "Failed to create a new number one file during update")) {
    return Refused("The number one update could not be saved (errorlog.txt says why).");
  }
  return {true,
          "The number 1 database has been updated.\nIf it has previously been modified manually "
          "you should check the CD/Track information",
          PromptIcon::Information};
}

// A CD or track the library has no known copy for.
constexpr const char* kBlank = " ";

std::string Filled(const std::string& strText) {
  return strText.empty() ? std::string(kBlank) : strText;
}

}  // namespace

std::vector<std::string_view> CompleteLines(std::string_view body) {
  std::vector<std::string_view> lines = SplitLines(body);
  std::erase_if(lines, [](std::string_view line) { return IsBlankLine(line); });
  return lines;
}

void MergeChartUpdate(TrackStore& store, const std::vector<std::string_view>& lines) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const int nIndex = static_cast<int>(i);
    ChartEntry entry = ParseChartLine(lines[i]);
    entry.nPlaylistLink = -1;
    if (nIndex < store.ChartCount()) {
      const ChartView local = store.Chart(nIndex);
      entry.nPlaylistLink = local.nPlaylistLink;
      if (local.nPlaylistLink != -1) {
        entry.strArtist = local.strArtist;
        entry.strTitle = local.strTitle;
      }
    }
    store.SetChartEntry(nIndex, std::move(entry), store.PlaylistCount());
  }
}

std::vector<NumberOneEntry> MergeNumberOneUpdate(const std::vector<std::string_view>& lines,
                                                 const std::vector<NumberOneEntry>& old,
                                                 Prompter& prompter) {
  std::unordered_map<std::string, std::vector<std::size_t>> byDate;
  for (std::size_t i = 0; i < old.size(); ++i) {
    byDate[old[i].strDate].push_back(i);
  }
  const auto sameSong = [&](const NumberOneEntry& entry, std::size_t nOld) {
    const NumberOneEntry& local = old[nOld];
    return ConfirmMatch(prompter, {}, local.strArtist, entry.strArtist, local.strTitle,
                        entry.strTitle, true);
  };
  const auto sameDate = [&](const NumberOneEntry& entry, std::size_t nOld) {
    return old[nOld].strDate == entry.strDate;
  };
  std::vector<NumberOneEntry> merged;
  merged.reserve(lines.size());
  NumberOneEntry entry;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    const std::vector<std::string_view> tokens = SplitFields(StripLineEnd(lines[k]));
    std::string* fields[] = {&entry.strDate, &entry.strArtist, &entry.strTitle};
    for (std::size_t f = 0; f < 3 && f < tokens.size(); ++f) {
      *fields[f] = CutField(tokens[f]);
    }
    entry.strCD = kBlank;
    entry.strTrack = kBlank;
    std::size_t nMatch = old.size();
    // The same line of the old file keeps its copy when only the spelling or only the date was
    // corrected; elsewhere it takes both to be the same number one.
    if (k < old.size() && (sameDate(entry, k) || sameSong(entry, k))) {
      nMatch = k;
    } else if (const auto found = byDate.find(entry.strDate); found != byDate.end()) {
      for (const std::size_t nOld : found->second) {
        if (sameSong(entry, nOld)) {
          nMatch = nOld;
          break;
        }
      }
    }
    if (nMatch < old.size()) {
      entry.strCD = Filled(old[nMatch].strCD);
      entry.strTrack = Filled(old[nMatch].strTrack);
    }
    merged.push_back(entry);
  }
  return merged;
}

UpdateOutcome ApplyUpdate(UpdateTarget& target, const CatalogueEntry& entry,
                          const HttpResponse& response, const UpdateProgress& progress) {
  const std::vector<std::string_view> lines = CompleteLines(response.strBody);
  if (const std::string strProblem = TransferProblem(entry, response, lines.size());
      !strProblem.empty()) {
    return Refused("The update was not applied: " + strProblem);
  }
  if (target.reporting.strFilesDir.empty()) {  // no stray files in the working folder
    return Refused("The update was not applied: no database folder has been saved yet.");
  }
  if (!target.strWriteRefusal.empty()) {
    return Refused("The update was not applied: " + target.strWriteRefusal + ".");
  }
  return IsChartUpdate(entry.strFile) ? ApplyChartUpdate(target, entry, lines, progress)
                                      : ApplyNumberOneUpdate(target, lines, progress);
}

}  // namespace velvane
