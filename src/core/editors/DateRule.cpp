#include "core/editors/DateRule.h"

#include <string_view>
#include <vector>

#include "core/text/Text.h"

namespace velvane {

bool ApplyDateRule(std::string& strDate) {
  if (strDate.size() < 5) {
    return false;
  }
  const std::vector<std::string_view> parts = SplitFields(strDate, "-/ ");
  const auto part = [&parts](std::size_t nIndex) {
    return nIndex < parts.size() ? Atoi(parts[nIndex]) : 0;
  };
  const int nDay = part(0);
  const int nMonth = part(1);
  int nYear = part(2);
  if (nDay < 1 || nDay > 31 || nMonth < 1 || nMonth > 12 || nYear > 9999) {
    return false;
  }
  if (nYear < 100) {
    nYear += 1900;
  }
  if (nYear < 1934) {
    nYear += 100;
  }
  strDate = FormatInt(nDay, 2) + "/" + FormatInt(nMonth, 2) + "/" + FormatInt(nYear, 4);
  return true;
}

std::string DateRefusal(const std::string& strTyped) {
  return "\"" + strTyped +
         "\" is not a date. Type the day (1 to 31), the month (1 to 12) and the year, for "
         "example 05/03/1983.";
}

int DateOrderKey(std::string_view date) {
  if (date.size() < 5) {
    return 0;
  }
  const int nDay = Atoi(date.substr(0, 2));
  const int nMonth = Atoi(date.substr(3, 2));
  int nYear = Atoi(date.substr(date.size() - 4));
  if (nDay < 1 || nDay > 31 || nMonth < 1 || nMonth > 12 || nYear < 0) {
    return 0;
  }
  if (nYear < 100) {
    nYear += 1900;
  }
  if (nYear < 1934) {
    nYear += 100;
  }
  return nYear * 10000 + nMonth * 100 + nDay;
}

}  // namespace velvane
