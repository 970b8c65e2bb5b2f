#pragma once

#include <string>

namespace velvane {

// The one way in to the play queue for searches and saved-queue loads: a track goes behind the
// tracks already queued. They need nothing else of the queue.
class QueueInput {
 public:
  virtual ~QueueInput() = default;
  // Puts the track into the first free slot; a full queue drops it silently.
  virtual void AddToQueue(std::string strCD, std::string strTrack, std::string strArtist,
                          std::string strTitle, int nChartLink) = 0;
};

}  // namespace velvane
