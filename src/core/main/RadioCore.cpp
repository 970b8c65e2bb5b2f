#include "core/main/RadioCore.h"

#include <utility>

#include "core/db/Logs.h"
#include "core/playback/SavedQueue.h"
#include "core/settings/ProgramInfo.h"
#include "core/text/DisplayFormat.h"

namespace velvane {

RadioCore::RadioCore(Mci& mci, Clock& clock, Prompter& prompter, ProfileStore& profile,
                     DeckGain* pGain, HttpClientMaker makeHttp)
    : m_clock(clock),
      m_prompter(prompter),
      m_profile(profile),
      m_strTitle(kProgramTitle),
      m_strVersion(kVersionText),
      m_database(m_store, clock, prompter, kProgramTitle),
      m_queue(m_store),
      m_driver(mci, pGain),
      m_nowPlaying(clock, std::move(makeHttp)),
      m_play(m_driver, m_queue, m_settings, clock, m_display, m_queueEdit, m_analysis,
             m_nowPlaying),
      m_timer(m_play, m_driver, m_queue, m_database, m_settings, clock, m_display) {}

const MainDisplay& RadioCore::Display() {
  // The queue and the decks keep their own state; the window sees a copy of it.
  m_display.queueSlots = m_queue.Slots();
  m_display.queue = m_queue.Texts();
  m_display.decks = m_play.DeckRecords();
  m_display.nMasterSlider = m_play.MasterSlider();
  return m_display;
}

void RadioCore::ShowFadeAutoText() {
  m_display.strFadeAuto = FormatFadeAutoText(m_settings.nFadeTime, m_settings.nAutoTime);
}

void RadioCore::OnInitDialog(const std::function<void()>& runAdminDialog) {
  // Run-time state as at a fresh start, then an empty queue with everything stopped.
  m_play.Reset();
  m_store.Allocate(0, 0);
  m_play.OnClearPlaylist();
  m_settings = Settings{};

  PlayMode mode = PlayMode::kSingle;
  int nMasterSlider = 0;
  if (!LoadSettings(m_profile, m_settings)) {
    m_prompter.Show("Files not found. The admin system will now be opened", m_strTitle,
                    PromptIcon::Exclamation, PromptButtons::Ok);
    // Commands of the administration dialog may write records: give them somewhere to go.
    m_store.Allocate(m_settings.nPlaySize, m_settings.nChartSize);
    if (CanOpenAdmin()) {
      runAdminDialog();
    }
  } else {
    mode = m_settings.nPlayMode == 1 ? PlayMode::kAuto : PlayMode::kSingle;
    nMasterSlider = m_settings.nInitVolume;
    const std::string strNote = LimitDatabaseSizes(m_settings);
    if (!strNote.empty()) {
      m_prompter.Show(strNote, m_strTitle, PromptIcon::Exclamation, PromptButtons::Ok);
    }
  }

  if (m_settings.strFilesDir.empty()) {
    // No database folder chosen yet (a first run left with "Quit"): make no files in
    // whatever folder the program happens to run in.
    m_store.Allocate(m_settings.nPlaySize, m_settings.nChartSize);
  } else {
    LockDatabaseFolder();
    m_database.OpenAndLoad(m_settings.strFilesDir, m_settings.nPlaySize, m_settings.nChartSize);
    LoadAnalysis();
  }
  m_yearRange = LoadYearRange(m_profile, m_clock);
  m_nowPlaying.Configure(m_settings);
  ShowFadeAutoText();
  m_play.SetPlayMode(mode);
  m_play.SetMasterSlider(nMasterSlider);
}

void RadioCore::LoadAnalysis() {
  // Without its results every track plays as it is: worth a line in the error log, not a
  // message at every start.
  std::string strError;
  if (!m_analysis.Open(m_settings.strFilesDir, strError)) {
    WriteErrorLog(m_settings.strFilesDir, m_clock,
                  "The music file analysis could not be read (" + strError + ")");
  }
}

void RadioCore::LockDatabaseFolder() {
  std::error_code error;
  // Held for the whole run. Without it this run only reads: every save is refused (and says
  // why), since two programs saving the same files would lose one of the two saves.
  if (m_database.LockFolder(m_settings.strFilesDir, error) == LockResult::kInUse) {
    m_prompter.Show(
        "The database folder is in use by another Velvane program, so changes to the databases "
        "cannot be saved until it has finished",
        m_strTitle, PromptIcon::Exclamation, PromptButtons::Ok);
  }
}

bool RadioCore::OnClose() {
  if (m_play.DecksInUse() != 0) {
    m_prompter.Show("Can't exit while tracks are running. Stop all tracks first", m_strTitle,
                    PromptIcon::Exclamation, PromptButtons::Ok);
    return false;
  }
  return m_prompter.Show("Close the program?", m_strTitle, PromptIcon::Question,
                         PromptButtons::OkCancel) == PromptAnswer::Ok;
}

bool RadioCore::CanOpenAdmin() {
  if (m_play.CurrentDeck() != 0) {
    m_prompter.Show("Admin is not available while tracks are playing", m_strTitle,
                    PromptIcon::Exclamation, PromptButtons::Ok);
    return false;
  }
  return true;
}

bool RadioCore::OnAdminSaveAndExit(const AdminFields& fields) {
  const std::string strError = AdminFieldsError(fields);
  if (!strError.empty()) {
    m_prompter.Show(strError, m_strTitle, PromptIcon::Exclamation, PromptButtons::Ok);
    return false;
  }
  StoreAdminFields(fields, m_store.PlaylistCount(), m_store.ChartCount(), m_settings);
  ShowFadeAutoText();
  m_play.SetPlayMode(m_play.Mode());  // the play mode field is written again, unchanged
  SaveSettings(m_profile, m_settings);
  m_nowPlaying.Configure(m_settings);
  return true;
}

void RadioCore::OnLogOptions(const std::string& strLogFile, bool bLogEnabled) {
  m_settings.strLogFile = strLogFile;
  m_settings.nLogEnabled = bLogEnabled ? 1 : 0;
}

void RadioCore::OnAutoSearchClosed(const YearRange& years) {
  m_yearRange = years;
  SaveYearRange(m_profile, years);
}

void RadioCore::BeginQueueEdit() {
  m_queueEdit.Begin();
}

void RadioCore::EndQueueEdit(const QueueEditor* pSaved) {
  m_queueEdit.End();
  if (pSaved == nullptr) {
    return;
  }
  if (m_queueEdit.QueueChanged()) {
    m_prompter.Show("The Playlist has been changed, can't save", "ROLV Disco System",
                    PromptIcon::Exclamation, PromptButtons::Ok);
    m_queue.RefreshQueue(-1);
  } else {
    m_queue.ReplaceSlots(pSaved->Slots());
  }
}

void RadioCore::SetQueueEditorLockedHandler(std::function<void()> onLocked) {
  m_queueEdit.SetLockedHandler(std::move(onLocked));
}

bool RadioCore::ConfirmEditingWithoutFolder() {
  if (!m_settings.strFilesDir.empty()) {
    return true;
  }
  return m_prompter.Show(
             "No database folder has been saved yet, so nothing edited now can be saved: when "
             "this dialog is left with Save And Exit, the program loads the databases of the "
             "chosen folder instead. Open the editor anyway?",
             m_strTitle, PromptIcon::Question, PromptButtons::YesNo) == PromptAnswer::Yes;
}

bool RadioCore::SaveEditedDatabases() {
  m_queue.RefreshQueue(-1);
  const std::string& strFilesDir = m_settings.strFilesDir;
  if (strFilesDir.empty()) {  // a first run before any folder was saved: make no stray files
    m_prompter.Show(
        "No database folder has been saved yet, so the files were not written. The edits are "
        "lost when the databases of the folder chosen in this dialog are loaded.",
        m_strTitle, PromptIcon::Exclamation, PromptButtons::Ok);
    return false;
  }
  const bool bSaved = static_cast<bool>(m_database.SaveBoth(strFilesDir));
  if (!bSaved) {
    m_prompter.Show(
        "The databases could not be saved (errorlog.txt says why). The edits stay in "
        "effect: open the editor again and use Save And Exit to save them.",
        m_strTitle, PromptIcon::Exclamation, PromptButtons::Ok);
  }
  return bSaved;
}

LibraryImportSaved RadioCore::CommitLibraryImport(const LibraryImportPlan& plan,
                                                  LibraryImportPlacement& placement,
                                                  ImportedFiles& imported, bool bBuildLinks) {
  LibraryImportSaved saved = velvane::CommitLibraryImport(
      m_database, m_store, m_settings.strFilesDir, plan, placement, imported, bBuildLinks);
  OnLibraryChanged();
  return saved;
}

SaveOutcome RadioCore::SaveUpdatedCharts() {
  m_queue.RefreshQueue(-1);
  return m_database.SaveCharts(m_settings.strFilesDir);
}

std::string RadioCore::SavedQueueFolder() const {
  return velvane::SavedQueueFolder(m_settings.strFilesDir);
}

bool RadioCore::OnSaveQueue(const std::string& strPath) {
  if (SaveQueue(strPath, m_queue)) {
    return true;
  }
  const std::string strText = "Could not save the playlist file " + strPath;
  WriteErrorLog(m_settings.strFilesDir, m_clock, strText);
  m_prompter.Show(strText, m_strTitle, PromptIcon::Exclamation, PromptButtons::Ok);
  return false;
}

void RadioCore::OnLoadQueue(const std::string& strPath) {
  if (const std::string strWhy = LoadQueue(strPath, m_queue); !strWhy.empty()) {
    WriteErrorLog(m_settings.strFilesDir, m_clock,
                  "Could not load the playlist file " + strPath + ": " + strWhy);
  }
}

}  // namespace velvane
