#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "core/main/RadioCore.h"
#include "core/settings/AdminFields.h"
#include "gui/common/DialogPorts.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;

namespace velvane {

// "Velvane Admin": folders, timers, volume, play mode, database sizes, the update server, the
// sound and the now-playing outputs, with the menu of maintenance tools. Works on the main window's
// core directly.
//
// The fields are bound to m_fields and copied to and from the widgets only by UpdateData, so
// "Browse" puts every field back to its bound value, also one typed but not yet read.
class CAdminDlg : public QDialog {
  Q_OBJECT

 public:
  // Control ids; the update server field (1131), the sound settings (1132-1134) and the
  // now-playing outputs (1135-1138) are ours.
  static constexpr int kIdMusicDir = 1093;
  static constexpr int kIdFilesDir = 1094;
  static constexpr int kIdFadeTime = 1095;
  static constexpr int kIdAutoTime = 1096;
  static constexpr int kIdSystemTimer = 1097;
  static constexpr int kIdBrowseMusicDir = 1098;
  static constexpr int kIdBrowseFilesDir = 1099;
  static constexpr int kIdAutoChanger = 1100;
  static constexpr int kIdInitVolume = 1101;
  static constexpr int kIdChartSize = 1102;
  static constexpr int kIdPlaySize = 1103;
  static constexpr int kIdStatus = 1109;
  static constexpr int kIdUpdateServer = 1131;
  static constexpr int kIdEvenLoudness = 1132;
  static constexpr int kIdLoudnessTarget = 1133;
  static constexpr int kIdChangeAtMusicEnd = 1134;
  static constexpr int kIdNowPlayingFile = 1135;
  static constexpr int kIdNowPlayingTemplate = 1136;
  static constexpr int kIdStreamServer = 1137;
  static constexpr int kIdWebHook = 1138;

  // Menu command ids, carried by each action as the property "commandId".
  static constexpr int kCmdEditPlaylist = 32772;
  static constexpr int kCmdEditCharts = 32773;
  static constexpr int kCmdBuildAllRelationships = 32774;
  static constexpr int kCmdEditNumberOne = 32778;
  static constexpr int kCmdSetLogFile = 32779;
  static constexpr int kCmdNewChartListing = 32781;
  static constexpr int kCmdCheckMusicFiles = 32783;
  static constexpr int kCmdImportFolder = 32785;
  static constexpr int kCmdBuildPlaylistReferences = 32786;
  static constexpr int kCmdAnalyseMusicFiles = 32787;
  static constexpr int kCmdImportMusicLibrary = 32788;

  CAdminDlg(RadioCore& core, const DialogPorts& ports, QWidget* pParent = nullptr);

  // Runs the dialog modally; returns true when it was left with "Save And Exit" (the values
  // are then stored and saved). The caller has checked RadioCore::CanOpenAdmin().
  static bool Run(RadioCore& core, const DialogPorts& ports, QWidget* pParent);

  // The action of a menu command, or null.
  QAction* CommandAction(int nCommand) const;
  // The status line under the fields, where the menu commands report progress.
  void SetStatus(const std::string& strText);

  // "Save And Exit": stays open (the operator is told) while a size field is not a number.
  void accept() override;

 private:
  // true: widgets into m_fields; false: m_fields into the widgets.
  void UpdateData(bool bSaveAndValidate);
  void BuildControls();
  void BuildMenu();
  void OnBrowseMusicDir();
  void OnBrowseFilesDir();
  void BrowseInto(const std::string& strTitle, std::string& strFolder);
  void OnSetLogFile();
  // Runs the playlist or chart editor and saves both databases when it was saved.
  void EditRecords(const char* pszLoading, bool (*runEditor)(RadioCore&, QWidget*));
  void OnEditPlaylist();
  void OnEditCharts();
  void OnEditNumberOne();
  void OnCheckMusicFiles();
  void OnAnalyseMusicFiles();
  void OnImportFolder();
  void OnImportMusicLibrary();
  void OnBuildAllRelationships();
  void OnBuildPlaylistReferences();
  // The frame of both builds: the warning, the main window minimised with the progress as
  // its caption, the save of both files, the completion text.
  void RunBuild(const std::string& strWarning,
                void (*build)(TrackStore&, const std::function<void(const std::string&)>&),
                const std::string& strDone);
  void OnNewChartListing();
  void ShowStatusNow(const std::string& strText);

  RadioCore& m_core;
  DialogPorts m_ports;
  AdminFields m_fields;

  QLineEdit* m_pMusicDir = nullptr;
  QLineEdit* m_pFilesDir = nullptr;
  QLineEdit* m_pFadeTime = nullptr;
  QLineEdit* m_pAutoTime = nullptr;
  QLineEdit* m_pSystemTimer = nullptr;
  QLineEdit* m_pInitVolume = nullptr;
  QCheckBox* m_pAutoChanger = nullptr;
  QLineEdit* m_pPlaySize = nullptr;
  QLineEdit* m_pChartSize = nullptr;
  QLineEdit* m_pUpdateServer = nullptr;
  QCheckBox* m_pEvenLoudness = nullptr;
  QLineEdit* m_pLoudnessTarget = nullptr;
  QCheckBox* m_pChangeAtMusicEnd = nullptr;
  QLineEdit* m_pNowPlayingFile = nullptr;
  QLineEdit* m_pNowPlayingTemplate = nullptr;
  QLineEdit* m_pStreamServer = nullptr;
  QLineEdit* m_pWebHook = nullptr;
  QLabel* m_pStatus = nullptr;
  QWidget* m_pForm = nullptr;
};

}  // namespace velvane
