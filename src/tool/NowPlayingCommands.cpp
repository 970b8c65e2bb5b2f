#include <memory>

#include "core/nowplaying/NowPlayingOutputs.h"
#include "tool/ToolEnvironment.h"

namespace velvane {

int RunNowPlayingTest(ToolEnvironment& env, const std::vector<std::string>& args) {
  if (!env.NoArguments("now-playing-test", args)) {
    return kToolUsage;
  }
  NowPlaying test;
  test.bOnAir = true;
  test.onAir = {
      {"Velvane", "Now playing test", "", ""}, IsoUtcTime(env.context.clock.NowUtc()), 0, 1};
  int nOutputs = 0;
  int nFailed = 0;
  for (const NowPlayingOutputKind kind : kNowPlayingOutputKinds) {
    const std::unique_ptr<NowPlayingOutput> pOutput =
        MakeNowPlayingOutput(kind, env.settings, env.context.makeHttp);
    if (!pOutput) {
      continue;
    }
    ++nOutputs;
    const std::string strError = pOutput->Send(test);
    nFailed += strError.empty() ? 0 : 1;
    env.context.out << pOutput->Name() << (strError.empty() ? " works" : " failed: " + strError)
                    << '\n';
  }
  if (nOutputs == 0) {
    env.context.err << "velvane-tool: no now-playing output is set; set one in the "
                       "administration dialog's Now Playing group\n";
    return kToolUsage;
  }
  return nFailed == 0 ? kToolSuccess : kToolNotFound;
}

}  // namespace velvane
