#include "editors/TextParsing.h"

#include <gtest/gtest.h>

using namespace quorrel::editors;

TEST(TextParsing, UnsignedReadsDigitsFromTheStart)
{
    EXPECT_EQ(ParseUnsignedText("200px"), 200);
    EXPECT_EQ(ParseUnsignedText("  17"), 17);
    EXPECT_EQ(ParseUnsignedText("+8"), 8);
    EXPECT_EQ(ParseUnsignedText("-5"), -5);
    EXPECT_EQ(ParseUnsignedText(""), std::nullopt);
    EXPECT_EQ(ParseUnsignedText("px200"), std::nullopt);
    EXPECT_EQ(ParseUnsignedText("-"), std::nullopt);
    // A huge number stays huge rather than wrapping into range.
    EXPECT_GT(*ParseUnsignedText("99999999999999999999999"), 1024);
}

TEST(TextParsing, IntegerCellsReadTheLeadingNumber)
{
    EXPECT_EQ(ParseIntText("-7x"), -7);
    EXPECT_EQ(ParseIntText("abc"), 0);
    EXPECT_EQ(ParseIntText(""), 0);
    EXPECT_EQ(ParseIntText(" 42 "), 42);
    EXPECT_EQ(ParseIntText("2147483647"), 2147483647);
    EXPECT_EQ(ParseIntText("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(ParseIntText("99999999999"), 2147483647);
}

TEST(TextParsing, DecimalCellsUseAPoint)
{
    EXPECT_DOUBLE_EQ(ParseDoubleText("1.234"), 1.234);
    EXPECT_DOUBLE_EQ(ParseDoubleText("-0.5"), -0.5);
    EXPECT_DOUBLE_EQ(ParseDoubleText(" 2.5abc"), 2.5);
    EXPECT_DOUBLE_EQ(ParseDoubleText("1,5"), 1.0);
    EXPECT_DOUBLE_EQ(ParseDoubleText(""), 0.0);
    EXPECT_DOUBLE_EQ(ParseDoubleText("x1"), 0.0);
    EXPECT_DOUBLE_EQ(ParseDoubleText("nan"), 0.0);
}
