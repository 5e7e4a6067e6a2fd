// The controls on a real X server: this program starts itself again under
// xvfb-run with the xcb platform, where key presses come from the X server
// (sent with xdotool through the XTEST extension, so the server's key
// mapping turns them into Qt keys) and the screen is read back from the
// server. Checked there: the grid leaves Enter, Escape and Ctrl+Tab to its
// dialog and takes the Insert and Delete clipboard keys, and the slider's
// value tip is painted the moment it is shown.

#include "controls/GridCtrl.h"
#include "controls/RangeSliderCtrl.h"
#include "controls/RangeSliderStyles.h"
#include "support/GridInDialog.h"
#include "support/XServerTest.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QKeyEvent>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace quorrel::controls;

namespace {


// --- The outer test, run by ctest: starts the X server and the driver. ---

TEST(X11Input, ControlsOnARealXServer)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    quorrel::test::CXServerRunOptions options;
    options.home = home.path();
    options.filter = "OnXServer.*";
    options.screen = "1024x768x24";
    options.timeoutMs = 120000;
    options.tools = QStringList{"xdotool"};
    const quorrel::test::CXServerRun run = quorrel::test::RunUnderXServer(options);
    quorrel::test::ExpectEveryInnerCasePassed(run, 3);
}

// --- The driver, run under the X server. ---

// Real key presses through the X server, to whatever window has the focus.
void XKeys(const QStringList& keys)
{
    for (const QString& key : keys) {
        ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), {"key", "--clearmodifiers", key}), 0) << key.toStdString();
        QTest::qWait(60);   // let the events arrive and be handled
    }
}

// The key presses the application received, as "key/modifiers".
class KeyLog final : public QObject {
public:
    KeyLog() { qApp->installEventFilter(this); }
    ~KeyLog() override { qApp->removeEventFilter(this); }
    QStringList seen;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
            const auto* k = static_cast<QKeyEvent*>(event);
            const QString entry = QStringLiteral("%1/%2").arg(k->key(), 0, 16).arg(int(k->modifiers()), 0, 16);
            if (seen.isEmpty() || seen.constLast() != entry)
                seen << entry;
        }
        return false;
    }
};

using GridDialog = quorrel::test::CGridInDialog;

TEST(OnXServer, GridLeavesEnterEscapeAndCtrlTabToItsDialog)
{
    for (const char* enter : {"Return", "KP_Enter"}) {
        SCOPED_TRACE(enter);
        GridDialog d(5);
        ASSERT_TRUE(d.Open());
        KeyLog log;
        XKeys({"ctrl+Tab"});
        EXPECT_EQ(d.grid->GetFocusCell(), (CCellID{2, 2}));
        XKeys({"ctrl+shift+Tab"});
        EXPECT_EQ(d.grid->GetFocusCell(), (CCellID{2, 2}));
        // The server's mapping: Ctrl+Tab and Ctrl+Shift+Tab (which X turns
        // into a back-tab key) did reach the grid.
        const auto arrived = [&log](int key, Qt::KeyboardModifiers mods) {
            return log.seen.contains(QStringLiteral("%1/%2").arg(key, 0, 16).arg(int(mods), 0, 16));
        };
        EXPECT_TRUE(arrived(Qt::Key_Tab, Qt::ControlModifier)) << log.seen.join(' ').toStdString();
        EXPECT_TRUE(arrived(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier)) << log.seen.join(' ').toStdString();
        XKeys({"Tab", "Right"});
        EXPECT_EQ(d.grid->GetFocusCell(), (CCellID{2, 4}));
        XKeys({"shift+Tab"});
        EXPECT_EQ(d.grid->GetFocusCell(), (CCellID{2, 3}));
        XKeys({enter});
        EXPECT_EQ(d.grid->GetInPlaceEdit(), nullptr);
        EXPECT_FALSE(d.dialog->isVisible());
        EXPECT_EQ(d.dialog->result(), QDialog::Accepted);
    }
    GridDialog d(5);
    ASSERT_TRUE(d.Open());
    // An open edit takes Enter and Escape; then Escape reaches the dialog.
    XKeys({"7", "Return"});
    EXPECT_EQ(d.grid->GetItemText(2, 2), "7");
    EXPECT_TRUE(d.dialog->isVisible());
    XKeys({"8", "Escape"});
    EXPECT_EQ(d.grid->GetItemText(2, 2), "7");
    EXPECT_TRUE(d.dialog->isVisible());
    XKeys({"Escape"});
    EXPECT_FALSE(d.dialog->isVisible());
    EXPECT_EQ(d.dialog->result(), QDialog::Rejected);
}

