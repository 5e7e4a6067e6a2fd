// Sets a tile as the wallpaper of the session it runs in, through the same
// CDesktopWallpaper as the editor, and prints the result. The desktop test
// stage runs it inside each real desktop component.
//   quorrel-wallpaper-probe --tile TILE --folder DIR [--screen WxH]
//                           [--times N] [--then SHELL-COMMAND]
// --then runs the command (with sh -c) after the last update, while the
// probe and whatever its setter started still run. Exit status: 0 when every
// update set the wallpaper (and the command succeeded), 1 otherwise, 2 for
// bad arguments.

#include "output/DesktopWallpaper.h"

#include <QCoreApplication>
#include <QImage>
#include <QProcess>
#include <QTimer>

#include <cstdio>
#include <functional>

using namespace quorrel::output;

namespace {

void Print(const CWallpaperResult& result)
{
    std::printf("desktop: %s (%s), %s\n", qPrintable(DesktopName(result.session.desktop)),
                qPrintable(result.session.name), qPrintable(SessionName(result.session.session)));
    for (const QString& line : result.tried)
        std::printf("tried: %s\n", qPrintable(line));
    std::printf("image: %s (save status %x)\n", qPrintable(result.imagePath), result.saveStatus);
    std::printf("result: %s\n", result.WallpaperSet() ? "set" : qPrintable("not set: " + result.problem));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QString tilePath, folder, then;
    QSize screen;
    int times = 1;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i + 1 < args.size(); i += 2) {
        const QString& option = args[i];
        const QString& value = args[i + 1];
        if (option == u"--tile") {
            tilePath = value;
        } else if (option == u"--folder") {
            folder = value;
        } else if (option == u"--then") {
            then = value;
        } else if (option == u"--times") {
            times = value.toInt();
        } else if (option == u"--screen") {
            const QStringList sides = value.split(u'x');
            if (sides.size() == 2)
                screen = QSize(sides[0].toInt(), sides[1].toInt());
        } else {
            std::fprintf(stderr, "unknown option %s\n", qPrintable(option));
            return 2;
        }
    }
    const QImage tile(tilePath);
    if (tile.isNull() || folder.isEmpty() || times < 1 || args.size() % 2 != 0) {
        std::fprintf(stderr, "usage: %s --tile TILE --folder DIR [--screen WxH] [--times N] [--then CMD]\n", argv[0]);
        return 2;
    }

    CDesktopWallpaper wallpaper(folder);
    int status = 0;
    int left = times;
    std::function<void()> next = [&] {
        wallpaper.Set({tile, screen}, [&](const CWallpaperResult& result) {
            Print(result);
            if (!result.WallpaperSet())
                status = 1;
            if (--left > 0) {
                next();
                return;
            }
            if (then.isEmpty() || status != 0) {
                app.exit(status);
                return;
            }
            auto* command = new QProcess(&app);
            command->setProcessChannelMode(QProcess::ForwardedChannels);
            QObject::connect(command, &QProcess::finished, &app, [&app, &status, command](int code, QProcess::ExitStatus exit) {
                std::printf("then: exit %d\n", code);
                app.exit(exit == QProcess::NormalExit && code == 0 ? status : 1);
                command->deleteLater();
            });
            command->start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), then});
        });
    };
    QTimer::singleShot(0, &app, next);
    return app.exec();
}
