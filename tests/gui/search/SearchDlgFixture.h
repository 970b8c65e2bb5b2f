#pragma once

#include <gtest/gtest.h>

#include <QListWidget>
#include <QTest>
#include <string>
#include <vector>

#include "core/editors/EditorFixture.h"
#include "core/main/RadioFixture.h"
#include "gui/ModalDriver.h"
#include "gui/search/SearchResultList.h"

namespace velvane {

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
  Texts QueuedCDs() const {
    Texts cds;
    for (const QueueSlot& slot : m_radio.QueueSlotsNow()) {
      if (!slot.strCD.empty()) {
        cds.push_back(slot.strCD);
      }
    }
    return cds;
  }
};

}  // namespace velvane
