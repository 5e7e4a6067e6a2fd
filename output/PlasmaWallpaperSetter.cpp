#include "PlasmaWallpaperSetter.h"

namespace quorrel::output {

QString JsString(const QString& text)
{
    QString quoted;
    quoted.reserve(text.size() + 2);
    quoted += u'"';
    for (const QChar c : text) {
        if (c == u'\\' || c == u'"')
            { quoted += u'\\'; quoted += c; }
        else if (c.unicode() < 0x20 || c.unicode() == 0x2028 || c.unicode() == 0x2029)
            quoted += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            quoted += c;
    }
    return quoted + u'"';
}

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

CHelperCall CPlasmaWallpaperSetter::ScriptCall(IProcessRunner& runner, const QString& script)
{
    const QString service = QStringLiteral("org.kde.plasmashell");
    const QString path = QStringLiteral("/PlasmaShell");
    const QString method = QStringLiteral("org.kde.PlasmaShell.evaluateScript");
    // Plasma 6 ships qdbus6 (or qdbus-qt6), Plasma 5 qdbus or qdbus-qt5.
    for (const char* qdbus : {"qdbus6", "qdbus-qt6", "qdbus", "qdbus-qt5"}) {
        const QString program = QString::fromLatin1(qdbus);
        if (runner.IsAvailable(program))
            return {program, {service, path, method, script}};
    }
    return {QStringLiteral("dbus-send"),
            {QStringLiteral("--session"), QStringLiteral("--type=method_call"), QStringLiteral("--print-reply"),
             QStringLiteral("--dest=") + service, path, method, QStringLiteral("string:") + script}};
}

void CPlasmaWallpaperSetter::Load(const CWallpaperFiles& files, StepDone done)
{
    RunInTurn(m_runner, &m_context, {ScriptCall(m_runner, Script(files.bmp))}, std::move(done));
}

} // namespace quorrel::output
