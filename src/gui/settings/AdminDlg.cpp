#include "gui/settings/AdminDlg.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/db/Paths.h"
#include "gui/common/DialogKit.h"
#include "gui/settings/AppIcon.h"
#include "gui/settings/LogOptionsDlg.h"

namespace velvane {

namespace {

const char* const kCommandIdProperty = "commandId";

// Size of the form under the menu bar, in dialog units.
constexpr int kFormWidth = 330;
constexpr int kFormHeight = 268;

}  // namespace

CAdminDlg::CAdminDlg(RadioCore& core, FileChooser& chooser, QWidget* pParent)
    : QDialog(pParent), m_core(core), m_chooser(chooser) {
  setWindowTitle(QStringLiteral("Velvane Admin"));
  BuildControls();
  BuildMenu();
  m_fields = FillAdminFields(m_core.GetSettings());
  UpdateData(false);
}

bool CAdminDlg::Run(RadioCore& core, FileChooser& chooser, QWidget* pParent) {
  CAdminDlg dialog(core, chooser, pParent);
  return dialog.exec() == QDialog::Accepted;
}

void CAdminDlg::BuildControls() {
  // The controls sit at fixed dialog-unit positions on a form below the menu bar; the layout
  // only stacks the two.
  m_pForm = new QWidget(this);
  const DialogUnits du(font());
  m_pForm->setFixedSize(du.X(kFormWidth), du.Y(kFormHeight));
  auto* pLayout = new QVBoxLayout(this);
  pLayout->setContentsMargins(0, 0, 0, 0);
  pLayout->setSizeConstraint(QLayout::SetFixedSize);
  pLayout->addWidget(m_pForm);

  // Group boxes first, so the controls placed over them stay on top.
  auto addGroup = [&](const QString& title, QRect rect) {
    auto* pGroup = new QGroupBox(title, m_pForm);
    pGroup->setGeometry(rect);
  };
  addGroup(QStringLiteral("Basic Settings"), du.Rect(7, 3, 316, 142));
  addGroup(QStringLiteral("Timers"), du.Rect(15, 57, 156, 82));
  addGroup(QStringLiteral("Advanced Settings"), du.Rect(7, 150, 316, 78));

  auto addLabel = [&](const QString& text, QRect rect) {
    auto* pLabel = new QLabel(text, m_pForm);
    pLabel->setGeometry(rect);
    return pLabel;
  };
  auto addEdit = [&](int nId, QRect rect, const QString& label, QRect labelRect) {
    auto* pEdit = new QLineEdit(m_pForm);
    pEdit->setGeometry(rect);
    SetControlId(pEdit, nId);
    addLabel(label, labelRect)->setBuddy(pEdit);
    return pEdit;
  };
  auto addButton = [&](const QString& text, int nId, QRect rect) {
    auto* pButton = new QPushButton(text, m_pForm);
    pButton->setGeometry(rect);
    SetControlId(pButton, nId);
    return pButton;
  };

  // Folders, each with its folder browser.
  m_pMusicDir = addEdit(kIdMusicDir, du.Rect(90, 21, 180, 12),
                        QStringLiteral("Music File Directory:"), du.Rect(15, 23, 74, 8));
  QPushButton* pBrowseMusic =
      addButton(QStringLiteral("Browse"), kIdBrowseMusicDir, du.Rect(274, 20, 42, 14));
  m_pFilesDir = addEdit(kIdFilesDir, du.Rect(90, 39, 180, 12),
                        QStringLiteral("Database Directory:"), du.Rect(15, 41, 74, 8));
  QPushButton* pBrowseFiles =
      addButton(QStringLiteral("Browse"), kIdBrowseFilesDir, du.Rect(274, 38, 42, 14));
  connect(pBrowseMusic, &QPushButton::clicked, this, &CAdminDlg::OnBrowseMusicDir);
  connect(pBrowseFiles, &QPushButton::clicked, this, &CAdminDlg::OnBrowseFilesDir);

  // Timers.
  m_pFadeTime = addEdit(kIdFadeTime, du.Rect(80, 73, 36, 12), QStringLiteral("Auto Fade"),
                        du.Rect(23, 75, 55, 8));
  m_pAutoTime = addEdit(kIdAutoTime, du.Rect(80, 89, 36, 12), QStringLiteral("Auto Change"),
                        du.Rect(23, 91, 55, 8));
  m_pSystemTimer = addEdit(kIdSystemTimer, du.Rect(80, 105, 36, 12), QStringLiteral("System Clock"),
                           du.Rect(23, 107, 55, 8));
  QLabel* pClockNote =
      addLabel(QStringLiteral("System Clock change requires a restart"), du.Rect(23, 121, 144, 16));
  pClockNote->setWordWrap(true);

  // Volume and play mode, beside the timers.
  m_pInitVolume = addEdit(kIdInitVolume, du.Rect(240, 73, 36, 12), QStringLiteral("Initial Volume"),
                          du.Rect(184, 75, 54, 8));
  addLabel(QStringLiteral("0 to 1000"), du.Rect(240, 87, 70, 8));
  m_pAutoChanger = new QCheckBox(QStringLiteral("Auto Changer"), m_pForm);
  m_pAutoChanger->setGeometry(du.Rect(184, 106, 100, 10));
  SetControlId(m_pAutoChanger, kIdAutoChanger);

  auto* pIcon = new QLabel(m_pForm);
  pIcon->setPixmap(DrawAppIcon(32));
  pIcon->setGeometry(du.X(296) - 16, du.Y(126) - 16, 32, 32);

  // Database sizes and the update server.
  addLabel(QStringLiteral("Maximum size of databases"), du.Rect(15, 166, 150, 8));
  m_pPlaySize = addEdit(kIdPlaySize, du.Rect(72, 179, 50, 12), QStringLiteral("Playlist Size"),
                        du.Rect(15, 181, 55, 8));
  m_pChartSize = addEdit(kIdChartSize, du.Rect(72, 195, 50, 12), QStringLiteral("Charts Size"),
                         du.Rect(15, 197, 55, 8));
  addLabel(QStringLiteral("Changing Sizes requires a restart"), du.Rect(15, 213, 150, 8));
  m_pUpdateServer = addEdit(kIdUpdateServer, du.Rect(184, 179, 132, 12),
                            QStringLiteral("Update Server"), du.Rect(184, 166, 132, 8));
  m_pUpdateServer->setPlaceholderText(QStringLiteral("host or host:port"));

  m_pStatus = addLabel(QString(), du.Rect(7, 233, 316, 11));
  m_pStatus->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  SetControlId(m_pStatus, kIdStatus);

  QPushButton* pSave = addButton(QStringLiteral("Save And Exit"), 1, du.Rect(183, 249, 68, 14));
  QPushButton* pQuit = addButton(QStringLiteral("Quit"), 2, du.Rect(255, 249, 68, 14));
  pSave->setDefault(true);
  connect(pSave, &QPushButton::clicked, this, &CAdminDlg::accept);
  connect(pQuit, &QPushButton::clicked, this, &CAdminDlg::reject);
}

void CAdminDlg::BuildMenu() {
  auto* pMenuBar = new QMenuBar(this);
  layout()->setMenuBar(pMenuBar);
  auto addCommand = [](QMenu* pMenu, const QString& text, int nCommand) {
    QAction* pAction = pMenu->addAction(text);
    pAction->setProperty(kCommandIdProperty, nCommand);
    // The tools behind these entries are not built yet; only the log options are.
    pAction->setEnabled(nCommand == kCmdSetLogFile);
    return pAction;
  };

  QMenu* pDatabases = pMenuBar->addMenu(QStringLiteral("&Databases"));
  addCommand(pDatabases, QStringLiteral("Edit Playlist"), kCmdEditPlaylist);
  addCommand(pDatabases, QStringLiteral("Edit Charts"), kCmdEditCharts);
  addCommand(pDatabases, QStringLiteral("Edit No. 1 Database"), kCmdEditNumberOne);

  QMenu* pHousekeeping = pMenuBar->addMenu(QStringLiteral("&Housekeeping"));
  addCommand(pHousekeeping, QStringLiteral("Build Playlist References"),
             kCmdBuildPlaylistReferences);
  pHousekeeping->addSeparator();
  addCommand(pHousekeeping, QStringLiteral("Build All Relationships"), kCmdBuildAllRelationships);

  QMenu* pLogs = pMenuBar->addMenu(QStringLiteral("&Logs"));
  QAction* pSetLogFile = addCommand(pLogs, QStringLiteral("Set Log File"), kCmdSetLogFile);
  connect(pSetLogFile, &QAction::triggered, this, &CAdminDlg::OnSetLogFile);

  QMenu* pImport = pMenuBar->addMenu(QStringLiteral("&Import"));
  addCommand(pImport, QStringLiteral("New Chart Listing"), kCmdNewChartListing);
  addCommand(pImport, QStringLiteral("Folder"), kCmdImportFolder);

  QMenu* pTroubleshooting = pMenuBar->addMenu(QStringLiteral("&Troubleshooting"));
  addCommand(pTroubleshooting, QStringLiteral("Check Music Files"), kCmdCheckMusicFiles);
}

QAction* CAdminDlg::CommandAction(int nCommand) const {
  for (QAction* pAction : findChildren<QAction*>()) {
    if (pAction->property(kCommandIdProperty).toInt() == nCommand) {
      return pAction;
    }
  }
  return nullptr;
}

void CAdminDlg::SetStatus(const std::string& strText) {
  m_pStatus->setText(ToDisplay(strText));
}

void CAdminDlg::UpdateData(bool bSaveAndValidate) {
  struct Binding {
    QLineEdit* pEdit;
    std::string* pValue;
  };
  const Binding bindings[] = {
      {m_pMusicDir, &m_fields.strMusicDir},        {m_pFilesDir, &m_fields.strFilesDir},
      {m_pFadeTime, &m_fields.strFadeTime},        {m_pAutoTime, &m_fields.strAutoTime},
      {m_pSystemTimer, &m_fields.strSystemTimer},  {m_pInitVolume, &m_fields.strInitVolume},
      {m_pPlaySize, &m_fields.strPlaySize},        {m_pChartSize, &m_fields.strChartSize},
      {m_pUpdateServer, &m_fields.strUpdateServer}};
  for (const Binding& binding : bindings) {
    if (bSaveAndValidate) {
      *binding.pValue = FromTyped(binding.pEdit->text());
    } else {
      binding.pEdit->setText(ToDisplay(*binding.pValue));
    }
  }
  if (bSaveAndValidate) {
    m_fields.bAutoChanger = m_pAutoChanger->isChecked();
  } else {
    m_pAutoChanger->setChecked(m_fields.bAutoChanger);
  }
}

void CAdminDlg::accept() {
  UpdateData(true);
  if (m_core.OnAdminSaveAndExit(m_fields)) {
    QDialog::accept();
  }
}

void CAdminDlg::OnBrowseMusicDir() {
  BrowseInto("Select the top level folder for the music files", m_fields.strMusicDir);
}

void CAdminDlg::OnBrowseFilesDir() {
  BrowseInto("Select a folder for the database files", m_fields.strFilesDir);
}

void CAdminDlg::BrowseInto(const std::string& strTitle, std::string& strFolder) {
  std::string strPath;
  if (m_chooser.ChooseFolder(strTitle, strPath)) {
    strFolder = strPath + kPathSeparator;
  }
  // Pushed without reading first: fields typed since the last read go back to their values.
  UpdateData(false);
}

void CAdminDlg::OnSetLogFile() {
  const Settings& settings = m_core.GetSettings();
  CLogOptionsDlg dialog(settings.strLogFile, settings.nLogEnabled != 0, this);
  // A cancel leaves the start values, so there is nothing to take back; taking them only on
  // OK also keeps a stored flag other than 1 as it is.
  if (dialog.exec() == QDialog::Accepted) {
    m_core.OnLogOptions(dialog.LogFile(), dialog.LogEnabled());
  }
}

}  // namespace velvane
