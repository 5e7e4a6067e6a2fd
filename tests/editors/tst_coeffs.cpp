#include "EditorTestSupport.h"
#include "FakeEditorMessages.h"

#include "editors/CoeffsDlg.h"
#include "editors/CoeffsMainDlg.h"
#include "editors/ControlIds.h"

#include "controls/GridCtrl.h"

#include "model/TileParams.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTimer>

#include <cstring>
#include <limits>
#include <functional>

#include <gtest/gtest.h>

using namespace quorrel;
using namespace quorrel::editors;
using namespace quorrel::editors::testing;

namespace {

controls::CGridCtrl* GridOf(QWidget* dialog)
{
    return FindControl<controls::CGridCtrl>(dialog, 6001);
}

// Runs `drive` on the grid dialog a click opens, while its modal loop runs.
void WhileGridOpen(std::function<void(CCoeffsDlg*)> drive)
{
    QTimer::singleShot(0, [drive] {
        auto* dialog = qobject_cast<CCoeffsDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        drive(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
}

QPushButton* ButtonOf(QDialog* dialog, QDialogButtonBox::StandardButton which)
{
    for (auto* box : dialog->findChildren<QDialogButtonBox*>()) {
        if (QPushButton* button = box->button(which))
            return button;
    }
    return nullptr;
}

} // namespace

TEST(CoeffsDlg, GridFollowsTheHarmonics)
{
    model::CTileParams params;
    params.m_nHorzHarm[model::Hue] = 3;
    params.m_nVertHarm[model::Hue] = 5;
    params.m_nSinCos[model::Hue][2][4] = -12;
    CCoeffsDlg dialog(params, &model::CTileParams::m_nSinCos, model::Hue);
    controls::CGridCtrl* grid = GridOf(&dialog);
    ASSERT_EQ(grid->GetRowCount(), 4);
    ASSERT_EQ(grid->GetColumnCount(), 6);
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(grid->GetItemText(0, k), QString::number(k));
    for (int r = 1; r < 4; ++r)
        EXPECT_EQ(grid->GetItemText(r, 0), QString::number(r));
    EXPECT_EQ(grid->GetItemText(3, 5), "-12");
    EXPECT_EQ(grid->GetItemText(1, 1), "0");
    EXPECT_EQ(dialog.windowTitle(), "Coefficients");
}

TEST(CoeffsDlg, TypedCellsAreReadAsLeadingIntegers)
{
    model::CTileParams params;
    params.m_nCosCos[model::Saturation][0][1] = 55;
    CCoeffsDlg dialog(params, &model::CTileParams::m_nCosCos, model::Saturation);
    dialog.show();
    controls::CGridCtrl* grid = GridOf(&dialog);
    TypeIntoCell(grid, 1, 1, "-7x");
    TypeIntoCell(grid, 2, 3, "abc");
    TypeIntoCell(grid, 3, 3, "2147483647");
    QTest::mouseClick(ButtonOf(&dialog, QDialogButtonBox::Ok), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(params.m_nCosCos[model::Saturation][0][0], -7);
    EXPECT_EQ(params.m_nCosCos[model::Saturation][1][2], 0);
    EXPECT_EQ(params.m_nCosCos[model::Saturation][2][2], 2147483647);
    EXPECT_EQ(params.m_nCosCos[model::Saturation][0][1], 55);
}

TEST(CoeffsDlg, NoHorizontalHarmonicsShowsTheHeaderOnly)
{
    model::CTileParams params;
    params.m_nHorzHarm[model::Hue] = 0;
    params.m_nCosCos[model::Hue][0][0] = 9;
    model::CoeffTable before;
    std::memcpy(before, params.m_nCosCos, sizeof before);
    CCoeffsDlg dialog(params, &model::CTileParams::m_nCosCos, model::Hue);
    EXPECT_EQ(GridOf(&dialog)->GetRowCount(), 1);
    dialog.accept();
    EXPECT_EQ(std::memcmp(params.m_nCosCos, before, sizeof before), 0);
}

TEST(CoeffsMainDlg, ButtonsOpenTheirTableAndComponent)
{
    EXPECT_EQ(CCoeffsMainDlg::TableForButton(5001), &model::CTileParams::m_nCosCos);
    EXPECT_EQ(CCoeffsMainDlg::TableForButton(5013), &model::CTileParams::m_nCosSin);
    EXPECT_EQ(CCoeffsMainDlg::TableForButton(5105), &model::CTileParams::m_nSinCos);
    EXPECT_EQ(CCoeffsMainDlg::TableForButton(5113), &model::CTileParams::m_nSinSin);

    model::CTileParams params;
    params.m_bEnabled[model::Green] = 1;
    CCoeffsMainDlg main(params);
    main.show();
    EXPECT_EQ(FindControl<QPushButton>(&main, 5101)->text(), "- +");
    EXPECT_EQ(FindControl<QPushButton>(&main, 5101)->toolTip(), "Sin/Cos Coefficients");

    CCoeffsDlg* seen = nullptr;
    WhileGridOpen([&](CCoeffsDlg* d) { seen = d; EXPECT_EQ(d->m_nComponent, model::Green);
                                       EXPECT_EQ(d->m_pTable, &model::CTileParams::m_nCosCos); });
    QTest::mouseClick(FindControl<QPushButton>(&main, 5001), Qt::LeftButton);
    EXPECT_NE(seen, nullptr);

    seen = nullptr;
    WhileGridOpen([&](CCoeffsDlg* d) { seen = d; EXPECT_EQ(d->m_nComponent, model::Hue);
                                       EXPECT_EQ(d->m_pTable, &model::CTileParams::m_nSinSin); });
    QTest::mouseClick(FindControl<QPushButton>(&main, 5113), Qt::LeftButton);
    EXPECT_NE(seen, nullptr);
}

TEST(CoeffsMainDlg, CancelledGridLeavesTheTableOkStoresIt)
{
    model::CTileParams params;
    params.m_nCosSin[model::Luminosity][1][1] = 4;
    CCoeffsMainDlg main(params);
    main.show();
    WhileGridOpen([](CCoeffsDlg* d) {
        TypeIntoCell(GridOf(d), 2, 2, "99");
        d->reject();
    });
    QTest::mouseClick(FindControl<QPushButton>(&main, 5015), Qt::LeftButton);
    EXPECT_EQ(params.m_nCosSin[model::Luminosity][1][1], 4);

    WhileGridOpen([](CCoeffsDlg* d) {
        TypeIntoCell(GridOf(d), 2, 2, "99");
        QTest::mouseClick(ButtonOf(d, QDialogButtonBox::Ok), Qt::LeftButton);
    });
    QTest::mouseClick(FindControl<QPushButton>(&main, 5015), Qt::LeftButton);
    EXPECT_EQ(params.m_nCosSin[model::Luminosity][1][1], 99);
}

TEST(CoeffsMainDlg, CheckBoxesEnableButtonsAndAreStoredByOk)
{
    model::CTileParams params;
    params.m_bEnabled[model::Blue] = 1;
    CCoeffsMainDlg main(params);
    main.show();
    auto* blue = FindControl<QCheckBox>(&main, 3202);
    ClickCheck(blue);
    for (int id : {5002, 5012, 5102, 5112})
        EXPECT_FALSE(FindControl<QPushButton>(&main, id)->isEnabled()) << id;
    EXPECT_EQ(params.m_bEnabled[model::Blue], 1);
    QTest::mouseClick(FindControl<QPushButton>(&main, 1), Qt::LeftButton);
    EXPECT_EQ(main.result(), QDialog::Accepted);
    EXPECT_EQ(params.m_bEnabled[model::Blue], 0);
}

TEST(CoeffsMainDlg, CancelStoresNoCheckBox)
{
    model::CTileParams params;
    CCoeffsMainDlg main(params);
    main.show();
    ClickCheck(FindControl<QCheckBox>(&main, 3200));
    QTest::mouseClick(FindControl<QPushButton>(&main, 2), Qt::LeftButton);
    EXPECT_EQ(main.result(), QDialog::Rejected);
    EXPECT_EQ(params.m_bEnabled[model::Red], 0);
}

// The rule the grid paints by: the text within the cell's margins, cut
// with an ellipsis when it does not fit.
bool ShowsWhole(const controls::CGridCtrl* grid, int row, int col, const QString& text)
{
    const controls::CGridCell* cell = grid->GetCell(row, col);
    const int room = grid->GetColumnWidth(col) - 2 * cell->m_nMargin;
    return QFontMetrics(cell->m_font).elidedText(text, Qt::ElideRight, room) == text;
}

TEST(CoeffsDlg, EveryValueAndAnyTypedOneShowsWholeInTheFontTheDialogEndsUpWith)
{
    model::CTileParams params;
    params.m_nHorzHarm[model::Red] = 4;
    params.m_nVertHarm[model::Red] = 4;
    const int32_t values[] = {100, 1, -1, 77, std::numeric_limits<int32_t>::min(), 2147483647, -100, 1000, 41};
    for (int i = 0; i < 9; ++i)
        params.m_nCosCos[model::Red][i / 3][i % 3] = values[i];
    for (const int pixels : {8, 12, 19}) {
        SCOPED_TRACE(pixels);
        CCoeffsDlg dialog(params, &model::CTileParams::m_nCosCos, model::Red);
        // A font given after construction, as a style or the user's settings
        // give it when the dialog is polished.
        QFont font = dialog.font();
        font.setPixelSize(pixels);
        dialog.setFont(font);
        dialog.show();
        controls::CGridCtrl* grid = GridOf(&dialog);
        ASSERT_EQ(grid->GetCell(1, 1)->m_font.pixelSize(), pixels);
        for (int r = 0; r < grid->GetRowCount(); ++r)
            for (int k = 0; k < grid->GetColumnCount(); ++k)
                EXPECT_TRUE(ShowsWhole(grid, r, k, grid->GetItemText(r, k))) << r << "," << k;
        // Whatever a user types within the 32-bit range fits too.
        for (int k = 1; k < grid->GetColumnCount(); ++k)
            for (const QString typed : {"-2147483648", "+2147483647", "-8888888888", "-0000000000"})
                EXPECT_TRUE(ShowsWhole(grid, 1, k, typed)) << k << " " << typed.toStdString();
    }
}

TEST(CoeffsDlg, EnterAndEscapeCloseTheDialogAndCtrlTabLeavesTheFocusCell)
{
    model::CTileParams params;
    params.m_nCosCos[model::Hue][1][1] = 9;
    for (const auto& [key, result] : {std::pair{Qt::Key_Return, QDialog::Accepted}, std::pair{Qt::Key_Escape, QDialog::Rejected}}) {
        CCoeffsDlg dialog(params, &model::CTileParams::m_nCosCos, model::Hue);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        controls::CGridCtrl* grid = GridOf(&dialog);
        QRect rect;
        ASSERT_TRUE(grid->GetCellRect(2, 2, rect));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::keyClick(grid, Qt::Key_Tab, Qt::ControlModifier);
        EXPECT_EQ(grid->GetFocusCell(), (controls::CCellID{2, 2}));
        QTest::keyClick(grid, key);
        EXPECT_EQ(grid->GetInPlaceEdit(), nullptr);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), result);
    }
}
