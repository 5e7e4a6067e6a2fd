// Numbers survive any locale: every number the editors write (correlations,
// coefficients and their headers, dimension and harmonics boxes, the slider
// tips) reads the same and reads back as the same value. ctest runs each case
// twice, under the comma-decimal locale de_DE.UTF-8 and under C.

#include "EditorTestSupport.h"
#include "FakeEditorMessages.h"

#include "editors/CoeffsDlg.h"
#include "editors/ControlIds.h"
#include "editors/QuorrelProp.h"
#include "editors/SpinEdit.h"
#include "editors/TextParsing.h"
#include "editors/WizardPage.h"

#include "controls/GridCtrl.h"
#include "controls/RangeSliderCtrl.h"
#include "controls/RangeSliderStyles.h"

#include "model/TileParams.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <limits>

using namespace quorrel;
using namespace quorrel::editors;
using namespace quorrel::editors::testing;

namespace {

enum { kGeneral, kColors, kShapes, kSymmetries, kCorrelations };

// The decimal separator the C library must use under the run's LC_ALL.
QString ExpectedDecimal()
{
    const QByteArray locale = qgetenv("LC_ALL");
    if (locale.startsWith("de_DE"))
        return QStringLiteral(",");
    if (locale == "C")
        return QStringLiteral(".");
    return {};
}

} // namespace

// Without this the other cases could pass in the C locale alone.
TEST(LocaleInEffect, TheCLibraryAndQtFollowTheLocaleOfTheRun)
{
    const QString decimal = ExpectedDecimal();
    ASSERT_FALSE(decimal.isEmpty()) << "run through ctest, which sets LC_ALL to de_DE.UTF-8 or C";
    char text[16];
    std::snprintf(text, sizeof text, "%.2f", 0.5);
    EXPECT_EQ(QString::fromLatin1(text), "0" + decimal + "50")
        << "the C library is not in the locale " << std::getenv("LC_ALL")
        << " (generate it: scripts/setup.sh quorrel_generate_locales)";
    EXPECT_EQ(QLocale().decimalPoint(), decimal);
}

TEST(LocaleNumbers, CorrelationTextsUseAPointAndTwoDecimals)
{
    EXPECT_EQ(CorrelationText(0.5), "0.50");
    EXPECT_EQ(CorrelationText(-1.25), "-1.25");
    EXPECT_EQ(CorrelationText(1234567.891), "1234567.89");
    EXPECT_EQ(CorrelationText(0.004), "0.00");
    EXPECT_EQ(CorrelationText(0.0), "");
    EXPECT_EQ(ParseDoubleText("0.50"), 0.5);
    EXPECT_EQ(ParseDoubleText(" -1.25x"), -1.25);
    EXPECT_EQ(ParseDoubleText("1,5"), 1.0);   // a point only, in every locale
    EXPECT_EQ(ParseDoubleText("1.234.567"), 1.234);
}

class LocaleSheet : public ::testing::Test {
protected:
    void Open()
    {
        sheet = std::make_unique<CQuorrelProp>(params, &messages);
        sheet->show();
        QApplication::setActiveWindow(sheet.get());
    }
    void GoTo(int page) { ClickTab(sheet->TabBar(), page); }

    model::CTileParams params;
    FakeEditorMessages messages;
    std::unique_ptr<CQuorrelProp> sheet;
};

TEST_F(LocaleSheet, CorrelationsKeepTheirValuesAcrossPageChangesAndOk)
{
    // Red, Green and Blue are cleared by default: their rows are editable in
    // the columns of Hue, Sat, Lum, "+" and "Free".
    params.m_dCorrel[model::Red][model::Hue] = 0.5;
    params.m_dCorrel[model::Green][6] = -1.25;
    params.m_dCorrel[model::Blue][7] = 1234.5678;
    params.m_dCorrel[model::Red][model::Saturation] = 0.004;
    Open();
    GoTo(kCorrelations);
    auto* grid = FindControl<controls::CGridCtrl>(sheet->Page(kCorrelations), 6002);
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->GetItemText(1, 4), "0.50");
    EXPECT_EQ(grid->GetItemText(2, 7), "-1.25");
    EXPECT_EQ(grid->GetItemText(3, 8), "1234.57");
    EXPECT_EQ(grid->GetItemText(1, 5), "0.00");

    TypeIntoCell(grid, 1, 6, "1.234");
    GoTo(kGeneral);
    EXPECT_EQ(params.m_dCorrel[model::Red][model::Hue], 0.5);
    EXPECT_EQ(params.m_dCorrel[model::Green][6], -1.25);
    EXPECT_EQ(params.m_dCorrel[model::Blue][7], 1234.57);
    EXPECT_EQ(params.m_dCorrel[model::Red][model::Saturation], 0.0);
    EXPECT_EQ(params.m_dCorrel[model::Red][model::Luminosity], 1.234);

    GoTo(kCorrelations);
    EXPECT_EQ(grid->GetItemText(1, 6), "1.23");
    TypeIntoCell(grid, 2, 4, "2,5");
    QTest::mouseClick(sheet->OkButton(), Qt::LeftButton);
    EXPECT_EQ(sheet->result(), QDialog::Accepted);
    EXPECT_EQ(params.m_dCorrel[model::Red][model::Hue], 0.5);
    EXPECT_EQ(params.m_dCorrel[model::Red][model::Luminosity], 1.23);
    EXPECT_EQ(params.m_dCorrel[model::Green][model::Hue], 2.0);
    EXPECT_TRUE(messages.errors.isEmpty());
}

