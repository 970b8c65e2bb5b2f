#include "core/updates/UpdateLimits.h"

#include <algorithm>

namespace velvane {

HttpRequest CatalogueRequest(const std::string& strServer) {
  return {UpdateUrl(strServer, kCatalogueName), kCatalogueMaxBytes};
}

HttpRequest UpdateRequest(const std::string& strServer, const CatalogueEntry& entry) {
  const std::size_t nRecords = static_cast<std::size_t>(std::max(entry.nSize, 0));
  return {UpdateUrl(strServer, entry.strFile),
          nRecords * kUpdateBytesPerRecord + kUpdateSlackBytes};
}

}  // namespace velvane
