#include "core/editors/PlaylistEditor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/db/LineCodec.h"
#include "core/db/TrackStore.h"
#include "core/editors/ChartEditor.h"
#include "core/editors/DateRule.h"
#include "core/editors/NumberOneEditor.h"
#include "support/Fakes.h"
#include "support/Records.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

using PF = PlaylistEditor::Column;

using PlaylistEditorTest = EditorFixture;

TEST_F(PlaylistEditorTest, AnEmptyLibraryOpensOnTheNewRecordLineAsksBeforeQuittingAndSavesEmpty) {
  PlaylistEditor editor(m_store, m_prompter, "Velvane");
  EXPECT_EQ(Lines(editor), Strings{""});
  EXPECT_EQ(editor.Caption(), "Playlist Editor (1 of 0)");
  EXPECT_EQ(Fields(editor), "\t\t\t\t \t-1\t");
  m_prompter.m_answers = {PromptAnswer::No, PromptAnswer::Yes};
  EXPECT_FALSE(editor.OnQuit());
  EXPECT_TRUE(editor.OnQuit());
  EXPECT_EQ(m_prompter.m_shown[0].strText, "Changes will be lost. Continue?");
  EXPECT_EQ(m_prompter.m_shown[0].strCaption, "Velvane");
  EXPECT_EQ(m_prompter.m_shown[0].icon, PromptIcon::Question);
  EXPECT_TRUE(editor.OnSaveAndExit());
  EXPECT_EQ(m_store.PlaylistCount(), 0);
}

TEST_F(PlaylistEditorTest, LinesCutLongTextsBlankZeroNumbersAndCarryTheLinkOutOfSight) {
  const std::string strLong(70, 'a');
  const std::string strCut(64, 'a');
  Chart({"05/03/1983", "X", "Y", "1"});
  Record({strLong, "Title", "0", "3", 0});
  Record({"B", "T", "12", "0"});
  PlaylistEditor editor(m_store, m_prompter, "T");
  EXPECT_EQ(Lines(editor), (Strings{strCut + "\tTitle\t \t3\tNo. 1   on   05 March 1983\t0\t",
                                    "B\tT\t12\t \t \t-1\t", ""}));
  EXPECT_EQ(editor.Caption(), "Playlist Editor (3 of 2)");
  editor.OnSelChangeList(0);
  EXPECT_EQ(editor.Caption(), "Playlist Editor (1 of 2)");
  EXPECT_EQ(editor.Field(PF::kCD), " ");

  // Saved untouched: the cut texts and the blanks go back; the file still gets the number 0.
  ASSERT_TRUE(editor.OnSaveAndExit());
  EXPECT_EQ(PlaylistRows(m_store), (Strings{strCut + "|Title| |3|0", "B|T|12| |-1"}));
  EXPECT_EQ(FormatPlaylistLine(m_store.Playlist(0)).substr(0, 6), "00003\\");
}

TEST_F(PlaylistEditorTest, UpdateAddsAboveTheNewRecordLineReplacesInPlaceAndRefusesWhatIsWrong) {
  Record({"A", "TA", "1", "1"});
  PlaylistEditor editor(m_store, m_prompter, "T");
  Type(editor, {"New", "", "2", "5"});  // an empty required field: nothing happens, no word
  EXPECT_FALSE(editor.OnUpdate());
  EXPECT_EQ(editor.LineCount(), 2);

  Type(editor, {"New", "Song", "2", "5"});
  ASSERT_TRUE(editor.OnUpdate());
  EXPECT_EQ(Lines(editor), (Strings{"A\tTA\t1\t1\t \t-1\t", "New\tSong\t2\t5\t \t-1\t", ""}));
  EXPECT_EQ(editor.Selected(), 1);  // the new record, and the caption counts it
  EXPECT_EQ(editor.Caption(), "Playlist Editor (2 of 2)");
  EXPECT_EQ(editor.Field(PF::kArtist), "New");

  editor.OnTopOfList();
  editor.SetField(PF::kTitle, "Changed");
  ASSERT_TRUE(editor.OnUpdate());
  EXPECT_EQ(Lines(editor), (Strings{"A\tChanged\t1\t1\t \t-1\t", "New\tSong\t2\t5\t \t-1\t", ""}));
  EXPECT_TRUE(m_prompter.m_shown.empty());

  // What the file cannot hold is refused with a message.
  editor.OnBottomOfList();
  for (const auto& [strCD, strTrack] :
       {std::pair{"1000", "1"}, {"1", "100"}, {"x1", "1"}, {"1", "-1"}}) {
    Type(editor, {"A", "B", strCD, strTrack});
    EXPECT_FALSE(editor.OnUpdate()) << strCD << "/" << strTrack;
  }
  Type(editor, {"AC\\DC", "B", "1", "1"});
  EXPECT_FALSE(editor.OnUpdate());
  EXPECT_EQ(m_prompter.m_shown.size(), 5u);
  EXPECT_EQ(m_prompter.m_shown[0].strText, "The CD number must be a number from 0 to 999.");
  EXPECT_EQ(editor.LineCount(), 3);
  Type(editor, {"A", "B", " ", "99"});  // a blank number is none: allowed
  EXPECT_TRUE(editor.OnUpdate());
}

