#include "LocalHttpServer.h"

#include <QTcpSocket>
#include <memory>

namespace velvane {

LocalHttpServer::LocalHttpServer() {
  m_server.listen(QHostAddress::LocalHost);
  QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
    while (QTcpSocket* pSocket = m_server.nextPendingConnection()) {
      struct Received {
        QByteArray head;
        bool bAnswered = false;
      };
      auto received = std::make_shared<Received>();
      QObject::connect(pSocket, &QTcpSocket::readyRead, pSocket, [this, pSocket, received] {
        received->head.append(pSocket->readAll());
        const qsizetype nEnd = received->head.indexOf("\r\n\r\n");
        if (nEnd >= 0 && !received->bAnswered) {
          received->bAnswered = true;
          m_lastRequest = received->head.left(nEnd);
          Answer(pSocket, m_lastRequest);
        }
      });
      QObject::connect(pSocket, &QTcpSocket::disconnected, pSocket, &QObject::deleteLater);
    }
  });
}

std::string LocalHttpServer::Address() const {
  return "http://127.0.0.1:" + std::to_string(m_server.serverPort());
}

void LocalHttpServer::Serve(const std::string& strPath, std::string strBody, int nStatus) {
  m_files[strPath] = {nStatus, std::move(strBody)};
}

void LocalHttpServer::Answer(QTcpSocket* pSocket, const QByteArray& request) {
  if (m_mode == Mode::kStall) {
    return;
  }
  const QList<QByteArray> words = request.left(request.indexOf("\r\n")).split(' ');
  const std::string strPath = words.size() > 1 ? words[1].toStdString() : std::string();
  const auto found = m_files.find(strPath);
  const int nStatus = found == m_files.end() ? 404 : found->second.first;
  const QByteArray body = found == m_files.end() ? QByteArray("not here")
                                                 : QByteArray::fromStdString(found->second.second);
  QByteArray answer = "HTTP/1.1 " + QByteArray::number(nStatus) +
                      " Status\r\nContent-Length: " + QByteArray::number(body.size()) +
                      "\r\nConnection: close\r\n\r\n";
  answer += m_mode == Mode::kTruncate ? body.left(body.size() / 2) : body;
  pSocket->write(answer);
  pSocket->disconnectFromHost();
}

}  // namespace velvane
