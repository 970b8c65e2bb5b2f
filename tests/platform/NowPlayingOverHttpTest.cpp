#include <unistd.h>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <functional>
#include <memory>
#include <thread>

#include "EncodedAudio.h"
#include "LocalHttpServer.h"
#include "core/main/RadioFixture.h"
#include "core/updates/UpdateCatalogue.h"
#include "core/updates/UpdateLimits.h"
#include "platform/QtHttpClient.h"

extern "C" {
#include <libavutil/crc.h>
}

namespace velvane {
namespace {

using namespace std::chrono_literals;

// The core over the fake audio engine, in Auto Play, its now-playing outputs with the real
// HTTP client.
class NowPlayingOverHttpTest : public RadioFixture {
 protected:
  NowPlayingOverHttpTest() {
    m_makeHttp = [](std::chrono::milliseconds timeout) -> std::unique_ptr<HttpClient> {
      return std::make_unique<QtHttpClient>(timeout, timeout);
    };
  }
  // Started again with the output set and two tracks queued.
  void StartWith(std::string Settings::*pSetting, const std::string& strValue) {
    Start([&](Settings& settings) {
      settings.*pSetting = strValue;
      settings.nPlayMode = 1;
    });
    QueueTracks({15000, 20000});
  }
  // Serves a local server (it answers in this thread) until `done` holds; waits for the
  // outputs.
  void ServeUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 2000 && !done(); ++i) {
      QCoreApplication::processEvents();
      std::this_thread::sleep_for(10ms);
    }
    m_radio.Publisher().WaitIdle();
  }
};

// A real Icecast server (package icecast2) on a free port, configured in a temporary folder,
// with ffmpeg streaming a generated mp3 to /live as an encoder would.
class NowPlayingIcecastTest : public NowPlayingOverHttpTest {
 protected:
  void SetUp() override {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("icecast2"));
    if (program.isEmpty()) {
      GTEST_SKIP() << "icecast2 is not installed (Debian package icecast2)";
    }
    QTcpServer probe;  // a free port
    probe.listen(QHostAddress::LocalHost);
    m_strAddress = "127.0.0.1:" + std::to_string(probe.serverPort());
    // Icecast will not run as root; as nobody it must be able to write its log.
    std::filesystem::permissions(m_ice.Path(), std::filesystem::perms::all);
    std::ofstream(m_ice.Path() / "icecast.xml")
        << "<icecast><authentication><source-password>hackme</source-password></authentication>"
           "<listen-socket><port>"
        << probe.serverPort()
        << "</port><bind-address>127.0.0.1</bind-address></listen-socket><paths><logdir>"
        << m_ice.Folder() << "</logdir><webroot>/usr/share/icecast2/web</webroot></paths><security>"
        << (geteuid() == 0 ? "<changeowner><user>nobody</user><group>nogroup</group></changeowner>"
                           : "")
        << "</security></icecast>\n";
    probe.close();
    m_server.setProcessChannelMode(QProcess::MergedChannels);
    m_server.start(program,
                   {QStringLiteral("-c"), QString::fromStdString(m_ice.Folder() + "icecast.xml")});
    const std::filesystem::path mp3 = m_ice.Path() / "tone.mp3";
    ASSERT_EQ(SoxSine(mp3, 2.0, "vol 0.1"), "");
    // The encoder sends the mp3 again and again in real time (Icecast puts a new title into the
    // stream with the data that follows it); it is started again until the server takes it.
    for (int i = 0; i < 50 && m_encoder.state() != QProcess::Running; ++i) {
      m_encoder.start(
          QStringLiteral("ffmpeg"),
          {"-nostdin", "-loglevel", "error", "-re", "-stream_loop", "-1", "-i",
           QString::fromStdString(mp3.string()), "-c", "copy", "-content_type", "audio/mpeg", "-f",
           "mp3", QString::fromStdString("icecast://source:hackme@" + m_strAddress + "/live")});
      m_encoder.waitForFinished(500);  // a refused source ends at once
    }
    ASSERT_EQ(TitleOnceItIs(""), "") << m_server.readAll().toStdString();  // the mount is up
  }
  void TearDown() override {
    for (QProcess* pProcess : {&m_encoder, &m_server}) {
      pProcess->kill();
      pProcess->waitForFinished();
    }
  }
  // The title /status-json.xsl shows for /live ("" without one; "(...)" without the mount),
  // once it is `strExpected`, or after five seconds.
  std::string TitleOnceItIs(const std::string& strExpected) {
    m_radio.Publisher().WaitIdle();
    std::string strTitle = "(not read)";
    for (int i = 0; i < 100 && strTitle != strExpected; ++i) {
      std::this_thread::sleep_for(50ms);
      const HttpResponse status =
          QtHttpClient().Get({"http://" + m_strAddress + "/status-json.xsl", 1 << 20});
      const QJsonObject source = QJsonDocument::fromJson(QByteArray::fromStdString(status.strBody))
                                     .object()[QStringLiteral("icestats")]
                                     .toObject()[QStringLiteral("source")]
                                     .toObject();
      strTitle = source.isEmpty() ? "(" + status.strBody + status.strError + ")"
                                  : source[QStringLiteral("title")].toString().toStdString();
    }
    return strTitle;
  }

  TempDir m_ice;
  std::string m_strAddress;  // host:port
  QProcess m_server;
  QProcess m_encoder;  // ffmpeg's icecast protocol, as an encoder would send
};

