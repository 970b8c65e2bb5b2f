#include "core/editors/NumberOneEditor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/editors/EditorFixture.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

using F = NumberOneEditor::Column;

class NumberOneEditorTest : public EditorFixture {
 protected:
  NumberOneEditor Open() {
    return NumberOneEditor(m_store, m_prompter, "T", m_dir.Folder(), m_clock);
  }

  TempDir m_dir;
  FakeClock m_clock{2026, 12, 4, 17, 59};
};

TEST_F(NumberOneEditorTest, EntriesShowPositionOneAndBlankZerosAndAreWrittenBackThroughOld) {
  const std::string strOld = "05/03/1983\\Abba\\SOS\\0\\7\\\r\n\r\n01/01/1990\\Short\\\r\n";
  m_dir.Write("hits.dat", strOld);
  NumberOneEditor editor = Open();
  // The blank line is skipped, the short one kept.
  EXPECT_EQ(Lines(editor),
            (Strings{"05/03/1983\tAbba\tSOS\t1\t \t7\t", "01/01/1990\tShort\t\t1\t\t\t", ""}));
  ASSERT_TRUE(editor.OnSaveAndExit());
  EXPECT_EQ(m_dir.Read("hits.dat"),
            "05/03/1983\\Abba\\SOS\\ \\7\\\r\n01/01/1990\\Short\\ \\ \\ \\\r\n");
  EXPECT_EQ(m_dir.Read("hits.old"), strOld);
}

TEST_F(NumberOneEditorTest, ANewEntryTakesPositionOneAndFindInPlaylistFillsOrEmptiesTheNumbers) {
  Record({"Abba", "SOS", "12", "3"});
  NumberOneEditor editor = Open();
  Type(editor, {"1/2/83", "ABBA", "sos"});
  editor.OnFindInPlaylist();
  EXPECT_EQ(Fields(editor), "1/2/83\tABBA\tsos\t\t12\t3\t");  // artist and title as typed
  ASSERT_TRUE(editor.OnUpdate());
  editor.OnBottomOfList();
  Type(editor, {"3/4/05", "Nobody", "Else"});
  editor.OnFindInPlaylist();
  EXPECT_EQ(Fields(editor), "3/4/05\tNobody\tElse\t\t\t\t");
  ASSERT_TRUE(editor.OnUpdate());
  EXPECT_EQ(Lines(editor), (Strings{"01/02/1983\tABBA\tsos\t1\t12\t3\t",
                                    "03/04/2005\tNobody\tElse\t1\t \t \t", ""}));
}

TEST_F(NumberOneEditorTest, EntriesGoToTheirDatesPlaceAndABadDateIsToldWhy) {
  m_dir.Write("hits.dat",
              "01/01/1980\\A\\a\\0\\0\\\r\n05/03/1983\\B\\b\\0\\0\\\r\n"
              "05/03/1983\\C\\c\\0\\0\\\r\n01/01/1990\\D\\d\\0\\0\\\r\n");
  NumberOneEditor editor = Open();
  EXPECT_TRUE(m_prompter.m_shown.empty());  // in date order: nothing to say
  const auto artists = [&editor] {
    std::string strArtists;
    for (int i = 0; i + 1 < editor.LineCount(); ++i) {
      strArtists += editor.Line(i).substr(11, 1);
    }
    return strArtists;
  };

  Type(editor, {"1/2/83", "E", "e"});  // compared as dates, not as texts
  ASSERT_TRUE(editor.OnUpdate());
  EXPECT_EQ(artists(), "AEBCD");
  EXPECT_EQ(editor.Selected(), 1);
  EXPECT_EQ(editor.Caption(), "Number One Editor (2 of 5)");
  editor.OnBottomOfList();
  Type(editor, {"5/3/83", "F", "f"});  // after the entries of the same day
  ASSERT_TRUE(editor.OnUpdate());
  EXPECT_EQ(artists(), "AEBCFD");

  editor.OnSelChangeList(5);  // D, dated back: it moves, and Undo puts it back exactly
  const std::string strD = editor.Line(5);
  editor.SetField(F::kDate, "1/1/79");
  ASSERT_TRUE(editor.OnUpdate());
  EXPECT_EQ(artists(), "DAEBCF");
  EXPECT_EQ(editor.Selected(), 0);
  ASSERT_TRUE(editor.OnUndo());
  EXPECT_EQ(editor.Line(5), strD);
  EXPECT_EQ(editor.Selected(), 5);

  Type(editor, {"30/13/83", "X", "x"});
  EXPECT_FALSE(editor.OnUpdate());
  ASSERT_EQ(m_prompter.m_shown.size(), 1u);
  EXPECT_EQ(m_prompter.m_shown[0].strText.find("\"30/13/83\" is not a date."), 0u);
}

