// Prints the scripts that plasmashell runs for the living wallpaper, built by
// the same functions as Quorrel's Plasma way, for check-living-plasma.sh:
//   quorrel-living-plasma-probe install LOOP   the install script for LOOP
//   quorrel-living-plasma-probe remove         the remove script for what the
//                                              install script printed (stdin)
//   quorrel-living-plasma-probe still IMAGE    the Plasma setter's script (a
//                                              still wallpaper to come back to)

#include "output/PlasmaWallpaperSetter.h"
#include "output/WallpaperSetter.h"
#include "output/living/PlasmaLivingScripts.h"
#include "output/rotation/PlasmaRotation.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

using namespace quorrel::output;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    QString script;
    if (args.size() == 2 && args[0] == u"install") {
        script = living::PlasmaLivingInstallScript(living::kPlasmaLivingPluginId, FileUrl(args[1]));
    } else if (args.size() == 1 && args[0] == u"remove") {
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly))
            return 1;
        script = living::PlasmaLivingRemoveScript(rotation::CPlasmaRotation::PreviousWallpapers(in.read(1 << 20)));
    } else if (args.size() == 2 && args[0] == u"still") {
        script = CPlasmaWallpaperSetter::Script(args[1]);
    } else {
        std::fprintf(stderr, "usage: quorrel-living-plasma-probe install LOOP | remove | still IMAGE\n");
        return 2;
    }
    std::printf("%s\n", script.toUtf8().constData());
    return 0;
}
