#include "DesktopLiving.h"

#include "LivingFolder.h"
#include "PlasmaLiving.h"
#include "PlayerLiving.h"
#include "SlowLiving.h"

#include "output/GSettingsWallpaperSetter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>

namespace quorrel::output::living {

namespace {

std::string Native(const QString& path) { return QFile::encodeName(path).toStdString(); }

} // namespace

CDesktopLiving::CDesktopLiving()
    : CDesktopLiving(*new CProcessRunner(10000), QProcessEnvironment::systemEnvironment())
{
    m_ownRunner.reset(&m_runner);
}

CDesktopLiving::CDesktopLiving(IProcessRunner& runner, const QProcessEnvironment& environment)
    : m_runner(runner), m_session(DetectSession(environment))
{
    const QString data = XdgFolder(environment, "XDG_DATA_HOME", ".local/share");
    const QString config = XdgFolder(environment, "XDG_CONFIG_HOME", ".config");
    if (!data.isEmpty())
        m_folder = data + QStringLiteral("/quorrel/living");
    if (!config.isEmpty())
        m_autostart = config + QStringLiteral("/autostart/quorrel-living.desktop");
}

CDesktopLiving::~CDesktopLiving() = default;

QString CDesktopLiving::SlidesFolder() const { return m_folder + QStringLiteral("/slides"); }
QString CDesktopLiving::FramesPath() const { return m_folder + QStringLiteral("/loop.frames"); }
QString CDesktopLiving::StatePath() const { return m_folder + QStringLiteral("/living.state"); }
QString CDesktopLiving::Where() const { return DescribeSession(m_session.desktop, m_session.name, m_session.session); }

QString CDesktopLiving::PlayerProgram()
{
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("quorrel-living-player"));
    if (QFileInfo(beside).isExecutable())
        return beside;
    // The editor's build folder keeps the tools in tools/.
    const QString tools = QDir(QCoreApplication::applicationDirPath())
                              .filePath(QStringLiteral("../tools/quorrel-living-player"));
    if (QFileInfo(tools).isExecutable())
        return QDir::cleanPath(tools);
    return QStandardPaths::findExecutable(QStringLiteral("quorrel-living-player"));
}

std::optional<EWay> CDesktopLiving::Way(QString& why) const
{
    switch (m_session.desktop) {
    case EDesktop::Gnome:
    case EDesktop::Cinnamon:
    case EDesktop::Mate: return EWay::SlideShowXml;
    case EDesktop::Xfce: return EWay::XfceCycle;
    case EDesktop::Sway:
    case EDesktop::Wlroots: return EWay::WaylandPlayer;
    case EDesktop::X11: return EWay::X11Player;
    case EDesktop::Plasma: return EWay::PlasmaPackage;
    case EDesktop::Lxqt:
    case EDesktop::Lxde:
        why = QStringLiteral("%1 paints its own desktop window over the root window and shows only still images: a "
                             "moving wallpaper cannot show there (--rotate changes it by itself instead)")
                  .arg(Where());
        return std::nullopt;
    case EDesktop::Other:
        why = QStringLiteral("%1 shows only still images and has no background layer Quorrel's player can use")
                  .arg(Where());
        return std::nullopt;
    case EDesktop::None:
        why = QStringLiteral("no desktop was recognised (no graphical session, no known XDG_CURRENT_DESKTOP)");
        return std::nullopt;
    case EDesktop::Windows:
        why = QStringLiteral("Windows has no living wallpaper of Quorrel's");
        return std::nullopt;
    }
    return std::nullopt;
}

bool CDesktopLiving::PrepareFolder(QString& error) const
{
    std::string reason;
    if (!MakeLivingFolder(Native(m_folder), reason) || !MakeLivingFolder(Native(SlidesFolder()), reason)) {
        error = QString::fromStdString(reason);
        return false;
    }
    return true;
}

void CDesktopLiving::DiscardPrepared() const
{
    QString error;
    if (Installed(error) || !error.isEmpty())
        return;
    CLivingState prepared;
    prepared.files << QStringLiteral("loop.frames");
    for (int s = 1; s <= 1000; ++s)
        prepared.files << QStringLiteral("slides/slide-%1.png").arg(s, 3, 10, QLatin1Char('0'));
    DeleteFiles(prepared);
}

std::optional<CLivingState> CDesktopLiving::Installed(QString& error) const
{
    error.clear();
    if (m_folder.isEmpty())
        return std::nullopt;
    std::string reason;
    if (!QFileInfo::exists(m_folder) && !QFileInfo(m_folder).isSymLink())
        return std::nullopt;
    if (!CheckLivingFolder(Native(m_folder), reason)) {
        error = QString::fromStdString(reason);
        return std::nullopt;
    }
    return ReadLivingStateFile(StatePath(), error);
}

