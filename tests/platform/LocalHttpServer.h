#pragma once

#include <QByteArray>
#include <QTcpServer>
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

  LocalHttpServer();

  // "http://127.0.0.1:<port>"
  std::string Address() const;
  // `strHeaders`: extra header lines, each ended by CR LF ("Content-Encoding: gzip\r\n").
  void Serve(const std::string& strPath, const std::string& strBody, int nStatus = 200,
             const std::string& strHeaders = {});
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

  void Answer(QTcpSocket* pSocket, const QByteArray& request);

  QTcpServer m_server;
  std::map<std::string, File> m_files;  // by path
  Mode m_mode = Mode::kAnswer;
  QByteArray m_lastRequest;
  QByteArray m_lastBody;
};

}  // namespace velvane
