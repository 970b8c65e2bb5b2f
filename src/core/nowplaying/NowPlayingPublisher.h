#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "core/nowplaying/NowPlaying.h"
#include "core/nowplaying/NowPlayingOutputs.h"
#include "core/nowplaying/NowPlayingWorker.h"
#include "core/playback/PlayQueue.h"
#include "core/ports/Clock.h"
#include "core/ports/HttpClient.h"
#include "core/settings/Settings.h"

namespace velvane {

// Tells the outputs the settings turn on what is on air and what comes next, each time that
// changes. It runs on the thread that plays and never waits for an output: each has its own
// worker thread (see NowPlayingWorker).
class NowPlayingPublisher {
 public:
  // `makeHttp` makes the network outputs' clients; without it they report that they cannot.
  NowPlayingPublisher(Clock& clock, HttpClientMaker makeHttp);

  // Takes the outputs of the settings. An output whose setting changed starts afresh and is
  // told the present state at once; one turned off or replaced is let go without waiting for
  // the send it may be stuck in.
  void Configure(const Settings& settings);
  // The track on air (null: none) and the queue's next track (null: none). Cheap when nothing
  // changed, so it can be told on every timer tick.
  void Update(const StartedTrack* pOnAir, const QueueSlot* pNext);
  // Waits until every output has sent the latest state.
  void WaitIdle();

  const NowPlaying& State() const { return m_state; }

 private:
  void Publish();

  struct Output {
    std::string strSetting;  // what the worker was made from
    std::unique_ptr<NowPlayingWorker> pWorker;
  };

  Clock& m_clock;
  HttpClientMaker m_makeHttp;
  std::string m_strFilesDir;
  NowPlaying m_state;
  std::array<Output, kNowPlayingOutputKinds.size()> m_outputs;
  std::vector<std::unique_ptr<NowPlayingWorker>> m_retired;  // ending in their own time
};

}  // namespace velvane
