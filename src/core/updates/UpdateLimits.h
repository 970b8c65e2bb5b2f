#pragma once

#include <cstddef>
#include <string>

#include "core/ports/HttpClient.h"
#include "core/updates/UpdateCatalogue.h"

namespace velvane {

// The most the update server may send. A catalogue line is 27 characters, so 4 MB is far more
// than any listing; a real update line is under 200 bytes, so 600 a record promised by the
// catalogue, plus room for stray blank lines, never refuses an honest update.
inline constexpr std::size_t kCatalogueMaxBytes = std::size_t{4} * 1024 * 1024;
inline constexpr std::size_t kUpdateBytesPerRecord = 600;
inline constexpr std::size_t kUpdateSlackBytes = std::size_t{4} * 1024;

// The request for the catalogue on a server as the UpdateServer setting names it.
HttpRequest CatalogueRequest(const std::string& strServer);

// The request for one update: capped by the record count its catalogue line promises.
HttpRequest UpdateRequest(const std::string& strServer, const CatalogueEntry& entry);

}  // namespace velvane
