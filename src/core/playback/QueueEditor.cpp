#include "core/playback/QueueEditor.h"

#include <utility>

#include "core/text/Text.h"

namespace velvane {

std::vector<int> QueueEditor::ListedSlots() const {
  std::vector<int> slots;
  for (int i = 0; i < kQueueSlots; ++i) {
    if (!m_slots[i].strArtist.empty()) {
      slots.push_back(i);
    }
  }
  return slots;
}

std::vector<std::string> QueueEditor::ListLines() const {
  std::vector<std::string> lines;
  for (const int nSlot : ListedSlots()) {
    lines.push_back(CutBytes(m_slots[nSlot].strArtist, 36) + "\t" +
                    CutBytes(m_slots[nSlot].strTitle, 36));
  }
  return lines;
}

int QueueEditor::SlotOfLine(int nLine) const {
  const std::vector<int> slots = ListedSlots();
  return nLine >= 0 && nLine < static_cast<int>(slots.size()) ? slots[nLine] : -1;
}

int QueueEditor::LineOfSlot(int nSlot) const {
  const std::vector<int> slots = ListedSlots();
  for (int i = 0; i < static_cast<int>(slots.size()); ++i) {
    if (slots[i] == nSlot) {
      return i;
    }
  }
  return -1;
}

void QueueEditor::Swap(int nSlot, int nOther) {
  std::swap(m_slots[nSlot], m_slots[nOther]);
}

int QueueEditor::OnMoveUp(int nLine, bool bTrackCurrent) {
  const int nSlot = SlotOfLine(nLine);
  if (nSlot <= 0 || m_slots[nSlot].strCD.empty() || (nSlot == 1 && bTrackCurrent)) {
    return -1;
  }
  Swap(nSlot - 1, nSlot);
  return LineOfSlot(nSlot - 1);
}

int QueueEditor::OnMoveDown(int nLine, bool bTrackCurrent) {
  const int nSlot = SlotOfLine(nLine);
  if (nSlot < 0 || nSlot == kQueueSlots - 1 || m_slots[nSlot].strCD.empty() ||
      (nSlot == 0 && bTrackCurrent) || m_slots[nSlot + 1].strCD.empty()) {
    return -1;
  }
  Swap(nSlot, nSlot + 1);
  return LineOfSlot(nSlot + 1);
}

bool QueueEditor::OnRemove(int nLine, bool bTrackCurrent) {
  const int nSlot = SlotOfLine(nLine);
  if (nSlot < 0 || (nSlot == 0 && bTrackCurrent) || m_slots[nSlot].strCD.empty()) {
    return false;
  }
  for (int i = nSlot; i + 1 < kQueueSlots; ++i) {
    Swap(i, i + 1);
  }
  m_slots[kQueueSlots - 1] = QueueSlot{};
  return true;
}

}  // namespace velvane
