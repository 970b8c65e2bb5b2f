#include "platform/QtProfileStore.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <chrono>

#include "core/settings/Settings.h"
#include "platform/QtFileChooser.h"
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

  QTemporaryDir m_dir;
};

TEST_F(QtProfileStoreTest, SettingsLandInTheGeneralSectionComeBackWholeAndMissingOnesDefault) {
  Settings settings;
  settings.strMusicDir = "/music/Rock, Pop; \"Mot\xC3\xB6rhead\" \\ a=b #x/";
  settings.nPlayMode = 1;
  settings.nPlaySize = 700;
  {
    QtProfileStore store(QStringLiteral("velvane-test"));
    SaveSettings(store, settings);
  }

  // Every write is synced, so the file already holds the values.
  QFile file(m_dir.filePath(QStringLiteral("ROLV/velvane-test.conf")));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(file.readAll());
  EXPECT_TRUE(text.startsWith(QStringLiteral("[General]\n"))) << text.toStdString();
  for (const char* line : {"\nIsInstalled=1\n", "\nPlayMode=1\n"}) {
    EXPECT_TRUE(text.contains(QLatin1String(line))) << line << text.toStdString();
  }
  EXPECT_FALSE(text.contains(QStringLiteral("%General"))) << text.toStdString();

  // Which setting goes under which key, and the defaults, are the core tests' concern.
  QtProfileStore store(QStringLiteral("velvane-test"));
  Settings reloaded;
  ASSERT_TRUE(LoadSettings(store, reloaded));
  EXPECT_EQ(reloaded.strMusicDir, settings.strMusicDir);
  EXPECT_EQ(reloaded.nPlaySize, 700);

  // Missing or non-numeric values give the default.
  EXPECT_EQ(store.GetProfileInt("General", "Nothing", 17), 17);
  EXPECT_EQ(store.GetProfileString("General", "Nothing", "dflt"), "dflt");
  ASSERT_TRUE(store.WriteProfileString("General", "Word", "abc"));
  EXPECT_EQ(store.GetProfileInt("General", "Word", -5), -5);
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
                                std::int64_t{now.nHour} * 3600 + std::int64_t{now.nMinute} * 60 +
                                now.nSecond;
  EXPECT_GE(nSeconds, nBefore);
  EXPECT_LE(nSeconds, nAfter);
  EXPECT_EQ(now.nDayOfWeek, static_cast<int>(weekday{date}.c_encoding()));
  EXPECT_GE(now.nMilliseconds, 0);
  EXPECT_LT(now.nMilliseconds, 1000);
}

TEST(QtFileChooserTest, WindowsFilterTextBecomesQtNameFiltersAndFoldersLoseTheirSeparator) {
  EXPECT_EQ(ToQtNameFilter("Playlist Files (*.pla)|*.pla|").toStdString(),
            "Playlist Files (*.pla)");
  EXPECT_EQ(ToQtNameFilter("Music|*.mp3;*.wav|All Files (*.*)|*.*||").toStdString(),
            "Music (*.mp3 *.wav);;All Files (*.*)");
  EXPECT_EQ(ToQtNameFilter("").toStdString(), "");
  // Folders come back without their trailing separator.
  EXPECT_EQ(WithoutTrailingSeparator("/home/op/music/").toStdString(), "/home/op/music");
  EXPECT_EQ(WithoutTrailingSeparator("/").toStdString(), "/");
  EXPECT_EQ(WithoutTrailingSeparator("C:\\").toStdString(), "C:\\");
}

}  // namespace
}  // namespace velvane
