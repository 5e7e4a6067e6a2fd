// Command routing: the first target on the route with a handler gets the
// command, update rules decide enabled and checked states, and a disabled
// command does nothing also through its key.

#include "platform/CmdTarget.h"
#include "platform/CommandRouter.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QSocketNotifier>
#include <QTimer>

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include <unistd.h>

using namespace quorrel::platform;

namespace {

// A route member that records what reached it.
class FakeTarget final : public CCmdTarget {
public:
    FakeTarget(std::string name, std::vector<std::string>& log) : m_name(std::move(name)), m_log(log) {}
    void Handle(int id) { OnCommand(id, [this, id] { m_log.push_back(m_name + ":" + std::to_string(id)); }); }
    void Rule(int id, bool enabled, bool checked = false)
    {
        OnUpdateCommand(id, [enabled, checked](CCmdUI& ui) {
            ui.Enable(enabled);
            if (checked)
                ui.SetCheck(true);
        });
    }

private:
    std::string m_name;
    std::vector<std::string>& m_log;
};

class CommandRouterTest : public ::testing::Test {
protected:
    CommandRouterTest()
        : view("view", log), doc("doc", log), child("child", log), frame("frame", log), app("app", log)
    {
        router.SetRoute([this] { return std::vector<CCmdTarget*>{&view, &doc, &child, &frame, &app}; });
    }

