#pragma once

#include <string>

namespace velvane {

struct HttpResponse {
  bool bOk = false;      // a response arrived (any status)
  int nStatus = 0;       // HTTP status code
  std::string strBody;   // the whole body, bytes as sent
  std::string strError;  // why no response arrived
};

// One HTTP GET of `path` ("/avail.cht") from `host` on `port`.
class HttpClient {
 public:
  virtual ~HttpClient() = default;
  virtual HttpResponse Get(const std::string& host, int port, const std::string& path) = 0;
};

}  // namespace velvane
