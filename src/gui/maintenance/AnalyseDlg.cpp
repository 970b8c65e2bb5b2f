#include "gui/maintenance/AnalyseDlg.h"

#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <thread>

#include "gui/common/DialogKit.h"

namespace velvane {

CAnalyseDlg::CAnalyseDlg(RadioCore& core, AudioAnalyser& analyser, QWidget* pParent)
    : QDialog(pParent), m_core(core), m_analyser(analyser) {
  setWindowTitle(QStringLiteral("Analyse Music Files"));
  BuildControls();
  QTimer::singleShot(0, this, &CAnalyseDlg::Start);
}

CAnalyseDlg::~CAnalyseDlg() {
  // The worker reports to this dialog: it must have ended first.
  if (m_pWorker) {
    m_pWorker->wait();
  }
}

std::string CAnalyseDlg::Run(RadioCore& core, AudioAnalyser& analyser, QWidget* pParent) {
  CAnalyseDlg dialog(core, analyser, pParent);
  dialog.exec();
  return dialog.Outcome();
}

void CAnalyseDlg::BuildControls() {
  DialogBuilder kit(this);
  kit.SetFixedSize(260, 160);
  kit.Label(QStringLiteral("Measuring loudness, peak and silences of the music files"), kNoId,
            {10, 7, 240, 12});
  m_pProgress = kit.ProgressBar(kIdProgress, {10, 22, 240, 14});
  m_pCount = kit.Label(QStringLiteral("Looking for music files..."), kIdCount, {10, 41, 240, 12});
  kit.Label(QStringLiteral("Files that could not be analysed:"), kNoId, {10, 56, 240, 12});
  m_pFailures = kit.List(kIdFailures, {10, 69, 240, 60});
  // A failure line names CD, track, file and reason: wrapped, so no reason is cut.
  m_pFailures->setWordWrap(true);
  m_pFailures->setTextElideMode(Qt::ElideNone);
  m_pFailures->setResizeMode(QListView::Adjust);
  m_pStopClose = kit.Button(QStringLiteral("Stop"), kIdStopClose, {190, 136, 60, 16});
  connect(m_pStopClose, &QPushButton::clicked, this, &CAnalyseDlg::OnStopClose);
}

// Reports come on the worker thread and reach the dialog as queued calls.
void CAnalyseDlg::Start() {
  const Settings& settings = m_core.GetSettings();
  LibraryAnalysisRequest request{
      m_core.Store(),
      settings.strMusicDir,
      settings.strFilesDir,
      m_analyser,
      m_core.GetClock(),
      static_cast<int>(std::max(1u, std::thread::hardware_concurrency())),
      false,
      &m_bStop};
  m_pWorker.reset(QThread::create([this, request] {
    const AnalysisReports reports{
        [this](const AnalysisCount& count) {
          QMetaObject::invokeMethod(
              this, [this, count] { OnProgress(count); }, Qt::QueuedConnection);
        },
        [this](const std::string& strLine) {
          QMetaObject::invokeMethod(
              this, [this, strLine] { OnFailure(strLine); }, Qt::QueuedConnection);
        }};
    m_outcome = AnalyseLibrary(request, reports);
  }));
  connect(m_pWorker.get(), &QThread::finished, this, &CAnalyseDlg::OnFinished,
          Qt::QueuedConnection);
  m_pWorker->start();
}

void CAnalyseDlg::OnProgress(const AnalysisCount& count) {
  m_pProgress->setRange(0, std::max(count.nTotal, 1));
  m_pProgress->setValue(count.nDone);
  QString text = QStringLiteral("%1 of %2 files analysed").arg(count.nDone).arg(count.nTotal);
  if (count.nFailed > 0) {
    text += QStringLiteral(", %1 could not be").arg(count.nFailed);
  }
  m_pCount->setText(text);
}

void CAnalyseDlg::OnFailure(const std::string& strLine) {
  m_pFailures->addItem(ToDisplay(strLine));
  m_pFailures->item(m_pFailures->count() - 1)->setToolTip(ToDisplay(strLine));
}

void CAnalyseDlg::OnFinished() {
  m_pWorker->wait();
  m_pWorker.reset();
  m_bDone = true;
  if (m_outcome.bLoaded) {
    m_pProgress->setRange(0, 1);
    m_pProgress->setValue(1);
    if (m_outcome.bSaved) {
      m_core.OnAnalysisSaved(m_outcome.results);
    }
  }
  m_pCount->setText(ToDisplay(Outcome()));
  m_pStopClose->setText(QStringLiteral("Close"));
  m_pStopClose->setEnabled(true);
  m_pStopClose->setDefault(true);
  m_pStopClose->setFocus();
}

void CAnalyseDlg::OnStopClose() {
  if (m_bDone) {
    accept();
    return;
  }
  // The files in progress are finished first; OnFinished follows.
  m_bStop = true;
  m_pStopClose->setEnabled(false);
  m_pStopClose->setText(QStringLiteral("Stopping..."));
}

std::string CAnalyseDlg::Outcome() const {
  if (!m_bDone) {
    return "";
  }
  if (m_outcome.bInUse) {
    return "Another program is analysing the music files of this database folder.";
  }
  if (!m_outcome.bLoaded) {
    return "The analysis results cannot be read: " + m_outcome.strError;
  }
  if (!m_outcome.strError.empty()) {
    return "The analysis results could not be saved: " + m_outcome.strError;
  }
  return m_outcome.count.Summary();
}

void CAnalyseDlg::reject() {
  if (m_bDone) {
    QDialog::reject();
  } else {
    OnStopClose();
  }
}

}  // namespace velvane
