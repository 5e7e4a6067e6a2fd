// View > Continuous Colours: the view rendered with the continuous renderer
// (per view, new views start as the last choice), its caption saying so,
// and Copy and Export Screen-Sized Image (with its Scale) taking what the
// view shows.

#include "EditorFixture.h"
#include "output/RgbImageView.h"
#include "output/WhenModal.h"

#include "output/DesktopWallpaper.h"
#include "output/ScreenImageDialog.h"
#include "platform/MDIChildWnd.h"
#include "render/TileRenderer.h"
#include "render/continuous/ContinuousRenderer.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QFile>
#include <QProcessEnvironment>
#include <QSpinBox>
#include <QTest>

using namespace quorrel;
using namespace quorrel::app;
using quorrel::test::EditorFixture;
using quorrel::test::TileOf;

namespace {

// The scalar definitions, independent of the view's renderer.
QImage ContinuousTile(const model::CTileParams& params, uint32_t scale = 1)
{
    render::CRgbImage rgb(params.m_nWidth * scale, params.m_nHeight * scale);
    render::RenderTileContinuousReference(params, render::RealCoefficients::FromParams(params), rgb, rgb.Width(),
                                          rgb.Height());
    return output::ImageView(rgb).convertToFormat(QImage::Format_RGB32);
}

QImage ExactTile(const model::CTileParams& params)
{
    render::CRgbImage rgb(params.m_nWidth, params.m_nHeight);
    render::RenderTile(params, rgb);
    return output::ImageView(rgb).convertToFormat(QImage::Format_RGB32);
}

QImage Rgb32(const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); }

class ContinuousViewTest : public EditorFixture {
protected:
    bool Checked(int id) const
    {
        IsEnabled(id);   // runs the update rules
        return Frame()->Action(id)->isChecked();
    }
    QString Caption(const CQuorrelView* view) const { return view->GetParentFrame()->windowTitle(); }

    test::CFakeRunner m_helpers;   // the desktop's helper programs: none found
};

} // namespace

TEST_F(ContinuousViewTest, TheViewRendersContinuouslyAndItsCaptionSaysSo)
{
    ASSERT_TRUE(Start());
    CQuorrelView* view = ActiveView();
    Press(Qt::Key_F5);
    const model::CTileParams& params = ActiveDoc()->m_params;
    ASSERT_EQ(Rgb32(TileOf(view)), ExactTile(params));
    EXPECT_FALSE(Checked(ID_VIEW_CONTINUOUS));
    const QString exactCaption = Caption(view);
    EXPECT_FALSE(exactCaption.contains("Continuous"));
    // In the View menu, after the zoom commands and before Animate.
    QStringList items;
    for (QAction* menu : Frame()->menuBar()->actions())
        if (menu->text() == "&View")
            for (QAction* action : menu->menu()->actions())
                items << action->text();
    EXPECT_TRUE(items.join("|").contains("Zoom &Normal\tCtrl+0, Num *||&Continuous Colours|&Animate\tA||&Full Screen")) << items.join("|").toStdString();

    Frame()->Action(ID_VIEW_CONTINUOUS)->trigger();
    EXPECT_TRUE(Checked(ID_VIEW_CONTINUOUS));
    EXPECT_EQ(Rgb32(TileOf(view)), ContinuousTile(params));
    EXPECT_NE(ContinuousTile(params), ExactTile(params));
    EXPECT_EQ(Caption(view), exactCaption + CQuorrelView::kContinuousNote);
    // A new tile is rendered the same way.
    Press(Qt::Key_F5);
    EXPECT_EQ(Rgb32(TileOf(view)), ContinuousTile(ActiveDoc()->m_params));

    // Copy takes what the view shows.
    QApplication::clipboard()->clear();
    Press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Rgb32(QApplication::clipboard()->image()), ContinuousTile(ActiveDoc()->m_params));

    // Off again: the exact tile, the plain caption.
    Frame()->Action(ID_VIEW_CONTINUOUS)->trigger();
    EXPECT_FALSE(Checked(ID_VIEW_CONTINUOUS));
    EXPECT_EQ(Rgb32(TileOf(view)), ExactTile(ActiveDoc()->m_params));
    EXPECT_EQ(Caption(view), exactCaption);
}

