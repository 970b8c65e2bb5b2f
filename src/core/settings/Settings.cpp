#include "core/settings/Settings.h"

#include <algorithm>

#include "core/text/Text.h"

namespace velvane {

namespace {

// The three timing values are kept as decimal text, so a missing or garbled value reads 0
// rather than its start value.
int ReadTextNumber(ProfileStore& store, const char* entry) {
  return Atoi(store.GetProfileString(kSettingsSection, entry, ""));
}

void WriteTextNumber(ProfileStore& store, const char* entry, int value) {
  store.WriteProfileString(kSettingsSection, entry, std::to_string(value));
}

}  // namespace

bool LoadSettings(ProfileStore& store, Settings& settings) {
  settings.bInstalled = store.GetProfileInt(kSettingsSection, "IsInstalled", 0) != 0;
  if (!settings.bInstalled) {
    // First run: the start values stand until the administration dialog saves.
    return false;
  }
  settings.strMusicDir = store.GetProfileString(kSettingsSection, "MusicDir", "");
  settings.strFilesDir = store.GetProfileString(kSettingsSection, "FilesDir", "");
  settings.nAutoTime = ReadTextNumber(store, "AutoTime");
  settings.nFadeTime = ReadTextNumber(store, "FadeTime");
  settings.nSystemTimer = ReadTextNumber(store, "SystemTimer");
  settings.nPlayMode = store.GetProfileInt(kSettingsSection, "PlayMode", 0);
  settings.nInitVolume = store.GetProfileInt(kSettingsSection, "InitVolume", 0);
  settings.strLogFile = store.GetProfileString(kSettingsSection, "LogFile", "");
  settings.nLogEnabled = store.GetProfileInt(kSettingsSection, "LogEnabled", 0);
  // An installed configuration without sizes gets the old default capacities, which differ
  // from the start values of a first run.
  settings.nPlaySize = store.GetProfileInt(kSettingsSection, "PlaySize", 10000);
  settings.nChartSize = store.GetProfileInt(kSettingsSection, "ChartSize", 50000);
  settings.strUpdateServer = store.GetProfileString(kSettingsSection, "UpdateServer", "");
  settings.bEvenLoudness = store.GetProfileInt(kSettingsSection, "EvenLoudness", 0) != 0;
  settings.nLoudnessTarget =
      std::clamp(store.GetProfileInt(kSettingsSection, "LoudnessTarget", kDefaultLoudness),
                 kMinLoudness, kMaxLoudness);
  settings.bChangeAtMusicEnd = store.GetProfileInt(kSettingsSection, "ChangeAtMusicEnd", 0) != 0;
  settings.strNowPlayingFile = store.GetProfileString(kSettingsSection, "NowPlayingFile", "");
  settings.strNowPlayingTemplate =
      store.GetProfileString(kSettingsSection, "NowPlayingTemplate", kDefaultNowPlayingTemplate);
  if (settings.strNowPlayingTemplate.empty()) {  // an empty line tells nobody anything
    settings.strNowPlayingTemplate = kDefaultNowPlayingTemplate;
  }
  settings.strStreamServer = store.GetProfileString(kSettingsSection, "NowPlayingStreamServer", "");
  settings.strWebHook = store.GetProfileString(kSettingsSection, "NowPlayingWebHook", "");
  return true;
}

void SaveSettings(ProfileStore& store, const Settings& settings) {
  // Write failures are deliberately ignored: there is nothing the operator could do about
  // them at this point, and the values stay in force for the rest of the run.
  store.WriteProfileInt(kSettingsSection, "IsInstalled", 1);
  store.WriteProfileString(kSettingsSection, "MusicDir", settings.strMusicDir);
  store.WriteProfileString(kSettingsSection, "FilesDir", settings.strFilesDir);
  WriteTextNumber(store, "AutoTime", settings.nAutoTime);
  WriteTextNumber(store, "FadeTime", settings.nFadeTime);
  WriteTextNumber(store, "SystemTimer", settings.nSystemTimer);
  store.WriteProfileInt(kSettingsSection, "PlayMode", settings.nPlayMode);
  store.WriteProfileInt(kSettingsSection, "InitVolume", settings.nInitVolume);
  store.WriteProfileString(kSettingsSection, "LogFile", settings.strLogFile);
  store.WriteProfileInt(kSettingsSection, "LogEnabled", settings.nLogEnabled);
  store.WriteProfileInt(kSettingsSection, "PlaySize", settings.nPlaySize);
  store.WriteProfileInt(kSettingsSection, "ChartSize", settings.nChartSize);
  store.WriteProfileString(kSettingsSection, "UpdateServer", settings.strUpdateServer);
  store.WriteProfileInt(kSettingsSection, "EvenLoudness", settings.bEvenLoudness ? 1 : 0);
  store.WriteProfileInt(kSettingsSection, "LoudnessTarget", settings.nLoudnessTarget);
  store.WriteProfileInt(kSettingsSection, "ChangeAtMusicEnd", settings.bChangeAtMusicEnd ? 1 : 0);
  store.WriteProfileString(kSettingsSection, "NowPlayingFile", settings.strNowPlayingFile);
  store.WriteProfileString(kSettingsSection, "NowPlayingTemplate", settings.strNowPlayingTemplate);
  store.WriteProfileString(kSettingsSection, "NowPlayingStreamServer", settings.strStreamServer);
  store.WriteProfileString(kSettingsSection, "NowPlayingWebHook", settings.strWebHook);
}

namespace {

// Holds one size to its range; notes the change for the operator.
void LimitSize(const char* pszName, int& nSize, std::string& strNote) {
  const int nLimited = std::clamp(nSize, 1, kMaxDatabaseSize);
  if (nLimited != nSize) {
    strNote += std::string(strNote.empty() ? "" : "\n") + pszName + " " + std::to_string(nSize) +
               " in the settings is outside 1 to " + std::to_string(kMaxDatabaseSize) + "; " +
               std::to_string(nLimited) + " is used";
    nSize = nLimited;
  }
}

}  // namespace

std::string LimitDatabaseSizes(Settings& settings) {
  std::string strNote;
  LimitSize("PlaySize", settings.nPlaySize, strNote);
  LimitSize("ChartSize", settings.nChartSize, strNote);
  return strNote;
}

YearRange LoadYearRange(ProfileStore& store, Clock& clock) {
  YearRange range;
  range.strStartYear = store.GetProfileString(kSettingsSection, "AutoStartYear", "");
  range.strEndYear = store.GetProfileString(kSettingsSection, "AutoEndYear", "");
  if (range.strStartYear.empty()) {
    range.strStartYear = "1952";
  }
  if (range.strEndYear.empty()) {
    range.strEndYear = std::to_string(clock.NowUtc().nYear);
  }
  return range;
}

void SaveYearRange(ProfileStore& store, const YearRange& range) {
  store.WriteProfileString(kSettingsSection, "AutoStartYear", range.strStartYear);
  store.WriteProfileString(kSettingsSection, "AutoEndYear", range.strEndYear);
}

}  // namespace velvane
