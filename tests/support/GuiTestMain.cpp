// main() for the Qt layers' tests: an offscreen QApplication whose settings,
// data and cache folders are temporary, so no test ever touches the real
// user's configuration, desktop or wallpaper.

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QTemporaryDir home;
    if (!home.isValid())
        return 2;
    for (const char* var : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"}) {
        const QByteArray dir = (home.path() + "/" + var).toLocal8Bit();
        setenv(var, dir.constData(), 1);
    }
    setenv("HOME", home.path().toLocal8Bit().constData(), 1);
    QStandardPaths::setTestModeEnabled(true);

    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
