#include "support/FakeTagReader.h"

namespace velvane {

bool FakeTagReader::ReadTags(const std::string& strPath, FileTags& tags) {
  ++m_nReads;
  const std::string strName = strPath.substr(strPath.find_last_of("/\\") + 1);
  const auto it = m_tags.find(strName);
  if (it == m_tags.end()) {
    return false;
  }
  tags = it->second;
  return true;
}

}  // namespace velvane
