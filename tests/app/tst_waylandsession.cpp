// The editor in a real Wayland session: sway runs headless (as an ordinary
// user: it refuses root, so as nobody when the test runs as root) with its
// output at twice the scale, and this program starts itself again there
// with Qt's Wayland platform. The keys come from a virtual keyboard (wtype),
// the window states from sway (swaymsg), the screen from grim. The cases:
// the keypad's + - * zoom and the main keyboard's do not (Wayland delivers
// KP_Add without the keypad flag); full screen is sway's full screen, with
// the floating button inside the one window; at zoom 1 one image pixel is
// one device pixel.

#include "support/EditorSession.h"

#include "app/FullScreen.h"
#include "app/MainFrame.h"
#include "app/QuorrelApp.h"
#include "app/QuorrelView.h"
#include "output/DesktopWallpaper.h"
#include "platform/CommandIds.h"
#include "platform/MessageBox.h"
#include "platform/SettingsLocation.h"
#include "support/FakeProcessRunner.h"
#include "support/Sanitizers.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include <unistd.h>

using namespace quorrel;
using namespace quorrel::app;

namespace {

constexpr const char* kInnerVariable = "QUORREL_UNDER_WAYLAND";
constexpr const char* kWorkVariable = "QUORREL_WAYLAND_WORK";
constexpr int kNobody = 65534;

bool UnderWayland() { return qEnvironmentVariableIsSet(kInnerVariable); }

// --- The outer test, run by ctest: sway, then the driver inside it. ---

// A program as the user the session runs as: nobody when we are root.
QStringList AsSessionUser(const QStringList& command)
{
    if (geteuid() != 0)
        return command;
    return QStringList{"setpriv", "--reuid=" + QString::number(kNobody), "--regid=" + QString::number(kNobody),
                       "--clear-groups", "--"} +
           command;
}

void HandOver(const QString& path)
{
    if (geteuid() == 0 && ::chown(QFile::encodeName(path).constData(), kNobody, kNobody) != 0)
        ADD_FAILURE() << "cannot hand " << path.toStdString() << " to nobody";
}

TEST(WaylandSession, KeypadZoomFullScreenAndDevicePixelsUnderSway)
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
    // Twice the scale: 2560 x 1600 device pixels, 1280 x 800 logical.
    config.write("output * mode 2560x1600 scale 2\n"
                 "output * bg #000000 solid_color\n"
                 "default_border none\n");
    config.close();
    for (const QString& path : {dir.path(), dir.filePath("run"), dir.filePath("config"), dir.filePath("data"),
                                dir.filePath("cache"), dir.filePath("work"), config.fileName()})
        HandOver(path);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* var :
         {"DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "DBUS_SESSION_BUS_ADDRESS", "SWAYSOCK", "QT_SCALE_FACTOR"})
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
    auto stopSway = qScopeGuard([&] {
        sway.terminate();
        if (!sway.waitForFinished(5000)) {
            sway.kill();
            sway.waitForFinished(5000);
        }
    });
    QString socket;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QStringList found = QDir(dir.filePath("run")).entryList({"wayland-*"}, QDir::System);
            for (const QString& name : found)
                if (!name.endsWith(".lock"))
                    socket = name;
            return !socket.isEmpty();
        },
        15000))
        << "sway did not start:\n"
        << sway.readAll().constData();

    env.insert("WAYLAND_DISPLAY", socket);
    env.insert("QT_QPA_PLATFORM", "wayland");
    env.insert(kInnerVariable, "1");
    env.insert(kWorkVariable, dir.filePath("work"));
    // What Qt's Wayland platform keeps until the process ends is not ours.
    const QString lsan = env.value("LSAN_OPTIONS");
    env.insert("LSAN_OPTIONS", (lsan.isEmpty() ? QString() : lsan + ":") +
                                   "suppressions=" + QStringLiteral(QUORREL_WAYLAND_LSAN_SUPPRESSIONS));
    // Nor is the allocation Mesa's EGL driver makes once and leaves behind
    // when it is unloaded at exit; its module is gone by the time
    // LeakSanitizer reports, so no suppression can name it. Under the
    // sanitizers Qt loads no EGL integration: the editor's widgets are drawn
    // into shared-memory buffers either way.
    if (test::kAddressSanitizer)
        env.insert("QT_WAYLAND_CLIENT_BUFFER_INTEGRATION", "none");
    QProcess driver;
    driver.setProcessEnvironment(env);
    driver.setProcessChannelMode(QProcess::MergedChannels);
    const QStringList command =
        AsSessionUser({QCoreApplication::applicationFilePath(), "--gtest_filter=InWaylandSession.*"});
    driver.start(command.front(), command.mid(1));
    ASSERT_TRUE(driver.waitForStarted(10000));
    const bool finished = driver.waitForFinished(180000);
    if (!finished)
        driver.kill();
    const QByteArray output = driver.readAll();
    std::fputs(output.constData(), stdout);
    ASSERT_TRUE(finished) << "the driver did not finish in time";
    EXPECT_EQ(driver.exitCode(), 0);
    EXPECT_TRUE(output.contains("[  PASSED  ] 3 tests.")) << "the driver did not pass all its 3 cases";

    const QDir work(dir.filePath("work"));
    for (const QString& shot : work.entryList({"wayland-*.png"}, QDir::Files)) {
        QFile::remove(shot);
        QFile::copy(work.filePath(shot), shot);
    }
}

