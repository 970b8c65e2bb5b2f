#include "core/search/TextMatch.h"

#include <vector>

#include "core/db/Text.h"

namespace velvane {

namespace {

char UpperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Windows-1252 single bytes: the Latin-1 letters à-þ (not ÷) and š, œ, ž, ÿ.
char UpperSingleByte(char ch) {
  const auto c = static_cast<unsigned char>(ch);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) {
    return static_cast<char>(c - 0x20);
  }
  switch (c) {
    case 0x9A:
      return static_cast<char>(0x8A);
    case 0x9C:
      return static_cast<char>(0x8C);
    case 0x9E:
      return static_cast<char>(0x8E);
    case 0xFF:
      return static_cast<char>(0x9F);
    default:
      return UpperAscii(ch);
  }
}

bool EqualFoldingAsciiOnly(const std::string& strA, const std::string& strB) {
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

}  // namespace

std::string UpperCaseForMatch(const std::string& strText) {
  std::string strUpper = strText;
  if (!IsValidUtf8(strText)) {
    for (char& c : strUpper) {
      c = UpperSingleByte(c);
    }
    return strUpper;
  }
  for (std::size_t i = 0; i < strUpper.size(); ++i) {
    const auto c = static_cast<unsigned char>(strUpper[i]);
    // U+00E0..U+00FE (not U+00F7) is C3 A0..C3 BE; its capital is 0x20 lower in the 2nd byte.
    if (c == 0xC3 && i + 1 < strUpper.size()) {
      const auto next = static_cast<unsigned char>(strUpper[i + 1]);
      if (next >= 0xA0 && next <= 0xBE && next != 0xB7) {
        strUpper[i + 1] = static_cast<char>(next - 0x20);
      }
      ++i;
    } else {
      strUpper[i] = UpperAscii(strUpper[i]);
    }
  }
  return strUpper;
}

int MatchText(std::string strSearch1, std::string strField1, std::string strSearch2,
              std::string strField2) {
  strSearch1 = UpperCaseForMatch(strSearch1);
  strField1 = UpperCaseForMatch(strField1);
  strSearch2 = UpperCaseForMatch(strSearch2);
  strField2 = UpperCaseForMatch(strField2);
  const bool bFirst = !strSearch1.empty() && strSearch1[0] == '#'
                          ? strSearch1.compare(1, std::string::npos, strField1) == 0
                          : strField1.find(strSearch1) != std::string::npos;
  const bool bSecond = strField2.find(strSearch2) != std::string::npos;
  return (bFirst ? 1 : 0) + (bSecond ? 1 : 0);
}

int Similarity(const std::string& strFirst, const std::string& strSecond) {
  const std::string strA = UpperCaseForMatch(strFirst);
  const std::string strB = UpperCaseForMatch(strSecond);
  const std::string& x = strA.size() <= strB.size() ? strA : strB;
  const std::string& y = strA.size() <= strB.size() ? strB : strA;
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

bool ConfirmMatch(Prompter& prompter, const std::string& strCaption,
                  const std::string& strPlaylistArtist, const std::string& strChartArtist,
                  const std::string& strPlaylistTitle, const std::string& strChartTitle,
                  bool bSilent) {
  if (EqualFoldingAsciiOnly(strPlaylistArtist, strChartArtist) &&
      EqualFoldingAsciiOnly(strPlaylistTitle, strChartTitle)) {
    return true;
  }
  if (bSilent || Similarity(strPlaylistArtist, strChartArtist) < 50 ||
      Similarity(strPlaylistTitle, strChartTitle) < 50) {
    return false;
  }
  const std::string strQuestion = "Playlist: " + strPlaylistArtist + " - " + strPlaylistTitle +
                                  "\nCharts:  " + strChartArtist + " - " + strChartTitle +
                                  "\n\nIs this a match?";
  return prompter.Show(strQuestion, strCaption, PromptIcon::Question, PromptButtons::YesNo) ==
         PromptAnswer::Yes;
}

}  // namespace velvane
