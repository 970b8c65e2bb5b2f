#pragma once

#include <string>

#include "core/settings/Settings.h"

namespace velvane {

// The fields of the administration dialog as the operator sees and types them.
struct AdminFields {
  std::string strMusicDir;
  std::string strFilesDir;
  std::string strFadeTime;     // "Auto Fade"
  std::string strAutoTime;     // "Auto Change"
  std::string strSystemTimer;  // "System Clock"
  std::string strInitVolume;   // "Initial Volume": 1000 minus the stored setting
  bool bAutoChanger = false;   // the play mode setting
  std::string strPlaySize;
  std::string strChartSize;
  std::string strUpdateServer;
  bool bEvenLoudness = false;
  std::string strLoudnessTarget;  // LUFS
  bool bChangeAtMusicEnd = false;
  std::string strNowPlayingFile;
  std::string strNowPlayingTemplate;  // empty: the default template
  std::string strStreamServer;
  std::string strWebHook;
};

AdminFields FillAdminFields(const Settings& settings);

// Why "Save And Exit" cannot close the dialog yet (a size field that is not a whole number or
// is above the limit, a loudness target that is no whole number in its range, a stream server
// or web hook that is no http address, a stream server without its mount point), or empty
// when it can.
std::string AdminFieldsError(const AdminFields& fields);

// Stores the typed values with their limits: times 1-10 s, timer 10-1000 ms, initial volume
// 0-1000, and a database size below the records loaded raised to that count plus 1.
void StoreAdminFields(const AdminFields& fields, int nPlaylistCount, int nChartCount,
                      Settings& settings);

}  // namespace velvane
