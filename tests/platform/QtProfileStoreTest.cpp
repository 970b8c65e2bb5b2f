#include "platform/QtProfileStore.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <chrono>

#include "core/settings/Settings.h"
#include "platform/SystemClock.h"

namespace velvane {
namespace {

// Each test gets its own configuration folder. QSettings reads XDG_CONFIG_HOME only once per
// process, so the folder is set with setPath, which takes effect for every new QSettings.
class QtProfileStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
#if defined(Q_OS_WIN) || defined(Q_OS_DARWIN)
    GTEST_SKIP() << "the native store there is not an INI file";
#endif
    ASSERT_TRUE(m_dir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
  }

  QString ConfigFile() const {
    return m_dir.filePath(QStringLiteral("ROLV/velvane-test.conf"));
  }

  QString ReadConfigFile() const {
    QFile file(ConfigFile());
    if (!file.open(QIODevice::ReadOnly)) {
      return {};
    }
    return QString::fromUtf8(file.readAll());
  }

  void WriteConfigFile(const QByteArray& text) const {
    ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("ROLV")));
    QFile file(ConfigFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
  }

  QTemporaryDir m_dir;
};

TEST_F(QtProfileStoreTest, SavedSettingsLandInTheGeneralSectionOfTheFile) {
  Settings settings;
  settings.strMusicDir = "/music/";
  settings.strFilesDir = "/data/";
  settings.nPlayMode = 1;
  settings.strUpdateServer = "charts.example:8080";
  {
    QtProfileStore store(QStringLiteral("velvane-test"));
    SaveSettings(store, settings);
    EXPECT_EQ(store.FileName(), ConfigFile());
  }

  // Every write is synced, so the file already holds the values.
  const QString text = ReadConfigFile();
  EXPECT_TRUE(text.startsWith(QStringLiteral("[General]\n"))) << text.toStdString();
  for (const char* line :
       {"IsInstalled=1\n", "AutoTime=2\n", "FadeTime=5\n", "SystemTimer=100\n", "PlaySize=50000\n",
        "MusicDir=/music/\n", "PlayMode=1\n", "UpdateServer=charts.example:8080\n"}) {
    EXPECT_TRUE(text.contains(QLatin1String(line))) << line << " missing from\n"
                                                    << text.toStdString();
  }
  EXPECT_FALSE(text.contains(QStringLiteral("%General"))) << text.toStdString();

  QtProfileStore store(QStringLiteral("velvane-test"));
  Settings reloaded;
  reloaded.nFadeTime = -1;
  ASSERT_TRUE(LoadSettings(store, reloaded));
  EXPECT_EQ(reloaded.strMusicDir, "/music/");
  EXPECT_EQ(reloaded.strFilesDir, "/data/");
  EXPECT_EQ(reloaded.nAutoTime, 2);
  EXPECT_EQ(reloaded.nFadeTime, 5);
  EXPECT_EQ(reloaded.nSystemTimer, 100);
  EXPECT_EQ(reloaded.nPlayMode, 1);
  EXPECT_EQ(reloaded.nPlaySize, 50000);
  EXPECT_EQ(reloaded.strUpdateServer, "charts.example:8080");
}

TEST_F(QtProfileStoreTest, ReadsAFileWrittenByHand) {
  WriteConfigFile(
      "[General]\nIsInstalled=1\nMusicDir=/srv/music/\nFadeTime=4\nPlayMode=1\nChartSize=700\n"
      "AutoStartYear=1960\n");
  QtProfileStore store(QStringLiteral("velvane-test"));

  Settings settings;
  ASSERT_TRUE(LoadSettings(store, settings));
  EXPECT_EQ(settings.strMusicDir, "/srv/music/");
  EXPECT_EQ(settings.nFadeTime, 4);
  EXPECT_EQ(settings.nAutoTime, 0);
  EXPECT_EQ(settings.nPlayMode, 1);
  EXPECT_EQ(settings.nPlaySize, 10000);
  EXPECT_EQ(settings.nChartSize, 700);

  SystemClock clock;
  const YearRange range = LoadYearRange(store, clock);
  EXPECT_EQ(range.strStartYear, "1960");
  EXPECT_EQ(range.strEndYear, std::to_string(clock.NowUtc().nYear));
}

