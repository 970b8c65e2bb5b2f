#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "core/ports/FileChooser.h"

namespace velvane {

// The file chooser over QFileDialog: an open dialog that accepts only existing files, a save
// dialog that asks before overwriting and adds the default extension, and a folder browser.
// Paths come back with the platform's separators; a folder comes back WITHOUT a trailing
// separator (the caller adds it, as the administration dialog does).
class QtFileChooser : public FileChooser {
 public:
  explicit QtFileChooser(QWidget* pParent = nullptr) : m_pParent(pParent) {}

  bool ChooseOpenFile(const FileDialogOptions& options, std::string& path) override;
  bool ChooseSaveFile(const FileDialogOptions& options, std::string& path) override;
  // `path` may hold the folder to start in; on success it holds the folder chosen.
  bool ChooseFolder(const std::string& title, std::string& path) override;

  void SetParentWidget(QWidget* pParent) { m_pParent = pParent; }

 private:
  bool ChooseFile(const FileDialogOptions& options, bool bSave, std::string& path);

  QPointer<QWidget> m_pParent;
};

// The Windows filter text "Playlist Files (*.pla)|*.pla|" (description and pattern pairs,
// each ended by "|") as Qt's name filters "Playlist Files (*.pla)"; several pairs are joined
// with ";;". A description without its pattern in brackets gets it added.
QString ToQtNameFilter(const std::string& strFilter);

// A folder path without its trailing separators; the root folder stays as it is.
QString WithoutTrailingSeparator(const QString& folder);

}  // namespace velvane
