#pragma once

#include <string>

#include "core/db/Records.h"

namespace velvane {

// An approximate day count used only to compare dates: 365.25 days a year and 365/12 days a
// month from 1 January 1950 (day 0). It never falls as dates advance, but neighbouring days
// can share a number.
int DayNumber(int nDay, int nMonth, int nYear);

// A date as the operator types it: day, month, year separated by "/", "-" or blanks. Two-digit
// years 00-33 and years 1900-1933 mean 2000-2033.
struct TypedDate {
  bool bValid = false;
  int nDayNumber = 0;   // 0 when invalid
  std::string strLong;  // "01 February 1983", empty when invalid
};
TypedDate ReadTypedDate(const std::string& strText);

// The number one on a day: the last hits.dat line dated on or before it (the end of the file
// closing the last period). Stored dates are read like typed ones, so an impossible date has
// day number 0. False when the day lies before the first entry, the file cannot be read, or
// the day lies after the end marker. `pUnreadable` as for ReadNumberOnes.
bool FindNumberOne(const std::string& strFilesDir, int nTargetDayNumber, NumberOneEntry& found,
                   std::string* pUnreadable = nullptr);

// What the dialog and the tool show for a typed date.
struct NumberOneAnswer {
  bool bFound = false;
  bool bCanQueue = false;  // the library holds the song
  NumberOneEntry entry;
  std::string strResult;      // with the fields as stored, as velvane-tool prints it
  std::string strShown;       // the same for the screen: UTF-8, each field converted on its own
  std::string strUnreadable;  // why hits.dat exists yet could not be read; empty otherwise
};
NumberOneAnswer SearchNumberOne(const std::string& strFilesDir, const std::string& strTypedDate);

}  // namespace velvane
