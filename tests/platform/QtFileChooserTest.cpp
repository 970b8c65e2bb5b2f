#include <gtest/gtest.h>

#include "platform/QtFileChooser.h"

namespace velvane {
namespace {

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