TEST_F(NowPlayingIcecastTest, ShowsEachTitleAndRefusesAWrongPassword) {
  StartWith(&Settings::strStreamServer, "http://source:hackme@" + m_strAddress + "/live");
  Play().OnPlayNextTrack();
  EXPECT_EQ(TitleOnceItIs("A - TA"), "A - TA");
  Play().OnStopAllTracks();
  EXPECT_EQ(TitleOnceItIs(""), "");
  StartWith(&Settings::strStreamServer, "http://source:wrong-pw@" + m_strAddress + "/live");
  Play().OnPlayNextTrack();
  m_radio.Publisher().WaitIdle();
  EXPECT_EQ(m_dir.Read("db/errorlog.txt"),
            "04/12/2026 17:59   Now playing: the stream server http://" + m_strAddress +
                "/live stopped working: the server answered with HTTP status 401 (check the user "
                "name and password)\r\n");
}

TEST_F(NowPlayingOverHttpTest, AWebHookGetsTheJsonWithBasicAuthorisation) {
  LocalHttpServer server;
  server.Serve("/hook", "", 204);
  StartWith(&Settings::strWebHook, "http://station:pw@" + server.Address().substr(7) + "/hook");
  Play().OnPlayNextTrack();
  ServeUntil([&] { return !server.LastBody().isEmpty(); });
  EXPECT_EQ(QJsonDocument::fromJson(server.LastBody()).object()[QStringLiteral("title")].toString(),
            QStringLiteral("TA"));
  const QByteArray head = server.LastRequest();
  EXPECT_TRUE(head.startsWith("POST /hook HTTP/1.1\r\n")) << head.toStdString();
  EXPECT_TRUE(head.contains("\r\nAuthorization: Basic c3RhdGlvbjpwdw==\r\n"));  // station:pw
  EXPECT_TRUE(head.contains("\r\nContent-Type: application/json\r\n"));
  EXPECT_FALSE(m_dir.Exists("db/errorlog.txt"));
}

