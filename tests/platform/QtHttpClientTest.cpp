#include "platform/QtHttpClient.h"

#include <gtest/gtest.h>

#include <QTimer>
#include <array>
#include <memory>

#include "LocalHttpServer.h"
#include "core/updates/UpdateCatalogue.h"
#include "core/updates/UpdateLimits.h"
#include "core/updates/UpdateMerge.h"
#include "support/FakeClock.h"
#include "support/FakePrompter.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

using namespace std::chrono_literals;

// `data` as a gzip file: qCompress's zlib stream without its size prefix, zlib header and
// Adler-32, framed by the gzip header and the CRC-32 and length trailer.
QByteArray Gzip(const QByteArray& data) {
  std::array<quint32, 256> table{};
  for (quint32 n = 0; n < 256; ++n) {
    quint32 c = n;
    for (int k = 0; k < 8; ++k) {
      c = (c & 1) != 0 ? 0xEDB88320U ^ (c >> 1) : c >> 1;
    }
    table[n] = c;
  }
  quint32 crc = 0xFFFFFFFFU;
  for (const char ch : data) {
    crc = table[(crc ^ static_cast<quint8>(ch)) & 0xFF] ^ (crc >> 8);
  }
  crc ^= 0xFFFFFFFFU;
  const QByteArray zlib = qCompress(data, 9);
  QByteArray gzip("\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\xff", 10);
  gzip += zlib.mid(6, zlib.size() - 10);
  const auto nSize = static_cast<quint32>(data.size());
  for (const quint32 value : {crc, nSize}) {
    for (int nShift = 0; nShift < 32; nShift += 8) {
      gzip += static_cast<char>((value >> nShift) & 0xFF);
    }
  }
  return gzip;
}

class QtHttpClientTest : public ::testing::Test {
 protected:
  std::string Url(const std::string& strFile) const {
    return UpdateUrl(m_server.Address(), strFile);
  }
  HttpResponse Get(const std::string& strFile, std::size_t nMaxBytes = kCatalogueMaxBytes) {
    return m_client.Get({Url(strFile), nMaxBytes});
  }

  LocalHttpServer m_server;
  // Short limits, so a stalled or slow server costs the test little, yet long enough that a
  // busy machine serving a large body in this same process is not taken for a silent server.
  QtHttpClient m_client{1000ms, 3000ms};
};

TEST_F(QtHttpClientTest, FetchesTheWholeBodyFreshWithTheAgentName) {
  const std::string strBody = "UK   CHTuk_251209.cht000120\r\n" + std::string(100000, 'x');
  m_server.Serve("/avail.cht", strBody);
  const HttpResponse response = Get("avail.cht");
  ASSERT_TRUE(response.bOk) << response.strError;
  EXPECT_EQ(response.nStatus, 200);
  EXPECT_EQ(response.strBody, strBody);
  const QByteArray request = m_server.LastRequest();
  EXPECT_TRUE(request.startsWith("GET /avail.cht HTTP/1.1\r\n"));
  EXPECT_TRUE(request.contains("User-Agent: ROLV Chart Access\r\n"));
  EXPECT_TRUE(request.contains("Cache-Control: no-cache"));

  const HttpResponse missing = Get("nothing.cht");
  EXPECT_TRUE(missing.bOk);  // an answer, though not the file
  EXPECT_EQ(missing.nStatus, 404);

  m_server.Serve("/moved/avail.cht", "", 302, "Location: ../avail.cht\r\n");
  const HttpResponse moved = Get("moved/avail.cht");
  ASSERT_TRUE(moved.bOk) << moved.strError;
  EXPECT_EQ(moved.strBody, strBody);
  m_server.Serve("/loop.cht", "", 301, "Location: /loop.cht\r\n");
  EXPECT_EQ(Get("loop.cht").strError, "the server redirected the request too often");
}

