#include "core/search/TextMatch.h"

#include <algorithm>
#include <string_view>

#include "core/text/DisplayFormat.h"
#include "core/text/Text.h"

namespace velvane {

namespace {

char UpperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsAscii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      return false;
    }
  }
  return true;
}

bool EqualFoldingAsciiOnly(std::string_view strA, std::string_view strB) {
  if (strA.size() != strB.size()) {
    return false;
  }
  for (std::size_t i = 0; i < strA.size(); ++i) {
    if (UpperAscii(strA[i]) != UpperAscii(strB[i])) {
      return false;
    }
  }
  return true;
}

// The same text, whichever encoding each was stored in: "Beyonc\xE9" (Windows-1252) equals
// "Beyonc\xC3\xA9" (UTF-8). Only a-z fold, as in the byte comparison of plain texts.
bool SameText(std::string_view strA, std::string_view strB) {
  if (EqualFoldingAsciiOnly(strA, strB)) {
    return true;
  }
  if (IsAscii(strA) && IsAscii(strB)) {
    return false;  // the common case in a pass over whole databases: no conversion
  }
  return EqualFoldingAsciiOnly(DisplayUtf8(strA), DisplayUtf8(strB));
}

// The characters of valid UTF-8 text, one code point each.
std::u32string Characters(std::string_view text) {
  std::u32string characters;
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    const std::size_t nLength = c >= 0xF0 ? 4 : (c >= 0xE0 ? 3 : (c >= 0xC0 ? 2 : 1));
    char32_t nCode = nLength == 1 ? c : (c & (0x7F >> nLength));
    for (std::size_t k = 1; k < nLength && i + k < text.size(); ++k) {
      nCode = (nCode << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    }
    characters += nCode;
    i += nLength;
  }
  return characters;
}

}  // namespace

void FoldForMatch(std::string_view strText, std::string& strUpper) {
  if (IsAscii(strText)) {  // the common case, kept cheap for whole-database passes
    strUpper.assign(strText);
    for (char& c : strUpper) {
      c = UpperAscii(c);
    }
    return;
  }
  // Older single-byte text is read as Windows-1252, so typed UTF-8 and stored bytes compare.
  strUpper = DisplayUtf8(strText);
  for (std::size_t i = 0; i < strUpper.size(); ++i) {
    const auto c = static_cast<unsigned char>(strUpper[i]);
    if (c < 0x80) {
      strUpper[i] = UpperAscii(strUpper[i]);
      continue;
    }
    if (i + 1 >= strUpper.size()) {
      break;
    }
    const auto next = static_cast<unsigned char>(strUpper[i + 1]);
    if (c == 0xC3 && next >= 0xA0 && next <= 0xBE && next != 0xB7) {
      strUpper[i + 1] = static_cast<char>(next - 0x20);  // à..þ (not ÷) to À..Þ
    } else if (c == 0xC3 && next == 0xBF) {
      strUpper[i] = static_cast<char>(0xC5);  // ÿ to Ÿ
      strUpper[i + 1] = static_cast<char>(0xB8);
    } else if (c == 0xC5 && (next == 0xA1 || next == 0x93 || next == 0xBE)) {
      strUpper[i + 1] = static_cast<char>(next - 1);  // š œ ž to Š Œ Ž
    }
    // Skip the rest of this character.
    const std::size_t nLength = c >= 0xF0 ? 4 : (c >= 0xE0 ? 3 : 2);
    i += nLength - 1;
  }
}

std::string UpperCaseForMatch(std::string_view strText) {
  std::string strUpper;
  FoldForMatch(strText, strUpper);
  return strUpper;
}

TextMatcher::TextMatcher(std::string_view strSearch1, std::string_view strSearch2)
    : m_strSearch1(UpperCaseForMatch(strSearch1)), m_strSearch2(UpperCaseForMatch(strSearch2)) {
  m_bWholeField1 = !m_strSearch1.empty() && m_strSearch1[0] == '#';
  if (m_bWholeField1) {
    m_strSearch1.erase(0, 1);
  }
}

bool TextMatcher::Contains(std::string_view strField, std::string_view strUpperSearch) const {
  if (strUpperSearch.empty()) {
    return true;  // found in every field
  }
  FoldForMatch(strField, m_strBuffer);
  return m_strBuffer.find(strUpperSearch) != std::string::npos;
}