// `data` as a gzip file: qCompress's zlib stream without its size prefix, zlib header and
// Adler-32, framed by the gzip header and the CRC-32 and length trailer.
QByteArray Gzip(const QByteArray& data) {
  const std::uint32_t crc = ~av_crc(av_crc_get_table(AV_CRC_32_IEEE_LE), ~0U,
                                    reinterpret_cast<const std::uint8_t*>(data.data()),
                                    static_cast<std::size_t>(data.size()));
  const QByteArray zlib = qCompress(data, 9);
  QByteArray gzip("\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\xff", 10);
  gzip += zlib.mid(6, zlib.size() - 10);
  for (const auto value : {crc, static_cast<std::uint32_t>(data.size())}) {
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
  // Why a request failed; empty when an answer came.
  static std::string Why(const HttpResponse& response) {
    return response.bOk ? std::string() : response.strError;
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
  EXPECT_EQ(Why(Get("loop.cht")), "the server redirected the request too often");
}

// However the server sends a whole answer, it arrives whole; whatever it does wrong, the
// request fails and says why. Every request keeps its limits, whatever the server does.
TEST_F(QtHttpClientTest, WholeAnswersArriveWholeAndBrokenCancelledOrRefusedOnesSayWhy) {
  using Mode = LocalHttpServer::Mode;
  const std::string strLine = "01/01/1990\\A\\T\\\r\n";
  const QByteArray plain = QByteArray::fromStdString(strLine).repeated(200);
  const QByteArray bomb = Gzip(QByteArray(qsizetype{8} * 1024 * 1024, 'x'));
  ASSERT_LT(bomb.size(), qsizetype{64} * 1024);
  const std::string strGzip = "Content-Encoding: gzip\r\n";
  const std::string strBroken = "the connection closed before the whole answer arrived";
  const std::string strTooLarge = "the answer is larger than the 65536 bytes allowed";
  const std::size_t nCap = std::size_t{64} * 1024;
  const struct {
    Mode mode;
    std::string strServed;
    std::size_t nCap;
    std::string strHeaders;
    std::string strExpected;  // the body, or the error of a failed request
    bool bOk;
  } cases[] = {
      // More than the idle limit in all, each byte within it.
      {Mode::kTrickle, strLine, nCap, "", strLine, true},
      {Mode::kChunked, strLine, nCap, "", strLine, true},
      {Mode::kNoLength, "two\r\nlines", nCap, "", "two\r\nlines", true},  // up to the close
      {Mode::kAnswer, "", nCap, "", "", true},
      {Mode::kAnswer, std::string(5000, 'y'), 5000, "", std::string(5000, 'y'), true},
      // A compressed body counts at its expanded size.
      {Mode::kAnswer, Gzip(plain).toStdString(), static_cast<std::size_t>(plain.size()), strGzip,
       plain.toStdString(), true},
      {Mode::kAnswer, bomb.toStdString(), nCap, strGzip, strTooLarge, false},
      {Mode::kAnswer, std::string(5000, 'y'), 4999, "",
       "the answer is larger than the 4999 bytes allowed", false},
      {Mode::kSilent, strLine, nCap, "", "timed out after 1 s without data", false},
      {Mode::kStall, strLine, nCap, "", "timed out after 1 s without data", false},
      {Mode::kTrickle, std::string(100000, 'y'), kCatalogueMaxBytes, "", "took longer than 3 s",
       false},
      {Mode::kTruncate, std::string(1000, 'y'), nCap, "", strBroken, false},
      {Mode::kBrokenChunks, strLine, nCap, "", strBroken, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    m_server.SetMode(c.mode);
    m_server.Serve("/a.hit", c.strServed, 200, c.strHeaders);
    const HttpResponse response = Get("a.hit", c.nCap);
    EXPECT_EQ(response.bOk, c.bOk) << response.strError;
    EXPECT_EQ(c.bOk ? response.strBody : response.strError, c.strExpected);
    if (c.bOk) {
      EXPECT_EQ(response.nStatus, 200);
    }
  }

  // Without a length the bytes are counted as they come, and the transfer ends early.
  const std::string strHuge(std::size_t{2} * 1024 * 1024, 'z');
  m_server.Serve("/huge.hit", strHuge);
  m_server.SetMode(Mode::kNoLength);
  long long nLastReceived = 0;
  m_client.SetProgressHandler([&](long long nReceived, long long) { nLastReceived = nReceived; });
  EXPECT_EQ(Why(Get("huge.hit", nCap)), strTooLarge);
  m_client.SetProgressHandler({});
  EXPECT_LT(nLastReceived, static_cast<long long>(strHuge.size() / 2));

  m_server.SetMode(Mode::kStall);
  QtHttpClient quick{300ms, 2000ms};
  EXPECT_EQ(Why(quick.Get({Url("a.hit"), 4096})), "timed out after 300 ms without data");

  // Cancelled and refused requests are failed connections.
  m_server.SetMode(Mode::kStall);
  QtHttpClient patient;  // the real timeouts, ended by the operator instead
  QTimer::singleShot(50, [&] { patient.Cancel(); });
  EXPECT_EQ(Why(patient.Get({Url("a.hit"), kCatalogueMaxBytes})), "cancelled");
  m_server.Close();
  EXPECT_NE(Why(Get("a.hit")), "");
  EXPECT_FALSE(m_client.Get({UpdateUrl("", "a.hit"), kCatalogueMaxBytes}).bOk);
}

}  // namespace
}  // namespace velvane
