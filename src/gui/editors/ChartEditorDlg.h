#pragma once

#include "core/editors/ChartEditor.h"
#include "core/main/RadioCore.h"
#include "gui/editors/EditorDialog.h"

namespace velvane {

// "Chart Editor": the chart history entry by entry, on the main window's records.
class CChartEditorDlg : public EditorDialog, public DatedEditorIds {
  Q_OBJECT

 public:
  CChartEditorDlg(RadioCore& core, QWidget* pParent = nullptr);

  // Runs the editor; true when it ended with "Save And Exit".
  static bool Run(RadioCore& core, QWidget* pParent);

 private:
  bool SaveAndExit() override { return m_editor.OnSaveAndExit(); }

  ChartEditor m_editor;
};

}  // namespace velvane
