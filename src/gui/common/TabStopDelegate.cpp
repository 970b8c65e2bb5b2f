#include "gui/common/TabStopDelegate.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <utility>

#include "gui/common/QtText.h"

namespace velvane {

namespace {

// The space kept clear before the next column, in pixels.
constexpr int kColumnGap = 4;

}  // namespace

TabStopDelegate::TabStopDelegate(std::vector<int> stops, QObject* pParent)
    : QStyledItemDelegate(pParent), m_vecStops(std::move(stops)) {}

void TabStopDelegate::paint(QPainter* pPainter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
  QStyleOptionViewItem item(option);
  initStyleOption(&item, index);
  const QString text = item.text;
  item.text.clear();
  const QWidget* pWidget = item.widget;
  QStyle* pStyle = pWidget != nullptr ? pWidget->style() : QApplication::style();
  pStyle->drawControl(QStyle::CE_ItemViewItem, &item, pPainter, pWidget);

  const QPalette::ColorGroup group = !(item.state & QStyle::State_Enabled) ? QPalette::Disabled
                                     : (item.state & QStyle::State_Active) ? QPalette::Active
                                                                           : QPalette::Inactive;
  const QPalette::ColorRole role =
      (item.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text;
  pPainter->save();
  pPainter->setFont(item.font);
  pPainter->setPen(item.palette.color(group, role));
  const QFontMetrics metrics(item.font);
  QStringList fields = text.split(QLatin1Char('\t'));
  // The last field with text may use the width of the empty columns after it, so a long
  // message such as an import's "Not importable: ..." reason is shown whole.
  while (!fields.isEmpty() && fields.back().isEmpty()) {
    fields.removeLast();
  }
  const int nColumns = std::min(static_cast<int>(m_vecStops.size()) + 1,
                                std::max(static_cast<int>(fields.size()), 1));
  for (int i = 0; i < std::min(static_cast<int>(fields.size()), nColumns); ++i) {
    // A stray tab inside a field must not lose the text after it: the rest goes to the last
    // column.
    const QString field = i + 1 < nColumns ? fields[i] : fields.mid(i).join(QLatin1Char(' '));
    const int nLeft = item.rect.left() + kTextInset + (i == 0 ? 0 : m_vecStops[i - 1]);
    const int nRight = i + 1 < nColumns ? item.rect.left() + kTextInset + m_vecStops[i] - kColumnGap
                                        : item.rect.right() - kTextInset;
    if (nRight <= nLeft) {
      continue;
    }
    const QRect cell(nLeft, item.rect.top(), nRight - nLeft, item.rect.height());
    pPainter->drawText(cell, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                       metrics.elidedText(field, Qt::ElideRight, cell.width()));
  }
  pPainter->restore();
}

QSize TabStopDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
  return QSize(option.rect.width(), QFontMetrics(option.font).height() + 2);
}

QString DisplayFields(const std::string& strLine) {
  QStringList fields;
  std::size_t nStart = 0;
  for (;;) {
    const std::size_t nTab = strLine.find('\t', nStart);
    fields << ToDisplay(strLine.substr(nStart, nTab - nStart));
    if (nTab == std::string::npos) {
      break;
    }
    nStart = nTab + 1;
  }
  return fields.join(QLatin1Char('\t'));
}

}  // namespace velvane
