#include "gui/maintenance/ImportLibraryDlg.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <algorithm>
#include <memory>
#include <mutex>
#include <utility>

#include "gui/common/DialogKit.h"
#include "gui/common/TabStopDelegate.h"

namespace velvane {

namespace {

constexpr const char* kCaption = "Import Music Library";

// A file that is not imported, in the plan's columns: no CD or track, the reason where the
// artist goes, the file where the source goes.
QString SkipLine(const ImportSkip& skip) {
  return DisplayFields("\t\tNot importable\t" + skip.strReason + '\t' + skip.strSource);
}

// The latest report of the worker. Reports come after every file; the dialog takes the newest
// when it gets round to it, so a large collection cannot flood its event queue.
struct LatestProgress {
  std::mutex mutex;
  ImportProgress progress;
  bool bPosted = false;
};

}  // namespace

CImportLibraryDlg::CImportLibraryDlg(RadioCore& core, FileChooser& chooser, TagReader& tags,
                                     QWidget* pParent)
    : QDialog(pParent), m_core(core), m_chooser(chooser), m_tags(tags) {
  setWindowTitle(QString::fromLatin1(kCaption));
  BuildControls();
  EnableControls();
}

CImportLibraryDlg::~CImportLibraryDlg() {
  // The worker reports to this dialog: it must have ended first.
  if (m_pWorker) {
    m_bStop = true;
    m_pWorker->wait();
  }
}

std::string CImportLibraryDlg::Run(RadioCore& core, FileChooser& chooser, TagReader& tags,
                                   QWidget* pParent) {
  CImportLibraryDlg dialog(core, chooser, tags, pParent);
  dialog.exec();
  return dialog.Outcome();
}

void CImportLibraryDlg::BuildControls() {
  DialogBuilder kit(this);
  kit.SetFixedSize(400, 262);
  kit.Label(QStringLiteral("Folders of music to import (each folder's files are one album):"),
            kNoId, {7, 7, 320, 10});
  m_pFolders = kit.List(kIdFolders, {7, 18, 320, 40});
  m_pAddFolder = kit.Button(QStringLiteral("Add Folder..."), kIdAddFolder, {333, 18, 60, 14});
  m_pRemoveFolder = kit.Button(QStringLiteral("Remove"), kIdRemoveFolder, {333, 35, 60, 14});
  m_pCopy = kit.CheckBox(QStringLiteral("Copy the files instead of linking them"), kIdCopy,
                         {7, 63, 160, 10});
  m_pBuildLinks = kit.CheckBox(QStringLiteral("Link with the chart history"), kIdBuildLinks,
                               {170, 63, 140, 10});
  m_pBuildLinks->setChecked(true);
  m_pPreview = kit.Button(QStringLiteral("Preview"), kIdPreview, {333, 61, 60, 14});

  const DialogUnits& du = kit.Units();
  // The column header is a one-line list painted at the plan's tab stops, so the two line up.
  QListWidget* pHeader = kit.List(kNoId, {7, 80, 386, 11});
  m_pPlan = kit.List(kIdPlan, {7, 91, 386, 120});
  for (QListWidget* pList : {pHeader, m_pPlan}) {
    pList->setSelectionMode(QAbstractItemView::NoSelection);
    pList->setUniformItemSizes(true);
    pList->setItemDelegate(new TabStopDelegate({du.X(18), du.X(40), du.X(140), du.X(250)}, pList));
  }
  pHeader->addItem(QStringLiteral("CD\tTrack\tArtist\tTitle\tSource file"));
  pHeader->setFocusPolicy(Qt::NoFocus);
  pHeader->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  pHeader->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

  m_pProgress = kit.ProgressBar(kIdProgress, {7, 216, 386, 10});
  m_pProgress->setRange(0, 1);
  m_pProgress->setValue(0);
  m_pStatus = kit.Label(QString(), kIdStatus, {7, 229, 386, 10});
  m_pImport = kit.Button(QStringLiteral("Import"), kIdImport, {279, 243, 55, 14});
  m_pCancelClose = kit.Button(QStringLiteral("Close"), kIdCancelClose, {338, 243, 55, 14});

  connect(m_pAddFolder, &QPushButton::clicked, this, &CImportLibraryDlg::OnAddFolder);
  connect(m_pRemoveFolder, &QPushButton::clicked, this, &CImportLibraryDlg::OnRemoveFolder);
  connect(m_pPreview, &QPushButton::clicked, this, &CImportLibraryDlg::OnPreview);
  connect(m_pImport, &QPushButton::clicked, this, &CImportLibraryDlg::OnImport);
  connect(m_pCancelClose, &QPushButton::clicked, this, &CImportLibraryDlg::OnCancelClose);
  connect(m_pCopy, &QCheckBox::toggled, this, [this] { EnableControls(); });
}

std::vector<std::string> CImportLibraryDlg::SourceFolders() const {
  std::vector<std::string> folders;
  folders.reserve(static_cast<std::size_t>(m_pFolders->count()));
  for (int i = 0; i < m_pFolders->count(); ++i) {
    folders.push_back(m_pFolders->item(i)->data(Qt::UserRole).toString().toStdString());
  }
  return folders;
}

void CImportLibraryDlg::OnAddFolder() {
  std::string strFolder;
  if (!m_chooser.ChooseFolder("Add a folder of music", strFolder)) {
    return;
  }
  const std::vector<std::string> folders = SourceFolders();
  if (std::find(folders.begin(), folders.end(), strFolder) != folders.end()) {
    return;
  }
  auto* pItem = new QListWidgetItem(ToDisplay(strFolder), m_pFolders);
  pItem->setData(Qt::UserRole, QString::fromStdString(strFolder));
  m_bPlanned = false;  // the preview no longer shows what would be imported
  EnableControls();
}

void CImportLibraryDlg::OnRemoveFolder() {
  const int nRow =
      m_pFolders->currentRow() >= 0 ? m_pFolders->currentRow() : m_pFolders->count() - 1;
  delete m_pFolders->takeItem(nRow);
  m_bPlanned = false;
  EnableControls();
}

void CImportLibraryDlg::EnableControls() {
  const bool bIdle = !Working();
  m_pAddFolder->setEnabled(bIdle);
  m_pRemoveFolder->setEnabled(bIdle && m_pFolders->count() > 0);
  m_pCopy->setEnabled(bIdle);
  m_pBuildLinks->setEnabled(bIdle);
  m_pPreview->setEnabled(bIdle && m_pFolders->count() > 0);
  m_pImport->setEnabled(bIdle && m_bPlanned && !m_plan.tracks.empty());
  m_pCancelClose->setText(bIdle ? QStringLiteral("Close") : QStringLiteral("Cancel"));
  m_pCancelClose->setEnabled(bIdle || !m_bStop);
}

void CImportLibraryDlg::StartWork(std::function<void()> work, void (CImportLibraryDlg::*onDone)()) {
  m_bStop = false;
  m_pProgress->setRange(0, 0);  // busy until the first count arrives
  m_pWorker.reset(QThread::create(std::move(work)));
  connect(m_pWorker.get(), &QThread::finished, this, onDone, Qt::QueuedConnection);
  m_pWorker->start();
  EnableControls();
}

void CImportLibraryDlg::EndWork() {
  m_pWorker->wait();
  m_pWorker.reset();
  m_pProgress->setRange(0, 1);
  m_pProgress->setValue(1);
}

void CImportLibraryDlg::OnProgress(const ImportProgress& progress) {
  if (!Working()) {
    return;  // a report that arrived after the end
  }
  m_pProgress->setRange(0, progress.nTotal);
  m_pProgress->setValue(progress.nDone);
  SetStatus(progress.Text());
}

ImportProgressReport CImportLibraryDlg::ProgressReporter() {
  auto pLatest = std::make_shared<LatestProgress>();
  return [this, pLatest](const ImportProgress& progress) {
    const std::lock_guard lock(pLatest->mutex);
    pLatest->progress = progress;
    if (std::exchange(pLatest->bPosted, true)) {
      return;
    }
    QMetaObject::invokeMethod(
        this,
        [this, pLatest] {
          ImportProgress latest;
          {
            const std::lock_guard inner(pLatest->mutex);
            latest = pLatest->progress;
            pLatest->bPosted = false;
          }
          OnProgress(latest);
        },
        Qt::QueuedConnection);
  };
}

void CImportLibraryDlg::OnPreview() {
  m_bPlanned = false;
  m_pPlan->clear();
  SetStatus("Looking for music files...");
  const ImportProgressReport report = ProgressReporter();
  StartWork(
      [this, report, sources = SourceFolders(), settings = m_core.GetSettings()] {
        m_imported = ImportedFiles();
        m_strImportedError.clear();
        if (!LoadImportedFiles(settings.strFilesDir, m_imported, m_strImportedError)) {
          return;
        }
        m_plan = PlanLibraryImport(sources, m_core.Store(), m_imported, settings.strMusicDir,
                                   &m_tags, report, &m_bStop);
      },
      &CImportLibraryDlg::OnPlanned);
}

void CImportLibraryDlg::OnPlanned() {
  EndWork();
  if (!m_strImportedError.empty()) {
    SetStatus("");
    Tell("The list of imported files cannot be read: " + m_strImportedError +
         "\nNothing was imported.");
  } else if (m_plan.bStopped) {
    SetStatus("Preview cancelled: nothing was imported.");
  } else {
    ShowPlan();
    const std::string strSummary = SummariseLibraryImport(m_plan, nullptr).Text();
    if (!m_plan.strRefusal.empty()) {
      SetStatus("Nothing can be imported.");
      Tell(m_plan.strRefusal);
    } else {
      SetStatus(strSummary);
      m_bPlanned = true;
    }
  }
  EnableControls();
  if (m_pImport->isEnabled()) {
    m_pImport->setDefault(true);
    m_pImport->setFocus();
  }
}

void CImportLibraryDlg::ShowPlan() {
  m_pPlan->clear();
  // Many thousand lines: added in one go, with updates off.
  m_pPlan->setUpdatesEnabled(false);
  for (const ImportTrack& track : m_plan.tracks) {
    m_pPlan->addItem(DisplayFields(track.ListLine()));
  }
  for (const ImportSkip& skip : m_plan.skipped) {
    m_pPlan->addItem(SkipLine(skip));
    m_pPlan->item(m_pPlan->count() - 1)->setToolTip(DisplayFields(skip.ListLine()).simplified());
  }
  m_pPlan->setUpdatesEnabled(true);
}

void CImportLibraryDlg::OnImport() {
  if (!m_bPlanned || Working()) {
    return;
  }
  if (const std::string strRefusal = m_core.DatabaseWriteRefusal(); !strRefusal.empty()) {
    Tell(strRefusal);
    return;
  }
  SetStatus("Placing files...");
  const ImportProgressReport report = ProgressReporter();
  const PlaceMethod method = m_pCopy->isChecked() ? PlaceMethod::kCopy : PlaceMethod::kLink;
  StartWork(
      [this, report, method, strMusicDir = m_core.GetSettings().strMusicDir] {
        m_placement = PlaceLibraryImport(m_plan, strMusicDir, method, report, &m_bStop);
      },
      &CImportLibraryDlg::OnPlaced);
}

void CImportLibraryDlg::OnPlaced() {
  EndWork();
  m_bPlanned = false;  // placed or not, the plan is spent: a new preview starts over
  for (const ImportSkip& failed : m_placement.failed) {
    m_pPlan->addItem(SkipLine(failed));
  }
  if (m_bStop && !m_placement.bCancelled) {
    UndoLibraryImport(m_placement);  // Cancel came as the last file was placed
    m_placement.bCancelled = true;
  }
  if (m_placement.bCancelled) {
    SetStatus("Import cancelled: nothing was imported.");
  } else if (!m_placement.strRefusal.empty()) {
    SetStatus("Nothing was imported.");
    Tell(m_placement.strRefusal);
  } else {
    SetStatus("Saving...");
    m_pStatus->repaint();
    const LibraryImportSaved saved =
        m_core.CommitLibraryImport(m_plan, m_placement, m_imported, m_pBuildLinks->isChecked());
    if (!saved.databases) {
      SetStatus("Nothing was imported.");
      Tell(saved.Problem());
    } else {
      m_strOutcome = SummariseLibraryImport(m_plan, &m_placement).Text();
      SetStatus(m_strOutcome);
      if (!saved.Saved()) {
        Tell(saved.Problem());
      }
    }
  }
  EnableControls();
  m_pCancelClose->setDefault(true);
  m_pCancelClose->setFocus();
}

void CImportLibraryDlg::OnCancelClose() {
  if (!Working()) {
    accept();
    return;
  }
  // The step under way stops at its next file and removes what it placed.
  m_bStop = true;
  m_pCancelClose->setText(QStringLiteral("Cancelling..."));
  m_pCancelClose->setEnabled(false);
}

void CImportLibraryDlg::reject() {
  if (Working()) {
    OnCancelClose();
    return;
  }
  QDialog::reject();
}

void CImportLibraryDlg::SetStatus(const std::string& strText) {
  m_pStatus->setText(ToDisplay(strText));
  m_pStatus->setToolTip(ToDisplay(strText));
}

void CImportLibraryDlg::Tell(const std::string& strText) {
  m_core.GetPrompter().Show(strText, m_core.Title(), PromptIcon::Exclamation, PromptButtons::Ok);
}

}  // namespace velvane
