// Edit > Desktop Rotation...: the arguments it hands quorrel-render, and the
// real tool run from the dialog: a failure shown in one line naming what was
// found, and a rotation started, shown as running and stopped again. The
// desktop's helper (gsettings) is a stand-in on PATH; the real one is
// checked by the desktop stage.

#include "output/rotation/RotationDialog.h"

#include "model/TileParams.h"
#include "model/WppFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace quorrel::output::rotation;

namespace {

struct ArgumentsCase {
    CRotationChoice choice;
    QStringList expected;
};

class RotationArgumentsTest : public ::testing::TestWithParam<ArgumentsCase> {};

TEST_P(RotationArgumentsTest, TheToolGetsWhatWasChosen)
{
    EXPECT_EQ(RotationArguments(GetParam().choice), GetParam().expected);
}

using S = CRotationChoice::ESource;
INSTANTIATE_TEST_SUITE_P(
    Rotation, RotationArgumentsTest,
    ::testing::Values(ArgumentsCase{{S::Document, "/t/d.wpp", {}, "30m", 8, false, 1.0},
                                    {"/t/d.wpp", "--rotate", "30m", "--count", "8"}},
                      ArgumentsCase{{S::Defaults, {}, {}, "2h", 3, false, 1.0}, {"--rotate", "2h", "--count", "3"}},
                      ArgumentsCase{{S::Preset, {}, "ocean", "1d", 1, true, 2.0},
                                    {"--preset", "ocean", "--rotate", "1d", "--count", "1", "--continuous", "--scale",
                                     "2"}}));

class RotationDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_saved = {qgetenv("PATH"), qgetenv("XDG_CURRENT_DESKTOP"), qgetenv("XDG_SESSION_TYPE"), qgetenv("DISPLAY"),
                   qgetenv("WAYLAND_DISPLAY")};
        for (const char* name : {"XDG_CURRENT_DESKTOP", "XDG_SESSION_TYPE", "DISPLAY", "WAYLAND_DISPLAY",
                                 "DESKTOP_SESSION", "SWAYSOCK"})
            qunsetenv(name);
        // Both read a value of the user's for every key.
        for (const QString name : {QStringLiteral("gsettings"), QStringLiteral("dconf")}) {
            QFile helper(m_bin.filePath(name));
            ASSERT_TRUE(helper.open(QIODevice::WriteOnly));
            helper.write("#!/bin/sh\necho \"$*\" >> \"$0.log\"\n"
                         "case \"$1\" in get|read) echo \"'zoom'\" ;; esac\nexit 0\n");
            helper.close();
            helper.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        qputenv("PATH", (m_bin.path() + ":/usr/bin:/bin").toLocal8Bit());
    }
    void TearDown() override
    {
        const char* names[] = {"PATH", "XDG_CURRENT_DESKTOP", "XDG_SESSION_TYPE", "DISPLAY", "WAYLAND_DISPLAY"};
        for (int i = 0; i < 5; ++i) {
            if (m_saved[i].isNull())
                qunsetenv(names[i]);
            else
                qputenv(names[i], m_saved[i]);
        }
    }

    // Presses a button and waits (at most 60 s) until the tool has answered.
    static void RunAndWait(CRotationDialog& dialog, void (CRotationDialog::*press)())
    {
        (dialog.*press)();
        QElapsedTimer clock;
        clock.start();
        while (dialog.IsRunning() && clock.elapsed() < 60000)
            QTest::qWait(20);
        ASSERT_FALSE(dialog.IsRunning());
    }

    QTemporaryDir m_bin;
    QList<QByteArray> m_saved;
};

TEST_F(RotationDialogTest, AFailureIsShownInOneLineNamingWhatWasFound)
{
    CRotationDialog dialog(quorrel::model::SaveWpp(quorrel::model::CTileParams()), nullptr,
                           QStringLiteral(QUORREL_RENDER_EXE));
    QStringList shown;
    dialog.showFailure = [&](const QString& line) { shown << line; };
    EXPECT_TRUE(dialog.StatusText().contains(QLatin1String("It cannot rotate"))) << dialog.StatusText().toStdString();
    RunAndWait(dialog, &CRotationDialog::StartRotation);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith(QLatin1String("Start failed: "))) << shown[0].toStdString();
    EXPECT_TRUE(shown[0].contains(QLatin1String("no desktop was recognised"))) << shown[0].toStdString();
    EXPECT_FALSE(shown[0].contains(u'\n'));
}

TEST_F(RotationDialogTest, StartedFromTheDocumentShownAsRunningAndStopped)
{
    qputenv("XDG_CURRENT_DESKTOP", "GNOME");
    qputenv("XDG_SESSION_TYPE", "x11");
    CRotationDialog dialog(quorrel::model::SaveWpp(quorrel::model::CTileParams()), nullptr,
                           QStringLiteral(QUORREL_RENDER_EXE));
    QStringList shown;
    dialog.showFailure = [&](const QString& line) { shown << line; };
    EXPECT_TRUE(dialog.StatusText().contains(QLatin1String("no rotation is set up")));
    RunAndWait(dialog, &CRotationDialog::StartRotation);
    EXPECT_TRUE(shown.isEmpty()) << shown.join(u'\n').toStdString();
    const QString running = dialog.StatusText();
    EXPECT_TRUE(running.contains(QLatin1String("slide show"))) << running.toStdString();
    EXPECT_TRUE(running.contains(QLatin1String("every 30m"))) << running.toStdString();
    EXPECT_TRUE(running.contains(QLatin1String("8 images from"))) << running.toStdString();
    RunAndWait(dialog, &CRotationDialog::StopRotation);
    EXPECT_TRUE(shown.isEmpty()) << shown.join(u'\n').toStdString();
    EXPECT_TRUE(dialog.StatusText().contains(QLatin1String("no rotation is set up")));
    // The placement from before written back last.
    QFile log(m_bin.filePath(QStringLiteral("gsettings.log")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("set org.gnome.desktop.background picture-options 'zoom'"));
}

} // namespace
