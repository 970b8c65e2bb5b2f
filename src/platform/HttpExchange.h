#pragma once

#include <zlib.h>

#include <QByteArray>
#include <QUrl>
#include <map>
#include <memory>
#include <string>

namespace velvane {

// The reading side of one HTTP/1.1 GET: status line, headers, then the body framed by its
// length, its chunks or the end of the connection, decompressed when the server compressed
// it. Qt's own HTTP reply may take a connection that closes inside a chunked body for a whole
// answer; here a body is whole only when its framing says so.
class HttpExchange {
 public:
  enum class State { kReading, kDone, kFailed, kTooLarge };

  explicit HttpExchange(qint64 nMaxBytes);
  ~HttpExchange();
  HttpExchange(const HttpExchange&) = delete;
  HttpExchange& operator=(const HttpExchange&) = delete;

  // The request head for `url`: fresh from the server, named by our agent name, one request
  // per connection, with the address's user name and password as Basic authorisation. A
  // request with a body announces its length and type.
  static QByteArray RequestHead(const QUrl& url, const QByteArray& method = "GET",
                                std::size_t nBodyBytes = 0, const QByteArray& contentType = {});

  // Bytes as they arrive from the connection.
  void Feed(const QByteArray& bytes);
  // The connection ended: only a body framed by the end of the connection is whole then.
  void Closed();

  State GetState() const { return m_state; }
  const std::string& Error() const { return m_strError; }
  int Status() const { return m_nStatus; }
  // A header's value, empty when the answer has none.
  QByteArray Header(const QByteArray& name) const;
  const QByteArray& Body() const { return m_body; }
  // Body bytes as sent (before decompression), and the length announced (-1 when none).
  qint64 Received() const { return m_nReceived; }
  qint64 Announced() const { return m_nLength; }

 private:
  enum class Phase { kHead, kLength, kUntilClose, kChunkSize, kChunkData, kChunkEnd, kTrailer };

  void Parse();
  bool ParseHead(const QByteArray& head);
  bool TakeLine(QByteArray& line);
  void AppendBody(const char* pData, qsizetype nSize);
  void Finish();
  void Fail(std::string strError);

  qint64 m_nMaxBytes;
  State m_state = State::kReading;
  Phase m_phase = Phase::kHead;
  std::string m_strError;
  QByteArray m_input;  // received, not yet parsed
  int m_nStatus = 0;
  std::map<QByteArray, QByteArray> m_headers;  // by lower-case name
  qint64 m_nLength = -1;
  qint64 m_nLeft = 0;  // of the body by length, or of the current chunk
  qint64 m_nReceived = 0;
  QByteArray m_body;
  std::unique_ptr<z_stream> m_pInflate;  // set while a compressed body is expanded
  bool m_bInflateEnded = false;
};

}  // namespace velvane
