// The status bar's numbers read the same under any locale: ctest runs these
// cases under the comma-decimal locale de_DE.UTF-8 and under C, where a
// position above a thousand would show grouped ("1.010") if it went through
// the locale.

#include "EditorFixture.h"

#include "app/ColorIndicator.h"
#include "app/ColorStatic.h"
#include "app/MainStatusBar.h"

#include "model/TileParams.h"

#include <QLocale>
#include <QMouseEvent>
#include <QTest>

#include <cstdio>

using namespace quorrel;
using namespace quorrel::app;

namespace {

using LocaleStatusBar = quorrel::test::EditorFixture;

TEST_F(LocaleStatusBar, RunsInTheLocaleAsked)
{
    const QByteArray locale = qgetenv("LC_ALL");
    ASSERT_TRUE(locale.startsWith("de_DE") || locale == "C") << "run through ctest, which sets LC_ALL";
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", 0.5);
    EXPECT_EQ(QByteArray(text), locale == "C" ? "0.5" : "0,5") << "the locale " << locale.constData() << " is missing";
    EXPECT_EQ(QLocale().toString(1010), locale == "C" ? "1,010" : "1.010");
}

TEST_F(LocaleStatusBar, PointerPositionAndColourTextsHaveNoLocaleMarks)
{
    ASSERT_TRUE(Start());
    CQuorrelView* view = ActiveView();
    ASSERT_NE(view, nullptr);
    auto& params = view->GetDocument()->m_params;
    params.m_nWidth = 1024;
    params.m_nHeight = 1024;
    view->RenderView();
    view->parentWidget()->showNormal();
    view->parentWidget()->resize(1200, 1150);
    QApplication::processEvents();
    ASSERT_GT(view->viewport()->height(), 1005);
    // Sent straight to the view: the test screen is smaller than the point.
    const QPoint point(1010, 1005);
    QMouseEvent move(QEvent::MouseMove, point, view->viewport()->mapToGlobal(point), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    EXPECT_EQ(Frame()->GetPaneText(2), "1010, 1005");
    const QRgb rgb = view->RenderedBitmap().pixel(1010, 1005);
    const QString colour = QString::asprintf("#%02X%02X%02X", qRed(rgb), qGreen(rgb), qBlue(rgb));
    EXPECT_EQ(PixelColorText(uint32_t(qRed(rgb)) | uint32_t(qGreen(rgb)) << 8 | uint32_t(qBlue(rgb)) << 16), colour);
    EXPECT_EQ(PixelColorText(0x000A0B0C), "#0C0B0A");
}

} // namespace
