#pragma once

#include <string>
#include <vector>

#include "core/db/Records.h"
#include "core/db/SafeSave.h"

namespace velvane {

// hits.dat is never held in memory for the run: every user reads it afresh.
// A missing or unreadable file reads as no entries. Lines without a field are skipped;
// missing fields of a short line read as empty texts. `pUnreadable` gets why a file that
// exists could not be read (empty otherwise): a writer must then not save over it.
// `pMissing` says whether there is no hits.dat at all.
std::vector<NumberOneEntry> ReadNumberOnes(const std::string& strFilesDir,
                                           std::string* pUnreadable = nullptr,
                                           bool* pMissing = nullptr);

// Readers treat the end of the file as if this entry followed, closing the period of the last
// real entry. It is never written.
NumberOneEntry NumberOneEndMarker();

// Rewrites hits.dat through the rotation; `strCreateFailedText` names the writer in the
// error log ("Failed to create a new number one file" for the editor). The caller holds the
// folder lock (see TrackDatabase::LockFolder).
SaveOutcome SaveNumberOnes(const SaveReporting& reporting,
                           const std::vector<NumberOneEntry>& entries,
                           const std::string& strCreateFailedText);

}  // namespace velvane
