#include "support/SharedFakeHttp.h"

#include <chrono>
#include <memory>

namespace velvane {

class SharedFakeHttp::Client : public HttpClient {
 public:
  explicit Client(SharedFakeHttp& server) : m_server(server) {}
  HttpResponse Get(const HttpRequest& request) override {
    return m_server.Serve("GET " + request.strUrl, request.strUrl);
  }
  HttpResponse Post(const HttpRequest& request, const std::string& strBody,
                    const std::string& /*strContentType*/) override {
    return m_server.Serve("POST " + request.strUrl + " " + strBody, request.strUrl);
  }
  void Cancel() override {}
  void SetProgressHandler(HttpProgressHandler /*onProgress*/) override {}

 private:
  SharedFakeHttp& m_server;
};

HttpClientMaker SharedFakeHttp::Maker() {
  return [this](std::chrono::milliseconds /*timeout*/) { return std::make_unique<Client>(*this); };
}

void SharedFakeHttp::Answer(const std::string& strPrefix, const HttpResponse& response) {
  const std::lock_guard<std::mutex> lock(m_mutex);
  m_answers[strPrefix] = response;
}

void SharedFakeHttp::Hold() {
  const std::lock_guard<std::mutex> lock(m_mutex);
  m_bHold = true;
}

void SharedFakeHttp::Release() {
  {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_bHold = false;
  }
  m_changed.notify_all();
}

bool SharedFakeHttp::WaitUntilHeld(int nRequests) {
  std::unique_lock<std::mutex> lock(m_mutex);
  return m_changed.wait_for(lock, std::chrono::seconds(30),
                            [this, nRequests] { return m_nHeld >= nRequests; });
}

bool SharedFakeHttp::Holding() {
  const std::lock_guard<std::mutex> lock(m_mutex);
  return m_nHeld > 0;
}

std::vector<std::string> SharedFakeHttp::Requests() {
  const std::lock_guard<std::mutex> lock(m_mutex);
  return m_requests;
}

HttpResponse SharedFakeHttp::Serve(const std::string& strRequest, const std::string& strUrl) {
  std::unique_lock<std::mutex> lock(m_mutex);
  m_requests.push_back(strRequest);
  if (m_bHold) {
    ++m_nHeld;
    m_changed.notify_all();
    // A safety limit, not a measure: a caller that waited for this answer ends its wait here.
    m_changed.wait_for(lock, std::chrono::seconds(30), [this] { return !m_bHold; });
    --m_nHeld;
  }
  for (const auto& [strPrefix, response] : m_answers) {
    if (strUrl.rfind(strPrefix, 0) == 0) {
      return response;
    }
  }
  return {true, 200, "OK", {}};
}

}  // namespace velvane
