#pragma once

#include "core/editors/ChartEditor.h"
#include "core/main/RadioCore.h"
#include "gui/editors/EditorDialog.h"

namespace velvane {

// "Chart Editor": the chart history entry by entry, on the main window's records.
class CChartEditorDlg : public EditorDialog {
  Q_OBJECT

 public:
  static constexpr int kIdPositionHeader = 1088;
  static constexpr int kIdDateHeader = 1089;
  static constexpr int kIdArtistHeader = 1090;
  static constexpr int kIdTitleHeader = 1091;
  static constexpr int kIdCdTrackHeader = 1092;
  static constexpr int kIdCD = 1110;
  static constexpr int kIdTrack = 1111;
  static constexpr int kIdPosition = 1112;
  static constexpr int kIdArtist = 1113;
  static constexpr int kIdTitle = 1114;
  static constexpr int kIdDate = 1121;
  static constexpr int kIdFindInPlaylist = 1122;

  CChartEditorDlg(RadioCore& core, QWidget* pParent = nullptr);

  // Runs the editor; true when it ended with "Save And Exit".
  static bool Run(RadioCore& core, QWidget* pParent);

 private:
  bool SaveAndExit() override { return m_editor.OnSaveAndExit(); }

  ChartEditor m_editor;
};

}  // namespace velvane
