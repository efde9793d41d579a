#include <gtest/gtest.h>

#include <string>

#include "app/DialogText.h"
#include "app/DialogUnits.h"

TEST(DegreeText, AcceptsBlanksPlusAndDigits)
{
    const struct {
        const char* text;
        std::uint32_t value;
    } accepted[] = {
        {"1", 1},        {"+4 ", 4},          {" \t+4\t ", 4}, {"007", 7},     {"0", 0},
        {"  0 ", 0},     {"4294967295", 4294967295u},        {"4294967296", 4294967295u},
        {"99999999999999999999", 4294967295u},
    };
    for (const auto& c : accepted) {
        std::uint32_t value = 123;
        EXPECT_TRUE(ParseDegreeText(c.text, value)) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST(DegreeText, RefusesEverythingElseAndKeepsTheValue)
{
    for (const char* text : {"", "   ", "-3", "-0", "abc", "4a", "+", "+0", "++4", "4 4", "1.5",
                             "0x10", "\n4", "4\n", " - 3"}) {
        std::uint32_t value = 77;
        EXPECT_FALSE(ParseDegreeText(text, value)) << '"' << text << '"';
        EXPECT_EQ(value, 77u) << text;
    }
}

TEST(DegreeText, ReadsAtMostThirtyOneCharacters)
{
    std::uint32_t value = 0;
    // Whatever follows the 31st character is never seen.
    EXPECT_TRUE(ParseDegreeText(std::string(30, ' ') + "5" + "junk", value));
    EXPECT_EQ(value, 5u);
    EXPECT_FALSE(ParseDegreeText(std::string(31, ' ') + "5", value));
    EXPECT_TRUE(ParseDegreeText(std::string(30, '0') + "12", value));
    EXPECT_EQ(value, 1u);
}

TEST(DegreeText, WritesUnsignedDecimal)
{
    EXPECT_EQ(FormatDegreeText(1), "1");
    EXPECT_EQ(FormatDegreeText(4294967295u), "4294967295");
}

TEST(SelectedPointText, SixDecimalsAndTheIndexFromZero)
{
    EXPECT_EQ(FormatSelectedPoint(-1, 0, 0), "Selected CP :");
    EXPECT_EQ(FormatSelectedPoint(0, 1.5, -2), "Selected CP : P0 (1.500000, -2.000000)");
    EXPECT_EQ(FormatSelectedPoint(12, 0.0000004, 123456.7890125),
              "Selected CP : P12 (0.000000, 123456.789012)");
    // The status bar writes the pointer's point in the same digits.
    EXPECT_EQ(FormatWorldPoint(-0.25, 10), "(-0.250000, 10.000000)");
}

TEST(CoordinateText, ReadsDecimalsWithAPointWithinTheBound)
{
    struct Case {
        const char* text;
        double value;
    };
    for (const Case& c : {Case{"1.5", 1.5}, Case{" -0.25\t", -0.25}, Case{"+3", 3}, Case{"1e1", 10},
                          Case{"-100", -100}, Case{"0.000001", 0.000001}, Case{"1.234568", 1.234568}}) {
        double value = 99;
        EXPECT_TRUE(ParseCoordinateText(c.text, value)) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
    for (const char* text : {"", " ", "+", "abc", "1,5", "1.5x", "+-3", "--1", "0x10", "1e", "inf", "-inf",
                             "nan", "100.0001", "-1e300", "1 2"}) {
        double value = 99;
        EXPECT_FALSE(ParseCoordinateText(text, value)) << text;
        EXPECT_EQ(value, 99) << text;
    }
    // What the box shows reads back as the number shown.
    double shown = 0;
    ASSERT_TRUE(ParseCoordinateText(FormatCoordinateText(-7.1234567), shown));
    EXPECT_EQ(FormatCoordinateText(shown), "-7.123457");
}

TEST(DialogUnits, BaseUnitsFromTheLetterAdvance)
{
    // 52 letters of 8 pixels: (416 / 26 + 1) / 2 = 8.
    const DialogBaseUnits base = ComputeDialogBaseUnits(416, 12);
    EXPECT_EQ(base.x, 8);
    EXPECT_EQ(base.y, 12);
    EXPECT_EQ(ComputeDialogBaseUnits(7 * 52 + 20, 13).x, 7);
}

TEST(DialogUnits, MappingRoundsLikeTheDialogManager)
{
    const DialogBaseUnits base{7, 13};
    EXPECT_EQ(DialogUnitsToPixelsX(1, base), 2);    // 1.75
    EXPECT_EQ(DialogUnitsToPixelsX(2, base), 4);    // 3.5 rounds up
    EXPECT_EQ(DialogUnitsToPixelsY(3, base), 5);    // 4.875
    EXPECT_EQ(DialogUnitsToPixelsY(4, base), 7);    // 6.5 rounds up
    EXPECT_EQ(DialogUnitsToPixelsX(-2, base), -4);  // away from zero
    // Sizes are differences of mapped edges, not mapped sizes.
    const PixelRect rect = MapDialogRect(1, 1, 1, 1, base);
    EXPECT_EQ(rect.x, 2);
    EXPECT_EQ(rect.width, DialogUnitsToPixelsX(2, base) - 2);
    EXPECT_EQ(rect.y, 2);
    EXPECT_EQ(rect.height, DialogUnitsToPixelsY(2, base) - 2);
    const PixelRect dialog = MapDialogRect(0, 0, 474, 233, {8, 12});
    EXPECT_EQ(dialog.width, 948);
    EXPECT_EQ(dialog.height, 350);
}
