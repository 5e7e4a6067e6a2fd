// The other editor of the hand-over tests, as a process of its own:
//   desktop_second_instance SERVER_NAME FILE...
//       a second start: exits 0 when the running editor took the files,
//       3 when none answered;
//   desktop_second_instance --serve SERVER_NAME
//       a running editor: prints "listening", then each request's paths
//       one a line, and exits after the first request (4 if it cannot
//       listen, 5 after ten seconds without a request).

#include "platform/desktop/SingleInstance.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return 2;
    if (args.front() == QLatin1String("--serve")) {
        if (args.size() != 2)
            return 2;
        quorrel::desktop::SingleInstance running(args.at(1));
        if (!running.Listen())
            return 4;
        QObject::connect(&running, &quorrel::desktop::SingleInstance::filesRequested, [&app](const QStringList& paths) {
            for (const QString& path : paths)
                std::printf("%s\n", path.toUtf8().constData());
            std::fflush(stdout);
            app.quit();
        });
        QTimer::singleShot(10000, [&app] { app.exit(5); });
        std::printf("listening\n");
        std::fflush(stdout);
        return app.exec();
    }
    const QString name = args.takeFirst();
    quorrel::desktop::SingleInstance instance(name);
    return instance.SendToRunning(args) ? 0 : 3;
}