// --- The driver, run inside sway. ---

QString WorkFolder() { return qEnvironmentVariable(kWorkVariable); }

// Types through wtype; the keys arrive in order, after it returns.
void Type(const QStringList& args) { QProcess::execute(QStringLiteral("wtype"), args); }

QString SwaySocket()
{
    const QDir run(qEnvironmentVariable("XDG_RUNTIME_DIR"));
    const QStringList found = run.entryList({"sway-ipc.*.sock"}, QDir::System);
    return found.isEmpty() ? QString() : run.filePath(found.front());
}

// The windows sway shows for this process: their "fullscreen_mode" and
// "rect" by title.
QList<QJsonObject> OurSwayWindows()
{
    QProcess swaymsg;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("SWAYSOCK", SwaySocket());
    swaymsg.setProcessEnvironment(env);
    swaymsg.start(QStringLiteral("swaymsg"), {"-t", "get_tree", "-r"});
    if (!swaymsg.waitForFinished(5000))
        return {};
    QList<QJsonObject> ours;
    std::function<void(const QJsonObject&)> walk = [&](const QJsonObject& node) {
        if (node.value("pid").toInteger() == QCoreApplication::applicationPid())
            ours << node;
        for (const char* children : {"nodes", "floating_nodes"})
            for (const QJsonValue& child : node.value(children).toArray())
                walk(child.toObject());
    };
    walk(QJsonDocument::fromJson(swaymsg.readAllStandardOutput()).object());
    return ours;
}

// The virtual keyboards sway knows (the session has no other input).
int SwayKeyboards()
{
    QProcess swaymsg;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("SWAYSOCK", SwaySocket());
    swaymsg.setProcessEnvironment(env);
    swaymsg.start(QStringLiteral("swaymsg"), {"-t", "get_inputs", "-r"});
    if (!swaymsg.waitForFinished(5000))
        return 0;
    int keyboards = 0;
    for (const QJsonValue& input : QJsonDocument::fromJson(swaymsg.readAllStandardOutput()).array())
        keyboards += input.toObject().value("type").toString() == QLatin1String("keyboard");
    return keyboards;
}

// Counts the key events the application sees.
class CKeyCounter final : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        count += event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
        return false;
    }
};

class InWaylandSession : public test::InEditorSession {
protected:
    InWaylandSession() : InEditorSession("wayland", UnderWayland(), WorkFolder()) {}

    void SetUp() override
    {
        InEditorSession::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        // One long-lived virtual keyboard: a keyboard wtype adds for a
        // single call loses that call's first press.
        m_keyboard.start(QStringLiteral("wtype"), {"-s", "100000000"});
        ASSERT_TRUE(m_keyboard.waitForStarted(5000));
        ASSERT_TRUE(QTest::qWaitFor([] { return SwayKeyboards() > 0; }, 5000)) << "sway has no keyboard of wtype";
        Start();
        if (HasFatalFailure())
            return;
        // Keys go to the window sway has given the keyboard, once the
        // editor has the seat's keyboard: Shift (which does nothing here)
        // until a key arrives.
        ASSERT_TRUE(QTest::qWaitForWindowActive(Frame(), 5000)) << "sway did not give the window the keyboard";
        CKeyCounter keys;
        qApp->installEventFilter(&keys);
        bool arrived = false;
        for (int i = 0; i < 20 && !arrived; ++i) {
            Type({"-k", "Shift_L"});
            arrived = QTest::qWaitFor([&] { return keys.count > 0; }, 250);
        }
        qApp->removeEventFilter(&keys);
        ASSERT_TRUE(arrived) << "no key reached the editor";
    }
    void TearDown() override
    {
        InEditorSession::TearDown();
        m_keyboard.kill();
        m_keyboard.waitForFinished(5000);
        // Gone from sway too, before the next case looks for its own.
        (void)QTest::qWaitFor([] { return SwayKeyboards() == 0; }, 5000);
    }

