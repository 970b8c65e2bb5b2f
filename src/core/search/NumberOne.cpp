#include "core/search/NumberOne.h"

#include <vector>

#include "core/db/NumberOneFile.h"
#include "core/text/DisplayFormat.h"
#include "core/text/Text.h"

namespace velvane {

namespace {

// Day number of a stored "dd/mm/yyyy" date, read by position.
int StoredDayNumber(const std::string& strDate) {
  const std::string strYear = strDate.size() > 4 ? strDate.substr(strDate.size() - 4) : strDate;
  return DayNumber(Atoi(strDate.substr(0, 2)), Atoi(strDate.size() > 3 ? strDate.substr(3, 2) : ""),
                   Atoi(strYear));
}

std::vector<std::string> DateTokens(const std::string& strText) {
  std::vector<std::string> tokens;
  std::string strToken;
  for (const char c : strText) {
    if (c == '/' || c == '-' || c == ' ') {
      if (!strToken.empty()) {
        tokens.push_back(strToken);
        strToken.clear();
      }
    } else {
      strToken += c;
    }
  }
  if (!strToken.empty()) {
    tokens.push_back(strToken);
  }
  tokens.resize(3);
  return tokens;
}

}  // namespace

int DayNumber(int nDay, int nMonth, int nYear) {
  const double dDays =
      365.0 * (nYear - 1950) + 0.25 * (nYear - 1950) + 30.416666666666668 * (nMonth - 1) + nDay;
  return static_cast<int>(dDays) - 1;
}

TypedDate ReadTypedDate(const std::string& strText) {
  std::vector<std::string> tokens(3);
  if (strText.size() >= 5) {
    tokens = DateTokens(strText);
  }
  TypedDate date;
  const int nDay = Atoi(tokens[0]);
  const int nMonth = Atoi(tokens[1]);
  int nYear = Atoi(tokens[2]);
  if (nDay < 1 || nDay > 31 || nMonth < 1 || nMonth > 12) {
    return date;
  }
  if (nYear < 100) {
    nYear += 1900;
  }
  if (nYear < 1934) {
    nYear += 100;
  }
  date.bValid = true;
  date.nDayNumber = DayNumber(nDay, nMonth, nYear);
  date.strLong = FormatDate(0, nDay, nMonth, nYear, 0, 0, false);
  return date;
}

bool FindNumberOne(const std::string& strFilesDir, int nTargetDayNumber, NumberOneEntry& found) {
  std::vector<NumberOneEntry> entries = ReadNumberOnes(strFilesDir);
  entries.push_back(NumberOneEndMarker());
  bool bHavePrevious = false;
  NumberOneEntry previous;
  for (const NumberOneEntry& entry : entries) {
    if (StoredDayNumber(entry.strDate) > nTargetDayNumber) {
      if (bHavePrevious) {
        found = previous;
      }
      return bHavePrevious;
    }
    previous = entry;
    bHavePrevious = true;
  }
  return false;  // after the end marker's date
}

NumberOneAnswer SearchNumberOne(const std::string& strFilesDir, const std::string& strTypedDate) {
  NumberOneAnswer answer;
  const TypedDate date = ReadTypedDate(strTypedDate);
  answer.bFound = FindNumberOne(strFilesDir, date.nDayNumber, answer.entry);
  if (!answer.bFound) {
    answer.strResult = "\n\nSorry, could not find that date";
    return answer;
  }
  answer.strResult = "\nNumber 1 in the charts on " + date.strLong + " was\n\n" +
                     answer.entry.strArtist + " - " + answer.entry.strTitle;
  // "0" marks a song the library does not hold; the editor writes a blank for the same.
  const std::string& strCD = answer.entry.strCD;
  answer.bCanQueue = strCD != "0" && strCD.find_first_not_of(' ') != std::string::npos;
  return answer;
}

}  // namespace velvane
