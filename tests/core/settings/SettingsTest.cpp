#include "core/settings/Settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/FakeClock.h"
#include "support/FakeProfileStore.h"

namespace velvane {
namespace {

using Kind = FakeProfileStore::Kind;

constexpr const char* kGeneral = "General";

// A complete installed configuration whose every value differs from the start values.
void PutInstalledConfiguration(FakeProfileStore& store) {
  store.PutInt(kGeneral, "IsInstalled", 1);
  store.PutString(kGeneral, "MusicDir", "/music/");
  store.PutString(kGeneral, "FilesDir", "/data/");
  store.PutString(kGeneral, "AutoTime", "7");
  store.PutString(kGeneral, "FadeTime", "3");
  store.PutString(kGeneral, "SystemTimer", "250");
  store.PutInt(kGeneral, "PlayMode", 1);
  store.PutInt(kGeneral, "InitVolume", 400);
  store.PutString(kGeneral, "LogFile", "plays");
  store.PutInt(kGeneral, "LogEnabled", 1);
  store.PutInt(kGeneral, "PlaySize", 1234);
  store.PutInt(kGeneral, "ChartSize", 5678);
  store.PutString(kGeneral, "UpdateServer", "charts.example:8080");
}

TEST(LoadSettingsTest, FirstRunReadsNothingElseAndKeepsStartValues) {
  for (bool bIsInstalledPresent : {false, true}) {
    SCOPED_TRACE(bIsInstalledPresent ? "IsInstalled = 0" : "IsInstalled missing");
    FakeProfileStore store;
    PutInstalledConfiguration(store);
    if (bIsInstalledPresent) {
      store.PutInt(kGeneral, "IsInstalled", 0);
    } else {
      store.m_mapValues.erase({kGeneral, "IsInstalled"});
    }

    Settings settings;
    EXPECT_FALSE(LoadSettings(store, settings));

    EXPECT_EQ(store.ReadEntries(kGeneral), std::vector<std::string>{"IsInstalled"});
    EXPECT_FALSE(settings.bInstalled);
    EXPECT_EQ(settings.strMusicDir, "");
    EXPECT_EQ(settings.nFadeTime, 5);
    EXPECT_EQ(settings.nAutoTime, 2);
    EXPECT_EQ(settings.nSystemTimer, 100);
    EXPECT_EQ(settings.nPlaySize, 50000);
    EXPECT_EQ(settings.nChartSize, 50000);
    EXPECT_EQ(settings.nPlayMode, 0);
  }
}

TEST(LoadSettingsTest, InstalledConfigurationReadsEveryValueInOrder) {
  FakeProfileStore store;
  PutInstalledConfiguration(store);

  Settings settings;
  EXPECT_TRUE(LoadSettings(store, settings));

  EXPECT_TRUE(settings.bInstalled);
  EXPECT_EQ(settings.strMusicDir, "/music/");
  EXPECT_EQ(settings.strFilesDir, "/data/");
  EXPECT_EQ(settings.nAutoTime, 7);
  EXPECT_EQ(settings.nFadeTime, 3);
  EXPECT_EQ(settings.nSystemTimer, 250);
  EXPECT_EQ(settings.nPlayMode, 1);
  EXPECT_EQ(settings.nInitVolume, 400);
  EXPECT_EQ(settings.strLogFile, "plays");
  EXPECT_EQ(settings.nLogEnabled, 1);
  EXPECT_EQ(settings.nPlaySize, 1234);
  EXPECT_EQ(settings.nChartSize, 5678);
  EXPECT_EQ(settings.strUpdateServer, "charts.example:8080");

  const std::vector<std::string> expected = {
      "IsInstalled", "MusicDir", "FilesDir",   "AutoTime", "FadeTime",  "SystemTimer", "PlayMode",
      "InitVolume",  "LogFile",  "LogEnabled", "PlaySize", "ChartSize", "UpdateServer"};
  EXPECT_EQ(store.ReadEntries(kGeneral), expected);
}

// Missing values take the default of their kind, not the start value.
TEST(LoadSettingsTest, MissingValuesOfAnInstalledConfigurationTakeTheirKindsDefault) {
  FakeProfileStore store;
  store.PutInt(kGeneral, "IsInstalled", 1);

  Settings settings;
  EXPECT_TRUE(LoadSettings(store, settings));

  EXPECT_EQ(settings.nFadeTime, 0);
  EXPECT_EQ(settings.nAutoTime, 0);
  EXPECT_EQ(settings.nSystemTimer, 0);
  EXPECT_EQ(settings.nPlaySize, 10000);
  EXPECT_EQ(settings.nChartSize, 50000);
  EXPECT_EQ(settings.strMusicDir, "");
  EXPECT_EQ(settings.strUpdateServer, "");
}

TEST(LoadSettingsTest, TextNumbersReadLikeAtoi) {
  FakeProfileStore store;
  store.PutInt(kGeneral, "IsInstalled", 1);
  store.PutString(kGeneral, "AutoTime", "abc");
  store.PutString(kGeneral, "FadeTime", " 12s");
  store.PutString(kGeneral, "SystemTimer", "-3");
  Settings settings;
  LoadSettings(store, settings);
  EXPECT_EQ(settings.nAutoTime, 0);
  EXPECT_EQ(settings.nFadeTime, 12);
  EXPECT_EQ(settings.nSystemTimer, -3);
}

TEST(SaveSettingsTest, WritesEveryValueInOrderWithItsKind) {
  FakeProfileStore store;
  Settings settings;
  settings.strMusicDir = "/music/";
  settings.strFilesDir = "/data/";
  settings.nAutoTime = 4;
  settings.nFadeTime = 6;
  settings.nSystemTimer = 50;
  settings.nPlayMode = 1;
  settings.nInitVolume = 300;
  settings.strLogFile = "log";
  settings.nLogEnabled = 1;
  settings.nPlaySize = 20000;
  settings.nChartSize = 30000;
  settings.strUpdateServer = "host";

  SaveSettings(store, settings);

  const std::vector<std::pair<std::string, Kind>> expected = {
      {"IsInstalled", Kind::kInt},    {"MusicDir", Kind::kString}, {"FilesDir", Kind::kString},
      {"AutoTime", Kind::kString},    {"FadeTime", Kind::kString}, {"SystemTimer", Kind::kString},
      {"PlayMode", Kind::kInt},       {"InitVolume", Kind::kInt},  {"LogFile", Kind::kString},
      {"LogEnabled", Kind::kInt},     {"PlaySize", Kind::kInt},    {"ChartSize", Kind::kInt},
      {"UpdateServer", Kind::kString}};
  std::vector<std::pair<std::string, Kind>> written;
  for (const auto& write : store.m_vecWrites) {
    EXPECT_EQ(write.strSection, kGeneral);
    written.emplace_back(write.strEntry, write.kind);
  }
  EXPECT_EQ(written, expected);

  EXPECT_EQ(store.Find(kGeneral, "IsInstalled")->nValue, 1);
  EXPECT_EQ(store.Find(kGeneral, "AutoTime")->strValue, "4");
  EXPECT_EQ(store.Find(kGeneral, "SystemTimer")->strValue, "50");

  // What was saved reads back as it stood, including a first-run Settings becoming installed.
  Settings reloaded;
  EXPECT_TRUE(LoadSettings(store, reloaded));
  EXPECT_EQ(reloaded.nAutoTime, 4);
  EXPECT_EQ(reloaded.nFadeTime, 6);
  EXPECT_EQ(reloaded.nSystemTimer, 50);
  EXPECT_EQ(reloaded.nInitVolume, 300);
  EXPECT_EQ(reloaded.nPlaySize, 20000);
  EXPECT_EQ(reloaded.strUpdateServer, "host");
}

TEST(YearRangeTest, EmptyYearsTakeTheirDefaults) {
  FakeClock clock(2031, 12, 31, 23, 59, 59);
  FakeProfileStore store;
  YearRange range = LoadYearRange(store, clock);
  EXPECT_EQ(range.strStartYear, "1952");
  EXPECT_EQ(range.strEndYear, "2031");

  // A value stored empty counts as missing.
  store.PutString(kGeneral, "AutoStartYear", "");
  store.PutString(kGeneral, "AutoEndYear", "");
  range = LoadYearRange(store, clock);
  EXPECT_EQ(range.strStartYear, "1952");
  EXPECT_EQ(range.strEndYear, "2031");
}

TEST(YearRangeTest, StoredYearsAreTakenAsTheyStand) {
  FakeClock clock(2024, 6, 1);
  FakeProfileStore store;
  SaveYearRange(store, {"1970", "1989x"});

  ASSERT_EQ(store.m_vecWrites.size(), 2u);
  EXPECT_EQ(store.m_vecWrites[0].strEntry, "AutoStartYear");
  EXPECT_EQ(store.m_vecWrites[1].strEntry, "AutoEndYear");
  EXPECT_EQ(store.m_vecWrites[0].kind, Kind::kString);
  EXPECT_EQ(store.m_vecWrites[1].kind, Kind::kString);

  const YearRange range = LoadYearRange(store, clock);
  EXPECT_EQ(range.strStartYear, "1970");
  EXPECT_EQ(range.strEndYear, "1989x");
}

TEST(FakeClockTest, SetDerivesWeekdayAndEpochSeconds) {
  FakeClock clock(1970, 1, 1);
  EXPECT_EQ(clock.SecondsSinceEpoch(), 0);
  EXPECT_EQ(clock.NowUtc().nDayOfWeek, 4);

  clock.Set(2000, 2, 29, 12, 30, 15);
  EXPECT_EQ(clock.NowUtc().nDayOfWeek, 2);
  EXPECT_EQ(clock.SecondsSinceEpoch(), 951827415);
}

}  // namespace
}  // namespace velvane
