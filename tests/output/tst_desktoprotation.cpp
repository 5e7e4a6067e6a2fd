// The desktop rotation set up, replaced and taken down with stand-in helpers
// that keep GSettings as the real store does: a failed start leaves nothing
// behind, a failed or unstored off keeps the rotation until the settings are
// really back, a set-up killed at any step is undone by off, a hostile state
// file or folder never makes off delete or set anything outside the
// rotation's own folders and keys, and nothing is written through a link.

#include "support/FakeProcessRunner.h"

#include "output/rotation/DesktopRotation.h"
#include "output/rotation/PlasmaRotation.h"
#include "output/rotation/RotationFiles.h"
#include "output/rotation/SystemdUnits.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

#include <sys/stat.h>
#include <sys/types.h>

using namespace quorrel::output;
using namespace quorrel::output::rotation;
using quorrel::test::CFakeRunner;

namespace {

const QString kSchema = QStringLiteral("org.gnome.desktop.background");
const QString kDconf = QStringLiteral("/org/gnome/desktop/background/");

// GSettings as the real store keeps it: defaults, values of the user's, and
// a store that may drop every write (no session bus for dconf) while
// gsettings still ends with 0.
struct CGSettingsStore {
    std::map<QString, QString> defaults{{QStringLiteral("picture-options"), QStringLiteral("'zoom'")},
                                        {QStringLiteral("picture-uri"), QStringLiteral("'file:///usr/share/bg.png'")},
                                        {QStringLiteral("picture-uri-dark"), QStringLiteral("'file:///usr/share/bg.png'")}};
    std::map<QString, QString> user{{QStringLiteral("picture-options"), QStringLiteral("'centered'")}};
    bool dropWrites = false;
    QString failSet;   // a key whose set fails

    CProcessResult operator()(const CFakeRunner::CCall& call)
    {
        auto ok = [](QByteArray out = {}) { return CProcessResult{CProcessResult::EStatus::Exited, 0, out, {}}; };
        const QStringList& a = call.arguments;
        if (call.program == u"dconf" && a.value(0) == u"read") {
            const QString key = a.value(1).mid(kDconf.size());
            return ok(user.count(key) ? (user[key] + u'\n').toUtf8() : QByteArray());
        }
        if (call.program != u"gsettings")
            return ok();
        const QString key = a.value(2);
        if (a.value(0) == u"get")
            return ok((Value(key) + u'\n').toUtf8());
        if (a.value(0) == u"list-recursively") {
            QByteArray out;
            for (const auto& [name, value] : defaults)
                out += (kSchema + u' ' + name + u' ' + Value(name) + u'\n').toUtf8();
            return ok(out);
        }
        if (a.value(0) == u"set" && key == failSet)
            return CProcessResult{CProcessResult::EStatus::Exited, 1, {}, "No such key"};
        if (dropWrites)
            return ok();   // gsettings says nothing on exit; dconf stored nothing
        if (a.value(0) == u"set")
            user[key] = a.value(3);
        else if (a.value(0) == u"reset")
            user.erase(key);
        return ok();
    }
    QString Value(const QString& key) const { return user.count(key) ? user.at(key) : defaults.at(key); }
};

class DesktopRotationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_runner.allAvailable = true;
        m_runner.reply = [this](const CFakeRunner::CCall& call) { return m_store(call); };
        m_before = m_store.user;
    }

    QProcessEnvironment Environment(const char* desktop, const QString& data = {}) const
    {
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("HOME"), m_home.path());
        environment.insert(QStringLiteral("XDG_DATA_HOME"), data.isEmpty() ? m_home.filePath(QStringLiteral("data")) : data);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QString::fromLatin1(desktop));
        environment.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("x11"));
        return environment;
    }

    static CRotationRequest Request(int count = 2)
    {
        CRotationRequest request;
        request.intervalSeconds = 1800;
        request.count = count;
        request.seed = 7;
        request.source = QStringLiteral("the built-in defaults");
        request.program = QStringLiteral("/usr/bin/quorrel-render");
        request.render = [](const quorrel::model::CTileParams&) {
            QImage image(8, 8, QImage::Format_RGB32);
            image.fill(Qt::darkCyan);
            return image;
        };
        return request;
    }

    static CRotationOutcome Wait(const std::function<void(RotationDone)>& start)
    {
        CRotationOutcome outcome;
        bool answered = false;
        start([&](const CRotationOutcome& answer) {
            outcome = answer;
            answered = true;
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return answered; }, 20000));
        return outcome;
    }

    // Every file under the temporary home, relative.
    QStringList Files() const
    {
        QStringList files;
        QDir home(m_home.path());
        std::function<void(const QString&)> walk = [&](const QString& folder) {
            for (const QFileInfo& info :
                 QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)) {
                files << home.relativeFilePath(info.filePath());
                if (info.isDir() && !info.isSymLink())
                    walk(info.filePath());
            }
        };
        walk(m_home.path());
        return files;
    }

    QTemporaryDir m_home;
    CFakeRunner m_runner;
    CGSettingsStore m_store;
    std::map<QString, QString> m_before;
};

