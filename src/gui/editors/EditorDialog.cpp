#include "gui/editors/EditorDialog.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QShortcut>
#include <algorithm>
#include <iterator>
#include <utility>

#include "core/editors/ChartEditor.h"
#include "core/editors/NumberOneEditor.h"
#include "gui/common/TabStopDelegate.h"
#include "gui/editors/EditorListModel.h"

namespace velvane {

namespace {

constexpr int kDialogWidth = 667;
constexpr int kDialogHeight = 421;
constexpr UnitRect kListPlace = {10, 20, 645, 290};
const char* const kSearching = "Searching...";

}  // namespace

EditorDialog::EditorDialog(QWidget* pParent) : QDialog(pParent) {}

std::vector<EditorDialog::Header> EditorDialog::DatedHeaders() {
  using I = DatedEditorIds;
  return {{I::kIdDateHeader, "Date", {10, 5, 70, 15}},
          {I::kIdArtistHeader, "Artist", {80, 5, 225, 15}},
          {I::kIdTitleHeader, "Title", {305, 5, 225, 15}},
          {I::kIdPositionHeader, "Position", {530, 5, 45, 15}},
          {I::kIdCdTrackHeader, "CD  Track", {580, 5, 60, 15}}};
}

std::vector<EditorDialog::FieldEdit> EditorDialog::DatedEdits(bool bPositionTyped) {
  using C = ChartEditor;
  using N = NumberOneEditor;
  static_assert(std::size_t{C::kDate} == std::size_t{N::kDate} &&
                std::size_t{C::kPosition} == std::size_t{N::kPosition} &&
                std::size_t{C::kTrack} == std::size_t{N::kTrack});
  using I = DatedEditorIds;
  return {{C::kDate, I::kIdDate, {10, 315, 70, 15}, false, true},
          {C::kArtist, I::kIdArtist, {80, 315, 225, 15}, false, true},
          {C::kTitle, I::kIdTitle, {305, 315, 235, 15}, false, true},
          {C::kPosition, I::kIdPosition, {540, 315, 35, 15}, true, bPositionTyped},
          {C::kCD, I::kIdCD, {575, 315, 35, 15}, true, false},
          {C::kTrack, I::kIdTrack, {610, 315, 35, 15}, true, false}};
}

void EditorDialog::Build(RecordEditor& editor, const std::vector<Header>& headers,
                         const std::vector<FieldEdit>& edits, const std::vector<int>& tabStops,
                         LookUp lookUp) {
  m_pEditor = &editor;
  m_lookUp = std::move(lookUp);
  DialogBuilder kit(this);
  BuildHeaders(kit, headers);

  m_pList = kit.Place(new QListView(this), kIdList, kListPlace);
  m_pModel = new EditorListModel(editor, m_pList);
  m_pList->setModel(m_pModel);
  m_pList->setUniformItemSizes(true);  // rows are never measured one by one
  m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
  m_pList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  m_pList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_pList->setTextElideMode(Qt::ElideNone);
  std::vector<int> stops;
  stops.reserve(tabStops.size());
  for (const int nStop : tabStops) {
    stops.push_back(kit.Units().X(nStop));
  }
  m_pList->setItemDelegate(new TabStopDelegate(std::move(stops), m_pList));
  connect(m_pList->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) { OnSelChangeList(current.row()); });

  for (const FieldEdit& field : edits) {
    QLineEdit* pEdit = kit.Edit(field.nId, field.at);
    pEdit->setAlignment(field.bCentred ? Qt::AlignCenter : Qt::AlignLeft);
    pEdit->setEnabled(field.bEnabled);
    m_mapEdits[field.nField] = pEdit;
  }
  BuildButtons(kit);
  kit.SetFixedSize(kDialogWidth, kDialogHeight);

  AddShortcuts();
  ShowState();
}

namespace {

const QKeySequence kUndoKeys[] = {QKeySequence(Qt::CTRL | Qt::Key_Z)};
const QKeySequence kRedoKeys[] = {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                  QKeySequence(Qt::CTRL | Qt::Key_Y)};

bool IsUndoOrRedo(const QKeyEvent& event) {
  const QKeySequence pressed(event.keyCombination());
  return std::any_of(std::begin(kUndoKeys), std::end(kUndoKeys),
                     [&](const QKeySequence& keys) { return keys == pressed; }) ||
         std::any_of(std::begin(kRedoKeys), std::end(kRedoKeys),
                     [&](const QKeySequence& keys) { return keys == pressed; });
}

}  // namespace

