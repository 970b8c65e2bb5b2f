#include <gtest/gtest.h>

#include <limits>

#include "core/analysis/AnalysisResults.h"

namespace velvane {
namespace {

TEST(TrackGain, ReachesTheTargetUnlessThePeakWouldPassMinusOne) {
  EXPECT_DOUBLE_EQ(TrackGain({-26.0, -12.0, 0, 0}, -16.0), 10.0);  // quiet, room to spare
  EXPECT_DOUBLE_EQ(TrackGain({-9.0, -0.2, 0, 0}, -16.0), -7.0);    // loud: turned down
  EXPECT_DOUBLE_EQ(TrackGain({-20.0, -3.0, 0, 0}, -16.0), 2.0);    // peak-limited, not 4
  EXPECT_DOUBLE_EQ(TrackGain({-16.0, 0.5, 0, 0}, -16.0), -1.5);    // over the ceiling already
}

TEST(TrackGain, SilenceAndAbsurdResultsGiveNoEndlessGain) {
  const double dInfinity = std::numeric_limits<double>::infinity();
  const double dNaN = std::numeric_limits<double>::quiet_NaN();
  EXPECT_DOUBLE_EQ(TrackGain({-dInfinity, -dInfinity, 0, 0}, -16.0), 0.0);
  EXPECT_DOUBLE_EQ(TrackGain({dNaN, -3.0, 0, 0}, -16.0), 0.0);
  EXPECT_DOUBLE_EQ(TrackGain({-200.0, -150.0, 0, 0}, -16.0), 24.0);
  EXPECT_DOUBLE_EQ(TrackGain({90.0, 95.0, 0, 0}, -16.0), -24.0);
}

}  // namespace
}  // namespace velvane
