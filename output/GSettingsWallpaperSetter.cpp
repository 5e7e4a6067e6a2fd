#include "GSettingsWallpaperSetter.h"

namespace quorrel::output {

CGSettingsWallpaperSetter::CSchema CGSettingsWallpaperSetter::Gnome()
{
    // picture-uri-dark exists from GNOME 42 on; older ones refuse it harmlessly.
    return {QStringLiteral("org.gnome.desktop.background"), {QStringLiteral("picture-uri")},
            {QStringLiteral("picture-uri-dark")}, true,
            QStringLiteral("/org/gnome/desktop/background/")};
}

CGSettingsWallpaperSetter::CSchema CGSettingsWallpaperSetter::Cinnamon()
{
    return {QStringLiteral("org.cinnamon.desktop.background"), {QStringLiteral("picture-uri")}, {}, true,
            QStringLiteral("/org/cinnamon/desktop/background/")};
}

CGSettingsWallpaperSetter::CSchema CGSettingsWallpaperSetter::Mate()
{
    return {QStringLiteral("org.mate.background"), {QStringLiteral("picture-filename")}, {}, false,
            QStringLiteral("/org/mate/desktop/background/")};
}

void CGSettingsWallpaperSetter::SetTiledMode(StepDone done)
{
    RunInTurn(m_runner, &m_context, {Set(QStringLiteral("picture-options"), GVariantString(QStringLiteral("wallpaper")))},
              std::move(done));
}

void CGSettingsWallpaperSetter::Load(const CWallpaperFiles& files, StepDone done)
{
    const QString value = GVariantString(m_schema.pictureAsUrl ? FileUrl(files.bmp) : files.bmp);
    QList<CHelperCall> calls;
    QMap<QString, QString> expected{{QStringLiteral("picture-options"), GVariantString(QStringLiteral("wallpaper"))}};
    for (const QString& key : m_schema.pictureKeys) {
        calls << Set(key, value);
        expected[key] = value;
    }
    for (const QString& key : m_schema.optionalKeys)
        calls << Set(key, value, true);
    RunInTurn(m_runner, &m_context, std::move(calls),
              [this, expected, done = std::move(done)](const CStepOutcome& outcome) {
                  if (!outcome.Ok()) {
                      done(outcome);
                      return;
                  }
                  ReadBack(expected, outcome, done);
              });
}

void CGSettingsWallpaperSetter::ReadBack(const QMap<QString, QString>& expected, const CStepOutcome& soFar,
                                         const StepDone& done)
{
    // gsettings may end with 0 having stored nothing (no session bus for
    // dconf, a store that only lives in memory): what counts is what the
    // settings hold afterwards.
    const int timeoutMs = m_runner.TimeoutMs();
    m_runner.Start(QStringLiteral("gsettings"), {QStringLiteral("list-recursively"), m_schema.schema}, &m_context,
                   [expected, soFar, done, timeoutMs](const CProcessResult& result) {
                       CStepOutcome outcome = soFar;
                       if (!result.Succeeded()) {
                           outcome.problem = QStringLiteral("The settings could not be read back: %1")
                                                 .arg(result.Problem(QStringLiteral("gsettings"), timeoutMs));
                           done(outcome);
                           return;
                       }
                       const QMap<QString, QString> stored = ParseSettingsList(QString::fromUtf8(result.output));
                       for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
                           const QString now = stored.value(it.key());
                           if (GVariantText(now) != GVariantText(it.value())) {
                               outcome.problem =
                                   QStringLiteral("gsettings did not store %1 (it still reads %2); the settings could "
                                                  "not be saved (is the session bus there?)")
                                       .arg(it.key(), now.isEmpty() ? QStringLiteral("nothing") : now.left(200));
                               break;
                           }
                       }
                       done(outcome);
                   });
}

QMap<QString, QString> CGSettingsWallpaperSetter::ParseSettingsList(const QString& list)
{
    // "SCHEMA KEY VALUE" a line.
    QMap<QString, QString> values;
    for (const QString& line : list.split(u'\n', Qt::SkipEmptyParts)) {
        const qsizetype first = line.indexOf(u' ');
        const qsizetype second = first < 0 ? -1 : line.indexOf(u' ', first + 1);
        if (second > 0)
            values[line.mid(first + 1, second - first - 1)] = line.mid(second + 1).trimmed();
    }
    return values;
}

QString CGSettingsWallpaperSetter::GVariantText(const QString& literal)
{
    // 'text' or "text" with backslash escapes, as gsettings prints and takes
    // a string.
    if (literal.size() < 2 || literal.front() != literal.back() || (literal.front() != u'\'' && literal.front() != u'"'))
        return literal;
    QString text;
    for (qsizetype i = 1; i + 1 < literal.size(); ++i) {
        if (literal[i] == u'\\' && i + 2 < literal.size())
            ++i;
        text += literal[i];
    }
    return text;
}

CHelperCall CGSettingsWallpaperSetter::Set(const QString& key, const QString& value, bool optional) const
{
    // gsettings ends with 0 when the settings could not be stored (no
    // session bus for dconf), saying so only on standard error.
    return {QStringLiteral("gsettings"), {QStringLiteral("set"), m_schema.schema, key, value}, optional, true};
}

} // namespace quorrel::output
