// The message box adapter needs a QApplication, so its tests run with the view tests.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>

#include "gui/ModalDriver.h"
#include "platform/QtPrompter.h"

namespace velvane {
namespace {

TEST(QtPrompterTest, ShowsCaptionTextIconAndButtonsAndReturnsTheChoiceOrTheCancellingOne) {
  using Box = QMessageBox;
  const struct {
    PromptIcon icon;
    PromptButtons buttons;
    Box::Icon boxIcon;
    Box::StandardButtons boxButtons;
    Box::StandardButton press;  // NoButton: Escape
    PromptAnswer answer;
  } cases[] = {
      {PromptIcon::Question, PromptButtons::OkCancel, Box::Question, Box::Ok | Box::Cancel,
       Box::Cancel, PromptAnswer::Cancel},
      {PromptIcon::Exclamation, PromptButtons::YesNoCancel, Box::Warning,
       Box::Yes | Box::No | Box::Cancel, Box::No, PromptAnswer::No},
      {PromptIcon::Question, PromptButtons::YesNo, Box::Question, Box::Yes | Box::No, Box::Yes,
       PromptAnswer::Yes},
      {PromptIcon::Question, PromptButtons::YesNo, Box::Question, Box::Yes | Box::No, Box::NoButton,
       PromptAnswer::No},
      {PromptIcon::Exclamation, PromptButtons::Ok, Box::Warning, Box::Ok, Box::NoButton,
       PromptAnswer::Ok},
  };
  QtPrompter prompter;
  for (const auto& c : cases) {
    WhenModal<QMessageBox>([&c](QMessageBox& box) {
      EXPECT_EQ(box.windowTitle().toStdString(), "The ROLV Disco / Radio System");
      EXPECT_EQ(box.text().toStdString(), "Close the program?");
      EXPECT_EQ(box.icon(), c.boxIcon);
      EXPECT_EQ(box.standardButtons(), c.boxButtons);
      if (c.press == Box::NoButton) {
        QTest::keyClick(&box, Qt::Key_Escape);
      } else {
        box.button(c.press)->click();
      }
    });
    EXPECT_EQ(
        prompter.Show("Close the program?", "The ROLV Disco / Radio System", c.icon, c.buttons),
        c.answer);
  }
}

}  // namespace
}  // namespace velvane
