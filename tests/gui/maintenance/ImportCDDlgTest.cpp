#include "gui/maintenance/ImportCDDlg.h"

#include <gtest/gtest.h>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "core/main/RadioFixture.h"
#include "gui/common/DialogKit.h"
#include "support/FakeFileChooser.h"
#include "support/FakeTagReader.h"

namespace velvane {
namespace {

class ImportCDDlgTest : public RadioFixture {
 protected:
  ImportCDDlgTest() {
    Start([](Settings& settings) { settings.nPlaySize = 2; });
    m_strFile = AddMusicFile(12, 3, "- A - T", 1000);
    m_pDialog = std::make_unique<CImportCDDlg>(m_radio, m_chooser, m_tags);
  }
  void Click(int nId) {
    QTest::mouseClick(FindControlAs<QPushButton>(m_pDialog.get(), nId), Qt::LeftButton);
  }
  QListWidget* List() { return FindControlAs<QListWidget>(m_pDialog.get(), CImportCDDlg::kIdList); }

  FakeFileChooser m_chooser;
  FakeTagReader m_tags;
  std::string m_strFile;
  std::unique_ptr<CImportCDDlg> m_pDialog;
};

TEST_F(ImportCDDlgTest, BrowseListsImportAppendsAndTellsNothingWasSaved) {
  Click(CImportCDDlg::kIdImportSave);  // nothing chosen yet: nothing happens
  EXPECT_TRUE(m_prompter.m_shown.empty());

  m_chooser.m_answers.push_back(m_strFile);
  Click(CImportCDDlg::kIdBrowse);
  ASSERT_EQ(m_chooser.m_calls.size(), 1U);
  EXPECT_EQ(m_chooser.m_calls[0].options.strTitle, "Browse For CD");
  EXPECT_EQ(m_chooser.m_calls[0].options.strFolder, m_radio.GetSettings().strMusicDir);
  ASSERT_EQ(List()->count(), 1);
  EXPECT_EQ(m_radio.Store().PlaylistCount(), 0);

  Click(CImportCDDlg::kIdImportSave);
  ASSERT_EQ(m_radio.Store().PlaylistCount(), 1);
  EXPECT_EQ(m_radio.Store().Playlist(0).strCD, "012");
  EXPECT_EQ(m_radio.Store().Playlist(0).strArtist, " A ");
  ASSERT_EQ(m_prompter.m_shown.size(), 1U);
  EXPECT_EQ(m_prompter.m_shown[0].strText, kCDImportedNotSaved);
  EXPECT_EQ(m_prompter.m_shown[0].icon, PromptIcon::Information);

  // Twice is appended twice; a third time does not fit a library of two.
  Click(CImportCDDlg::kIdImportSave);
  Click(CImportCDDlg::kIdImportSave);
  EXPECT_EQ(m_radio.Store().PlaylistCount(), 2);
  ASSERT_EQ(m_prompter.m_shown.size(), 3U);
  EXPECT_EQ(m_prompter.m_shown[2].strText,
            "Insufficient memory for update.\nIncrease the playlist size to a minimum of 4");
  Click(CImportCDDlg::kIdImportSave);  // the refusal forgot the chosen file
  EXPECT_EQ(m_prompter.m_shown.size(), 3U);
}

}  // namespace
}  // namespace velvane
