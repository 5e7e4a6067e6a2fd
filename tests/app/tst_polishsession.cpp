// The editor where a new user meets it, under a real window manager (xfwm4
// on a real X server) and in headless sway: the first start shows the main
// window with its Properties sheet as a dialog of it (floating in sway); a
// cancelled first sheet leaves Copy, Set As Wallpaper and the exports
// waiting for a tile instead of writing a black one; the status bar wraps a
// long message in a narrow window, starts its read-out afresh for a new
// view and shows Continuous Colours (in full screen too); Ctrl+W closes a
// document, and leaving during an animation export asks first; enabled
// symmetry marks outshine greyed ones and read-only correlation cells stand
// apart, on a light and on a dark palette.

#include "support/EditorSession.h"

#include "app/ColorStatic.h"
#include "app/FullScreen.h"
#include "app/MainStatusBar.h"
#include "app/animation/ViewAnimation.h"
#include "controls/Contrast.h"
#include "controls/GridCtrl.h"
#include "editors/EditorIcons.h"
#include "editors/IconLabel.h"
#include "editors/PropsSymmetries.h"
#include "editors/QuorrelProp.h"
#include "output/DesktopWallpaper.h"
#include "platform/CommandIds.h"
#include "platform/MessageBox.h"
#include "platform/SettingsLocation.h"
#include "platform/WindowSystem.h"
#include "support/Palettes.h"
#include "support/XServerTest.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QProcess>
#include <QProgressBar>
#include <QScopeGuard>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <initializer_list>

#include <unistd.h>

using namespace quorrel;
using namespace quorrel::app;
using namespace quorrel::platform;
using namespace quorrel::test;

namespace {

constexpr const char* kWaylandVariable = "QUORREL_POLISH_UNDER_WAYLAND";
constexpr const char* kWaylandWorkVariable = "QUORREL_POLISH_WAYLAND_WORK";
constexpr int kNobody = 65534;

bool UnderWayland() { return qEnvironmentVariableIsSet(kWaylandVariable); }

// Keeps the inner runs' screenshots next to the test for a look.
void KeepShots(const QDir& work, const QString& pattern)
{
    for (const QString& shot : work.entryList({pattern}, QDir::Files)) {
        QFile::remove(shot);
        QFile::copy(work.filePath(shot), shot);
    }
}

// --- The outer tests, run by ctest. ---

TEST(PolishSession, FirstStartStatusBarKeysAndMarksUnderXfwm4)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    test::CXServerRunOptions options;
    options.home = home.path();
    options.filter = "InPolishSession.*";
    options.tools = QStringList{"xdotool", "xprop", "xfwm4"};
    // xfwm4 reads its settings over a session bus (xfconf): one of its own.
    options.windowManager = QStringList{"dbus-run-session", "--", "xfwm4", "--compositor=off", "--sm-client-disable"};
    options.lsanSuppressions = QUORREL_E2E_LSAN_SUPPRESSIONS;
    const auto run = test::RunUnderXServer(options);
    test::ExpectEveryInnerCasePassed(run, 4);
    KeepShots(QDir(QDir(home.path()).filePath("work")), "x11-*.png");
}

// A program as the user the sway session runs as: nobody when we are root
// (sway refuses root).
QStringList AsSessionUser(const QStringList& command)
{
    if (geteuid() != 0)
        return command;
    return QStringList{"setpriv", "--reuid=" + QString::number(kNobody), "--regid=" + QString::number(kNobody),
                       "--clear-groups", "--"} +
           command;
}

