#include "core/playback/PlayQueue.h"

#include <utility>

#include "core/text/DisplayFormat.h"
#include "core/text/Text.h"

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
      m_slots[i].strCD = std::move(strCD);
      m_slots[i].strTrack = std::move(strTrack);
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
  m_slots[nSlot].strArtist = strArtist;
  m_slots[nSlot].strTitle = strTitle;
  m_slots[nSlot].nChartLink = nChartLink;
  // The library has the last word: the lookup replaces what the caller passed.
  RefreshQueue(nSlot);
}

void PlayQueue::SetSlotNumbers(int nSlot, const std::string& strCD, const std::string& strTrack) {
  if (!IsSlot(nSlot)) {
    return;
  }
  m_slots[nSlot].strCD = strCD;
  m_slots[nSlot].strTrack = strTrack;
  RefreshQueue(nSlot);
}

void PlayQueue::ReplaceSlots(const QueueSlots& edited) {
  m_slots = edited;
  RefreshQueue(-1);
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
  const QueueSlots old = m_slots;
  for (int i = 0; i + 1 < kQueueSlots; ++i) {
    m_slots[i] = std::move(m_slots[i + 1]);
  }
  m_slots[kQueueSlots - 1] = QueueSlot{};
  LookUpChanged(old);
  BuildQueueTexts();
  return true;
}

void PlayQueue::ClearQueue() {
  const QueueSlots old = m_slots;
  m_slots.fill(QueueSlot{});
  LookUpChanged(old);
  BuildQueueTexts();
}

void PlayQueue::BuildQueueTexts() {
  // Cuts count stored bytes; the texts are converted for the screen afterwards.
  m_texts.strNowArtist = DisplayUtf8(CutBytes(m_slots[0].strArtist, kNowPlayingBytes));
  m_texts.strNowTitle = DisplayUtf8(CutBytes(m_slots[0].strTitle, kNowPlayingBytes));
  m_texts.strNowChartInfo = DisplayUtf8(FormatChartInfo(0));

  m_texts.strNextTrack = FormatArtistTitle(m_slots[1].strArtist, m_slots[1].strTitle);
  m_texts.strNextChartInfo = DisplayUtf8(FormatChartInfo(1));

  // Slots not found in the library have no artist and are left out; the others keep their
  // own slot numbers, so the list can have gaps.
  m_texts.strQueueList.clear();
  for (int i = 2; i < kQueueSlots; ++i) {
    if (!m_slots[i].strArtist.empty()) {
      m_texts.strQueueList += FormatInt(i + 1, 2) + " " +
                              FormatArtistTitle(m_slots[i].strArtist, m_slots[i].strTitle) + "\n";
    }
  }
}

std::string PlayQueue::FormatChartInfo(int nSlot) const {
  if (!IsSlot(nSlot) || m_slots[nSlot].nChartLink == -1) {
    return {};
  }
  // A link outside the chart database leaves these empty, which still gives a (blank) text.
  std::string strDate, strArtist, strTitle, strPosition;
  int nPlaylistLink = -1;
  m_store.GetChartEntry(m_slots[nSlot].nChartLink, strDate, strArtist, strTitle, strPosition,
                        nPlaylistLink);
  return velvane::FormatChartInfo(strPosition, strDate);
}

void PlayQueue::LookUp(int nSlot) {
  QueueSlot& slot = m_slots[nSlot];
  // Numbers reading as CD 0 / track 0 are a cleared or never filled slot, not a track: a
  // library record numbered 0 / 0 must not appear in every free slot.
  if (Atoi(slot.strCD) == 0 && Atoi(slot.strTrack) == 0) {
    slot.strArtist.clear();
    slot.strTitle.clear();
    slot.nChartLink = -1;
    return;
  }
  m_store.FindPlaylistEntry(slot.strCD, slot.strTrack, slot.strArtist, slot.strTitle,
                            slot.nChartLink);
}

void PlayQueue::LookUpChanged(const QueueSlots& old) {
  for (int i = 0; i < kQueueSlots; ++i) {
    if (m_slots[i].strCD != old[i].strCD || m_slots[i].strTrack != old[i].strTrack) {
      LookUp(i);
    }
  }
}

}  // namespace velvane
