#include "core/nowplaying/NowPlayingPublisher.h"

#include <algorithm>
#include <utility>

namespace velvane {

namespace {

bool SameTrack(const NowPlayingTrack& track, const QueueSlot& slot) {
  return track.strArtist == slot.strArtist && track.strTitle == slot.strTitle &&
         track.strCD == slot.strCD && track.strTrack == slot.strTrack;
}

}  // namespace

NowPlayingPublisher::NowPlayingPublisher(Clock& clock, HttpClientMaker makeHttp)
    : m_clock(clock), m_makeHttp(std::move(makeHttp)) {}

void NowPlayingPublisher::Configure(const Settings& settings) {
  m_strFilesDir = settings.strFilesDir;
  std::erase_if(m_retired, [](const auto& pWorker) { return pWorker->Ended(); });
  for (std::size_t i = 0; i < m_outputs.size(); ++i) {
    Output& output = m_outputs[i];
    std::string strSetting = NowPlayingOutputSetting(kNowPlayingOutputKinds[i], settings);
    if (strSetting == output.strSetting) {
      continue;  // the same output carries on, with what it knows of its failures
    }
    if (output.pWorker) {
      output.pWorker->Retire();
      m_retired.push_back(std::move(output.pWorker));
    }
    output.strSetting = std::move(strSetting);
    if (auto pOutput = MakeNowPlayingOutput(kNowPlayingOutputKinds[i], settings, m_makeHttp)) {
      output.pWorker = std::make_unique<NowPlayingWorker>(std::move(pOutput));
      output.pWorker->Post(m_state, m_strFilesDir, m_clock.NowUtc());
    }
  }
}

void NowPlayingPublisher::Update(const StartedTrack* pOnAir, const QueueSlot* pNext) {
  if (pOnAir == nullptr) {
    if (m_state.bOnAir) {
      m_state = NowPlaying{};
      Publish();
    }
    return;
  }
  const bool bSameNext =
      (pNext != nullptr) == m_state.bNext && (pNext == nullptr || SameTrack(m_state.next, *pNext));
  if (m_state.bOnAir && m_state.onAir.nSerial == pOnAir->nSerial && bSameNext) {
    return;
  }
  m_state.bOnAir = true;
  m_state.onAir = *pOnAir;
  m_state.bNext = pNext != nullptr;
  m_state.next = pNext != nullptr ? NowPlayingTrack{pNext->strArtist, pNext->strTitle, pNext->strCD,
                                                    pNext->strTrack}
                                  : NowPlayingTrack{};
  Publish();
}

void NowPlayingPublisher::Publish() {
  const SystemTime now = m_clock.NowUtc();
  for (Output& output : m_outputs) {
    if (output.pWorker) {
      output.pWorker->Post(m_state, m_strFilesDir, now);
    }
  }
}

void NowPlayingPublisher::WaitIdle() {
  for (Output& output : m_outputs) {
    if (output.pWorker) {
      output.pWorker->WaitIdle();
    }
  }
}

}  // namespace velvane
