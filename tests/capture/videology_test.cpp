#include <gtest/gtest.h>

#include "capture/videology.h"

namespace {

TEST(Videology, ShutterTableListsTheTwentyStepsInOrder) {
  for (int i = 0; i < kShutterStepCount; ++i) EXPECT_EQ(kShutterSteps[i].value, i);
  EXPECT_EQ(kShutterSteps[ssc7_5].name, "ssc7_5");
  EXPECT_EQ(kShutterSteps[ssc7_5].text, "2/15");
  EXPECT_EQ(kShutterSteps[ssc50].text, "1/50 ");
  EXPECT_EQ(kShutterSteps[ssc250].text, "1/250 ");
  EXPECT_EQ(kShutterSteps[sscMax].text, " Max");
  EXPECT_EQ(kShutterSteps[ssc5000].text, "1/5000");
}

TEST(Videology, ExposureTimesShortenStepByStep) {
  EXPECT_DOUBLE_EQ(ShutterSeconds(ssc2), 0.5);
  EXPECT_DOUBLE_EQ(ShutterSeconds(ssc7_5), 2.0 / 15);
  for (int step = 1; step < sscMax; ++step) EXPECT_LT(ShutterSeconds(step), ShutterSeconds(step - 1));
  EXPECT_EQ(ShutterSeconds(sscMax), 0);
  EXPECT_EQ(ShutterSeconds(-1), 0);
  EXPECT_EQ(ShutterSeconds(kShutterStepCount), 0);
}

}  // namespace
