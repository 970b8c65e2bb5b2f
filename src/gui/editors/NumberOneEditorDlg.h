#pragma once

#include "core/editors/NumberOneEditor.h"
#include "core/main/RadioCore.h"
#include "gui/editors/EditorDialog.h"

namespace velvane {

// "Number One Editor": hits.dat entry by entry; it reads and writes the file itself.
class CNumberOneEditorDlg : public EditorDialog, public DatedEditorIds {
  Q_OBJECT

 public:
  CNumberOneEditorDlg(RadioCore& core, QWidget* pParent = nullptr);

  // Runs the editor; true when it ended with "Save And Exit" (hits.dat is then written).
  static bool Run(RadioCore& core, QWidget* pParent);

 private:
  bool SaveAndExit() override { return m_editor.OnSaveAndExit(); }

  NumberOneEditor m_editor;
};

}  // namespace velvane
