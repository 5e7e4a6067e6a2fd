#include "PlasmaRotation.h"

#include "output/PlasmaWallpaperSetter.h"

#include <QRegularExpression>

namespace quorrel::output::rotation {

namespace {
const QString kMarker = QStringLiteral("quorrel-previous");
const QString kDesktop = QStringLiteral("desktop ");
} // namespace

QString CPlasmaRotation::InstallScript(const QString& folder, int intervalSeconds)
{
    // SlideshowMode 1: in the order of the names, each image in turn.
    return QStringLiteral("var all = desktops();"
                          " for (var i = 0; i < all.length; i++) {"
                          " var d = all[i];"
                          " d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"];"
                          " print(\"%1\\t\" + i + \"\\t\" + d.wallpaperPlugin + \"\\t\" + d.readConfig(\"Image\")"
                          " + \"\\t\" + d.readConfig(\"FillMode\") + \"\\n\");"
                          " d.wallpaperPlugin = \"org.kde.slideshow\";"
                          " d.currentConfigGroup = [\"Wallpaper\", \"org.kde.slideshow\", \"General\"];"
                          " d.writeConfig(\"SlideshowMode\", 1);"
                          " d.writeConfig(\"FillMode\", 3);"
                          " d.writeConfig(\"SlideInterval\", %2);"
                          " d.writeConfig(\"SlidePaths\", [%3]); }")
        .arg(kMarker)
        .arg(intervalSeconds)
        .arg(JsString(folder));
}

QList<QPair<QString, QString>> CPlasmaRotation::PreviousWallpapers(const QByteArray& output)
{
    QList<QPair<QString, QString>> previous;
    for (const QString& line : QString::fromUtf8(output).split(u'\n')) {
        const qsizetype at = line.indexOf(kMarker + u'\t');
        if (at < 0)
            continue;
        const QStringList fields = line.mid(at).split(u'\t');
        bool ok = false;
        const int index = fields.value(1).toInt(&ok);
        if (fields.size() < 5 || !ok || index < 0)
            continue;
        previous.append({kDesktop + QString::number(index), fields.mid(2, 3).join(u'\t')});
    }
    return previous;
}

QString CPlasmaRotation::RemoveScript(const CRotationState& state)
{
    static const QRegularExpression pluginName(QStringLiteral("^[A-Za-z0-9._-]+$"));
    QString script = QStringLiteral("var all = desktops();");
    for (const auto& [desktop, value] : state.previous) {
        if (!desktop.startsWith(kDesktop))
            continue;
        bool ok = false;
        const int index = desktop.mid(kDesktop.size()).toInt(&ok);
        const QStringList fields = value.split(u'\t');
        if (!ok || index < 0 || fields.size() != 3 || !fields[0].contains(pluginName))
            continue;
        bool fillOk = false;
        const int fill = fields[2].toInt(&fillOk);
        script += QStringLiteral(" if (%1 < all.length) { var d = all[%1]; d.wallpaperPlugin = %2;").arg(index).arg(
            JsString(fields[0]));
        if (fields[0] == u"org.kde.image") {
            script += QStringLiteral(" d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"];");
            if (fillOk)
                script += QStringLiteral(" d.writeConfig(\"FillMode\", %1);").arg(fill);
            script += QStringLiteral(" d.writeConfig(\"Image\", %1);").arg(JsString(fields[1]));
        }
        script += QStringLiteral(" }");
    }
    return script;
}

void CPlasmaRotation::Install(const CRotationSetup& setup, CRotationState& state, StepDone done)
{
    const CHelperCall call =
        CPlasmaWallpaperSetter::ScriptCall(m_runner, InstallScript(setup.folders.images, setup.intervalSeconds));
    CollectInTurn(m_runner, &m_context, {call},
                  [this, call, &state, done = std::move(done)](const QList<CProcessResult>& results,
                                                               const QStringList& tried) {
                      state.previous << PreviousWallpapers(results[0].output);
                      done(FirstFailure(m_runner, {call}, results, tried));
                  });
}

void CPlasmaRotation::Remove(const CRotationState& state, StepDone done)
{
    const CHelperCall call = CPlasmaWallpaperSetter::ScriptCall(m_runner, RemoveScript(state));
    CollectInTurn(m_runner, &m_context, {call},
                  [this, call, done = std::move(done)](const QList<CProcessResult>& results,
                                                       const QStringList& tried) {
                      done(FirstFailure(m_runner, {call}, results, tried));
                  });
}

} // namespace quorrel::output::rotation