TEST(PolishSession, FirstStartSheetFloatsOverTheWindowUnderSway)
{
    for (const char* tool : {"sway", "swaymsg", "wtype", "grim", "setpriv"})
        ASSERT_FALSE(QStandardPaths::findExecutable(tool).isEmpty())
            << tool << " is missing (scripts/setup.sh installs it)";
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QDir dir(home.path());
    for (const char* sub : {"run", "config", "data", "cache", "work"})
        ASSERT_TRUE(dir.mkpath(sub));
    QFile::setPermissions(dir.filePath("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile config(dir.filePath("sway.conf"));
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write("output * mode 1600x1000\noutput * bg #000000 solid_color\n");
    config.close();
    for (const QString& path : {dir.path(), dir.filePath("run"), dir.filePath("config"), dir.filePath("data"),
                                dir.filePath("cache"), dir.filePath("work"), config.fileName()})
        if (geteuid() == 0)
            ASSERT_EQ(::chown(QFile::encodeName(path).constData(), kNobody, kNobody), 0) << path.toStdString();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* var : {"DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "DBUS_SESSION_BUS_ADDRESS", "SWAYSOCK",
                            "QT_SCALE_FACTOR"})
        env.remove(var);
    env.insert("HOME", dir.path());
    env.insert("XDG_RUNTIME_DIR", dir.filePath("run"));
    env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    env.insert("XDG_DATA_HOME", dir.filePath("data"));
    env.insert("XDG_CACHE_HOME", dir.filePath("cache"));
    env.insert("WLR_BACKENDS", "headless");
    env.insert("WLR_RENDERER", "pixman");
    env.insert("WLR_LIBINPUT_NO_DEVICES", "1");

    QProcess sway;
    sway.setProcessEnvironment(env);
    sway.setProcessChannelMode(QProcess::MergedChannels);
    const QStringList swayCommand = AsSessionUser({"sway", "-c", config.fileName()});
    sway.start(swayCommand.front(), swayCommand.mid(1));
    ASSERT_TRUE(sway.waitForStarted(10000));
    const auto stopSway = qScopeGuard([&] {
        sway.terminate();
        if (!sway.waitForFinished(5000)) {
            sway.kill();
            sway.waitForFinished(5000);
        }
    });
    QString socket;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (const QString& name : QDir(dir.filePath("run")).entryList({"wayland-*"}, QDir::System))
                if (!name.endsWith(".lock"))
                    socket = name;
            return !socket.isEmpty();
        },
        15000))
        << "sway did not start:\n" << sway.readAll().constData();

    env.insert("WAYLAND_DISPLAY", socket);
    env.insert("QT_QPA_PLATFORM", "wayland");
    env.insert(kWaylandVariable, "1");
    env.insert(kWaylandWorkVariable, dir.filePath("work"));
    QProcess driver;
    driver.setProcessEnvironment(env);
    driver.setProcessChannelMode(QProcess::MergedChannels);
    const QStringList command =
        AsSessionUser({QCoreApplication::applicationFilePath(), "--gtest_filter=InSwayFirstStart.*"});
    driver.start(command.front(), command.mid(1));
    ASSERT_TRUE(driver.waitForStarted(10000));
    const bool finished = driver.waitForFinished(120000);
    if (!finished)
        driver.kill();
    const QByteArray output = driver.readAll();
    std::fputs(output.constData(), stdout);
    ASSERT_TRUE(finished) << "the driver did not finish in time";
    EXPECT_EQ(driver.exitCode(), 0);
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test.")) << "the driver did not pass its case";
    KeepShots(QDir(dir.filePath("work")), "wayland-*.png");
}

// --- The driver under the X server with xfwm4. ---

// The highest and the lowest of the best contrasts that each of `areas`
// (device pixels of the screen) has against `background`.
std::pair<double, double> ContrastSpan(const QImage& screen, const std::vector<QRect>& areas, const QColor& background)
{
    double lowest = 21.0, highest = 1.0;
    for (const QRect& area : areas) {
        double best = 1.0;
        const QRect inside = area.intersected(screen.rect());
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            for (int x = inside.left(); x <= inside.right(); ++x)
                best = std::max(best, controls::ContrastRatio(QColor(screen.pixel(x, y)), background));
        lowest = std::min(lowest, best);
        highest = std::max(highest, best);
    }
    return {lowest, highest};
}

QRect OnScreen(const QWidget* widget)
{
    return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
}

