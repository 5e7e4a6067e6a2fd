#include "WallpaperSetter.h"

#include <QRegularExpression>
#include <QUrl>

namespace quorrel::output {

namespace {
constexpr qsizetype kLongestArgument = 120;
}

QString CommandLine(const CHelperCall& call)
{
    QStringList words{call.program};
    for (QString argument : call.arguments) {
        if (argument.size() > kLongestArgument)
            argument = argument.left(kLongestArgument) + QStringLiteral("...");
        static const QRegularExpression special(QStringLiteral("[\\s'\"\\\\$`;&|<>*?()#~]"));
        static const QRegularExpression unsafeInDouble(QStringLiteral("[\"\\\\$`]"));
        if (!argument.isEmpty() && !argument.contains(special))
            words << argument;
        else if (!argument.contains(unsafeInDouble))
            words << u'"' + argument + u'"';
        else
            words << u'\'' + QString(argument).replace(u'\'', QLatin1String("'\\''")) + u'\'';
    }
    return words.join(u' ');
}

void RunInTurn(IProcessRunner& runner, QObject* context, QList<CHelperCall> calls, StepDone done,
               CStepOutcome soFar)
{
    if (calls.isEmpty()) {
        done(soFar);
        return;
    }
    const CHelperCall call = calls.takeFirst();
    soFar.tried << CommandLine(call);
    const int timeoutMs = runner.TimeoutMs();
    runner.Start(call.program, call.arguments, context,
                 [&runner, context, calls = std::move(calls), done = std::move(done), soFar = std::move(soFar),
                  program = call.program, optional = call.optional, quiet = call.quietWhenDone,
                  timeoutMs](const CProcessResult& result) mutable {
                     if (!result.Succeeded() && !optional) {
                         soFar.problem = result.Problem(program, timeoutMs);
                         done(soFar);
                         return;
                     }
                     // GLib's "(process:123): dconf-WARNING **: 12:00:00.000: " goes.
                     static const QRegularExpression logPrefix(
                         QStringLiteral("^\\(process:\\d+\\): [\\w-]+ \\*\\*: [\\d:.]+: "));
                     const QString complaint =
                         QString::fromLocal8Bit(result.errorOutput).simplified().remove(logPrefix);
                     if (quiet && !optional && result.Succeeded() && !complaint.isEmpty()) {
                         soFar.problem = QStringLiteral("%1 did not store the setting: %2")
                                             .arg(program, complaint.left(kLongestArgument * 2));
                         done(soFar);
                         return;
                     }
                     RunInTurn(runner, context, std::move(calls), std::move(done), std::move(soFar));
                 });
}

QString GVariantString(const QString& text)
{
    QString quoted = text;
    quoted.replace(u'\\', QLatin1String("\\\\")).replace(u'\'', QLatin1String("\\'"));
    return u'\'' + quoted + u'\'';
}

QString FileUrl(const QString& path)
{
    return QString::fromLatin1(QUrl::fromLocalFile(path).toEncoded());
}

} // namespace quorrel::output
