#include "HelpWindow.h"

#include "Artwork.h"

#include <QAction>
#include <QKeySequence>
#include <QStyle>
#include <QTextBrowser>
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
}

void HelpWindow::ShowPage(const QUrl& page)
{
    const QUrl current = m_browser->source();
    if (current.adjusted(QUrl::RemoveFragment) == page.adjusted(QUrl::RemoveFragment) && page.hasFragment()) {
        m_browser->setSource(page);
        m_browser->scrollToAnchor(page.fragment());
    } else {
        m_browser->setSource(page);
    }
}

QUrl HelpWindow::CurrentPage() const
{
    return m_browser->source();
}

} // namespace quorrel::desktop
