#include "gui/editors/NumberOneEditorDlg.h"

namespace velvane {

CNumberOneEditorDlg::CNumberOneEditorDlg(RadioCore& core, QWidget* pParent)
    : EditorDialog(pParent),
      m_editor(core.Store(), core.GetPrompter(), core.Title(), core.GetSettings().strFilesDir,
               core.GetClock(), [&core] { return core.DatabaseWriteRefusal(); }) {
  Build(m_editor, DatedHeaders(), DatedEdits(false), {75, 300, 540, 580, 605},
        {kIdFindInPlaylist, "Find In &Playlist", [this] { m_editor.OnFindInPlaylist(); }});
}

bool CNumberOneEditorDlg::Run(RadioCore& core, QWidget* pParent) {
  CNumberOneEditorDlg dialog(core, pParent);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace velvane
