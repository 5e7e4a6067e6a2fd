// Edit > Desktop Rotation...: the rotation it would start (following the
// view's look, offering the screen's size where the desktop cannot tile, a
// random order where the desktop can shuffle), and the rotation run in the
// editor's own process: a failure shown whole, naming the desktop, and a
// rotation started, shown as running and stopped again. The desktop's
// helpers (gsettings, dconf) are stand-ins on PATH that keep what they are
// given; the real ones are checked by the desktop stage.

#include "output/rotation/RotationDialog.h"

#include "model/TileParams.h"

#include <QCheckBox>
#include <QFile>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace quorrel::output::rotation;

namespace {

class RotationDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : kSaved)
            m_saved << qgetenv(name);
        for (const char* name : {"XDG_CURRENT_DESKTOP", "XDG_SESSION_TYPE", "DISPLAY", "WAYLAND_DISPLAY",
                                 "DESKTOP_SESSION", "SWAYSOCK"})
            qunsetenv(name);
        // gsettings keeps what it is set to, one file a key, and lists it;
        // every key holds a value of the user's ('zoom'), which dconf reads.
        Helper(QStringLiteral("gsettings"),
               "#!/bin/sh\necho \"$*\" >> \"$0.log\"\nd=\"$0.store\"; mkdir -p \"$d\"\n"
               "value() { if [ -f \"$d/$1\" ]; then cat \"$d/$1\"; else echo \"'zoom'\"; fi; }\n"
               "case \"$1\" in\n"
               "get) value \"$3\" ;;\n"
               "set) printf '%s\\n' \"$4\" > \"$d/$3\" ;;\n"
               "reset) rm -f \"$d/$3\" ;;\n"
               "list-recursively) for k in picture-options picture-uri picture-uri-dark; do "
               "echo \"$2 $k $(value $k)\"; done ;;\n"
               "esac\nexit 0\n");
        Helper(QStringLiteral("dconf"), "#!/bin/sh\necho \"'zoom'\"\n");
        qputenv("PATH", (m_bin.path() + ":/usr/bin:/bin").toLocal8Bit());
    }
    void TearDown() override
    {
        for (int i = 0; i < int(std::size(kSaved)); ++i) {
            if (m_saved[i].isNull())
                qunsetenv(kSaved[i]);
            else
                qputenv(kSaved[i], m_saved[i]);
        }
    }

    void Helper(const QString& name, const char* script)
    {
        QFile helper(m_bin.filePath(name));
        ASSERT_TRUE(helper.open(QIODevice::WriteOnly));
        helper.write(script);
        helper.close();
        helper.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Presses a button and waits (at most 60 s) until the rotation has answered.
    static void RunAndWait(CRotationDialog& dialog, void (CRotationDialog::*press)())
    {
        (dialog.*press)();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.IsRunning(); }, 60000));
    }

    static constexpr const char* kSaved[] = {"PATH", "XDG_CURRENT_DESKTOP", "XDG_SESSION_TYPE", "DISPLAY",
                                             "WAYLAND_DISPLAY"};
    QTemporaryDir m_bin;
    QList<QByteArray> m_saved;
};

TEST_F(RotationDialogTest, AFailureIsShownWholeNamingWhatWasFound)
{
    CRotationDialog dialog(quorrel::model::CTileParams(), nullptr);
    QStringList shown;
    dialog.showFailure = [&](const QString& line) { shown << line; };
    EXPECT_TRUE(dialog.StatusText().contains(QLatin1String("It cannot rotate"))) << dialog.StatusText().toStdString();
    RunAndWait(dialog, &CRotationDialog::StartRotation);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith(QLatin1String("Start failed on "))) << shown[0].toStdString();
    EXPECT_TRUE(shown[0].contains(QLatin1String("no desktop was recognised"))) << shown[0].toStdString();
    EXPECT_FALSE(shown[0].contains(u'\n'));
}

TEST_F(RotationDialogTest, StartedFromTheDocumentShownAsRunningAndStopped)
{
    qputenv("XDG_CURRENT_DESKTOP", "GNOME");
    qputenv("XDG_SESSION_TYPE", "x11");
    CRotationDialog dialog(quorrel::model::CTileParams(), nullptr, QStringLiteral("Quorrel3"));
    QStringList shown;
    dialog.showFailure = [&](const QString& line) { shown << line; };
    EXPECT_TRUE(dialog.StatusText().contains(QLatin1String("no rotation is set up")));
    dialog.findChild<QSpinBox*>()->setValue(1);
    RunAndWait(dialog, &CRotationDialog::StartRotation);
    EXPECT_TRUE(shown.isEmpty()) << shown.join(u'\n').toStdString();
    const QString running = dialog.StatusText();
    EXPECT_TRUE(running.contains(QLatin1String("slide show"))) << running.toStdString();
    EXPECT_TRUE(running.contains(QLatin1String("every 30m"))) << running.toStdString();
    EXPECT_TRUE(running.contains(QLatin1String("\n1 image from Quorrel3"))) << running.toStdString();
    RunAndWait(dialog, &CRotationDialog::StopRotation);
    EXPECT_TRUE(shown.isEmpty()) << shown.join(u'\n').toStdString();
    EXPECT_TRUE(dialog.StatusText().contains(QLatin1String("no rotation is set up")));
    // The placement from before written back, and read back.
    QFile log(m_bin.filePath(QStringLiteral("gsettings.log")));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray calls = log.readAll();
    EXPECT_TRUE(calls.contains("set org.gnome.desktop.background picture-options 'zoom'")) << calls.toStdString();
    EXPECT_TRUE(calls.endsWith("list-recursively org.gnome.desktop.background\n")) << calls.toStdString();
}

struct LookCase {
    const char* desktop;
    CRotationLook look;
    QStringList tickOptions;
    bool countAsked;
    bool shuffles;
};

class RotationDialogLook : public RotationDialogTest, public ::testing::WithParamInterface<LookCase> {};

TEST_P(RotationDialogLook, FollowsTheViewAndWhatTheDesktopCanDo)
{
    qputenv("XDG_CURRENT_DESKTOP", GetParam().desktop);
    qputenv("XDG_SESSION_TYPE", "x11");
    CRotationDialog dialog(quorrel::model::CTileParams(), nullptr, {}, GetParam().look);
    const CRotationRequest request = dialog.Request();
    EXPECT_EQ(request.tickOptions, GetParam().tickOptions);
    EXPECT_EQ(request.count.has_value(), GetParam().countAsked);
    for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) {
        if (box->text().contains(QLatin1String("random")))
            EXPECT_EQ(box->isEnabled(), GetParam().shuffles);
    }
    // The images are rendered the way the request says.
    ASSERT_TRUE(request.render);
    const QImage image = request.render(quorrel::model::CTileParams());
    const int scale = GetParam().look.scale;
    const QSize expected = request.filled ? GetParam().look.screen : QSize(125 * scale, 125 * scale);
    EXPECT_EQ(image.size(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rotation, RotationDialogLook,
    ::testing::Values(LookCase{"GNOME", {false, 1, QSize(640, 480)}, {}, true, false},
                      LookCase{"XFCE", {true, 2, QSize(640, 480)}, {"--continuous", "--scale", "2"}, true, true},
                      LookCase{"KDE", {false, 1, {}}, {}, true, true},
                      LookCase{"sway", {true, 1, QSize(640, 480)}, {"--continuous"}, false, false},
                      // A desktop that cannot tile: the screen's size is offered, and chosen.
                      LookCase{"Deepin", {false, 1, QSize(320, 200)}, {"--fill", "320x200"}, false, false}));

} // namespace
