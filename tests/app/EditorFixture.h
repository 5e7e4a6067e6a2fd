#pragma once
// A running editor for tests: the application started as from the command
// line, with message boxes and file dialogs answered by the test.

#include "app/CommandTable.h"
#include "app/MainFrame.h"
#include "app/QuorrelApp.h"
#include "app/QuorrelDoc.h"
#include "app/QuorrelView.h"

#include "platform/FileDialogs.h"
#include "platform/MessageBox.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "support/FakeProcessRunner.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>

namespace quorrel::test {

// Finds no helper program and runs none.
using CNoHelpers = CFakeRunner;

// The tile the view rendered: its bitmap's top-left tile-sized corner.
QImage TileOf(const app::CQuorrelView* view);

class EditorFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the editor; false when start-up failed.
    bool Start(const QStringList& arguments = {});

    app::CMainFrame* Frame() const;
    app::CQuorrelView* ActiveView() const;
    app::CQuorrelDoc* ActiveDoc() const;
    int DocumentCount() const;

    // Sends a key to the main window, then lets idle-time updates run.
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    bool IsEnabled(int id) const;

    QString TempPath(const QString& name) const { return m_dir.filePath(name); }

    // Message boxes seen, and the answers given in order (then No / Ok).
    QStringList messages;
    std::deque<platform::MsgResult> answers;
    // Paths the file dialogs return in order (then cancel), and their count.
    std::deque<QString> chosenFiles;
    int fileDialogs = 0;

    std::unique_ptr<app::CQuorrelApp> m_app;

private:
    QTemporaryDir m_dir;
    // The editor's desktop: GNOME, whose helpers all succeed.
    CFakeRunner m_desktopHelpers;
};

// An editor whose views' slide-show timers tick every `Interval` ms.
template <int Interval>
class ShortTimerFixture : public EditorFixture {
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        app::CQuorrelView::SetTimerInterval(Interval);
    }
    void TearDown() override
    {
        EditorFixture::TearDown();
        app::CQuorrelView::SetTimerInterval(app::CQuorrelView::kTimerInterval);
    }
};

QByteArray ReadFile(const QString& path);
void WriteFile(const QString& path, const QByteArray& bytes);

} // namespace quorrel::test
