#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/ports/HttpClient.h"

namespace velvane {

// Answers from a table of addresses; an address not in it is a failed connection.
class FakeHttpClient : public HttpClient {
 public:
  HttpResponse Get(const std::string& strUrl) override {
    m_requested.push_back(strUrl);
    const auto found = m_answers.find(strUrl);
    return found == m_answers.end() ? HttpResponse{false, 0, {}, "Connection refused"}
                                    : found->second;
  }

  std::map<std::string, HttpResponse> m_answers;
  std::vector<std::string> m_requested;
};

}  // namespace velvane
