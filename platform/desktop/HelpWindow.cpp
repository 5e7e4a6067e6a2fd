#include "HelpWindow.h"

#include "Artwork.h"

#include <QAction>
#include <QKeySequence>
#include <QShortcut>
#include <QStyle>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace quorrel::desktop {

HelpWindow::HelpWindow(QUrl contents, QWidget* parent)
    : QWidget(parent, Qt::Window), m_contents(std::move(contents)), m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(tr("Quorrel Help"));
    setWindowIcon(ApplicationIcon());
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* home = bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), tr("&Contents"));
    QAction* back = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), tr("&Back"));
    QAction* forward = bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), tr("&Forward"));
    back->setShortcut(QKeySequence::Back);
    forward->setShortcut(QKeySequence::Forward);
    back->setEnabled(false);
    forward->setEnabled(false);

    m_browser->setOpenExternalLinks(true);
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    connect(home, &QAction::triggered, this, [this] { ShowPage(m_contents); });
    connect(back, &QAction::triggered, m_browser, &QTextBrowser::backward);
    connect(forward, &QAction::triggered, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = m_browser->documentTitle();
        setWindowTitle(title.isEmpty() ? tr("Quorrel Help") : tr("Quorrel Help - %1").arg(title));
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_browser);
    resize(820, 640);

    // Esc closes the help, as it closes a dialog.
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    close->setContext(Qt::WindowShortcut);
    connect(close, &QShortcut::activated, this, &QWidget::close);
}

void HelpWindow::ShowPage(const QUrl& page)
{
    m_browser->setSource(page);
    if (page.hasFragment()) {
        // Once the page is laid out in the window as it shows: an anchor
        // scrolled to before then is lost.
        m_browser->scrollToAnchor(page.fragment());
        QTimer::singleShot(0, m_browser, [browser = m_browser, page] {
            if (browser->source() == page)
                browser->scrollToAnchor(page.fragment());
        });
    }
}

QUrl HelpWindow::CurrentPage() const
{
    return m_browser->source();
}

} // namespace quorrel::desktop
