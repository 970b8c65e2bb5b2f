#include "core/search/TextMatch.h"

#include <gtest/gtest.h>

#include "support/Fakes.h"

namespace velvane {
namespace {

TEST(MatchText, SubstringsHashForWholeArtistEmptyTextsAndAccentedLettersInBothEncodings) {
  EXPECT_EQ(MatchText("beat", "The Beatles", "", "Help"), 2);
  EXPECT_EQ(MatchText("#beatles", "The Beatles", "", ""), 1);
  EXPECT_EQ(MatchText("#the beatles", "The Beatles", "", ""), 2);
  EXPECT_EQ(MatchText("#ABBA", "Abba Gold", "", ""), 1);
  EXPECT_EQ(MatchText("#", "", "", ""), 2);
  EXPECT_EQ(MatchText("#", "x", "", ""), 1);
  EXPECT_EQ(MatchText("", "", "", ""), 2);
  // "#" is an ordinary character in the title.
  EXPECT_EQ(MatchText("", "", "#b", "abc"), 1);
  // Case folding covers accented letters in both encodings.
  EXPECT_EQ(MatchText("mot\xC3\xB6r", "MOT\xC3\x96RHEAD", "", ""), 2);  // UTF-8 ö / Ö
  EXPECT_EQ(MatchText("mot\xF6r", "MOT\xD6RHEAD", "", ""), 2);          // Windows-1252
  EXPECT_EQ(MatchText("bj\xC3\xB6rk", "Bj\xF6rk", "", ""), 2);          // typed UTF-8, stored 1252
  // Folding must not turn one UTF-8 letter into another: "÷" (C3 B7) stays.
  EXPECT_EQ(UpperCaseForMatch("\xC3\xB7\xC3\xA9"), "\xC3\xB7\xC3\x89");
}

TEST(Similarity, LetterPairScoresTheirAsymmetryAndCharactersNotBytes) {
  EXPECT_EQ(Similarity("ABBA GOLD", "ABBA"), 37);  // pairs of the shorter text, over the longer
  EXPECT_EQ(Similarity("ABCD", "abcd"), 100);
  EXPECT_EQ(Similarity("ABCD", "ABXD"), 33);
  EXPECT_EQ(Similarity("AAAB", "AABB"), 100);
  EXPECT_EQ(Similarity("AABB", "AAAB"), 66);
  EXPECT_EQ(Similarity("", ""), 0);
  EXPECT_EQ(Similarity("A", "A"), 0);
  EXPECT_EQ(Similarity("Abba", "Abba "), 75);
  // Characters count, not bytes: "É" stored as Windows-1252 or as UTF-8 is one letter.
  EXPECT_EQ(Similarity("AB\xC9", "ABE"), 50);
  EXPECT_EQ(Similarity("AB\xC3\x89", "ABE"), 50);
  EXPECT_EQ(Similarity("Beyonc\xE9", "Beyonc\xC3\xA9"), 100);
  EXPECT_EQ(Similarity("\xC3\xA9\xC3\xA9", "\xC3\xA9"), 0);  // one letter has no pair
}

TEST(ConfirmMatch, AsksOnlyForCloseInexactPairsWhenNotSilent) {
  FakePrompter prompter;
  EXPECT_TRUE(ConfirmMatch(prompter, "T", "ABBA", "abba", "Waterloo", "WATERLOO", false));
  EXPECT_FALSE(ConfirmMatch(prompter, "T", "Abba", "Abba ", "Waterloo", "Waterloo", true));
  EXPECT_TRUE(prompter.m_shown.empty());

  prompter.m_answers = {PromptAnswer::No, PromptAnswer::Yes};
  EXPECT_FALSE(ConfirmMatch(prompter, "T", "Abba", "Abba ", "Waterloo", "Waterloo", false));
  ASSERT_EQ(prompter.m_shown.size(), 1u);
  EXPECT_EQ(prompter.m_shown[0].strText,
            "Playlist: Abba - Waterloo\nCharts:  Abba  - Waterloo\n\nIs this a match?");
  EXPECT_EQ(prompter.m_shown[0].buttons, PromptButtons::YesNo);
  EXPECT_TRUE(ConfirmMatch(prompter, "T", "ABC", "ABD", "Waterloo", "Waterloo", false));  // 50

  // One score under 50: no question.
  EXPECT_FALSE(ConfirmMatch(prompter, "T", "Abba", "Abba ", "Waterloo", "SOS", false));
  EXPECT_EQ(prompter.m_shown.size(), 2u);
  // Accented letters fold only for matching, not for the equality that skips the question.
  EXPECT_FALSE(ConfirmMatch(prompter, "T", "\xE9", "\xC9", "x", "x", true));
}

TEST(ConfirmMatch, AskMatchOffersCancelAndAsksOnlyWhatConfirmMatchWouldAsk) {
  FakePrompter prompter;
  EXPECT_EQ(AskMatch(prompter, "T", "ABBA", "abba", "SOS", "sos"), MatchAnswer::Yes);
  EXPECT_EQ(AskMatch(prompter, "T", "Abba", "Queen", "SOS", "SOS"), MatchAnswer::No);
  EXPECT_TRUE(prompter.m_shown.empty());
  prompter.m_answers = {PromptAnswer::Cancel, PromptAnswer::No, PromptAnswer::Yes};
  for (const MatchAnswer expected : {MatchAnswer::Cancel, MatchAnswer::No, MatchAnswer::Yes}) {
    EXPECT_EQ(AskMatch(prompter, "T", "Abba", "Abba ", "SOS", "SOS"), expected);
  }
  EXPECT_EQ(prompter.m_shown[0].buttons, PromptButtons::YesNoCancel);
  EXPECT_EQ(prompter.m_shown[0].strText,
            "Playlist: Abba - SOS\nCharts:  Abba  - SOS\n\nIs this a match?");
}

TEST(ConfirmMatch, TheSameSongInEitherEncodingIsOneSong) {
  // "Beyoncé" stored as UTF-8 by the operator and as Windows-1252 in an older chart file.
  FakePrompter prompter;
  EXPECT_EQ(MatchText("Beyonc\xC3\xA9", "Beyonc\xE9", "Halo", "Halo"), 2);
  EXPECT_TRUE(ConfirmMatch(prompter, "T", "Beyonc\xC3\xA9", "BEYONC\xE9", "Halo", "Halo", true));
  EXPECT_TRUE(ConfirmMatch(prompter, "T", "Beyonc\xE9", "Beyonc\xC3\xA9", "Halo", "Halo", false));
  EXPECT_TRUE(prompter.m_shown.empty());
  // Only a-z fold in the equality, in either encoding.
  EXPECT_FALSE(ConfirmMatch(prompter, "T", "\xC3\xA9", "\xC9", "x", "x", true));

  // A question shows every text readable, whatever each was stored in.
  prompter.m_answers = {PromptAnswer::Yes};
  EXPECT_TRUE(ConfirmMatch(prompter, "T", "Beyonc\xE9", "Beyonc\xC3\xA9 ", "Halo", "Halo", false));
  ASSERT_EQ(prompter.m_shown.size(), 1u);
  EXPECT_EQ(prompter.m_shown[0].strText,
            "Playlist: Beyonc\xC3\xA9 - Halo\nCharts:  Beyonc\xC3\xA9  - Halo\n\nIs this a match?");
}

}  // namespace
}  // namespace velvane
