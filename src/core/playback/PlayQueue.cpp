#include "core/playback/PlayQueue.h"

#include <utility>

#include "core/db/Text.h"
#include "core/playback/DisplayFormat.h"

namespace velvane {

namespace {

constexpr std::size_t kNowPlayingBytes = 56;

bool IsSlot(int nSlot) {
  return nSlot >= 0 && nSlot < kQueueSlots;
}

}  // namespace

void PlayQueue::AddToQueue(std::string strCD, std::string strTrack, std::string strArtist,
                           std::string strTitle, int nChartLink) {
  for (int i = 0; i < kQueueSlots; ++i) {
    if (IsFree(i)) {
      m_strQueueCD[i] = std::move(strCD);
      m_strQueueTrack[i] = std::move(strTrack);
      SetQueueSlotInfo(i, strArtist, strTitle, nChartLink);
      return;
    }
  }
  // Full: the track is dropped without a word.
}

void PlayQueue::SetQueueSlotInfo(int nSlot, const std::string& strArtist,
                                 const std::string& strTitle, int nChartLink) {
  if (!IsSlot(nSlot)) {
    return;
  }
  m_strQueueArtist[nSlot] = strArtist;
  m_strQueueTitle[nSlot] = strTitle;
  m_nQueueChartLink[nSlot] = nChartLink;
  // The library has the last word: the lookup replaces what the caller passed.
  RefreshQueue(nSlot);
}

void PlayQueue::SetSlotNumbers(int nSlot, const std::string& strCD, const std::string& strTrack) {
  if (!IsSlot(nSlot)) {
    return;
  }
  m_strQueueCD[nSlot] = strCD;
  m_strQueueTrack[nSlot] = strTrack;
  RefreshQueue(nSlot);
}

void PlayQueue::RefreshQueue(int nIndex) {
  if (nIndex < 0) {
    for (int i = 0; i < kQueueSlots; ++i) {
      LookUp(i);
    }
  } else if (nIndex < kQueueSlots) {
    LookUp(nIndex);
  }
  BuildQueueTexts();
}

bool PlayQueue::AdvanceQueue() {
  if (!m_bHeadStarted) {
    return false;
  }
  const auto strOldCD = m_strQueueCD;
  const auto strOldTrack = m_strQueueTrack;
  for (int i = 0; i + 1 < kQueueSlots; ++i) {
    m_strQueueCD[i] = std::move(m_strQueueCD[i + 1]);
    m_strQueueTrack[i] = std::move(m_strQueueTrack[i + 1]);
    m_strQueueArtist[i] = std::move(m_strQueueArtist[i + 1]);
    m_strQueueTitle[i] = std::move(m_strQueueTitle[i + 1]);
    m_nQueueChartLink[i] = m_nQueueChartLink[i + 1];
  }
  const int nLast = kQueueSlots - 1;
  m_strQueueCD[nLast].clear();
  m_strQueueTrack[nLast].clear();
  m_strQueueArtist[nLast].clear();
  m_strQueueTitle[nLast].clear();
  m_nQueueChartLink[nLast] = -1;
  LookUpChanged(strOldCD, strOldTrack);
  BuildQueueTexts();
  return true;
}

void PlayQueue::ClearQueue() {
  const auto strOldCD = m_strQueueCD;
  const auto strOldTrack = m_strQueueTrack;
  for (int i = 0; i < kQueueSlots; ++i) {
    m_strQueueCD[i].clear();
    m_strQueueTrack[i].clear();
    m_strQueueArtist[i].clear();
    m_strQueueTitle[i].clear();
    m_nQueueChartLink[i] = -1;
  }
  LookUpChanged(strOldCD, strOldTrack);
  BuildQueueTexts();
}

void PlayQueue::BuildQueueTexts() {
  m_strNowArtist = CutBytes(m_strQueueArtist[0], kNowPlayingBytes);
  m_strNowTitle = CutBytes(m_strQueueTitle[0], kNowPlayingBytes);
  m_strNowChartInfo = FormatChartInfo(0);

  m_strNextTrack = m_strQueueArtist[1] + " - " + m_strQueueTitle[1];
  m_strNextChartInfo = FormatChartInfo(1);

  // Slots not found in the library have no artist and are left out; the others keep their
  // own slot numbers, so the list can have gaps.
  m_strQueueList.clear();
  for (int i = 2; i < kQueueSlots; ++i) {
    if (!m_strQueueArtist[i].empty()) {
      m_strQueueList +=
          FormatInt(i + 1, 2) + " " + m_strQueueArtist[i] + " - " + m_strQueueTitle[i] + "\n";
    }
  }
}

std::string PlayQueue::FormatChartInfo(int nSlot) const {
  if (!IsSlot(nSlot) || m_nQueueChartLink[nSlot] == -1) {
    return {};
  }
  // A link outside the chart database leaves these empty, which still gives a (blank) text.
  std::string strDate, strArtist, strTitle, strPosition;
  int nPlaylistLink = -1;
  m_store.GetChartEntry(m_nQueueChartLink[nSlot], strDate, strArtist, strTitle, strPosition,
                        nPlaylistLink);
  return velvane::FormatChartInfo(strPosition, strDate);
}

void PlayQueue::LookUp(int nSlot) {
  // Empty or non-numeric numbers compare as 0 / 0 like any other, free slots included.
  m_store.FindPlaylistEntry(m_strQueueCD[nSlot], m_strQueueTrack[nSlot], m_strQueueArtist[nSlot],
                            m_strQueueTitle[nSlot], m_nQueueChartLink[nSlot]);
}

void PlayQueue::LookUpChanged(const std::array<std::string, kQueueSlots>& strOldCD,
                              const std::array<std::string, kQueueSlots>& strOldTrack) {
  for (int i = 0; i < kQueueSlots; ++i) {
    if (m_strQueueCD[i] != strOldCD[i] || m_strQueueTrack[i] != strOldTrack[i]) {
      LookUp(i);
    }
  }
}

}  // namespace velvane
