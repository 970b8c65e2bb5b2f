#include "platform/QtHttpClient.h"

#include <QEventLoop>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace velvane {

namespace {

// The update server identifies its clients by this name.
constexpr const char* kUserAgent = "ROLV Chart Access";

QNetworkRequest FreshRequest(const std::string& strUrl) {
  QNetworkRequest request(QUrl(QString::fromStdString(strUrl)));
  request.setHeader(QNetworkRequest::UserAgentHeader, QByteArray(kUserAgent));
  // Always from the server: nothing is taken from or kept in a cache on the way.
  request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
  request.setRawHeader("Cache-Control", "no-cache");
  request.setRawHeader("Pragma", "no-cache");
  return request;
}

// An answer with a status counts even when the status is an error; a connection that broke
// before the whole body arrived does not.
bool IsWholeAnswer(const QNetworkReply& reply) {
  const QNetworkReply::NetworkError error = reply.error();
  if (error == QNetworkReply::NoError) {
    return true;
  }
  const bool bHasStatus = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
  const bool bContentError =
      error >= QNetworkReply::ContentAccessDenied && error <= QNetworkReply::UnknownContentError;
  const bool bServerError =
      error >= QNetworkReply::InternalServerError && error <= QNetworkReply::UnknownServerError;
  return bHasStatus && (bContentError || bServerError);
}

// "20 s", "2 minutes", or milliseconds for the short limits tests use.
std::string DurationText(std::chrono::milliseconds duration) {
  const long long nMs = duration.count();
  if (nMs >= 60000 && nMs % 60000 == 0) {
    const long long nMinutes = nMs / 60000;
    return std::to_string(nMinutes) + (nMinutes == 1 ? " minute" : " minutes");
  }
  if (nMs % 1000 == 0) {
    return std::to_string(nMs / 1000) + " s";
  }
  return std::to_string(nMs) + " ms";
}

}  // namespace

QtHttpClient::QtHttpClient(std::chrono::milliseconds idleTimeout,
                           std::chrono::milliseconds totalTimeout)
    : m_idleTimeout(idleTimeout), m_totalTimeout(totalTimeout) {
  m_manager.setCache(nullptr);
}

HttpResponse QtHttpClient::Get(const HttpRequest& request) {
  HttpResponse response;
  const QUrl url(QString::fromStdString(request.strUrl));
  if (!url.isValid() || url.host().isEmpty()) {
    response.strError = "no update server address";
    return response;
  }
  m_stopReason = StopReason::kNone;
  QNetworkReply* pReply = m_manager.get(FreshRequest(request.strUrl));
  m_pReply = pReply;
  const auto nMaxBytes = static_cast<qint64>(request.nMaxBytes);
  QByteArray body;
  // Drains what arrived, so Qt's own buffer stays small; past the cap the request ends.
  const auto take = [&] {
    body += pReply->readAll();
    if (body.size() > nMaxBytes) {
      Stop(StopReason::kTooLarge);
    }
  };

  QEventLoop loop;
  QTimer idle;
  idle.setSingleShot(true);
  idle.setInterval(m_idleTimeout);
  QTimer total;
  total.setSingleShot(true);
  total.setInterval(m_totalTimeout);
  QObject::connect(&idle, &QTimer::timeout, &loop, [this] { Stop(StopReason::kIdle); });
  QObject::connect(&total, &QTimer::timeout, &loop, [this] { Stop(StopReason::kTotal); });
  QObject::connect(pReply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
  QObject::connect(pReply, &QNetworkReply::metaDataChanged, &loop, [&] {
    idle.start();
    // A body announced larger than the cap is refused before any of it is read.
    const QVariant length = pReply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > nMaxBytes) {
      Stop(StopReason::kTooLarge);
    }
  });
  QObject::connect(pReply, &QNetworkReply::readyRead, &loop, [&] {
    idle.start();
    take();
  });
  QObject::connect(pReply, &QNetworkReply::downloadProgress, &loop,
                   [&](qint64 nReceived, qint64 nTotal) {
                     idle.start();
                     if (m_onProgress) {
                       m_onProgress(nReceived, nTotal);
                     }
                   });
  if (!pReply->isFinished()) {
    idle.start();
    total.start();
    loop.exec();
  }
  if (m_stopReason == StopReason::kNone) {
    take();
  }
  m_pReply = nullptr;
  response.nStatus = pReply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  response.bOk = m_stopReason == StopReason::kNone && IsWholeAnswer(*pReply);
  if (response.bOk) {
    response.strBody.assign(body.constData(), static_cast<std::size_t>(body.size()));
  } else if (m_stopReason != StopReason::kNone) {
    response.strError = StopText(request);
  } else {
    response.strError = pReply->errorString().toStdString();
  }
  pReply->deleteLater();
  return response;
}

void QtHttpClient::Stop(StopReason reason) {
  if (m_stopReason != StopReason::kNone || !m_pReply) {
    return;  // the first reason is the one told
  }
  m_stopReason = reason;
  m_pReply->abort();
}

std::string QtHttpClient::StopText(const HttpRequest& request) const {
  switch (m_stopReason) {
    case StopReason::kCancelled:
      return "cancelled";
    case StopReason::kIdle:
      return "timed out after " + DurationText(m_idleTimeout) + " without data";
    case StopReason::kTotal:
      return "took longer than " + DurationText(m_totalTimeout);
    case StopReason::kTooLarge:
      return "the answer is larger than the " + std::to_string(request.nMaxBytes) +
             " bytes allowed";
    case StopReason::kNone:
      break;
  }
  return {};
}

void QtHttpClient::Cancel() {
  Stop(StopReason::kCancelled);
}

void QtHttpClient::SetProgressHandler(HttpProgressHandler onProgress) {
  m_onProgress = std::move(onProgress);
}

}  // namespace velvane
