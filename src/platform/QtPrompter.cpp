#include "platform/QtPrompter.h"

#include <QMessageBox>

#include "core/text/Text.h"

namespace velvane {

namespace {

QMessageBox::Icon ToQtIcon(PromptIcon icon) {
  switch (icon) {
    case PromptIcon::Exclamation:
      return QMessageBox::Warning;
    case PromptIcon::Question:
      return QMessageBox::Question;
    case PromptIcon::Information:
      return QMessageBox::Information;
    case PromptIcon::Error:
      return QMessageBox::Critical;
    case PromptIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(PromptButtons buttons) {
  switch (buttons) {
    case PromptButtons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case PromptButtons::Ok:
      break;
  }
  return QMessageBox::Ok;
}

// What a box closed without a choice answers.
PromptAnswer CancelAnswer(PromptButtons buttons) {
  switch (buttons) {
    case PromptButtons::OkCancel:
    case PromptButtons::YesNoCancel:
      return PromptAnswer::Cancel;
    case PromptButtons::YesNo:
      return PromptAnswer::No;
    case PromptButtons::Ok:
      break;
  }
  return PromptAnswer::Ok;
}

}  // namespace

PromptAnswer QtPrompter::Show(const std::string& text, const std::string& caption, PromptIcon icon,
                              PromptButtons buttons) {
  QMessageBox box(ToQtIcon(icon), QString::fromStdString(DisplayUtf8(caption)),
                  QString::fromStdString(DisplayUtf8(text)), ToQtButtons(buttons),
                  m_pParent.data());
  if (buttons == PromptButtons::YesNo) {
    box.setEscapeButton(QMessageBox::No);
  }
  switch (box.exec()) {
    case QMessageBox::Ok:
      return PromptAnswer::Ok;
    case QMessageBox::Cancel:
      return PromptAnswer::Cancel;
    case QMessageBox::Yes:
      return PromptAnswer::Yes;
    case QMessageBox::No:
      return PromptAnswer::No;
    default:
      break;
  }
  return CancelAnswer(buttons);
}

}  // namespace velvane
