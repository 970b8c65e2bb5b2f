#include "core/main/Fader.h"

#include <gtest/gtest.h>

namespace velvane {
namespace {

TEST(Fader, StepCoversTheFadeTimeInWholeTicks) {
  EXPECT_EQ(Fader::StepFor(5, 100), 20);
  EXPECT_EQ(Fader::StepFor(3, 70), 23);
  EXPECT_EQ(Fader::StepFor(5, 0), 1000);  // read from an unchecked configuration
  EXPECT_EQ(Fader::StepFor(0, 100), 1000);
  EXPECT_EQ(Fader::StepFor(2147483647, 10), 1);  // a damaged setting: slow, but it ends
}

TEST(Fader, FadesStopAtTheEndAndKeepTheirDeck) {
  Decks decks;
  decks[0].nSlider = 990;
  decks[1].nSlider = 1000;
  Fader fader;
  fader.Start(FadeRole::kCurrent, 1, decks[0].nSlider, 20);
  fader.Start(FadeRole::kLast, 2, decks[1].nSlider, 20);  // already silent: fades back in
  EXPECT_TRUE(fader.Step(FadeRole::kCurrent, decks));
  EXPECT_EQ(decks[0].nSlider, 1000);
  EXPECT_FALSE(fader.Running(FadeRole::kCurrent));
  EXPECT_FALSE(fader.Step(FadeRole::kCurrent, decks));

  EXPECT_TRUE(fader.Step(FadeRole::kLast, decks));
  EXPECT_EQ(decks[1].nSlider, 980);
  EXPECT_TRUE(fader.Running(FadeRole::kLast));
  decks[1].nSlider = 10;  // moved by the operator: the fade ends at the top
  EXPECT_TRUE(fader.Step(FadeRole::kLast, decks));
  EXPECT_EQ(decks[1].nSlider, 0);
  EXPECT_FALSE(fader.Running(FadeRole::kLast));
}

}  // namespace
}  // namespace velvane
