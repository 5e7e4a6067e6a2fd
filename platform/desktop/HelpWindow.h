#pragma once
// The window that shows the user guide: a browser over the bundled HTML
// pages with Contents, Back and Forward.

#include <QUrl>
#include <QWidget>

class QTextBrowser;

namespace quorrel::desktop {

class HelpWindow final : public QWidget {
    Q_OBJECT

public:
    explicit HelpWindow(QUrl contents, QWidget* parent = nullptr);

    void ShowPage(const QUrl& page);
    QUrl CurrentPage() const;
    QTextBrowser* Browser() const { return m_browser; }

private:
    QUrl m_contents;
    QTextBrowser* m_browser;
};

} // namespace quorrel::desktop
