// Command routing: the first target on the route with a handler gets the
// command, update rules decide enabled and checked states, and a disabled
// command does nothing also through its key.

#include "platform/CmdTarget.h"
#include "platform/CommandRouter.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

} // namespace
