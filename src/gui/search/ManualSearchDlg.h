#pragma once

#include <QDialog>
#include <memory>

#include "core/main/RadioCore.h"
#include "gui/search/SearchResultList.h"

class QLineEdit;

namespace velvane {

// "Search For Tracks" by artist and title: every matching chart entry and every matching
// library track outside the charts, each line ready to be queued or wished for.
class CManualSearchDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kIdArtist = 1080;
  static constexpr int kIdTitle = 1081;
  static constexpr int kIdSearch = 1084;
  static constexpr int kIdAddToList = 1086;
  static constexpr int kIdArtistLabel = 1087;
  static constexpr int kIdTitleLabel = 1092;

  CManualSearchDlg(RadioCore& core, QWidget* pParent = nullptr);

  // Runs the dialog; the caller opens it only when both database files were opened.
  static void Run(RadioCore& core, QWidget* pParent);

 private:
  void OnSearch();
  void OnAddToList();

  RadioCore& m_core;
  QLineEdit* m_pArtist = nullptr;
  QLineEdit* m_pTitle = nullptr;
  std::unique_ptr<SearchResultList> m_pResults;
};

}  // namespace velvane
