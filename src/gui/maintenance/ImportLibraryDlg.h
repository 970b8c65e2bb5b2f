#pragma once

#include <QDialog>
#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "core/libraryimport/LibraryImport.h"
#include "core/main/RadioCore.h"
#include "core/ports/FileChooser.h"
#include "core/ports/TagReader.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QThread;

namespace velvane {

// "Import Music Library": brings folders of tagged music into the library. The operator adds
// source folders, sees the plan (CD, track, artist, title, source) before anything is placed,
// then imports. Planning and placing run on a worker thread so the window keeps painting;
// Cancel stops either, and a placement stopped before the save is removed again. The save
// goes through the main window's core, whose library is then the new one at once.
class CImportLibraryDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kIdFolders = 1150;
  static constexpr int kIdAddFolder = 1151;
  static constexpr int kIdRemoveFolder = 1152;
  static constexpr int kIdCopy = 1153;
  static constexpr int kIdBuildLinks = 1154;
  static constexpr int kIdPreview = 1155;
  static constexpr int kIdPlan = 1156;
  static constexpr int kIdProgress = 1157;
  static constexpr int kIdStatus = 1158;
  static constexpr int kIdImport = 1159;
  static constexpr int kIdCancelClose = 1160;  // "Cancel" while working, else "Close"

  CImportLibraryDlg(RadioCore& core, FileChooser& chooser, TagReader& tags,
                    QWidget* pParent = nullptr);
  ~CImportLibraryDlg() override;

  // Runs the dialog modally; returns the text for the administration dialog's status line.
  static std::string Run(RadioCore& core, FileChooser& chooser, TagReader& tags, QWidget* pParent);

  bool Working() const { return m_pWorker != nullptr; }
  // The summary of the last import, or empty when none was carried out.
  const std::string& Outcome() const { return m_strOutcome; }

  // While working, stops the work; the dialog closes only when idle.
  void reject() override;

 private:
  void BuildControls();
  void OnAddFolder();
  void OnRemoveFolder();
  void OnPreview();
  void OnImport();
  void OnCancelClose();
  void OnProgress(const ImportProgress& progress);
  // Reports of the worker, reaching OnProgress as queued calls.
  ImportProgressReport ProgressReporter();
  void OnPlanned();
  void OnPlaced();
  // Runs `work` on the worker thread, then `onDone` on this one.
  void StartWork(std::function<void()> work, void (CImportLibraryDlg::*onDone)());
  void EndWork();
  void ShowPlan();
  void SetStatus(const std::string& strText);
  void Tell(const std::string& strText);
  void EnableControls();
  std::vector<std::string> SourceFolders() const;

  RadioCore& m_core;
  FileChooser& m_chooser;
  TagReader& m_tags;
  std::unique_ptr<QThread> m_pWorker;
  std::atomic<bool> m_bStop{false};
  // Written by the worker, read once it has finished.
  LibraryImportPlan m_plan;
  LibraryImportPlacement m_placement;
  ImportedFiles m_imported;
  std::string m_strImportedError;
  bool m_bPlanned = false;  // m_plan is the preview of the folders listed now
  std::string m_strOutcome;

  QListWidget* m_pFolders = nullptr;
  QPushButton* m_pAddFolder = nullptr;
  QPushButton* m_pRemoveFolder = nullptr;
  QCheckBox* m_pCopy = nullptr;
  QCheckBox* m_pBuildLinks = nullptr;
  QPushButton* m_pPreview = nullptr;
  QListWidget* m_pPlan = nullptr;
  QProgressBar* m_pProgress = nullptr;
  QLabel* m_pStatus = nullptr;
  QPushButton* m_pImport = nullptr;
  QPushButton* m_pCancelClose = nullptr;
};

}  // namespace velvane