std::unique_ptr<ILivingWay> CDesktopLiving::MakeWay(EWay way, EDesktop desktop) const
{
    switch (way) {
    case EWay::SlideShowXml: {
        // The state's desktop decides the schema: off runs where start ran.
        const auto schema = desktop == EDesktop::Cinnamon ? CGSettingsWallpaperSetter::Cinnamon()
                            : desktop == EDesktop::Mate   ? CGSettingsWallpaperSetter::Mate()
                                                          : CGSettingsWallpaperSetter::Gnome();
        return std::make_unique<CSlideShowLiving>(m_runner, schema);
    }
    case EWay::XfceCycle: return std::make_unique<CXfceLiving>(m_runner);
    case EWay::X11Player:
    case EWay::WaylandPlayer: return std::make_unique<CPlayerLiving>(m_runner, way);
    case EWay::PlasmaPackage: return std::make_unique<CPlasmaLiving>(m_runner);
    }
    return nullptr;
}

CLivingSetup CDesktopLiving::BaseSetup() const
{
    CLivingSetup setup;
    setup.folder = m_folder;
    setup.autostart = m_autostart;
    setup.framesFile = FramesPath();
    setup.player = PlayerProgram();
    setup.desktopName = m_session.name;
    setup.saveState = [this](QString& error) { return SaveState(error); };
    return setup;
}

bool CDesktopLiving::SaveState(QString& error) const
{
    const QByteArray text = WriteLivingState(m_state);
    std::string reason;
    if (!WriteLivingFile(Native(m_folder), "living.state",
                         std::span(reinterpret_cast<const uint8_t*>(text.constData()), std::size_t(text.size())),
                         reason)) {
        error = QString::fromStdString(reason);
        return false;
    }
    return true;
}

void CDesktopLiving::Start(CLivingSetup setup, CLivingState state, LivingDone done)
{
    m_done = std::move(done);
    QString why;
    const std::optional<EWay> way = Way(why);
    if (!way) {
        Finish({{}, why, {}}, false);
        return;
    }
    QString error;
    const auto installed = Installed(error);
    if (installed || !error.isEmpty()) {
        Finish({{}, error.isEmpty() ? QStringLiteral("a living wallpaper is set up already; stop it first") : error, {}},
               false);
        return;
    }
    const CLivingSetup base = BaseSetup();
    setup.folder = base.folder;
    setup.autostart = base.autostart;
    setup.framesFile = base.framesFile;
    setup.saveState = base.saveState;
    setup.desktopName = base.desktopName;
    if (setup.player.isEmpty())
        setup.player = base.player;
    // Plasma plays the loop itself: only the player's ways need the player.
    const bool player = *way == EWay::X11Player || *way == EWay::WaylandPlayer;
    if (SlowLiving(*way) ? setup.slides.isEmpty() : player && setup.player.isEmpty()) {
        Finish({{}, SlowLiving(*way) ? QStringLiteral("no slides were prepared")
                                     : QStringLiteral("quorrel-living-player was not found beside this program or on PATH"),
                {}},
               false);
        return;
    }
    m_state = std::move(state);
    m_state.way = *way;
    m_state.desktop = m_session.desktop;
    m_state.session = m_session.session;
    m_state.desktopName = m_session.name;
    m_state.since = QDateTime::currentDateTimeUtc();
    if (SlowLiving(*way)) {
        m_state.fps = 0;
        m_state.periodSeconds = setup.periodSeconds;
        m_state.frames = int(setup.slides.size());
        for (const QString& slide : setup.slides)
            m_state.files << QStringLiteral("slides/") + QFileInfo(slide).fileName();
    } else {
        m_state.fps = setup.fps;
        m_state.periodSeconds = 0;
        m_state.files << QStringLiteral("loop.frames");
        if (*way == EWay::X11Player)
            m_state.files << QStringLiteral("x11-previous");
    }
    // Saved before anything is changed: off can undo from here on.
    if (!SaveState(error)) {
        Finish({{}, error, {}}, true);
        return;
    }
    m_way = MakeWay(*way, m_session.desktop);
    m_way->Install(setup, m_state, [this, setup](CStepOutcome installed) {
        if (installed.Ok()) {
            QString error;
            if (SaveState(error)) {
                Finish({installed.tried, {}, {}}, false);
                return;
            }
            installed.problem = error;
        }
        m_way->Remove(setup, m_state, [this, installed](const CStepOutcome& removed) {
            CLivingOutcome outcome{installed.tried + removed.tried, installed.problem, {}};
            if (!removed.Ok())
                outcome.notes << QStringLiteral("undoing it failed too: %1").arg(removed.problem);
            Finish(outcome, true);
        });
    });
}

