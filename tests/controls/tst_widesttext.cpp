// WidestText: the longest text of a number's form in a font, which sizes
// the status-bar panes and the coefficient columns.

#include "controls/WidestText.h"

#include <QApplication>
#include <QFontDatabase>

#include <gtest/gtest.h>

using namespace quorrel::controls;

namespace {

const QString kDigits = QStringLiteral("0123456789");
const QString kHex = QStringLiteral("0123456789ABCDEF");

int MaxAdvance(const QString& candidates, const QFontMetrics& fm)
{
    int widest = 0;
    for (QChar c : candidates)
        widest = std::max(widest, fm.horizontalAdvance(c));
    return widest;
}

} // namespace

TEST(WidestText, NinesAndEffsBecomeTheWidestDigitsAndTheRestStays)
{
    for (const QFont& font : {QApplication::font(), QFontDatabase::systemFont(QFontDatabase::FixedFont)}) {
        const QFontMetrics fm(font);
        const QString pattern = QStringLiteral("#FF9, 9 (x)-+F");
        const QString text = WidestText(pattern, fm);
        ASSERT_EQ(text.size(), pattern.size()) << font.family().toStdString();
        const QChar digit = text[3];
        const QChar hex = text[1];
        EXPECT_TRUE(kDigits.contains(digit)) << font.family().toStdString();
        EXPECT_TRUE(kHex.contains(hex)) << font.family().toStdString();
        EXPECT_EQ(fm.horizontalAdvance(digit), MaxAdvance(kDigits, fm)) << font.family().toStdString();
        EXPECT_EQ(fm.horizontalAdvance(hex), MaxAdvance(kHex, fm)) << font.family().toStdString();
        for (qsizetype i = 0; i < pattern.size(); ++i) {
            if (pattern[i] == u'9')
                EXPECT_EQ(text[i], digit) << i;
            else if (pattern[i] == u'F')
                EXPECT_EQ(text[i], hex) << i;
            else
                EXPECT_EQ(text[i], pattern[i]) << i;
        }
    }
}

TEST(WidestText, NoValueOfTheFormIsWider)
{
    const QFontMetrics fm(QApplication::font());
    const int position = fm.horizontalAdvance(WidestText(QStringLiteral("9999, 9999"), fm));
    const int colour = fm.horizontalAdvance(WidestText(QStringLiteral("#FFFFFF"), fm));
    for (QChar a : kHex) {
        for (QChar b : kHex) {
            if (a.isDigit() && b.isDigit()) {
                EXPECT_LE(fm.horizontalAdvance(QString(2, a) + b + a + ", " + b + a + b + b), position);
            }
            EXPECT_LE(fm.horizontalAdvance(QString("#") + a + b + b + a + a + b), colour);
        }
    }
}