TEST_F(LocaleSheet, DimensionAndHarmonicsBoxesWritePlainDigits)
{
    params.m_nWidth = 1000;
    params.m_nHeight = 999;
    params.m_nHorzHarm[model::Hue] = params.m_nVertHarm[model::Hue] = 29;
    Open();
    auto* width = FindControl<CSpinEdit>(sheet->Page(kGeneral), 2011);
    auto* height = FindControl<CSpinEdit>(sheet->Page(kGeneral), 2012);
    ASSERT_NE(width, nullptr);
    EXPECT_EQ(BoxText(width), "1000");
    EXPECT_EQ(BoxText(height), "999");
    width->setFocus();
    QTest::keyClick(width, Qt::Key_Up);
    EXPECT_EQ(BoxText(width), "1001");
    height->setFocus();
    QTest::keyClick(height, Qt::Key_Up);
    EXPECT_EQ(BoxText(height), "1000");

    GoTo(kShapes);
    EXPECT_EQ(params.m_nWidth, 1001u);
    EXPECT_EQ(params.m_nHeight, 1000u);
    auto* horz = FindControl<CSpinEdit>(sheet->Page(kShapes), 2103);
    ASSERT_NE(horz, nullptr);
    EXPECT_EQ(BoxText(horz), "29");
    horz->setFocus();
    QTest::keyClick(horz, Qt::Key_Up);
    EXPECT_EQ(BoxText(horz), "30");
    GoTo(kGeneral);
    EXPECT_EQ(params.m_nHorzHarm[model::Hue], 30u);
    // "1.000" reads as 1 everywhere: no digit grouping is taken.
    TypeText(width, "1.000");
    GoTo(kColors);
    EXPECT_EQ(params.m_nWidth, 1u);
    EXPECT_TRUE(messages.errors.isEmpty());
}

TEST(LocaleNumbers, CoefficientsAndTheirHeadersHaveNoGroupSeparators)
{
    model::CTileParams params;
    params.m_nHorzHarm[model::Hue] = 2;
    params.m_nVertHarm[model::Hue] = 12;
    params.m_nSinSin[model::Hue][0][0] = 12345;
    params.m_nSinSin[model::Hue][0][1] = std::numeric_limits<int32_t>::min();
    params.m_nSinSin[model::Hue][1][11] = -1000;
    CCoeffsDlg dialog(params, &model::CTileParams::m_nSinSin, model::Hue);
    dialog.show();
    auto* grid = FindControl<controls::CGridCtrl>(&dialog, 6001);
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->GetItemText(1, 1), "12345");
    EXPECT_EQ(grid->GetItemText(1, 2), "-2147483648");
    EXPECT_EQ(grid->GetItemText(2, 12), "-1000");
    EXPECT_EQ(grid->GetItemText(0, 11), "11");
    TypeIntoCell(grid, 2, 1, "1234567");
    TypeIntoCell(grid, 2, 2, "1.000");
    dialog.accept();
    EXPECT_EQ(params.m_nSinSin[model::Hue][1][0], 1234567);
    EXPECT_EQ(params.m_nSinSin[model::Hue][1][1], 1);
    EXPECT_EQ(params.m_nSinSin[model::Hue][0][1], std::numeric_limits<int32_t>::min());
}

TEST(LocaleNumbers, SliderTipsUseAPoint)
{
    QWidget window;
    auto* slider = new controls::CRangeSliderCtrl(&window, controls::RSS_DEFAULT);
    slider->setGeometry(0, 0, 300, 40);
    window.resize(320, 60);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const uint32_t colors[3] = {0xFFFFFF, 0x0000FF, 0xFFFFFF};
    slider->SetUp(0.0f, 1.0f, 20, 2, nullptr, colors, int(controls::RSS_LABELS | controls::RSS_VALUETIP));
    const float values[2] = {0.5f, 0.75f};
    slider->SetMarkers(0.0f, 1.0f, 2, values);
    slider->repaint();
    const controls::Box body = slider->GetMarkerBody(0);
    QTest::mousePress(slider, Qt::LeftButton, {}, QPoint((body.left + body.right) / 2, (body.top + body.bottom) / 2));
    EXPECT_EQ(slider->GetTip().GetText(), "0.5");
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint((body.left + body.right) / 2, (body.top + body.bottom) / 2));
}

// The guide's correlation examples are what the page reads and shows.
TEST(LocaleNumbers, TheGuidesExamplesAreWhatThePageReadsAndShows)
{
    QFile file(QStringLiteral(QUORREL_SOURCE_DIR "/resources/help/properties.html"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    const qsizetype section = html.indexOf(QStringLiteral("id=\"correlations\""));
    ASSERT_GE(section, 0);
    const QString correlations = html.mid(section);

    // Typed examples: <code>0.5</code>, <code>-1.25</code>.
    QStringList typed;
    for (const auto& match : QRegularExpression(QStringLiteral("<code>([-0-9.,]+)</code>")).globalMatch(correlations))
        typed << match.captured(1);
    ASSERT_EQ(typed, (QStringList{"0.5", "-1.25"}));
    EXPECT_EQ(ParseDoubleText(typed[0]), 0.5);
    EXPECT_EQ(ParseDoubleText(typed[1]), -1.25);
    EXPECT_EQ(CorrelationText(ParseDoubleText(typed[1])), "-1.25");

    // Shown examples: "reading 1.00 under Hue", "0.50 under Hue".
    QStringList shown;
    for (const auto& match : QRegularExpression(QStringLiteral("([-0-9.,]+) under Hue")).globalMatch(correlations))
        shown << match.captured(1);
    ASSERT_EQ(shown, (QStringList{"1.00", "0.50"}));
    EXPECT_EQ(CorrelationText(1.0), shown[0]);
    EXPECT_EQ(CorrelationText(0.5), shown[1]);
}
