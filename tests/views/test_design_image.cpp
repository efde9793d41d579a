// The offscreen picture of a design is drawn in bands of rows, each the whole
// frame seen through a window of its rows: the bands must join into the
// picture drawn in one piece, with no seam.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "views/DesignImage.h"

namespace {

constexpr int kWidth = 600;
constexpr int kHeight = 500;

Design TurnedVase()
{
    Design design;
    design.profile = {{2.5, -7, 0}, {7, -4.5, 0}, {3, 0, 0}, {2, 3, 0}, {4, 6, 0}};
    design.path = {{0, -5, 0}, {0, 5, 0}};
    const float c = std::cos(0.61f), s = std::sin(0.61f);
    const float rotation[16] = {1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1};
    std::copy(rotation, rotation + 16, design.viewRotation);
    design.viewDistance = 17.5f;
    return design;
}

// Stripes of three colours, 5 pixels wide, over 64 x 64 pixels.
std::unique_ptr<RgbImage> Stripes()
{
    auto image = std::make_unique<RgbImage>(RgbImage{64, 64, {}});
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            image->pixels.insert(image->pixels.end(), {static_cast<unsigned char>(x / 5 % 3 == 0 ? 220 : 30),
                                                       static_cast<unsigned char>(x / 5 % 3 == 1 ? 200 : 40),
                                                       static_cast<unsigned char>(y * 3)});
    return image;
}

// The picture's rows, top first, drawn in bands of `bandRows` rows.
std::vector<unsigned char> Render(RenderMode mode, int bandRows)
{
    std::vector<unsigned char> picture;
    const Result<PictureSize> drawn =
        RenderDesignImage(TurnedVase(), Stripes(), mode, kWidth, kHeight,
                          [&](const unsigned char* row) { picture.insert(picture.end(), row, row + 3 * kWidth); },
                          long(kWidth) * bandRows);
    EXPECT_TRUE(drawn) << drawn.Error();
    EXPECT_EQ(*drawn, (PictureSize{64, 64}));
    return picture;
}

}  // namespace

TEST(DesignImage, BandsJoinIntoThePictureDrawnWhole)
{
    for (const RenderMode mode : {RenderMode::Solid, RenderMode::Wireframe, RenderMode::Point}) {
        const std::vector<unsigned char> whole = Render(mode, kHeight);
        ASSERT_EQ(whole.size(), std::size_t(3) * kWidth * kHeight);
        long surface = 0;  // bytes not white
        for (const unsigned char byte : whole)
            surface += byte < 250;
        ASSERT_GT(surface, kWidth * kHeight / 100) << "the surface is in the picture";
        // 37 rows a band: 14 bands, the last one short.
        const std::vector<unsigned char> banded = Render(mode, 37);
        ASSERT_EQ(banded.size(), whole.size());
        long differing = 0;
        for (int y = 0; y < kHeight; ++y) {
            long inRow = 0;
            for (int x = 0; x < 3 * kWidth; x += 3) {
                const std::size_t at = std::size_t(y) * 3 * kWidth + x;
                inRow += std::abs(whole[at] - banded[at]) + std::abs(whole[at + 1] - banded[at + 1]) +
                             std::abs(whole[at + 2] - banded[at + 2]) != 0;
            }
            // A seam would be a whole row, or most of one, amiss.
            EXPECT_LE(inRow, 3) << "row " << y;
            differing += inRow;
        }
        // Only the rounding of a window coordinate may differ: a few edge pixels.
        EXPECT_LE(differing, kWidth * kHeight / 2000) << static_cast<int>(mode);
        std::printf("%ld pixels differ\n", differing);
    }
}
