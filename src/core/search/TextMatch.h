#pragma once

#include <string>

#include "core/ports/Prompter.h"

namespace velvane {

// Upper-cased UTF-8 copy for matching: a-z and the accented Latin letters folded, older
// single-byte (Windows-1252) text converted first, no UTF-8 sequence ever broken.
std::string UpperCaseForMatch(const std::string& strText);

// The text match with its two search texts prepared once, for passes over whole databases.
class TextMatcher {
 public:
  TextMatcher(const std::string& strSearch1, const std::string& strSearch2);
  // How many of the two pairs match (0-2), as MatchText.
  int Count(const std::string& strField1, const std::string& strField2) const;

 private:
  bool Contains(const std::string& strField, const std::string& strUpperSearch) const;

  std::string m_strSearch1;  // upper-cased, without a leading "#"
  std::string m_strSearch2;
  bool m_bWholeField1 = false;
  mutable std::string m_strBuffer;  // the upper-cased field, reused between calls
};

// How many of the two pairs match (0-2); callers take only 2 as a hit. Pair 1: search text 1
// occurs in field 1, or, when it starts with "#", the rest equals field 1 exactly. Pair 2:
// search text 2 occurs in field 2. Case does not matter; an empty search text matches anything.
int MatchText(const std::string& strSearch1, const std::string& strField1,
              const std::string& strSearch2, const std::string& strField2);

// Letter-pair similarity 0-100: pairs of the shorter text found among the longer text's pairs,
// per pair of the longer text, counting characters whatever the encoding they were stored in.
// Not symmetric when both are equally long.
int Similarity(const std::string& strFirst, const std::string& strSecond);

// Are a library artist/title and a chart artist/title the same song? Equal texts (a-z folded,
// the same text stored in either encoding) are; otherwise, unless `bSilent`, the operator is
// asked when both similarities reach 50.
bool ConfirmMatch(Prompter& prompter, const std::string& strCaption,
                  const std::string& strPlaylistArtist, const std::string& strChartArtist,
                  const std::string& strPlaylistTitle, const std::string& strChartTitle,
                  bool bSilent);

// ConfirmMatch in asking mode for a chain of questions (the editors' look-ups): the question
// also offers Cancel, which ends the whole chain.
enum class MatchAnswer { No, Yes, Cancel };
MatchAnswer AskMatch(Prompter& prompter, const std::string& strCaption,
                     const std::string& strPlaylistArtist, const std::string& strChartArtist,
                     const std::string& strPlaylistTitle, const std::string& strChartTitle);

// The text as the equality step of ConfirmMatch sees it: two texts have equal keys exactly
// when silent ConfirmMatch takes them as equal, so whole databases can be joined by hashing.
std::string SameTextKey(const std::string& strText);
// The same key appended to `strKey`, for callers that reuse one buffer.
void AppendSameTextKey(const std::string& strText, std::string& strKey);

}  // namespace velvane
