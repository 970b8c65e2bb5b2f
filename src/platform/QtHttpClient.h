#pragma once

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <chrono>
#include <functional>

#include "core/ports/HttpClient.h"

namespace velvane {

// The HttpClient over Qt Network. Get waits in a local event loop, so a window that calls it
// keeps painting and its Cancel button keeps working while the answer arrives.
class QtHttpClient : public HttpClient {
 public:
  // How long a connection may stay silent (connecting, or between two parts of the body).
  static constexpr std::chrono::milliseconds kDefaultTimeout{20000};

  explicit QtHttpClient(std::chrono::milliseconds timeout = kDefaultTimeout);

  HttpResponse Get(const std::string& strUrl) override;

  // Ends the Get in progress, which then reports a failed connection. Called from a handler
  // that runs inside Get's event loop (a Cancel button).
  void Cancel();

  // Told the bytes received and the whole size (-1 while unknown) as a body arrives.
  void SetProgressHandler(std::function<void(qint64 nReceived, qint64 nTotal)> onProgress);

 private:
  QNetworkAccessManager m_manager;
  std::chrono::milliseconds m_timeout;
  QPointer<QNetworkReply> m_pReply;  // the request in progress
  bool m_bCancelled = false;
  std::function<void(qint64, qint64)> m_onProgress;
};

}  // namespace velvane
