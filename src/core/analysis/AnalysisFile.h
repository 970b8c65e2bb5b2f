#pragma once

#include <string>
#include <string_view>

#include "core/analysis/AnalysisResults.h"
#include "core/db/SafeSave.h"

namespace velvane {

// analysis.dat in the database folder: one result a line, CR LF ended, nine fields separated
// by TAB: CD, track, file name, size (bytes), modification time (seconds since 1970 UTC),
// loudness (LUFS), true peak (dBTP), audible start and end (ms). Numbers are written without
// regard to the locale ("-16.25"). A file name may hold any byte but '/', so in the name "\"
// is written "\\", TAB "\t", CR "\r" and LF "\n": no field ever holds a separator or line end.
inline constexpr const char* kAnalysisBaseName = "analysis";
// Held by the one run that may write analysis.dat: it is not a database, so the desktop
// program's lock on the folder does not keep a nightly run of the tool out.
inline constexpr const char* kAnalysisLockFile = "analysis.lock";

std::string FormatAnalysisLine(const TrackAnalysis& result);
// False for a damaged line (fields missing or not numbers, an unknown escape).
bool ParseAnalysisLine(std::string_view line, TrackAnalysis& result);

// Reads `strFilesDir` + analysis.dat into `results`, skipping damaged lines; CR LF, LF and CR
// alone end lines. A missing file gives no results and succeeds. False, with the path and why
// in `strError`, when the file exists but cannot be read (a folder or FIFO in its place is
// never opened).
bool LoadAnalysisFile(const std::string& strFilesDir, AnalysisResults& results,
                      std::string& strError);

// Writes every result through the .tmp / .old rotation. The caller holds the folder lock.
SaveOutcome SaveAnalysisFile(const std::string& strFilesDir, const AnalysisResults& results);

}  // namespace velvane
