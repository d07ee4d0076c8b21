#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "measure/numbers.h"

namespace {

TEST(Round, HalvesToEvenAndSaturates) {
  EXPECT_EQ(Round(2.5L), 2);
  EXPECT_EQ(Round(3.5L), 4);
  EXPECT_EQ(Round(-2.5L), -2);
  EXPECT_EQ(Round(-0.6L), -1);
  EXPECT_EQ(Round(1e30L), 1000000000);
  EXPECT_EQ(Round(-1e30L), -1000000000);
  EXPECT_EQ(Round(std::numeric_limits<Extended>::quiet_NaN()), 0);
  EXPECT_EQ(Round64(4.5e12L), 4500000000000LL);
}

TEST(FormatIniReal, WritesTheTwentyThreeCharacterForm) {
  struct Case {
    double value;
    const char* text;
  } cases[] = {
      {0.975, " 9.75000000000000E-0001"},
      {-25, "-2.50000000000000E+0001"},
      {0, " 0.00000000000000E+0000"},
      {1, " 1.00000000000000E+0000"},
      {3600, " 3.60000000000000E+0003"},
      {1e-300, " 1.00000000000000E-0300"},
  };
  for (const auto& c : cases) {
    const std::string text = FormatIniReal(c.value);
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(text.size(), 23u);
    double back = 0;
    ASSERT_TRUE(ParseDecimal(text, back));
    EXPECT_DOUBLE_EQ(back, c.value);
  }
}

TEST(ParseDecimal, AcceptsDecimalAndScientificOnly) {
  double v = -7;
  EXPECT_TRUE(ParseDecimal("0.9750", v));
  EXPECT_DOUBLE_EQ(v, 0.975);
  EXPECT_TRUE(ParseDecimal("  +1.5e2 ", v));
  EXPECT_DOUBLE_EQ(v, 150);
  for (const char* bad : {"", "  ", "1,5", "abc", "1.5x", "0x10", "inf", "nan", "1e999"}) {
    v = -7;
    EXPECT_FALSE(ParseDecimal(bad, v)) << bad;
    EXPECT_EQ(v, -7) << bad;
  }
}

TEST(FormatFixed, AlwaysShowsAPoint) {
  EXPECT_EQ(FormatFixed(1.25L, 3), "1.250");
  EXPECT_EQ(FormatFixed(-0.05L, 2), "-0.05");
  EXPECT_EQ(FormatFixed(12.0L, 0), "12");
  EXPECT_EQ(FormatFixed(0.1L + 0.2L, 4), "0.3000");
}

TEST(FormatFixed, WidthPadsWithLeadingBlanksOnly) {
  EXPECT_EQ(FormatFixedWidth(1.0023456789, 10, 12), "1.0023456789");
  EXPECT_EQ(FormatFixedWidth(0, 8, 12), "  0.00000000");
  EXPECT_EQ(FormatFixedWidth(-0.015, 3, 5), "-0.015");
  EXPECT_EQ(FormatFixedWidth(0.004, 3, 7), "  0.004");
}

}  // namespace