// Bands of rows of `image` inside `area` that hold ink (pixels far from
// the area's first pixel): the lines of text drawn there.
int InkBands(const QImage& image, const QRect& area)
{
    const QColor paper(image.pixel(area.topLeft() + QPoint(1, 1)));
    int bands = 0;
    bool inBand = false;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        bool ink = false;
        for (int x = area.left(); x <= area.right() && !ink; ++x)
            ink = controls::ContrastRatio(QColor(image.pixel(x, y)), paper) > 2.5;
        bands += ink && !inBand;
        inBand = ink;
    }
    return bands;
}

class InPolishSession : public InX11Session {
protected:
    void SetUp() override
    {
        InX11Session::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(QTest::qWaitFor([] { return platform::HasWindowManager(); }, 15000))
            << "xfwm4 did not take the screen";
    }
    void TearDown() override
    {
        CViewAnimation::SetExportChooser({});
        InX11Session::TearDown();
    }
    // Runs `step` on the real Properties sheet once F4 has shown it and the
    // window manager has mapped it; the step closes it.
    void InSheet(const std::function<void(editors::CQuorrelProp*)>& step)
    {
        CQuorrelView::SetPropertySheetRunner({});
        bool done = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* sheet = qobject_cast<editors::CQuorrelProp*>(QApplication::activeModalWidget());
            if (!sheet || !sheet->isVisible() || done)
                return;
            poll.stop();
            done = true;
            EXPECT_TRUE(QTest::qWaitForWindowExposed(sheet, 5000));
            step(sheet);
            if (sheet->isVisible())
                sheet->reject();
        });
        poll.start(50);
        Xdo({"key", "F4"});
        EXPECT_TRUE(QTest::qWaitFor([&] { return done && !QApplication::activeModalWidget(); }, 30000))
            << "F4 showed no sheet";
    }
    QString WallpaperFile() const
    {
        const QDir folder(WorkDir() + "/wallpaper");
        const QStringList files = folder.entryList(QDir::Files);
        return files.isEmpty() ? QString() : folder.filePath(files.front());
    }
};