TEST_F(PlaylistEditorTest, SearchGoesForwardOverWholeLinesWithoutWrapping) {
  Chart({"01/01/1980", "X", "Y", "1"});
  Chart({"01/01/1980", "X", "Y", "12"});
  Record({"Abba", "Waterloo", "1", "1"});
  Record({"Queen", "Bicycle", "1", "2", 1});   // No. 12
  Record({"Blondie", "Atomic", "1", "3", 0});  // No. 1
  Record({"abba", "SOS", "1", "4"});
  PlaylistEditor editor(m_store, m_prompter, "T");

  editor.OnTopOfList();
  EXPECT_TRUE(editor.OnSearch("No. 1 "));
  EXPECT_EQ(editor.Selected(), 2);
  EXPECT_EQ(editor.Field(PF::kArtist), "Blondie");
  EXPECT_EQ(editor.Caption(), "Playlist Editor (3 of 4)");

  EXPECT_TRUE(editor.OnSearch("ABBA"));  // goes on after the line found
  EXPECT_EQ(editor.Selected(), 3);
  EXPECT_FALSE(editor.OnSearch("ABBA"));  // from the last record: nothing, no wrap
  EXPECT_EQ(editor.Selected(), 3);

  editor.OnTopOfList();
  EXPECT_FALSE(editor.OnSearch("#Queen"));  // "#" wants the whole line
  EXPECT_TRUE(editor.OnSearch("#queen\tbicycle\t1\t2\tNo. 12   on   01 January 1980\t1\t"));
  EXPECT_EQ(editor.Selected(), 1);
}

TEST_F(PlaylistEditorTest, FindChartEntryTakesTheLowestPositionAndTheEarliestOfEqualOnes) {
  Chart({"01/01/1980", "Abba", "SOS", "5"});
  Chart({"02/01/1980", "ABBA", "sos", "2"});
  Chart({"03/01/1980", "abba", "SOS", "2"});
  Chart({"04/01/1980", "Abba", "SOS", "7"});
  PlaylistEditor editor(m_store, m_prompter, "T");
  Type(editor, {"abba", "Sos", "1", "1"});
  editor.OnFindChartEntry();
  // Artist and title as the chart has them; the line changes only with "Update".
  EXPECT_EQ(Fields(editor), "ABBA\tsos\t1\t1\tNo. 2   on   02 January 1980\t1\t");
  EXPECT_TRUE(m_prompter.m_shown.empty());
  EXPECT_EQ(editor.LineCount(), 1);
}

TEST_F(PlaylistEditorTest, FindChartEntryAsksPerNearMissAndClearsTheLinkWhenNoneIsAccepted) {
  Chart({"01/01/1980", "Abba ", "SOS", "3"});
  Chart({"02/01/1980", "Abba  ", "SOS", "1"});
  Chart({"03/01/1980", "Queen", "Radio", "1"});
  Record({"Abba", "SOS", "1", "1", 2});
  PlaylistEditor editor(m_store, m_prompter, "T");
  editor.OnTopOfList();
  m_prompter.m_answers = {PromptAnswer::No, PromptAnswer::No};
  editor.OnFindChartEntry();
  ASSERT_EQ(m_prompter.m_shown.size(), 2u);  // two near misses, none for Queen
  EXPECT_EQ(m_prompter.m_shown[0].strText,
            "Playlist: Abba - SOS\nCharts:  Abba  - SOS\n\nIs this a match?");
  EXPECT_EQ(Fields(editor), "Abba\tSOS\t1\t1\t \t-1\t");

  m_prompter.m_answers = {PromptAnswer::Yes, PromptAnswer::Yes};
  editor.OnFindChartEntry();
  EXPECT_EQ(editor.Field(PF::kChartLink), "1");

  // Cancel on the second question: the first Yes is forgotten, the fields stay as they were.
  m_prompter.m_answers = {PromptAnswer::Yes, PromptAnswer::Cancel};
  editor.SetField(PF::kArtist, "Abba");
  editor.SetField(PF::kChartLink, "2");
  const std::string strBefore = Fields(editor);
  EXPECT_FALSE(editor.OnFindChartEntry());
  EXPECT_EQ(m_prompter.m_shown.size(), 6u);
  EXPECT_EQ(Fields(editor), strBefore);
}

