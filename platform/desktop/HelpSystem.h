#pragma once
// Help for the editor: Help Topics opens the user guide, F1 the page of the
// active window or dialog, Shift+F1 the "what's this" mode, whose texts
// cover every command and every control of the editors' dialogs.

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QUrl>

#include <functional>

class QAction;
class QWidget;

namespace quorrel::desktop {

class HelpWindow;

// Where the help window opens for `parent`: on its screen, centred over its
// window, no larger than `preferred` nor than the screen's free area allows.
QRect HelpWindowPlacement(const QWidget* parent, QSize preferred);
// The same from the screen's free area and the parent window's frame (empty:
// centred on the screen).
QRect HelpWindowPlacement(const QRect& available, const QRect& parentFrame, QSize preferred);

class HelpSystem final : public QObject {
    Q_OBJECT

public:
    // Shows a message to the user; the default is a warning box captioned
    // "Quorrel". Tests put their own.
    using MessageSink = std::function<void(QWidget* parent, const QString& text)>;

    // `guideRoot` is the folder URL of the guide's pages.
    explicit HelpSystem(QUrl guideRoot = DefaultGuideRoot(), QObject* parent = nullptr);
    ~HelpSystem() override;

    static QUrl DefaultGuideRoot();
    void SetMessageSink(MessageSink sink);

    // Help Topics: the guide's contents. False (after "Failed to launch
    // help.") when the guide cannot be shown.
    bool ShowHelpTopics(QWidget* parent = nullptr);
    // F1: the page of `active` (a window or dialog, or a widget inside one).
    bool ShowHelpForContext(QWidget* active);
    bool ShowTopic(const QString& topic, QWidget* parent = nullptr);
    // The page F1 would open for `active`.
    static QString TopicFor(const QWidget* active);

    // Shift+F1.
    static void EnterWhatsThisMode();

    // Gives `action` the "what's this" text of its command.
    static void SetCommandWhatsThis(QAction* action, int commandId);

    // Answers "what's this" for every control that carries its numeric id
    // as object name and has no text of its own, and handles F1 and
    // Shift+F1 inside modal dialogs, where the main window's keys do not
    // reach. Installed on the application; removed with this object.
    void InstallApplicationHooks();

    HelpWindow* Window() const;
    // Closes the help window if it is open.
    void CloseWindow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Fail(QWidget* parent);

    QUrl m_root;
    MessageSink m_sink;
    QPointer<HelpWindow> m_window;
    bool m_hooksInstalled = false;
};

} // namespace quorrel::desktop