TEST_F(QtHttpClientTest, RefusedBrokenAndCancelledRequestsAreFailedConnections) {
  m_server.Serve("/a.hit", std::string(1000, 'y'));
  m_server.SetMode(LocalHttpServer::Mode::kTruncate);
  EXPECT_FALSE(Get("a.hit").bOk);

  m_server.SetMode(LocalHttpServer::Mode::kStall);
  QtHttpClient patient;  // the real timeouts, ended by the operator instead
  QTimer::singleShot(50, [&] { patient.Cancel(); });
  const HttpResponse cancelled = patient.Get({Url("a.hit"), kCatalogueMaxBytes});
  EXPECT_FALSE(cancelled.bOk);
  EXPECT_EQ(cancelled.strError, "cancelled");

  m_server.Close();
  const HttpResponse refused = Get("a.hit");
  EXPECT_FALSE(refused.bOk);
  EXPECT_FALSE(refused.strError.empty());
  EXPECT_FALSE(m_client.Get({UpdateUrl("", "a.hit"), kCatalogueMaxBytes}).bOk);
}

TEST_F(QtHttpClientTest, AnUpdateCutOffInTransferLeavesHitsDatAndHitsOldAsTheyWere) {
  TempDir dir;
  dir.Write("hits.dat", "01/01/1990\\A\\T\\5\\2\\\r\n");
  dir.Write("hits.old", "older\r\n");
  std::string strUpdate;
  for (int i = 0; i < 40; ++i) {
    strUpdate += "01/01/1990\\Artist\\Title\\\r\n";
  }
  m_server.Serve("/uk_010190.hit", strUpdate);
  m_server.SetMode(LocalHttpServer::Mode::kTruncate);
  TrackStore store;
  FakeClock clock{2026, 12, 6};
  FakePrompter prompter;
  UpdateTarget target{
      store, {dir.Folder(), clock, prompter, "T"}, {}, [] { return SaveOutcome{}; }};
  const CatalogueEntry entry{"uk_010190.hit", 40, {}};
  EXPECT_FALSE(
      ApplyUpdate(target, entry, m_client.Get(UpdateRequest(m_server.Address(), entry))).bApplied);
  EXPECT_EQ(dir.Read("hits.dat"), "01/01/1990\\A\\T\\5\\2\\\r\n");
  EXPECT_EQ(dir.Read("hits.old"), "older\r\n");

  m_server.SetMode(LocalHttpServer::Mode::kAnswer);
  m_server.Serve("/uk_010190.hit", "");
  const UpdateOutcome empty =
      ApplyUpdate(target, entry, m_client.Get(UpdateRequest(m_server.Address(), entry)));
  EXPECT_NE(empty.strMessage.find("holds no records"), std::string::npos) << empty.strMessage;
  EXPECT_EQ(dir.Read("hits.dat"), "01/01/1990\\A\\T\\5\\2\\\r\n");
  EXPECT_EQ(dir.Read("hits.old"), "older\r\n");

  m_server.Serve("/uk_010190.hit", strUpdate);
  EXPECT_TRUE(
      ApplyUpdate(target, entry, m_client.Get(UpdateRequest(m_server.Address(), entry))).bApplied);
  EXPECT_EQ(dir.Read("hits.old"), "01/01/1990\\A\\T\\5\\2\\\r\n");
}

// The limits every request keeps, whatever the server does.
TEST_F(QtHttpClientTest, ASilentServerIsATimeoutToldAsOne) {
  m_server.Serve("/a.hit", std::string(1000, 'y'));
  for (const auto mode : {LocalHttpServer::Mode::kStall, LocalHttpServer::Mode::kSilent}) {
    m_server.SetMode(mode);
    const HttpResponse response = Get("a.hit");
    EXPECT_FALSE(response.bOk);
    EXPECT_EQ(response.strError, "timed out after 1 s without data");
  }
  QtHttpClient quick{300ms, 2000ms};
  EXPECT_EQ(quick.Get({Url("a.hit"), 4096}).strError, "timed out after 300 ms without data");
}

TEST_F(QtHttpClientTest, ASlowButSteadyServerIsWaitedForUntilTheOverallLimit) {
  m_server.SetMode(LocalHttpServer::Mode::kTrickle);
  m_server.SetTrickleInterval(20ms);
  m_server.Serve("/short.hit", "01/01/1990\\A\\T\\\r\n");
  const HttpResponse whole = Get("short.hit");  // more than the idle limit, each byte within it
  ASSERT_TRUE(whole.bOk) << whole.strError;
  EXPECT_EQ(whole.strBody, "01/01/1990\\A\\T\\\r\n");

  m_server.Serve("/long.hit", std::string(100000, 'y'));
  const HttpResponse endless = Get("long.hit");
  EXPECT_FALSE(endless.bOk);
  EXPECT_EQ(endless.strError, "took longer than 3 s");
}

