// The message box adapter needs a QApplication, so its tests run with the view tests.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>

#include "gui/ModalDriver.h"
#include "platform/QtPrompter.h"

namespace velvane {
namespace {

TEST(QtPrompterTest, ShowsCaptionTextIconAndButtonsAndReturnsTheChoice) {
  QtPrompter prompter;
  WhenModal<QMessageBox>([](QMessageBox& box) {
    EXPECT_EQ(box.windowTitle().toStdString(), "The ROLV Disco / Radio System");
    EXPECT_EQ(box.text().toStdString(), "Close the program?");
    EXPECT_EQ(box.icon(), QMessageBox::Question);
    EXPECT_EQ(box.standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
    box.button(QMessageBox::Cancel)->click();
  });
  EXPECT_EQ(prompter.Show("Close the program?", "The ROLV Disco / Radio System",
                          PromptIcon::Question, PromptButtons::OkCancel),
            PromptAnswer::Cancel);

  WhenModal<QMessageBox>([](QMessageBox& box) {
    EXPECT_EQ(box.icon(), QMessageBox::Warning);
    EXPECT_EQ(box.standardButtons(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    box.button(QMessageBox::No)->click();
  });
  EXPECT_EQ(prompter.Show("Save?", "T", PromptIcon::Exclamation, PromptButtons::YesNoCancel),
            PromptAnswer::No);

  WhenModal<QMessageBox>([](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); });
  EXPECT_EQ(prompter.Show("Sure?", "T", PromptIcon::Question, PromptButtons::YesNo),
            PromptAnswer::Yes);
}

TEST(QtPrompterTest, ABoxClosedWithEscapeAnswersItsCancellingButton) {
  QtPrompter prompter;
  WhenModal<QMessageBox>([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
  EXPECT_EQ(prompter.Show("Sure?", "T", PromptIcon::Question, PromptButtons::YesNo),
            PromptAnswer::No);
  WhenModal<QMessageBox>([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
  EXPECT_EQ(prompter.Show("Told", "T", PromptIcon::Exclamation, PromptButtons::Ok),
            PromptAnswer::Ok);
}

}  // namespace
}  // namespace velvane
