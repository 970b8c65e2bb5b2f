#include <gtest/gtest.h>

#include "support/SharedFakeHttp.h"
#include "tool/ToolFixture.h"

namespace velvane {
namespace {

class NowPlayingCommandTest : public ToolFixture {
 protected:
  SharedFakeHttp m_http;
};

TEST_F(NowPlayingCommandTest, TellsEveryOutputSetTheTestTitleAndSaysWhichWorked) {
  UseTempFolders();
  m_context.makeHttp = m_http.Maker();
  EXPECT_EQ(Run({"now-playing-test"}), kToolUsage);
  EXPECT_EQ(m_err.str(),
            "velvane-tool: no now-playing output is set; set one in the administration dialog's "
            "Now Playing group\n");

  const std::string strFile = m_db.Folder() + "np.txt";
  m_profile.PutString("General", "NowPlayingFile", strFile);
  m_profile.PutString("General", "NowPlayingTemplate", "%title% by %artist%");
  m_profile.PutString("General", "NowPlayingStreamServer", "http://source:pw@127.0.0.1:8000/live");
  m_profile.PutString("General", "NowPlayingWebHook", "http://127.0.0.1:9000/hook");
  m_http.Set(false, {false, 0, {}, "Connection refused"});
  EXPECT_EQ(Run({"now-playing-test", "extra"}), kToolUsage);
  EXPECT_EQ(Out({"now-playing-test"}, kToolNotFound),
            "the text file " + strFile +
                " works\nthe stream server http://127.0.0.1:8000/live failed: Connection refused\n"
                "the web hook http://127.0.0.1:9000/hook failed: Connection refused\n");
  EXPECT_EQ(m_db.Read("np.txt"), "Now playing test by Velvane");
}

}  // namespace
}  // namespace velvane
