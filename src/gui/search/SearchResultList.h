#pragma once

#include <string>
#include <vector>

#include "core/main/RadioCore.h"
#include "core/search/SearchRow.h"
#include "gui/common/DialogKit.h"

class QLabel;
class QListWidget;

namespace velvane {

// The lower part both track searches share: the status line, the column headers and the
// result list, with the rows behind the list lines kept for "Add To List".
class SearchResultList {
 public:
  static constexpr int kIdStatus = 1082;
  static constexpr int kIdList = 1083;
  static constexpr int kIdCdTrackHeader = 1088;
  static constexpr int kIdChartInfoHeader = 1089;
  static constexpr int kIdArtistHeader = 1090;
  static constexpr int kIdTitleHeader = 1091;

  // Builds the controls with `kit` across the dialog's width, from `nTop` down to its bottom
  // margin; sizes are in dialog units.
  SearchResultList(DialogBuilder& kit, int nTop, int nDialogWidth, int nDialogHeight);

  // `bPaintNow`: show it at once, before a long piece of work keeps the event loop busy.
  void SetStatus(const std::string& strStatus, bool bPaintNow = false);
  // Replaces the list and the rows behind it; nothing is selected afterwards.
  void ShowRows(std::vector<SearchRow> rows);
  // The selected line queued, or wished for when the library lacks it; with no line selected
  // nothing happens.
  void AddSelectedToList(RadioCore& core);

  QListWidget* List() const { return m_pList; }

 private:
  QLabel* m_pStatus = nullptr;
  QListWidget* m_pList = nullptr;
  std::vector<SearchRow> m_vecRows;
};

}  // namespace velvane
