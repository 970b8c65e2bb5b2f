#pragma once

#include <array>
#include <string>

#include "core/db/TrackStore.h"
#include "core/playback/QueueInput.h"

namespace velvane {

inline constexpr int kQueueSlots = 10;

// One slot of the play queue: the numbers as added, and what the library says about them.
struct QueueSlot {
  std::string strCD;  // empty: the slot is free
  std::string strTrack;
  std::string strArtist;
  std::string strTitle;
  int nChartLink = -1;
};
using QueueSlots = std::array<QueueSlot, kQueueSlots>;

// The texts the main window shows for the queue, in UTF-8: each stored field is converted on
// its own, since neighbouring fields and lines may be stored in different encodings.
struct QueueTexts {
  std::string strNowArtist;      // head artist, first 56 bytes
  std::string strNowTitle;       // head title, first 56 bytes
  std::string strNowChartInfo;   // chart info of the head
  std::string strNextTrack;      // "artist - title" of slot 2 (" - " when free)
  std::string strNextChartInfo;  // chart info of slot 2
  std::string strQueueList;      // "NN artist - title\n" for slots 3-10 with an artist
};

// The ten-slot play queue of the main window. Slot index 0 is the head ("Now Playing"),
// index 1 the next track, 2 to 9 the list below. Slots in use always form one run from the
// head. Artist, title and chart link are looked up in the playlist whenever a slot's numbers
// change; a slot whose numbers read as CD 0 / track 0 (free) is never looked up.
class PlayQueue : public QueueInput {
 public:
  explicit PlayQueue(const TrackStore& store) : m_store(store) { ClearQueue(); }

  const QueueSlot& Slot(int nSlot) const { return m_slots[nSlot]; }
  const QueueSlots& Slots() const { return m_slots; }
  const QueueTexts& Texts() const { return m_texts; }
  bool IsFree(int nSlot) const { return m_slots[nSlot].strCD.empty(); }

  void AddToQueue(std::string strCD, std::string strTrack, std::string strArtist,
                  std::string strTitle, int nChartLink) override;
  void SetQueueSlotInfo(int nSlot, const std::string& strArtist, const std::string& strTitle,
                        int nChartLink);
  // A slot's CD and track texts changed (as its edit controls report): look the slot up again.
  void SetSlotNumbers(int nSlot, const std::string& strCD, const std::string& strTrack);
  // The queue editor's "Save": every slot as the editor left it, then looked up afresh.
  void ReplaceSlots(const QueueSlots& edited);
  // Looks up slot nIndex (0-9), every slot (below 0) or none (above 9), then rebuilds the texts.
  void RefreshQueue(int nIndex);
  // When the head has been started, moves every slot up by one. Returns whether it moved.
  bool AdvanceQueue();
  void ClearQueue();

  // The track in the head slot has been started: the next advance removes it.
  bool HeadStarted() const { return m_bHeadStarted; }
  void SetHeadStarted(bool bStarted) { m_bHeadStarted = bStarted; }

  // Chart info of a slot: empty without a chart link, else "No. <pos>   on   <date>".
  std::string FormatChartInfo(int nSlot) const;

 private:
  void BuildQueueTexts();
  void LookUp(int nSlot);
  // Slot numbers set in bulk (advance, clear) are looked up again where they changed, as if
  // each had been set on its own.
  void LookUpChanged(const QueueSlots& old);

  const TrackStore& m_store;
  QueueSlots m_slots;
  bool m_bHeadStarted = false;
  QueueTexts m_texts;
};

}  // namespace velvane
