#include "DisplayFailure.h"

#include "model/ShownText.h"

#include <QRegularExpression>
#include <QtGlobal>

#include <cstdio>
#include <unistd.h>

namespace quorrel::desktop {

namespace {

constexpr std::size_t kLongestValue = 80;

// A value from the environment as it may be shown in one line.
QString Shown(const QString& value)
{
    return QString::fromStdString(model::ShownText(value.toStdString(), kLongestValue));
}

QStringList g_held;
QtMessageHandler g_previous = nullptr;

void Hold(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtFatalMsg) {
        QString line = message;
        if (context.category && qstrcmp(context.category, "default") != 0)
            line = QString::fromLatin1(context.category) + QStringLiteral(": ") + message;
        g_held << line;
        return;
    }
    g_held << message;
    const QByteArray line =
        "quorrel: " + DisplayFailureLine(CurrentDisplaySettings(), g_held).toLocal8Bit() + "\n";
    (void)!::write(STDERR_FILENO, line.constData(), std::size_t(line.size()));
    ::_exit(1);
}

} // namespace

QString DisplayFailureLine(const DisplaySettings& settings, const QStringList& qtMessages)
{
    // The plugin Qt could not find, when that was the trouble.
    static const QRegularExpression missingPlugin(QStringLiteral("Could not find the Qt platform plugin \"([^\"]*)\""));
    for (const QString& message : qtMessages) {
        const QRegularExpressionMatch match = missingPlugin.match(message);
        if (match.hasMatch()) {
            return QStringLiteral("no display platform \"%1\"%2")
                .arg(Shown(match.captured(1)),
                     settings.platform.isEmpty() ? QString() : QStringLiteral(" (QT_QPA_PLATFORM)"));
        }
    }
    const QString platform = settings.platform.section(u':', 0, 0).trimmed();
    if (platform.startsWith(QStringLiteral("wayland"))) {
        return settings.waylandDisplay.isEmpty()
                   ? QStringLiteral("cannot open the Wayland display (WAYLAND_DISPLAY is not set)")
                   : QStringLiteral("cannot open the Wayland display %1").arg(Shown(settings.waylandDisplay));
    }
    if (platform.isEmpty() || platform == QStringLiteral("xcb")) {
        if (!settings.displaySet)
            return QStringLiteral("cannot open display (DISPLAY is not set)");
        if (settings.display.isEmpty())
            return QStringLiteral("cannot open display (DISPLAY is empty)");
        return QStringLiteral("cannot open display %1").arg(Shown(settings.display));
    }
    return QStringLiteral("cannot start the display platform \"%1\"").arg(Shown(settings.platform));
}

DisplaySettings CurrentDisplaySettings()
{
    DisplaySettings settings;
    settings.platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    settings.displaySet = qEnvironmentVariableIsSet("DISPLAY");
    settings.display = qEnvironmentVariable("DISPLAY");
    settings.waylandDisplay = qEnvironmentVariable("WAYLAND_DISPLAY");
    return settings;
}

DisplayFailureGuard::DisplayFailureGuard()
{
    g_held.clear();
    g_previous = qInstallMessageHandler(&Hold);
}

DisplayFailureGuard::~DisplayFailureGuard()
{
    qInstallMessageHandler(g_previous);
    // Nothing failed: what Qt said goes out as it would have.
    for (const QString& line : std::as_const(g_held))
        std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    g_held.clear();
}

} // namespace quorrel::desktop
