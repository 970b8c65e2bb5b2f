#pragma once

#include <QDialog>
#include <string>

class QCheckBox;
class QLineEdit;

namespace velvane {

// "Log File Options": the play log's file name and whether tracks are logged. The values are
// read back after the dialog ends; after a cancel they are the ones it started with.
class CLogOptionsDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kIdLogFile = 1126;
  static constexpr int kIdLogEnabled = 1127;

  CLogOptionsDlg(const std::string& strLogFile, bool bLogEnabled, QWidget* pParent = nullptr);

  const std::string& LogFile() const { return m_strLogFile; }
  bool LogEnabled() const { return m_bLogEnabled; }

  void accept() override;

 private:
  std::string m_strLogFile;
  bool m_bLogEnabled;
  QLineEdit* m_pLogFile;
  QCheckBox* m_pLogEnabled;
};

}  // namespace velvane
