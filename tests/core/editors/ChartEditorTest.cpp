#include "core/editors/ChartEditor.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/editors/DateRule.h"
#include "core/editors/EditorFixture.h"

namespace velvane {
namespace {

using F = ChartEditor::Column;

TEST(DateRuleTest, RewritesTypedDatesAndMovesShortAndEarlyYearsIntoTheChartCentury) {
  // What each typed date is stored as; null: refused, and left as typed.
  const std::pair<const char*, const char*> cases[] = {
      {"1/2/83", "01/02/1983"},    {"5-6-07", "05/06/2007"},     {"5 6 1930", "05/06/2030"},
      {"31/2/2000", "31/02/2000"}, {"1//2--33", "01/02/2033"},   {"1/2/34", "01/02/1934"},
      {"1/2/3", "01/02/2003"},     {"12/12/1933", "12/12/2033"}, {"12/12/1934", "12/12/1934"},
      {"1/13/2000", nullptr},      {"0/5/2000", nullptr},        {"1/2", nullptr},
      {"32/1/2000", nullptr},      {"ab/cd/ef", nullptr},        {"1/2/12345", nullptr}};
  for (const auto& [pszTyped, pszStored] : cases) {
    std::string strDate = pszTyped;
    EXPECT_EQ(ApplyDateRule(strDate), pszStored != nullptr) << pszTyped;
    EXPECT_EQ(strDate, pszStored != nullptr ? pszStored : pszTyped);
  }
}

class ChartEditorTest : public EditorFixture {
 protected:
  ChartEditorTest() {
    Record({"Abba", "SOS", "0", "7"});
    Record({"Queen", "Radio", "3", "4"});
    Chart({"01/02/1983", "Abba", "SOS", "1", 0});
    Chart({"05/06/1984", "Nobody", "Nothing", "40"});
  }
};

TEST_F(ChartEditorTest, LinesShowTheLinkedNumbersAndUpdateStoresTheRewrittenDateOrSaysWhyNot) {
  ChartEditor editor(m_store, m_prompter, "T");
  EXPECT_EQ(Lines(editor), (Strings{"01/02/1983\tAbba\tSOS\t1\t0\t7\t0\t",  // "0" stays "0" here
                                    "05/06/1984\tNobody\tNothing\t40\t \t \t-1\t", ""}));
  EXPECT_EQ(editor.Caption(), "Chart Editor (3 of 2)");
  EXPECT_EQ(editor.Field(F::kCD), " ");

  Type(editor, {"1/13/2000", "A", "B", "3"});
  EXPECT_FALSE(editor.OnUpdate());
  EXPECT_EQ(m_prompter.Texts(),
            Strings{"\"1/13/2000\" is not a date. Type the day (1 to 31), the month (1 to 12) and "
                    "the year, for example 05/03/1983."});
  for (const char* pszPosition : {"abc", "0", "1000", "12a", "-1"}) {
    Type(editor, {"7/8/99", "A", "B", pszPosition});
    EXPECT_FALSE(editor.OnUpdate()) << pszPosition;
    EXPECT_EQ(m_prompter.m_shown.back().strText,
              "The chart position must be a number from 1 to 999, or blank.");
  }
  EXPECT_EQ(m_prompter.m_shown.size(), 6u);
  Type(editor, {"7/8/99", "A", "B", ""});
  EXPECT_FALSE(editor.OnUpdate());  // no position at all: refused without a word
  EXPECT_EQ(m_prompter.m_shown.size(), 6u);
  EXPECT_EQ(editor.LineCount(), 3);

  editor.SetField(F::kPosition, " ");  // a blank position is none
  ASSERT_TRUE(editor.OnUpdate());
  editor.OnBottomOfList();
  Type(editor, {"7/8/99", "A", "B", "999"});
  ASSERT_TRUE(editor.OnUpdate());
  EXPECT_EQ(editor.Line(3), "07/08/1999\tA\tB\t999\t \t \t-1\t");
  EXPECT_EQ(editor.Field(F::kDate), "7/8/99");  // the field keeps what was typed
  EXPECT_EQ(editor.Caption(), "Chart Editor (4 of 4)");
}

TEST_F(ChartEditorTest, FindInPlaylistTakesTheFirstAcceptedRecordOrClearsTheLink) {
  Record({"ABBA", "sos", "9", "9"});  // a later match is never reached
  ChartEditor editor(m_store, m_prompter, "T");
  editor.OnTopOfList();
  editor.OnFindInPlaylist();
  EXPECT_EQ(Fields(editor), "01/02/1983\tAbba\tSOS\t1\t0\t7\t0\t");

  editor.SetField(F::kArtist, "Queen ");  // a near miss: asked, and refused
  editor.SetField(F::kTitle, "Radio");
  m_prompter.m_answers = {PromptAnswer::No};
  editor.OnFindInPlaylist();
  EXPECT_EQ(m_prompter.Texts(),
            Strings{"Playlist: Queen - Radio\nCharts:  Queen  - Radio\n\nIs this a match?"});
  EXPECT_EQ(Fields(editor), "01/02/1983\tQueen \tRadio\t1\t \t \t-1\t");

  // Cancel ends the chain of questions and leaves the fields as they were.
  Record({"Queen", "Radio ", "5", "5"});  // a second near miss, never asked about
  editor.SetField(F::kPlaylistLink, "1");
  const std::string strBefore = Fields(editor);
  m_prompter.m_answers = {PromptAnswer::Cancel};
  EXPECT_FALSE(editor.OnFindInPlaylist());
  EXPECT_EQ(m_prompter.m_shown.size(), 2u);
  EXPECT_EQ(m_prompter.m_shown[1].buttons, PromptButtons::YesNoCancel);
  EXPECT_EQ(Fields(editor), strBefore);
}

TEST_F(ChartEditorTest, SaveSetsTheEntriesLinksFromTheLinesAndLeavesThePlaylistAlone) {
  m_store.SetPlaylistReference(0, 0);
  ChartEditor editor(m_store, m_prompter, "T");
  editor.OnSelChangeList(1);
  editor.SetField(F::kArtist, "Queen");
  editor.SetField(F::kTitle, "Radio");
  editor.OnFindInPlaylist();
  ASSERT_TRUE(editor.OnUpdate());
  editor.OnBottomOfList();
  Type(editor, {"1/1/85", "New", "Entry", "2"});
  ASSERT_TRUE(editor.OnUpdate());
  ASSERT_TRUE(editor.OnSaveAndExit());
  EXPECT_EQ(editor.Caption(), "Chart Editor - Saving");
  EXPECT_EQ(ChartRows(m_store), (Strings{"01/02/1983|Abba|SOS|1|0", "05/06/1984|Queen|Radio|40|1",
                                         "01/01/1985|New|Entry|2|-1"}));
  EXPECT_EQ(ChartLinks(m_store), (std::vector<int>{0, -1}));
}

TEST_F(ChartEditorTest, SaveBeyondTheChartCapacityIsRefused) {
  m_store.Allocate(10, 1);  // and empties the store
  ChartEditor editor(m_store, m_prompter, "T");
  for (const char* pszArtist : {"A", "B"}) {
    Type(editor, {"1/1/85", pszArtist, "T", "1"});
    ASSERT_TRUE(editor.OnUpdate());
    editor.OnBottomOfList();
  }
  EXPECT_FALSE(editor.OnSaveAndExit());
  ASSERT_EQ(m_prompter.m_shown.size(), 1u);
  EXPECT_TRUE(Contains(m_prompter.m_shown[0].strText, "chart database can hold at most 1 entries"));
  EXPECT_EQ(m_store.ChartCount(), 0);
}

}  // namespace
}  // namespace velvane
