#include "core/text/Text.h"

#include <algorithm>
#include <climits>
#include <cstdio>

namespace velvane {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

long long ParseLeadingInteger(std::string_view text, long long low, long long high) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) {
    ++i;
  }
  bool bNegative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    bNegative = text[i] == '-';
    ++i;
  }
  // Magnitudes saturate just past the range, so the result clamps instead of overflowing.
  const unsigned long long nCap = static_cast<unsigned long long>(high) + 1;
  unsigned long long nMagnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const unsigned nDigit = static_cast<unsigned>(text[i] - '0');
    nMagnitude = nMagnitude > (nCap - nDigit) / 10 ? nCap : nMagnitude * 10 + nDigit;
  }
  if (bNegative) {
    return nMagnitude >= nCap ? low : -static_cast<long long>(nMagnitude);
  }
  return nMagnitude >= nCap ? high : static_cast<long long>(nMagnitude);
}

}  // namespace

int Atoi(std::string_view text) {
  return static_cast<int>(ParseLeadingInteger(text, INT_MIN, INT_MAX));
}

long Atol(std::string_view text) {
  return static_cast<long>(ParseLeadingInteger(text, LONG_MIN, LONG_MAX));
}

bool AllDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string TrimBlanks(std::string_view text) {
  const std::size_t nFirst = text.find_first_not_of(" \t");
  if (nFirst == std::string_view::npos) {
    return {};
  }
  return std::string(text.substr(nFirst, text.find_last_not_of(" \t") + 1 - nFirst));
}

std::string FormatInt(int value, int minDigits) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.*d", minDigits, value);
  return buffer;
}

std::vector<std::string_view> SplitFields(std::string_view line, std::string_view separators) {
  std::vector<std::string_view> fields;
  std::size_t i = line.find_first_not_of(separators);
  while (i != std::string_view::npos) {
    const std::size_t end = std::min(line.find_first_of(separators, i), line.size());
    fields.push_back(line.substr(i, end - i));
    i = line.find_first_not_of(separators, end);
  }
  return fields;
}

std::string_view StripLineEnd(std::string_view line) {
  if (!line.empty() && line.back() == '\n') {
    line.remove_suffix(1);
  }
  if (!line.empty() && line.back() == '\r') {
    line.remove_suffix(1);
  }
  return line;
}

std::string_view CutView(std::string_view text, std::size_t nMaxBytes) {
  if (text.size() <= nMaxBytes) {
    return text;
  }
  std::size_t nCut = nMaxBytes;
  if (IsValidUtf8(text)) {
    while (nCut > 0 && (static_cast<unsigned char>(text[nCut]) & 0xC0) == 0x80) {
      --nCut;  // text[nCut] continues a character: cut before that character
    }
  }
  return text.substr(0, nCut);
}

std::string CutBytes(std::string_view text, std::size_t nMaxBytes) {
  return std::string(CutView(text, nMaxBytes));
}

std::string CutField(std::string_view field) {
  return CutBytes(field, kMaxFieldBytes);
}

std::string ControlsAsSpaces(std::string_view text) {
  std::string strLine(text);
  std::replace_if(
      strLine.begin(), strLine.end(),
      [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == '\x7F'; }, ' ');
  return strLine;
}

std::string ImportedText(std::string_view text) {
  std::string strClean = ControlsAsSpaces(text);
  std::replace(strClean.begin(), strClean.end(), '\\', '/');
  return CutField(strClean);
}

std::string EscapeTabField(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '\\':
        escaped += "\\\\";
        break;
      case '\t':
        escaped += "\\t";
        break;
      case '\r':
        escaped += "\\r";
        break;
      case '\n':
        escaped += "\\n";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

bool UnescapeTabField(std::string_view field, std::string& text) {
  text.clear();
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\') {
      text += field[i];
      continue;
    }
    if (++i == field.size()) {
      return false;
    }
    switch (field[i]) {
      case '\\':
        text += '\\';
        break;
      case 't':
        text += '\t';
        break;
      case 'r':
        text += '\r';
        break;
      case 'n':
        text += '\n';
        break;
      default:
        return false;
    }
  }
  return true;
}

std::vector<std::string_view> SplitTabFields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t nStart = 0;
  for (std::size_t i = 0; i <= line.size(); ++i) {
    if (i == line.size() || line[i] == '\t') {
      fields.push_back(line.substr(nStart, i - nStart));
      nStart = i + 1;
    }
  }
  return fields;
}

std::string_view FieldForWriting(std::string_view field) {
  return field.empty() ? std::string_view(" ") : field;
}

bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t nFollow = 0;
    unsigned nMin = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      nFollow = 1;
      nMin = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
      nFollow = 2;
      nMin = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
      nFollow = 3;
      nMin = 0x10000;
    } else {
      return false;
    }
    if (i + nFollow >= text.size()) {
      return false;
    }
    unsigned nCode = c & (0x3F >> nFollow);
    for (std::size_t k = 1; k <= nFollow; ++k) {
      const auto f = static_cast<unsigned char>(text[i + k]);
      if ((f & 0xC0) != 0x80) {
        return false;
      }
      nCode = (nCode << 6) | (f & 0x3F);
    }
    if (nCode < nMin || nCode > 0x10FFFF || (nCode >= 0xD800 && nCode <= 0xDFFF)) {
      return false;
    }
    i += nFollow + 1;
  }
  return true;
}

namespace {

std::string Windows1252ToUtf8(std::string_view text) {
  // Windows-1252 differs from Latin-1 only in 0x80-0x9F; the five unused codes pass as Latin-1.
  static const unsigned short kHigh[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  std::string result;
  result.reserve(text.size() * 2);
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    const unsigned nCode = c >= 0x80 && c < 0xA0 ? kHigh[c - 0x80] : c;
    if (nCode < 0x80) {
      result += static_cast<char>(nCode);
    } else if (nCode < 0x800) {
      result += static_cast<char>(0xC0 | (nCode >> 6));
      result += static_cast<char>(0x80 | (nCode & 0x3F));
    } else {
      result += static_cast<char>(0xE0 | (nCode >> 12));
      result += static_cast<char>(0x80 | ((nCode >> 6) & 0x3F));
      result += static_cast<char>(0x80 | (nCode & 0x3F));
    }
  }
  return result;
}

}  // namespace

std::string DisplayUtf8(std::string_view text) {
  if (IsValidUtf8(text)) {
    return std::string(text);
  }
  // Each line decides for itself: the lines of a list come from records stored at different
  // times, one in UTF-8, the next in Windows-1252.
  std::string result;
  result.reserve(text.size() * 2);
  for (std::size_t nStart = 0;;) {
    const std::size_t nEnd = text.find('\n', nStart);
    const std::string_view line = text.substr(nStart, nEnd - nStart);
    result += IsValidUtf8(line) ? std::string(line) : Windows1252ToUtf8(line);
    if (nEnd == std::string_view::npos) {
      return result;
    }
    result += '\n';
    nStart = nEnd + 1;
  }
}

}  // namespace velvane