    QProcess m_keyboard;
};

TEST_F(InWaylandSession, KeypadPlusMinusAndStarZoomAndTheMainKeyboardsKeysDoNot)
{
    CQuorrelView* view = View();
    ASSERT_EQ(view->ZoomFactor(), 1);
    Type({"-k", "KP_Add"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->ZoomFactor() == 2; }, 3000)) << "keypad + did not zoom";
    Type({"-k", "KP_Add"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->ZoomFactor() == 3; }, 3000));
    Type({"-k", "KP_Subtract"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->ZoomFactor() == 2; }, 3000)) << "keypad - did not zoom out";
    // The main keyboard's keys, followed by keypad + whose effect shows that
    // the keys before it have been handled: had - zoomed out or * reset,
    // the zoom would not reach 3; had + zoomed in, it would not stop at 2.
    Type({"-k", "minus", "-k", "asterisk", "-k", "KP_Add"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->ZoomFactor() != 2; }, 3000));
    EXPECT_EQ(view->ZoomFactor(), 3) << "the main keyboard's - or * zoomed";
    Type({"-k", "KP_Multiply"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->ZoomFactor() == 1; }, 3000)) << "keypad * did not reset";
    Type({"-k", "plus", "-k", "KP_Add"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->ZoomFactor() != 1; }, 3000));
    EXPECT_EQ(view->ZoomFactor(), 2) << "the main keyboard's + zoomed";
}

TEST_F(InWaylandSession, FullScreenIsSwaysFullScreenWithTheButtonInsideTheWindow)
{
    Type({"-k", "f"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return Frame()->IsFullScreen(); }, 3000)) << "F did not enter full screen";
    QList<QJsonObject> windows;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            windows = OurSwayWindows();
            return windows.size() == 1 && windows.front().value("fullscreen_mode").toInt() == 1;
        },
        5000))
        << "sway shows " << windows.size() << " windows of ours, not one in full screen";
    const QJsonObject rect = windows.front().value("rect").toObject();
    EXPECT_EQ(rect.value("width").toInt(), 1280);
    EXPECT_EQ(rect.value("height").toInt(), 800);
    QToolBar* floating = Frame()->FullScreen().FloatingToolBar();
    ASSERT_NE(floating, nullptr);
    EXPECT_FALSE(floating->isWindow());
    EXPECT_TRUE(floating->isVisible());
    EXPECT_TRUE(Frame()->rect().contains(QRect(floating->mapTo(Frame(), QPoint(0, 0)), floating->size())));

    Type({"-k", "Escape"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Frame()->IsFullScreen(); }, 3000)) << "Esc did not leave";
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            windows = OurSwayWindows();
            return windows.size() == 1 && windows.front().value("fullscreen_mode").toInt() == 0;
        },
        5000));
    EXPECT_TRUE(Frame()->ToolBar()->isVisible());
}

TEST_F(InWaylandSession, ZoomOneShowsOneImagePixelPerDevicePixel)
{
    ASSERT_EQ(Frame()->devicePixelRatioF(), 2.0) << "the output's scale did not reach the window";
    // In full screen the window sits at the output's origin, so its own
    // coordinates are the screen's.
    Type({"-k", "f"});
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return OurSwayWindows().size() == 1 && OurSwayWindows().front().value("fullscreen_mode").toInt() == 1; },
        5000));
    // The full-screen window is drawn a moment after sway lays it out.
    const QString path = WorkFolder() + "/wayland-zoom1.png";
    QImage shot;
    auto share = [&] {
        if (QProcess::execute(QStringLiteral("grim"), {path}) != 0)
            return 0.0;
        shot = QImage(path).convertToFormat(QImage::Format_RGB32);
        return shot.size() == QSize(2560, 1600) ? test::ShareShowingTile(shot, View(), 1, nullptr, 2.0) : 0.0;
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return share() > 0.97; }, 5000));
    ASSERT_EQ(shot.size(), QSize(2560, 1600));
    EXPECT_GT(test::ShareShowingTile(shot, View(), 1, nullptr, 2.0), 0.97)
        << "zoom 1 does not lay the tile 1 : 1 in device pixels";
    Type({"-k", "f"});
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (UnderWayland()) {
        QApplication app(argc, argv);
        return RUN_ALL_TESTS();
    }
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
