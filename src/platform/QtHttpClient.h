#pragma once

#include <QEventLoop>
#include <QPointer>
#include <QTcpSocket>
#include <chrono>

#include "core/ports/HttpClient.h"

namespace velvane {

// The HttpClient over a Qt socket. A request waits in a local event loop, so a window that
// calls it keeps painting and its Cancel button keeps working while the answer arrives; on a
// thread of its own the loop is that thread's. Every request is bounded in time as a whole
// and between two arrivals, and its body by the request's cap. A GET follows redirections
// (never from https to http).
class QtHttpClient : public HttpClient {
 public:
  // How long a request may stay silent (connecting, or between two parts of the answer).
  static constexpr std::chrono::milliseconds kDefaultIdleTimeout{20000};
  // How long a request may take in all, however steadily its bytes arrive.
  static constexpr std::chrono::milliseconds kDefaultTotalTimeout{120000};

  explicit QtHttpClient(std::chrono::milliseconds idleTimeout = kDefaultIdleTimeout,
                        std::chrono::milliseconds totalTimeout = kDefaultTotalTimeout);

  HttpResponse Get(const HttpRequest& request) override;
  HttpResponse Post(const HttpRequest& request, const std::string& strBody,
                    const std::string& strContentType) override;
  void Cancel() override;
  void SetProgressHandler(HttpProgressHandler onProgress) override;

 private:
  // Why the request in progress was ended early.
  enum class StopReason { kNone, kCancelled, kIdle, kTotal };

  // A body to post; a GET has none.
  struct Body {
    bool bPost = false;
    const std::string* pContent = nullptr;
    const std::string* pType = nullptr;
  };

  HttpResponse Send(const HttpRequest& request, const Body& body);
  // One request to `url` on its own connection; the caller follows redirections.
  HttpResponse Fetch(const QUrl& url, std::size_t nMaxBytes, const Body& body, QUrl& redirect);
  void Stop(StopReason reason);
  std::string StopText() const;

  std::chrono::milliseconds m_idleTimeout;
  std::chrono::milliseconds m_totalTimeout;
  QPointer<QTcpSocket> m_pSocket;  // the connection in progress
  QPointer<QEventLoop> m_pLoop;    // the wait in progress
  StopReason m_stopReason = StopReason::kNone;
  HttpProgressHandler m_onProgress;
};

}  // namespace velvane
