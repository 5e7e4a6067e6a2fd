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

} // namespace

QString CPlasmaWallpaperSetter::Script(const QString& bmp)
{
    return QStringLiteral("var all = desktops();"
                          " for (var i = 0; i < all.length; i++) {"
                          " var d = all[i];"
                          " d.wallpaperPlugin = \"org.kde.image\";"
                          " d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"];"
                          " d.writeConfig(\"FillMode\", 3);"
                          " d.writeConfig(\"Image\", \"\");"
                          " d.writeConfig(\"Image\", %1); }")
        .arg(JsString(FileUrl(bmp)));
}

void CPlasmaWallpaperSetter::Load(const CWallpaperFiles& files, StepDone done)
{
    const QString service = QStringLiteral("org.kde.plasmashell");
    const QString path = QStringLiteral("/PlasmaShell");
    const QString method = QStringLiteral("org.kde.PlasmaShell.evaluateScript");
    const QString script = Script(files.bmp);
    // Plasma 6 ships qdbus6 (or qdbus-qt6), Plasma 5 qdbus or qdbus-qt5.
    for (const char* qdbus : {"qdbus6", "qdbus-qt6", "qdbus", "qdbus-qt5"}) {
        const QString program = QString::fromLatin1(qdbus);
        if (m_runner.IsAvailable(program)) {
            RunInTurn(m_runner, &m_context, {{program, {service, path, method, script}}}, std::move(done));
            return;
        }
    }
    RunInTurn(m_runner, &m_context,
              {{QStringLiteral("dbus-send"),
                {QStringLiteral("--session"), QStringLiteral("--type=method_call"), QStringLiteral("--print-reply"),
                 QStringLiteral("--dest=") + service, path, method, QStringLiteral("string:") + script}}},
              std::move(done));
}

} // namespace quorrel::output