TEST_F(DesktopRotationTest, StartedThenStoppedPutsEverySettingBackAndLeavesNothing)
{
    QDir().mkpath(m_home.filePath(QStringLiteral("data")));
    const QStringList before = Files();
    CDesktopRotation rotation(m_runner, Environment("GNOME"));
    const CRotationOutcome started = Wait([&](RotationDone done) { rotation.Begin(Request(3), std::move(done)); });
    ASSERT_TRUE(started.Ok()) << started.problem.toStdString();
    EXPECT_EQ(m_store.user[QStringLiteral("picture-options")], QStringLiteral("'wallpaper'"));
    EXPECT_TRUE(m_store.user[QStringLiteral("picture-uri")].contains(QLatin1String("/quorrel/rotation/slide-show-")));
    QString error;
    const auto state = rotation.Installed(error);
    ASSERT_TRUE(state) << error.toStdString();
    EXPECT_EQ(state->phase, EPhase::Installed);
    EXPECT_EQ(state->files.size(), 4);   // three images and the slide show
    // The folders are private.
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(rotation.Folders().rotation).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    const CRotationOutcome stopped = Wait([&](RotationDone done) { rotation.Stop(std::move(done)); });
    EXPECT_TRUE(stopped.Ok()) << stopped.problem.toStdString();
    EXPECT_EQ(m_store.user, m_before);
    EXPECT_EQ(Files(), before);
}

TEST_F(DesktopRotationTest, AFailedStartIsUndoneAndNamesTheDesktop)
{
    m_store.failSet = QStringLiteral("picture-uri");
    QDir().mkpath(m_home.filePath(QStringLiteral("data")));
    const QStringList before = Files();
    CDesktopRotation rotation(m_runner, Environment("GNOME"));
    const CRotationOutcome outcome = Wait([&](RotationDone done) { rotation.Begin(Request(), std::move(done)); });
    EXPECT_FALSE(outcome.Ok());
    const std::string line = RotationFailureLine(QStringLiteral("--rotate"), rotation.Session(), outcome).toStdString();
    EXPECT_NE(line.find("GNOME"), std::string::npos) << line;
    EXPECT_NE(line.find("No such key"), std::string::npos) << line;
    EXPECT_NE(line.find("gsettings set org.gnome.desktop.background picture-uri"), std::string::npos) << line;
    EXPECT_EQ(m_store.user, m_before);
    EXPECT_EQ(Files(), before);
}

TEST_F(DesktopRotationTest, AnOffTheDesktopDidNotStoreKeepsTheRotationForTheNextOff)
{
    CDesktopRotation rotation(m_runner, Environment("GNOME"));
    ASSERT_TRUE(Wait([&](RotationDone done) { rotation.Begin(Request(), std::move(done)); }).Ok());
    const QStringList during = Files();

    // No session bus: gsettings ends with 0 and stores nothing.
    m_store.dropWrites = true;
    const CRotationOutcome dropped = Wait([&](RotationDone done) { rotation.Stop(std::move(done)); });
    EXPECT_FALSE(dropped.Ok());
    EXPECT_TRUE(dropped.problem.contains(QLatin1String("did not store"))) << dropped.problem.toStdString();
    EXPECT_TRUE(dropped.problem.contains(QLatin1String("stays set up"))) << dropped.problem.toStdString();
    EXPECT_EQ(Files(), during);

    // A desktop that does not answer at all fails the same way.
    m_store.dropWrites = false;
    m_store.failSet = QStringLiteral("picture-options");
    EXPECT_FALSE(Wait([&](RotationDone done) { rotation.Stop(std::move(done)); }).Ok());
    EXPECT_EQ(Files(), during);

    // Once the settings can be stored, off finishes the job.
    m_store.failSet.clear();
    const CRotationOutcome stopped = Wait([&](RotationDone done) { rotation.Stop(std::move(done)); });
    EXPECT_TRUE(stopped.Ok()) << stopped.problem.toStdString();
    EXPECT_EQ(m_store.user, m_before);
    EXPECT_TRUE(Files().filter(QStringLiteral("rotation")).isEmpty()) << Files().join(u' ').toStdString();
}

