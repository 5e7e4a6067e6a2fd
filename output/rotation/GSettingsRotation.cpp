#include "GSettingsRotation.h"

#include "RotationFiles.h"
#include "SlideShowXml.h"

#include <QDateTime>
#include <QDir>
#include <QUrl>

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
    // gsettings ends with 0 when it could not store (no session bus), saying
    // so only on standard error.
    return {QStringLiteral("gsettings"), arguments, optional, verb != u"get"};
}

void CGSettingsRotation::Install(const CRotationSetup& setup, CRotationState& state, JournalStep journal,
                                 StepDone done)
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
    CollectInTurn(m_runner, &m_context, reads,
                  [this, reads, setup, &state, journal = std::move(journal),
                   done = std::move(done)](const QList<CProcessResult>& results, const QStringList& tried) {
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
            const QString value = QString::fromUtf8(results[i].output).trimmed();
            // A slide show of a rotation that was never taken down (its state
            // lost) is no wallpaper of the user's to put back: the key's
            // default is.
            const QString named = CGSettingsWallpaperSetter::GVariantText(value);
            const QString file = named.startsWith(QLatin1String("file://")) ? QUrl(named).toLocalFile() : named;
            const bool stale = setup.files && key != kOptions && setup.files->Ours(file);
            const bool atDefault = results[i + 1].Succeeded() && results[i + 1].output.trimmed().isEmpty();
            state.previous.append({key, atDefault || stale ? kDefault : value});
        }
        const QString xmlName = QStringLiteral("slide-show-%1.xml").arg(setup.stamp);
        const QString xml = setup.files ? setup.files->Folder() + u'/' + xmlName : XmlPath(setup);
        state.files << xml;
        QString error;
        if (!journal(error)) {
            done({tried, error});
            return;
        }
        const QByteArray text =
            SlideShowXml(setup.images, setup.intervalSeconds, QDateTime::currentDateTime()).toUtf8();
        if (!setup.files || !setup.files->WriteFile(xmlName, text, error)) {
            done({tried, error.isEmpty() ? QStringLiteral("the rotation's folder is not open") : error});
            return;
        }
        const QString picture = GVariantString(m_schema.pictureAsUrl ? FileUrl(xml) : xml);
        QMap<QString, QString> expected{{kOptions, GVariantString(QStringLiteral("wallpaper"))}};
        QList<CHelperCall> writes{Call(QStringLiteral("set"), kOptions, expected[kOptions])};
        for (const QString& key : m_schema.pictureKeys + m_schema.optionalKeys) {
            if (present.contains(key)) {
                writes << Call(QStringLiteral("set"), key, picture);
                expected[key] = picture;
            }
        }
        RunInTurn(m_runner, &m_context, writes, [this, expected, done](const CStepOutcome& written) {
            if (!written.Ok()) {
                done(written);
                return;
            }
            ReadBack(expected, {}, written, done);
        }, {tried, {}});
    });
}

void CGSettingsRotation::Remove(const CRotationState& state, StepDone done)
{
    // Only the keys this writer reads: a state file naming others is not ours.
    const QStringList known = QStringList{kOptions} + m_schema.pictureKeys + m_schema.optionalKeys;
    QList<CHelperCall> writes;
    QMap<QString, QString> expected;
    QStringList reset;
    for (const auto& [key, value] : state.previous) {
        if (!known.contains(key))
            continue;
        if (value == kDefault) {
            writes << Call(QStringLiteral("reset"), key);
            reset << key;
        } else {
            writes << Call(QStringLiteral("set"), key, value);
            expected[key] = value;
        }
    }
    CollectInTurn(m_runner, &m_context, writes,
                  [this, writes, expected, reset, done = std::move(done)](const QList<CProcessResult>& results,
                                                                          const QStringList& tried) {
                      const CStepOutcome written = FirstFailure(m_runner, writes, results, tried);
                      if (!written.Ok()) {
                          done(written);
                          return;
                      }
                      ReadBack(expected, reset, written, done);
                  });
}

void CGSettingsRotation::ReadBack(const QMap<QString, QString>& expected, const QStringList& reset,
                                  CStepOutcome soFar, StepDone done)
{
    QList<CHelperCall> reads{{QStringLiteral("gsettings"), {QStringLiteral("list-recursively"), m_schema.schema}}};
    for (const QString& key : reset)
        reads << CHelperCall{QStringLiteral("dconf"), {QStringLiteral("read"), m_schema.dconfPath + key}};
    CollectInTurn(m_runner, &m_context, reads,
                  [this, reads, expected, reset, soFar = std::move(soFar),
                   done = std::move(done)](const QList<CProcessResult>& results, const QStringList&) {
        CStepOutcome outcome = soFar;
        if (!results[0].Succeeded()) {
            outcome.problem = QStringLiteral("the settings could not be read back: %1")
                                  .arg(results[0].Problem(QStringLiteral("gsettings"), m_runner.TimeoutMs()));
            done(outcome);
            return;
        }
        const QMap<QString, QString> stored =
            CGSettingsWallpaperSetter::ParseSettingsList(QString::fromUtf8(results[0].output));
        auto dropped = [&outcome](const QString& key, const QString& now) {
            outcome.problem = QStringLiteral("gsettings did not store %1 (it still reads %2); the settings could not "
                                             "be saved (is the session bus there?)")
                                  .arg(key, now.isEmpty() ? QStringLiteral("nothing") : now.left(200));
        };
        for (auto it = expected.cbegin(); it != expected.cend() && outcome.Ok(); ++it) {
            const QString now = stored.value(it.key());
            if (CGSettingsWallpaperSetter::GVariantText(now) != CGSettingsWallpaperSetter::GVariantText(it.value()))
                dropped(it.key(), now);
        }
        // A key reset holds nothing of its own in dconf any more (dconf reads
        // its database without the bus, so a dropped reset shows here).
        for (qsizetype i = 0; i < reset.size() && outcome.Ok(); ++i) {
            const CProcessResult& read = results.value(i + 1);
            if (read.Succeeded() && !read.output.trimmed().isEmpty())
                dropped(reset[i], QString::fromUtf8(read.output).trimmed());
        }
        done(outcome);
    });
}

} // namespace quorrel::output::rotation
