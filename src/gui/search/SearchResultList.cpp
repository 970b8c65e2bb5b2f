#include "gui/search/SearchResultList.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>
#include <vector>

namespace velvane {

namespace {

// Tab stops of the result lines, in dialog units from the list's left edge.
constexpr int kTabStops[] = {150, 300, 320, 340};
// Text inset of every column, and the space kept clear before the next column, in pixels.
constexpr int kTextInset = 3;
constexpr int kColumnGap = 4;
// Least space between two headers, so a header pushed aside still reads as a word of its own.
constexpr int kHeaderGap = 10;

// Paints a result line's tab-separated fields at the list's tab stops. A field too long for its
// column is cut short with an ellipsis, so the columns stay aligned under their headers.
class TabStopDelegate : public QStyledItemDelegate {
 public:
  TabStopDelegate(std::vector<int> stops, QObject* pParent)
      : QStyledItemDelegate(pParent), m_vecStops(std::move(stops)) {}

  void paint(QPainter* pPainter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
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
    const QStringList fields = text.split(QLatin1Char('\t'));
    const int nColumns = static_cast<int>(m_vecStops.size()) + 1;
    for (int i = 0; i < std::min(static_cast<int>(fields.size()), nColumns); ++i) {
      // A stray tab inside a field must not lose the text after it: the rest goes to the last
      // column.
      const QString field = i + 1 < nColumns ? fields[i] : fields.mid(i).join(QLatin1Char(' '));
      const int nLeft = item.rect.left() + kTextInset + (i == 0 ? 0 : m_vecStops[i - 1]);
      const int nRight = i + 1 < nColumns
                             ? item.rect.left() + kTextInset + m_vecStops[i] - kColumnGap
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

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
    return QSize(option.rect.width(), QFontMetrics(option.font).height() + 2);
  }

 private:
  std::vector<int> m_vecStops;  // pixels from the text start
};

// A result line as the list shows it: each field converted on its own, so a field cut in the
// middle of a character spoils only itself.
QString DisplayLine(const SearchRow& row) {
  const std::string strLine = FormatSearchLine(row);
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

}  // namespace

SearchResultList::SearchResultList(DialogBuilder& kit, int nTop, int nDialogWidth,
                                   int nDialogHeight) {
  constexpr int kMargin = 7;
  const int nWidth = nDialogWidth - 2 * kMargin;
  const QFont bold = BoldArial(16);
  const DialogUnits& du = kit.Units();

  m_pStatus = kit.Label(QString(), kIdStatus, {kMargin, nTop, nWidth, 13});
  m_pStatus->setFrameStyle(QFrame::Box | QFrame::Plain);
  m_pStatus->setTextFormat(Qt::PlainText);
  m_pStatus->setFont(bold);

  const int nHeaderTop = nTop + 17;
  const int nListTop = nHeaderTop + 12;
  m_pList = kit.List(kIdList, {kMargin, nListTop, nWidth, nDialogHeight - kMargin - nListTop});
  m_pList->setFont(bold);
  m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
  m_pList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  m_pList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_pList->setUniformItemSizes(true);
  m_pList->setTextElideMode(Qt::ElideNone);
  std::vector<int> stops;
  for (const int nStop : kTabStops) {
    stops.push_back(du.X(nStop));
  }
  m_pList->setItemDelegate(new TabStopDelegate(stops, m_pList));

  // Each header stands over its column; where a header is wider than its column the next one
  // moves right rather than run into it.
  const struct {
    int nId;
    const char* pszText;
    int nColumn;
  } headers[] = {{kIdArtistHeader, "Artist", 0},
                 {kIdTitleHeader, "Title", 1},
                 {kIdCdTrackHeader, "CD  Track", 2},
                 {kIdChartInfoHeader, "Chart Info", 4}};
  const int nTextLeft = m_pList->x() + m_pList->frameWidth() + kTextInset;
  int nFree = 0;
  for (const auto& header : headers) {
    auto* pHeader = new QLabel(QString::fromLatin1(header.pszText), kit.Parent());
    pHeader->setFont(bold);
    const int nColumnLeft = nTextLeft + (header.nColumn == 0 ? 0 : stops[header.nColumn - 1]);
    const int nLeft = std::max(nColumnLeft, nFree);
    const int nHeaderWidth = pHeader->sizeHint().width();
    pHeader->setGeometry(nLeft, du.Y(nHeaderTop), nHeaderWidth, du.Y(11));
    nFree = nLeft + nHeaderWidth + kHeaderGap;
    SetControlId(pHeader, header.nId);
  }
}

void SearchResultList::SetStatus(const std::string& strStatus, bool bPaintNow) {
  m_pStatus->setText(ToDisplay(strStatus));
  if (bPaintNow) {
    m_pStatus->repaint();
  }
}

void SearchResultList::ShowRows(std::vector<SearchRow> rows) {
  m_vecRows = std::move(rows);
  m_pList->clear();
  QStringList lines;
  lines.reserve(static_cast<qsizetype>(m_vecRows.size()));
  for (const SearchRow& row : m_vecRows) {
    lines << DisplayLine(row);
  }
  m_pList->addItems(lines);
}

void SearchResultList::AddSelectedToList(RadioCore& core) {
  const QModelIndexList selected = m_pList->selectionModel()->selectedIndexes();
  if (selected.isEmpty()) {
    return;
  }
  const auto nLine = static_cast<std::size_t>(selected.first().row());
  if (nLine < m_vecRows.size()) {
    SetStatus(AddRowToList(m_vecRows[nLine], core.Queue(), core.GetSettings().strFilesDir));
  }
}

}  // namespace velvane
