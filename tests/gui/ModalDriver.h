#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>

namespace velvane {

// Drives the next modal dialog of type T from inside its own event loop: `script` runs once
// the dialog is up, and the dialog is cancelled afterwards if the script left it open, so a
// failing test cannot hang in exec().
template <typename T>
void WhenModal(std::function<void(T&)> script) {
  QTimer::singleShot(0, [script] {
    QWidget* pModal = QApplication::activeModalWidget();
    auto* pDialog = qobject_cast<T*>(pModal);
    if (pDialog == nullptr) {
      ADD_FAILURE() << "the expected dialog is not the modal window";
      if (auto* pOther = qobject_cast<QDialog*>(pModal)) {
        pOther->reject();
      }
      return;
    }
    script(*pDialog);
    if (pDialog->isVisible()) {
      pDialog->reject();
    }
  });
}

}  // namespace velvane
