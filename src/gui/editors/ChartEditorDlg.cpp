#include "gui/editors/ChartEditorDlg.h"

namespace velvane {

CChartEditorDlg::CChartEditorDlg(RadioCore& core, QWidget* pParent)
    : EditorDialog(pParent), m_editor(core.Store(), core.GetPrompter(), core.Title()) {
  Build(m_editor, DatedHeaders(), DatedEdits(true), {75, 300, 540, 580, 605, 700},
        {kIdFindInPlaylist, "Find In &Playlist", [this] { m_editor.OnFindInPlaylist(); }});
}

bool CChartEditorDlg::Run(RadioCore& core, QWidget* pParent) {
  CChartEditorDlg dialog(core, pParent);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace velvane
