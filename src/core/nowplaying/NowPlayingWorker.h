#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "core/nowplaying/NowPlaying.h"
#include "core/nowplaying/NowPlayingOutputs.h"
#include "core/ports/Clock.h"

namespace velvane {

// One output on a thread of its own, so that a slow disk or a dead server never holds up the
// thread that plays. Only the latest state waits: one posted while the output is busy
// replaces the one waiting before it, so a server that comes back is told what is on air now,
// not a backlog. The error log gets one line when the output stops working and one when it
// works again.
class NowPlayingWorker {
 public:
  explicit NowPlayingWorker(std::unique_ptr<NowPlayingOutput> pOutput);
  // Waits for the state being sent (the output's timeout bounds it); nothing waiting is sent.
  ~NowPlayingWorker();
  NowPlayingWorker(const NowPlayingWorker&) = delete;
  NowPlayingWorker& operator=(const NowPlayingWorker&) = delete;

  // `time` stamps the log lines this state may cause, in `strFilesDir`'s error log (none
  // when it is empty).
  void Post(const NowPlaying& now, const std::string& strFilesDir, const SystemTime& time);
  // The thread ends after the state being sent, without waiting here.
  void Retire();
  // Whether the thread has ended after Retire.
  bool Ended() const;
  // Waits until every state posted has been sent.
  void WaitIdle();

 private:
  struct Job {
    NowPlaying now;
    std::string strFilesDir;
    SystemTime time;
  };

  void Run(std::unique_ptr<NowPlayingOutput> pOutput);

  mutable std::mutex m_mutex;
  std::condition_variable m_wake;  // a job or the retirement
  std::condition_variable m_idle;  // nothing waits and nothing is being sent
  std::optional<Job> m_job;        // the latest state not yet taken
  bool m_bBusy = false;
  bool m_bRetired = false;
  bool m_bEnded = false;
  std::thread m_thread;  // last: starts once everything above exists
};

}  // namespace velvane