TEST_F(PlaylistEditorTest, DeleteRemovesTheSelectedRecordAndUndoRedoRestoreTheExactLines) {
  Chart({"01/01/1980", "B", "TB", "3"});
  Record({"A", "TA", "1", "1"});
  Record({"B", "TB", "1", "2", 0});
  Record({"C", "TC", "1", "3"});
  PlaylistEditor editor(m_store, m_prompter, "T");
  const Strings opened = Lines(editor);
  EXPECT_FALSE(editor.OnDelete());  // the new-record line stays
  EXPECT_FALSE(editor.OnUndo());
  EXPECT_EQ(editor.LineCount(), 4);

  editor.OnSelChangeList(1);
  ASSERT_TRUE(editor.OnDelete());
  EXPECT_EQ(editor.LineCount(), 3);
  EXPECT_EQ(editor.Selected(), 1);  // the next record takes its place and is shown
  EXPECT_EQ(editor.Field(PF::kArtist), "C");
  EXPECT_EQ(editor.Caption(), "Playlist Editor (2 of 2)");

  editor.OnTopOfList();
  editor.SetField(PF::kTitle, "Changed");
  ASSERT_TRUE(editor.OnUpdate());
  editor.OnBottomOfList();
  Type(editor, {"D", "TD", "2", "1"});
  ASSERT_TRUE(editor.OnUpdate());
  EXPECT_EQ(editor.Caption(), "Playlist Editor (3 of 3)");  // the caption follows Update
  const Strings edited = Lines(editor);

  ASSERT_TRUE(editor.OnUndo());  // the added record goes
  ASSERT_TRUE(editor.OnUndo());  // the old title comes back
  ASSERT_TRUE(editor.OnUndo());  // and the deleted record, link and all
  EXPECT_EQ(Lines(editor), opened);
  EXPECT_EQ(editor.Selected(), 1);
  EXPECT_EQ(editor.Field(PF::kChartLink), "0");
  EXPECT_EQ(editor.Caption(), "Playlist Editor (2 of 3)");
  EXPECT_FALSE(editor.OnUndo());

  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(editor.OnRedo());
  }
  EXPECT_FALSE(editor.OnRedo());
  EXPECT_EQ(Lines(editor), edited);
}

TEST_F(PlaylistEditorTest, HundredsOfStepsUndoBackToTheOpenedLines) {
  Record({"A", "TA", "1", "1"});
  Record({"B", "TB", "1", "2"});
  PlaylistEditor editor(m_store, m_prompter, "T");
  const Strings opened = Lines(editor);
  for (int i = 0; i < 300; ++i) {
    editor.OnSelChangeList(i % 3 == 2 ? 0 : editor.LineCount() - 1);
    if (i % 3 == 2) {
      ASSERT_TRUE(editor.OnDelete());
    } else {
      Type(editor, {"N" + std::to_string(i), "T", "1", "1"});
      ASSERT_TRUE(editor.OnUpdate());
    }
  }
  int nUndone = 0;
  while (editor.OnUndo()) {
    ++nUndone;
  }
  EXPECT_EQ(nUndone, 300);
  EXPECT_EQ(Lines(editor), opened);
}

