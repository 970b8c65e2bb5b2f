#pragma once

#include <QDialog>
#include <functional>
#include <map>
#include <vector>

#include "core/editors/RecordEditor.h"
#include "gui/common/DialogKit.h"

class QLineEdit;
class QListView;
class QPushButton;

namespace velvane {

class EditorListModel;

// The controls the chart and number one editors share, at the same places (see
// EditorDialog::DatedHeaders and DatedEdits).
struct DatedEditorIds {
  static constexpr int kIdPositionHeader = 1088;
  static constexpr int kIdDateHeader = 1089;
  static constexpr int kIdArtistHeader = 1090;
  static constexpr int kIdTitleHeader = 1091;
  static constexpr int kIdCdTrackHeader = 1092;
  static constexpr int kIdCD = 1110;
  static constexpr int kIdTrack = 1111;
  static constexpr int kIdPosition = 1112;
  static constexpr int kIdArtist = 1113;
  static constexpr int kIdTitle = 1114;
  static constexpr int kIdDate = 1121;
  static constexpr int kIdFindInPlaylist = 1122;
};

// What the three editor dialogs share: the list of the core's lines at the list box's tab
// stops, the edit fields bound to the core's fields, "Update", "Search", "Top of list",
// "Bottom of list", "Save And Exit" and "Quit", each forwarded to the core. Each dialog gives
// only its headers, edit fields, tab stops and look-up button.
//
// Keys: Up / Down move the selection (also from an edit field) and show the line; Enter on the
// list fills the fields and goes to the first of them, elsewhere it does nothing; Delete on the
// list is "Delete"; Ctrl+Z undoes the last Update or Delete, Ctrl+Shift+Z and Ctrl+Y redo
// (everywhere in the dialog, edit fields included); Ctrl+F puts the focus in the search field;
// Esc and the close box are "Quit"; every button has its Alt mnemonic; Tab goes list, fields,
// buttons row by row, search field.
class EditorDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kIdList = 1115;
  static constexpr int kIdUpdate = 1124;
  static constexpr int kIdDelete = 1125;
  static constexpr int kIdSaveAndExit = 1033;
  static constexpr int kIdQuit = 2;
  static constexpr int kIdSearchText = 1118;
  static constexpr int kIdSearch = 1117;
  static constexpr int kIdTopOfList = 1120;
  static constexpr int kIdBottomOfList = 1119;

  QListView* List() const { return m_pList; }

  // "Quit", Esc and the close box: closes only when the operator agrees.
  void reject() override;

 protected:
  struct Header {
    int nId;
    const char* pszText;
    UnitRect at;
  };
  struct FieldEdit {
    std::size_t nField;
    int nId;
    UnitRect at;
    bool bCentred;
    bool bEnabled;
  };
  struct LookUp {
    int nId;
    const char* pszText;
    std::function<void()> run;  // the core's look-up
  };

  explicit EditorDialog(QWidget* pParent);

  // The chart and number one editors show the same fields at the same places: date, artist,
  // title, position, CD, track (CD and track never typed; the position only in the chart
  // editor).
  static std::vector<Header> DatedHeaders();
  static std::vector<FieldEdit> DatedEdits(bool bPositionTyped);

  // Builds the controls for `editor` (owned by the derived dialog) and shows its state.
  void Build(RecordEditor& editor, const std::vector<Header>& headers,
             const std::vector<FieldEdit>& edits, const std::vector<int>& tabStops, LookUp lookUp);
  // The core's "Save And Exit"; true when the dialog may end as accepted.
  virtual bool SaveAndExit() = 0;

  void keyPressEvent(QKeyEvent* pEvent) override;
  bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

 private:
  void BuildHeaders(DialogBuilder& kit, const std::vector<Header>& headers);
  void BuildButtons(DialogBuilder& kit);
  QPushButton* AddButton(DialogBuilder& kit, const char* pszText, int nId, UnitRect at);
  // true: the edit fields into the core's fields; false: the core's fields into the edits.
  void UpdateData(bool bSaveAndValidate);
  // The core's caption, fields and selection on screen.
  void ShowState();
  void SelectRow(int nRow);
  // Runs `work` with the button showing "Searching..." meanwhile.
  void WhileSearching(QPushButton* pButton, const std::function<void()>& work);

  void OnSelChangeList(int nRow);
  void OnUpdate();
  void OnDelete();
  // Undo (true) or redo (false).
  void OnUndo(bool bUndo);
  // The list follows the core's last edit of its lines.
  void FollowLines();
  // The lines, the caption, the fields and the selection after an edit of the core.
  void ShowEdited();
  void OnSearch();
  void OnTopOfList();
  void OnBottomOfList();
  void OnLookUp();
  void OnSaveAndExit();
  void MoveSelection(int nStep);
  void AddShortcuts();

  RecordEditor* m_pEditor = nullptr;
  EditorListModel* m_pModel = nullptr;
  QListView* m_pList = nullptr;
  QLineEdit* m_pSearchText = nullptr;
  QPushButton* m_pSearch = nullptr;
  QPushButton* m_pLookUp = nullptr;
  std::map<std::size_t, QLineEdit*> m_mapEdits;  // field -> its edit
  LookUp m_lookUp;
  bool m_bShowing = false;  // the view moves the selection itself: no selection change
};

}  // namespace velvane
