#include <gtest/gtest.h>

#include "support/FakeHttpClient.h"
#include "tool/ToolFixture.h"

namespace velvane {
namespace {

constexpr const char* kServer = "http://127.0.0.1:8080/";

class UpdateCommandTest : public ToolFixture {
 protected:
  UpdateCommandTest() {
    m_clock.Set(2026, 12, 6);
    m_context.pHttp = &m_http;
    m_args = {"--db", m_db.Folder(), "updates", "--server", "127.0.0.1:8080"};
    m_db.Write("playlist.dat", "00502\\Local\\Song\\0\\\r\n");
    m_db.Write("charts.dat", "01/01/1990\\Old\\Entry\\4\\0\\\r\n");
    m_http.m_answers[std::string(kServer) + "avail.cht"] = {
        true, 200, "US   HITus_010190.hit000002\r\nUK   CHTuk_020200.cht000002\r\n", {}};
  }

  FakeHttpClient m_http;
};

TEST_F(UpdateCommandTest, ListsAndAppliesByNameAndARefusedUpdateExitsTwoAndChangesNothing) {
  m_http.m_answers[std::string(kServer) + "us_010190.hit"] = {
      true, 200, "01/01/1990\\A\\T\\\r\n", {}};  // one line where the listing says two
  m_db.Write("hits.dat", "01/01/1990\\A\\T\\5\\2\\\r\n");
  EXPECT_EQ(Out({"--apply", "us_010190.hit"}, kToolUsage), "");
  EXPECT_EQ(m_err.str(),
            "velvane-tool: The update was not applied: The update us_010190.hit arrived with 1 "
            "complete lines where the listing says 2. Nothing has been changed.\n");
  EXPECT_EQ(m_db.Read("hits.dat"), "01/01/1990\\A\\T\\5\\2\\\r\n");
  EXPECT_FALSE(m_db.Exists("hits.old") || m_db.Exists("charts.old"));
  // The catalogue's count is the cap's measure: two records may take 2 * 600 + 4096 bytes.
  ASSERT_EQ(m_http.m_requests.size(), 2u);
  EXPECT_EQ(m_http.m_requests[0].nMaxBytes, 4u * 1024 * 1024);
  EXPECT_EQ(m_http.m_requests[1].strUrl, std::string(kServer) + "us_010190.hit");
  EXPECT_EQ(m_http.m_requests[1].nMaxBytes, 2u * 600 + 4096);

  // The listing comes sorted, and a chart update is applied by its name.
  EXPECT_EQ(Out({}),
            "  UK   \tChart Database\t02/02/00\tuk_020200.cht\n"
            "  US   \tNumber One Database\t01/01/90\tus_010190.hit\n");

  m_http.m_answers[std::string(kServer) + "uk_020200.cht"] = {
      true, 200, "02/02/2000\\New\\Entry\\1\\-1\\\r\n02/02/2000\\Next\\One\\2\\-1\\\r\n", {}};
  EXPECT_EQ(Out({"--apply", "uk_020200.cht"}),
            "The chart database has been updated.\nIf it has previously been modified manually "
            "you should rebuild the relationships\n");
  EXPECT_EQ(m_db.Read("charts.dat"),
            "02/02/2000\\Old\\Entry\\1\\0\\\r\n02/02/2000\\Next\\One\\2\\-1\\\r\n");

  EXPECT_EQ(Run({"--apply", "nothing.cht"}), kToolUsage);
  EXPECT_EQ(m_err.str(), "velvane-tool: nothing.cht is not in the update listing\n");

  // A catalogue the server does not give is said as such, for listing and applying alike.
  m_http.m_answers[std::string(kServer) + "avail.cht"] = {true, 404, "Not Found", {}};
  const std::string strCharts = m_db.Read("charts.dat");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, std::vector<std::string>{"--apply", "uk_020200.cht"}}) {
    EXPECT_EQ(Out(args, kToolUsage), "");
    EXPECT_EQ(m_err.str(), "velvane-tool: The update server answered 404 for avail.cht\n");
  }
  EXPECT_EQ(m_db.Read("charts.dat"), strCharts);

  m_http.m_answers.clear();
  EXPECT_EQ(Run({}), kToolUsage);
  EXPECT_EQ(m_err.str(), "velvane-tool: Internet connection failed (Connection refused)\n");
}

}  // namespace
}  // namespace velvane
