#include "EditorTestSupport.h"
#include "FakeEditorMessages.h"

#include "editors/ControlIds.h"
#include "editors/PropsCorrelations.h"

#include "controls/Contrast.h"
#include "controls/GridCtrl.h"

#include "model/TileParams.h"

#include <QCheckBox>

#include <gtest/gtest.h>

using namespace quorrel;
using namespace quorrel::editors;
using namespace quorrel::editors::testing;

namespace {

class CorrelationsPage : public ::testing::Test {
protected:
    void Open()
    {
        page = std::make_unique<CPropsCorrelations>(params, messages);
        page->resize(600, 420);
        page->show();
        page->OnSetActive();
        grid = FindControl<controls::CGridCtrl>(page.get(), 6002);
        ASSERT_NE(grid, nullptr);
    }

    bool ReadOnly(int r, int k) { return grid->GetItemState(r, k) & controls::GCS_READONLY; }
    QCheckBox* Check(int c) { return FindControl<QCheckBox>(page.get(), 3200 + c); }

    // The editable cells as a picture: one string per component row.
    QStringList EditablePattern()
    {
        QStringList rows;
        for (int r = 1; r < 7; ++r) {
            QString row;
            for (int k = 1; k < 9; ++k)
                row += ReadOnly(r, k) ? '.' : 'E';
            rows << row;
        }
        return rows;
    }

    model::CTileParams params;
    FakeEditorMessages messages;
    std::unique_ptr<CPropsCorrelations> page;
    controls::CGridCtrl* grid = nullptr;
};

} // namespace

TEST_F(CorrelationsPage, HeadersAndDefaultEditability)
{
    Open();
    ASSERT_EQ(grid->GetRowCount(), 7);
    ASSERT_EQ(grid->GetColumnCount(), 9);
    EXPECT_EQ(grid->GetFixedRowCount(), 1);
    EXPECT_EQ(grid->GetFixedColumnCount(), 1);
    const QStringList headers = {"", "Red", "Green", "Blue", "Hue", "Sat", "Lum", "+", "Free"};
    for (int k = 0; k < 9; ++k)
        EXPECT_EQ(grid->GetItemText(0, k), headers[k]);
    for (int r = 1; r < 7; ++r)
        EXPECT_EQ(grid->GetItemText(r, 0), headers[r]);
    EXPECT_EQ(EditablePattern(), (QStringList{"...EEEEE", "...EEEEE", "...EEEEE", "........",
                                              "........", "........"}));
    EXPECT_EQ(grid->GetRowHeight(3), 40);
    EXPECT_FALSE(grid->GetRowResize());
    const uint32_t window = controls::ToColorRef(page->palette().color(QPalette::Base));
    // Read-only cells in the button face, moved away from the field colour
    // until the two are told apart at a glance.
    const uint32_t face = controls::ToColorRef(controls::LegibleOn(page->palette().color(QPalette::Button),
                                                                   page->palette().color(QPalette::Base),
                                                                   controls::kSurfaceContrast));
    EXPECT_EQ(grid->GetCell(1, 4)->m_crBkClr, window);
    EXPECT_EQ(grid->GetCell(1, 1)->m_crBkClr, face);
    EXPECT_NE(face, window);
}

TEST_F(CorrelationsPage, TickingRedClosesItsRowAndOpensItsColumn)
{
    Open();
    ClickCheck(Check(model::Red));
    EXPECT_EQ(EditablePattern(), (QStringList{"........", "E..EEEEE", "E..EEEEE", "........",
                                              "........", "........"}));
}

TEST_F(CorrelationsPage, ValuesShowWithTwoDecimalsAndZeroEmpty)
{
    params.m_dCorrel[model::Green][model::Hue] = 0.5;
    params.m_dCorrel[model::Green][6] = -1.126;
    params.m_dCorrel[model::Hue][0] = 3.0;  // row of a ticked component
    Open();
    EXPECT_EQ(grid->GetItemText(2, 4), "0.50");
    EXPECT_EQ(grid->GetItemText(2, 7), "-1.13");
    EXPECT_EQ(grid->GetItemText(2, 5), "");
    EXPECT_EQ(grid->GetItemText(4, 1), "");
    // Leaving the page stores 0 in the rows of ticked components.
    ASSERT_TRUE(page->OnKillActive());
    EXPECT_EQ(params.m_dCorrel[model::Hue][0], 0.0);
    EXPECT_EQ(params.m_dCorrel[model::Green][model::Hue], 0.5);
}

TEST_F(CorrelationsPage, TypedValueRoundTripsThroughTwoDecimals)
{
    Open();
    TypeIntoCell(grid, 1, 5, "1.234");
    EXPECT_EQ(grid->GetItemText(1, 5), "1.234");
    ASSERT_TRUE(page->OnKillActive());
    EXPECT_DOUBLE_EQ(params.m_dCorrel[model::Red][model::Saturation], 1.234);
    page->OnSetActive();
    EXPECT_EQ(grid->GetItemText(1, 5), "1.23");
    ASSERT_TRUE(page->OnKillActive());
    EXPECT_DOUBLE_EQ(params.m_dCorrel[model::Red][model::Saturation], 1.23);

    TypeIntoCell(grid, 1, 8, "abc");
    ASSERT_TRUE(page->OnKillActive());
    EXPECT_EQ(params.m_dCorrel[model::Red][7], 0.0);
}

TEST_F(CorrelationsPage, ReadOnlyCellsTakeNoTyping)
{
    Open();
    QRect rect;
    ASSERT_TRUE(grid->GetCellRect(4, 2, rect));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::keyClicks(grid, "5");
    EXPECT_FALSE(grid->IsEditing());
    EXPECT_EQ(grid->GetItemText(4, 2), "");
}
