#include "platform/QtHttpClient.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <memory>

#include "LocalHttpServer.h"
#include "core/updates/UpdateCatalogue.h"
#include "core/updates/UpdateMerge.h"
#include "support/FakeClock.h"
#include "support/FakePrompter.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

using namespace std::chrono_literals;

class QtHttpClientTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (QCoreApplication::instance() == nullptr) {
      static int argc = 1;
      static char name[] = "velvane_platform_tests";
      static char* argv[] = {name, nullptr};
      static QCoreApplication app(argc, argv);
    }
  }

  std::string Url(const std::string& strFile) const {
    return UpdateUrl(m_server.Address(), strFile);
  }

  LocalHttpServer m_server;
  QtHttpClient m_client{300ms};  // short, so a stalled server costs the test little
};

TEST_F(QtHttpClientTest, FetchesTheWholeBodyFreshWithTheAgentName) {
  const std::string strBody = "UK   CHTuk_251209.cht000120\r\n" + std::string(100000, 'x');
  m_server.Serve("/avail.cht", strBody);
  const HttpResponse response = m_client.Get(Url("avail.cht"));
  ASSERT_TRUE(response.bOk) << response.strError;
  EXPECT_EQ(response.nStatus, 200);
  EXPECT_EQ(response.strBody, strBody);
  const QByteArray request = m_server.LastRequest();
  EXPECT_TRUE(request.startsWith("GET /avail.cht HTTP/1.1\r\n"));
  EXPECT_TRUE(request.contains("User-Agent: ROLV Chart Access\r\n"));
  EXPECT_TRUE(request.contains("Cache-Control: no-cache"));

  const HttpResponse missing = m_client.Get(Url("nothing.cht"));
  EXPECT_TRUE(missing.bOk);  // an answer, though not the file
  EXPECT_EQ(missing.nStatus, 404);
}

TEST_F(QtHttpClientTest, RefusedStalledBrokenAndCancelledRequestsAreFailedConnections) {
  m_server.Serve("/a.hit", std::string(1000, 'y'));
  m_server.SetMode(LocalHttpServer::Mode::kTruncate);
  EXPECT_FALSE(m_client.Get(Url("a.hit")).bOk);

  m_server.SetMode(LocalHttpServer::Mode::kStall);
  QElapsedTimer timer;
  timer.start();
  EXPECT_FALSE(m_client.Get(Url("a.hit")).bOk);
  EXPECT_GE(timer.elapsed(), 250);  // it waited for the timeout, not for something else

  QtHttpClient patient;  // the real timeout, ended by the operator instead
  QTimer::singleShot(50, [&] { patient.Cancel(); });
  const HttpResponse cancelled = patient.Get(Url("a.hit"));
  EXPECT_FALSE(cancelled.bOk);
  EXPECT_EQ(cancelled.strError, "cancelled");

  m_server.Close();
  const HttpResponse refused = m_client.Get(Url("a.hit"));
  EXPECT_FALSE(refused.bOk);
  EXPECT_FALSE(refused.strError.empty());
  EXPECT_FALSE(m_client.Get(UpdateUrl("", "a.hit")).bOk);
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
  EXPECT_FALSE(ApplyUpdate(target, entry, m_client.Get(Url(entry.strFile))).bApplied);
  EXPECT_EQ(dir.Read("hits.dat"), "01/01/1990\\A\\T\\5\\2\\\r\n");
  EXPECT_EQ(dir.Read("hits.old"), "older\r\n");

  m_server.SetMode(LocalHttpServer::Mode::kAnswer);
  EXPECT_TRUE(ApplyUpdate(target, entry, m_client.Get(Url(entry.strFile))).bApplied);
  EXPECT_EQ(dir.Read("hits.old"), "01/01/1990\\A\\T\\5\\2\\\r\n");
}

}  // namespace
}  // namespace velvane