TEST_F(QtProfileStoreTest, MissingOrNonNumericValuesGiveTheDefault) {
  QtProfileStore store(QStringLiteral("velvane-test"));
  EXPECT_EQ(store.GetProfileInt("General", "Nothing", 17), 17);
  EXPECT_EQ(store.GetProfileString("General", "Nothing", "dflt"), "dflt");

  ASSERT_TRUE(store.WriteProfileString("General", "Word", "abc"));
  EXPECT_EQ(store.GetProfileInt("General", "Word", -5), -5);

  // An empty text is a value, not a missing one.
  ASSERT_TRUE(store.WriteProfileString("General", "Empty", ""));
  EXPECT_EQ(store.GetProfileString("General", "Empty", "dflt"), "");

  ASSERT_TRUE(store.WriteProfileInt("General", "Negative", -42));
  EXPECT_EQ(store.GetProfileInt("General", "Negative", 0), -42);
}

TEST_F(QtProfileStoreTest, TextKeepsItsBytesAcrossInstances) {
  const std::string strAwkward = "/music/Rock, Pop; \"Mot\xC3\xB6rhead\" \\ a=b #x/";
  {
    QtProfileStore store(QStringLiteral("velvane-test"));
    ASSERT_TRUE(store.WriteProfileString("General", "MusicDir", strAwkward));
    ASSERT_TRUE(store.WriteProfileString("Other", "Entry", "elsewhere"));
  }
  QtProfileStore store(QStringLiteral("velvane-test"));
  EXPECT_EQ(store.GetProfileString("General", "MusicDir", ""), strAwkward);
  EXPECT_EQ(store.GetProfileString("Other", "Entry", ""), "elsewhere");
  // Sections other than General stay apart from it.
  EXPECT_EQ(store.GetProfileString("General", "Entry", "none"), "none");
  EXPECT_TRUE(ReadConfigFile().contains(QStringLiteral("[Other]\nEntry=elsewhere\n")));
}

TEST_F(QtProfileStoreTest, WriteReportsFailureWhenTheFileCannotBeWritten) {
  // A folder below a plain file can never be created, whoever runs the test.
  QFile blocker(m_dir.filePath(QStringLiteral("blocker")));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, blocker.fileName());

  QtProfileStore store(QStringLiteral("velvane-test"));
  EXPECT_FALSE(store.WriteProfileInt("General", "IsInstalled", 1));
}

TEST(SystemClockTest, BrokenDownTimeAgreesWithEpochSeconds) {
  using namespace std::chrono;
  SystemClock clock;
  const std::int64_t nBefore = clock.SecondsSinceEpoch();
  const SystemTime now = clock.NowUtc();
  const std::int64_t nAfter = clock.SecondsSinceEpoch();

  const sys_days date{year{now.nYear} / month{static_cast<unsigned>(now.nMonth)} /
                      day{static_cast<unsigned>(now.nDay)}};
  ASSERT_TRUE(year_month_day{date}.ok());
  const std::int64_t nSeconds = date.time_since_epoch().count() * std::int64_t{86400} +
                                now.nHour * 3600 + now.nMinute * 60 + now.nSecond;
  EXPECT_GE(nSeconds, nBefore);
  EXPECT_LE(nSeconds, nAfter);
  EXPECT_EQ(now.nDayOfWeek, static_cast<int>(weekday{date}.c_encoding()));
  EXPECT_GE(now.nMilliseconds, 0);
  EXPECT_LT(now.nMilliseconds, 1000);
}

}  // namespace
}  // namespace velvane
