#include "core/db/Text.h"

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

std::string FormatInt(int value, int minDigits) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.*d", minDigits, value);
  return buffer;
}

std::vector<std::string_view> SplitFields(std::string_view line, char separator) {
  std::vector<std::string_view> fields;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && line[i] == separator) {
      ++i;
    }
    if (i == line.size()) {
      break;
    }
    std::size_t end = line.find(separator, i);
    if (end == std::string_view::npos) {
      end = line.size();
    }
    fields.push_back(line.substr(i, end - i));
    i = end;
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

std::string CutField(std::string_view field) {
  return std::string(field.substr(0, kMaxFieldBytes));
}

std::string_view FieldForWriting(const std::string& field) {
  return field.empty() ? std::string_view(" ") : std::string_view(field);
}

}  // namespace velvane