TEST_F(InPolishSession, FirstStartShowsTheWindowUnderItsSheetAndWithoutATileNothingIsWrittenOut)
{
    // The real sheet, as a new user meets it.
    CQuorrelView::SetPropertySheetRunner({});
    m_app = std::make_unique<CQuorrelApp>();
    m_app->SetDesktopWallpaper(
        std::make_unique<output::CDesktopWallpaper>(m_noHelpers, QProcessEnvironment(), WorkDir() + "/wallpaper"));
    struct {
        bool ran = false;
        bool windowMapped = false;
        QString transientFor;
        Qt::WindowModality modality = Qt::NonModal;
        QRect sheet;
        QRect window;
        QString firstPageWidth;
    } seen;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* sheet = qobject_cast<editors::CQuorrelProp*>(QApplication::activeModalWidget());
        if (!sheet || !sheet->isVisible() || seen.ran)
            return;
        poll.stop();
        seen.ran = true;
        const WId window = m_app->MainFrame()->winId();
        seen.windowMapped =
            QTest::qWaitFor([&] { return XProperty(window, "WM_STATE").contains("Normal"); }, 10000);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(sheet, 5000));
        EXPECT_TRUE(QTest::qWaitFor([&] { return XProperty(sheet->winId(), "WM_STATE").contains("Normal"); }, 5000));
        seen.transientFor = XProperty(sheet->winId(), "WM_TRANSIENT_FOR");
        seen.modality = sheet->windowModality();
        seen.sheet = sheet->frameGeometry();
        seen.window = m_app->MainFrame()->frameGeometry();
        if (auto* width = sheet->findChild<QWidget*>(QStringLiteral("2011")))
            seen.firstPageWidth = width->property("text").toString();
        (void)QTest::qWaitFor([&] { return m_app->MainFrame()->isActiveWindow() || sheet->isActiveWindow(); }, 2000);
        Screenshot("first-start");
        // Esc cancels the sheet, through the real keyboard.
        sheet->activateWindow();
        (void)QTest::qWaitForWindowActive(sheet, 3000);
        Xdo({"key", "Escape"});
    });
    poll.start(50);
    ASSERT_TRUE(m_app->InitInstance());
    ASSERT_TRUE(seen.ran) << "no sheet at the first start";
    EXPECT_TRUE(seen.windowMapped) << "the main window was not on screen under the sheet";
    EXPECT_TRUE(seen.transientFor.contains(QStringLiteral("0x%1").arg(m_app->MainFrame()->winId(), 0, 16)))
        << "the sheet is no dialog of the main window: " << seen.transientFor.toStdString();
    EXPECT_EQ(seen.modality, Qt::WindowModal);
    EXPECT_TRUE(seen.window.contains(seen.sheet.center())) << "the sheet is not over the window";
    EXPECT_LT(seen.sheet.width(), seen.window.width());
    EXPECT_FALSE(seen.firstPageWidth.isEmpty()) << "the General page showed no width";

    // Cancelled: the placeholder, no tile.
    ASSERT_NE(View(), nullptr);
    ASSERT_FALSE(View()->IsRendered());
    Focus();
    for (int id : std::initializer_list<int>{ID_EXPORT_IMAGE, ID_EXPORT_SCREEN_IMAGE, ID_SET_AS_WALLPAPER, ID_EDIT_COPY,
                                             ID_FILE_PRINT}) {
        EXPECT_FALSE(Frame()->Action(id)->isEnabled()) << id;
        EXPECT_TRUE(Frame()->Action(id)->statusTip().contains("no tile yet")) << id;
    }
    // File > Set As Wallpaper and Ctrl+C through the real menu and keys do nothing.
    QApplication::clipboard()->setText("kept");
    MenuItem("&File", "w");
    if (QApplication::activePopupWidget())
        Xdo({"key", "Escape"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !QApplication::activePopupWidget(); }, 3000));
    ASSERT_FALSE(Frame()->IsFullScreen());
    Xdo({"key", "ctrl+c"});
    EXPECT_FALSE(m_app->DesktopWallpaper().IsBusy());
    EXPECT_TRUE(WallpaperFile().isEmpty()) << "a wallpaper was written without a tile";
    EXPECT_EQ(QApplication::clipboard()->text(), "kept");
    EXPECT_FALSE(Frame()->GetPaneText(0).startsWith("Wallpaper set")) << Frame()->GetPaneText(0).toStdString();

    // F5 makes the tile; then the same menu item writes it, not black.
    Xdo({"key", "F5"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return View()->IsRendered(); }, 10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Frame()->Action(ID_SET_AS_WALLPAPER)->isEnabled(); }, 3000));
    EXPECT_EQ(Frame()->Action(ID_SET_AS_WALLPAPER)->statusTip(), "Set As &Wallpaper (Tiled)");
    MenuItem("&File", "w");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !WallpaperFile().isEmpty() && !m_app->DesktopWallpaper().IsBusy(); },
                                15000));
    const QImage written = QImage(WallpaperFile()).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(written, Tile(View())) << "the wallpaper is not the tile";
}