TEST_F(NumberOneEditorTest, AFileOutOfDateOrderIsToldOnceAndSortedOnlyOnYes) {
  const std::string strFile =
      "01/01/1990\\D\\d\\0\\0\\\r\n05/03/1983\\B\\b\\0\\0\\\r\n"
      "05/03/1983\\C\\c\\0\\0\\\r\n";
  m_dir.Write("hits.dat", strFile);
  m_prompter.m_answers = {PromptAnswer::No};
  NumberOneEditor left = Open();
  ASSERT_EQ(m_prompter.m_shown.size(), 1u);
  EXPECT_EQ(m_prompter.m_shown[0].buttons, PromptButtons::YesNo);
  EXPECT_EQ(left.Line(0).substr(0, 12), "01/01/1990\tD");
  ASSERT_TRUE(left.OnSaveAndExit());
  EXPECT_EQ(m_dir.Read("hits.dat").substr(0, 12), "01/01/1990\\D");

  NumberOneEditor sorted = Open();  // the default answer is Yes
  EXPECT_EQ(m_prompter.m_shown.size(), 2u);
  EXPECT_EQ(Lines(sorted),
            (Strings{"05/03/1983\tB\tb\t1\t \t \t",  // equal dates keep their order
                     "05/03/1983\tC\tc\t1\t \t \t", "01/01/1990\tD\td\t1\t \t \t", ""}));
  EXPECT_FALSE(sorted.OnUndo());  // the sort is not an edit
  EXPECT_EQ(sorted.Caption(), "Number One Editor (4 of 3)");
}

TEST_F(NumberOneEditorTest, WhenHitsTmpCannotBeCreatedHitsDatStaysAndTheEditorSaysSo) {
  m_dir.Write("hits.dat", "05/03/1983\\Abba\\SOS\\0\\0\\\r\n");
  std::filesystem::create_directory(m_dir.Path() / "hits.tmp");  // not a file that opens
  NumberOneEditor editor = Open();
  EXPECT_FALSE(editor.OnSaveAndExit());
  EXPECT_EQ(editor.Caption(), "Number One Editor - Saving");
  EXPECT_TRUE(Contains(m_dir.Read("errorlog.txt"), "Failed to create a new number one file"));
  ASSERT_EQ(m_prompter.m_shown.size(), 1u);
  EXPECT_EQ(m_prompter.m_shown[0].icon, PromptIcon::Exclamation);
}

TEST_F(NumberOneEditorTest, AnUnreadableHitsDatAFolderInUseOrNoFolderIsNeverSavedOver) {
  std::filesystem::create_directory(m_dir.Path() / "hits.dat");  // exists, cannot be read
  NumberOneEditor unreadable = Open();
  EXPECT_FALSE(unreadable.OnSaveAndExit());
  ASSERT_EQ(m_prompter.m_shown.size(), 1u);
  EXPECT_TRUE(Contains(m_prompter.m_shown[0].strText, "hits.dat could not be read"));
  EXPECT_TRUE(std::filesystem::is_directory(m_dir.Path() / "hits.dat"));
  std::filesystem::remove(m_dir.Path() / "hits.dat");

  m_dir.Write("hits.dat", "05/03/1983\\Abba\\SOS\\0\\0\\\r\n");
  // Asked at each save: the folder may come free while the editor is open.
  std::string strInUse = "it is in use";
  NumberOneEditor inUse(m_store, m_prompter, "T", m_dir.Folder(), m_clock,
                        [&strInUse] { return strInUse; });
  EXPECT_FALSE(inUse.OnSaveAndExit());
  EXPECT_EQ(m_prompter.m_shown.back().strText,
            "The number one database is not saved: it is in use.");
  EXPECT_FALSE(m_dir.Exists("hits.old"));
  strInUse.clear();
  EXPECT_TRUE(inUse.OnSaveAndExit());
  EXPECT_TRUE(m_dir.Exists("hits.old"));

  NumberOneEditor noFolder(m_store, m_prompter, "T", "", m_clock);  // reads and writes nothing
  EXPECT_EQ(noFolder.LineCount(), 1);
  EXPECT_FALSE(noFolder.OnSaveAndExit());
  EXPECT_EQ(m_prompter.m_shown.size(), 3u);
  EXPECT_FALSE(std::filesystem::exists("hits.tmp"));
}

}  // namespace
}  // namespace velvane
