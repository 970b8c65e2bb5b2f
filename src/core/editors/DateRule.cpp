#include "core/editors/DateRule.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <vector>

#include "core/text/Text.h"

namespace velvane {

namespace {

// strtok over several separators: runs count as one, no part is empty.
std::vector<std::string_view> SplitDate(std::string_view text) {
  std::vector<std::string_view> parts;
  std::size_t nStart = 0;
  while (nStart < text.size()) {
    const std::size_t nBegin = text.find_first_not_of("-/ ", nStart);
    if (nBegin == std::string_view::npos) {
      break;
    }
    const std::size_t nEnd = std::min(text.find_first_of("-/ ", nBegin), text.size());
    parts.push_back(text.substr(nBegin, nEnd - nBegin));
    nStart = nEnd;
  }
  return parts;
}

int PartValue(const std::vector<std::string_view>& parts, std::size_t nIndex) {
  return nIndex < parts.size() ? Atoi(parts[nIndex]) : 0;
}

}  // namespace

std::optional<std::string> ApplyDateRule(const std::string& strTyped) {
  if (strTyped.size() < 5) {
    return std::nullopt;
  }
  const std::vector<std::string_view> parts = SplitDate(strTyped);
  const int nDay = PartValue(parts, 0);
  const int nMonth = PartValue(parts, 1);
  int nYear = PartValue(parts, 2);
  if (nDay < 1 || nDay > 31 || nMonth < 1 || nMonth > 12 || nYear > 9999) {
    return std::nullopt;
  }
  if (nYear < 100) {
    nYear += 1900;
  }
  if (nYear < 1934) {
    nYear += 100;
  }
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%2.2d/%2.2d/%4.4d", nDay, nMonth, nYear);
  return std::string(buffer);
}

}  // namespace velvane
