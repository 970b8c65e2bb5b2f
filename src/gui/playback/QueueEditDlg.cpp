#include "gui/playback/QueueEditDlg.h"

namespace velvane {

CQueueEditDlg::CQueueEditDlg(RadioCore& core, QWidget* pParent)
    : QDialog(pParent), m_core(core), m_editor(core.m_queue) {
  setWindowTitle(QStringLiteral("Edit Playlist"));
}

CQueueEditDlg::~CQueueEditDlg() = default;

void CQueueEditDlg::Run(RadioCore& core, QWidget* pParent) {
  core.BeginQueueEdit();
  CQueueEditDlg dialog(core, pParent);
  const bool bSaved = dialog.exec() == QDialog::Accepted;
  core.EndQueueEdit(bSaved ? &dialog.Editor() : nullptr);
}

}  // namespace velvane