// A set-up killed while the k-th helper ran (-1: while rendering its images):
// off puts every setting back and removes every file.
class KilledSetUp : public DesktopRotationTest, public ::testing::WithParamInterface<int> {};

TEST_P(KilledSetUp, IsUndoneByOffAndReplacedByTheNextSetUp)
{
    const int killAt = GetParam();
    QDir().mkpath(m_home.filePath(QStringLiteral("data")));
    const QStringList before = Files();
    m_runner.holdAnswers = true;
    auto rotation = std::make_unique<CDesktopRotation>(m_runner, Environment("GNOME"));
    bool finished = false;
    rotation->Begin(Request(3), [&](const CRotationOutcome&) { finished = true; });
    if (killAt < 0) {
        rotation.reset();   // the worker hears the stop between two images
    } else {
        while (!finished) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return m_runner.Held() > 0 || finished; }, 20000));
            if (finished)
                break;
            if (int(m_runner.calls.size()) > killAt) {
                rotation.reset();
                break;
            }
            m_runner.Release();
        }
    }
    m_runner.holdAnswers = false;
    if (finished)
        GTEST_SKIP() << "the set-up makes fewer than " << killAt + 1 << " calls";

    CDesktopRotation after(m_runner, Environment("GNOME"));
    EXPECT_FALSE(after.Status().contains(QLatin1String("no rotation is set up"))) << after.Status().toStdString();
    const CRotationOutcome stopped = Wait([&](RotationDone done) { after.Stop(std::move(done)); });
    EXPECT_TRUE(stopped.Ok()) << stopped.problem.toStdString();
    EXPECT_EQ(m_store.user, m_before) << "killed at call " << killAt;
    EXPECT_EQ(Files(), before);
    EXPECT_EQ(after.Status(), QStringLiteral("no rotation is set up"));
}

INSTANTIATE_TEST_SUITE_P(EveryStep, KilledSetUp, ::testing::Range(-1, 10));

TEST_F(DesktopRotationTest, ANewSetUpReplacesTheOldOneAndNeverTakesItsSlideShowForTheUsers)
{
    CDesktopRotation rotation(m_runner, Environment("GNOME"));
    ASSERT_TRUE(Wait([&](RotationDone done) { rotation.Begin(Request(), std::move(done)); }).Ok());
    const CRotationOutcome again = Wait([&](RotationDone done) { rotation.Begin(Request(), std::move(done)); });
    ASSERT_TRUE(again.Ok()) << again.problem.toStdString();
    EXPECT_TRUE(again.notes.contains(QStringLiteral("the rotation set up before was stopped")));

    // The state lost (deleted by hand): the slide show the desktop still
    // shows is no wallpaper of the user's, and is never put back.
    QFile::remove(rotation.StatePath());
    ASSERT_TRUE(Wait([&](RotationDone done) { rotation.Begin(Request(), std::move(done)); }).Ok());
    ASSERT_TRUE(Wait([&](RotationDone done) { rotation.Stop(std::move(done)); }).Ok());
    EXPECT_FALSE(m_store.Value(QStringLiteral("picture-uri")).contains(QLatin1String("slide-show")))
        << m_store.Value(QStringLiteral("picture-uri")).toStdString();
    EXPECT_TRUE(Files().filter(QStringLiteral("rotation")).isEmpty()) << Files().join(u' ').toStdString();
}

