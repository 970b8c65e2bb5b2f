#pragma once

#include <array>
#include <string>

#include "core/db/TrackStore.h"

namespace velvane {

inline constexpr int kQueueSlots = 10;

// The ten-slot play queue of the main window. Slot index 0 is the head ("Now Playing"),
// index 1 the next track, 2 to 9 the list below. A slot is free exactly when its CD text is
// empty; slots in use always form one run from the head. Artist, title and chart link are
// looked up in the playlist whenever a slot's numbers change.
class PlayQueue {
 public:
  explicit PlayQueue(const TrackStore& store) : m_store(store) { ClearQueue(); }

  bool IsFree(int nSlot) const { return m_strQueueCD[nSlot].empty(); }

  // Puts the track into the first free slot; a full queue drops it silently.
  void AddToQueue(std::string strCD, std::string strTrack, std::string strArtist,
                  std::string strTitle, int nChartLink);
  void SetQueueSlotInfo(int nSlot, const std::string& strArtist, const std::string& strTitle,
                        int nChartLink);
  // A slot's CD and track texts changed (as its edit controls report): look the slot up again.
  void SetSlotNumbers(int nSlot, const std::string& strCD, const std::string& strTrack);
  // Looks up slot nIndex (0-9), every slot (below 0) or none (above 9), then rebuilds the texts.
  void RefreshQueue(int nIndex);
  // When the head has been started, moves every slot up by one. Returns whether it moved.
  bool AdvanceQueue();
  void ClearQueue();
  void BuildQueueTexts();

  // Chart info of a slot: empty without a chart link, else "No. <pos>   on   <date>".
  std::string FormatChartInfo(int nSlot) const;

  // Slot members, indexed 0 to 9.
  std::array<std::string, kQueueSlots> m_strQueueCD;
  std::array<std::string, kQueueSlots> m_strQueueTrack;
  std::array<std::string, kQueueSlots> m_strQueueArtist;
  std::array<std::string, kQueueSlots> m_strQueueTitle;
  std::array<int, kQueueSlots> m_nQueueChartLink{};
  // The track in the head slot has been started: the next advance removes it.
  bool m_bHeadStarted = false;

  // Display texts.
  std::string m_strNowArtist;      // head artist, first 56 bytes
  std::string m_strNowTitle;       // head title, first 56 bytes
  std::string m_strNowChartInfo;   // chart info of the head
  std::string m_strNextTrack;      // "artist - title" of slot 2 (" - " when free)
  std::string m_strNextChartInfo;  // chart info of slot 2
  std::string m_strQueueList;      // "NN artist - title\n" for slots 3-10 with an artist

 private:
  void LookUp(int nSlot);
  // Slot numbers set in bulk (advance, clear) are looked up again where they changed, as if
  // each had been set on its own.
  void LookUpChanged(const std::array<std::string, kQueueSlots>& strOldCD,
                     const std::array<std::string, kQueueSlots>& strOldTrack);

  const TrackStore& m_store;
};

}  // namespace velvane
