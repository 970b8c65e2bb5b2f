#pragma once

#include <string>
#include <vector>

#include "core/playback/PlayQueue.h"

namespace velvane {

// The queue editor's working copy of the ten slots. The list shows only slots whose artist is
// known; a map from list line to slot makes every button act on the slot its line shows, also
// when an unlisted slot lies between listed ones.
class QueueEditor {
 public:
  explicit QueueEditor(const QueueSlots& start) : m_slots(start) {}

  // The slots as the editor has arranged them.
  const QueueSlots& Slots() const { return m_slots; }

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

 private:
  void Swap(int nSlot, int nOther);
  std::vector<int> ListedSlots() const;

  QueueSlots m_slots;
};

}  // namespace velvane
