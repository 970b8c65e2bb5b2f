#include "core/editors/PlaylistEditor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/db/LineCodec.h"
#include "core/editors/EditorFixture.h"

namespace velvane {
namespace {

using F = PlaylistEditor::Column;

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
  EXPECT_EQ(editor.Field(F::kCD), " ");

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
  EXPECT_EQ(editor.Field(F::kArtist), "New");

  editor.OnTopOfList();
  editor.SetField(F::kTitle, "Changed");
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
  EXPECT_EQ(editor.Field(F::kArtist), "Blondie");
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
  EXPECT_EQ(editor.Field(F::kChartLink), "1");

  // Cancel on the second question: the first Yes is forgotten, the fields stay as they were.
  m_prompter.m_answers = {PromptAnswer::Yes, PromptAnswer::Cancel};
  editor.SetField(F::kArtist, "Abba");
  editor.SetField(F::kChartLink, "2");
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
  EXPECT_EQ(editor.Field(F::kArtist), "C");
  EXPECT_EQ(editor.Caption(), "Playlist Editor (2 of 2)");

  editor.OnTopOfList();
  editor.SetField(F::kTitle, "Changed");
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
  EXPECT_EQ(editor.Field(F::kChartLink), "0");
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

}  // namespace
}  // namespace velvane
