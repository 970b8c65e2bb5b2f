#include "platform/HttpExchange.h"

#include <algorithm>

namespace velvane {

namespace {

// The update server identifies its clients by this name.
constexpr const char* kUserAgent = "ROLV Chart Access";

// A head longer than this is no HTTP answer we want.
constexpr qsizetype kMaxHeadBytes = qsizetype{64} * 1024;

constexpr int kInflateChunk = 16 * 1024;

}  // namespace

HttpExchange::HttpExchange(qint64 nMaxBytes) : m_nMaxBytes(nMaxBytes) {}

HttpExchange::~HttpExchange() {
  if (m_pInflate) {
    inflateEnd(m_pInflate.get());
  }
}

QByteArray HttpExchange::RequestHead(const QUrl& url, const QByteArray& method,
                                     std::size_t nBodyBytes, const QByteArray& contentType) {
  QByteArray path = url.path(QUrl::FullyEncoded).toLatin1();
  if (path.isEmpty()) {
    path = "/";
  }
  if (url.hasQuery()) {
    path += "?" + url.query(QUrl::FullyEncoded).toLatin1();
  }
  QByteArray host = url.host(QUrl::FullyEncoded).toLatin1();
  if (host.contains(':')) {
    host = "[" + host + "]";
  }
  const int nDefaultPort = url.scheme().compare("https", Qt::CaseInsensitive) == 0 ? 443 : 80;
  if (url.port(nDefaultPort) != nDefaultPort) {
    host += ":" + QByteArray::number(url.port());
  }
  QByteArray extra;
  if (!url.userName().isEmpty() || !url.password().isEmpty()) {
    const QByteArray credentials = (url.userName() + ":" + url.password()).toUtf8();
    extra += "Authorization: Basic " + credentials.toBase64() + "\r\n";
  }
  if (method != "GET") {
    extra += "Content-Type: " + contentType +
             "\r\nContent-Length: " + QByteArray::number(static_cast<qulonglong>(nBodyBytes)) +
             "\r\n";
  }
  // Always from the server: no cache on the way may answer or keep it.
  return method + " " + path + " HTTP/1.1\r\nHost: " + host + "\r\nUser-Agent: " + kUserAgent +
         "\r\nAccept: */*\r\nAccept-Encoding: gzip, deflate\r\nCache-Control: no-cache\r\n"
         "Pragma: no-cache\r\nConnection: close\r\n" +
         extra + "\r\n";
}

QByteArray HttpExchange::Header(const QByteArray& name) const {
  const auto found = m_headers.find(name.toLower());
  return found == m_headers.end() ? QByteArray() : found->second;
}

void HttpExchange::Feed(const QByteArray& bytes) {
  if (m_state != State::kReading) {
    return;
  }
  m_input += bytes;
  Parse();
}

void HttpExchange::Closed() {
  if (m_state != State::kReading) {
    return;
  }
  if (m_phase == Phase::kUntilClose) {
    Finish();
  } else if (m_phase == Phase::kHead && m_nStatus == 0) {
    Fail("the server closed the connection without an answer");
  } else {
    Fail("the connection closed before the whole answer arrived");
  }
}

bool HttpExchange::TakeLine(QByteArray& line) {
  const qsizetype nEnd = m_input.indexOf('\n');
  if (nEnd < 0) {
    if (m_input.size() > kMaxHeadBytes) {
      Fail("the answer holds a line too long to be HTTP");
    }
    return false;
  }
  line = m_input.left(nEnd);
  if (line.endsWith('\r')) {
    line.chop(1);
  }
  m_input.remove(0, nEnd + 1);
  return true;
}

void HttpExchange::Parse() {
  while (m_state == State::kReading) {
    switch (m_phase) {
      case Phase::kHead: {
        const qsizetype nEnd = m_input.indexOf("\r\n\r\n");
        if (nEnd < 0) {
          if (m_input.size() > kMaxHeadBytes) {
            Fail("the answer's header is too long");
          }
          return;
        }
        const QByteArray head = m_input.left(nEnd);
        m_input.remove(0, nEnd + 4);
        if (!ParseHead(head)) {
          return;
        }
        break;
      }
      case Phase::kLength:
      case Phase::kChunkData: {
        const qsizetype nTake = static_cast<qsizetype>(std::min<qint64>(m_nLeft, m_input.size()));
        if (nTake == 0 && m_nLeft > 0) {
          return;
        }
        AppendBody(m_input.constData(), nTake);
        m_input.remove(0, nTake);
        m_nLeft -= nTake;
        if (m_state != State::kReading) {
          return;
        }
        if (m_nLeft == 0) {
          if (m_phase == Phase::kLength) {
            Finish();
          } else {
            m_phase = Phase::kChunkEnd;
          }
        }
        break;
      }
      case Phase::kUntilClose:
        AppendBody(m_input.constData(), m_input.size());
        m_input.clear();
        return;
      case Phase::kChunkSize: {
        QByteArray line;
        if (!TakeLine(line)) {
          return;
        }
        const qsizetype nExtension = line.indexOf(';');
        bool bNumber = false;
        const qint64 nSize =
            line.left(nExtension < 0 ? line.size() : nExtension).trimmed().toLongLong(&bNumber, 16);
        if (!bNumber || nSize < 0) {
          Fail("the answer's chunked encoding is broken");
          return;
        }
        m_nLeft = nSize;
        m_phase = nSize == 0 ? Phase::kTrailer : Phase::kChunkData;
        break;
      }
      case Phase::kChunkEnd: {
        QByteArray line;
        if (!TakeLine(line)) {
          return;
        }
        if (!line.isEmpty()) {
          Fail("the answer's chunked encoding is broken");
          return;
        }
        m_phase = Phase::kChunkSize;
        break;
      }
      case Phase::kTrailer: {
        QByteArray line;
        if (!TakeLine(line)) {
          return;
        }
        if (line.isEmpty()) {
          Finish();
        }
        break;
      }
    }
  }
}

bool HttpExchange::ParseHead(const QByteArray& head) {
  const QList<QByteArray> lines = head.split('\n');
  const QList<QByteArray> words = lines.front().trimmed().split(' ');
  bool bNumber = false;
  m_nStatus = words.size() > 1 && words[0].startsWith("HTTP/") ? words[1].toInt(&bNumber) : 0;
  if (!bNumber || m_nStatus < 100) {
    Fail("the server's answer is not HTTP");
    return false;
  }
  if (m_nStatus < 200) {
    return true;  // an interim answer: the real one follows
  }
  m_headers.clear();
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const qsizetype nColon = lines[i].indexOf(':');
    if (nColon > 0) {
      QByteArray& value = m_headers[lines[i].left(nColon).trimmed().toLower()];
      value += (value.isEmpty() ? "" : ", ") + lines[i].mid(nColon + 1).trimmed();
    }
  }
  const QByteArray encoding = Header("content-encoding").toLower();
  if (encoding == "gzip" || encoding == "x-gzip" || encoding == "deflate") {
    m_pInflate = std::make_unique<z_stream>();
    // 16 + MAX_WBITS reads a gzip wrapper, MAX_WBITS a zlib one.
    if (inflateInit2(m_pInflate.get(), encoding == "deflate" ? MAX_WBITS : 16 + MAX_WBITS) !=
        Z_OK) {
      m_pInflate.reset();
      Fail("the compressed answer cannot be expanded");
      return false;
    }
  } else if (!encoding.isEmpty() && encoding != "identity") {
    Fail("the answer is encoded as " + encoding.toStdString());
    return false;
  }
  if (m_nStatus == 204 || m_nStatus == 304) {
    Finish();
    return false;
  }
  if (Header("transfer-encoding").toLower().contains("chunked")) {
    m_phase = Phase::kChunkSize;
    return true;
  }
  const QByteArray length = Header("content-length");
  if (length.isEmpty()) {
    m_phase = Phase::kUntilClose;
    return true;
  }
  bool bLength = false;
  m_nLength = length.toLongLong(&bLength);
  if (!bLength || m_nLength < 0) {
    Fail("the answer's length is not a number");
    return false;
  }
  if (m_nLength > m_nMaxBytes) {
    m_state = State::kTooLarge;  // refused before any of it is read
    return false;
  }
  m_nLeft = m_nLength;
  m_phase = Phase::kLength;
  if (m_nLength == 0) {
    Finish();
    return false;
  }
  return true;
}

