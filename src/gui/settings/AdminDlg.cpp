#include "gui/settings/AdminDlg.h"

namespace velvane {

CAdminDlg::CAdminDlg(RadioCore& core, FileChooser& chooser, QWidget* pParent)
    : QDialog(pParent), m_core(core), m_chooser(chooser) {
  setWindowTitle(QStringLiteral("Velvane Admin"));
}

bool CAdminDlg::Run(RadioCore& core, FileChooser& chooser, QWidget* pParent) {
  CAdminDlg dialog(core, chooser, pParent);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace velvane
