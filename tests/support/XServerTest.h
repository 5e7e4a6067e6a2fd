#pragma once
// Tests that must go through a real X server (key maps, window managers'
// captions, screenshots) run in two halves: the outer case, run by ctest,
// starts this same program again under `xvfb-run` with the xcb platform and
// private HOME and XDG folders; the inner cases run there and drive the
// real windows.

#include <QByteArray>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace quorrel::test {

// Whether this process is the copy started under the X server.
bool UnderXServer();
// A scratch folder of the run under the X server, inside its private HOME;
// the outer case finds the inner cases' files (screenshots) there.
QString XServerWorkFolder();

struct CXServerRunOptions {
    QString home;                 // a private folder for HOME and the XDG folders
    QString filter;               // --gtest_filter of the inner cases
    QString screen = QStringLiteral("1280x1024x24");
    int timeoutMs = 240000;
    QStringList tools;            // programs the inner cases run (xdotool, xprop)
    QString lsanSuppressions;     // LeakSanitizer suppressions, if any
    // A window manager started on the display before the inner cases (its
    // program and arguments); none when empty. Its program counts as a tool.
    QStringList windowManager;
    // Variables set for the inner cases (a scale factor, say).
    QProcessEnvironment environment;
};

struct CXServerRun {
    bool finished = false;
    QProcess::ExitStatus exitStatus = QProcess::CrashExit;
    int exitCode = -1;
    QByteArray output;   // the inner run's output, also printed
};

// Runs the inner cases under `xvfb-run -a`. Records a test failure when
// xvfb-run or one of `tools` is missing (the set-up scripts install them).
CXServerRun RunUnderXServer(const CXServerRunOptions& options);

// Records a failure unless the inner run ended in time and normally, with all
// of its `cases` passed: a run that skipped or lost cases passes nothing.
void ExpectEveryInnerCasePassed(const CXServerRun& run, int cases);

// The whole X screen, saved at `path` and read back in RGB32: ImageMagick's
// import when it is there, else the root window through Qt.
QImage XScreenshot(const QString& path);

// main() of such a test program: a QApplication under the X server, a
// QCoreApplication for the outer case.
int XServerTestMain(int argc, char** argv);

} // namespace quorrel::test
