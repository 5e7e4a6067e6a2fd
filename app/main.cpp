// quorrel: the editor.

#include "QuorrelApp.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorrel"));
    quorrel::app::CQuorrelApp app(QApplication::arguments().mid(1));
    if (!app.InitInstance())
        return 1;
    return QApplication::exec();
}