// The second clipboard keys, as the X server maps them: Ctrl+Insert copies,
// Shift+Delete cuts, Shift+Insert pastes.
TEST(OnXServer, GridTakesInsertAndDeleteClipboardKeys)
{
    GridDialog d(5);
    ASSERT_TRUE(d.Open());
    QGuiApplication::clipboard()->setText(QStringLiteral("-"));
    XKeys({"ctrl+Insert"});
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("22"));
    XKeys({"Right", "shift+Delete"});
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("23"));
    EXPECT_EQ(d.grid->GetItemText(2, 3), QString());
    XKeys({"Down", "shift+Insert"});
    EXPECT_EQ(d.grid->GetItemText(3, 3), QStringLiteral("23"));
    EXPECT_EQ(d.grid->GetItemText(2, 2), QStringLiteral("22"));
    EXPECT_TRUE(d.dialog->isVisible());
}

TEST(OnXServer, SliderTipIsPaintedTheMomentItShows)
{
    QWidget window;
    auto* slider = new CRangeSliderCtrl(&window, RSS_DEFAULT);
    slider->setGeometry(10, 10, 400, 44);
    window.resize(420, 200);
    window.move(100, 100);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const uint32_t colors[3] = {0xFFFFFF, 0xFF0000, 0xFFFFFF};
    slider->SetUp(0.0f, 255.0f, 20, 2, nullptr, colors, int(RSS_COLORSEGMENTS | RSS_LABELS | RSS_INTEGER | RSS_VALUETIP));
    for (int drag = 0; drag < 3; ++drag) {
        SCOPED_TRACE(drag);
        const float values[2] = {40.0f + 60.0f * float(drag), 230.0f};
        slider->SetMarkers(0.0f, 255.0f, 2, values);
        slider->repaint();
        const Box body = slider->GetMarkerBody(0);
        const QPoint at((body.left + body.right) / 2, (body.top + body.bottom) / 2);
        // The press shows the tip; the screen is read at once, before any
        // further event is handled.
        QTest::mousePress(slider, Qt::LeftButton, {}, at);
        const CInfoTip& tip = slider->GetTip();
        ASSERT_TRUE(tip.isVisible());
        const QRect area = tip.geometry();
        const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(),
                                                                         area.height()).toImage();
        QTest::mouseRelease(slider, Qt::LeftButton, {}, at);
        const QColor base = tip.palette().color(QPalette::ToolTipBase);
        const QColor text = tip.palette().color(QPalette::ToolTipText);
        int basePixels = 0, textPixels = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x) {
                const QColor c = shot.pixelColor(x, y);
                basePixels += c == base;
                const int toText = std::abs(c.red() - text.red()) + std::abs(c.green() - text.green())
                                   + std::abs(c.blue() - text.blue());
                textPixels += toText < 120;
            }
        const int all = shot.width() * shot.height();
        EXPECT_GT(basePixels, all / 3) << "the tip shows no background yet";
        EXPECT_GT(textPixels, 5) << "the tip shows no text yet";
        EXPECT_LT(textPixels, all / 2) << "the tip is a dark box";
    }
}

} // namespace

int main(int argc, char** argv)
{
    return quorrel::test::XServerTestMain(argc, argv);
}
