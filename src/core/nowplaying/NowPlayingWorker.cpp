#include "core/nowplaying/NowPlayingWorker.h"

#include <utility>

#include "core/db/Logs.h"

namespace velvane {

NowPlayingWorker::NowPlayingWorker(std::unique_ptr<NowPlayingOutput> pOutput)
    : m_thread([this, pTaken = std::move(pOutput)]() mutable { Run(std::move(pTaken)); }) {}

NowPlayingWorker::~NowPlayingWorker() {
  Retire();
  m_thread.join();
}

void NowPlayingWorker::Post(const NowPlaying& now, const std::string& strFilesDir,
                            const SystemTime& time) {
  {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_job = Job{now, strFilesDir, time};
  }
  m_wake.notify_one();
}

void NowPlayingWorker::Retire() {
  {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_bRetired = true;
    m_job.reset();
  }
  m_wake.notify_one();
}

bool NowPlayingWorker::Ended() const {
  const std::lock_guard<std::mutex> lock(m_mutex);
  return m_bEnded;
}

void NowPlayingWorker::WaitIdle() {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_idle.wait(lock, [this] { return !m_job && !m_bBusy; });
}

void NowPlayingWorker::Run(std::unique_ptr<NowPlayingOutput> pOutput) {
  bool bFailing = false;
  for (;;) {
    Job job;
    {
      std::unique_lock<std::mutex> lock(m_mutex);
      m_bBusy = false;
      m_idle.notify_all();
      m_wake.wait(lock, [this] { return m_bRetired || m_job; });
      if (m_bRetired) {
        break;
      }
      job = std::move(*m_job);
      m_job.reset();
      m_bBusy = true;
    }
    const std::string strError = pOutput->Send(job.now);
    if (strError.empty() == bFailing && !job.strFilesDir.empty()) {
      WriteErrorLog(job.strFilesDir, job.time,
                    "Now playing: " + pOutput->Name() +
                        (bFailing ? " works again" : " stopped working: " + strError));
    }
    bFailing = !strError.empty();
  }
  // Whatever the output made on this thread (its HTTP client) ends on it as well.
  pOutput.reset();
  const std::lock_guard<std::mutex> lock(m_mutex);
  m_bEnded = true;
  m_idle.notify_all();
}

}  // namespace velvane