int TextMatcher::Count(std::string_view strField1, std::string_view strField2) const {
  bool bFirst = false;
  if (m_bWholeField1) {
    FoldForMatch(strField1, m_strBuffer);
    bFirst = m_strBuffer == m_strSearch1;
  } else {
    bFirst = Contains(strField1, m_strSearch1);
  }
  return (bFirst ? 1 : 0) + (Contains(strField2, m_strSearch2) ? 1 : 0);
}

int MatchText(std::string_view strSearch1, std::string_view strField1, std::string_view strSearch2,
              std::string_view strField2) {
  return TextMatcher(strSearch1, strSearch2).Count(strField1, strField2);
}

int Similarity(std::string_view strFirst, std::string_view strSecond) {
  // Letters, not bytes: an accented letter is one letter in either encoding.
  const std::u32string strA = Characters(UpperCaseForMatch(strFirst));
  const std::u32string strB = Characters(UpperCaseForMatch(strSecond));
  const std::u32string& x = strA.size() <= strB.size() ? strA : strB;
  const std::u32string& y = strA.size() <= strB.size() ? strB : strA;
  if (y.size() < 2) {
    return 0;
  }
  int nCount = 0;
  for (std::size_t i = 0; i + 1 < x.size(); ++i) {
    for (std::size_t j = 0; j + 1 < y.size(); ++j) {
      if (x[i] == y[j] && x[i + 1] == y[j + 1]) {
        ++nCount;
        break;
      }
    }
  }
  return static_cast<int>(static_cast<double>(nCount) / static_cast<double>(y.size() - 1) * 100.0);
}

namespace {

MatchAnswer Confirm(Prompter& prompter, const std::string& strCaption,
                    std::string_view strPlaylistArtist, std::string_view strChartArtist,
                    std::string_view strPlaylistTitle, std::string_view strChartTitle, bool bSilent,
                    PromptButtons buttons) {
  if (SameText(strPlaylistArtist, strChartArtist) && SameText(strPlaylistTitle, strChartTitle)) {
    return MatchAnswer::Yes;
  }
  if (bSilent || Similarity(strPlaylistArtist, strChartArtist) < 50 ||
      Similarity(strPlaylistTitle, strChartTitle) < 50) {
    return MatchAnswer::No;
  }
  const std::string strQuestion =
      "Playlist: " + FormatArtistTitle(strPlaylistArtist, strPlaylistTitle) +
      "\nCharts:  " + FormatArtistTitle(strChartArtist, strChartTitle) + "\n\nIs this a match?";
  switch (prompter.Show(strQuestion, strCaption, PromptIcon::Question, buttons)) {
    case PromptAnswer::Yes:
      return MatchAnswer::Yes;
    case PromptAnswer::Cancel:
      return MatchAnswer::Cancel;
    default:
      return MatchAnswer::No;
  }
}

}  // namespace

bool ConfirmMatch(Prompter& prompter, const std::string& strCaption,
                  std::string_view strPlaylistArtist, std::string_view strChartArtist,
                  std::string_view strPlaylistTitle, std::string_view strChartTitle, bool bSilent) {
  return Confirm(prompter, strCaption, strPlaylistArtist, strChartArtist, strPlaylistTitle,
                 strChartTitle, bSilent, PromptButtons::YesNo) == MatchAnswer::Yes;
}

MatchAnswer AskMatch(Prompter& prompter, const std::string& strCaption,
                     std::string_view strPlaylistArtist, std::string_view strChartArtist,
                     std::string_view strPlaylistTitle, std::string_view strChartTitle) {
  return Confirm(prompter, strCaption, strPlaylistArtist, strChartArtist, strPlaylistTitle,
                 strChartTitle, false, PromptButtons::YesNoCancel);
}

void AppendSameTextKey(std::string_view strText, std::string& strKey) {
  const auto appendFolded = [&strKey](std::string_view text) {
    const std::size_t nOld = strKey.size();
    strKey.resize(nOld + text.size());
    std::transform(text.begin(), text.end(), strKey.begin() + static_cast<std::ptrdiff_t>(nOld),
                   UpperAscii);
  };
  if (IsAscii(strText)) {  // no conversion, no allocation: the common case in whole passes
    appendFolded(strText);
    return;
  }
  appendFolded(DisplayUtf8(strText));
}

std::string SameTextKey(std::string_view strText) {
  std::string strKey;
  AppendSameTextKey(strText, strKey);
  return strKey;
}

}  // namespace velvane