TEST_F(PlaylistEditorTest, SaveWritesRecordsBackAndLinksChartEntriesToTheirNewIndexes) {
  Chart({"01/01/1980", "Queen", "Radio", "4"});
  Chart({"01/01/1981", "Abba", "SOS", "6", 0});  // a stale link: no record links back to it
  Record({"Abba", "SOS", "1", "1"});
  PlaylistEditor editor(m_store, m_prompter, "T");
  Type(editor, {"Queen", "Radio", "2", "7"});
  editor.OnFindChartEntry();
  ASSERT_TRUE(editor.OnUpdate());
  EXPECT_TRUE(editor.OnSaveAndExit());
  EXPECT_EQ(editor.Caption(), "Playlist Editor - Saving");
  EXPECT_EQ(PlaylistRows(m_store), (Strings{"Abba|SOS|1|1|-1", "Queen|Radio|2|7|0"}));
  EXPECT_EQ(PlaylistLinks(m_store), (std::vector<int>{1, 0}));  // set only from the playlist side
}

TEST_F(PlaylistEditorTest, SaveBeyondTheCapacityIsRefusedNamingItAndWritesNothing) {
  m_store.Allocate(1, 10);
  Record({"A", "TA", "1", "1"});
  PlaylistEditor editor(m_store, m_prompter, "T");
  Type(editor, {"B", "TB", "1", "2"});
  ASSERT_TRUE(editor.OnUpdate());
  EXPECT_FALSE(editor.OnSaveAndExit());
  ASSERT_EQ(m_prompter.m_shown.size(), 1u);
  EXPECT_TRUE(Contains(m_prompter.m_shown[0].strText, "at most 1 records"));
  EXPECT_EQ(PlaylistRows(m_store), Strings{"A|TA|1|1|-1"});
}

using CF = ChartEditor::Column;

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
  EXPECT_EQ(editor.Field(CF::kCD), " ");

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

  editor.SetField(CF::kPosition, " ");  // a blank position is none
  ASSERT_TRUE(editor.OnUpdate());
  editor.OnBottomOfList();
  Type(editor, {"7/8/99", "A", "B", "999"});
  ASSERT_TRUE(editor.OnUpdate());
  EXPECT_EQ(editor.Line(3), "07/08/1999\tA\tB\t999\t \t \t-1\t");
  EXPECT_EQ(editor.Field(CF::kDate), "7/8/99");  // the field keeps what was typed
  EXPECT_EQ(editor.Caption(), "Chart Editor (4 of 4)");
}

