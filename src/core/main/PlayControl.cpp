#include "core/main/PlayControl.h"

#include <algorithm>

#include "core/db/Logs.h"
#include "core/db/MusicFile.h"
#include "core/text/Text.h"

namespace velvane {

namespace {

int DeckVolume(int nDeckSlider, int nMasterSlider) {
  return (1000 - nDeckSlider) * (1000 - nMasterSlider) / 1000;
}

}  // namespace

PlayControl::PlayControl(DeckDriver& decks, PlayQueue& queue, const Settings& settings,
                         Clock& clock, MainDisplay& display, QueueEditSession& queueEdit,
                         AnalysisSource& analysis, NowPlayingPublisher& nowPlaying)
    : m_driver(decks),
      m_queue(queue),
      m_settings(settings),
      m_clock(clock),
      m_display(display),
      m_queueEdit(queueEdit),
      m_analysis(analysis),
      m_nowPlaying(nowPlaying) {}

void PlayControl::Reset() {
  for (Deck& deck : m_decks) {
    deck.bInUse = false;
    deck.nMusicEnd = 0;
  }
  m_nCurrentDeck = m_nLastDeck = 0;
  m_fader.StopAll();
  m_bAutoChangeArmed = false;
  m_bSilenceAfterEnd = false;
  m_mode = PlayMode::kSingle;
  m_nMasterSlider = 0;
}

void PlayControl::SetPlayMode(PlayMode mode) {
  m_mode = mode;
  ShowPlayMode();
}

bool PlayControl::DeckInUse(int nDeck) const {
  return nDeck >= 1 && nDeck <= kDecks && m_decks[nDeck - 1].bInUse;
}

int PlayControl::DecksInUse() const {
  return static_cast<int>(
      std::count_if(m_decks.begin(), m_decks.end(), [](const Deck& deck) { return deck.bInUse; }));
}

int PlayControl::ChooseFreeDeck() const {
  for (int nDeck = 1; nDeck <= kDecks; ++nDeck) {
    if (!DeckInUse(nDeck)) {
      return nDeck;
    }
  }
  return 0;
}

void PlayControl::SetDeckInUse(int nDeck, bool bInUse) {
  if (nDeck >= 1 && nDeck <= kDecks) {
    DeckAt(nDeck).bInUse = bInUse;
  }
}

void PlayControl::StopAndClose(int nDeck) {
  m_driver.StopDeck(nDeck);
  m_driver.CloseDeck(nDeck);
}

void PlayControl::PrepareDeck(int nDeck, const QueueSlot& track, const std::string& strPath) {
  const bool bWanted = m_settings.bEvenLoudness || m_settings.bChangeAtMusicEnd;
  const TrackMeasures* pMeasures =
      bWanted ? m_analysis.Fresh().FreshMeasures(track.strCD, track.strTrack, strPath) : nullptr;
  const bool bGain = m_settings.bEvenLoudness && pMeasures != nullptr;
  // Set for every track, so a gain never stays on the deck for the next one.
  m_driver.SetDeckGain(nDeck, bGain ? TrackGain(*pMeasures, m_settings.nLoudnessTarget) : 0.0);
  const bool bEnd = m_settings.bChangeAtMusicEnd && pMeasures != nullptr;
  DeckAt(nDeck).nMusicEnd = bEnd ? std::max(pMeasures->nAudibleEnd, 0) : 0;
}

int PlayControl::MusicEnd(int nDeck) const {
  return nDeck >= 1 && nDeck <= kDecks ? m_decks[nDeck - 1].nMusicEnd : 0;
}

void PlayControl::SetDeckSlider(int nDeck, int nPosition) {
  if (nDeck >= 1 && nDeck <= kDecks) {
    DeckAt(nDeck).nSlider = std::clamp(nPosition, 0, 1000);
  }
}

void PlayControl::SetMasterSlider(int nPosition) {
  m_nMasterSlider = std::clamp(nPosition, 0, 1000);
}

void PlayControl::ShowPlayMode() {
  m_display.strPlayMode = m_mode == PlayMode::kAuto ? "Auto Play" : "Single Play";
}

void PlayControl::WriteErrorLog(const std::string& strText) {
  velvane::WriteErrorLog(m_settings.strFilesDir, m_clock, strText);
}

PlayNextResult PlayControl::PlayNext(bool bAutoChange) {
  if (m_queue.IsFree(1)) {
    if (m_nCurrentDeck != 0) {
      return PlayNextResult::kNothingNext;
    }
    m_queue.SetHeadStarted(false);  // play the head itself instead of removing it
  }
  const QueueSlot& head = m_queue.Slot(0);
  m_last = {head.strArtist, head.strTitle, head.strCD, head.strTrack};
  m_queue.AdvanceQueue();

  std::string strPath;
  if (!FindMusicFile(m_settings.strMusicDir, head.strCD, head.strTrack, strPath)) {
    return PlayNextResult::kNoMusicFile;
  }
  const int nDeck = ChooseFreeDeck();
  if (nDeck == 0) {
    return PlayNextResult::kNoFreeDeck;
  }
  const int nPrevCurrent = m_nCurrentDeck;
  const int nPrevLast = m_nLastDeck;
  const bool bPrevPlayNext = m_display.bPlayNextEnabled;
  const bool bPrevPlayCurrent = m_display.bPlayCurrentEnabled;

  m_display.bNowPlayingAlert = false;
  m_display.bPlayNextEnabled = false;
  m_display.bPlayCurrentEnabled = false;
  SetDeckSlider(nDeck, 0);
  m_bVolumeDirty = true;
  m_nCurrentDeck = nDeck;
  m_nLastDeck = DeckInUse(OtherDeck(nDeck)) ? OtherDeck(nDeck) : 0;
  PrepareDeck(nDeck, head, strPath);
  const bool bOpened = m_driver.OpenAndPlayDeck(nDeck, strPath);
  if (!bOpened && bAutoChange) {
    // Auto change must not leave a silent deck marked as playing: undo and report.
    StopAndClose(nDeck);
    m_nCurrentDeck = nPrevCurrent;
    m_nLastDeck = nPrevLast;
    m_display.bPlayNextEnabled = bPrevPlayNext;
    m_display.bPlayCurrentEnabled = bPrevPlayCurrent;
    return PlayNextResult::kOpenFailed;
  }
  // The new track arms itself after its own ten seconds; an arming left over from the track
  // before would let a short track started by hand cut in early.
  m_bAutoChangeArmed = false;
  m_queueEdit.OnQueueMoved();
  SetDeckInUse(nDeck, true);
  if (m_settings.nLogEnabled != 0) {
    WritePlayLog(m_settings.strFilesDir, m_settings.strLogFile, m_clock, head.strArtist,
                 head.strTitle);
  }
  StartedTrack& started = m_started[nDeck - 1];
  started = {};  // a deck that would not open is marked in use, yet nothing is heard
  if (bOpened) {
    std::string strLength;
    m_driver.GetDeckLength(nDeck, strLength);
    started = {{head.strArtist, head.strTitle, head.strCD, head.strTrack},
               IsoUtcTime(m_clock.NowUtc()),
               Atoi(strLength),
               ++m_nStarts};
  }
  TellNowPlaying();
  return bOpened ? PlayNextResult::kStarted : PlayNextResult::kOpenFailed;
}

void PlayControl::AutoChange() {
  // The track that plays out is the one in the head now; skipped tracks must not replace it
  // in the last-track line.
  const QueueSlot& head = m_queue.Slot(0);
  const LastTrack playingOut{head.strArtist, head.strTitle, head.strCD, head.strTrack};
  bool bSkipped = false;
  PlayNextResult result = PlayNextResult::kNothingNext;
  for (;;) {
    result = PlayNext(true);
    if (result != PlayNextResult::kNoMusicFile && result != PlayNextResult::kOpenFailed) {
      break;
    }
    // Worded apart from the music check's lines, so the operator can tell who wrote it.
    WriteErrorLog(
        "Auto Play skipped CD " + head.strCD + " Track " + head.strTrack +
        (result == PlayNextResult::kNoMusicFile ? ": no music file" : ": it could not be played"));
    bSkipped = true;
    if (m_queue.IsFree(1)) {
      break;  // nothing queued behind the bad track
    }
    m_queue.SetHeadStarted(true);  // the next attempt moves past the bad track
  }
  if (bSkipped) {
    m_last = playingOut;
  }
  if (bSkipped && result != PlayNextResult::kStarted) {
    // Nothing started, yet the skip moved the queue: an open editor's copy is stale.
    m_queueEdit.OnQueueMoved();
  }
}

void PlayControl::OnPlayNextTrack() {
  PlayNext(false);
}

void PlayControl::OnPlayCurrentTrack() {
  if (DecksInUse() != 0) {
    return;
  }
  m_display.bPlayCurrentEnabled = false;
  m_queue.SetHeadStarted(false);
  OnPlayNextTrack();
}

void PlayControl::OnStopAllTracks() {
  m_driver.StopAndCloseAllDecks();
  for (Deck& deck : m_decks) {
    deck.bInUse = false;
  }
  m_nCurrentDeck = 0;
  m_nLastDeck = 0;  // nothing plays out any more, so no last-track line either
  m_bAutoChangeArmed = false;
  m_bSilenceAfterEnd = false;  // the operator wants it quiet
  m_display.strRemaining.clear();
  m_display.bPlayNextEnabled = true;
  m_display.lastTrack = {};
  TellNowPlaying();
}

void PlayControl::OnStopCurrentTrack() {
  const int nStopped = m_nCurrentDeck;
  StopAndClose(nStopped);
  SetDeckInUse(nStopped, false);
  m_nCurrentDeck = DecksInUse() != 0 && nStopped != 0 ? OtherDeck(nStopped) : 0;
  m_bAutoChangeArmed = false;
  m_display.bPlayNextEnabled = true;
  if (m_nLastDeck != 0) {
    // The track still playing out becomes current again and takes the head slot back.
    m_nCurrentDeck = m_nLastDeck;
    m_nLastDeck = 0;
    m_queue.SetSlotNumbers(0, m_last.strCD, m_last.strTrack);
  }
  TellNowPlaying();
}

void PlayControl::OnStopLastTrack() {
  if (m_nCurrentDeck != 0) {
    const int nLast = OtherDeck(m_nCurrentDeck);
    StopAndClose(nLast);
    SetDeckInUse(nLast, false);
  }
  m_nLastDeck = 0;
  m_display.lastTrack = {};
}

void PlayControl::OnDeckFinished(int nDeck) {
  StopAndClose(nDeck);
  SetDeckInUse(nDeck, false);
  if (nDeck == m_nCurrentDeck) {
    if (m_nLastDeck != 0) {
      OnStopLastTrack();
    }
    m_display.bPlayNextEnabled = true;
    m_nCurrentDeck = 0;
  }
  if (nDeck == m_nLastDeck) {
    m_nLastDeck = 0;
  }
  if (DecksInUse() == 0) {
    m_queue.SetHeadStarted(true);  // the finished track leaves the head
    m_queue.AdvanceQueue();
    m_display.bPlayNextEnabled = true;
    m_queue.SetHeadStarted(false);
    m_bSilenceAfterEnd = true;
  }
  TellNowPlaying();
}

void PlayControl::TellNowPlaying() {
  const StartedTrack* pOnAir = nullptr;
  if (m_nCurrentDeck != 0 && m_started[m_nCurrentDeck - 1].nSerial != 0) {
    pOnAir = &m_started[m_nCurrentDeck - 1];
  }
  m_nowPlaying.Update(pOnAir, m_queue.IsFree(1) ? nullptr : &m_queue.Slot(1));
}

void PlayControl::StartAfterDeadAir() {
  const bool bSilence = m_bSilenceAfterEnd;
  m_bSilenceAfterEnd = false;
  if (bSilence && m_mode == PlayMode::kAuto && DecksInUse() == 0 && !m_queue.IsFree(0)) {
    AutoChange();
  }
}

void PlayControl::OnClearPlaylist() {
  OnStopAllTracks();
  m_queue.ClearQueue();
  m_queue.SetHeadStarted(false);
  m_display.strRemaining.clear();
  m_display.bNowPlayingAlert = false;
}

void PlayControl::StartFade(FadeRole role, int nDeck) {
  m_fader.Start(role, nDeck, DeckAt(nDeck).nSlider,
                Fader::StepFor(m_settings.nFadeTime, m_settings.nSystemTimer));
}

void PlayControl::OnFadeCurrent() {
  if (m_nCurrentDeck != 0) {
    StartFade(FadeRole::kCurrent, m_nCurrentDeck);
  }
}

void PlayControl::OnFadeLast() {
  if (m_nLastDeck != 0) {
    StartFade(FadeRole::kLast, m_nLastDeck);
  }
}

void PlayControl::OnPlayMode() {
  SetPlayMode(m_mode == PlayMode::kAuto ? PlayMode::kSingle : PlayMode::kAuto);
}

void PlayControl::StepFades() {
  // A running fade greys its button until the slider reaches the end.
  const auto step = [this](FadeRole role, bool& bEnabled) {
    if (!m_fader.Running(role)) {
      return;
    }
    bEnabled = false;
    m_fader.Step(role, m_decks);
    m_bVolumeDirty = true;
    if (!m_fader.Running(role)) {
      bEnabled = true;
    }
  };
  step(FadeRole::kCurrent, m_display.bFadeCurrentEnabled);
  step(FadeRole::kLast, m_display.bFadeLastEnabled);
}

void PlayControl::SendVolumes() {
  const int nPrevSum = m_nSliderSum;
  m_nSliderSum = m_nMasterSlider;
  for (const Deck& deck : m_decks) {
    m_nSliderSum += deck.nSlider;
  }
  if (m_nSliderSum == nPrevSum && !m_bVolumeDirty) {
    return;
  }
  m_bVolumeDirty = false;
  for (int nDeck = 1; nDeck <= kDecks; ++nDeck) {
    m_driver.SetDeckVolume(nDeck, DeckVolume(DeckAt(nDeck).nSlider, m_nMasterSlider));
  }
}

void PlayControl::UpdateDeckLamps() {
  for (int nDeck = 1; nDeck <= kDecks; ++nDeck) {
    Deck& deck = DeckAt(nDeck);
    deck.lamp = nDeck == m_nCurrentDeck ? DeckLamp::kCurrent
                                        : (deck.bInUse ? DeckLamp::kInUse : DeckLamp::kIdle);
  }
}

void PlayControl::OnShownTimeChanged(int nPosition, int nRemaining) {
  if (nPosition > 10000 && DecksInUse() < 2) {
    m_display.bPlayNextEnabled = true;
    m_bAutoChangeArmed = true;
  }
  const long long nAutoMs = static_cast<long long>(m_settings.nAutoTime) * 1000;
  if (nRemaining <= nAutoMs && !m_queue.IsFree(1) && m_bAutoChangeArmed &&
      m_mode == PlayMode::kAuto) {
    m_bAutoChangeArmed = false;
    if (m_nLastDeck != 0) {
      OnStopLastTrack();
    }
    AutoChange();
  }
  m_queue.SetHeadStarted(!m_queue.IsFree(0));
}

}  // namespace velvane