TEST_F(InPolishSession, TheStatusBarWrapsInANarrowWindowAndFollowsTheActiveView)
{
    Start();
    CMainStatusBar* bar = Frame()->StatusBar();
    // Lock keys are readable on X11: their panes stay.
    for (const char* pane : {"CAPPane", "NUMPane", "SCRLPane"})
        EXPECT_TRUE(bar->findChild<QLabel*>(pane)->isVisible()) << pane;

    Frame()->showNormal();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Frame()->isMaximized(); }, 5000));
    Frame()->resize(560, 460);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Frame()->width() <= 600; }, 5000));
    const int oneLine = bar->height();
    const QString notice = "Wallpaper set on XFCE: " + WorkDir() + "/wallpaper/Quorrel Wallpaper.bmp";
    ASSERT_GT(bar->fontMetrics().horizontalAdvance(notice), Frame()->width()) << "the message would fit anyway";
    Frame()->ShowNotice(notice);
    // The panes move down to make room for the message above them.
    QWidget* position = bar->Pane(2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return position->y() >= 2 * bar->fontMetrics().lineSpacing(); }, 5000))
        << "no room above the panes for a message that does not fit beside them (bar " << oneLine << " px)";
    EXPECT_LT(bar->height(), oneLine + 6 * bar->fontMetrics().lineSpacing()) << "the bar took over the window";
    // The message is drawn whole over the band's lines, the panes below it,
    // once the X server shows the new layout.
    int panesTop = bar->height();
    for (QWidget* pane : bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (pane->isVisible() && !pane->isWindow())
            panesTop = std::min(panesTop, pane->y());
    const QRect band(bar->mapToGlobal(QPoint(2, 1)), QSize(bar->width() - 4, panesTop - 2));
    int lines = 0;
    EXPECT_TRUE(QTest::qWaitFor([&] { return (lines = InkBands(Screenshot("narrow-status-bar"), band)) >= 2; }, 5000))
        << "the message is not shown over two lines (" << lines << ")";
    EXPECT_TRUE(position->isVisible());
    EXPECT_EQ(bar->currentMessage(), notice);
    // The panes keep their row inside the window, below the band.
    EXPECT_LE(bar->geometry().bottom(), Frame()->centralWidget()->parentWidget()->height());
    EXPECT_GE(position->height(), bar->fontMetrics().height()) << "the panes were squeezed under the band";

    // The colour read-out: the pointer's colour, then afresh for a new view.
    const QPoint middle = View()->viewport()->mapToGlobal(View()->viewport()->rect().center());
    Xdo({"mousemove", QString::number(middle.x()), QString::number(middle.y())});
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->ColorIndicator() && bar->ColorIndicator()->text().startsWith('#'); },
                                3000));
    Xdo({"key", "ctrl+n"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return Documents() == 2; }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !bar->ColorIndicator(); }, 3000))
        << "the last document's colour stays for the new one";
    EXPECT_EQ(bar->GetPaneText(3), "RGB(0, 0, 0)");
    EXPECT_EQ(bar->GetPaneText(2), "0, 0");
    const QPoint moved = View()->viewport()->mapToGlobal(View()->viewport()->rect().center() + QPoint(3, 2));
    Xdo({"mousemove", QString::number(moved.x()), QString::number(moved.y())});
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->ColorIndicator() != nullptr; }, 3000));
    const QRgb under = View()->RenderedBitmap().pixel(View()->PointerPosition());
    EXPECT_EQ(bar->ColorIndicator()->text(), QColor(under).name().toUpper());

    // In a wide window a short message stands beside the panes again.
    Frame()->showMaximized();
    Frame()->ShowNotice(QStringLiteral("Ready"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return position->y() < bar->fontMetrics().lineSpacing(); }, 5000))
        << "the band stayed for a message that fits";

    // Continuous Colours shows in the status bar, and in full screen.
    Frame()->Router().Execute(ID_VIEW_CONTINUOUS);
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->RenderWayText() == "Continuous Colours"; }, 3000));
    Focus();
    Xdo({"key", "f"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return Frame()->IsFullScreen() && Frame()->FullScreen().FloatingToolBar(); },
                                5000));
    QToolBar* floating = Frame()->FullScreen().FloatingToolBar();
    auto* note = floating->findChild<QLabel*>("RenderWayNote");
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return note->isVisible(); }, 3000)) << "full screen does not say it";
    auto* button = qobject_cast<QToolButton*>(floating->widgetForAction(Frame()->Action(ID_FULL_SCREEN)));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
    EXPECT_EQ(button->text(), "Full Screen");
    EXPECT_FALSE(button->toolTip().isEmpty());
    QTest::qWait(0);
    Screenshot("fullscreen-continuous");
    Xdo({"key", "f"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Frame()->IsFullScreen(); }, 5000));
    Frame()->Router().Execute(ID_VIEW_CONTINUOUS);
    EXPECT_TRUE(QTest::qWaitFor([&] { return bar->RenderWayText().isEmpty(); }, 3000));
}

