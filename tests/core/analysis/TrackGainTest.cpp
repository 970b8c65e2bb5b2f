#include <gtest/gtest.h>

#include <limits>

#include "core/analysis/AnalysisResults.h"

namespace velvane {
namespace {

TrackMeasures Measured(double dLoudness, double dTruePeak) {
  TrackMeasures measures;
  measures.dLoudness = dLoudness;
  measures.dTruePeak = dTruePeak;
  return measures;
}

TEST(TrackGain, ReachesTheTargetUnlessThePeakWouldPassMinusOne) {
  EXPECT_DOUBLE_EQ(TrackGain(Measured(-26.0, -12.0), -16.0), 10.0);  // quiet, room to spare
  EXPECT_DOUBLE_EQ(TrackGain(Measured(-9.0, -0.2), -16.0), -7.0);    // loud: turned down
  EXPECT_DOUBLE_EQ(TrackGain(Measured(-20.0, -3.0), -16.0), 2.0);    // peak-limited, not 4
  EXPECT_DOUBLE_EQ(TrackGain(Measured(-16.0, 0.5), -16.0), -1.5);    // over the ceiling already
}

TEST(TrackGain, SilenceAndAbsurdResultsGiveNoEndlessGain) {
  const double dInfinity = std::numeric_limits<double>::infinity();
  EXPECT_DOUBLE_EQ(TrackGain(Measured(-dInfinity, -dInfinity), -16.0), 0.0);
  EXPECT_DOUBLE_EQ(TrackGain(Measured(std::numeric_limits<double>::quiet_NaN(), -3.0), -16.0), 0.0);
  EXPECT_DOUBLE_EQ(TrackGain(Measured(-200.0, -150.0), -16.0), 24.0);
  EXPECT_DOUBLE_EQ(TrackGain(Measured(90.0, 95.0), -16.0), -24.0);
}

}  // namespace
}  // namespace velvane
