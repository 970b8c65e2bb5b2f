#include "gui/settings/AboutDlg.h"

namespace velvane {

CAboutDlg::CAboutDlg(const std::string& strTitle, const std::string& strVersion, QWidget* pParent)
    : QDialog(pParent) {
  setWindowTitle(QStringLiteral("The ROLV Radio System"));
  (void)strTitle;
  (void)strVersion;
}

}  // namespace velvane