void CDesktopLiving::Stop(LivingDone done)
{
    m_done = std::move(done);
    QString error;
    std::optional<CLivingState> installed = Installed(error);
    if (!installed) {
        if (error.isEmpty())
            Finish({{}, {}, {QStringLiteral("no living wallpaper was set up")}}, false);
        else
            Finish({{}, error + QStringLiteral("; nothing was changed"), {}}, false);
        return;
    }
    m_state = std::move(*installed);
    m_way = MakeWay(m_state.way, m_state.desktop);
    if (!m_way) {
        Finish({{}, QStringLiteral("%1 cannot be undone by this build").arg(WayName(m_state.way)), {}}, false);
        return;
    }
    m_way->Remove(BaseSetup(), m_state, [this](const CStepOutcome& removed) {
        CLivingOutcome outcome{removed.tried, removed.problem, {}};
        // Files stay when a player could not be stopped: it still maps them.
        Finish(outcome, removed.Ok() || SlowLiving(m_state.way));
    });
}

void CDesktopLiving::DeleteFiles(const CLivingState& state) const
{
    const std::string folder = Native(m_folder);
    for (const QString& file : state.files) {
        if (file.startsWith(QLatin1String("slides/")))
            RemoveLivingFile(Native(SlidesFolder()), Native(file.mid(7)));
        else
            RemoveLivingFile(folder, Native(file));
    }
    RemoveLivingFile(folder, kPlayerPidName);
    RemoveLivingFile(folder, "living.state");
    if (state.autostart && !m_autostart.isEmpty()) {
        RemoveLivingFile(Native(QFileInfo(m_autostart).path()), Native(QFileInfo(m_autostart).fileName()));
        QDir().rmdir(QFileInfo(m_autostart).path());
    }
    // The folders go when nothing else is in them.
    QDir().rmdir(SlidesFolder());
    QDir().rmdir(m_folder);
    QDir().rmdir(QFileInfo(m_folder).path());
}

void CDesktopLiving::Finish(CLivingOutcome outcome, bool removeFiles)
{
    if (removeFiles)
        DeleteFiles(m_state);
    QTimer::singleShot(0, &m_context, [this, outcome = std::move(outcome)] {
        m_way.reset();
        const LivingDone done = std::move(m_done);
        if (done)
            done(outcome);
    });
}

QString CDesktopLiving::Status() const
{
    QString error;
    const std::optional<CLivingState> state = Installed(error);
    if (!state)
        return error.isEmpty() ? QStringLiteral("no living wallpaper is set up") : error;
    QStringList lines;
    QString how = WayName(state->way);
    how[0] = how[0].toUpper();
    lines << how;
    QString what = state->fps > 0 ? QStringLiteral("a %1x%2 loop of %3 frames at %4 frames a second")
                                        .arg(state->width)
                                        .arg(state->height)
                                        .arg(state->frames)
                                        .arg(state->fps)
                                  : QStringLiteral("%1 slides of a %2x%3 loop, once through every %4 s")
                                        .arg(state->frames)
                                        .arg(state->width)
                                        .arg(state->height)
                                        .arg(state->periodSeconds);
    if (!state->source.isEmpty())
        what += QStringLiteral(" from ") + state->source;
    lines << what;
    lines << QStringLiteral("set up on %1, %2")
                 .arg(DescribeSession(state->desktop, state->desktopName, state->session),
                      state->since.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    if (state->way == EWay::X11Player || state->way == EWay::WaylandPlayer) {
        const int pid = CPlayerLiving::RunningPlayer(m_folder);
        lines << (pid > 0 ? QStringLiteral("the player runs (process %1)").arg(pid)
                          : QStringLiteral("the player is not running in this session"));
        if (state->autostart)
            lines << QStringLiteral("started at login by %1").arg(m_autostart);
    }
    if (state->desktop != m_session.desktop || state->session != m_session.session)
        lines << QStringLiteral("this session is %1").arg(Where());
    return lines.join(u'\n');
}

QString LivingFailureLine(const QString& doing, const QString& where, const CLivingOutcome& outcome)
{
    QString line = QStringLiteral("%1 failed (%2): %3").arg(doing, where, outcome.problem);
    if (!outcome.tried.isEmpty())
        line += QStringLiteral(" (tried: %1)").arg(outcome.tried.join(QStringLiteral("; ")));
    for (const QString& note : outcome.notes)
        line += QStringLiteral("; ") + note;
    line.replace(u'\n', u' ');
    return line;
}

} // namespace quorrel::output::living