void EditorDialog::AddShortcuts() {
  auto* pFind = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
  connect(pFind, &QShortcut::activated, this, [this] {
    m_pSearchText->setFocus(Qt::ShortcutFocusReason);
    m_pSearchText->selectAll();
  });
  for (const QKeySequence& keys : kUndoKeys) {
    connect(new QShortcut(keys, this), &QShortcut::activated, this, [this] { OnUndo(true); });
  }
  for (const QKeySequence& keys : kRedoKeys) {
    connect(new QShortcut(keys, this), &QShortcut::activated, this, [this] { OnUndo(false); });
  }
  // The edit fields would take Ctrl+Z for their own text; in the editor it undoes the records.
  for (const auto& [nField, pEdit] : m_mapEdits) {
    pEdit->installEventFilter(this);
  }
  m_pSearchText->installEventFilter(this);
  m_pList->installEventFilter(this);
}

bool EditorDialog::eventFilter(QObject* pWatched, QEvent* pEvent) {
  if (pEvent->type() == QEvent::ShortcutOverride &&
      IsUndoOrRedo(*static_cast<QKeyEvent*>(pEvent))) {
    return true;  // not taken by the edit: the dialog's shortcut runs
  }
  if (pWatched == m_pList && pEvent->type() == QEvent::KeyPress) {
    const auto* pKey = static_cast<QKeyEvent*>(pEvent);
    if (pKey->modifiers() == Qt::NoModifier || pKey->modifiers() == Qt::KeypadModifier) {
      switch (pKey->key()) {
        case Qt::Key_Delete:
          OnDelete();
          return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
          OnSelChangeList(m_pEditor->Selected());
          m_mapEdits.at(m_pEditor->FocusField())->setFocus(Qt::OtherFocusReason);
          return true;
        default:
          break;
      }
    }
  }
  return QDialog::eventFilter(pWatched, pEvent);
}

void EditorDialog::BuildHeaders(DialogBuilder& kit, const std::vector<Header>& headers) {
  const QFont bold = BoldArial(16);
  for (std::size_t i = 0; i < headers.size(); ++i) {
    QLabel* pHeader =
        kit.Label(QString::fromLatin1(headers[i].pszText), headers[i].nId, headers[i].at);
    pHeader->setFont(bold);
    pHeader->setAlignment(Qt::AlignCenter);
    if (i + 1 < headers.size()) {  // a thin rule between two headers
      auto* pRule = new QFrame(this);
      pRule->setFrameStyle(QFrame::VLine | QFrame::Sunken);
      const UnitRect& at = headers[i].at;
      kit.Place(pRule, kNoId, {at.x + at.nWidth - 1, at.y, 2, at.nHeight});
    }
  }
}

QPushButton* EditorDialog::AddButton(DialogBuilder& kit, const char* pszText, int nId,
                                     UnitRect at) {
  QPushButton* pButton = kit.Button(QString::fromLatin1(pszText), nId, at);
  pButton->setAutoDefault(false);  // Enter presses nothing
  return pButton;
}

void EditorDialog::BuildButtons(DialogBuilder& kit) {
  // Made in the order Tab goes through them: row by row, left to right, the search field before
  // its button. "Delete" takes the right half of the space "Update" had alone.
  connect(AddButton(kit, "&Update", kIdUpdate, {10, 340, 170, 30}), &QPushButton::clicked, this,
          &EditorDialog::OnUpdate);
  connect(AddButton(kit, "&Delete", kIdDelete, {185, 340, 175, 30}), &QPushButton::clicked, this,
          &EditorDialog::OnDelete);
  m_pLookUp = AddButton(kit, m_lookUp.pszText, m_lookUp.nId, {365, 340, 185, 30});
  connect(m_pLookUp, &QPushButton::clicked, this, &EditorDialog::OnLookUp);
  connect(AddButton(kit, "&Save And Exit", kIdSaveAndExit, {555, 340, 100, 30}),
          &QPushButton::clicked, this, &EditorDialog::OnSaveAndExit);
  QLabel* pSearchLabel = kit.Label(QStringLiteral("Search Te&xt"), kNoId, {10, 380, 200, 10});
  m_pSearchText = kit.Edit(kIdSearchText, {10, 395, 200, 15});
  pSearchLabel->setBuddy(m_pSearchText);
  m_pSearch = AddButton(kit, "S&earch", kIdSearch, {215, 380, 145, 30});
  connect(m_pSearch, &QPushButton::clicked, this, &EditorDialog::OnSearch);
  connect(AddButton(kit, "&Top of list", kIdTopOfList, {365, 380, 90, 30}), &QPushButton::clicked,
          this, &EditorDialog::OnTopOfList);
  connect(AddButton(kit, "&Bottom of list", kIdBottomOfList, {460, 380, 90, 30}),
          &QPushButton::clicked, this, &EditorDialog::OnBottomOfList);
  connect(AddButton(kit, "&Quit", kIdQuit, {555, 380, 100, 30}), &QPushButton::clicked, this,
          &EditorDialog::reject);
}

