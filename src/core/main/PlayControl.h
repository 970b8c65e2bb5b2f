#pragma once

#include <string>

#include "core/analysis/AnalysisSource.h"
#include "core/main/Deck.h"
#include "core/main/Fader.h"
#include "core/main/MainDisplay.h"
#include "core/main/QueueEditSession.h"
#include "core/nowplaying/NowPlayingPublisher.h"
#include "core/playback/DeckDriver.h"
#include "core/playback/PlayQueue.h"
#include "core/ports/Clock.h"
#include "core/settings/Settings.h"

namespace velvane {

enum class PlayMode { kSingle, kAuto };

// The queue head as it was when the most recent "Play Next Track" began: the track that then
// plays out as the last track.
struct LastTrack {
  std::string strArtist;
  std::string strTitle;
  std::string strCD;
  std::string strTrack;
};

// What one attempt to start the head of the queue came to.
enum class PlayNextResult { kStarted, kNothingNext, kNoMusicFile, kNoFreeDeck, kOpenFailed };

// The play buttons of the main window and the deck bookkeeping behind them: which deck plays
// the current track, which one still plays out the last track, the sliders, the fades and the
// auto change. The timer loop drives the parts that run on every tick.
class PlayControl {
 public:
  PlayControl(DeckDriver& decks, PlayQueue& queue, const Settings& settings, Clock& clock,
              MainDisplay& display, QueueEditSession& queueEdit, AnalysisSource& analysis,
              NowPlayingPublisher& nowPlaying);

  // --- buttons ---
  void OnPlayNextTrack();
  void OnPlayCurrentTrack();
  void OnStopAllTracks();
  void OnStopCurrentTrack();
  void OnStopLastTrack();
  void OnClearPlaylist();
  void OnFadeCurrent();
  void OnFadeLast();
  void OnPlayMode();

  // --- sliders: 0 (top, full) to 1000 (bottom, silent); positions outside are clamped ---
  void SetDeckSlider(int nDeck, int nPosition);
  void SetMasterSlider(int nPosition);

  // --- what the timer loop does on every tick, in its order ---
  // In Auto Play, a track that ended on the previous tick with no other deck playing is
  // followed at once by the track waiting in the head (it was never armed: a jingle shorter
  // than ten seconds, say), so the station never falls silent on its own.
  void StartAfterDeadAir();
  void StepFades();
  // Sends both deck volumes when a slider moved or a track started.
  void SendVolumes();
  // A deck reported the end of its track.
  void OnDeckFinished(int nDeck);
  void UpdateDeckLamps();
  // The shown remaining time changed: arm the auto change once the current track has played
  // ten seconds, and in Auto Play start the next track when AutoTime seconds are left.
  void OnShownTimeChanged(int nPosition, int nRemaining);
  // Tells the now-playing outputs the current deck's track and the queue's next one; they
  // hear only of changes. Called wherever the track on air may change, and on every tick for
  // the queue.
  void TellNowPlaying();

  // --- start-up ---
  // Everything stopped and idle, as at a fresh start; the queue is left alone.
  void Reset();
  void SetPlayMode(PlayMode mode);

  // --- state, read-only ---
  int CurrentDeck() const { return m_nCurrentDeck; }  // 0: no track is current
  int LastDeck() const { return m_nLastDeck; }        // 0: nothing plays out
  bool DeckInUse(int nDeck) const;
  int DecksInUse() const;
  const Decks& DeckRecords() const { return m_decks; }
  int MasterSlider() const { return m_nMasterSlider; }
  const LastTrack& LastTrackPlayed() const { return m_last; }
  PlayMode Mode() const { return m_mode; }
  bool FadeRunning(FadeRole role) const { return m_fader.Running(role); }
  // Where the deck's music ends (ms), or 0 when the file's length counts.
  int MusicEnd(int nDeck) const;

 private:
  PlayNextResult PlayNext(bool bAutoChange);
  // Auto change: starts the next queued track, moving past tracks that cannot be played.
  void AutoChange();
  Deck& DeckAt(int nDeck) { return m_decks[nDeck - 1]; }
  int ChooseFreeDeck() const;
  void SetDeckInUse(int nDeck, bool bInUse);
  void StopAndClose(int nDeck);
  // Gain and music end of the track about to open on the deck, from its analysis.
  void PrepareDeck(int nDeck, const QueueSlot& track, const std::string& strPath);
  void StartFade(FadeRole role, int nDeck);
  void ShowPlayMode();
  void WriteErrorLog(const std::string& strText);

  DeckDriver& m_driver;
  PlayQueue& m_queue;
  const Settings& m_settings;
  Clock& m_clock;
  MainDisplay& m_display;
  QueueEditSession& m_queueEdit;
  AnalysisSource& m_analysis;
  NowPlayingPublisher& m_nowPlaying;

  Decks m_decks;
  std::array<StartedTrack, kDecks> m_started;  // nSerial 0: nothing audible on that deck
  long long m_nStarts = 0;
  int m_nMasterSlider = 0;
  int m_nCurrentDeck = 0;
  int m_nLastDeck = 0;
  LastTrack m_last;
  bool m_bAutoChangeArmed = false;
  bool m_bSilenceAfterEnd = false;  // the last track ended with no deck playing
  PlayMode m_mode = PlayMode::kSingle;
  Fader m_fader;
  bool m_bVolumeDirty = false;
  int m_nSliderSum = 0;
};

}  // namespace velvane