TEST_F(DesktopRotationTest, ADataFolderReachedThroughALinkIsCleanedUpWhole)
{
    // /home a link to elsewhere, as on many machines.
    const QString real = m_home.filePath(QStringLiteral("real"));
    QDir().mkpath(real);
    const QString linked = m_home.filePath(QStringLiteral("linked"));
    ASSERT_TRUE(QFile::link(real, linked));
    CDesktopRotation rotation(m_runner, Environment("XFCE", linked + QStringLiteral("/data")));
    ASSERT_TRUE(Wait([&](RotationDone done) { rotation.Begin(Request(), std::move(done)); }).Ok());
    EXPECT_TRUE(QFileInfo::exists(real + QStringLiteral("/data/quorrel/rotation/rotation.state")));
    const CRotationOutcome stopped = Wait([&](RotationDone done) { rotation.Stop(std::move(done)); });
    EXPECT_TRUE(stopped.Ok()) << stopped.problem.toStdString();
    EXPECT_FALSE(QFileInfo::exists(real + QStringLiteral("/data/quorrel"))) << Files().join(u' ').toStdString();
}

TEST_F(DesktopRotationTest, LeftoversAndAnUnreadableStateNeverBlockTheWayOut)
{
    CDesktopRotation rotation(m_runner, Environment("XFCE"));
    QString error;
    auto files = CRotationFiles::Open(rotation.Folders().dataHome, true, error);
    ASSERT_TRUE(files) << error.toStdString();
    // Images of a run killed before its journal named them.
    ASSERT_TRUE(files->WriteImage(QStringLiteral("quorrel-1-001.png"), "x", error));
    ASSERT_TRUE(files->WriteFile(QStringLiteral("notes.txt"), "the user's", error));
    EXPECT_FALSE(rotation.Status().contains(QLatin1String("interrupted"))) << rotation.Status().toStdString();
    const CRotationOutcome cleaned = Wait([&](RotationDone done) { rotation.Stop(std::move(done)); });
    EXPECT_TRUE(cleaned.Ok());
    EXPECT_EQ(cleaned.notes, QStringList{QStringLiteral("1 file left by an interrupted set-up was removed")});
    EXPECT_TRUE(QFileInfo::exists(files->Folder() + QStringLiteral("/notes.txt")));

    // A state file of another version: off says what it could not do and how
    // to go on, and a new set-up is not blocked.
    ASSERT_TRUE(files->WriteFile(CRotationFiles::kStateName, "version=9\n", error));
    EXPECT_TRUE(rotation.Status().contains(QLatin1String("--rotate off"))) << rotation.Status().toStdString();
    const CRotationOutcome forgotten = Wait([&](RotationDone done) { rotation.Stop(std::move(done)); });
    EXPECT_FALSE(forgotten.Ok());
    EXPECT_TRUE(forgotten.problem.contains(QLatin1String("set the wallpaper again"))) << forgotten.problem.toStdString();
    EXPECT_TRUE(Wait([&](RotationDone done) { rotation.Begin(Request(), std::move(done)); }).Ok());
}

TEST_F(DesktopRotationTest, APipeAsTheStateFileIsRefusedWithoutWaiting)
{
    CDesktopRotation rotation(m_runner, Environment("GNOME"));
    QDir().mkpath(rotation.Folders().rotation);
    ASSERT_EQ(::mkfifo(QFile::encodeName(rotation.StatePath()).constData(), 0600), 0);
    QString error;
    EXPECT_FALSE(rotation.Installed(error));
    EXPECT_TRUE(error.contains(QLatin1String("not a regular file"))) << error.toStdString();
    EXPECT_TRUE(rotation.Status().contains(QLatin1String("not a regular file")));
    // off removes the pipe (never reading it) and says what is lost.
    EXPECT_FALSE(Wait([&](RotationDone done) { rotation.Stop(std::move(done)); }).Ok());
    EXPECT_FALSE(QFileInfo::exists(rotation.StatePath()));
    EXPECT_TRUE(m_runner.calls.empty());
}

struct HostileFolderCase {
    const char* name;
    std::function<void(const QString& data, const QString& elsewhere)> plant;
};

class HostileFolder : public DesktopRotationTest, public ::testing::WithParamInterface<HostileFolderCase> {};

