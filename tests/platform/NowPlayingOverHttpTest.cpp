#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <chrono>
#include <functional>
#include <memory>
#include <sstream>
#include <thread>

#include "IcecastServer.h"
#include "LocalHttpServer.h"
#include "core/main/RadioFixture.h"
#include "platform/QtHttpClient.h"
#include "tool/Tool.h"

namespace velvane {
namespace {

using namespace std::chrono_literals;

// The core over the fake audio engine, its now-playing outputs with the real HTTP client.
class NowPlayingOverHttpTest : public RadioFixture {
 protected:
  NowPlayingOverHttpTest() {
    m_makeHttp = [](std::chrono::milliseconds timeout) -> std::unique_ptr<HttpClient> {
      return std::make_unique<QtHttpClient>(timeout, timeout);
    };
  }
  void StartWith(const std::function<void(Settings&)>& configure) {
    Start([&](Settings& settings) {
      configure(settings);
      settings.nPlayMode = 1;  // Auto Play
    });
  }
  // Serves the local server's requests (it answers in this thread) until `done` holds, then
  // waits for the outputs.
  void ServeUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 2000 && !done(); ++i) {
      QCoreApplication::processEvents();
      std::this_thread::sleep_for(10ms);
    }
    m_radio.Publisher().WaitIdle();
  }
  // The title the server shows once the source has sent data after it.
  std::string TitleOnceItIs(const IcecastServer& server, const std::string& strExpected) {
    m_radio.Publisher().WaitIdle();
    std::string strTitle = server.Title();
    for (int i = 0; i < 100 && strTitle != strExpected; ++i) {
      std::this_thread::sleep_for(50ms);
      strTitle = server.Title();
    }
    return strTitle;
  }
};

TEST_F(NowPlayingOverHttpTest, IcecastShowsEachTitleAutoPlayStartsAndRefusesAWrongPassword) {
  IcecastServer server;
  bool bMissing = false;
  const std::string strWhy = server.Start(bMissing);
  if (bMissing) {
    GTEST_SKIP() << strWhy;
  }
  ASSERT_EQ(strWhy, "");
  const std::string strHost = server.Address().substr(7);  // after "http://"
  StartWith([&](Settings& settings) {
    settings.strStreamServer = "http://source:hackme@" + strHost + "/live";
  });
  AddTrack(1, 1, "Bj\xC3\xB6rk", "J\xC3\xB3ga", 15000);
  AddTrack(1, 2, "Mot\xF6rhead", "Ace & Spades", 20000);  // stored in Windows-1252
  Queue(1, 1);
  Queue(1, 2);
  Play().OnPlayNextTrack();
  EXPECT_EQ(TitleOnceItIs(server, "Bj\xC3\xB6rk - J\xC3\xB3ga"), "Bj\xC3\xB6rk - J\xC3\xB3ga");
  ASSERT_TRUE(TickUntil([&] { return m_mci.IsOpen("Track2"); }));
  EXPECT_EQ(TitleOnceItIs(server, "Mot\xC3\xB6rhead - Ace & Spades"),
            "Mot\xC3\xB6rhead - Ace & Spades");
  Play().OnStopAllTracks();
  EXPECT_EQ(TitleOnceItIs(server, ""), "");

  // The tool's test title goes the same way.
  std::ostringstream out, err;
  ToolContext context{m_profile, m_clock, out, err};
  context.makeHttp = m_makeHttp;
  EXPECT_EQ(RunTool({"now-playing-test"}, context), kToolSuccess) << err.str();
  EXPECT_EQ(out.str(), "the stream server " + server.Address() + "/live works\n");
  EXPECT_EQ(TitleOnceItIs(server, "Velvane - Now playing test"), "Velvane - Now playing test");

  AdminFields fields = FillAdminFields(m_radio.GetSettings());
  fields.strStreamServer = "http://source:wrong-pw@" + strHost + "/live";
  ASSERT_TRUE(m_radio.OnAdminSaveAndExit(fields));
  Play().OnPlayCurrentTrack();
  m_radio.Publisher().WaitIdle();
  EXPECT_EQ(m_dir.Read("db/errorlog.txt"),
            "04/12/2026 17:59   Now playing: the stream server " + server.Address() +
                "/live stopped working: the server answered with HTTP status 401 (check the "
                "user name and password)\r\n");
}

TEST_F(NowPlayingOverHttpTest, TheWebHookGetsTheJsonWithTheCredentialsAsBasicAuthorisation) {
  LocalHttpServer server;
  server.Serve("/hook", "", 204);
  StartWith([&](Settings& settings) {
    settings.strWebHook = "http://station:pw@" + server.Address().substr(7) + "/hook";
  });
  QueueTracks({15000, 20000});
  Play().OnPlayNextTrack();
  ServeUntil([&] { return server.LastBody().contains("\"on_air\":true"); });
  const QJsonObject json = QJsonDocument::fromJson(server.LastBody()).object();
  EXPECT_EQ(json[QStringLiteral("artist")].toString(), QStringLiteral("A"));
  EXPECT_EQ(json[QStringLiteral("length_ms")].toInt(), 15000);
  EXPECT_EQ(json[QStringLiteral("next")].toObject()[QStringLiteral("title")].toString(),
            QStringLiteral("TB"));
  const QByteArray head = server.LastRequest();
  EXPECT_TRUE(head.startsWith("POST /hook HTTP/1.1\r\n")) << head.toStdString();
  EXPECT_TRUE(head.contains("\r\nAuthorization: Basic c3RhdGlvbjpwdw==\r\n"));  // station:pw
  EXPECT_TRUE(head.contains("\r\nContent-Type: application/json\r\n"));

  Play().OnStopAllTracks();
  ServeUntil([&] { return server.LastBody().contains("\"on_air\":false"); });
  EXPECT_EQ(server.LastBody().toStdString(), NowPlayingJson(NowPlaying{}));
  EXPECT_FALSE(m_dir.Exists("db/errorlog.txt"));

  // A server too slow for the limit (short here) is given up on, on the output's own thread.
  m_makeHttp = [](std::chrono::milliseconds) -> std::unique_ptr<HttpClient> {
    return std::make_unique<QtHttpClient>(1000ms, 300ms);
  };
  server.Serve("/slow", std::string(200, 'x'));
  server.SetMode("/slow", LocalHttpServer::Mode::kTrickle);
  AdminFields fields = FillAdminFields(m_radio.GetSettings());
  fields.strWebHook = server.Address() + "/slow";
  ASSERT_TRUE(m_radio.OnAdminSaveAndExit(fields));
  Play().OnPlayCurrentTrack();
  ServeUntil([&] { return server.LastRequest().startsWith("POST /slow "); });
  EXPECT_EQ(m_dir.Read("db/errorlog.txt"),
            "04/12/2026 17:59   Now playing: the web hook " + server.Address() +
                "/slow stopped working: took longer than 300 ms\r\n");
}

}  // namespace
}  // namespace velvane
