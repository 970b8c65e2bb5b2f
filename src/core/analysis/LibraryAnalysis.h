#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "core/analysis/AnalysisResults.h"
#include "core/db/SafeSave.h"
#include "core/db/TrackStore.h"
#include "core/ports/AudioAnalyser.h"
#include "core/ports/Clock.h"

namespace velvane {

// One library track to analyse: its numbers as the library holds them and its music file.
struct AnalysisJob {
  std::string strCD;
  std::string strTrack;
  std::string strPath;
};

// The library tracks whose music file exists and whose result is missing or stale; with
// `bForce` every track whose music file exists. In library order, each CD and track once.
// Where the CD folder holds no regular file for a track but something else by its name (a
// folder, a FIFO, a device, a broken link), that is taken: analysing it fails with a reason.
std::vector<AnalysisJob> TracksToAnalyse(const TrackStore& store, const std::string& strMusicDir,
                                         const AnalysisResults& results, bool bForce);

// How far a run has come.
struct AnalysisCount {
  int nTotal = 0;
  int nDone = 0;  // analysed or failed; below the total when the run was stopped
  int nFailed = 0;
  // "Analysed N music files", with ", F could not be analysed" when some failed and
  // "; stopped with L files left" when stopped; "All music files are analysed" when there
  // was nothing to do.
  std::string Summary() const;
};

// What a run tells while it goes. Both come on the thread that called the run.
struct AnalysisReports {
  std::function<void(const AnalysisCount&)> progress;  // after each file
  std::function<void(const std::string& strLine)> failure;
};

// At most this many files are analysed at once, whatever is asked.
inline constexpr int kMaxAnalysisJobs = 64;

// Analyses the jobs on `nJobs` worker threads (clamped to 1..kMaxAnalysisJobs and to the
// number of jobs) and puts each result into `results`. A file that cannot be analysed gets
// one failure line (CD, track, file and why), also written to the error log of
// `strFilesDir`, and the others go on. Once `*pStop` is set no further file is started; the
// files in progress are finished and kept.
AnalysisCount AnalyseTracks(const std::vector<AnalysisJob>& jobs, AudioAnalyser& analyser,
                            int nJobs, AnalysisResults& results, const std::string& strFilesDir,
                            Clock& clock, const AnalysisReports& reports,
                            const std::atomic<bool>* pStop = nullptr);

// Everything one run over the library needs.
struct LibraryAnalysisRequest {
  const TrackStore& store;
  std::string strMusicDir;
  std::string strFilesDir;  // holds analysis.dat and the error log
  AudioAnalyser& analyser;
  Clock& clock;
  int nJobs = 1;
  bool bForce = false;
  const std::atomic<bool>* pStop = nullptr;  // set by another thread to stop early
};

struct LibraryAnalysisOutcome {
  bool bInUse = false;   // another run holds the folder's analysis lock: nothing was done
  bool bLoaded = false;  // analysis.dat could be read (when not, nothing was done)
  bool bSaved = false;   // new results reached analysis.dat
  std::string strError;  // why analysis.dat could not be read or saved
  AnalysisCount count;
  AnalysisResults results;  // every result, old and new
};

// The whole run: reads analysis.dat, analyses what is missing or stale, and saves the merged
// results once at the end when anything new was measured (also when some files failed or the
// run was stopped, and before a report's exception leaves the run). One run at a time per database
// folder, whichever program starts it: the run holds the folder's analysis lock throughout. A file
// that exists but cannot be read is never saved over: the run then does nothing.
LibraryAnalysisOutcome AnalyseLibrary(const LibraryAnalysisRequest& request,
                                      const AnalysisReports& reports);

}  // namespace velvane
