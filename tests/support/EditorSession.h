#pragma once
// The editor started in this process inside a real session that the outer
// half of a test started (an X server, with or without a window manager, or
// a headless Wayland compositor): its settings cleared, its prompts
// answered No, its helper programs absent. For X11 also real key and pointer
// events through XTest (xdotool), what the X server holds (xprop) and
// screenshots of the X screen.

#include "app/MainFrame.h"
#include "app/QuorrelApp.h"
#include "app/QuorrelDoc.h"
#include "app/QuorrelView.h"

#include "support/FakeProcessRunner.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

class QWidget;

namespace quorrel::test {

QString WorkDir();

// Runs xdotool with `args` (real X input through XTest) and handles the
// events it made; `settleMs` more for a case that needs the time to pass.
void Xdo(const QStringList& args, int settleMs = 0);

// The value the X server holds for `window` under `property` (a caption as
// "_NET_WM_NAME" or "WM_NAME": the quoted text; otherwise xprop's line).
QString XProperty(WId window, const char* property);

// The whole X screen, kept as x11-NAME.png in the work folder.
QImage Screenshot(const QString& name);

// The tile as the view holds it.
QImage Tile(const app::CQuorrelView* view);

// The share of the on-screen pixels of `area` (by default the view's client
// area) that show the view's tile at `zoom` device pixels an image pixel,
// laid from the view's origin; the screen holds device pixels, `ratio` to a
// logical one.
double ShareShowingTile(const QImage& screen, const app::CQuorrelView* view, int zoom, const QWidget* area = nullptr,
                        qreal ratio = 1.0);

// The X windows whose names match `pattern` (xdotool's search), by id.
QStringList XWindows(const QString& pattern);
QStringList WaitForXWindows(const QString& pattern, int timeoutMs);

// The editor started in this process, its new document's sheet confirmed
// unless a case wants the real one; prompts answered No (and kept).
class InEditorSession : public ::testing::Test {
protected:
    // `platform`: the Qt platform the session gives ("xcb", "wayland");
    // `inside`: whether this process runs in the session (the cases skip
    // otherwise); `work`: the folder for the wallpaper and screenshots.
    InEditorSession(const char* platform, bool inside, QString work);

    void SetUp() override;
    void TearDown() override;

    // Starts the editor and waits until its window shows the rendered tile.
    void Start();
    app::CMainFrame* Frame() const { return m_app->MainFrame(); }
    app::CQuorrelView* View() const;
    app::CQuorrelDoc* Doc() const;
    int Documents() const;

    std::unique_ptr<app::CQuorrelApp> m_app;
    QStringList prompts;
    CFakeRunner m_noHelpers; // finds no helper program

private:
    const char* m_platform;
    bool m_inside;
    QString m_work;
};

// Inside the X server the outer test starts (tests/support/XServerTest.h).
class InX11Session : public InEditorSession {
protected:
    InX11Session();

    // Starts the editor and gives its window the keyboard.
    void Start();
    // Gives the main window the keyboard, as a window manager would after
    // a dialog has closed (there is none here).
    void Focus();
    // Clicks a menu of the menu bar with the pointer, then picks an item by
    // its mnemonic key.
    void MenuItem(const QString& menu, const QString& key);
};

} // namespace quorrel::test
