#pragma once

#include <QDialog>
#include <atomic>
#include <memory>
#include <string>

#include "core/analysis/LibraryAnalysis.h"
#include "core/main/RadioCore.h"
#include "core/ports/AudioAnalyser.h"

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QThread;

namespace velvane {

// "Analyse Music Files": measures the library's music files that have no fresh result, on a
// worker thread so the window keeps painting, with a progress bar, the count and one line per
// file that could not be analysed. "Stop" (also Esc and the close box) starts no further file;
// the dialog stays until the run has ended, and the saved results then go to the main
// window's core.
class CAnalyseDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kIdCount = 1140;
  static constexpr int kIdProgress = 1141;
  static constexpr int kIdFailures = 1142;
  static constexpr int kIdStopClose = 1143;  // "Stop" while the run goes, then "Close"

  // The run starts as soon as the dialog is shown.
  CAnalyseDlg(RadioCore& core, AudioAnalyser& analyser, QWidget* pParent = nullptr);
  ~CAnalyseDlg() override;

  // Runs the dialog modally; returns the text for the administration dialog's status line.
  static std::string Run(RadioCore& core, AudioAnalyser& analyser, QWidget* pParent);

  bool Running() const { return m_pWorker != nullptr; }
  // What the run came to: the summary, or why it could not read or save analysis.dat.
  std::string Outcome() const;

  // While the run goes, stops it; the dialog closes only after it has ended.
  void reject() override;

 private:
  void BuildControls();
  void Start();
  void OnProgress(const AnalysisCount& count);
  void OnFailure(const std::string& strLine);
  void OnFinished();
  void OnStopClose();

  RadioCore& m_core;
  AudioAnalyser& m_analyser;
  std::unique_ptr<QThread> m_pWorker;
  LibraryAnalysisOutcome m_outcome;  // written by the worker, read once it has finished
  bool m_bDone = false;
  std::atomic<bool> m_bStop{false};
  QLabel* m_pCount = nullptr;
  QProgressBar* m_pProgress = nullptr;
  QListWidget* m_pFailures = nullptr;
  QPushButton* m_pStopClose = nullptr;
};

}  // namespace velvane