TEST_P(HostileFolder, IsRefusedAndNothingIsWrittenThroughIt)
{
    const QString data = m_home.filePath(QStringLiteral("data"));
    const QString elsewhere = m_home.filePath(QStringLiteral("elsewhere"));
    QDir().mkpath(data + QStringLiteral("/quorrel"));
    QDir().mkpath(elsewhere);
    // A foreign state whose previous settings must never be applied.
    QFile foreign(elsewhere + QStringLiteral("/rotation.state"));
    ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
    foreign.write("version=1\nmethod=slide-show-xml\nphase=installed\ndesktop=gnome\nsession=x11\ninterval=60\n"
                  "previous=picture-uri='file:///evil.png'\n");
    foreign.close();
    GetParam().plant(data, elsewhere);
    QStringList elsewhereBefore = QDir(elsewhere).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);

    CDesktopRotation rotation(m_runner, Environment("GNOME"));
    const CRotationOutcome started = Wait([&](RotationDone done) { rotation.Begin(Request(), std::move(done)); });
    EXPECT_FALSE(started.Ok());
    EXPECT_TRUE(started.problem.contains(QLatin1String("refused"))) << started.problem.toStdString();
    const CRotationOutcome stopped = Wait([&](RotationDone done) { rotation.Stop(std::move(done)); });
    EXPECT_FALSE(stopped.Ok());
    EXPECT_TRUE(stopped.problem.contains(QLatin1String("nothing was changed"))) << stopped.problem.toStdString();
    EXPECT_TRUE(m_runner.calls.empty()) << m_runner.calls.front().arguments.join(u' ').toStdString();
    EXPECT_EQ(QDir(elsewhere).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), elsewhereBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Rotation, HostileFolder,
    ::testing::Values(
        HostileFolderCase{"RotationFolderIsALink",
                          [](const QString& data, const QString& elsewhere) {
                              QFile::link(elsewhere, data + QStringLiteral("/quorrel/rotation"));
                          }},
        HostileFolderCase{"QuorrelFolderIsALink",
                          [](const QString& data, const QString& elsewhere) {
                              QDir(data).rmdir(QStringLiteral("quorrel"));
                              QFile::link(elsewhere, data + QStringLiteral("/quorrel"));
                          }},
        HostileFolderCase{"RotationFolderWritableByAll",
                          [](const QString& data, const QString&) {
                              const QString folder = data + QStringLiteral("/quorrel/rotation");
                              QDir().mkpath(folder);
                              ::chmod(QFile::encodeName(folder).constData(), 0777);
                          }},
        HostileFolderCase{"ImagesFolderIsALink",
                          [](const QString& data, const QString& elsewhere) {
                              const QString folder = data + QStringLiteral("/quorrel/rotation");
                              QDir().mkpath(folder);
                              ::chmod(QFile::encodeName(folder).constData(), 0700);
                              QFile::link(elsewhere, folder + QStringLiteral("/images"));
                          }}),
    [](const ::testing::TestParamInfo<HostileFolderCase>& info) { return std::string(info.param.name); });

TEST_F(DesktopRotationTest, ALinkPlantedAtAFileNameIsReplacedNotWrittenThrough)
{
    CDesktopRotation rotation(m_runner, Environment("XFCE"));
    QString error;
    auto files = CRotationFiles::Open(rotation.Folders().dataHome, true, error);
    ASSERT_TRUE(files) << error.toStdString();
    const QString victim = m_home.filePath(QStringLiteral("victim.txt"));
    QFile file(victim);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("precious");
    file.close();
    ASSERT_TRUE(QFile::link(victim, files->Folder() + QStringLiteral("/slide-show-s.xml")));
    ASSERT_TRUE(files->WriteFile(QStringLiteral("slide-show-s.xml"), "<background/>", error)) << error.toStdString();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("precious"));
    EXPECT_FALSE(QFileInfo(files->Folder() + QStringLiteral("/slide-show-s.xml")).isSymLink());
}

