// The grid's clipboard text: building it from a selection and splitting
// pasted text into lines and cells.

#include "controls/GridClipboardText.h"

#include <gtest/gtest.h>

#include <set>

using namespace quorrel::controls;

TEST(GridClipboardText, TwoByTwoSelectionGivesTwoTabSeparatedLines)
{
    const QString text = BuildClipboardText(
        {1, 1, 2, 2}, [](int, int) { return true; },
        [](int r, int c) { return QString::number(r * 10 + c); });
    EXPECT_EQ(text, QStringLiteral("11\t12\n21\t22"));
}

TEST(GridClipboardText, EmptyCellsGiveABlankAndUnselectedCellsNothing)
{
    const std::set<std::pair<int, int>> selected{{1, 1}, {1, 2}, {2, 2}};
    const QString text = BuildClipboardText(
        {1, 1, 2, 2}, [&](int r, int c) { return selected.count({r, c}) != 0; },
        [](int r, int c) { return r == 1 && c == 2 ? QString() : QStringLiteral("x"); });
    EXPECT_EQ(text, QStringLiteral("x\t \n\tx"));
}

TEST(GridClipboardText, NoSelectionGivesNoText)
{
    EXPECT_TRUE(BuildClipboardText({}, [](int, int) { return true; }, [](int, int) { return QStringLiteral("x"); })
                    .isEmpty());
}

TEST(GridClipboardText, PasteSplitsAtTabsCommasAndLineFeedsAndTrims)
{
    const auto lines = ParseClipboardText(QStringLiteral(" 1 ,2\t 3\r\n4,5\n"));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringList({"1", "2", "3"}));
    EXPECT_EQ(lines[1], QStringList({"4", "5"}));
}

TEST(GridClipboardText, BlankPiecesStayAndEmptyOnesAreSkipped)
{
    // A copied empty cell travels as a blank and pastes as an empty cell.
    const auto lines = ParseClipboardText(QStringLiteral("a\t \tc\nx,,y"));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringList({"a", "", "c"}));
    EXPECT_EQ(lines[1], QStringList({"x", "y"}));
}

TEST(GridClipboardText, CopiedTextPastesBackToTheSameCells)
{
    const QString text = BuildClipboardText(
        {0, 0, 1, 2}, [](int, int) { return true; },
        [](int r, int c) { return c == 1 ? QString() : QString::number(r + c); });
    const auto lines = ParseClipboardText(text);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringList({"0", "", "2"}));
    EXPECT_EQ(lines[1], QStringList({"1", "", "3"}));
}