TEST_F(InPolishSession, CtrlWClosesADocumentAndLeavingDuringAnAnimationExportAsksFirst)
{
    Start();
    Xdo({"key", "ctrl+w"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return Documents() == 0; }, 5000)) << "Ctrl+W closed nothing";

    Xdo({"key", "ctrl+n"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return Documents() == 1 && View() && View()->IsRendered(); }, 5000));
    Focus();
    const QString path = WorkDir() + "/long.webm";
    CViewAnimation::SetExportChooser([path](const output::animation::CAnimationExportChoice&) {
        output::animation::CAnimationExportChoice choice;
        choice.path = path;
        choice.seconds = 60;
        choice.fps = 30;
        choice.fill = QSize(1920, 1080);
        return std::optional<output::animation::CAnimationExportChoice>(choice);
    });
    Frame()->Router().Execute(ID_EXPORT_ANIMATION);
    ASSERT_TRUE(QTest::qWaitFor([&] { return View()->Animation().IsExporting(); }, 3000));

    // No: the document stays and the export goes on.
    prompts.clear();
    Xdo({"key", "ctrl+w"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return prompts.join('\n').contains("still being exported"); }, 5000))
        << "closing said nothing about the export: " << prompts.join(" / ").toStdString();
    EXPECT_EQ(Documents(), 1);
    EXPECT_TRUE(View()->Animation().IsExporting());

    // Yes: it stops, writes nothing, and the document closes.
    SetMessageHandler([this](const MessageRequest& request) {
        prompts << request.caption + "|" + request.text;
        return request.text.contains("still being exported") ? MsgResult::Yes : MsgResult::No;
    });
    Xdo({"key", "ctrl+w"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return Documents() == 0; }, 20000));
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(InPolishSession, EnabledSymmetryMarksOutshineGreyedOnesAndReadOnlyCellsStandApartInBothThemes)
{
    Start();
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    const QPalette light = QApplication::style()->standardPalette();
    const auto restore = qScopeGuard([light] { QApplication::setPalette(light); });
    for (const bool dark : {false, true}) {
        QApplication::setPalette(dark ? test::DarkPalette() : light);
        const QString theme = dark ? "dark" : "light";
        Focus();
        InSheet([&](editors::CQuorrelProp* sheet) {
            sheet->TabBar()->setCurrentIndex(3);
            auto* page = sheet->findChild<editors::CPropsSymmetries*>();
            ASSERT_NE(page, nullptr);
            ASSERT_TRUE(QTest::qWaitFor([&] { return page->isVisible(); }, 3000));
            // Luminosity cleared through its check box: its marks grey.
            auto* luminosity = page->findChild<QCheckBox*>(QStringLiteral("3205"));
            ASSERT_NE(luminosity, nullptr);
            if (luminosity->isChecked())
                luminosity->click();
            ASSERT_FALSE(luminosity->isChecked());
            std::vector<QRect> enabled, greyed;
            for (const editors::CIconLabel* value : page->findChildren<editors::CIconLabel*>()) {
                if (!value->isVisible())
                    continue;
                if (std::abs(value->IconId() - editors::kValueIcon) <= 1)
                    enabled.push_back(OnScreen(value));
                else if (std::abs(value->IconId() - editors::kGreyValueIcon) <= 1)
                    greyed.push_back(OnScreen(value));
            }
            ASSERT_FALSE(enabled.empty());
            ASSERT_FALSE(greyed.empty());
            const QColor face = page->palette().color(QPalette::Window);
            // The page as the X server shows it, once every mark is painted.
            QImage shot;
            EXPECT_TRUE(QTest::qWaitFor(
                [&] {
                    page->repaint();
                    shot = Screenshot(theme + "-symmetries");
                    const double faintestEnabled = ContrastSpan(shot, enabled, face).first;
                    const auto [faintestGreyed, brightestGreyed] = ContrastSpan(shot, greyed, face);
                    return faintestEnabled >= controls::kTextContrast && faintestGreyed >= 1.8 &&
                           faintestEnabled > 1.5 * brightestGreyed;
                },
                8000))
                << theme.toStdString() << ": the screen never showed the marks as they should stand";
            const auto [faintestEnabled, brightestEnabled] = ContrastSpan(shot, enabled, face);
            const auto [faintestGreyed, brightestGreyed] = ContrastSpan(shot, greyed, face);
            EXPECT_GE(faintestEnabled, controls::kTextContrast) << theme.toStdString();
            EXPECT_GE(faintestGreyed, 1.8) << theme.toStdString() << ": greyed marks vanish";
            EXPECT_GT(faintestEnabled, 1.5 * brightestGreyed)
                << theme.toStdString() << ": greyed marks " << brightestGreyed << " : 1, enabled "
                << faintestEnabled << " : 1";
            (void)brightestEnabled;
            (void)faintestGreyed;

            sheet->TabBar()->setCurrentIndex(4);
            auto* grid = sheet->findChild<controls::CGridCtrl*>(QStringLiteral("6002"));
            ASSERT_NE(grid, nullptr);
            ASSERT_TRUE(QTest::qWaitFor([&] { return grid->isVisible(); }, 3000));
            grid->SetFocusCell(-1, -1);
            QTest::qWait(0);
            const QImage cells = Screenshot(theme + "-correlations");
            QColor editable, readOnly;
            bool haveEditable = false, haveReadOnly = false;
            for (int r = 1; r < grid->GetRowCount(); ++r) {
                for (int k = 1; k < grid->GetColumnCount(); ++k) {
                    QRect cell;
                    if (!grid->GetCellRect(r, k, cell) || !grid->GetItemText(r, k).isEmpty())
                        continue;
                    const QColor shown(cells.pixel(grid->viewport()->mapToGlobal(cell.topLeft() + QPoint(3, 3))));
                    const bool locked = grid->GetItemState(r, k) & controls::GCS_READONLY;
                    (locked ? readOnly : editable) = shown;
                    (locked ? haveReadOnly : haveEditable) = true;
                }
            }
            ASSERT_TRUE(haveReadOnly && haveEditable) << theme.toStdString();
            EXPECT_GE(controls::ContrastRatio(editable, readOnly), controls::kSurfaceContrast - 0.05)
                << theme.toStdString() << ": " << editable.name().toStdString() << " vs "
                << readOnly.name().toStdString();
        });
    }
}

