#include "HelpSystem.h"

#include "HelpTopics.h"
#include "HelpWindow.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>
#include <QStackedWidget>
#include <QTabWidget>
#include <QWhatsThis>

#include <algorithm>

namespace quorrel::desktop {

namespace {

const QString kFailedToLaunch = QStringLiteral(QT_TRANSLATE_NOOP("HelpSystem", "Failed to launch help."));

// The topic of one widget: its object name first, then its class and the
// classes it derives from (a dialog derived from QFileDialog is one).
QString OwnTopic(const QWidget* widget)
{
    QString topic = TopicForName(widget->objectName());
    for (const QMetaObject* meta = widget->metaObject(); topic.isEmpty() && meta; meta = meta->superClass())
        topic = TopicForName(QString::fromLatin1(meta->className()).section(QStringLiteral("::"), -1));
    return topic;
}

// The page on show when `widget` holds pages (a tab widget, or the stack
// under a sheet's own tab bar), else null.
const QWidget* PageOnShow(const QWidget* widget)
{
    if (const auto* tabs = qobject_cast<const QTabWidget*>(widget))
        return tabs->currentWidget();
    if (const auto* stack = qobject_cast<const QStackedWidget*>(widget))
        return stack->currentWidget();
    return nullptr;
}

// A control's numeric id, or 0.
int ControlId(const QObject* object)
{
    bool ok = false;
    const int id = object->objectName().toInt(&ok);
    return ok ? id : 0;
}

} // namespace

QRect HelpWindowPlacement(const QRect& available, const QRect& parentFrame, QSize preferred)
{
    if (available.isEmpty())
        return QRect(QPoint(0, 0), preferred);
    // Room for the window manager's frame around it.
    const QSize room = available.size() * 9 / 10;
    const QSize size = preferred.boundedTo(room).expandedTo(QSize(200, 150)).boundedTo(available.size());
    QRect placed(QPoint(0, 0), size);
    placed.moveCenter(parentFrame.isEmpty() ? available.center() : parentFrame.center());
    // Wholly on the screen.
    placed.moveLeft(std::clamp(placed.left(), available.left(), available.right() + 1 - size.width()));
    placed.moveTop(std::clamp(placed.top(), available.top(), available.bottom() + 1 - size.height()));
    return placed;
}

QRect HelpWindowPlacement(const QWidget* parent, QSize preferred)
{
    const QWidget* window = parent ? parent->window() : nullptr;
    const QScreen* screen = window && window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QRect frame = window && window->isVisible() ? window->frameGeometry() : QRect();
    return HelpWindowPlacement(screen ? screen->availableGeometry() : QRect(), frame, preferred);
}

HelpSystem::HelpSystem(QUrl guideRoot, QObject* parent) : QObject(parent), m_root(std::move(guideRoot))
{
    if (!m_root.path().endsWith(QLatin1Char('/')))
        m_root.setPath(m_root.path() + QLatin1Char('/'));
    m_sink = [](QWidget* parent, const QString& text) {
        QMessageBox::warning(parent, QStringLiteral("Quorrel"), text);
    };
}

HelpSystem::~HelpSystem()
{
    if (m_hooksInstalled && qApp)
        qApp->removeEventFilter(this);
    delete m_window;
}

QUrl HelpSystem::DefaultGuideRoot()
{
    return QUrl(QStringLiteral("qrc:/quorrel/help/"));
}

HelpWindow* HelpSystem::Window() const
{
    return m_window;
}

void HelpSystem::CloseWindow()
{
    if (m_window)
        m_window->close();
}

void HelpSystem::SetMessageSink(MessageSink sink)
{
    m_sink = std::move(sink);
}

bool HelpSystem::Fail(QWidget* parent)
{
    if (m_sink)
        m_sink(parent, QCoreApplication::translate("HelpSystem", kFailedToLaunch.toUtf8().constData()));
    return false;
}

bool HelpSystem::ShowHelpTopics(QWidget* parent)
{
    return ShowTopic(ContentsTopic(), parent);
}

bool HelpSystem::ShowHelpForContext(QWidget* active)
{
    return ShowTopic(TopicFor(active), active);
}

QString HelpSystem::TopicFor(const QWidget* active)
{
    for (const QWidget* w = active; w; w = w->parentWidget()) {
        // A tabbed sheet: the page on show decides.
        if (const QWidget* page = PageOnShow(w)) {
            const QString topic = OwnTopic(page);
            if (!topic.isEmpty())
                return topic;
        }
        const QString topic = OwnTopic(w);
        if (topic.isEmpty())
            continue;
        // On a sheet's own buttons and tabs, its page on show decides: a
        // tab widget's, else the page stack's under its own tab bar.
        for (const QWidget* pages : {static_cast<const QWidget*>(w->findChild<QTabWidget*>()),
                                     static_cast<const QWidget*>(w->findChild<QStackedWidget*>())}) {
            if (const QWidget* page = pages ? PageOnShow(pages) : nullptr) {
                const QString pageTopic = OwnTopic(page);
                if (!pageTopic.isEmpty())
                    return pageTopic;
            }
        }
        return topic;
    }
    return ContentsTopic();
}

bool HelpSystem::ShowTopic(const QString& topic, QWidget* parent)
{
    const QUrl page = m_root.resolved(QUrl(topic));
    // The page must exist: a missing or unreadable guide is reported.
    QString file;
    if (page.scheme() == QLatin1String("qrc"))
        file = QLatin1Char(':') + page.path();
    else if (page.isLocalFile())
        file = page.toLocalFile();
    if (file.isEmpty() || !QFileInfo(file).isFile() || !QFileInfo(file).isReadable())
        return Fail(parent);

    // While a modal dialog runs, every other window is blocked; the help
    // window then belongs to the dialog so the user can read and scroll it.
    QWidget* modal = QApplication::activeModalWidget();
    if (m_window && m_window->parentWidget() != modal && m_window != modal)
        m_window->setParent(modal, Qt::Window);
    if (!m_window)
        m_window = new HelpWindow(m_root.resolved(QUrl(ContentsTopic())), modal);
    if (!m_window->isVisible())
        m_window->setGeometry(HelpWindowPlacement(parent ? parent : modal, m_window->size()));
    m_window->show();
    // Shown first: an anchor is scrolled to in the laid-out page.
    m_window->ShowPage(page);
    m_window->raise();
    m_window->activateWindow();
    return true;
}

void HelpSystem::EnterWhatsThisMode()
{
    if (!QWhatsThis::inWhatsThisMode())
        QWhatsThis::enterWhatsThisMode();
}

void HelpSystem::SetCommandWhatsThis(QAction* action, int commandId)
{
    if (action)
        action->setWhatsThis(WhatsThisForCommand(commandId));
}

void HelpSystem::InstallApplicationHooks()
{
    if (m_hooksInstalled || !qApp)
        return;
    qApp->installEventFilter(this);
    m_hooksInstalled = true;
}

bool HelpSystem::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::QueryWhatsThis:
    case QEvent::WhatsThis: {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || !widget->whatsThis().isEmpty())
            break;
        const QString text = WhatsThisForControl(ControlId(widget));
        if (text.isEmpty())
            break;
        if (event->type() == QEvent::WhatsThis)
            QWhatsThis::showText(static_cast<QHelpEvent*>(event)->globalPos(), text, widget);
        event->accept();
        return true;
    }
    case QEvent::KeyPress: {
        // Only inside modal dialogs; elsewhere the main window's own F1
        // and Shift+F1 commands apply.
        QWidget* modal = QApplication::activeModalWidget();
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!modal || !widget || widget->window() != modal)
            break;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1)
            break;
        if (key->modifiers() == Qt::NoModifier) {
            ShowHelpForContext(QApplication::focusWidget() ? QApplication::focusWidget() : modal);
            return true;
        }
        if (key->modifiers() == Qt::ShiftModifier) {
            EnterWhatsThisMode();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quorrel::desktop
