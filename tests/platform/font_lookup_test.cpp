// Font lookup on a machine set up by scripts/install-deps: Liberation fonts
// (the metric twins of Arial) and IPA Gothic, but no Arial itself.
#include <gtest/gtest.h>

#include "platform/font_lookup.h"

namespace {

TEST(FontLookup, InstalledMeansTheFamilyItselfNotASubstitute) {
  EXPECT_TRUE(FontFamilyInstalled("Liberation Sans"));
  EXPECT_TRUE(FontFamilyInstalled("liberation sans"));
  EXPECT_FALSE(FontFamilyInstalled("Arial"));
  EXPECT_FALSE(FontFamilyInstalled("Arial Unicode MS"));
  EXPECT_FALSE(FontFamilyInstalled(""));
}

TEST(FontLookup, ArialPrintsInItsMetricTwinRegularAndBold) {
  const auto regular = MatchFontFace("Arial", false);
  const auto bold = MatchFontFace("Arial", true);
  ASSERT_TRUE(regular && bold);
  EXPECT_EQ(regular->family, "Liberation Sans");
  EXPECT_EQ(regular->file.filename(), "LiberationSans-Regular.ttf");
  EXPECT_EQ(bold->file.filename(), "LiberationSans-Bold.ttf");
}

TEST(FontLookup, CharactersALatinFaceLacksComeFromAFaceThatHasThem) {
  const auto arial = MatchFontFace("Arial", false);
  ASSERT_TRUE(arial);
  EXPECT_TRUE(FaceHasCharacter(*arial, U'A'));
  EXPECT_TRUE(FaceHasCharacter(*arial, U'\u00b1'));
  EXPECT_FALSE(FaceHasCharacter(*arial, U'\u7e26'));
  for (char32_t c : {U'\u7e26', U'\u30b8', U'\u3044'}) {
    const auto fallback = FallbackFace("Arial", false, c);
    ASSERT_TRUE(fallback) << static_cast<unsigned>(c);
    EXPECT_TRUE(FaceHasCharacter(*fallback, c));
    EXPECT_NE(fallback->file, arial->file);
  }
  EXPECT_FALSE(FallbackFace("Arial", false, U'\U0010FFFD'));  // a private-use code point nobody prints
}

}  // namespace