// --- The driver inside sway. ---

QString SwaySocket()
{
    const QDir run(qEnvironmentVariable("XDG_RUNTIME_DIR"));
    const QStringList found = run.entryList({"sway-ipc.*.sock"}, QDir::System);
    return found.isEmpty() ? QString() : run.filePath(found.front());
}

// This process's windows as sway lays them out: name, rectangle and whether
// they float.
struct SwayWindow {
    QString name;
    QRect rect;
    bool floating = false;
};

QList<SwayWindow> OurSwayWindows()
{
    QProcess swaymsg;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("SWAYSOCK", SwaySocket());
    swaymsg.setProcessEnvironment(env);
    swaymsg.start(QStringLiteral("swaymsg"), {"-t", "get_tree", "-r"});
    if (!swaymsg.waitForFinished(5000))
        return {};
    QList<SwayWindow> ours;
    std::function<void(const QJsonObject&, bool)> walk = [&](const QJsonObject& node, bool floating) {
        if (node.value("pid").toInteger() == QCoreApplication::applicationPid()) {
            const QJsonObject r = node.value("rect").toObject();
            ours << SwayWindow{node.value("name").toString(),
                               QRect(r.value("x").toInt(), r.value("y").toInt(), r.value("width").toInt(),
                                     r.value("height").toInt()),
                               floating};
        }
        for (const QJsonValue& child : node.value("nodes").toArray())
            walk(child.toObject(), floating);
        for (const QJsonValue& child : node.value("floating_nodes").toArray())
            walk(child.toObject(), true);
    };
    walk(QJsonDocument::fromJson(swaymsg.readAllStandardOutput()).object(), false);
    return ours;
}

