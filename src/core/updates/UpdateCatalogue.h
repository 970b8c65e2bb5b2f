#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velvane {

// The catalogue of updates on the update server.
inline constexpr const char* kCatalogueName = "avail.cht";

// What the operator is told when the catalogue or an update cannot be fetched.
inline constexpr const char* kConnectionFailedText = "Internet connection failed";
// ... and when the server answers with another status than 200 for the catalogue or an update.
std::string ServerAnswerText(int nStatus, const std::string& strFile);

// One line of the catalogue: the update file on the server, its record count and the line
// the list shows for it.
struct CatalogueEntry {
  std::string strFile;
  int nSize = 0;
  std::string strListLine;
};

// Reads the catalogue's fixed character positions: country 0-4, type code 5-7, file name
// 8-20 (its characters 3-8 are the release day, month and year), record count 21-26. A short
// line gives shortened or empty fields and a count of 0. A type code that is neither "CHT" nor
// "HIT" shows the type text of the line before. Blank lines are skipped.
std::vector<CatalogueEntry> ParseCatalogue(std::string_view body);

// A chart update when the file name ends in "cht" exactly (lower case); any other name is a
// number-one update.
bool IsChartUpdate(const std::string& strFile);

// The catalogue as the list shows it: sorted by list line, each list position mapped back
// to its catalogue line, so a selection always names the update it shows.
class UpdateList {
 public:
  UpdateList() = default;
  explicit UpdateList(std::vector<CatalogueEntry> entries);

  int Count() const { return static_cast<int>(m_order.size()); }
  std::string Line(int nPosition) const;
  // The catalogue line at a list position, or null when the position shows none (no
  // selection is -1).
  const CatalogueEntry* At(int nPosition) const;
  // The catalogue line naming this update file, or null.
  const CatalogueEntry* Find(const std::string& strFile) const;

 private:
  std::vector<CatalogueEntry> m_entries;  // in catalogue order
  std::vector<int> m_order;               // list position -> catalogue line
};

// The address of a file on the update server. The setting is "host", "host:port" (port 80
// when none) or a base address starting "http://" or "https://". Empty when no server is set.
std::string UpdateUrl(const std::string& strServer, const std::string& strFile);

}  // namespace velvane
