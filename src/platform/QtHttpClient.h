#pragma once

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <chrono>

#include "core/ports/HttpClient.h"

namespace velvane {

// The HttpClient over Qt Network. Get waits in a local event loop, so a window that calls it
// keeps painting and its Cancel button keeps working while the answer arrives. Every request
// is bounded in time as a whole and between two arrivals, and its body by the request's cap.
class QtHttpClient : public HttpClient {
 public:
  // How long a request may stay silent (connecting, or between two parts of the answer).
  static constexpr std::chrono::milliseconds kDefaultIdleTimeout{20000};
  // How long a request may take in all, however steadily its bytes arrive.
  static constexpr std::chrono::milliseconds kDefaultTotalTimeout{120000};

  explicit QtHttpClient(std::chrono::milliseconds idleTimeout = kDefaultIdleTimeout,
                        std::chrono::milliseconds totalTimeout = kDefaultTotalTimeout);

  HttpResponse Get(const HttpRequest& request) override;
  void Cancel() override;
  void SetProgressHandler(HttpProgressHandler onProgress) override;

 private:
  // Why the request in progress was ended early.
  enum class StopReason { kNone, kCancelled, kIdle, kTotal, kTooLarge };

  void Stop(StopReason reason);
  std::string StopText(const HttpRequest& request) const;

  QNetworkAccessManager m_manager;
  std::chrono::milliseconds m_idleTimeout;
  std::chrono::milliseconds m_totalTimeout;
  QPointer<QNetworkReply> m_pReply;  // the request in progress
  StopReason m_stopReason = StopReason::kNone;
  HttpProgressHandler m_onProgress;
};

}  // namespace velvane
