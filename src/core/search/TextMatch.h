#pragma once

#include <string>
#include <string_view>

#include "core/ports/Prompter.h"

namespace velvane {

// Upper-cased UTF-8 copy for matching: a-z and the accented Latin letters folded, older
// single-byte (Windows-1252) text converted first, no UTF-8 sequence ever broken.
std::string UpperCaseForMatch(std::string_view strText);

// The text match with its two search texts prepared once, for passes over whole databases.
class TextMatcher {
 public:
  TextMatcher(std::string_view strSearch1, std::string_view strSearch2);
  // How many of the two pairs match (0-2), as MatchText.
  int Count(std::string_view strField1, std::string_view strField2) const;

 private:
  bool Contains(std::string_view strField, std::string_view strUpperSearch) const;

  std::string m_strSearch1;  // upper-cased, without a leading "#"
  std::string m_strSearch2;
  bool m_bWholeField1 = false;
  mutable std::string m_strBuffer;  // the upper-cased field, reused between calls
};

// How many of the two pairs match (0-2); callers take only 2 as a hit. Pair 1: search text 1
// occurs in field 1, or, when it starts with "#", the rest equals field 1 exactly. Pair 2:
// search text 2 occurs in field 2. Case does not matter; an empty search text matches anything.
int MatchText(std::string_view strSearch1, std::string_view strField1, std::string_view strSearch2,
              std::string_view strField2);

// Letter-pair similarity 0-100: pairs of the shorter text found among the longer text's pairs,
// per pair of the longer text, counting characters whatever the encoding they were stored in.
// Not symmetric when both are equally long.
int Similarity(std::string_view strFirst, std::string_view strSecond);

// Are a library artist/title and a chart artist/title the same song? Equal texts (a-z folded,
// the same text stored in either encoding) are; otherwise, unless `bSilent`, the operator is
// asked when both similarities reach 50.
bool ConfirmMatch(Prompter& prompter, const std::string& strCaption,
                  std::string_view strPlaylistArtist, std::string_view strChartArtist,
                  std::string_view strPlaylistTitle, std::string_view strChartTitle, bool bSilent);

// ConfirmMatch in asking mode for a chain of questions (the editors' look-ups): the question
// also offers Cancel, which ends the whole chain.
enum class MatchAnswer { No, Yes, Cancel };
MatchAnswer AskMatch(Prompter& prompter, const std::string& strCaption,
                     std::string_view strPlaylistArtist, std::string_view strChartArtist,
                     std::string_view strPlaylistTitle, std::string_view strChartTitle);

// The text as the equality step of ConfirmMatch sees it: two texts have equal keys exactly
// when silent ConfirmMatch takes them as equal, so whole databases can be joined by hashing.
std::string SameTextKey(std::string_view strText);
// The same key appended to `strKey`, for callers that reuse one buffer.
void AppendSameTextKey(std::string_view strText, std::string& strKey);

}  // namespace velvane
