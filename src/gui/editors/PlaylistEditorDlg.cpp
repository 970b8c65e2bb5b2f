#include "gui/editors/PlaylistEditorDlg.h"

namespace velvane {

CPlaylistEditorDlg::CPlaylistEditorDlg(RadioCore& core, QWidget* pParent)
    : EditorDialog(pParent), m_editor(core.Store(), core.GetPrompter(), core.Title()) {
  using F = PlaylistEditor::Column;
  Build(m_editor,
        {{kIdArtistHeader, "Artist", {10, 5, 225, 15}},
         {kIdTitleHeader, "Title", {235, 5, 225, 15}},
         {kIdCdTrackHeader, "CD  Track", {460, 5, 60, 15}},
         {kIdChartInfoHeader, "Chart Info", {520, 5, 135, 15}}},
        {{F::kArtist, kIdArtist, {10, 315, 225, 15}, false, true},
         {F::kTitle, kIdTitle, {235, 315, 230, 15}, false, true},
         {F::kCD, kIdCD, {465, 315, 25, 15}, true, true},
         {F::kTrack, kIdTrack, {490, 315, 25, 15}, true, true},
         {F::kChartInfo, kIdChartInfo, {515, 315, 140, 15}, false, false}},
        {225, 460, 485, 510, 700},  // the link at 700 lies beyond the list's width
        {kIdFindChartEntry, "Find &Chart Entry", [this] { m_editor.OnFindChartEntry(); }});
}

bool CPlaylistEditorDlg::Run(RadioCore& core, QWidget* pParent) {
  CPlaylistEditorDlg dialog(core, pParent);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace velvane
