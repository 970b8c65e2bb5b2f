// Start-up, shutdown and the dialogs the main window opens: the parts of the main window that
// are neither play control nor the timer.
#include "core/playback/DisplayFormat.h"
#include "core/playback/RadioCore.h"

namespace velvane {

void RadioCore::OnInitDialog(const std::function<void()>& runAdminDialog) {
  // Run-time state as at a fresh start, then an empty queue with everything stopped.
  m_bDeck1InUse = m_bDeck2InUse = false;
  m_nCurrentDeck = m_nLastDeck = 0;
  m_bFadeCurrent = m_bFadeLast = m_bAutoChangeArmed = false;
  m_nPlayMode = 0;
  m_nMasterSlider = 0;
  m_store.Allocate(0, 0);
  OnClearPlaylist();
  m_settings = Settings{};

  if (!LoadSettings(m_profile, m_settings)) {
    m_prompter.Show("Files not found. The admin system will now be opened", m_strTitle,
                    PromptIcon::Exclamation, PromptButtons::Ok);
    // Commands of the administration dialog may write records: give them somewhere to go.
    m_store.Allocate(m_settings.nPlaySize, m_settings.nChartSize);
    if (CanOpenAdmin()) {
      runAdminDialog();
    }
  } else {
    m_nPlayMode = m_settings.nPlayMode;
    m_nMasterSlider = m_settings.nInitVolume;
  }

  if (m_settings.strFilesDir.empty()) {
    // No database folder chosen yet (a first run left with "Quit"): make no files in
    // whatever folder the program happens to run in.
    m_store.Allocate(m_settings.nPlaySize, m_settings.nChartSize);
  } else {
    m_database.OpenAndLoad(m_settings.strFilesDir, m_settings.nPlaySize, m_settings.nChartSize);
  }
  m_yearRange = LoadYearRange(m_profile, m_clock);
  m_strFadeAutoText = FormatFadeAutoText(m_settings.nFadeTime, m_settings.nAutoTime);
  ShowPlayMode();
  SetMasterSlider(m_nMasterSlider);
}

bool RadioCore::OnClose() {
  if (m_bDeck1InUse || m_bDeck2InUse) {
    m_prompter.Show("Can't exit while tracks are running. Stop all tracks first", m_strTitle,
                    PromptIcon::Exclamation, PromptButtons::Ok);
    return false;
  }
  return m_prompter.Show("Close the program?", m_strTitle, PromptIcon::Question,
                         PromptButtons::OkCancel) == PromptAnswer::Ok;
}

bool RadioCore::CanOpenAdmin() {
  if (m_nCurrentDeck != 0) {
    m_prompter.Show("Admin is not available while tracks are playing", m_strTitle,
                    PromptIcon::Exclamation, PromptButtons::Ok);
    return false;
  }
  return true;
}

void RadioCore::OnAdminSaved(const AdminFields& fields) {
  StoreAdminFields(fields, m_store.PlaylistCount(), m_store.ChartCount(), m_settings);
  m_strFadeAutoText = FormatFadeAutoText(m_settings.nFadeTime, m_settings.nAutoTime);
  ShowPlayMode();
  SaveSettings(m_profile, m_settings);
}

bool RadioCore::OnAdminSaveAndExit(const AdminFields& fields) {
  const std::string strError = AdminFieldsError(fields);
  if (!strError.empty()) {
    m_prompter.Show(strError, m_strTitle, PromptIcon::Exclamation, PromptButtons::Ok);
    return false;
  }
  OnAdminSaved(fields);
  return true;
}

void RadioCore::OnAutoSearchClosed(const YearRange& years) {
  m_yearRange = years;
  SaveYearRange(m_profile, years);
}

void RadioCore::BeginQueueEdit() {
  m_bQueueChangedInEditor = false;
  m_bQueueEditorOpen = true;
}

void RadioCore::EndQueueEdit(const QueueEditor* pSaved) {
  if (pSaved == nullptr) {
    m_bQueueEditorOpen = false;
    return;
  }
  if (m_bQueueChangedInEditor) {
    m_prompter.Show("The Playlist has been changed, can't save", "ROLV Disco System",
                    PromptIcon::Exclamation, PromptButtons::Ok);
  } else {
    m_queue.m_strQueueCD = pSaved->m_strCD;
    m_queue.m_strQueueTrack = pSaved->m_strTrack;
    m_queue.m_strQueueArtist = pSaved->m_strArtist;
    m_queue.m_strQueueTitle = pSaved->m_strTitle;
    m_queue.m_nQueueChartLink = pSaved->m_nChartLink;
  }
  m_queue.RefreshQueue(-1);
  m_bQueueEditorOpen = false;
}

}  // namespace velvane
