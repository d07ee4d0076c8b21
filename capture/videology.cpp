#include "capture/videology.h"

const std::array<ShutterStep, kShutterStepCount> kShutterSteps = {{
    {ssc2, "ssc2", "1/2", 1.0 / 2},
    {ssc4, "ssc4", "1/4", 1.0 / 4},
    {ssc7_5, "ssc7_5", "2/15", 2.0 / 15},
    {ssc15, "ssc15", "1/15", 1.0 / 15},
    {ssc20, "ssc20", "1/20", 1.0 / 20},
    {ssc30, "ssc30", "1/30", 1.0 / 30},
    {ssc50, "ssc50", "1/50 ", 1.0 / 50},
    {ssc60, "ssc60", "1/60", 1.0 / 60},
    {ssc100, "ssc100", "1/100", 1.0 / 100},
    {ssc120, "ssc120", "1/120", 1.0 / 120},
    {ssc200, "ssc200", "1/200", 1.0 / 200},
    {ssc250, "ssc250", "1/250 ", 1.0 / 250},
    {ssc500, "ssc500", "1/500", 1.0 / 500},
    {ssc750, "ssc750", "1/750", 1.0 / 750},
    {ssc1000, "ssc1000", "1/1000", 1.0 / 1000},
    {ssc2000, "ssc2000", "1/2000", 1.0 / 2000},
    {ssc3000, "ssc3000", "1/3000", 1.0 / 3000},
    {ssc4000, "ssc4000", "1/4000", 1.0 / 4000},
    {ssc5000, "ssc5000", "1/5000", 1.0 / 5000},
    {sscMax, "sscMax", " Max", 0},
}};

double ShutterSeconds(int value) {
  if (value < 0 || value >= kShutterStepCount) return 0;
  return kShutterSteps[static_cast<std::size_t>(value)].seconds;
}