TEST_F(DesktopRotationTest, OffDeletesOnlyItsOwnFilesAndUnits)
{
    CDesktopRotation rotation(m_runner, Environment("sway"));
    const CRotationFolders folders = rotation.Folders();
    QString error;
    auto files = CRotationFiles::Open(folders.dataHome, true, error);
    ASSERT_TRUE(files) << error.toStdString();
    QDir().mkpath(folders.units);
    // Files a forged state names: the user's own, a unit not ours, a path
    // climbing out, a link standing for the images folder.
    const QString victim = m_home.filePath(QStringLiteral("precious.txt"));
    const QString otherUnit = QDir(folders.units).filePath(QStringLiteral("mine.service"));
    const QString outside = QDir(m_home.filePath(QStringLiteral("elsewhere"))).filePath(QStringLiteral("x.png"));
    QDir().mkpath(QFileInfo(outside).path());
    for (const QString& path : {victim, otherUnit, outside})
        QFile(path).open(QIODevice::WriteOnly);
    QFile::link(QFileInfo(outside).path(), folders.rotation + QStringLiteral("/linked"));
    const QString ours = QDir(folders.units).filePath(kTimerUnit);
    QFile(ours).open(QIODevice::WriteOnly);

    CRotationState state;
    state.method = EMethod::SystemdTimer;
    state.desktop = EDesktop::Sway;
    state.intervalSeconds = 60;
    state.files = {victim, otherUnit, folders.rotation + QStringLiteral("/../../precious.txt"),
                   folders.rotation + QStringLiteral("/linked/x.png"), QStringLiteral("relative.png"), ours};
    ASSERT_TRUE(files->WriteState(state, error));

    const CRotationOutcome outcome = Wait([&](RotationDone done) { rotation.Stop(std::move(done)); });
    EXPECT_TRUE(outcome.Ok()) << outcome.problem.toStdString();
    EXPECT_TRUE(QFile::exists(victim));
    EXPECT_TRUE(QFile::exists(otherUnit));
    EXPECT_TRUE(QFile::exists(outside));
    EXPECT_FALSE(QFile::exists(ours));
    EXPECT_FALSE(QFile::exists(rotation.StatePath()));
    // The timer disabled, then systemd told the units are gone.
    ASSERT_GE(m_runner.calls.size(), 3u);
    EXPECT_EQ(m_runner.calls.front().arguments.join(u' '), QStringLiteral("--user disable --now ") + kTimerUnit);
    EXPECT_EQ(m_runner.calls.back().arguments.join(u' '), QStringLiteral("--user daemon-reload"));
}

TEST_F(DesktopRotationTest, ATimerRefusesCountAndSeedAndCarriesItsFolders)
{
    CDesktopRotation rotation(m_runner, Environment("sway"));
    const CRotationOutcome refused = Wait([&](RotationDone done) { rotation.Begin(Request(), std::move(done)); });
    EXPECT_FALSE(refused.Ok());
    EXPECT_TRUE(refused.problem.contains(QLatin1String("--count and --seed"))) << refused.problem.toStdString();

    CRotationRequest request = Request();
    request.count.reset();
    request.seed.reset();
    request.program = QStringLiteral("/opt/price$5/quorrel-render");
    ASSERT_TRUE(Wait([&](RotationDone done) { rotation.Begin(request, std::move(done)); }).Ok());
    QFile service(rotation.Folders().units + u'/' + kServiceUnit);
    ASSERT_TRUE(service.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(service.readAll());
    // systemd does not expand variables in a program's name: one $.
    EXPECT_TRUE(text.contains(QLatin1String("\nExecStart=/opt/price$5/quorrel-render --generate"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\nEnvironment=\"XDG_DATA_HOME=%1\"\n").arg(rotation.Folders().dataHome)))
        << text.toStdString();
    // The units are checked by systemd before the timer is enabled.
    EXPECT_EQ(m_runner.calls.front().program, QStringLiteral("systemd-analyze"));
    ASSERT_TRUE(Wait([&](RotationDone done) { rotation.Stop(std::move(done)); }).Ok());
}

TEST(PlasmaRotation, OffPutsTheSlideShowsFoldersBackSoNoneNamesTheRemovedOne)
{
    const QByteArray printed = "quorrel-previous\t0\torg.kde.image\tfile:///a.png\t2\n"
                               "quorrel-previous-slide-show\t0\t[]\tundefined\tundefined\n"
                               "quorrel-previous-slide-show\t1\t[\"/home/u/Pictures\",5]\t600\t0\n";
    CRotationState state;
    state.previous = CPlasmaRotation::PreviousWallpapers(printed);
    ASSERT_EQ(state.previous.size(), 3);
    const QString script = CPlasmaRotation::RemoveScript(state);
    EXPECT_TRUE(script.contains(QLatin1String("all[0]; s.currentConfigGroup = [\"Wallpaper\", \"org.kde.slideshow\", "
                                              "\"General\"]; s.writeConfig(\"SlidePaths\", []); }")))
        << script.toStdString();
    EXPECT_TRUE(script.contains(QLatin1String("s.writeConfig(\"SlidePaths\", [\"/home/u/Pictures\"]); "
                                              "s.writeConfig(\"SlideInterval\", 600); s.writeConfig(\"SlideshowMode\", 0);")))
        << script.toStdString();
}

} // namespace
