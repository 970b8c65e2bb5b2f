#include "core/search/NumberOne.h"

#include <algorithm>
#include <vector>

#include "core/db/NumberOneFile.h"
#include "core/text/DisplayFormat.h"
#include "core/text/Text.h"

namespace velvane {

namespace {

// Day, month and year texts read as a date: an impossible day or month gives an invalid date
// (day number 0); years below 100 and before 1934 move into the 1900s and 2000s.
TypedDate ReadDate(const std::string& strDay, const std::string& strMonth,
                   const std::string& strYear) {
  TypedDate date;
  const int nDay = Atoi(strDay);
  const int nMonth = Atoi(strMonth);
  int nYear = Atoi(strYear);
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

// Day number of a stored "dd/mm/yyyy" date, read by position the same way as a typed one.
int StoredDayNumber(const std::string& strDate) {
  const std::string strYear = strDate.size() > 4 ? strDate.substr(strDate.size() - 4) : strDate;
  return ReadDate(strDate.substr(0, 2), strDate.size() > 3 ? strDate.substr(3, 2) : "", strYear)
      .nDayNumber;
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
  // In floating point throughout, so absurd years read from a file cannot overflow; the
  // result is held to the int range before it is cut to a whole day.
  const double dYears = static_cast<double>(nYear) - 1950.0;
  const double dDays = 365.0 * dYears + 0.25 * dYears +
                       30.416666666666668 * (static_cast<double>(nMonth) - 1.0) + nDay;
  return static_cast<int>(std::clamp(dDays, -2147483647.0, 2147483647.0)) - 1;
}

TypedDate ReadTypedDate(const std::string& strText) {
  std::vector<std::string> tokens(3);
  if (strText.size() >= 5) {
    tokens = DateTokens(strText);
  }
  return ReadDate(tokens[0], tokens[1], tokens[2]);
}

bool FindNumberOne(const std::string& strFilesDir, int nTargetDayNumber, NumberOneEntry& found,
                   std::string* pUnreadable) {
  std::vector<NumberOneEntry> entries = ReadNumberOnes(strFilesDir, pUnreadable);
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
  answer.bFound = FindNumberOne(strFilesDir, date.nDayNumber, answer.entry, &answer.strUnreadable);
  if (!answer.bFound) {
    answer.strResult = answer.strShown = "\n\nSorry, could not find that date";
    return answer;
  }
  const std::string strIntro = "\nNumber 1 in the charts on " + date.strLong + " was\n\n";
  answer.strResult = strIntro + answer.entry.strArtist + " - " + answer.entry.strTitle;
  answer.strShown = strIntro + FormatArtistTitle(answer.entry.strArtist, answer.entry.strTitle);
  // "0" marks a song the library does not hold; the editor writes a blank for the same.
  const std::string& strCD = answer.entry.strCD;
  answer.bCanQueue = strCD != "0" && strCD.find_first_not_of(' ') != std::string::npos;
  return answer;
}

}  // namespace velvane
