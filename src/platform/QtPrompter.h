#pragma once

#include <QPointer>
#include <QWidget>

#include "core/ports/Prompter.h"

namespace velvane {

// The prompter over QMessageBox: the caption, text, icon (exclamation shows as a warning,
// question as a question) and buttons the core asks for, and the button the operator chose.
// A box closed without a choice (Escape, the close button) answers as its cancelling button
// would: Cancel, or No for Yes / No, or Ok for a box with only OK.
class QtPrompter : public Prompter {
 public:
  explicit QtPrompter(QWidget* pParent = nullptr) : m_pParent(pParent) {}

  PromptAnswer Show(const std::string& text, const std::string& caption, PromptIcon icon,
                    PromptButtons buttons) override;

  // The window the boxes are centred on and modal to; null for none.
  void SetParentWidget(QWidget* pParent) { m_pParent = pParent; }

 private:
  QPointer<QWidget> m_pParent;
};

}  // namespace velvane
