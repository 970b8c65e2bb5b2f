#include "platform/QtHttpClient.h"

#include <QAbstractEventDispatcher>
#include <QTimer>
#include <QUrl>
#include <memory>

#include "platform/HttpExchange.h"

#if QT_CONFIG(ssl)
#include <QSslSocket>
#endif

namespace velvane {

namespace {

// A server sending us round in circles is told after this many redirections.
constexpr int kMaxRedirects = 5;

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

bool IsHttps(const QUrl& url) {
  return url.scheme().compare("https", Qt::CaseInsensitive) == 0;
}

bool IsHttp(const QUrl& url) {
  return url.scheme().compare("http", Qt::CaseInsensitive) == 0;
}

std::string TooLargeText(std::size_t nMaxBytes) {
  return "the answer is larger than the " + std::to_string(nMaxBytes) + " bytes allowed";
}

}  // namespace

QtHttpClient::QtHttpClient(std::chrono::milliseconds idleTimeout,
                           std::chrono::milliseconds totalTimeout)
    : m_idleTimeout(idleTimeout), m_totalTimeout(totalTimeout) {}

HttpResponse QtHttpClient::Get(const HttpRequest& request) {
  return Send(request, Body{});
}

HttpResponse QtHttpClient::Post(const HttpRequest& request, const std::string& strBody,
                                const std::string& strContentType) {
  return Send(request, Body{true, &strBody, &strContentType});
}

HttpResponse QtHttpClient::Send(const HttpRequest& request, const Body& body) {
  if (QAbstractEventDispatcher::instance() == nullptr) {
    // A thread that Qt did not start gets its event dispatcher with its first event loop; the
    // timers below need it before then.
    const QEventLoop prepare;
  }
  QUrl url(QString::fromStdString(request.strUrl));
  if (!url.isValid() || url.host().isEmpty() || !(IsHttp(url) || IsHttps(url))) {
    return {false, 0, {}, "no update server address"};
  }
  m_stopReason = StopReason::kNone;
  QTimer total;  // the whole request, redirections included
  total.setSingleShot(true);
  QObject::connect(&total, &QTimer::timeout, [this] { Stop(StopReason::kTotal); });
  total.start(m_totalTimeout);
  for (int nRedirects = 0;; ++nRedirects) {
    QUrl redirect;
    HttpResponse response = Fetch(url, request.nMaxBytes, body, redirect);
    if (redirect.isEmpty()) {
      return response;
    }
    if (nRedirects == kMaxRedirects) {
      return {false, 0, {}, "the server redirected the request too often"};
    }
    // Never from a secure address to a plain one.
    if (!(IsHttps(redirect) || (IsHttp(redirect) && IsHttp(url)))) {
      return {false,
              0,
              {},
              "the server redirected the request to " + redirect.toString().toStdString()};
    }
    url = redirect;
  }
}

HttpResponse QtHttpClient::Fetch(const QUrl& url, std::size_t nMaxBytes, const Body& body,
                                 QUrl& redirect) {
  HttpResponse response;
  if (m_stopReason != StopReason::kNone) {
    response.strError = StopText();
    return response;
  }
  HttpExchange exchange(static_cast<qint64>(nMaxBytes));
  std::unique_ptr<QTcpSocket> pSocket;
#if QT_CONFIG(ssl)
  if (IsHttps(url)) {
    pSocket = std::make_unique<QSslSocket>();
  }
#endif
  if (!pSocket) {
    if (IsHttps(url)) {
      response.strError = "this build cannot make secure connections";
      return response;
    }
    pSocket = std::make_unique<QTcpSocket>();
  }
  QTcpSocket& socket = *pSocket;
  m_pSocket = &socket;
  QEventLoop loop;
  m_pLoop = &loop;
  QTimer idle;
  idle.setSingleShot(true);
  idle.setInterval(m_idleTimeout);
  QObject::connect(&idle, &QTimer::timeout, &loop, [this] { Stop(StopReason::kIdle); });
  std::string strSocketError;
  const auto send = [&] {
    idle.start();
    if (body.bPost) {
      socket.write(HttpExchange::RequestHead(url, "POST", body.pContent->size(),
                                             QByteArray::fromStdString(*body.pType)));
      socket.write(body.pContent->data(), static_cast<qint64>(body.pContent->size()));
    } else {
      socket.write(HttpExchange::RequestHead(url));
    }
  };
  const auto receive = [&] {
    idle.start();
    exchange.Feed(socket.readAll());
    if (m_onProgress) {
      m_onProgress(exchange.Received(), exchange.Announced());
    }
    if (exchange.GetState() != HttpExchange::State::kReading) {
      loop.quit();  // whole, failed or past its cap: either way nothing more is read
    }
  };
  QObject::connect(&socket, &QTcpSocket::readyRead, &loop, receive);
  QObject::connect(&socket, &QTcpSocket::disconnected, &loop, [&] {
    receive();
    exchange.Closed();
    loop.quit();
  });
  QObject::connect(&socket, &QAbstractSocket::errorOccurred, &loop,
                   [&](QAbstractSocket::SocketError error) {
                     if (error != QAbstractSocket::RemoteHostClosedError) {
                       strSocketError = socket.errorString().toStdString();
                       loop.quit();
                     }
                   });
#if QT_CONFIG(ssl)
  if (auto* pSecure = qobject_cast<QSslSocket*>(&socket)) {
    QObject::connect(pSecure, &QSslSocket::encrypted, &loop, send);
    pSecure->connectToHostEncrypted(url.host(), static_cast<quint16>(url.port(443)));
  }
#endif
  if (!IsHttps(url)) {
    QObject::connect(&socket, &QTcpSocket::connected, &loop, send);
    socket.connectToHost(url.host(), static_cast<quint16>(url.port(80)));
  }
  idle.start();
  loop.exec();
  m_pSocket = nullptr;
  m_pLoop = nullptr;
  QObject::disconnect(&socket, nullptr, &loop, nullptr);
  socket.abort();

  response.nStatus = exchange.Status();
  switch (exchange.GetState()) {
    case HttpExchange::State::kDone:
      break;
    case HttpExchange::State::kTooLarge:
      response.strError = TooLargeText(nMaxBytes);
      return response;
    case HttpExchange::State::kFailed:
      response.strError = exchange.Error();
      return response;
    case HttpExchange::State::kReading:
      response.strError = m_stopReason != StopReason::kNone ? StopText()
                          : !strSocketError.empty()         ? strSocketError
                                                            : "the connection broke off";
      return response;
  }
  const int nStatus = exchange.Status();
  const QByteArray location = exchange.Header("location");
  // A POST is not sent again elsewhere: its redirection is its answer.
  if (!body.bPost && nStatus >= 300 && nStatus < 400 && nStatus != 304 && !location.isEmpty()) {
    redirect = url.resolved(QUrl::fromEncoded(location));
    return response;
  }
  response.bOk = true;
  response.strBody.assign(exchange.Body().constData(),
                          static_cast<std::size_t>(exchange.Body().size()));
  return response;
}

void QtHttpClient::Stop(StopReason reason) {
  if (m_stopReason != StopReason::kNone || !m_pLoop) {
    return;  // the first reason is the one told
  }
  m_stopReason = reason;
  if (m_pSocket) {
    QObject::disconnect(m_pSocket, nullptr, m_pLoop, nullptr);
    m_pSocket->abort();
  }
  m_pLoop->quit();
}

std::string QtHttpClient::StopText() const {
  switch (m_stopReason) {
    case StopReason::kCancelled:
      return "cancelled";
    case StopReason::kIdle:
      return "timed out after " + DurationText(m_idleTimeout) + " without data";
    case StopReason::kTotal:
      return "took longer than " + DurationText(m_totalTimeout);
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
