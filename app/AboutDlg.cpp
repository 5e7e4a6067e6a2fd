#include "AboutDlg.h"

#include "platform/desktop/Artwork.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace quorrel::app {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    // The help system finds the box's page by this name.
    setObjectName(QStringLiteral("CAboutDlg"));
    setWindowTitle(tr("About Quorrel"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("AboutIcon"));
    icon->setPixmap(desktop::ApplicationIcon().pixmap(QSize(32, 32)));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* version = new QLabel(QStringLiteral("Vantorel Quorrel Version 1.0"), this);
    auto* copyright = new QLabel(tr("Copyright © 2026 Vantorel.\n"
                                                     "Free software under the GNU General Public License, version 3 or later."), this);
    auto* site = new QLabel(tr("Vantorel on the web: <a href=\"https://www.vantorel.com/quorrel\">"
                                           "www.vantorel.com/quorrel</a>"),
                            this);
    site->setTextFormat(Qt::RichText);
    site->setOpenExternalLinks(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, Qt::Vertical, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->setHorizontalSpacing(16);
    layout->addWidget(icon, 0, 0, 3, 1);
    layout->addWidget(version, 0, 1);
    layout->addWidget(copyright, 1, 1);
    layout->addWidget(site, 2, 1);
    layout->addWidget(buttons, 0, 2, 3, 1, Qt::AlignTop);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace quorrel::app
