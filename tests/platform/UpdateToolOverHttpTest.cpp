#include <gtest/gtest.h>

#include "LocalHttpServer.h"
#include "platform/QtHttpClient.h"
#include "tool/ToolFixture.h"

namespace velvane {
namespace {

using namespace std::chrono_literals;

// velvane-tool's updates command against a real server that misbehaves.
class UpdateToolOverHttpTest : public ToolFixture {
 protected:
  UpdateToolOverHttpTest() {
    m_clock.Set(2026, 12, 6);
    m_context.pHttp = &m_http;
    m_args = {"--db", m_db.Folder(), "updates", "--server", m_server.Address()};
    m_db.Write("charts.dat", kCharts);
    m_db.Write("charts.old", "older\r\n");
    m_server.Serve("/avail.cht", "UK   CHTuk_020200.cht000002\r\n");
  }

  // A failed run prints one line on stderr, nothing on stdout, and changes nothing.
  void ExpectFailedWithOneLine(const std::vector<std::string>& args) {
    EXPECT_EQ(Out(args, kToolUsage), "");
    const std::string strErr = m_err.str();
    EXPECT_EQ(strErr.find('\n'), strErr.size() - 1) << strErr;
    EXPECT_EQ(m_db.Read("charts.dat"), kCharts);
    EXPECT_EQ(m_db.Read("charts.old"), "older\r\n");
  }

  static constexpr const char* kCharts = "01/01/1990\\Old\\Entry\\4\\-1\\\r\n";
  LocalHttpServer m_server;
  QtHttpClient m_http{1000ms, 3000ms};
};

TEST_F(UpdateToolOverHttpTest, AFailedTransferExitsTwoAndChangesNothing) {
  const std::string strUpdate =
      "02/02/2000\\New\\Entry\\1\\-1\\\r\n02/02/2000\\Next\\One\\2\\-1\\\r\n";
  const struct {
    LocalHttpServer::Mode mode;
    std::string strBody;
    const char* pszWhy;
  } cases[] = {
      {LocalHttpServer::Mode::kBrokenChunks, strUpdate, "Internet connection failed"},
      {LocalHttpServer::Mode::kTruncate, strUpdate, "Internet connection failed"},
      {LocalHttpServer::Mode::kStall, strUpdate, "timed out after 1 s without data"},
      {LocalHttpServer::Mode::kAnswer, std::string(2 * 600 + 4096 + 1, '\n'), "bytes allowed"},
      {LocalHttpServer::Mode::kAnswer, "", "holds no records"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pszWhy);
    m_server.Serve("/uk_020200.cht", c.strBody);
    m_server.SetMode("/uk_020200.cht", c.mode);  // the catalogue still arrives whole
    ExpectFailedWithOneLine({"--apply", "uk_020200.cht"});
    EXPECT_NE(m_err.str().find(c.pszWhy), std::string::npos) << m_err.str();
  }
  // A broken catalogue is a failure, not an empty list.
  m_server.SetMode(LocalHttpServer::Mode::kBrokenChunks);
  ExpectFailedWithOneLine({});
  EXPECT_EQ(m_err.str().rfind("velvane-tool: Internet connection failed (", 0), 0u) << m_err.str();
}

}  // namespace
}  // namespace velvane
