#pragma once

#include "core/editors/NumberOneEditor.h"
#include "core/main/RadioCore.h"
#include "gui/editors/EditorDialog.h"

namespace velvane {

// "Number One Editor": hits.dat entry by entry; it reads and writes the file itself.
class CNumberOneEditorDlg : public EditorDialog {
  Q_OBJECT

 public:
  static constexpr int kIdDate = 1121;
  static constexpr int kIdArtist = 1113;
  static constexpr int kIdTitle = 1114;
  static constexpr int kIdPosition = 1112;
  static constexpr int kIdCD = 1110;
  static constexpr int kIdTrack = 1111;
  static constexpr int kIdFindInPlaylist = 1122;

  CNumberOneEditorDlg(RadioCore& core, QWidget* pParent = nullptr);

  // Runs the editor; true when it ended with "Save And Exit" (hits.dat is then written).
  static bool Run(RadioCore& core, QWidget* pParent);

 private:
  bool SaveAndExit() override { return m_editor.OnSaveAndExit(); }

  NumberOneEditor m_editor;
};

}  // namespace velvane
