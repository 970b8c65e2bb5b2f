#include <unistd.h>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <thread>

#include "EncodedAudio.h"
#include "LocalHttpServer.h"
#include "core/main/RadioFixture.h"
#include "platform/QtHttpClient.h"

extern "C" {
#include <libavformat/avio.h>
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
// with FFmpeg's icecast protocol streaming a generated mp3 to /live as an encoder would.
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
    std::ifstream file(mp3, std::ios::binary);
    m_source = std::thread(&NowPlayingIcecastTest::Stream, this,
                           std::string(std::istreambuf_iterator<char>(file), {}));
    ASSERT_EQ(TitleOnceItIs(""), "") << m_server.readAll().toStdString();  // the mount is up
  }
  void TearDown() override {
    m_bStop = true;
    if (m_source.joinable()) {
      m_source.join();
    }
    m_server.kill();
    m_server.waitForFinished();
  }
  // Sends the mp3 again and again in small steps (Icecast puts a new title into the stream
  // with the data that follows it), once the server takes the source.
  void Stream(const std::string& strMp3) {
    const std::string strUrl = "icecast://source:hackme@" + m_strAddress + "/live";
    AVIOContext* pIo = nullptr;
    while (!m_bStop && pIo == nullptr) {
      AVDictionary* pOptions = nullptr;
      av_dict_set(&pOptions, "content_type", "audio/mpeg", 0);
      if (avio_open2(&pIo, strUrl.c_str(), AVIO_FLAG_WRITE, nullptr, &pOptions) < 0) {
        std::this_thread::sleep_for(50ms);
      }
      av_dict_free(&pOptions);
    }
    for (std::size_t nPos = 0; !m_bStop; nPos = (nPos + 4096) % strMp3.size()) {
      const std::size_t nSize = std::min<std::size_t>(4096, strMp3.size() - nPos);
      avio_write(pIo, reinterpret_cast<const unsigned char*>(&strMp3[nPos]),
                 static_cast<int>(nSize));
      avio_flush(pIo);
      std::this_thread::sleep_for(20ms);
    }
    avio_closep(&pIo);
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
  std::atomic<bool> m_bStop{false};
  std::thread m_source;
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

}  // namespace
}  // namespace velvane
