#pragma once

#include <QByteArray>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <map>
#include <string>

namespace velvane {

// A small HTTP server on 127.0.0.1 inside the test process. It answers from the event loop
// of whoever waits for it, so a blocking client in the same thread is served too. Besides
// whole answers it can misbehave in the ways a real server or network does.
class LocalHttpServer {
 public:
  enum class Mode {
    kAnswer,        // the whole answer
    kSilent,        // accepts the connection and never answers
    kStall,         // sends the headers, then nothing more
    kTruncate,      // sends the headers and half the body, then closes
    kTrickle,       // sends the headers, then the body one byte every 20 ms
    kNoLength,      // the whole body with no Content-Length, ended by closing
    kChunked,       // chunked in small chunks, with an extension and a trailer
    kBrokenChunks,  // chunked: a chunk announced longer than what is sent, then closes
  };

  LocalHttpServer() {
    m_server.listen(QHostAddress::LocalHost);
    QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
      while (QTcpSocket* pSocket = m_server.nextPendingConnection()) {
        // The slot keeps its own copy of the lambda, so the received bytes and the flag live
        // with it.
        const auto onRead = [this, pSocket, received = QByteArray(), bAnswered = false]() mutable {
          received.append(pSocket->readAll());
          const qsizetype nEnd = received.indexOf("\r\n\r\n");
          if (nEnd < 0 || bAnswered) {
            return;
          }
          const QByteArray head = received.left(nEnd);
          const qsizetype nField = head.toLower().indexOf("\r\ncontent-length:");
          const qsizetype nStart = nField + 17;  // after the name
          const qsizetype nStop = head.indexOf('\r', nStart);
          const qsizetype nBody =
              nField < 0 ? 0
                         : head.mid(nStart, nStop < 0 ? -1 : nStop - nStart).trimmed().toLongLong();
          if (received.size() - nEnd - 4 < nBody) {
            return;  // the rest of the body is on its way
          }
          bAnswered = true;
          m_lastRequest = head;
          m_lastBody = received.mid(nEnd + 4, nBody);
          Answer(pSocket, m_lastRequest);
        };
        QObject::connect(pSocket, &QTcpSocket::readyRead, pSocket, onRead);
        QObject::connect(pSocket, &QTcpSocket::disconnected, pSocket, &QObject::deleteLater);
      }
    });
  }

  // "http://127.0.0.1:<port>"
  std::string Address() const {
    return "http://127.0.0.1:" + std::to_string(m_server.serverPort());
  }
  // `strHeaders`: extra header lines, each ended by CR LF ("Content-Encoding: gzip\r\n").
  void Serve(const std::string& strPath, const std::string& strBody, int nStatus = 200,
             const std::string& strHeaders = {}) {
    m_files[strPath] = {nStatus, QByteArray::fromStdString(strBody),
                        QByteArray::fromStdString(strHeaders)};
  }
  void SetMode(Mode mode) { m_mode = mode; }
  // Stops listening: new connections are refused.
  void Close() { m_server.close(); }
  // The head and the body (as its Content-Length frames it) of the last request received.
  const QByteArray& LastRequest() const { return m_lastRequest; }
  const QByteArray& LastBody() const { return m_lastBody; }

 private:
  struct File {
    int nStatus = 200;
    QByteArray body;
    QByteArray headers;
  };

  void Answer(QTcpSocket* pSocket, const QByteArray& request) {
    const QList<QByteArray> words = request.left(request.indexOf("\r\n")).split(' ');
    const std::string strPath = words.size() > 1 ? words[1].toStdString() : std::string();
    if (m_mode == Mode::kSilent) {
      return;
    }
    const auto found = m_files.find(strPath);
    const File file = found == m_files.end() ? File{404, "not here", {}} : found->second;
    QByteArray answer = "HTTP/1.1 " + QByteArray::number(file.nStatus) + " Status\r\n" +
                        file.headers + "Connection: close\r\n";
    if (m_mode == Mode::kBrokenChunks) {
      // The chunk promises twice what follows, and the connection closes inside it.
      answer += "Transfer-Encoding: chunked\r\n\r\n" +
                QByteArray::number(file.body.size() * 2, 16) + "\r\n" + file.body;
    } else if (m_mode == Mode::kChunked) {
      answer += "Transfer-Encoding: chunked\r\n\r\n";
      for (qsizetype i = 0; i < file.body.size(); i += 7) {
        const QByteArray chunk = file.body.mid(i, 7);
        answer += QByteArray::number(chunk.size(), 16) + ";part=x\r\n" + chunk + "\r\n";
      }
      answer += "0\r\nX-Trailer: end\r\n\r\n";
    } else if (m_mode == Mode::kNoLength) {
      answer += "\r\n" + file.body;
    } else {
      answer += "Content-Length: " + QByteArray::number(file.body.size()) + "\r\n\r\n";
      if (m_mode == Mode::kAnswer) {
        answer += file.body;
      } else if (m_mode == Mode::kTruncate) {
        answer += file.body.left(file.body.size() / 2);
      }
    }
    pSocket->write(answer);
    if (m_mode == Mode::kTrickle) {
      auto* pTimer = new QTimer(pSocket);  // ends with the connection
      QObject::connect(pTimer, &QTimer::timeout, pSocket,
                       [pSocket, body = file.body, nSent = 0]() mutable {
                         if (nSent < body.size()) {
                           pSocket->write(body.mid(nSent++, 1));
                         } else {
                           pSocket->disconnectFromHost();
                         }
                       });
      pTimer->start(20);
    } else if (m_mode != Mode::kStall) {
      pSocket->flush();  // whole at once, so a client on another thread needs no event loop here
      pSocket->disconnectFromHost();
    }
  }

  QTcpServer m_server;
  std::map<std::string, File> m_files;  // by path
  Mode m_mode = Mode::kAnswer;
  QByteArray m_lastRequest;
  QByteArray m_lastBody;
};

}  // namespace velvane
