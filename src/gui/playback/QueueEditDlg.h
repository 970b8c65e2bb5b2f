#pragma once

#include <QDialog>

#include "core/main/RadioCore.h"
#include "core/playback/QueueEditor.h"

class QPushButton;
class QTreeWidget;

namespace velvane {

// "Edit Playlist": reorders and trims a copy of the play queue; "Save" writes it back unless a
// track started while the editor was open (the editor then locks itself).
class CQueueEditDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kIdList = 1069;
  static constexpr int kIdMoveUp = 1070;
  static constexpr int kIdMoveDown = 1071;
  static constexpr int kIdRemove = 1072;

  CQueueEditDlg(RadioCore& core, QWidget* pParent = nullptr);
  ~CQueueEditDlg() override;

  // The whole "Edit Playlist" command: opens the editor on the core's queue, runs it and
  // applies its result (RadioCore::BeginQueueEdit / EndQueueEdit).
  static void Run(RadioCore& core, QWidget* pParent);

  const QueueEditor& Editor() const { return m_editor; }

  void done(int nResult) override;

 private:
  // The selected list line, or -1.
  int SelectedLine() const;
  // Lists the editor's lines again and selects `nSelect` (none when -1).
  void FillList(int nSelect);
  void OnMoveUp();
  void OnMoveDown();
  void OnRemove();
  // A track started under the editor: only "Quit" stays usable.
  void OnQueueEditorLocked();
  bool TrackCurrent() const { return m_core.Play().CurrentDeck() != 0; }

  RadioCore& m_core;
  QueueEditor m_editor;
  QTreeWidget* m_pList = nullptr;
};

}  // namespace velvane
