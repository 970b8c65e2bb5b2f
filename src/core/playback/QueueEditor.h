#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/playback/PlayQueue.h"

namespace velvane {

// The queue editor's working copy of the ten slots. The list shows only slots whose artist is
// known; a map from list line to slot makes every button act on the slot its line shows, also
// when an unlisted slot lies between listed ones.
class QueueEditor {
 public:
  explicit QueueEditor(const PlayQueue& queue);

  // "artist (first 36 bytes) TAB title (first 36 bytes)" for every listed slot.
  std::vector<std::string> ListLines() const;
  // The slot a list line shows, or -1.
  int SlotOfLine(int nLine) const;
  // The list line showing a slot, or -1 when the slot is not listed.
  int LineOfSlot(int nSlot) const;

  // Each returns the line to select afterwards: the moved slot's line, -1 for none.
  // `bTrackCurrent`: a track is playing, so the head slot may not move or go.
  int OnMoveUp(int nLine, bool bTrackCurrent);
  int OnMoveDown(int nLine, bool bTrackCurrent);
  // Returns whether the slot was removed; no line is selected afterwards.
  bool OnRemove(int nLine, bool bTrackCurrent);

  std::array<std::string, kQueueSlots> m_strCD;
  std::array<std::string, kQueueSlots> m_strTrack;
  std::array<std::string, kQueueSlots> m_strArtist;
  std::array<std::string, kQueueSlots> m_strTitle;
  std::array<int, kQueueSlots> m_nChartLink{};

 private:
  void Swap(int nSlot, int nOther);
  std::vector<int> ListedSlots() const;
};

}  // namespace velvane
