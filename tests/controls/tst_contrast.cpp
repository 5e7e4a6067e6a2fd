// Colours that stay legible on any palette: the contrast of two colours,
// and a mark's colour moved just far enough from its background.

#include "controls/Contrast.h"

#include <gtest/gtest.h>

using namespace quorrel::controls;

namespace {

struct Pair {
    QColor a, b;
    double ratio;
};

class ContrastRatios : public ::testing::TestWithParam<Pair> {};

TEST_P(ContrastRatios, FollowTheRelativeLuminanceOfBoth)
{
    const Pair& c = GetParam();
    EXPECT_NEAR(ContrastRatio(c.a, c.b), c.ratio, 0.01);
    EXPECT_NEAR(ContrastRatio(c.b, c.a), c.ratio, 0.01);
}

INSTANTIATE_TEST_SUITE_P(
    Colours, ContrastRatios,
    ::testing::Values(Pair{Qt::black, Qt::white, 21.0}, Pair{Qt::white, Qt::white, 1.0},
                      Pair{QColor(0x77, 0x77, 0x77), Qt::white, 4.48},
                      // The value icons' old blue on a dark dialog: the fault.
                      Pair{QColor(0x14, 0x14, 0x78), QColor(0x22, 0x20, 0x20), 1.08},
                      Pair{QColor(0x14, 0x14, 0x78), QColor(0xef, 0xef, 0xef), 13.04}));

struct Mark {
    const char* name;
    QColor preferred, background;
    double minimum;
    bool kept;   // the preferred colour stands out already
};

class LegibleMarks : public ::testing::TestWithParam<Mark> {};

TEST_P(LegibleMarks, StandOutFromTheirBackgroundAndKeepTheirHue)
{
    const Mark& c = GetParam();
    const QColor shown = LegibleOn(c.preferred, c.background, c.minimum);
    EXPECT_GE(ContrastRatio(shown, c.background), c.minimum) << c.name;
    if (c.kept) {
        EXPECT_EQ(shown, c.preferred) << c.name;
        return;
    }
    EXPECT_NE(shown, c.preferred) << c.name;
    // Lighter on a dark background, darker on a light one.
    const bool lighter = RelativeLuminance(shown) > RelativeLuminance(c.preferred);
    EXPECT_EQ(lighter, RelativeLuminance(c.background) < 0.18) << c.name;
    if (c.preferred.hsvHue() >= 0 && shown != QColor(Qt::white) && shown != QColor(Qt::black))
        EXPECT_NEAR(shown.hsvHue(), c.preferred.hsvHue(), 8) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Palettes, LegibleMarks,
    ::testing::Values(
        Mark{"dark blue on light", QColor(20, 20, 120), QColor(0xef, 0xef, 0xef), kTextContrast, true},
        Mark{"dark blue on dark", QColor(20, 20, 120), QColor(0x35, 0x35, 0x35), kTextContrast, false},
        Mark{"dark ink on dark", QColor(0x2b, 0x2b, 0x2b), QColor(0x35, 0x35, 0x35), kTextContrast, false},
        Mark{"light ink on light", QColor(0xdd, 0xdd, 0xdd), QColor(0xf5, 0xf5, 0xf5), kTextContrast, false},
        Mark{"blue accent on dark", QColor(0x2f, 0x6f, 0xc4), QColor(0x35, 0x35, 0x35), kMarkContrast, false},
        Mark{"button face on dark base", QColor(0x35, 0x35, 0x35), QColor(0x2a, 0x2a, 0x2a), kSurfaceContrast,
             false},
        Mark{"button face on white", QColor(0xef, 0xef, 0xef), Qt::white, kSurfaceContrast, false}),
    [](const ::testing::TestParamInfo<Mark>& info) { return std::to_string(info.index); });

} // namespace
