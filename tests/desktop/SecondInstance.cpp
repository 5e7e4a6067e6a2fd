// The other editor of the hand-over tests, as a process of its own:
//   desktop_second_instance SERVER_NAME FILE...
//       a second start: exits 0 when the running editor took the files,
//       3 when none answered;
//   desktop_second_instance --serve SERVER_NAME
//       a running editor: prints "listening", then each request's paths
//       one a line (as the system's bytes), and exits after the first
//       request (4 if it cannot listen, 5 after ten seconds without a
//       request);
//   desktop_second_instance --raw SERVER_NAME FILE
//       a client that sends one request without asking who listens:
//       exits 0 when it was acknowledged, 3 otherwise.
//   File names are taken byte for byte, as the editor takes them.

#include "platform/NativePath.h"
#include "platform/desktop/SingleInstance.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QLocalSocket>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = quorrel::platform::ArgumentsFromNative(argc, argv);
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
                std::printf("%s\n", quorrel::platform::NativePath(path).constData());
            std::fflush(stdout);
            app.quit();
        });
        QTimer::singleShot(10000, [&app] { app.exit(5); });
        std::printf("listening\n");
        std::fflush(stdout);
        return app.exec();
    }
    if (args.front() == QLatin1String("--raw")) {
        if (args.size() != 3)
            return 2;
        QLocalSocket socket;
        socket.connectToServer(args.at(1));
        if (!socket.waitForConnected(3000))
            return 3;
        const QByteArray payload = quorrel::platform::NativePath(args.at(2)) + '\0';
        QByteArray request;
        QDataStream(&request, QIODevice::WriteOnly) << quint32(0x51524c31) << quint32(payload.size());
        socket.write(request + payload);
        socket.waitForBytesWritten(3000);
        char reply = 0;
        return socket.waitForReadyRead(3000) && socket.getChar(&reply) && reply == 'A' ? 0 : 3;
    }
    const QString name = args.takeFirst();
    quorrel::desktop::SingleInstance instance(name);
    return instance.SendToRunning(args) ? 0 : 3;
}
