#pragma once

#include <QDialog>
#include <string>

#include "core/main/RadioCore.h"
#include "core/ports/HttpClient.h"
#include "core/updates/UpdateCatalogue.h"

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace velvane {

// "Chart Updates": the update server's catalogue, one update applied at a time. Downloads wait
// in an event loop, so the window keeps painting; Esc or the close box during a download ends
// the download, and nothing is changed; "Exit" ends it and closes the dialog once it stopped.
class CChartUpdatesDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kIdUpdate = 1124;
  static constexpr int kIdList = 1130;
  static constexpr int kIdProgress = 1132;

  // `strServer`: the update server as the UpdateServer setting names it.
  CChartUpdatesDlg(RadioCore& core, HttpClient& http, std::string strServer,
                   QWidget* pParent = nullptr);

  // Runs the dialog modally; false when it ended with Cancel (the catalogue could not be
  // fetched, or the operator closed it).
  static bool Run(RadioCore& core, HttpClient& http, const std::string& strServer,
                  QWidget* pParent);

  // Fetches the catalogue into the list; ends the dialog with Cancel when the connection
  // fails. Runs as soon as the dialog is up.
  void OnLoadCatalogue();
  // "Update": downloads the selected update and applies it.
  void OnApplyUpdate();

  // During a download, Esc and the close box end the download instead; "Exit" ends it and
  // closes the dialog when it has stopped.
  void accept() override;
  void reject() override;

 private:
  void BuildControls();
  void OnDownloadProgress(long long nReceived, long long nTotal);
  void SetBusy(bool bBusy);
  // After a download: closes the dialog when "Exit" was pressed during it.
  bool ClosedAfterDownload();
  // Ends a download in progress; false when there is none.
  bool CancelDownload();

  RadioCore& m_core;
  HttpClient& m_http;
  std::string m_strServer;
  UpdateList m_updates;
  bool m_bBusy = false;
  bool m_bCancelled = false;
  bool m_bExitAfterDownload = false;
  QLabel* m_pHeading = nullptr;
  QListWidget* m_pList = nullptr;
  QProgressBar* m_pProgress = nullptr;
  QPushButton* m_pUpdate = nullptr;
};

}  // namespace velvane