class InSwayFirstStart : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!UnderWayland())
            GTEST_SKIP() << "runs only inside the sway session the outer test starts";
        ASSERT_EQ(QGuiApplication::platformName(), "wayland");
        platform::OpenSettings("Vantorel", "Quorrel")->clear();
        platform::OpenSettings("Local AppWizard-Generated Applications", "Quorrel")->clear();
        platform::SetMessageHandler([](const platform::MessageRequest&) { return platform::MsgResult::No; });
        // One long-lived virtual keyboard: one that wtype adds for a single
        // call loses that call's first press.
        m_keyboard.start(QStringLiteral("wtype"), {"-s", "100000000"});
        ASSERT_TRUE(m_keyboard.waitForStarted(5000));
    }
    void TearDown() override
    {
        m_app.reset();
        m_keyboard.kill();
        m_keyboard.waitForFinished(5000);
        platform::SetMessageHandler({});
    }
    QProcess m_keyboard;
    test::CFakeRunner m_noHelpers;
    std::unique_ptr<CQuorrelApp> m_app;
};

TEST_F(InSwayFirstStart, TheSheetFloatsAtItsOwnSizeOverTheWindowAndTheLockPanesGiveWay)
{
    CQuorrelView::SetPropertySheetRunner({});
    m_app = std::make_unique<CQuorrelApp>();
    m_app->SetDesktopWallpaper(std::make_unique<output::CDesktopWallpaper>(
        m_noHelpers, QProcessEnvironment(), qEnvironmentVariable(kWaylandWorkVariable) + "/wallpaper"));
    QList<SwayWindow> seen;
    bool ran = false;
    bool shownOnScreen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* sheet = qobject_cast<editors::CQuorrelProp*>(QApplication::activeModalWidget());
        if (!sheet || !sheet->isVisible() || ran)
            return;
        poll.stop();
        ran = true;
        // Both windows laid out by sway: the main window tiled, the sheet
        // floating over it.
        (void)QTest::qWaitFor(
            [&] {
                seen = OurSwayWindows();
                return seen.size() == 2 && seen[0].rect.width() > 0 && seen[1].rect.width() > 0;
            },
            10000);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(sheet, 5000));
        // On the screen: the sheet's face where sway put it, over the window.
        const QString path = qEnvironmentVariable(kWaylandWorkVariable) + "/wayland-first-start.png";
        const SwayWindow* placed = nullptr;
        for (const SwayWindow& window : seen)
            if (window.name == "Properties")
                placed = &window;
        const QColor face = sheet->palette().color(QPalette::Window);
        shownOnScreen = placed && QTest::qWaitFor(
                                      [&] {
                                          QProcess::execute(QStringLiteral("grim"), {path});
                                          const QImage shot(path);
                                          const QPoint middle = placed->rect.center();
                                          return shot.valid(middle) && QColor(shot.pixel(middle)) == face;
                                      },
                                      8000);
        QProcess::execute(QStringLiteral("wtype"), {"-k", "Escape"});
        (void)QTest::qWaitFor([&] { return !sheet->isVisible(); }, 5000);
        if (sheet->isVisible())
            sheet->reject();
    });
    poll.start(50);
    ASSERT_TRUE(m_app->InitInstance());
    ASSERT_TRUE(ran) << "no sheet at the first start";
    ASSERT_EQ(seen.size(), 2) << "sway did not show the window and its sheet";
    const SwayWindow& sheet = seen[0].name == "Properties" ? seen[0] : seen[1];
    const SwayWindow& window = seen[0].name == "Properties" ? seen[1] : seen[0];
    EXPECT_EQ(sheet.name, "Properties");
    EXPECT_TRUE(sheet.floating) << "the sheet is tiled, not a dialog floating over the window";
    EXPECT_FALSE(window.floating);
    EXPECT_LT(sheet.rect.width(), window.rect.width()) << "the sheet covers the output";
    EXPECT_TRUE(window.rect.contains(sheet.rect.center()));
    EXPECT_TRUE(shownOnScreen) << "the screen never showed the sheet where sway put it";

    // Wayland tells no lock-key states: their panes give the room away.
    CMainStatusBar* bar = m_app->MainFrame()->StatusBar();
    for (const char* pane : {"CAPPane", "NUMPane", "SCRLPane"})
        EXPECT_FALSE(bar->findChild<QLabel*>(pane)->isVisibleTo(bar)) << pane;
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (UnderWayland() || test::UnderXServer()) {
        QApplication app(argc, argv);
        return RUN_ALL_TESTS();
    }
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