void HttpExchange::AppendBody(const char* pData, qsizetype nSize) {
  m_nReceived += nSize;
  if (!m_pInflate) {
    m_body.append(pData, nSize);
  } else if (nSize > 0) {
    if (m_bInflateEnded) {
      Fail("the compressed answer goes on past its end");
      return;
    }
    z_stream& stream = *m_pInflate;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(pData));
    stream.avail_in = static_cast<uInt>(nSize);
    char out[kInflateChunk];
    // Expanded a piece at a time, so a small body that expands hugely stops at the cap.
    for (;;) {
      stream.next_out = reinterpret_cast<Bytef*>(out);
      stream.avail_out = sizeof(out);
      const int nResult = inflate(&stream, Z_NO_FLUSH);
      if (nResult != Z_OK && nResult != Z_STREAM_END && nResult != Z_BUF_ERROR) {
        Fail("the compressed answer is damaged");
        return;
      }
      m_body.append(out, static_cast<qsizetype>(sizeof(out) - stream.avail_out));
      m_bInflateEnded = nResult == Z_STREAM_END;
      const bool bAllTaken = stream.avail_in == 0 && stream.avail_out != 0;
      if (m_bInflateEnded || bAllTaken || nResult == Z_BUF_ERROR || m_body.size() > m_nMaxBytes) {
        break;
      }
    }
  }
  if (m_body.size() > m_nMaxBytes) {
    m_state = State::kTooLarge;
  }
}

void HttpExchange::Finish() {
  if (m_pInflate && !m_bInflateEnded && m_nReceived > 0) {
    Fail("the compressed answer ends early");
    return;
  }
  m_state = State::kDone;
}

void HttpExchange::Fail(std::string strError) {
  m_state = State::kFailed;
  m_strError = std::move(strError);
}

}  // namespace velvane
