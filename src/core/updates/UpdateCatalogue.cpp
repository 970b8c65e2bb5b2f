#include "core/updates/UpdateCatalogue.h"

#include <algorithm>
#include <cctype>

#include "core/db/LineCodec.h"
#include "core/text/Text.h"

namespace velvane {

namespace {

// Characters [nFirst, nFirst + nWidth) of a line, shortened where the line ends sooner.
std::string_view Field(std::string_view line, std::size_t nFirst, std::size_t nWidth) {
  return nFirst < line.size() ? line.substr(nFirst, nWidth) : std::string_view();
}

std::string TypeText(std::string_view code, const std::string& strPrevious) {
  if (code == "CHT") {
    return "Chart Database";
  }
  if (code == "HIT") {
    return "Number One Database";
  }
  return strPrevious;
}

bool LessIgnoringCase(const std::string& strFirst, const std::string& strSecond) {
  return std::lexicographical_compare(strFirst.begin(), strFirst.end(), strSecond.begin(),
                                      strSecond.end(), [](char a, char b) {
                                        return std::tolower(static_cast<unsigned char>(a)) <
                                               std::tolower(static_cast<unsigned char>(b));
                                      });
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) ==
                  std::tolower(static_cast<unsigned char>(b));
         });
}

}  // namespace

std::vector<CatalogueEntry> ParseCatalogue(std::string_view body) {
  std::vector<CatalogueEntry> entries;
  std::string strType;
  for (const std::string_view line : SplitLines(body)) {
    if (line.empty()) {
      continue;
    }
    strType = TypeText(Field(line, 5, 3), strType);
    CatalogueEntry entry;
    entry.strFile = std::string(Field(line, 8, 13));
    entry.nSize = Atoi(Field(line, 21, 6));
    entry.strListLine = "  " + std::string(Field(line, 0, 5)) + "\t" + strType + "\t" +
                        std::string(Field(line, 11, 2)) + "/" + std::string(Field(line, 13, 2)) +
                        "/" + std::string(Field(line, 15, 2)) + "\t" + entry.strFile;
    entries.push_back(std::move(entry));
  }
  return entries;
}

bool IsChartUpdate(const std::string& strFile) {
  return strFile.size() >= 3 && strFile.compare(strFile.size() - 3, 3, "cht") == 0;
}

UpdateList::UpdateList(std::vector<CatalogueEntry> entries) : m_entries(std::move(entries)) {
  m_order.resize(m_entries.size());
  for (std::size_t i = 0; i < m_order.size(); ++i) {
    m_order[i] = static_cast<int>(i);
  }
  std::stable_sort(m_order.begin(), m_order.end(), [this](int nFirst, int nSecond) {
    return LessIgnoringCase(m_entries[static_cast<std::size_t>(nFirst)].strListLine,
                            m_entries[static_cast<std::size_t>(nSecond)].strListLine);
  });
}

std::string UpdateList::Line(int nPosition) const {
  const CatalogueEntry* pEntry = At(nPosition);
  return pEntry == nullptr ? std::string() : pEntry->strListLine;
}

const CatalogueEntry* UpdateList::At(int nPosition) const {
  if (nPosition < 0 || nPosition >= Count()) {
    return nullptr;
  }
  return &m_entries[static_cast<std::size_t>(m_order[static_cast<std::size_t>(nPosition)])];
}

const CatalogueEntry* UpdateList::Find(const std::string& strFile) const {
  const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                  [&](const CatalogueEntry& e) { return e.strFile == strFile; });
  return found == m_entries.end() ? nullptr : &*found;
}

std::string ServerAnswerText(int nStatus, const std::string& strFile) {
  return "The update server answered " + std::to_string(nStatus) + " for " + strFile;
}

std::string UpdateUrl(const std::string& strServer, const std::string& strFile) {
  std::string strBase = TrimBlanks(strServer);
  if (strBase.empty()) {
    return {};
  }
  if (!StartsWithIgnoringCase(strBase, "http://") && !StartsWithIgnoringCase(strBase, "https://")) {
    strBase = "http://" + strBase;
  }
  if (strBase.back() != '/') {
    strBase += '/';
  }
  return strBase + strFile;
}

}  // namespace velvane
