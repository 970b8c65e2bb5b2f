#include "gui/search/SearchResultList.h"

#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <algorithm>
#include <vector>

#include "gui/common/TabStopDelegate.h"

namespace velvane {

namespace {

// Tab stops of the result lines, in dialog units from the list's left edge.
constexpr int kTabStops[] = {150, 300, 320, 340};
// Least space between two headers, so a header pushed aside still reads as a word of its own.
constexpr int kHeaderGap = 10;
constexpr int kTextInset = TabStopDelegate::kTextInset;

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
    lines << DisplayFields(FormatSearchLine(row));
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
