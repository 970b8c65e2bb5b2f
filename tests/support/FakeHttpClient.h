#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/ports/HttpClient.h"

namespace velvane {

// Answers from a table of addresses; an address not in it is a failed connection. A body
// longer than the request's cap is refused as the real client refuses it.
class FakeHttpClient : public HttpClient {
 public:
  HttpResponse Get(const HttpRequest& request) override {
    m_requests.push_back(request);
    const auto found = m_answers.find(request.strUrl);
    if (found == m_answers.end()) {
      return {false, 0, {}, "Connection refused"};
    }
    if (found->second.strBody.size() > request.nMaxBytes) {
      return {false, 0, {}, "the answer is larger than allowed"};
    }
    return found->second;
  }
  // Answered from the same table; kept apart from the GETs.
  HttpResponse Post(const HttpRequest& request, const std::string& /*strBody*/,
                    const std::string& /*strContentType*/) override {
    const auto found = m_answers.find(request.strUrl);
    return found == m_answers.end() ? HttpResponse{false, 0, {}, "Connection refused"}
                                    : found->second;
  }
  void Cancel() override {}
  void SetProgressHandler(HttpProgressHandler /*onProgress*/) override {}

  std::map<std::string, HttpResponse> m_answers;
  std::vector<HttpRequest> m_requests;
};

}  // namespace velvane
