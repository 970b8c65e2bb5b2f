#include "gui/playback/QueueEditDlg.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

#include "gui/common/DialogKit.h"

namespace velvane {

CQueueEditDlg::CQueueEditDlg(RadioCore& core, QWidget* pParent)
    : QDialog(pParent), m_core(core), m_editor(core.QueueSlotsNow()) {
  setWindowTitle(QStringLiteral("Edit Playlist"));
  DialogBuilder kit(this);

  // Two columns stand in for the list box's tab stop at 150 units.
  m_pList = kit.Place(new QTreeWidget(this), kIdList, {5, 5, 300, 85});
  m_pList->setColumnCount(2);
  m_pList->setColumnWidth(0, kit.Units().X(150));
  m_pList->setHeaderHidden(true);
  m_pList->setRootIsDecorated(false);
  m_pList->setItemsExpandable(false);
  m_pList->setUniformRowHeights(true);
  m_pList->setAllColumnsShowFocus(true);
  m_pList->setSelectionMode(QAbstractItemView::SingleSelection);

  connect(kit.Button(QStringLiteral("Move Up"), kIdMoveUp, {5, 95, 90, 20}), &QPushButton::clicked,
          this, &CQueueEditDlg::OnMoveUp);
  connect(kit.Button(QStringLiteral("Move Down"), kIdMoveDown, {110, 95, 90, 20}),
          &QPushButton::clicked, this, &CQueueEditDlg::OnMoveDown);
  connect(kit.Button(QStringLiteral("Remove"), kIdRemove, {215, 95, 90, 20}), &QPushButton::clicked,
          this, &CQueueEditDlg::OnRemove);
  QPushButton* pSave = kit.Button(QStringLiteral("Save"), 1, {5, 125, 145, 20});
  pSave->setDefault(true);
  connect(pSave, &QPushButton::clicked, this, &QDialog::accept);
  connect(kit.Button(QStringLiteral("Quit"), 2, {160, 125, 145, 20}), &QPushButton::clicked, this,
          &QDialog::reject);

  kit.SetFixedSize(310, 150);
  FillList(-1);
  m_core.SetQueueEditorLockedHandler([this] { OnQueueEditorLocked(); });
}

CQueueEditDlg::~CQueueEditDlg() {
  m_core.SetQueueEditorLockedHandler(nullptr);
}

void CQueueEditDlg::Run(RadioCore& core, QWidget* pParent) {
  core.BeginQueueEdit();
  CQueueEditDlg dialog(core, pParent);
  const bool bSaved = dialog.exec() == QDialog::Accepted;
  core.EndQueueEdit(bSaved ? &dialog.Editor() : nullptr);
}

void CQueueEditDlg::done(int nResult) {
  // Once ended the editor has nothing left to lock.
  m_core.SetQueueEditorLockedHandler(nullptr);
  QDialog::done(nResult);
}

int CQueueEditDlg::SelectedLine() const {
  const QList<QTreeWidgetItem*> selected = m_pList->selectedItems();
  return selected.isEmpty() ? -1 : m_pList->indexOfTopLevelItem(selected.first());
}

void CQueueEditDlg::FillList(int nSelect) {
  m_pList->clear();
  for (const std::string& strLine : m_editor.ListLines()) {
    const std::size_t nTab = strLine.find('\t');
    auto* pItem = new QTreeWidgetItem(m_pList);
    pItem->setText(0, ToDisplay(strLine.substr(0, nTab)));
    pItem->setText(1, nTab == std::string::npos ? QString() : ToDisplay(strLine.substr(nTab + 1)));
  }
  if (QTreeWidgetItem* pItem = m_pList->topLevelItem(nSelect)) {
    m_pList->setCurrentItem(pItem);
  } else {
    m_pList->setCurrentItem(nullptr);
    m_pList->clearSelection();
  }
}

void CQueueEditDlg::OnMoveUp() {
  const int nLine = SelectedLine();
  if (nLine < 0) {
    return;
  }
  const int nSelect = m_editor.OnMoveUp(nLine, TrackCurrent());
  if (nSelect >= 0) {
    FillList(nSelect);
  }
}

void CQueueEditDlg::OnMoveDown() {
  const int nLine = SelectedLine();
  if (nLine < 0) {
    return;
  }
  const int nSelect = m_editor.OnMoveDown(nLine, TrackCurrent());
  if (nSelect >= 0) {
    FillList(nSelect);
  }
}

void CQueueEditDlg::OnRemove() {
  const int nLine = SelectedLine();
  if (nLine >= 0 && m_editor.OnRemove(nLine, TrackCurrent())) {
    FillList(-1);
  }
}

void CQueueEditDlg::OnQueueEditorLocked() {
  setWindowTitle(QStringLiteral("Playlist has changed, edit / save has been disabled"));
  for (const int nId : {1, kIdList, kIdMoveUp, kIdMoveDown, kIdRemove}) {
    if (QWidget* pControl = FindControl(this, nId)) {
      pControl->setEnabled(false);
    }
  }
}

}  // namespace velvane
