#pragma once

#include <QDialog>

#include "core/playback/QueueEditor.h"
#include "core/playback/RadioCore.h"

namespace velvane {

// "Edit Playlist": reorders and trims a copy of the play queue; "Save" writes it back unless a
// track started while the editor was open (the editor then locks itself).
class CQueueEditDlg : public QDialog {
  Q_OBJECT

 public:
  CQueueEditDlg(RadioCore& core, QWidget* pParent = nullptr);
  ~CQueueEditDlg() override;

  // The whole "Edit Playlist" command: opens the editor on the core's queue, runs it and
  // applies its result (RadioCore::BeginQueueEdit / EndQueueEdit).
  static void Run(RadioCore& core, QWidget* pParent);

  const QueueEditor& Editor() const { return m_editor; }

 private:
  RadioCore& m_core;
  QueueEditor m_editor;
};

}  // namespace velvane
