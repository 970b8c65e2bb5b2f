#pragma once

#include <QString>
#include <QStyledItemDelegate>
#include <string>
#include <vector>

namespace velvane {

// Paints a list line's tab-separated fields at tab stops, as a list box with tab stops does.
// A field too long for its column is cut short with an ellipsis, so the columns stay aligned
// under their headers; a field whose stop lies beyond the list's width is out of sight.
class TabStopDelegate : public QStyledItemDelegate {
 public:
  // `stops`: pixels from the text start, one per field after the first.
  TabStopDelegate(std::vector<int> stops, QObject* pParent);

  void paint(QPainter* pPainter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override;

  // Text inset of every column, in pixels.
  static constexpr int kTextInset = 3;

 private:
  std::vector<int> m_vecStops;
};

// A tab-separated line of stored fields as the list shows it: each field converted on its own,
// so a field stored in another encoding, or cut in the middle of a character, spoils only
// itself.
QString DisplayFields(const std::string& strLine);

}  // namespace velvane
