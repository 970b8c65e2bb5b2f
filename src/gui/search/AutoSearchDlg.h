#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "core/main/RadioCore.h"
#include "core/ports/Clock.h"
#include "core/search/Random.h"
#include "gui/search/SearchResultList.h"

class QComboBox;

namespace velvane {

// "Search For Tracks" at random: up to 20 chart hits from a range of years, or library tracks
// that never charted, each ready to be queued or wished for.
class CAutoSearchDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kIdTop40 = 1085;
  static constexpr int kIdAddToList = 1086;
  static constexpr int kIdStartYearLabel = 1092;
  static constexpr int kIdEndYearLabel = 1093;
  static constexpr int kIdStartYear = 1102;
  static constexpr int kIdEndYear = 1103;
  static constexpr int kIdOutOfChart = 1104;

  // Offers the years up to the clock's current year and starts from the core's year range.
  CAutoSearchDlg(RadioCore& core, Clock& clock, QWidget* pParent = nullptr);

  // Runs the dialog and, however it was closed, hands its years back to the core. The caller
  // opens it only when both database files were opened.
  static void Run(RadioCore& core, Clock& clock, QWidget* pParent);

  // The year texts as last read from the combo boxes (at first the core's).
  YearRange Years() const { return {m_strStartYear, m_strEndYear}; }

  // "Quit" reads the years once more; Esc and the close box keep those last read.
  void accept() override;

 private:
  void ReadYears();
  static void SelectYear(QComboBox* pCombo, const std::string& strYear);
  void OnSelChangeStartYear();
  void OnSelChangeEndYear();
  void OnNewTop40Selection();
  void OnNewOutOfChartSelection();
  void OnAddToList();

  RadioCore& m_core;
  Random15 m_random;
  std::string m_strStartYear;
  std::string m_strEndYear;
  QComboBox* m_pStartYear = nullptr;
  QComboBox* m_pEndYear = nullptr;
  std::unique_ptr<SearchResultList> m_pResults;
};

}  // namespace velvane
