#include "PlasmaWallpaperSetter.h"

namespace quorrel::output {

namespace {

// A JavaScript string literal.
QString JsString(const QString& text)
{
    QString quoted = text;
    quoted.replace(u'\\', QLatin1String("\\\\")).replace(u'"', QLatin1String("\\\""));
    return u'"' + quoted + u'"';
}

// Runs `body` for every desktop `d` with the image wallpaper's settings as
// the current group.
QString ForEveryDesktop(const QString& body)
{
    return QStringLiteral("var all = desktops();"
                          " for (var i = 0; i < all.length; i++) {"
                          " var d = all[i];"
                          " d.wallpaperPlugin = \"org.kde.image\";"
                          " d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"];"
                          " %1 }")
        .arg(body);
}

} // namespace

QString CPlasmaWallpaperSetter::TiledModeScript()
{
    return ForEveryDesktop(QStringLiteral("d.writeConfig(\"FillMode\", 3); d.writeConfig(\"Image\", \"\");"));
}

QString CPlasmaWallpaperSetter::LoadScript(const QString& bmp)
{
    return ForEveryDesktop(QStringLiteral("d.writeConfig(\"Image\", %1);").arg(JsString(FileUrl(bmp))));
}

void CPlasmaWallpaperSetter::SetTiledMode() { Evaluate(TiledModeScript()); }

void CPlasmaWallpaperSetter::Load(const CWallpaperFiles& files) { Evaluate(LoadScript(files.bmp)); }

void CPlasmaWallpaperSetter::Evaluate(const QString& script)
{
    const QString service = QStringLiteral("org.kde.plasmashell");
    const QString path = QStringLiteral("/PlasmaShell");
    const QString method = QStringLiteral("org.kde.PlasmaShell.evaluateScript");
    // Plasma 6 ships qdbus6 (or qdbus-qt6), Plasma 5 qdbus or qdbus-qt5.
    for (const char* qdbus : {"qdbus6", "qdbus-qt6", "qdbus", "qdbus-qt5"}) {
        const QString program = QString::fromLatin1(qdbus);
        if (m_runner.IsAvailable(program)) {
            m_runner.Run(program, {service, path, method, script});
            return;
        }
    }
    m_runner.Run(QStringLiteral("dbus-send"), {QStringLiteral("--session"), QStringLiteral("--type=method_call"),
                                               QStringLiteral("--dest=") + service, path, method,
                                               QStringLiteral("string:") + script});
}

} // namespace quorrel::output
