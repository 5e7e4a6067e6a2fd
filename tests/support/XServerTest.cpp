#include "support/XServerTest.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cstdio>

namespace quorrel::test {

namespace {

constexpr const char* kChildVariable = "QUORREL_UNDER_XSERVER";
constexpr const char* kWorkVariable = "QUORREL_XSERVER_WORK";

} // namespace

bool UnderXServer()
{
    return qEnvironmentVariableIsSet(kChildVariable);
}

QString XServerWorkFolder()
{
    return qEnvironmentVariable(kWorkVariable);
}

QImage XScreenshot(const QString& path)
{
    const QString import = QStandardPaths::findExecutable(QStringLiteral("import"));
    if (!import.isEmpty())
        QProcess::execute(import, {QStringLiteral("-window"), QStringLiteral("root"), path});
    else
        QGuiApplication::primaryScreen()->grabWindow(0).save(path);
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

CXServerRun RunUnderXServer(const CXServerRunOptions& options)
{
    CXServerRun run;
    const QString xvfbRun = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
    if (xvfbRun.isEmpty()) {
        ADD_FAILURE() << "xvfb-run is missing (scripts/setup.sh installs it)";
        return run;
    }
    QStringList tools = options.tools;
    if (!options.windowManager.isEmpty())
        tools << options.windowManager.front();
    for (const QString& tool : tools) {
        if (QStandardPaths::findExecutable(tool).isEmpty()) {
            ADD_FAILURE() << tool.toStdString() << " is missing (scripts/setup.sh installs it)";
            return run;
        }
    }

    const QDir home(options.home);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* var : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME", "XDG_RUNTIME_DIR"})
        env.insert(var, home.filePath(var));
    // The runtime folder must be private, as a session's is.
    QDir().mkpath(home.filePath("XDG_RUNTIME_DIR"));
    const auto ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    QFile::setPermissions(home.filePath("XDG_RUNTIME_DIR"), ownerOnly);
    QFile::setPermissions(home.path(), ownerOnly);
    env.insert("HOME", home.path());
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert(kChildVariable, "1");
    env.insert(kWorkVariable, home.filePath("work"));
    for (const char* var : {"DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "DBUS_SESSION_BUS_ADDRESS"})
        env.remove(var);
    for (const QString& var : options.environment.keys())
        env.insert(var, options.environment.value(var));
    if (!options.lsanSuppressions.isEmpty()) {
        // Under LeakSanitizer: what the X11 platform's system libraries keep
        // is not ours.
        const QString lsan = env.value("LSAN_OPTIONS");
        env.insert("LSAN_OPTIONS",
                   (lsan.isEmpty() ? QString() : lsan + ":") + "suppressions=" + options.lsanSuppressions);
    }

    QProcess driver;
    driver.setProcessEnvironment(env);
    driver.setProcessChannelMode(QProcess::MergedChannels);
    QStringList command{QCoreApplication::applicationFilePath(), "--gtest_filter=" + options.filter};
    if (!options.windowManager.isEmpty()) {
        // The window manager first, in the background, its output in
        // HOME/window-manager.log; it ends with the display. The inner cases
        // wait until it manages the screen.
        // (Its words are this program's own constants, without blanks.)
        command = QStringList{"/bin/sh", "-c", options.windowManager.join(' ') + " >\"$HOME/window-manager.log\" 2>&1 & exec \"$@\"",
                              "sh"} +
                  command;
    }
    driver.start(xvfbRun, QStringList{"-a", "-s", "-screen 0 " + options.screen} + command);
    if (!driver.waitForStarted(10000)) {
        ADD_FAILURE() << "xvfb-run did not start";
        return run;
    }
    run.finished = driver.waitForFinished(options.timeoutMs);
    if (!run.finished)
        driver.kill();
    run.output = driver.readAll();
    std::fputs(run.output.constData(), stdout);
    run.exitStatus = driver.exitStatus();
    run.exitCode = driver.exitCode();
    return run;
}

void ExpectEveryInnerCasePassed(const CXServerRun& run, int cases)
{
    ASSERT_TRUE(run.finished) << "the driver did not finish in time";
    EXPECT_EQ(run.exitStatus, QProcess::NormalExit);
    EXPECT_EQ(run.exitCode, 0);
    const QByteArray passed = "[  PASSED  ] " + QByteArray::number(cases) + (cases == 1 ? " test." : " tests.");
    EXPECT_TRUE(run.output.contains(passed)) << "the driver did not pass all its " << cases << " cases";
}

int XServerTestMain(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (UnderXServer()) {
        QApplication app(argc, argv);
        return RUN_ALL_TESTS();
    }
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}

} // namespace quorrel::test
