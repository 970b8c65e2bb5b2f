#pragma once

#include <QDialog>
#include <string>

namespace velvane {

// "The ROLV Radio System": program title and version beside the application icon, where to
// find the manual, and the main window's keys.
class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kIdTitleVersion = 1128;

  CAboutDlg(const std::string& strTitle, const std::string& strVersion, QWidget* pParent = nullptr);
};

}  // namespace velvane
