#include "core/settings/Settings.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "support/Fakes.h"

namespace velvane {
namespace {

using Kind = FakeProfileStore::Kind;

constexpr const char* kGeneral = "General";

TEST(LoadSettingsTest, FirstRunReadsNothingElseAndKeepsStartValues) {
  for (bool bIsInstalledPresent : {false, true}) {
    SCOPED_TRACE(bIsInstalledPresent ? "IsInstalled = 0" : "IsInstalled missing");
    FakeProfileStore store;
    store.PutString(kGeneral, "MusicDir", "/music/");
    store.PutString(kGeneral, "FadeTime", "3");
    if (bIsInstalledPresent) {
      store.PutInt(kGeneral, "IsInstalled", 0);
    }

    Settings settings;
    EXPECT_FALSE(LoadSettings(store, settings));
    EXPECT_EQ(store.ReadEntries(kGeneral), std::vector<std::string>{"IsInstalled"});
    EXPECT_EQ(std::tie(settings.strMusicDir, settings.nFadeTime, settings.nPlaySize),
              std::make_tuple("", 5, 50000));
  }
}

// Missing values take the default of their kind, not the start value; text numbers read
// like atoi.
TEST(LoadSettingsTest, InstalledConfigurationDefaultsTextNumbersAndTheLoudnessRange) {
  FakeProfileStore store;
  store.PutInt(kGeneral, "IsInstalled", 1);
  store.PutString(kGeneral, "AutoTime", "abc");
  store.PutString(kGeneral, "SystemTimer", " 12s");

  Settings s;
  EXPECT_TRUE(LoadSettings(store, s));
  // A configuration from before the sound and now-playing settings plays as it always did.
  EXPECT_EQ(
      std::tie(s.nFadeTime, s.nAutoTime, s.nSystemTimer, s.nPlaySize, s.nChartSize, s.bEvenLoudness,
               s.bChangeAtMusicEnd, s.nLoudnessTarget, s.strNowPlayingTemplate),
      std::make_tuple(0, 0, 12, 10000, 50000, false, false, -16, "%artist% - %title%"));
  // An absurd loudness target is held to its range.
  for (const auto& [nStored, nUsed] : {std::pair{999999, -5}, {-300, -40}, {-23, -23}}) {
    store.PutInt(kGeneral, "LoudnessTarget", nStored);
    LoadSettings(store, s);
    EXPECT_EQ(s.nLoudnessTarget, nUsed) << nStored;
  }
}

TEST(SaveSettingsTest, WritesEveryValueInOrderWithItsKindAndReadsItBack) {
  FakeProfileStore store;
  // Every value differs from its start value; FadeTime is negative.
  const Settings settings{true, "/music/", "/data/",    4,         -6,         50,        1,
                          300,  "log",     1,           20000,     30000,      "host",    true,
                          -20,  true,      "/np/n.txt", "%title%", "http://s", "http://h"};
  SaveSettings(store, settings);

  // Each entry in order, with its kind: "i" written as a number, "s" as text.
  std::string strWritten;
  for (const auto& write : store.m_vecWrites) {
    EXPECT_EQ(write.strSection, kGeneral);
    strWritten += write.strEntry + (write.kind == Kind::kInt ? ":i " : ":s ");
  }
  EXPECT_EQ(strWritten,
            "IsInstalled:i MusicDir:s FilesDir:s AutoTime:s FadeTime:s SystemTimer:s PlayMode:i "
            "InitVolume:i LogFile:s LogEnabled:i PlaySize:i ChartSize:i UpdateServer:s "
            "EvenLoudness:i LoudnessTarget:i ChangeAtMusicEnd:i NowPlayingFile:s "
            "NowPlayingTemplate:s NowPlayingStreamServer:s NowPlayingWebHook:s ");

  auto Fields = [](const Settings& s) {
    return std::tie(s.bInstalled, s.strMusicDir, s.strFilesDir, s.nAutoTime, s.nFadeTime,
                    s.nSystemTimer, s.nPlayMode, s.nInitVolume, s.strLogFile, s.nLogEnabled,
                    s.nPlaySize, s.nChartSize, s.strUpdateServer, s.bEvenLoudness,
                    s.nLoudnessTarget, s.bChangeAtMusicEnd, s.strNowPlayingFile,
                    s.strNowPlayingTemplate, s.strStreamServer, s.strWebHook);
  };
  Settings reloaded;
  EXPECT_TRUE(LoadSettings(store, reloaded));
  EXPECT_EQ(Fields(reloaded), Fields(settings));
}

TEST(LimitDatabaseSizesTest, AbsurdSizesTakeTheLimitAndSaySoOnce) {
  Settings settings;
  settings.nPlaySize = 999999999;
  settings.nChartSize = -3;
  const std::string strNote = LimitDatabaseSizes(settings);
  EXPECT_EQ(settings.nPlaySize, kMaxDatabaseSize);
  EXPECT_EQ(settings.nChartSize, 1);
  EXPECT_EQ(strNote,
            "PlaySize 999999999 in the settings is outside 1 to 1000000; 1000000 is used\n"
            "ChartSize -3 in the settings is outside 1 to 1000000; 1 is used");
  EXPECT_EQ(LimitDatabaseSizes(settings), "");  // sane values pass without a word
}

TEST(YearRangeTest, EmptyYearsTakeTheirDefaultsAndStoredOnesAreTakenAsTheyStand) {
  FakeClock clock(2031, 12, 31, 23, 59, 59);
  FakeProfileStore store;
  const auto years = [&] {
    const YearRange range = LoadYearRange(store, clock);
    return range.strStartYear + "-" + range.strEndYear;
  };
  EXPECT_EQ(years(), "1952-2031");
  store.PutString(kGeneral, "AutoStartYear", "");  // a value stored empty counts as missing
  store.PutString(kGeneral, "AutoEndYear", "");
  EXPECT_EQ(years(), "1952-2031");

  SaveYearRange(store, {"1970", "1989x"});
  ASSERT_TRUE(store.Find(kGeneral, "AutoStartYear"));
  EXPECT_EQ(store.Find(kGeneral, "AutoStartYear")->strValue, "1970");  // a text value
  EXPECT_EQ(years(), "1970-1989x");
}

}  // namespace
}  // namespace velvane
