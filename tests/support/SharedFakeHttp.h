#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/ports/HttpClient.h"

namespace velvane {

// The server of every client its maker makes, each client used on a thread of its own: it
// records the requests ("GET url", "POST url body") and gives them `answer` (a 200 unless set),
// or none while held, like a dead server.
class SharedFakeHttp {
 public:
  HttpClientMaker Maker() {
    return [this](std::chrono::milliseconds) { return std::make_unique<Client>(*this); };
  }
  void Set(bool bHold, HttpResponse answer = {true, 200, "", {}}) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_bHold = bHold;
    m_answer = std::move(answer);
    m_changed.notify_all();
  }
  // Whether `nRequests` came to wait at once within 30 s.
  bool WaitUntilHeld(int nRequests) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::seconds(30), [&] { return m_nHeld >= nRequests; });
  }
  std::vector<std::string> Requests() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
  }

 private:
  struct Client : HttpClient {
    explicit Client(SharedFakeHttp& server) : m_server(server) {}
    HttpResponse Get(const HttpRequest& request) override {
      return m_server.Serve("GET " + request.strUrl);
    }
    HttpResponse Post(const HttpRequest& request, const std::string& strBody,
                      const std::string& /*strContentType*/) override {
      return m_server.Serve("POST " + request.strUrl + " " + strBody);
    }
    void Cancel() override {}
    void SetProgressHandler(HttpProgressHandler /*onProgress*/) override {}
    SharedFakeHttp& m_server;
  };

  HttpResponse Serve(std::string strRequest) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_requests.push_back(std::move(strRequest));
    ++m_nHeld;
    m_changed.notify_all();
    // A safety limit, not a measure: a caller that waits for this answer ends its wait here.
    m_changed.wait_for(lock, std::chrono::seconds(30), [this] { return !m_bHold; });
    --m_nHeld;
    return m_answer;
  }

  std::mutex m_mutex;
  std::condition_variable m_changed;
  HttpResponse m_answer{true, 200, "", {}};
  std::vector<std::string> m_requests;
  bool m_bHold = false;
  int m_nHeld = 0;  // requests being answered
};

}  // namespace velvane
