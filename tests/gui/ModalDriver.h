#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "gui/common/DialogKit.h"
#include "gui/common/DialogPorts.h"
#include "support/Fakes.h"

namespace velvane {

using Texts = std::vector<std::string>;

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

// The operator clicks control `nId` of `dialog`.
inline void Click(QWidget& dialog, int nId) {
  QTest::mouseClick(FindControl(&dialog, nId), Qt::LeftButton);
}

// The text a field, label or button `nId` of `dialog` shows.
inline std::string TextOf(QWidget& dialog, int nId) {
  QWidget* pControl = FindControl(&dialog, nId);
  if (const auto* pField = qobject_cast<QLineEdit*>(pControl)) {
    return pField->text().toStdString();
  }
  if (const auto* pButton = qobject_cast<QAbstractButton*>(pControl)) {
    return pButton->text().toStdString();
  }
  const auto* pLabel = qobject_cast<QLabel*>(pControl);
  EXPECT_NE(pLabel, nullptr) << "control " << nId << " shows no text";
  return pLabel != nullptr ? pLabel->text().toStdString() : std::string();
}

// A fake for every port a dialog uses; `ports` hands them to the dialogs as the program hands
// the real ones.
struct FakeDialogPorts {
  FakeFileChooser chooser;
  FakeTagReader tags;
  FakeAudioAnalyser analyser;
  FakeHttpClient http;
  DialogPorts ports{chooser, tags, analyser, http, {}};
};

}  // namespace velvane
