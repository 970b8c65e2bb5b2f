#include "core/analysis/LibraryAnalysis.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <set>
#include <thread>

#include "core/analysis/AnalysisFile.h"
#include "core/db/Logs.h"
#include "core/db/MusicFile.h"
#include "core/db/NativeFile.h"
#include "core/db/Paths.h"
#include "core/text/Text.h"

namespace velvane {

namespace {

// What a worker hands back for one job.
struct Measured {
  std::size_t nJob = 0;
  bool bOk = false;
  AnalysedFile file;
  TrackMeasures measures;
  std::string strError;
};

// The file is described before it is decoded: should it change meanwhile, the result is
// stale at once and is measured again next time.
Measured Measure(const AnalysisJob& job, AudioAnalyser& analyser) {
  Measured measured;
  // Whatever throws fails this file only: the run and what it measured go on.
  try {
    measured.strError = NotAFileReason(job.strPath);
    if (!measured.strError.empty()) {
      return measured;
    }
    if (!DescribeFile(job.strPath, measured.file)) {
      measured.strError = "not a readable regular file";
      return measured;
    }
    measured.bOk = analyser.Analyse(job.strPath, measured.measures, measured.strError);
  } catch (const std::exception& error) {
    measured.bOk = false;
    measured.strError = error.what();
  } catch (...) {
    measured.bOk = false;
    measured.strError = "the analysis failed unexpectedly";
  }
  if (!measured.bOk && measured.strError.empty()) {
    measured.strError = "it could not be decoded";
  }
  return measured;
}

std::string FailureLine(const AnalysisJob& job, const Measured& measured) {
  const std::string strName = job.strPath.substr(job.strPath.find_last_of("/\\") + 1);
  // A file name may hold line ends and other control bytes; a log line must not.
  return ControlsAsSpaces("Music file CD " + FormatInt(Atoi(job.strCD), 3) + " Track " +
                          FormatInt(Atoi(job.strTrack), 2) + " could not be analysed (" + strName +
                          "): " + measured.strError);
}

// Workers take the jobs in order and queue what they measured; the calling thread alone
// touches the results, the error log and the reports.
class MeasuredQueue {
 public:
  explicit MeasuredQueue(int nWorkers) : m_nWorking(nWorkers) {}
  void Push(Measured measured) {
    {
      const std::lock_guard lock(m_mutex);
      m_measured.push_back(std::move(measured));
    }
    m_ready.notify_one();
  }
  void WorkerEnded() {
    {
      const std::lock_guard lock(m_mutex);
      --m_nWorking;
    }
    m_ready.notify_one();
  }
  // Waits for results; empty once every worker has ended and all was taken.
  std::deque<Measured> TakeAll() {
    std::unique_lock lock(m_mutex);
    m_ready.wait(lock, [this] { return !m_measured.empty() || m_nWorking == 0; });
    std::deque<Measured> taken;
    taken.swap(m_measured);
    return taken;
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_ready;
  std::deque<Measured> m_measured;
  int m_nWorking;
};

}  // namespace

std::string AnalysisCount::Summary() const {
  if (nTotal == 0) {
    return "All music files are analysed";
  }
  std::string strText = "Analysed " + std::to_string(nDone - nFailed) + " music files";
  if (nFailed > 0) {
    strText += ", " + std::to_string(nFailed) + " could not be analysed";
  }
  if (nDone < nTotal) {
    strText += "; stopped with " + std::to_string(nTotal - nDone) + " files left";
  }
  return strText;
}

std::vector<AnalysisJob> TracksToAnalyse(const TrackStore& store, const std::string& strMusicDir,
                                         const AnalysisResults& results, bool bForce) {
  std::vector<AnalysisJob> jobs;
  std::set<std::pair<int, int>> seen;
  FolderListings folders;
  for (int p = 0; p < store.PlaylistCount(); ++p) {
    const PlaylistView record = store.Playlist(p);
    if (!seen.insert({Atoi(record.strCD), Atoi(record.strTrack)}).second) {
      continue;
    }
    const std::string strFolder = strMusicDir + FormatInt(Atoi(record.strCD), 3) + kPathSeparator;
    // A regular file is the music file, as for the decks; when there is none, a folder or
    // FIFO in its place is taken too, so that the run tells about it instead of passing it by.
    const FolderEntries& entries = folders.In(strFolder);
    const std::string strPrefix = FormatInt(Atoi(record.strTrack), 2);
    const std::string* pName = FirstStartingWith(entries.files, strPrefix);
    if (pName == nullptr && (pName = FirstStartingWith(entries.others, strPrefix)) == nullptr) {
      continue;
    }
    AnalysisJob job{std::string(record.strCD), std::string(record.strTrack), strFolder + *pName};
    if (bForce || results.FreshMeasures(job.strCD, job.strTrack, job.strPath) == nullptr) {
      jobs.push_back(std::move(job));
    }
  }
  return jobs;
}

namespace {

// AnalyseTracks, counting into `count` as it goes, so that what was measured is known also
// when a report throws. The workers then start no further file.
void RunJobs(const std::vector<AnalysisJob>& jobs, AudioAnalyser& analyser, int nJobs,
             AnalysisResults& results, const std::string& strFilesDir, Clock& clock,
             const AnalysisReports& reports, const std::atomic<bool>* pStop, AnalysisCount& count) {
  count = AnalysisCount{static_cast<int>(jobs.size()), 0, 0};
  if (jobs.empty()) {
    return;
  }
  const int nThreads = std::clamp(nJobs, 1, std::min(kMaxAnalysisJobs, count.nTotal));
  MeasuredQueue queue(nThreads);
  std::atomic<std::size_t> nNext{0};
  std::atomic<bool> bAbandoned{false};
  const auto stopped = [pStop, &bAbandoned] {
    return bAbandoned.load() || (pStop != nullptr && pStop->load());
  };
  const auto work = [&jobs, &analyser, &queue, &nNext, &stopped] {
    for (std::size_t i = nNext++; i < jobs.size() && !stopped(); i = nNext++) {
      Measured measured = Measure(jobs[i], analyser);
      measured.nJob = i;
      queue.Push(std::move(measured));
    }
    queue.WorkerEnded();
  };
  std::vector<std::jthread> workers;
  workers.reserve(static_cast<std::size_t>(nThreads));
  try {
    for (int t = 0; t < nThreads; ++t) {
      workers.emplace_back(work);
    }
    for (std::deque<Measured> taken = queue.TakeAll(); !taken.empty(); taken = queue.TakeAll()) {
      for (Measured& measured : taken) {
        const AnalysisJob& job = jobs[measured.nJob];
        ++count.nDone;
        if (measured.bOk) {
          results.Put({job.strCD, job.strTrack, std::move(measured.file), measured.measures});
        } else {
          ++count.nFailed;
          const std::string strLine = FailureLine(job, measured);
          WriteErrorLog(strFilesDir, clock, strLine);
          if (reports.failure) {
            reports.failure(strLine);
          }
        }
        if (reports.progress) {
          reports.progress(count);
        }
      }
    }
  } catch (...) {
    bAbandoned = true;  // the workers finish the file they hold and are joined
    throw;
  }
}

}  // namespace

AnalysisCount AnalyseTracks(const std::vector<AnalysisJob>& jobs, AudioAnalyser& analyser,
                            int nJobs, AnalysisResults& results, const std::string& strFilesDir,
                            Clock& clock, const AnalysisReports& reports,
                            const std::atomic<bool>* pStop) {
  AnalysisCount count;
  RunJobs(jobs, analyser, nJobs, results, strFilesDir, clock, reports, pStop, count);
  return count;
}

LibraryAnalysisOutcome AnalyseLibrary(const LibraryAnalysisRequest& request,
                                      const AnalysisReports& reports) {
  LibraryAnalysisOutcome outcome;
  FolderLock lock;
  std::error_code error;
  const LockResult locked = lock.TryLock(request.strFilesDir, error, kAnalysisLockFile);
  if (locked != LockResult::kLocked) {
    outcome.bInUse = locked == LockResult::kInUse;
    outcome.strError = request.strFilesDir + kAnalysisLockFile + ": " + error.message();
    return outcome;
  }
  outcome.bLoaded = LoadAnalysisFile(request.strFilesDir, outcome.results, outcome.strError);
  if (!outcome.bLoaded) {
    return outcome;
  }
  const std::vector<AnalysisJob> jobs =
      TracksToAnalyse(request.store, request.strMusicDir, outcome.results, request.bForce);
  if (reports.progress) {
    reports.progress(AnalysisCount{static_cast<int>(jobs.size()), 0, 0});
  }
  try {
    RunJobs(jobs, request.analyser, request.nJobs, outcome.results, request.strFilesDir,
            request.clock, reports, request.pStop, outcome.count);
  } catch (...) {
    // Hours of measuring are not thrown away with the run: keep what was measured.
    if (outcome.count.nDone > outcome.count.nFailed) {
      SaveAnalysisFile(request.strFilesDir, outcome.results);
    }
    throw;
  }
  if (outcome.count.nDone == outcome.count.nFailed) {
    return outcome;  // nothing new to keep
  }
  const SaveOutcome saved = SaveAnalysisFile(request.strFilesDir, outcome.results);
  outcome.bSaved = static_cast<bool>(saved);
  if (!saved) {
    outcome.strError = saved.Describe();
    WriteErrorLog(request.strFilesDir, request.clock,
                  "The analysis results could not be saved: " + saved.Describe());
  }
  return outcome;
}

}  // namespace velvane
