#pragma once

#include <QByteArray>
#include <QTcpServer>
#include <map>
#include <string>

namespace velvane {

// A small HTTP server on 127.0.0.1 inside the test process. It answers from the event loop
// of whoever waits for it, so a blocking client in the same thread is served too.
class LocalHttpServer {
 public:
  enum class Mode {
    kAnswer,    // the whole answer
    kStall,     // accepts the connection and never answers
    kTruncate,  // sends the headers and half the body, then closes
  };

  LocalHttpServer();

  // "http://127.0.0.1:<port>"
  std::string Address() const;
  void Serve(const std::string& strPath, std::string strBody, int nStatus = 200);
  void SetMode(Mode mode) { m_mode = mode; }
  // Stops listening: new connections are refused.
  void Close() { m_server.close(); }
  // The head of the last request received.
  const QByteArray& LastRequest() const { return m_lastRequest; }

 private:
  void Answer(QTcpSocket* pSocket, const QByteArray& request);

  QTcpServer m_server;
  std::map<std::string, std::pair<int, std::string>> m_files;  // path -> status, body
  Mode m_mode = Mode::kAnswer;
  QByteArray m_lastRequest;
};

}  // namespace velvane
