#pragma once

#include <string>

namespace velvane {

struct HttpResponse {
  bool bOk = false;      // a whole response arrived (any status)
  int nStatus = 0;       // HTTP status code
  std::string strBody;   // the whole body, bytes as sent
  std::string strError;  // why no whole response arrived
};

// One HTTP GET of `strUrl` ("http://host:port/avail.cht"), always fetched fresh from the
// server. A refused or broken connection, a timeout and a cancelled request all come back
// with bOk false.
class HttpClient {
 public:
  virtual ~HttpClient() = default;
  virtual HttpResponse Get(const std::string& strUrl) = 0;
};

}  // namespace velvane
