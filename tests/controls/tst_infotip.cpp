// CInfoTip: the size rules of its text (lines, blanks, separators, pictures,
// shadow) and keeping the window on the screen.

#include "controls/InfoTip.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

using namespace quorrel::controls;

namespace {

int LineHeight(const CInfoTip& tip)
{
    const QFontMetrics fm(tip.font());
    return fm.height() + fm.leading();
}

int TextWidth(const CInfoTip& tip, const QString& s)
{
    return QFontMetrics(tip.font()).horizontalAdvance(s);
}

} // namespace

TEST(InfoTip, SizeFitsTheWidestLineAndEveryLine)
{
    CInfoTip tip;
    tip.SetText(QStringLiteral("12\nA longer line\n"));
    const int widest = TextWidth(tip, QStringLiteral("A longer line"));
    EXPECT_EQ(tip.TipSize().width(), widest + 6 + 10);
    // The empty last line still takes one line.
    EXPECT_EQ(tip.TipSize().height(), 6 + 3 * LineHeight(tip));
    EXPECT_EQ(tip.size(), tip.TipSize());
}

TEST(InfoTip, SeparatorLinesTakeFiveMorePixels)
{
    CInfoTip tip;
    tip.SetText(QStringLiteral("Title\n\rBody"));
    EXPECT_EQ(tip.TipSize().height(), 6 + 2 * LineHeight(tip) + CInfoTip::kSeparatorExtra);
    // The carriage return is not part of the text measured.
    EXPECT_EQ(tip.TipSize().width(), std::max(TextWidth(tip, "Title"), TextWidth(tip, "Body")) + 16);
}

TEST(InfoTip, PictureLinesMakeRoomForTheirPicture)
{
    CInfoTip tip;
    QPixmap pm(20, 8);
    pm.fill(Qt::red);
    tip.SetImageList({pm, pm});
    tip.SetText(QStringLiteral("\a01Hue"));
    EXPECT_GE(tip.TipSize().width(), TextWidth(tip, "Hue") + 20 + 16);
    EXPECT_LT(tip.TipSize().width(), TextWidth(tip, "\a01Hue") + 20 + 16 + 8);
    // An index past the list shows no picture.
    tip.SetText(QStringLiteral("\a07Hue"));
    EXPECT_EQ(tip.TipSize().width(), TextWidth(tip, "Hue") + 16);
}

TEST(InfoTip, ShadowAddsFivePixelsEachWay)
{
    CInfoTip tip;
    tip.SetText(QStringLiteral("128"));
    const QSize plain = tip.TipSize();
    tip.SetShadow(true);
    EXPECT_EQ(tip.TipSize(), plain + QSize(5, 5));
}

TEST(InfoTip, ShowKeepsTheTipOnScreenAndHideForgetsTheText)
{
    CInfoTip tip;
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    tip.Show(QStringLiteral("255"), QPoint(screen.right() - 2, screen.bottom() - 2));
    ASSERT_TRUE(tip.isVisible());
    EXPECT_LE(tip.geometry().right(), screen.right());
    EXPECT_LE(tip.geometry().bottom(), screen.bottom() - 20);
    EXPECT_EQ(tip.GetText(), QStringLiteral("255"));

    tip.Show(QStringLiteral("7"), QPoint(100, 100));
    EXPECT_EQ(tip.pos(), QPoint(100, 100));
    EXPECT_EQ(tip.GetText(), QStringLiteral("7"));

    tip.Hide();
    EXPECT_FALSE(tip.isVisible());
    EXPECT_TRUE(tip.GetText().isEmpty());
}

TEST(InfoTip, NeverTakesTheFocus)
{
    QWidget owner;
    owner.show();
    owner.activateWindow();
    CInfoTip tip(&owner);
    tip.Show(QStringLiteral("42"), QPoint(10, 10));
    EXPECT_TRUE(tip.testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_EQ(tip.focusPolicy(), Qt::NoFocus);
    EXPECT_NE(QGuiApplication::focusWindow(), tip.windowHandle());
}