TEST_F(ContinuousViewTest, ANewViewStartsAsTheLastChoiceWhileEachViewKeepsItsOwn)
{
    ASSERT_TRUE(Start());
    CQuorrelView* first = ActiveView();
    Frame()->Action(ID_VIEW_CONTINUOUS)->trigger();
    ASSERT_TRUE(first->IsContinuous());
    const QImage firstTile = Rgb32(TileOf(first));
    EXPECT_EQ(firstTile, ContinuousTile(ActiveDoc()->m_params));

    Frame()->Action(ID_WINDOW_NEW)->trigger();
    CQuorrelView* second = ActiveView();
    ASSERT_NE(second, first);
    EXPECT_TRUE(second->IsContinuous());
    EXPECT_EQ(Rgb32(TileOf(second)), ContinuousTile(ActiveDoc()->m_params));
    EXPECT_TRUE(Caption(second).endsWith(":2" + CQuorrelView::kContinuousNote)) << Caption(second).toStdString();

    // Turned off in the second view only.
    Frame()->Action(ID_VIEW_CONTINUOUS)->trigger();
    EXPECT_FALSE(second->IsContinuous());
    EXPECT_TRUE(first->IsContinuous());
    EXPECT_EQ(Rgb32(TileOf(second)), ExactTile(ActiveDoc()->m_params));
    EXPECT_EQ(Rgb32(TileOf(first)), firstTile);
}

TEST_F(ContinuousViewTest, ScreenSizedExportRendersTheViewsWayAtTheChosenScale)
{
    ASSERT_TRUE(Start());
    Frame()->Action(ID_VIEW_CONTINUOUS)->trigger();
    const QString path = TempPath("calm.png");
    QString scaleShown;
    WhenModal<output::CScreenImageDialog>([&](output::CScreenImageDialog* dialog) {
        auto* width = dialog->findChild<QSpinBox*>(QStringLiteral("Width"));
        auto* height = dialog->findChild<QSpinBox*>(QStringLiteral("Height"));
        auto* scale = dialog->findChild<QComboBox*>(QStringLiteral("Scale"));
        auto* file = dialog->findChild<QLineEdit*>(QStringLiteral("File"));
        ASSERT_TRUE(width && height && scale && file);
        scaleShown = scale->currentText();
        ASSERT_EQ(scale->count(), 4);
        width->setValue(700);
        height->setValue(333);
        scale->setCurrentIndex(2);   // 3x
        file->setText(path);
        dialog->accept();
    });
    Frame()->Action(ID_EXPORT_SCREEN_IMAGE)->trigger();
    EXPECT_EQ(scaleShown, QString("1") + QChar(0x00d7));
    const QImage written = Rgb32(QImage(path));
    ASSERT_EQ(written.size(), QSize(700, 333));
    const QImage tile = ContinuousTile(ActiveDoc()->m_params, 3);
    for (int y = 0; y < 333; ++y)
        for (int x = 0; x < 700; ++x)
            ASSERT_EQ(written.pixel(x, y), tile.pixel(x % tile.width(), y % tile.height())) << x << "," << y;
}

TEST_F(ContinuousViewTest, WallpaperScaleIsARadioChoiceAfterSetAsWallpaper)
{
    ASSERT_TRUE(Start());
    CQuorrelView* view = ActiveView();
    EXPECT_EQ(view->WallpaperScale(), 1);
    EXPECT_TRUE(Checked(ID_WALLPAPER_SCALE_1));
    Frame()->Action(ID_WALLPAPER_SCALE_1 + 2)->trigger();
    EXPECT_EQ(view->WallpaperScale(), 3);
    EXPECT_TRUE(Checked(ID_WALLPAPER_SCALE_1 + 2));
    EXPECT_FALSE(Checked(ID_WALLPAPER_SCALE_1));
    QMenu* scales = Frame()->menuBar()->findChild<QMenu*>(QStringLiteral("WallpaperScale"));
    ASSERT_NE(scales, nullptr);
    EXPECT_EQ(scales->actions().size(), 4);
    // The next window starts with the same scale.
    Frame()->Action(ID_WINDOW_NEW)->trigger();
    EXPECT_EQ(ActiveView()->WallpaperScale(), 3);
}

// The wallpaper's file holds what the view shows at the chosen scale (here
// without a desktop to show it: the message says so after the file is
// written).
TEST_F(ContinuousViewTest, SetAsWallpaperWritesTheViewsTileAtTheWallpaperScale)
{
    ASSERT_TRUE(Start());
    m_app->SetDesktopWallpaper(
        std::make_unique<output::CDesktopWallpaper>(m_helpers, QProcessEnvironment(), TempPath("data")));
    Frame()->Action(ID_VIEW_CONTINUOUS)->trigger();
    Frame()->Action(ID_WALLPAPER_SCALE_1 + 1)->trigger();
    Frame()->Action(ID_SET_AS_WALLPAPER)->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.isEmpty(); }, 5000));
    const QImage written = Rgb32(QImage(TempPath("data/Quorrel Wallpaper.bmp")));
    EXPECT_EQ(written, ContinuousTile(ActiveDoc()->m_params, 2));
}
