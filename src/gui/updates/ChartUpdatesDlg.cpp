#include "gui/updates/ChartUpdatesDlg.h"

#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "core/updates/UpdateLimits.h"
#include "core/updates/UpdateMerge.h"
#include "gui/common/DialogKit.h"
#include "gui/common/TabStopDelegate.h"

namespace velvane {

namespace {

const QString kCaption = QStringLiteral("Chart Updates");
const QString kUpdatingCaption = QStringLiteral("Chart Updates - Updating");

}  // namespace

CChartUpdatesDlg::CChartUpdatesDlg(RadioCore& core, HttpClient& http, std::string strServer,
                                   QWidget* pParent)
    : QDialog(pParent), m_core(core), m_http(http), m_strServer(std::move(strServer)) {
  setWindowTitle(kCaption);
  BuildControls();
  m_http.SetProgressHandler(
      [this](long long nReceived, long long nTotal) { OnDownloadProgress(nReceived, nTotal); });
  QTimer::singleShot(0, this, &CChartUpdatesDlg::OnLoadCatalogue);
}

bool CChartUpdatesDlg::Run(RadioCore& core, HttpClient& http, const std::string& strServer,
                           QWidget* pParent) {
  CChartUpdatesDlg dialog(core, http, strServer, pParent);
  const bool bAccepted = dialog.exec() == QDialog::Accepted;
  http.SetProgressHandler({});
  return bAccepted;
}

void CChartUpdatesDlg::BuildControls() {
  DialogBuilder kit(this);
  kit.SetFixedSize(240, 175);
  m_pHeading =
      kit.Label(QStringLiteral("The following updates are available"), kNoId, {10, 5, 220, 13});
  kit.Label(QStringLiteral("Country"), kNoId, {10, 20, 55, 13});
  kit.Label(QStringLiteral("Type"), kNoId, {70, 20, 100, 13});
  kit.Label(QStringLiteral("Release Date"), kNoId, {175, 20, 55, 13});
  m_pList = kit.List(kIdList, {10, 35, 220, 65});
  const DialogUnits& units = kit.Units();
  m_pList->setItemDelegate(
      new TabStopDelegate({units.X(75), units.X(175), units.X(300), units.X(500)}, m_pList));
  m_pUpdate = kit.Button(QStringLiteral("Update"), kIdUpdate, {10, 105, 105, 22});
  QPushButton* pExit = kit.Button(QStringLiteral("Exit"), 1, {125, 105, 105, 20});
  pExit->setDefault(true);
  kit.Label(QStringLiteral("Note: Updates are saved automatically"), kNoId, {10, 135, 220, 13});
  kit.Label(QStringLiteral("Update Progress:"), kNoId, {10, 155, 60, 13});
  m_pProgress = kit.ProgressBar(kIdProgress, {70, 155, 160, 14});
  connect(m_pUpdate, &QPushButton::clicked, this, &CChartUpdatesDlg::OnApplyUpdate);
  connect(pExit, &QPushButton::clicked, this, &QDialog::accept);
}

void CChartUpdatesDlg::OnLoadCatalogue() {
  SetBusy(true);
  const HttpResponse response = m_http.Get(CatalogueRequest(m_strServer));
  SetBusy(false);
  if (ClosedAfterDownload()) {
    return;
  }
  if (!response.bOk || m_bCancelled) {
    QDialog::reject();
    return;
  }
  // Another status gives an empty list, and the heading says why it is empty.
  m_updates = response.nStatus == 200 ? UpdateList(ParseCatalogue(response.strBody)) : UpdateList();
  if (response.nStatus != 200) {
    m_pHeading->setText(QStringLiteral("The update server answered %1: no updates are listed")
                            .arg(response.nStatus));
  }
  m_pList->clear();
  for (int i = 0; i < m_updates.Count(); ++i) {
    m_pList->addItem(DisplayFields(m_updates.Line(i)));
  }
}

void CChartUpdatesDlg::OnApplyUpdate() {
  const CatalogueEntry* pEntry = m_updates.At(m_pList->currentRow());
  if (pEntry == nullptr || m_bBusy) {
    return;
  }
  const CatalogueEntry entry = *pEntry;
  m_bCancelled = false;
  setWindowTitle(kUpdatingCaption);
  SetBusy(true);
  const HttpResponse response = m_http.Get(UpdateRequest(m_strServer, entry));
  SetBusy(false);
  if (ClosedAfterDownload()) {
    return;  // the operator left during the download: nothing was changed
  }
  // Merging: the bar counts the lines of the update.
  m_pProgress->setRange(0, std::max(entry.nSize, 1));
  const std::string& strFolder = m_core.GetSettings().strFilesDir;
  UpdateTarget target{m_core.Store(),
                      {strFolder, m_core.GetClock(), m_core.GetPrompter(), m_core.Title()},
                      m_core.DatabaseWriteRefusal(),
                      [this] { return m_core.SaveUpdatedCharts(); }};
  const UpdateOutcome outcome = ApplyUpdate(target, entry, response, [this](int nDone) {
    m_pProgress->setValue(nDone);
    m_pProgress->repaint();
  });
  m_core.GetPrompter().Show(outcome.strMessage, m_core.Title(), outcome.icon, PromptButtons::Ok);
  m_pProgress->reset();
  setWindowTitle(kCaption);
}

void CChartUpdatesDlg::accept() {
  if (CancelDownload()) {
    m_bExitAfterDownload = true;
    return;
  }
  QDialog::accept();
}

bool CChartUpdatesDlg::ClosedAfterDownload() {
  if (!m_bExitAfterDownload) {
    return false;
  }
  m_bExitAfterDownload = false;
  setWindowTitle(kCaption);
  QDialog::accept();
  return true;
}

void CChartUpdatesDlg::reject() {
  if (!CancelDownload()) {
    QDialog::reject();
  }
}

bool CChartUpdatesDlg::CancelDownload() {
  if (!m_bBusy) {
    return false;
  }
  // The handler waiting for the download then ends as after a failed connection.
  m_bCancelled = true;
  m_http.Cancel();
  return true;
}

void CChartUpdatesDlg::OnDownloadProgress(long long nReceived, long long nTotal) {
  if (nTotal <= 0) {
    m_pProgress->setRange(0, 0);  // size unknown: the bar shows it is busy
    return;
  }
  m_pProgress->setRange(0, 1000);
  m_pProgress->setValue(static_cast<int>(nReceived * 1000 / nTotal));
}

void CChartUpdatesDlg::SetBusy(bool bBusy) {
  m_bBusy = bBusy;
  m_pUpdate->setEnabled(!bBusy);
  if (bBusy) {
    m_pProgress->setRange(0, 0);
  } else {
    m_pProgress->setRange(0, 100);
    m_pProgress->reset();
  }
}

}  // namespace velvane
