#pragma once

#include <QDialog>
#include <string>

#include "core/main/RadioCore.h"
#include "core/maintenance/CDImport.h"
#include "core/ports/FileChooser.h"
#include "core/ports/TagReader.h"

class QListWidget;

namespace velvane {

// "Import a CD": lists the folder of a chosen file split into track, artist and title, and
// appends its tracks to the library held by the main window (not saved to disk here).
class CImportCDDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kIdList = 1133;
  static constexpr int kIdImportSave = 1134;
  static constexpr int kIdBrowse = 1138;

  CImportCDDlg(RadioCore& core, FileChooser& chooser, TagReader& tags, QWidget* pParent = nullptr);

 private:
  void OnBrowseForCD();
  void OnImportSave();
  // Lists the folder of `strPath` and, with `bImport`, appends its tracks after the capacity
  // check; returns false when that check refused.
  bool ScanCDFolder(const std::string& strPath, bool bImport);

  RadioCore& m_core;
  FileChooser& m_chooser;
  TagReader& m_tags;
  std::string m_strPath;  // the file chosen by the last browse
  QListWidget* m_pList = nullptr;
};

}  // namespace velvane