TEST_F(ChartEditorTest, FindInPlaylistTakesTheFirstAcceptedRecordOrClearsTheLink) {
  Record({"ABBA", "sos", "9", "9"});  // a later match is never reached
  ChartEditor editor(m_store, m_prompter, "T");
  editor.OnTopOfList();
  editor.OnFindInPlaylist();
  EXPECT_EQ(Fields(editor), "01/02/1983\tAbba\tSOS\t1\t0\t7\t0\t");

  editor.SetField(CF::kArtist, "Queen ");  // a near miss: asked, and refused
  editor.SetField(CF::kTitle, "Radio");
  m_prompter.m_answers = {PromptAnswer::No};
  editor.OnFindInPlaylist();
  EXPECT_EQ(m_prompter.Texts(),
            Strings{"Playlist: Queen - Radio\nCharts:  Queen  - Radio\n\nIs this a match?"});
  EXPECT_EQ(Fields(editor), "01/02/1983\tQueen \tRadio\t1\t \t \t-1\t");

  // Cancel ends the chain of questions and leaves the fields as they were.
  Record({"Queen", "Radio ", "5", "5"});  // a second near miss, never asked about
  editor.SetField(CF::kPlaylistLink, "1");
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
  editor.SetField(CF::kArtist, "Queen");
  editor.SetField(CF::kTitle, "Radio");
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

using NF = NumberOneEditor::Column;

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
  editor.SetField(NF::kDate, "1/1/79");
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

// Deleting in the playlist or chart editor keeps the other database's links right: random
// libraries, linked at random both ways, get random deletes, undos and redos, and after
// "Save And Exit" every link is compared with a model that follows each record by identity.
TrackStore RandomLibrary(std::mt19937& random) {
  TrackStore store;
  const int nRecords = std::uniform_int_distribution<int>(1, 30)(random);
  const int nEntries = std::uniform_int_distribution<int>(1, 30)(random);
  store.Allocate(100, 100);
  store.SetPlaylistCount(nRecords);
  store.SetChartCount(nEntries);
  const auto link = [&random](int nCount) {
    return std::uniform_int_distribution<int>(-nCount / 2, nCount - 1)(random) < 0
               ? -1
               : std::uniform_int_distribution<int>(0, nCount - 1)(random);
  };
  for (int i = 0; i < nRecords; ++i) {
    store.SetPlaylistEntry(i, "R" + std::to_string(i), "T", "1", "1", link(nEntries));
  }
  for (int j = 0; j < nEntries; ++j) {
    store.SetChartEntry(j, "01/01/1990", "C" + std::to_string(j), "T", "1", link(nRecords));
  }
  return store;
}

// Random deletes, undos and redos on `editor`, mirrored on `kept` (the opened indexes of the
// lines left, in order).
void DeleteAtRandom(RecordEditor& editor, std::vector<int>& kept, std::mt19937& random) {
  std::vector<std::vector<int>> undo, redo;  // what `kept` was before each step
  for (int nStep = 0; nStep < 40; ++nStep) {
    const int nKind = std::uniform_int_distribution<int>(0, 9)(random);
    if (nKind < 6 && !kept.empty()) {
      const int nLine = std::uniform_int_distribution<int>(0, int(kept.size()) - 1)(random);
      editor.OnSelChangeList(nLine);
      ASSERT_TRUE(editor.OnDelete());
      undo.push_back(kept);
      kept.erase(kept.begin() + nLine);
      redo.clear();
    } else {
      auto& from = nKind < 9 ? undo : redo;
      ASSERT_EQ(nKind < 9 ? editor.OnUndo() : editor.OnRedo(), !from.empty());
      if (!from.empty()) {
        (nKind < 9 ? redo : undo).push_back(kept);
        kept = from.back();
        from.pop_back();
      }
    }
    ASSERT_EQ(editor.LineCount(), int(kept.size()) + 1);
  }
}

// Where the record opened at `nOpened` is now, or -1.
int NowAt(const std::vector<int>& kept, int nOpened) {
  const auto it = std::find(kept.begin(), kept.end(), nOpened);
  return nOpened < 0 || it == kept.end() ? -1 : int(it - kept.begin());
}

// Opens `Editor` on random libraries, deletes at random, saves, and hands the library saved,
// the library opened and the opened indexes of the lines kept to `check`.
template <typename Editor, typename Check>
void DeleteAndSave(const Check& check) {
  for (unsigned nSeed = 1; nSeed <= 50; ++nSeed) {
    SCOPED_TRACE(nSeed);
    std::mt19937 random(nSeed);
    TrackStore store = RandomLibrary(random);
    const TrackStore opened = store;
    FakePrompter prompter;
    Editor editor(store, prompter, "T");
    std::vector<int> kept(static_cast<std::size_t>(editor.LineCount() - 1));
    std::iota(kept.begin(), kept.end(), 0);
    DeleteAtRandom(editor, kept, random);
    ASSERT_TRUE(editor.OnSaveAndExit());
    check(store, opened, kept);
  }
}

TEST(EditorLinks, DeletedRecordsUnlinkTheirChartEntriesAndLaterOnesMoveDown) {
  DeleteAndSave<PlaylistEditor>([](const TrackStore& store, const TrackStore& opened,
                                   const std::vector<int>& kept) {
    std::vector<int> expected;  // each entry's link: its record followed, then set from the lines
    for (const int nLink : PlaylistLinks(opened)) {
      expected.push_back(NowAt(kept, nLink));
    }
    Strings rows;
    for (int i = 0; i < int(kept.size()); ++i) {
      rows.push_back(Row(opened.Playlist(kept[i])));
      if (const int nLink = opened.Playlist(kept[i]).nChartLink; nLink >= 0) {
        expected[nLink] = i;
      }
    }
    EXPECT_EQ(PlaylistRows(store), rows);
    EXPECT_EQ(PlaylistLinks(store), expected);
  });
}

TEST(EditorLinks, DeletedChartEntriesUnlinkTheirRecordsAndLaterOnesMoveDown) {
  DeleteAndSave<ChartEditor>(
      [](const TrackStore& store, const TrackStore& opened, const std::vector<int>& kept) {
        Strings rows;
        for (const int j : kept) {
          rows.push_back(Row(opened.Chart(j)));
        }
        EXPECT_EQ(ChartRows(store), rows);
        std::vector<int> expected;
        for (const int nLink : ChartLinks(opened)) {
          expected.push_back(NowAt(kept, nLink));
        }
        EXPECT_EQ(ChartLinks(store), expected);
      });
}

}  // namespace
}  // namespace velvane
