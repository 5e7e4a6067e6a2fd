// A second start of the editor, as far as the hand-over goes:
//   desktop_second_instance SERVER_NAME FILE...
// exits 0 when the running editor took the files, 3 when none answered.

#include "platform/desktop/SingleInstance.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return 2;
    const QString name = args.takeFirst();
    quorrel::desktop::SingleInstance instance(name);
    return instance.SendToRunning(args) ? 0 : 3;
}
