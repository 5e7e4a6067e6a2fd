#pragma once
// The About box: the application icon, name and version, copyright and
// the maker's web site, and one OK button.

#include <QDialog>

namespace quorrel::app {

class CAboutDlg final : public QDialog {
    Q_OBJECT
public:
    static constexpr int IDD = 100;

    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace quorrel::app
