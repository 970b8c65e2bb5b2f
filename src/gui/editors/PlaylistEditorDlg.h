#pragma once

#include "core/editors/PlaylistEditor.h"
#include "core/main/RadioCore.h"
#include "gui/editors/EditorDialog.h"

namespace velvane {

// "Playlist Editor": the library record by record, on the main window's records.
class CPlaylistEditorDlg : public EditorDialog {
  Q_OBJECT

 public:
  static constexpr int kIdCdTrackHeader = 1088;
  static constexpr int kIdChartInfoHeader = 1089;
  static constexpr int kIdArtistHeader = 1090;
  static constexpr int kIdTitleHeader = 1091;
  static constexpr int kIdCD = 1110;
  static constexpr int kIdTrack = 1111;
  static constexpr int kIdChartInfo = 1112;
  static constexpr int kIdArtist = 1113;
  static constexpr int kIdTitle = 1114;
  static constexpr int kIdFindChartEntry = 1116;

  CPlaylistEditorDlg(RadioCore& core, QWidget* pParent = nullptr);

  // Runs the editor; true when it ended with "Save And Exit" (the records are then written
  // back into the core's store, and the caller saves the files).
  static bool Run(RadioCore& core, QWidget* pParent);

  const PlaylistEditor& Editor() const { return m_editor; }

 private:
  bool SaveAndExit() override { return m_editor.OnSaveAndExit(); }

  PlaylistEditor m_editor;
};

}  // namespace velvane
