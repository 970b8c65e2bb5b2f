// The desktop program's media ports over the real module, and without it.
#include "app/MediaOnDemand.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/EncodedAudio.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

TEST(MediaOnDemandTest, AnalysesOnSeveralThreadsAtOnceAndPlays) {
  TempDir dir;
  const auto path = dir.Path() / "tone.wav";
  ASSERT_EQ(SoxSine(path, 2.0, "vol 0.5"), "");
  MediaOnDemand media(QStringLiteral(VELVANE_APP_DIR));
  // The first use comes from worker threads together: one analyser is made, and shared.
  std::vector<TrackMeasures> measures(3);
  std::vector<std::thread> threads;
  threads.reserve(measures.size());
  for (TrackMeasures& measure : measures) {
    threads.emplace_back([&media, &path, &measure] {
      std::string strError;
      EXPECT_TRUE(media.Analyse(path.string(), measure, strError)) << strError;
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  EXPECT_EQ(media.Problem(), "");
  EXPECT_NEAR(measures[0].dTruePeak, -6.0, 0.1);
  EXPECT_EQ(measures[1].dLoudness, measures[0].dLoudness);
  // Before the first deck opens, the start-up's stop answers as the engine would.
  std::string strReply;
  EXPECT_EQ(media.SendString("stop deck1", strReply), kMciErrInvalidDeviceName);
  EXPECT_EQ(media.SendString(" oPeN \"" + path.string() + "\" alias deck1", strReply), 0);
  EXPECT_EQ(media.SendString("status deck1 length", strReply), 0);
  EXPECT_EQ(strReply, "2000");
  EXPECT_NE(media.HttpMaker()(std::chrono::milliseconds(100)), nullptr);
}

TEST(MediaOnDemandTest, WithoutTheModuleEveryPortFailsAndSaysWhy) {
  TempDir dir;  // a program folder with no module beside it
  MediaOnDemand media(QString::fromStdString(dir.Path().string()));
  EXPECT_NE(media.Problem().find("velvane-media"), std::string::npos) << media.Problem();
  std::string strReply;
  EXPECT_EQ(media.SendString("open \"x.wav\" alias deck1", strReply), kMciErrCannotLoadDriver);
  media.SetGain("deck1", -3.0);
  TrackMeasures measures;
  std::string strError;
  EXPECT_FALSE(media.Analyse("x.wav", measures, strError));
  EXPECT_EQ(strError, "cannot load the media module: " + media.Problem());
  FileTags tags;
  EXPECT_FALSE(media.ReadTags("x.mp3", tags));
  const HttpResponse response = media.Get({"http://127.0.0.1:9/", 100});
  EXPECT_FALSE(response.bOk);
  EXPECT_EQ(response.strError, strError);
  media.Cancel();
  EXPECT_EQ(media.HttpMaker()(std::chrono::milliseconds(100)), nullptr);
}

}  // namespace
}  // namespace velvane
