#pragma once

#include <functional>
#include <string>
#include <utility>

#include "core/analysis/AnalysisSource.h"
#include "core/db/TrackDatabase.h"
#include "core/db/TrackStore.h"
#include "core/libraryimport/LibraryImport.h"
#include "core/main/MainDisplay.h"
#include "core/main/PlayControl.h"
#include "core/main/QueueEditSession.h"
#include "core/main/TimerLoop.h"
#include "core/nowplaying/NowPlayingPublisher.h"
#include "core/playback/DeckDriver.h"
#include "core/playback/PlayQueue.h"
#include "core/playback/QueueEditor.h"
#include "core/ports/Clock.h"
#include "core/ports/DeckGain.h"
#include "core/ports/HttpClient.h"
#include "core/ports/Mci.h"
#include "core/ports/ProfileStore.h"
#include "core/ports/Prompter.h"
#include "core/settings/AdminFields.h"
#include "core/settings/Settings.h"

namespace velvane {

// The main window without its widgets. It owns everything that lives for the whole run (the
// settings, the record arrays, the play queue, play control and the timer loop) and handles
// what the window does besides playing: start-up, closing, the administration dialog, the
// searches' needs, the queue editor and saved queues. The view calls the handlers and renders
// `Display()`.
class RadioCore {
 public:
  // `pGain` sets each track's gain beneath the deck volumes; without it tracks play as they
  // are even with "Even loudness" on. `makeHttp` makes the clients of the now-playing outputs
  // that talk to servers; without it they report that they cannot.
  RadioCore(Mci& mci, Clock& clock, Prompter& prompter, ProfileStore& profile,
            DeckGain* pGain = nullptr, HttpClientMaker makeHttp = {});

  // Everything the window shows, up to date.
  const MainDisplay& Display();

  // --- start-up and shutdown ---
  // The start-up sequence up to starting the timer. On a first run the operator is told and
  // `runAdminDialog` runs (with the record arrays already allocated) before start-up goes on.
  void OnInitDialog(const std::function<void()>& runAdminDialog);
  // The close request: refused while a deck is in use, otherwise the operator confirms.
  // Returns whether the window may close.
  bool OnClose();

  // --- the play buttons, sliders and timer ---
  PlayControl& Play() { return m_play; }
  const PlayControl& Play() const { return m_play; }
  void OnTimer() { m_timer.OnTimer(); }

  // --- administration ---
  // Tells the operator and returns false while a track is current.
  bool CanOpenAdmin();
  // "Save And Exit" as the dialog presses it: while a size field is not a whole number the
  // operator is told and nothing is stored. Otherwise the fields are stored with their limits
  // and every setting is saved. Returns whether the dialog may close.
  bool OnAdminSaveAndExit(const AdminFields& fields);
  // "Log File Options" accepted: kept with the other settings until "Save And Exit".
  void OnLogOptions(const std::string& strLogFile, bool bLogEnabled);

  // --- searches ---
  // The manual and automatic searches open only when both database files were opened.
  bool DatabasesOpened() const { return m_database.PlaylistLoaded() && m_database.ChartLoaded(); }
  // However the automatic selection closes, its years become the default range and are saved.
  void OnAutoSearchClosed(const YearRange& years);
  const YearRange& AutoSearchYears() const { return m_yearRange; }
  // Where searches and saved queues put tracks.
  QueueInput& Queue() { return m_queue; }

  // --- queue editor ---
  // The slots the editor starts from.
  const QueueSlots& QueueSlotsNow() const { return m_queue.Slots(); }
  void BeginQueueEdit();
  // Ends the edit; `pSaved` is the editor's copy after "Save", null after "Quit". A save is
  // refused when a track started under the editor.
  void EndQueueEdit(const QueueEditor* pSaved);
  // Called when a track starts while the editor is open, so the editor can lock itself.
  void SetQueueEditorLockedHandler(std::function<void()> onLocked);

  // --- saved queues (.pla) ---
  // The folder the file dialogs open on (created if missing).
  std::string SavedQueueFolder() const;
  // Writes the queue; a file that cannot be written is reported to the operator.
  bool OnSaveQueue(const std::string& strPath);
  void OnLoadQueue(const std::string& strPath);

  // --- database editors ---
  // After the playlist or chart editor wrote its records back: playlist.dat, then (only when
  // that worked, so the two files on disk always belong together) charts.dat, and the queue
  // looks its tracks up again. A failed save is reported; the edited records stay in effect
  // and the next save writes them. Returns whether both files were saved.
  bool SaveEditedDatabases();
  // Before an editor opens: with no database folder saved yet (a first run), nothing edited can
  // be written, and the databases of the folder chosen later replace whatever was edited. Says
  // so and asks; returns whether the editor should open.
  bool ConfirmEditingWithoutFolder();
  // Records were added to the library (a CD import): queued tracks are looked up again.
  void OnLibraryChanged() { m_queue.RefreshQueue(-1); }
  // The last step of a library import into this window's library (see CommitLibraryImport):
  // records, relationships, then playlist.dat, charts.dat and imported.dat of the database
  // folder; the queue looks its tracks up again. A failed database save has changed nothing
  // (the placed files are removed); the caller tells the operator `Problem()`. Ask
  // DatabaseWriteRefusal() before placing anything, so that a folder held by another program
  // is told before any file is placed.
  LibraryImportSaved CommitLibraryImport(const LibraryImportPlan& plan,
                                         LibraryImportPlacement& placement, ImportedFiles& imported,
                                         bool bBuildLinks);
  // After a chart update: charts.dat alone (the library did not change); the queue shows the
  // new chart info. A failed save is logged and returned, not shown.
  SaveOutcome SaveUpdatedCharts();
  // Why no database file may be written now (another program holds the folder), or empty;
  // takes the folder's lock if it has come free.
  std::string DatabaseWriteRefusal() { return m_database.LockRefusal(m_settings.strFilesDir); }

  // --- track analysis ---
  // The loudness and audible-end results the decks use.
  const AnalysisResults& Analysis() const { return m_analysis.Held(); }
  // An analysis run saved new results: the next tracks started use them.
  void OnAnalysisSaved(AnalysisResults results) { m_analysis.Replace(std::move(results)); }

  // --- what the rest of the program reads ---
  const Settings& GetSettings() const { return m_settings; }
  TrackStore& Store() { return m_store; }
  const std::string& Title() const { return m_strTitle; }
  Prompter& GetPrompter() { return m_prompter; }
  Clock& GetClock() { return m_clock; }
  const std::string& Version() const { return m_strVersion; }
  // What the listeners are told is on air.
  NowPlayingPublisher& Publisher() { return m_nowPlaying; }

 private:
  void ShowFadeAutoText();
  // Takes the database folder's lock for the run; tells the operator when another program
  // holds it.
  void LockDatabaseFolder();
  // The results of the last analysis of the music files, from the database folder.
  void LoadAnalysis();

  Clock& m_clock;
  Prompter& m_prompter;
  ProfileStore& m_profile;
  std::string m_strTitle;
  std::string m_strVersion;

  Settings m_settings;
  TrackStore m_store;
  TrackDatabase m_database;
  PlayQueue m_queue;
  DeckDriver m_driver;
  MainDisplay m_display;
  AnalysisSource m_analysis;
  QueueEditSession m_queueEdit;
  NowPlayingPublisher m_nowPlaying;
  PlayControl m_play;
  TimerLoop m_timer;
  YearRange m_yearRange;  // default range of the automatic selection
};

}  // namespace velvane
