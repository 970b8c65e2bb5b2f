#include "platform/QtHttpClient.h"

#include <QEventLoop>
#include <QNetworkRequest>
#include <QUrl>

namespace velvane {

namespace {

// The update server identifies its clients by this name.
constexpr const char* kUserAgent = "ROLV Chart Access";

QNetworkRequest FreshRequest(const std::string& strUrl, std::chrono::milliseconds timeout) {
  QNetworkRequest request(QUrl(QString::fromStdString(strUrl)));
  request.setHeader(QNetworkRequest::UserAgentHeader, QByteArray(kUserAgent));
  // Always from the server: nothing is taken from or kept in a cache on the way.
  request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
  request.setRawHeader("Cache-Control", "no-cache");
  request.setRawHeader("Pragma", "no-cache");
  request.setTransferTimeout(static_cast<int>(timeout.count()));
  return request;
}

// An answer with a status counts even when the status is an error; a connection that broke
// or timed out before the whole body arrived does not.
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

}  // namespace

QtHttpClient::QtHttpClient(std::chrono::milliseconds timeout) : m_timeout(timeout) {
  m_manager.setCache(nullptr);
}

HttpResponse QtHttpClient::Get(const std::string& strUrl) {
  HttpResponse response;
  const QUrl url(QString::fromStdString(strUrl));
  if (!url.isValid() || url.host().isEmpty()) {
    response.strError = "no update server address";
    return response;
  }
  m_bCancelled = false;
  QNetworkReply* pReply = m_manager.get(FreshRequest(strUrl, m_timeout));
  m_pReply = pReply;
  QEventLoop loop;
  QObject::connect(pReply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
  QObject::connect(pReply, &QNetworkReply::downloadProgress, &loop,
                   [this](qint64 nReceived, qint64 nTotal) {
                     if (m_onProgress) {
                       m_onProgress(nReceived, nTotal);
                     }
                   });
  if (!pReply->isFinished()) {
    loop.exec();
  }
  m_pReply = nullptr;
  response.bOk = !m_bCancelled && IsWholeAnswer(*pReply);
  response.nStatus = pReply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (response.bOk) {
    const QByteArray body = pReply->readAll();
    response.strBody.assign(body.constData(), static_cast<std::size_t>(body.size()));
  } else {
    response.strError = m_bCancelled ? "cancelled" : pReply->errorString().toStdString();
  }
  pReply->deleteLater();
  return response;
}

void QtHttpClient::Cancel() {
  m_bCancelled = true;
  if (m_pReply) {
    m_pReply->abort();
  }
}

void QtHttpClient::SetProgressHandler(std::function<void(qint64, qint64)> onProgress) {
  m_onProgress = std::move(onProgress);
}

}  // namespace velvane
