// The editors' marks on a light and on a dark palette: the symmetry value
// icons and the apply-to-all triangle stand out from the face they sit on,
// and the Correlations page's read-only cells look unlike its editable ones.

#include "EditorTestSupport.h"
#include "FakeEditorMessages.h"
#include "controls/Contrast.h"
#include "controls/GridCtrl.h"
#include "editors/ControlIds.h"
#include "editors/EditorIcons.h"
#include "editors/PropsCorrelations.h"
#include "model/TileParams.h"
#include "support/Palettes.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

#include <gtest/gtest.h>

#include <memory>

using namespace quorrel;
using namespace quorrel::editors;
using namespace quorrel::editors::testing;

namespace {

QPalette Palette(bool dark)
{
    if (dark)
        return test::DarkPalette();
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create("Fusion"));
    return fusion->standardPalette();
}

// The best contrast any pixel of an icon painted on `background` has.
double IconContrast(const QIcon& icon, const QColor& background)
{
    QImage image(32, 32, QImage::Format_RGB32);
    image.fill(background);
    {
        QPainter painter(&image);
        icon.paint(&painter, image.rect());
    }
    double best = 1.0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            best = std::max(best, controls::ContrastRatio(QColor(image.pixel(x, y)), background));
    return best;
}

class EditorMarksOnAPalette : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        m_saved = QApplication::palette();
        QApplication::setPalette(Palette(GetParam()));
    }
    void TearDown() override { QApplication::setPalette(m_saved); }
    QPalette m_saved;
};

TEST_P(EditorMarksOnAPalette, EnabledMarksStandOutAndGreyedOnesStayBehindThem)
{
    const QPalette palette = QApplication::palette();
    const QColor face = palette.color(QPalette::Window);
    double faintest = 21.0;
    for (int value = -1; value <= 1; ++value) {
        const double enabled = IconContrast(EditorIcon(kValueIcon + value), face);
        EXPECT_GE(enabled, controls::kTextContrast) << "value " << value;
        faintest = std::min(faintest, enabled);
    }
    EXPECT_GE(IconContrast(EditorIcon(kTriangleIcon), palette.color(QPalette::Button)), controls::kTextContrast);
    // Greyed values (a cleared component) and disabled ones still show, but
    // well behind every enabled one.
    for (int value = -1; value <= 1; ++value) {
        for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled}) {
            const int icon = mode == QIcon::Normal ? kGreyValueIcon + value : kValueIcon + value;
            const QPixmap shown = EditorIcon(icon).pixmap(QSize(16, 16), mode);
            const double greyed = IconContrast(QIcon(shown), face);
            EXPECT_GE(greyed, 1.8) << "greyed value " << value;
            EXPECT_LT(greyed * 1.5, faintest) << "greyed value " << value << " stands out like an enabled one";
        }
    }
}

TEST_P(EditorMarksOnAPalette, ReadOnlyCorrelationCellsLookUnlikeEditableOnes)
{
    model::CTileParams params;
    FakeEditorMessages messages;
    CPropsCorrelations page(params, messages);
    page.setPalette(QApplication::palette());
    page.resize(600, 420);
    page.show();
    page.OnSetActive();
    auto* grid = FindControl<controls::CGridCtrl>(&page, 6002);
    ASSERT_NE(grid, nullptr);
    grid->SetFocusCell(-1, -1);
    const QImage shown = grid->viewport()->grab().toImage();
    QColor editable, readOnly;
    int seenEditable = 0, seenReadOnly = 0;
    for (int r = 1; r < grid->GetRowCount(); ++r) {
        for (int k = 1; k < grid->GetColumnCount(); ++k) {
            QRect cell;
            if (!grid->GetCellRect(r, k, cell) || !grid->GetItemText(r, k).isEmpty())
                continue;
            const QColor colour(shown.pixel(cell.topLeft() + QPoint(3, 3)));
            if (grid->GetItemState(r, k) & controls::GCS_READONLY) {
                readOnly = colour;
                ++seenReadOnly;
            } else {
                editable = colour;
                ++seenEditable;
            }
        }
    }
    ASSERT_GT(seenEditable, 0);
    ASSERT_GT(seenReadOnly, 0);
    const QPalette palette = QApplication::palette();
    // Told apart at a glance on either palette; the field keeps its colour.
    EXPECT_GE(controls::ContrastRatio(editable, readOnly), controls::kSurfaceContrast - 0.01)
        << editable.name().toStdString() << " vs " << readOnly.name().toStdString();
    EXPECT_EQ(editable, palette.color(QPalette::Base));
}

INSTANTIATE_TEST_SUITE_P(LightAndDark, EditorMarksOnAPalette, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Dark" : "Light"; });

} // namespace
