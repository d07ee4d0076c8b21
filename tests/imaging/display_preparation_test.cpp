#include "imaging/display_preparation.h"

#include <gtest/gtest.h>

#include "reference_pixel_ops.h"
#include "test_images.h"

namespace {

TEST(DisplayPreparation, SteelMatchesTheReference) {
  const Bitmap iBild = test_images::Random(407, 123, 31);
  for (double r : {0.9, 0.5}) {
    Bitmap rBild(407, 123), dBild, rPlain, dPlain;
    PrepareForDrawing(iBild, rBild, dBild, r);
    reference::PrepareForDrawing(iBild, rPlain, dPlain, r);
    EXPECT_TRUE(rBild == rPlain) << r;
    EXPECT_TRUE(dBild == rBild) << r;
    EXPECT_EQ(rBild.Pixel(100, 100)[0], rBild.Pixel(100, 100)[2]);  // grey
  }
}

TEST(DisplayPreparation, PertinaxMatchesTheReference) {
  const Bitmap iBild = test_images::Random(301, 77, 32);
  Bitmap rBild = test_images::Random(301, 77, 33);
  Bitmap rPlain = rBild, dBild, dPlain;
  PrepareForDrawingPertinax(iBild, rBild, dBild);
  reference::PrepareForDrawingPertinax(iBild, rPlain, dPlain);
  EXPECT_TRUE(rBild == rPlain);
  EXPECT_TRUE(dBild == rBild);

  Bitmap wrongSize(3, 3);
  PrepareForDrawingPertinax(iBild, wrongSize, dBild);
  EXPECT_EQ(wrongSize.Width(), 301);
}

}  // namespace
