#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "core/main/RadioFixture.h"
#include "gui/common/DialogKit.h"
#include "gui/common/DialogPorts.h"
#include "gui/search/SearchResultList.h"
#include "support/Fakes.h"
#include "support/Records.h"

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

// The main window core over fakes, with helpers to fill its records and to work a search
// dialog's controls.
class SearchDlgFixture : public RadioFixture {
 protected:
  // A library record or a chart entry; returns its index.
  int Record(const std::string& strArtist, const std::string& strTitle, const std::string& strCD,
             const std::string& strTrack, int nChartLink = -1) {
    return AppendRecord(m_radio.Store(), {strArtist, strTitle, strCD, strTrack, nChartLink});
  }
  int Chart(const std::string& strDate, const std::string& strArtist, const std::string& strTitle,
            const std::string& strPosition, int nPlaylistLink = -1) {
    return AppendChart(m_radio.Store(), {strDate, strArtist, strTitle, strPosition, nPlaylistLink});
  }

  static QListWidget* List(QWidget& dialog) {
    return FindControlAs<QListWidget>(&dialog, SearchResultList::kIdList);
  }
  static Texts Lines(QWidget& dialog) {
    Texts lines;
    for (int i = 0; i < List(dialog)->count(); ++i) {
      lines.push_back(List(dialog)->item(i)->text().toStdString());
    }
    return lines;
  }
  static std::string Status(QWidget& dialog) { return TextOf(dialog, SearchResultList::kIdStatus); }
  static void Select(QWidget& dialog, int nLine) { List(dialog)->setCurrentRow(nLine); }
  // Double-clicks a line of the shown list, as the operator does.
  static void DoubleClick(QWidget& dialog, int nLine) {
    QListWidget* pList = List(dialog);
    const QPoint point = pList->visualItemRect(pList->item(nLine)).center();
    QTest::mouseClick(pList->viewport(), Qt::LeftButton, {}, point);
    QTest::mouseDClick(pList->viewport(), Qt::LeftButton, {}, point);
  }
};

}  // namespace velvane
