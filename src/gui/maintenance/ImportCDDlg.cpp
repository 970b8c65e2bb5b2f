#include "gui/maintenance/ImportCDDlg.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "gui/common/DialogKit.h"
#include "gui/common/TabStopDelegate.h"

namespace velvane {

CImportCDDlg::CImportCDDlg(RadioCore& core, FileChooser& chooser, TagReader& tags, QWidget* pParent)
    : QDialog(pParent), m_core(core), m_chooser(chooser), m_tags(tags) {
  setWindowTitle(QStringLiteral("Import a CD"));
  DialogBuilder kit(this);
  QLabel* pHelp = kit.Label(QStringLiteral("Find the first track on the CD and click import. The "
                                           "Playlist will automatically be saved"),
                            kNoId, {7, 7, 300, 16});
  pHelp->setWordWrap(true);
  m_pList = kit.List(kIdList, {7, 27, 300, 160});
  m_pList->setSelectionMode(QAbstractItemView::NoSelection);
  m_pList->setUniformItemSizes(true);
  const DialogUnits du(font());
  m_pList->setItemDelegate(new TabStopDelegate({du.X(15), du.X(155)}, m_pList));

  QPushButton* pBrowse = kit.Button(QStringLiteral("Browse for a CD"), kIdBrowse, {7, 193, 80, 14});
  QPushButton* pImport =
      kit.Button(QStringLiteral("Import / Save"), kIdImportSave, {91, 193, 70, 14});
  QPushButton* pExit = kit.Button(QStringLiteral("Exit"), 1, {257, 193, 50, 14});
  connect(pBrowse, &QPushButton::clicked, this, &CImportCDDlg::OnBrowseForCD);
  connect(pImport, &QPushButton::clicked, this, &CImportCDDlg::OnImportSave);
  connect(pExit, &QPushButton::clicked, this, &QDialog::accept);
  kit.SetFixedSize(314, 214);
}

void CImportCDDlg::OnBrowseForCD() {
  const FileDialogOptions options{"Browse For CD", m_core.GetSettings().strMusicDir,
                                  "All Files (*.*)|*.*|", ""};
  std::string strPath;
  if (!m_chooser.ChooseOpenFile(options, strPath)) {
    return;
  }
  if (const std::string strRefusal = CDFolderRefusal(strPath); !strRefusal.empty()) {
    m_strPath.clear();
    m_pList->clear();
    m_core.GetPrompter().Show(strRefusal, m_core.Title(), PromptIcon::Exclamation,
                              PromptButtons::Ok);
    return;
  }
  ScanCDFolder(strPath, false);
}

void CImportCDDlg::OnImportSave() {
  if (m_strPath.empty()) {
    return;
  }
  if (ScanCDFolder(m_strPath, true)) {
    m_core.GetPrompter().Show(kCDImportedNotSaved, m_core.Title(), PromptIcon::Information,
                              PromptButtons::Ok);
  }
}

bool CImportCDDlg::ScanCDFolder(const std::string& strPath, bool bImport) {
  if (bImport) {
    // The lines listed by the last browse are what the library must make room for.
    const std::string strRefusal = CDImportRefusal(m_core.Store(), m_pList->count());
    if (!strRefusal.empty()) {
      m_core.GetPrompter().Show(strRefusal, m_core.Title(), PromptIcon::Exclamation,
                                PromptButtons::Ok);
      m_strPath.clear();
      return false;
    }
  }
  m_strPath = strPath;
  const CDFolder folder = velvane::ScanCDFolder(strPath, &m_tags);
  m_pList->clear();
  for (const CDTrack& track : folder.tracks) {
    m_pList->addItem(DisplayFields(track.ListLine()));
    m_pList->item(m_pList->count() - 1)->setToolTip(DisplayFields(track.ListLine()).simplified());
  }
  if (bImport) {
    ImportCDTracks(m_core.Store(), folder);
    m_core.OnLibraryChanged();
  }
  return true;
}

}  // namespace velvane