    std::vector<std::string> log;
    FakeTarget view, doc, child, frame, app;
    CCommandRouter router;
};

TEST_F(CommandRouterTest, TheFirstTargetOnTheRouteThatHandlesACommandGetsIt)
{
    app.Handle(1);
    frame.Handle(1);
    doc.Handle(1);
    child.Handle(2);
    app.Handle(2);
    app.Handle(3);

    EXPECT_TRUE(router.Execute(1));
    EXPECT_TRUE(router.Execute(2));
    EXPECT_TRUE(router.Execute(3));
    EXPECT_EQ(log, (std::vector<std::string>{"doc:1", "child:2", "app:3"}));
}

TEST_F(CommandRouterTest, UpdateRulesDecideAndUnhandledCommandsAreDisabled)
{
    app.Handle(10);
    frame.Rule(10, false);   // a frame rule wins over the app's handler
    EXPECT_FALSE(router.QueryState(10).m_bEnabled);
    EXPECT_FALSE(router.Execute(10));
    EXPECT_TRUE(log.empty());

    view.Rule(10, true);     // earlier on the route: decides first
    EXPECT_TRUE(router.QueryState(10).m_bEnabled);
    EXPECT_TRUE(router.Execute(10));
    EXPECT_EQ(log, (std::vector<std::string>{"app:10"}));

    EXPECT_FALSE(router.QueryState(11).m_bEnabled);   // nobody handles it
    EXPECT_FALSE(router.Execute(11));

    app.Handle(12);
    EXPECT_TRUE(router.QueryState(12).m_bEnabled);    // handler without a rule: enabled
    frame.Rule(13, true, true);
    EXPECT_TRUE(router.QueryState(13).m_bChecked);
}

TEST_F(CommandRouterTest, ActionsFollowTheRulesAndADisabledCommandIgnoresItsKey)
{
    QMainWindow window;
    bool allow21 = false;
    frame.Handle(20);
    view.Handle(21);
    struct RuleTarget final : CCmdTarget {
        explicit RuleTarget(bool& allow)
        {
            OnUpdateCommand(21, [&allow](CCmdUI& ui) { ui.Enable(allow); });
        }
    } rules(allow21);
    router.SetRoute([&] { return std::vector<CCmdTarget*>{&rules, &view, &doc, &child, &frame, &app}; });

    QAction* a20 = router.AddCommand({20, "&Twenty", "F9", {QKeySequence(Qt::Key_F9)}, "p", "t"}, &window);
    QAction* a21 = router.AddCommand({21, "&TwentyOne", "F8", {QKeySequence(Qt::Key_F8)}, "p", "t"}, &window);
    window.addAction(a20);
    window.addAction(a21);
    QMenu* menu = window.menuBar()->addMenu("&Menu");
    menu->addAction(a21);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    router.UpdateActions();
    EXPECT_TRUE(a20->isEnabled());
    EXPECT_FALSE(a21->isEnabled());
    EXPECT_EQ(a21->text(), "&TwentyOne\tF8");

    QTest::keyClick(&window, Qt::Key_F8);
    EXPECT_TRUE(log.empty()) << "a disabled command ran through its key";
    // Even an action left enabled by a stale update does nothing while its rule says no.
    a21->setEnabled(true);
    QTest::keyClick(&window, Qt::Key_F8);
    EXPECT_TRUE(log.empty());

    QTest::keyClick(&window, Qt::Key_F9);
    EXPECT_EQ(log, (std::vector<std::string>{"frame:20"}));

    allow21 = true;
    router.UpdateMenu(menu);   // what opening the menu does
    EXPECT_TRUE(a21->isEnabled());
    QTest::keyClick(&window, Qt::Key_F8);
    EXPECT_EQ(log.back(), "view:21");
}

// A command whose rule follows a flag the test flips behind the router's back.
struct FlagRule final : CCmdTarget {
    FlagRule(int id, const bool& flag)
    {
        OnUpdateCommand(id, [&flag](CCmdUI& ui) { ui.Enable(flag); });
    }
};

// A key press as the X11 platform delivers a numeric-keypad key: its
// shortcut never matches there, so it reaches the focus widget as a plain
// key press.
void SendKeyPress(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(widget, &press);
}

TEST_F(CommandRouterTest, KeypadKeysThatReachAWidgetRunTheirCommandOnlyWhereItIsLive)
{
    QMainWindow window;
    auto* focus = new QWidget(&window);
    window.setCentralWidget(focus);
    QMainWindow other;
    auto* elsewhere = new QWidget(&other);
    other.setCentralWidget(elsewhere);
    view.Handle(30);
    view.Handle(31);
    bool allow31 = false;
    FlagRule rule31(31, allow31);
    router.SetRoute([&] { return std::vector<CCmdTarget*>{&rule31, &view, &app}; });
    window.addAction(router.AddCommand({30, "Zoom &In", "Num +", {QKeySequence(Qt::KeypadModifier | Qt::Key_Plus)},
                                        "p", "t"}, &window));
    window.addAction(router.AddCommand({31, "Zoom &Out", "Num -",
                                        {QKeySequence(Qt::KeypadModifier | Qt::Key_Minus)}, "p", "t"}, &window));

    // The main keyboard's "+" is another key: it does not zoom.
    SendKeyPress(focus, Qt::Key_Plus, Qt::ShiftModifier);
    SendKeyPress(focus, Qt::Key_Plus, Qt::NoModifier);
    EXPECT_TRUE(log.empty());
    // Not in a window where the command's keys are live.
    SendKeyPress(elsewhere, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_TRUE(log.empty());

    SendKeyPress(focus, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(log, (std::vector<std::string>{"view:30"}));
    // Disabled by its rule: the key is taken and nothing runs.
    SendKeyPress(focus, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(log.size(), 1u);
    allow31 = true;
    SendKeyPress(focus, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(log, (std::vector<std::string>{"view:30", "view:31"}));
}

// A key press as a platform delivers it, with its native key symbol.
struct PlatformKey {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    quint32 symbol;        // the native virtual key (an X key symbol)
    int command;           // the zoom command it must run, or 0 for none
};

class KeypadKeysOnEachPlatform : public CommandRouterTest, public ::testing::WithParamInterface<PlatformKey> {};

TEST_P(KeypadKeysOnEachPlatform, RunTheirZoomCommandAndTheMainKeyboardsKeysDoNot)
{
    QMainWindow window;
    auto* focus = new QWidget(&window);
    window.setCentralWidget(focus);
    for (int id : {30, 31, 32})
        view.Handle(id);
    window.addAction(router.AddCommand({30, "Zoom &In", "Num +", {QKeySequence(Qt::KeypadModifier | Qt::Key_Plus)},
                                        "p", "t"}, &window));
    window.addAction(router.AddCommand({31, "Zoom &Out", "Num -",
                                        {QKeySequence(Qt::KeypadModifier | Qt::Key_Minus)}, "p", "t"}, &window));
    window.addAction(router.AddCommand({32, "Zoom &Normal", "Num *",
                                        {QKeySequence(Qt::KeypadModifier | Qt::Key_Asterisk)}, "p", "t"}, &window));

    const PlatformKey& k = GetParam();
    QKeyEvent press(QEvent::KeyPress, k.key, k.modifiers, 0, k.symbol, 0);
    QApplication::sendEvent(focus, &press);
    if (k.command == 0)
        EXPECT_TRUE(log.empty()) << k.name;
    else
        EXPECT_EQ(log, (std::vector<std::string>{"view:" + std::to_string(k.command)})) << k.name;
}

INSTANTIATE_TEST_SUITE_P(
    XcbAndWayland, KeypadKeysOnEachPlatform,
    ::testing::Values(
        // xcb: the keypad flag and the keypad symbol.
        PlatformKey{"xcb KP_Add", Qt::Key_Plus, Qt::KeypadModifier, 0xFFAB, 30},
        PlatformKey{"xcb KP_Multiply", Qt::Key_Asterisk, Qt::KeypadModifier, 0xFFAA, 32},
        // Wayland: no keypad flag, only the symbol tells.
        PlatformKey{"wayland KP_Add", Qt::Key_Plus, Qt::NoModifier, 0xFFAB, 30},
        PlatformKey{"wayland KP_Subtract", Qt::Key_Minus, Qt::NoModifier, 0xFFAD, 31},
        PlatformKey{"wayland KP_Multiply", Qt::Key_Asterisk, Qt::NoModifier, 0xFFAA, 32},
        // The main keyboard's keys, on either platform.
        PlatformKey{"plus", Qt::Key_Plus, Qt::ShiftModifier, 0x2B, 0},
        PlatformKey{"minus", Qt::Key_Minus, Qt::NoModifier, 0x2D, 0},
        PlatformKey{"asterisk", Qt::Key_Asterisk, Qt::ShiftModifier, 0x2A, 0},
        // Another keypad key that no command holds.
        PlatformKey{"wayland KP_Divide", Qt::Key_Slash, Qt::NoModifier, 0xFFAF, 0},
        // A key past the keypad's symbols (F1 is 0xFFBE).
        PlatformKey{"F1's symbol", Qt::Key_Plus, Qt::NoModifier, 0xFFBE, 0}),
    [](const ::testing::TestParamInfo<PlatformKey>& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

TEST_F(CommandRouterTest, ChangesFromTimersDeferredCallsAndSocketsReachTheActionsAndTheKeysWithoutInput)
{
    QMainWindow window;
    view.Handle(40);
    bool allow40 = false;
    FlagRule rule40(40, allow40);
    router.SetRoute([&] { return std::vector<CCmdTarget*>{&rule40, &view, &app}; });
    QAction* action =
        router.AddCommand({40, "&Forty", "F10", {QKeySequence(Qt::CTRL | Qt::Key_Z)}, "p", "t"}, &window);
    window.addAction(action);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    router.UpdateActions();
    ASSERT_FALSE(action->isEnabled());

    // A tick changes the state; nothing else happens: the idle update
    // follows it and the action (what menus and buttons show) is enabled.
    QTimer::singleShot(10, [&] { allow40 = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return action->isEnabled(); }, 1000))
        << "the update rules did not run after a timer tick";

    // The same after a deferred call and after socket activity (files
    // handed over by a second start arrive so).
    allow40 = false;
    router.UpdateActions();
    QMetaObject::invokeMethod(&window, [&] { allow40 = true; }, Qt::QueuedConnection);
    EXPECT_TRUE(QTest::qWaitFor([&] { return action->isEnabled(); }, 1000))
        << "the update rules did not run after a deferred call";
    allow40 = false;
    router.UpdateActions();
    int ends[2] = {-1, -1};
    ASSERT_EQ(::pipe(ends), 0);
    QSocketNotifier notifier(ends[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, [&] {
        char byte = 0;
        (void)::read(ends[0], &byte, 1);
        allow40 = true;
    });
    ASSERT_EQ(::write(ends[1], "x", 1), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return action->isEnabled(); }, 1000))
        << "the update rules did not run after socket activity";
    notifier.setEnabled(false);
    ::close(ends[0]);
    ::close(ends[1]);

    // A change nobody announced at all: the very first key press finds the
    // action in line with its rule.
    allow40 = false;
    router.UpdateActions();
    allow40 = true;
    ASSERT_FALSE(action->isEnabled());
    QTest::keyClick(&window, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(log, (std::vector<std::string>{"view:40"})) << "the first key hit a stale disabled action";
}

} // namespace
