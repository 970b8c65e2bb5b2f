#pragma once

#include <QDialog>

#include "core/db/Records.h"
#include "core/main/RadioCore.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace velvane {

// "Finding the No. 1 on a given date": looks a typed date up in hits.dat and, when the library
// holds the song, queues it.
class CNumberOneDateDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kIdSearch = 1034;
  static constexpr int kIdDate = 1105;
  static constexpr int kIdResult = 1106;
  static constexpr int kIdAddToPlaylist = 1107;

  CNumberOneDateDlg(RadioCore& core, QWidget* pParent = nullptr);

  // Runs the dialog; it reads hits.dat itself, so it needs no database opened at start-up.
  static void Run(RadioCore& core, QWidget* pParent);

 private:
  void OnSearch();
  void OnAddToPlaylist();

  RadioCore& m_core;
  NumberOneEntry m_found;  // the last number one found; a failed search keeps it
  QLineEdit* m_pDate = nullptr;
  QLabel* m_pResult = nullptr;
  QPushButton* m_pAddToPlaylist = nullptr;
};

}  // namespace velvane
