#include "SystemdUnits.h"

#include "RotationInterval.h"

#include <QDir>
#include <QRegularExpression>

namespace quorrel::output::rotation {

namespace {

QString Shown(const QString& word)
{
    return QString(word).replace(QRegularExpression(QStringLiteral("[\\x00-\\x1f\\x7f]")), QStringLiteral("?"));
}

std::optional<QString> CommandLine(const QStringList& words, QString& error)
{
    QStringList quoted;
    for (const QString& word : words) {
        if (quoted.isEmpty()) {
            const std::optional<QString> program = UnitProgram(word);
            if (!program) {
                error = QStringLiteral("the program's path '%1' holds a quote, a backslash or a control character, "
                                       "which systemd does not take in a program's name; install quorrel-render "
                                       "under a plainer path")
                            .arg(Shown(word));
                return std::nullopt;
            }
            quoted << *program;
            continue;
        }
        const std::optional<QString> one = UnitWord(word);
        if (!one) {
            error = QStringLiteral("'%1' holds a control character and cannot be written in a systemd unit")
                        .arg(Shown(word));
            return std::nullopt;
        }
        quoted << *one;
    }
    return quoted.join(u' ');
}

} // namespace

std::optional<QString> UnitWord(const QString& word)
{
    static const QRegularExpression control(QStringLiteral("[\\x00-\\x1f\\x7f]"));
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./:=,+@-]+$"));
    if (word.contains(control))
        return std::nullopt;
    if (word.contains(plain))
        return word;
    QString text = word;
    text.replace(u'\\', QLatin1String("\\\\"))
        .replace(u'"', QLatin1String("\\\""))
        .replace(u'%', QLatin1String("%%"))
        .replace(u'$', QLatin1String("$$"));
    return u'"' + text + u'"';
}

std::optional<QString> UnitProgram(const QString& path)
{
    static const QRegularExpression refused(QStringLiteral("[\\x00-\\x1f\\x7f\"'\\\\]"));
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./:=,+@$-]+$"));
    if (path.contains(refused))
        return std::nullopt;
    QString text = path;
    text.replace(u'%', QLatin1String("%%"));
    return path.contains(plain) ? text : u'"' + text + u'"';
}

std::optional<QList<CUnitFile>> UnitFiles(const CUnitPlan& plan, QString& error)
{
    if (plan.command.isEmpty() || !QDir::isAbsolutePath(plan.command.first())) {
        error = QStringLiteral("the rotation's program must be an absolute path");
        return std::nullopt;
    }
    const std::optional<QString> command = CommandLine(plan.command, error);
    if (!command)
        return std::nullopt;
    QList<CUnitFile> units;
    QString environment;
    for (const auto& [name, value] : plan.environment) {
        static const QRegularExpression control(QStringLiteral("[\\x00-\\x1f\\x7f]"));
        if (value.contains(control) || name.contains(control)) {
            error = QStringLiteral("%1 ('%2') holds a control character and cannot be written in a systemd unit")
                        .arg(name, Shown(value));
            return std::nullopt;
        }
        QString text = name + u'=' + value;
        text.replace(u'\\', QLatin1String("\\\\")).replace(u'"', QLatin1String("\\\"")).replace(u'%', QLatin1String("%%"));
        environment += QStringLiteral("Environment=\"%1\"\n").arg(text);
    }
    QString service = QStringLiteral("[Unit]\nDescription=Quorrel desktop rotation: a new tiled wallpaper\n\n"
                                     "[Service]\nType=oneshot\n%1ExecStart=%2\n")
                          .arg(environment, *command);
    if (!plan.swaybgImage.isEmpty()) {
        const std::optional<QString> restart =
            CommandLine({QStringLiteral("/usr/bin/env"), QStringLiteral("systemctl"), QStringLiteral("--user"),
                         QStringLiteral("restart"), kSwaybgUnit},
                        error);
        const std::optional<QString> swaybg =
            CommandLine({QStringLiteral("/usr/bin/env"), QStringLiteral("swaybg"), QStringLiteral("-m"),
                         QStringLiteral("tile"), QStringLiteral("-i"), plan.swaybgImage, QStringLiteral("-o"),
                         QStringLiteral("*")},
                        error);
        if (!restart || !swaybg)
            return std::nullopt;
        service += QStringLiteral("ExecStartPost=%1\n").arg(*restart);
        units << CUnitFile{kSwaybgUnit,
                           QStringLiteral("[Unit]\nDescription=Quorrel desktop rotation: the wallpaper on a "
                                          "wlroots compositor\n\n[Service]\nExecStart=%1\nRestart=on-failure\n")
                               .arg(*swaybg)};
    }
    units.prepend(CUnitFile{kServiceUnit, service});
    units.prepend(CUnitFile{
        kTimerUnit,
        QStringLiteral("[Unit]\nDescription=Quorrel desktop rotation every %1\n\n"
                       "[Timer]\nOnActiveSec=1s\nOnUnitActiveSec=%2s\nAccuracySec=1s\nUnit=%3\n\n"
                       "[Install]\nWantedBy=timers.target\n")
            .arg(FormatInterval(plan.intervalSeconds))
            .arg(plan.intervalSeconds)
            .arg(kServiceUnit)});
    return units;
}

} // namespace quorrel::output::rotation
