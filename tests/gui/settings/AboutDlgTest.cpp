#include "gui/settings/AboutDlg.h"

#include <gtest/gtest.h>

#include <QDir>

#include "support/TempDir.h"

namespace velvane {
namespace {

// Installed with `cmake --install --prefix ~/.local` after a configure without a prefix, the
// about box used to name the manual under /usr/local, where nothing was.
TEST(AboutDlgTest, TheManualIsFoundFromTheProgramsFolderElseWhereTheBuildMeantToPutIt) {
  const TempDir prefix;
  const QDir root(QString::fromStdString(prefix.Path().string()));
  ASSERT_TRUE(root.mkpath(QStringLiteral("bin")));
  const QString strBin = root.filePath(QStringLiteral("bin"));
  const QString strDocFromBin = QStringLiteral("../share/doc/Velvane");
  const QString strConfigured = QStringLiteral("/usr/local/share/doc/Velvane");
  EXPECT_EQ(ManualPath(strBin, strDocFromBin, strConfigured),
            QStringLiteral("/usr/local/share/doc/Velvane/README.md"));

  ASSERT_TRUE(root.mkpath(QStringLiteral("share/doc/Velvane")));
  prefix.Write("share/doc/Velvane/README.md", "");
  EXPECT_EQ(ManualPath(strBin, strDocFromBin, strConfigured),
            root.filePath(QStringLiteral("share/doc/Velvane/README.md")));
}

}  // namespace
}  // namespace velvane
