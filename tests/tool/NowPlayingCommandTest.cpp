#include <gtest/gtest.h>

#include "support/SharedFakeHttp.h"
#include "tool/ToolFixture.h"

namespace velvane {
namespace {

class NowPlayingCommandTest : public ToolFixture {
 protected:
  NowPlayingCommandTest() {
    UseTempFolders();
    m_context.makeHttp = m_http.Maker();
  }
  SharedFakeHttp m_http;
};

TEST_F(NowPlayingCommandTest, TellsEveryOutputSetTheTestTitleAndSaysWhichWorked) {
  EXPECT_EQ(Run({"now-playing-test"}), kToolUsage);
  EXPECT_EQ(m_err.str(),
            "velvane-tool: no now-playing output is set; set one in the administration dialog's "
            "Now Playing group\n");

  const std::string strFile = m_db.Folder() + "np.txt";
  m_profile.PutString("General", "NowPlayingFile", strFile);
  m_profile.PutString("General", "NowPlayingTemplate", "%title% by %artist%");
  m_profile.PutString("General", "NowPlayingStreamServer", "http://source:pw@127.0.0.1:8000/live");
  m_profile.PutString("General", "NowPlayingWebHook", "http://127.0.0.1:9000/hook");
  m_http.Answer("http://127.0.0.1:9000/", {false, 0, {}, "Connection refused"});
  EXPECT_EQ(Run({"now-playing-test", "extra"}), kToolUsage);
  EXPECT_EQ(Run({"now-playing-test"}), kToolNotFound);
  EXPECT_EQ(m_out.str(),
            "the text file " + strFile +
                " works\n"
                "the stream server http://127.0.0.1:8000/live works\n"
                "the web hook http://127.0.0.1:9000/hook failed: Connection refused\n");
  EXPECT_EQ(m_db.Read("np.txt"), "Now playing test by Velvane");
  EXPECT_EQ(m_http.Requests().front(),
            "GET http://source:pw@127.0.0.1:8000/admin/metadata?mount=%2Flive&mode=updinfo&"
            "charset=UTF-8&song=Velvane%20-%20Now%20playing%20test");

  m_http.Answer("http://127.0.0.1:9000/", {true, 200, "", {}});
  EXPECT_EQ(Run({"now-playing-test"}), kToolSuccess);
}

}  // namespace
}  // namespace velvane
