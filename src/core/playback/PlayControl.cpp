// The play control buttons of the main window, and the end of a track.
#include "core/playback/RadioCore.h"

namespace velvane {

PlayNextResult RadioCore::PlayNext(bool bAutoChange) {
  if (m_queue.IsFree(1)) {
    if (m_nCurrentDeck != 0) {
      return PlayNextResult::kNothingNext;
    }
    m_queue.m_bHeadStarted = false;  // play the head itself instead of removing it
  }
  m_strLastArtist = m_queue.m_strQueueArtist[0];
  m_strLastTitle = m_queue.m_strQueueTitle[0];
  m_strLastCD = m_queue.m_strQueueCD[0];
  m_strLastTrack = m_queue.m_strQueueTrack[0];
  m_queue.AdvanceQueue();

  std::string strPath;
  if (!FindMusicFile(m_queue.m_strQueueCD[0], m_queue.m_strQueueTrack[0], strPath)) {
    return PlayNextResult::kNoMusicFile;
  }
  const int nDeck = ChooseFreeDeck();
  if (nDeck == 0) {
    return PlayNextResult::kNoFreeDeck;
  }
  const int nPrevCurrent = m_nCurrentDeck;
  const int nPrevLast = m_nLastDeck;
  const bool bPrevPlayNext = m_bPlayNextEnabled;
  const bool bPrevPlayCurrent = m_bPlayCurrentEnabled;

  SetNowPlayingColour(true);
  m_bPlayNextEnabled = false;
  m_bPlayCurrentEnabled = false;
  SetDeckSlider(nDeck, 0);
  m_bVolumeDirty = true;
  m_nCurrentDeck = nDeck;
  m_nLastDeck = DeckInUse(3 - nDeck) ? 3 - nDeck : 0;
  const bool bOpened = m_decks.OpenAndPlayDeck(nDeck, strPath) == 1;
  if (!bOpened && bAutoChange) {
    // Auto change must not leave a silent deck marked as playing: undo and report.
    StopAndClose(nDeck);
    m_nCurrentDeck = nPrevCurrent;
    m_nLastDeck = nPrevLast;
    m_bPlayNextEnabled = bPrevPlayNext;
    m_bPlayCurrentEnabled = bPrevPlayCurrent;
    return PlayNextResult::kOpenFailed;
  }
  if (m_bQueueEditorOpen) {
    m_bQueueChangedInEditor = true;
    if (m_onQueueEditorLocked) {
      m_onQueueEditorLocked();
    }
  }
  SetDeckInUse(nDeck, true);
  if (m_settings.nLogEnabled != 0) {
    WritePlayLog();
  }
  return bOpened ? PlayNextResult::kStarted : PlayNextResult::kOpenFailed;
}

void RadioCore::AutoChange() {
  // The track that plays out is the one in the head now; skipped tracks must not replace it
  // in the last-track line.
  const std::string strArtist = m_queue.m_strQueueArtist[0];
  const std::string strTitle = m_queue.m_strQueueTitle[0];
  const std::string strCD = m_queue.m_strQueueCD[0];
  const std::string strTrack = m_queue.m_strQueueTrack[0];
  bool bSkipped = false;
  for (;;) {
    const PlayNextResult result = PlayNext(true);
    if (result != PlayNextResult::kNoMusicFile && result != PlayNextResult::kOpenFailed) {
      break;
    }
    WriteErrorLog(
        "Music file CD " + m_queue.m_strQueueCD[0] + " Track " + m_queue.m_strQueueTrack[0] +
        (result == PlayNextResult::kNoMusicFile ? " could not be found" : " could not be played"));
    bSkipped = true;
    if (m_queue.IsFree(1)) {
      break;  // nothing queued behind the bad track
    }
    m_queue.m_bHeadStarted = true;  // the next attempt moves past the bad track
  }
  if (bSkipped) {
    m_strLastArtist = strArtist;
    m_strLastTitle = strTitle;
    m_strLastCD = strCD;
    m_strLastTrack = strTrack;
  }
}

void RadioCore::OnPlayNextTrack() {
  PlayNext(false);
}

void RadioCore::OnPlayCurrentTrack() {
  if (DecksInUse() != 0) {
    return;
  }
  m_bPlayCurrentEnabled = false;
  m_queue.m_bHeadStarted = false;
  OnPlayNextTrack();
}

void RadioCore::OnStopAllTracks() {
  m_decks.StopAndCloseAllDecks();
  m_bDeck1InUse = false;
  m_bDeck2InUse = false;
  m_nCurrentDeck = 0;
  m_nLastDeck = 0;  // nothing plays out any more, so no last-track line either
  m_bAutoChangeArmed = false;
  m_strRemainingDisplay.clear();
  m_bPlayNextEnabled = true;
  m_strLastTrackLine.clear();
}

void RadioCore::OnStopCurrentTrack() {
  const int nStopped = m_nCurrentDeck;
  StopAndClose(nStopped);
  SetDeckInUse(nStopped, false);
  m_nCurrentDeck = DecksInUse() != 0 ? 3 - nStopped : 0;
  m_bAutoChangeArmed = false;
  m_bPlayNextEnabled = true;
  if (m_nLastDeck != 0) {
    // The track still playing out becomes current again and takes the head slot back.
    m_nCurrentDeck = m_nLastDeck;
    m_nLastDeck = 0;
    m_queue.m_strQueueCD[0] = m_strLastCD;
    m_queue.m_strQueueTrack[0] = m_strLastTrack;
    m_queue.RefreshQueue(-1);
  }
}

void RadioCore::OnStopLastTrack() {
  m_nLastDeck = 3 - m_nCurrentDeck;
  StopAndClose(m_nLastDeck);
  SetDeckInUse(m_nLastDeck, false);
  m_nLastDeck = 0;
  m_strLastTrackLine.clear();
}

void RadioCore::OnDeckFinished(int nDeck) {
  StopAndClose(nDeck);
  SetDeckInUse(nDeck, false);
  if (nDeck == m_nCurrentDeck) {
    if (m_nLastDeck != 0) {
      OnStopLastTrack();
    }
    m_bPlayNextEnabled = true;
    m_nCurrentDeck = 0;
  }
  if (nDeck == m_nLastDeck) {
    m_nLastDeck = 0;
  }
  if (DecksInUse() == 0) {
    m_queue.m_bHeadStarted = true;  // the finished track leaves the head
    m_queue.AdvanceQueue();
    m_bPlayNextEnabled = true;
    m_queue.m_bHeadStarted = false;
  }
}

void RadioCore::OnClearPlaylist() {
  OnStopAllTracks();
  m_queue.ClearQueue();
  m_queue.m_bHeadStarted = false;
  m_strRemainingDisplay.clear();
  SetNowPlayingColour(true);
}

void RadioCore::OnFadeCurrent() {
  if (m_nCurrentDeck == 0) {
    return;
  }
  m_nFadeCurrentDeck = m_nCurrentDeck;
  m_nFadeStep = FadeStep();
  m_bFadeCurrent = true;
  m_bFadeCurrentOut = DeckSlider(m_nFadeCurrentDeck) != 1000;  // a silent deck fades in
}

void RadioCore::OnFadeLast() {
  if (m_nLastDeck == 0) {
    return;
  }
  m_nFadeLastDeck = m_nLastDeck;
  m_nFadeStep = FadeStep();
  m_bFadeLast = true;
  m_bFadeLastOut = DeckSlider(m_nFadeLastDeck) != 1000;
}

void RadioCore::OnPlayMode() {
  m_nPlayMode = 1 - m_nPlayMode;
  ShowPlayMode();
}

}  // namespace velvane
