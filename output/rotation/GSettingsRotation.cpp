#include "GSettingsRotation.h"

#include "SlideShowXml.h"

#include <QDateTime>
#include <QDir>

namespace quorrel::output::rotation {

namespace {
const QString kOptions = QStringLiteral("picture-options");
// A key that held its default: off resets it instead of writing the value.
const QString kDefault = QStringLiteral("default");
} // namespace

QString CGSettingsRotation::XmlPath(const CRotationSetup& setup)
{
    return QDir(setup.folders.rotation).filePath(QStringLiteral("slide-show-%1.xml").arg(setup.stamp));
}

CHelperCall CGSettingsRotation::Call(const QString& verb, const QString& key, const QString& value,
                                     bool optional) const
{
    QStringList arguments{verb, m_schema.schema, key};
    if (!value.isNull())
        arguments << value;
    return {QStringLiteral("gsettings"), arguments, optional};
}

void CGSettingsRotation::Install(const CRotationSetup& setup, CRotationState& state, StepDone done)
{
    // What is there now, read first: the keys a schema lacks (picture-uri-dark
    // before GNOME 42) are left out.
    // Each key also through dconf, where it is the store: nothing there means
    // the key holds its default.
    const QString path = m_schema.dconfPath;
    QList<CHelperCall> reads;
    for (const QString& key : QStringList{kOptions} + m_schema.pictureKeys + m_schema.optionalKeys) {
        reads << Call(QStringLiteral("get"), key, {}, !(key == kOptions || m_schema.pictureKeys.contains(key)));
        reads << CHelperCall{QStringLiteral("dconf"), {QStringLiteral("read"), path + key}, true};
    }
    CollectInTurn(m_runner, &m_context, reads, [this, reads, setup, &state, done = std::move(done)](
                                                   const QList<CProcessResult>& results, const QStringList& tried) {
        const CStepOutcome read = FirstFailure(m_runner, reads, results, tried);
        if (!read.Ok()) {
            done(read);
            return;
        }
        QStringList present;
        for (qsizetype i = 0; i + 1 < results.size(); i += 2) {
            if (!results[i].Succeeded())
                continue;
            const QString key = reads[i].arguments[2];
            present << key;
            const bool atDefault = results[i + 1].Succeeded() && results[i + 1].output.trimmed().isEmpty();
            state.previous.append({key, atDefault ? kDefault : QString::fromUtf8(results[i].output).trimmed()});
        }
        const QString xml = XmlPath(setup);
        state.files << xml;
        QString error;
        if (!WriteTextFile(xml, SlideShowXml(setup.images, setup.intervalSeconds, QDateTime::currentDateTime()).toUtf8(),
                           error)) {
            done({tried, error});
            return;
        }
        const QString picture = GVariantString(m_schema.pictureAsUrl ? FileUrl(xml) : xml);
        QList<CHelperCall> writes{Call(QStringLiteral("set"), kOptions, GVariantString(QStringLiteral("wallpaper")))};
        for (const QString& key : m_schema.pictureKeys + m_schema.optionalKeys) {
            if (present.contains(key))
                writes << Call(QStringLiteral("set"), key, picture);
        }
        RunInTurn(m_runner, &m_context, writes, done, {tried, {}});
    });
}

void CGSettingsRotation::Remove(const CRotationState& state, StepDone done)
{
    // Only the keys this writer reads: a state file naming others is not ours.
    const QStringList known = QStringList{kOptions} + m_schema.pictureKeys + m_schema.optionalKeys;
    QList<CHelperCall> writes;
    for (const auto& [key, value] : state.previous) {
        if (!known.contains(key))
            continue;
        writes << (value == kDefault ? Call(QStringLiteral("reset"), key) : Call(QStringLiteral("set"), key, value));
    }
    CollectInTurn(m_runner, &m_context, writes,
                  [this, writes, done = std::move(done)](const QList<CProcessResult>& results,
                                                         const QStringList& tried) {
                      done(FirstFailure(m_runner, writes, results, tried));
                  });
}

} // namespace quorrel::output::rotation
