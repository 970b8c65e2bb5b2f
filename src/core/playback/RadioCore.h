#pragma once

#include <functional>
#include <string>

#include "core/db/TrackDatabase.h"
#include "core/db/TrackStore.h"
#include "core/playback/DeckDriver.h"
#include "core/playback/PlayQueue.h"
#include "core/playback/QueueEditor.h"
#include "core/ports/Clock.h"
#include "core/ports/Mci.h"
#include "core/ports/ProfileStore.h"
#include "core/ports/Prompter.h"
#include "core/settings/AdminFields.h"
#include "core/settings/Settings.h"

namespace velvane {

// Lamp states of the two decks.
enum DeckLamp { LampIdle = 1, LampInUse = 2, LampCurrent = 3 };

// What one attempt to start the head of the queue came to.
enum class PlayNextResult { kStarted, kNothingNext, kNoMusicFile, kNoFreeDeck, kOpenFailed };

// The main window without its widgets: everything that lives for the whole run (settings,
// record arrays, play queue, deck and fade state, display state) and every handler of the
// playback buttons and the timer. The view renders these members and forwards clicks, slider
// moves and timer ticks.
class RadioCore {
 public:
  RadioCore(Mci& mci, Clock& clock, Prompter& prompter, ProfileStore& profile);

  // --- start-up and shutdown ---
  // The start-up sequence up to starting the timer. On a first run the operator is told and
  // `runAdminDialog` runs (with the record arrays already allocated) before start-up goes on.
  void OnInitDialog(const std::function<void()>& runAdminDialog);
  // The close request: refused while a deck is in use, otherwise the operator confirms.
  // Returns whether the window may close.
  bool OnClose();

  // --- administration ---
  // Tells the operator and returns false while a track is current.
  bool CanOpenAdmin();
  // "Save And Exit": stores the fields with their limits and saves every setting.
  void OnAdminSaved(const AdminFields& fields);
  // "Save And Exit" as the dialog presses it: while a size field is not a whole number the
  // operator is told and nothing is stored. Returns whether the dialog may close.
  bool OnAdminSaveAndExit(const AdminFields& fields);

  // --- searches ---
  // The manual and automatic searches open only when both database files were opened.
  bool DatabasesOpened() const { return m_database.PlaylistLoaded() && m_database.ChartLoaded(); }
  // However the automatic selection closes, its years become the default range and are saved.
  void OnAutoSearchClosed(const YearRange& years);

  // --- queue editor ---
  void BeginQueueEdit();
  // Ends the edit; `pSaved` is the editor's copy after "Save", null after "Quit". A save is
  // refused when a track started under the editor.
  void EndQueueEdit(const QueueEditor* pSaved);
  // Called when a track starts while the editor is open, so the editor can lock itself.
  std::function<void()> m_onQueueEditorLocked;

  // --- play control (buttons) ---
  void OnPlayNextTrack();
  void OnPlayCurrentTrack();
  void OnStopAllTracks();
  void OnStopCurrentTrack();
  void OnStopLastTrack();
  void OnClearPlaylist();
  void OnFadeCurrent();
  void OnFadeLast();
  void OnPlayMode();
  // A deck reported the end of its track.
  void OnDeckFinished(int nDeck);

  // --- timer ---
  void OnTimer();

  // --- sliders: 0 (top, full) to 1000 (bottom, silent); positions outside are clamped ---
  void SetDeckSlider(int nDeck, int nPosition);
  int DeckSlider(int nDeck) const;
  void SetMasterSlider(int nPosition);

  // --- helpers ---
  // The first file (in name order) in MusicDir + CD folder whose name starts with the track.
  bool FindMusicFile(const std::string& strCD, const std::string& strTrack,
                     std::string& strPath) const;
  int ChooseFreeDeck() const;
  int FadeStep() const;
  void SetNowPlayingColour(bool bNormal) { m_bNowPlayingAlert = !bNormal; }
  void UpdateDeckLamps();
  void WritePlayLog();
  void WriteErrorLog(const std::string& strText);
  bool DeckInUse(int nDeck) const;
  int DecksInUse() const { return (m_bDeck1InUse ? 1 : 0) + (m_bDeck2InUse ? 1 : 0); }

  // --- owned for the run ---
  Settings m_settings;
  TrackStore m_store;
  TrackDatabase m_database;
  PlayQueue m_queue;
  DeckDriver m_decks;
  std::string m_strTitle;
  std::string m_strVersion;
  YearRange m_yearRange;  // default range of the automatic selection

  // --- deck bookkeeping ---
  int m_nCurrentDeck = 0;
  int m_nLastDeck = 0;
  bool m_bDeck1InUse = false;
  bool m_bDeck2InUse = false;
  std::string m_strLastArtist, m_strLastTitle, m_strLastCD, m_strLastTrack;
  bool m_bAutoChangeArmed = false;
  int m_nPlayMode = 0;  // 1 "Auto Play", 0 "Single Play"
  bool m_bVolumeDirty = false;

  // --- fades ---
  bool m_bFadeCurrent = false;
  bool m_bFadeLast = false;
  bool m_bFadeCurrentOut = false;
  bool m_bFadeLastOut = false;
  int m_nFadeCurrentDeck = 0;
  int m_nFadeLastDeck = 0;
  int m_nFadeStep = 0;

  // --- the queue editor, while it is open ---
  bool m_bQueueEditorOpen = false;
  bool m_bQueueChangedInEditor = false;

  // --- sliders ---
  int m_nDeck1Slider = 0;
  int m_nDeck2Slider = 0;
  int m_nMasterSlider = 0;

  // --- timer loop ---
  int m_nSliderSum = 0;
  int m_nPrevSliderSum = 0;
  std::string m_strRemaining;
  std::string m_strPrevRemaining;
  std::string m_strClock;
  std::string m_strPrevClock;

  // --- what the window shows ---
  std::string m_strRemainingDisplay = "00:00";  // 1012
  std::string m_strClockDisplay;                // 1041
  std::string m_strStatus;                      // 1067: "Ready", "No Database", "Not Ready"
  std::string m_strLastTrackLine;               // 1068
  std::string m_strPlayModeText;                // 1064: "Single Play" / "Auto Play"
  std::string m_strFadeAutoText;                // 1066
  bool m_bNowPlayingAlert = false;
  int m_nDeck1Lamp = LampIdle;
  int m_nDeck2Lamp = LampIdle;
  bool m_bPlayNextEnabled = true;     // 1001
  bool m_bPlayCurrentEnabled = true;  // 1049
  bool m_bFadeCurrentEnabled = true;  // 1058
  bool m_bFadeLastEnabled = true;     // 1059

 private:
  PlayNextResult PlayNext(bool bAutoChange);
  // Auto change: starts the next queued track, moving past tracks that cannot be played.
  void AutoChange();
  void SetDeckInUse(int nDeck, bool bInUse);
  void StopAndClose(int nDeck);
  // One tick of a running fade; returns whether it is still running.
  bool StepFade(int nDeck, bool bOut);
  std::string StatusText() const;
  // The play mode field follows the current play mode.
  void ShowPlayMode() { m_strPlayModeText = m_nPlayMode == 1 ? "Auto Play" : "Single Play"; }

  Clock& m_clock;
  Prompter& m_prompter;
  ProfileStore& m_profile;
};

}  // namespace velvane
