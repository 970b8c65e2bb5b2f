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

// The installed manual, README.md: in the folder `strDocFromProgram` leads to from the program's
// folder when it is there, else in the folder the build was configured to install it in.
QString ManualPath(const QString& strProgramDir, const QString& strDocFromProgram,
                   const QString& strConfiguredDocDir);

}  // namespace velvane
