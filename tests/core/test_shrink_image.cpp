// Pictures larger than OpenGL takes as a texture, made to fit: the size kept
// in proportion, each pixel the mean of the block it covers.

#include <gtest/gtest.h>

#include <vector>

#include "core/bmp/ShrinkImage.h"

TEST(ShrinkImage, TheLongerSideBecomesTheLimitAndTheOtherKeepsTheProportion)
{
    EXPECT_EQ(FitWithin({32768, 2048}, 16384), (PictureSize{16384, 1024}));
    EXPECT_EQ(FitWithin({2048, 32768}, 16384), (PictureSize{1024, 16384}));
    EXPECT_EQ(FitWithin({16385, 1}, 16384), (PictureSize{16384, 1}));
    EXPECT_EQ(FitWithin({300, 200}, 64), (PictureSize{64, 43}));   // 42.67 rounded
    EXPECT_EQ(FitWithin({3, 5000}, 100), (PictureSize{1, 100}));   // never below a pixel
    EXPECT_EQ(FitWithin({40, 30}, 40), (PictureSize{40, 30}));     // fits: unchanged
    EXPECT_EQ(FitWithin({40, 30}, 0), (PictureSize{1, 1}));        // no usable limit
}

TEST(ShrinkImage, EachPixelIsTheRoundedMeanOfTheBlockItCovers)
{
    // 5 x 2, red 10 x + 100 y, blue y (row 0 is the bottom), to 2 x 1: the
    // blocks are columns 0-1 and 2-4 of both rows.
    RgbImage image{5, 2, {}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 5; ++x)
            image.pixels.insert(image.pixels.end(), {static_cast<unsigned char>(10 * x + 100 * y), 255,
                                                     static_cast<unsigned char>(y)});
    const RgbImage shrunk = ShrinkImage(image, {2, 1});
    EXPECT_EQ(shrunk.width, 2);
    EXPECT_EQ(shrunk.height, 1);
    // (0 + 10 + 100 + 110) / 4 = 55 and 2 / 4 rounds to 1; 480 / 6 = 80.
    EXPECT_EQ(shrunk.pixels, (std::vector<unsigned char>{55, 255, 1, 80, 255, 1}));
    EXPECT_EQ(ShrinkImage(image, {5, 2}).pixels, image.pixels) << "the same size, the same picture";

    // A size beyond the picture is kept within it: never grown, never empty.
    const RgbImage clamped = ShrinkImage(image, {10, 0});
    EXPECT_EQ(clamped.width, 5);
    EXPECT_EQ(clamped.height, 1);
    EXPECT_EQ(clamped.pixels[3], 60) << "(10 + 110) / 2";
    EXPECT_TRUE(ShrinkImage(RgbImage{}, {4, 4}).pixels.empty());
}