void EditorDialog::UpdateData(bool bSaveAndValidate) {
  for (const auto& [nField, pEdit] : m_mapEdits) {
    if (bSaveAndValidate) {
      m_pEditor->SetField(nField, FromTyped(pEdit->text()));
    } else {
      pEdit->setText(ToDisplay(m_pEditor->Field(nField)));
    }
  }
}

void EditorDialog::ShowState() {
  setWindowTitle(ToDisplay(m_pEditor->Caption()));
  UpdateData(false);
  SelectRow(m_pEditor->Selected());
}

void EditorDialog::SelectRow(int nRow) {
  m_bShowing = true;
  const QModelIndex index = m_pModel->index(nRow);
  m_pList->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  m_pList->scrollTo(index);
  m_bShowing = false;
}

void EditorDialog::WhileSearching(QPushButton* pButton, const std::function<void()>& work) {
  const QString text = pButton->text();
  pButton->setText(QString::fromLatin1(kSearching));
  pButton->repaint();  // seen before the work keeps the event loop busy
  work();
  pButton->setText(text);
}

void EditorDialog::OnSelChangeList(int nRow) {
  if (m_bShowing || nRow < 0) {
    return;
  }
  m_pEditor->OnSelChangeList(nRow);
  setWindowTitle(ToDisplay(m_pEditor->Caption()));
  UpdateData(false);
}

void EditorDialog::OnUpdate() {
  UpdateData(true);
  if (m_pEditor->OnUpdate()) {
    FollowLines();
    setWindowTitle(ToDisplay(m_pEditor->Caption()));
    SelectRow(m_pEditor->Selected());  // the fields keep what was typed
  }
}

void EditorDialog::OnDelete() {
  if (m_pEditor->OnDelete()) {
    ShowEdited();
  }
}

void EditorDialog::OnUndo(bool bUndo) {
  if (bUndo ? m_pEditor->OnUndo() : m_pEditor->OnRedo()) {
    ShowEdited();
  }
}

void EditorDialog::FollowLines() {
  // A removed current row makes the view pick another one itself, counted before the removal:
  // that is no selection by the operator, and the core's own selection follows below.
  m_bShowing = true;
  m_pModel->LinesEdited(m_pEditor->LastEdits());
  m_bShowing = false;
}

void EditorDialog::ShowEdited() {
  FollowLines();
  ShowState();
}

void EditorDialog::OnSearch() {
  UpdateData(true);
  const std::string strSearch = FromTyped(m_pSearchText->text());
  WhileSearching(m_pSearch, [&] {
    if (m_pEditor->OnSearch(strSearch)) {
      ShowState();
    }
  });
}

void EditorDialog::OnTopOfList() {
  UpdateData(true);
  m_pEditor->OnTopOfList();
  ShowState();
  m_mapEdits.at(m_pEditor->FocusField())->setFocus();
}

void EditorDialog::OnBottomOfList() {
  UpdateData(true);
  m_pEditor->OnBottomOfList();
  ShowState();
  m_mapEdits.at(m_pEditor->FocusField())->setFocus();
}

void EditorDialog::OnLookUp() {
  WhileSearching(m_pLookUp, [this] {
    UpdateData(true);
    m_lookUp.run();
    UpdateData(false);
  });
}

void EditorDialog::OnSaveAndExit() {
  const bool bSaved = SaveAndExit();
  setWindowTitle(ToDisplay(m_pEditor->Caption()));
  if (bSaved) {
    accept();
  }
}

void EditorDialog::reject() {
  if (m_pEditor->OnQuit()) {
    QDialog::reject();
  }
}

void EditorDialog::MoveSelection(int nStep) {
  const int nRow = m_pEditor->Selected() + nStep;
  if (nRow >= 0 && nRow < m_pEditor->LineCount()) {
    SelectRow(nRow);
    OnSelChangeList(nRow);
  }
}

void EditorDialog::keyPressEvent(QKeyEvent* pEvent) {
  switch (pEvent->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      pEvent->accept();  // does nothing in the editors
      return;
    case Qt::Key_Up:
    case Qt::Key_Down:
      if (pEvent->modifiers() == Qt::NoModifier) {
        MoveSelection(pEvent->key() == Qt::Key_Up ? -1 : 1);
        pEvent->accept();
        return;
      }
      break;
    default:
      break;
  }
  QDialog::keyPressEvent(pEvent);
}

}  // namespace velvane
