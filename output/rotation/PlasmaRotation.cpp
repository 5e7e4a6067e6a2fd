#include "PlasmaRotation.h"

#include "output/PlasmaWallpaperSetter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

namespace quorrel::output::rotation {

namespace {
const QString kMarker = QStringLiteral("quorrel-previous");
const QString kShowMarker = QStringLiteral("quorrel-previous-slide-show");
const QString kDesktop = QStringLiteral("desktop ");
const QString kShow = QStringLiteral("slide show ");

// A whole number printed by the script, or nothing (a key that was not set).
std::optional<int> Number(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// The slide show's folders from the state as a script literal, strings only.
QString FolderList(const QString& json)
{
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8());
    QStringList items;
    for (const QJsonValue& value : document.array()) {
        if (value.isString())
            items << JsString(value.toString());
    }
    return u'[' + items.join(QStringLiteral(", ")) + u']';
}
} // namespace

QString CPlasmaRotation::ReadScript()
{
    return QStringLiteral("var all = desktops();"
                          " for (var i = 0; i < all.length; i++) {"
                          " var d = all[i];"
                          " d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"];"
                          " print(\"%1\\t\" + i + \"\\t\" + d.wallpaperPlugin + \"\\t\" + d.readConfig(\"Image\")"
                          " + \"\\t\" + d.readConfig(\"FillMode\") + \"\\n\");"
                          " d.currentConfigGroup = [\"Wallpaper\", \"org.kde.slideshow\", \"General\"];"
                          " var paths = d.readConfig(\"SlidePaths\");"
                          " print(\"%2\\t\" + i + \"\\t\" + JSON.stringify(paths === undefined ? [] : paths)"
                          " + \"\\t\" + d.readConfig(\"SlideInterval\") + \"\\t\" + d.readConfig(\"SlideshowMode\") + \"\\n\"); }")
        .arg(kMarker, kShowMarker);
}

QString CPlasmaRotation::InstallScript(const QString& folder, int intervalSeconds, bool randomOrder)
{
    // SlideshowMode 1: in the order of the names, each image in turn; 0: random.
    return QStringLiteral("var all = desktops();"
                          " for (var i = 0; i < all.length; i++) {"
                          " var d = all[i];"
                          " d.wallpaperPlugin = \"org.kde.slideshow\";"
                          " d.currentConfigGroup = [\"Wallpaper\", \"org.kde.slideshow\", \"General\"];"
                          " d.writeConfig(\"SlideshowMode\", %3);"
                          " d.writeConfig(\"FillMode\", 3);"
                          " d.writeConfig(\"SlideInterval\", %1);"
                          " d.writeConfig(\"SlidePaths\", [%2]); }")
        .arg(QString::number(intervalSeconds), JsString(folder), QString::number(randomOrder ? 0 : 1));
}

QList<QPair<QString, QString>> CPlasmaRotation::PreviousWallpapers(const QByteArray& output)
{
    QList<QPair<QString, QString>> previous;
    for (const QString& line : QString::fromUtf8(output).split(u'\n')) {
        const bool show = line.contains(kShowMarker + u'\t');
        const qsizetype at = line.indexOf((show ? kShowMarker : kMarker) + u'\t');
        if (at < 0)
            continue;
        const QStringList fields = line.mid(at).split(u'\t');
        bool ok = false;
        const int index = fields.value(1).toInt(&ok);
        if (fields.size() < 5 || !ok || index < 0)
            continue;
        previous.append({(show ? kShow : kDesktop) + QString::number(index), fields.mid(2, 3).join(u'\t')});
    }
    return previous;
}

QString CPlasmaRotation::RemoveScript(const CRotationState& state)
{
    static const QRegularExpression pluginName(QStringLiteral("^[A-Za-z0-9._-]+$"));
    QString script = QStringLiteral("var all = desktops();");
    for (const auto& [desktop, value] : state.previous) {
        const bool show = desktop.startsWith(kShow);
        if (!show && !desktop.startsWith(kDesktop))
            continue;
        bool ok = false;
        const int index = desktop.mid((show ? kShow : kDesktop).size()).toInt(&ok);
        const QStringList fields = value.split(u'\t');
        if (!ok || index < 0 || fields.size() != 3)
            continue;
        if (show) {
            // The folders as they were (none, for a slide show never used):
            // no setting keeps naming the rotation's removed folder.
            script += QStringLiteral(" if (%1 < all.length) { var s = all[%1];"
                                     " s.currentConfigGroup = [\"Wallpaper\", \"org.kde.slideshow\", \"General\"];"
                                     " s.writeConfig(\"SlidePaths\", %2);")
                          .arg(index)
                          .arg(FolderList(fields[0]));
            if (const auto interval = Number(fields[1]))
                script += QStringLiteral(" s.writeConfig(\"SlideInterval\", %1);").arg(*interval);
            if (const auto mode = Number(fields[2]))
                script += QStringLiteral(" s.writeConfig(\"SlideshowMode\", %1);").arg(*mode);
            script += QStringLiteral(" }");
            continue;
        }
        if (!fields[0].contains(pluginName))
            continue;
        script += QStringLiteral(" if (%1 < all.length) { var d = all[%1]; d.wallpaperPlugin = %2;").arg(index).arg(
            JsString(fields[0]));
        if (fields[0] == u"org.kde.image") {
            script += QStringLiteral(" d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"];");
            if (const auto fill = Number(fields[2]))
                script += QStringLiteral(" d.writeConfig(\"FillMode\", %1);").arg(*fill);
            script += QStringLiteral(" d.writeConfig(\"Image\", %1);").arg(JsString(fields[1]));
        }
        script += QStringLiteral(" }");
    }
    return script;
}

void CPlasmaRotation::Install(const CRotationSetup& setup, CRotationState& state, JournalStep journal, StepDone done)
{
    const CHelperCall read = CPlasmaWallpaperSetter::ScriptCall(m_runner, ReadScript());
    CollectInTurn(m_runner, &m_context, {read},
                  [this, read, setup, &state, journal = std::move(journal),
                   done = std::move(done)](const QList<CProcessResult>& results, const QStringList& tried) {
                      const CStepOutcome readOutcome = FirstFailure(m_runner, {read}, results, tried);
                      if (!readOutcome.Ok()) {
                          done(readOutcome);
                          return;
                      }
                      state.previous << PreviousWallpapers(results[0].output);
                      QString error;
                      if (!journal(error)) {
                          done({tried, error});
                          return;
                      }
                      const CHelperCall call = CPlasmaWallpaperSetter::ScriptCall(
                          m_runner, InstallScript(setup.folders.images, setup.intervalSeconds, setup.randomOrder));
                      RunInTurn(m_runner, &m_context, {call}, done, {tried, {}});
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
