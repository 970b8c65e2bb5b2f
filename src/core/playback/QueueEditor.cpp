#include "core/playback/QueueEditor.h"
#include "core/db/Text.h"

#include <utility>

namespace velvane {

QueueEditor::QueueEditor(const PlayQueue& queue)
    : m_strCD(queue.m_strQueueCD),
      m_strTrack(queue.m_strQueueTrack),
      m_strArtist(queue.m_strQueueArtist),
      m_strTitle(queue.m_strQueueTitle),
      m_nChartLink(queue.m_nQueueChartLink) {}

std::vector<int> QueueEditor::ListedSlots() const {
  std::vector<int> slots;
  for (int i = 0; i < kQueueSlots; ++i) {
    if (!m_strArtist[i].empty()) {
      slots.push_back(i);
    }
  }
  return slots;
}

std::vector<std::string> QueueEditor::ListLines() const {
  std::vector<std::string> lines;
  for (const int nSlot : ListedSlots()) {
    lines.push_back(CutBytes(m_strArtist[nSlot], 36) + "\t" + CutBytes(m_strTitle[nSlot], 36));
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
  std::swap(m_strCD[nSlot], m_strCD[nOther]);
  std::swap(m_strTrack[nSlot], m_strTrack[nOther]);
  std::swap(m_strArtist[nSlot], m_strArtist[nOther]);
  std::swap(m_strTitle[nSlot], m_strTitle[nOther]);
  std::swap(m_nChartLink[nSlot], m_nChartLink[nOther]);
}

int QueueEditor::OnMoveUp(int nLine, bool bTrackCurrent) {
  const int nSlot = SlotOfLine(nLine);
  if (nSlot <= 0 || m_strCD[nSlot].empty() || (nSlot == 1 && bTrackCurrent)) {
    return -1;
  }
  Swap(nSlot - 1, nSlot);
  return LineOfSlot(nSlot - 1);
}

int QueueEditor::OnMoveDown(int nLine, bool bTrackCurrent) {
  const int nSlot = SlotOfLine(nLine);
  if (nSlot < 0 || nSlot == kQueueSlots - 1 || m_strCD[nSlot].empty() ||
      (nSlot == 0 && bTrackCurrent) || m_strCD[nSlot + 1].empty()) {
    return -1;
  }
  Swap(nSlot, nSlot + 1);
  return LineOfSlot(nSlot + 1);
}

bool QueueEditor::OnRemove(int nLine, bool bTrackCurrent) {
  const int nSlot = SlotOfLine(nLine);
  if (nSlot < 0 || (nSlot == 0 && bTrackCurrent) || m_strCD[nSlot].empty()) {
    return false;
  }
  for (int i = nSlot; i + 1 < kQueueSlots; ++i) {
    Swap(i, i + 1);
  }
  const int nLast = kQueueSlots - 1;
  m_strCD[nLast].clear();
  m_strTrack[nLast].clear();
  m_strArtist[nLast].clear();
  m_strTitle[nLast].clear();
  m_nChartLink[nLast] = -1;
  return true;
}

}  // namespace velvane