TEST_F(QtHttpClientTest, ABodyPastItsCapIsRefusedAsItArrives) {
  const std::string strBig(5000, 'y');
  m_server.Serve("/big.hit", strBig);
  EXPECT_TRUE(Get("big.hit", 5000).bOk);  // the cap itself is allowed
  const HttpResponse announced = Get("big.hit", 4999);
  EXPECT_FALSE(announced.bOk);
  EXPECT_EQ(announced.strError, "the answer is larger than the 4999 bytes allowed");

  // Without a length the bytes are counted as they come, and the transfer ends early.
  const std::string strHuge(std::size_t{2} * 1024 * 1024, 'z');
  m_server.Serve("/huge.hit", strHuge);
  m_server.SetMode(LocalHttpServer::Mode::kNoLength);
  long long nLastReceived = 0;
  m_client.SetProgressHandler([&](long long nReceived, long long) { nLastReceived = nReceived; });
  const HttpResponse unannounced = Get("huge.hit", std::size_t{64} * 1024);
  m_client.SetProgressHandler({});
  EXPECT_FALSE(unannounced.bOk);
  EXPECT_EQ(unannounced.strError, "the answer is larger than the 65536 bytes allowed");
  EXPECT_LT(nLastReceived, static_cast<long long>(strHuge.size() / 2));

  m_server.Serve("/small.hit", "two\r\nlines");
  const HttpResponse small = Get("small.hit", std::size_t{64} * 1024);
  ASSERT_TRUE(small.bOk) << small.strError;
  EXPECT_EQ(small.strBody, "two\r\nlines");  // no length: the whole body up to the close
}

TEST_F(QtHttpClientTest, ACompressedBodyCountsAtItsExpandedSize) {
  const QByteArray plain = QByteArray("01/01/1990\\A\\T\\\r\n").repeated(200);
  m_server.Serve("/plain.hit", Gzip(plain).toStdString(), 200, "Content-Encoding: gzip\r\n");
  const HttpResponse response = Get("plain.hit", static_cast<std::size_t>(plain.size()));
  ASSERT_TRUE(response.bOk) << response.strError;
  EXPECT_EQ(QByteArray::fromStdString(response.strBody), plain);

  const QByteArray bomb = Gzip(QByteArray(qsizetype{8} * 1024 * 1024, 'x'));
  ASSERT_LT(bomb.size(), qsizetype{64} * 1024);
  m_server.Serve("/bomb.hit", bomb.toStdString(), 200, "Content-Encoding: gzip\r\n");
  const HttpResponse expanded = Get("bomb.hit", std::size_t{64} * 1024);
  EXPECT_FALSE(expanded.bOk);
  EXPECT_EQ(expanded.strError, "the answer is larger than the 65536 bytes allowed");
}

TEST_F(QtHttpClientTest, ABrokenChunkedBodyIsAFailedTransferAndAnEmptyOneIsAnAnswer) {
  m_server.Serve("/avail.cht", "UK   CHTuk_251209.cht000120\r\n");
  m_server.SetMode(LocalHttpServer::Mode::kBrokenChunks);
  const HttpResponse broken = Get("avail.cht");
  EXPECT_FALSE(broken.bOk);
  EXPECT_EQ(broken.strError, "the connection closed before the whole answer arrived");

  m_server.SetMode(LocalHttpServer::Mode::kChunked);
  const HttpResponse chunked = Get("avail.cht");
  ASSERT_TRUE(chunked.bOk) << chunked.strError;
  EXPECT_EQ(chunked.strBody, "UK   CHTuk_251209.cht000120\r\n");

  m_server.SetMode(LocalHttpServer::Mode::kAnswer);
  m_server.Serve("/empty.hit", "");
  const HttpResponse empty = Get("empty.hit");
  ASSERT_TRUE(empty.bOk) << empty.strError;
  EXPECT_EQ(empty.nStatus, 200);
  EXPECT_EQ(empty.strBody, "");
}

}  // namespace
}  // namespace velvane
