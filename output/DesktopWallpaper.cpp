#include "DesktopWallpaper.h"

#include "CommandWallpaperSetter.h"
#include "GSettingsWallpaperSetter.h"
#include "ImageSaver.h"
#include "LxqtWallpaperSetter.h"
#include "PlasmaWallpaperSetter.h"
#include "PortalWallpaperSetter.h"
#include "SessionBus.h"
#include "SwaybgWallpaperSetter.h"
#include "TileRepeat.h"
#include "WindowsWallpaperSetter.h"
#include "XfceWallpaperSetter.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>

namespace quorrel::output {

namespace {

// $XDG_CONFIG_HOME, else ~/.config, of the session described by `environment`.
QString ConfigFolder(const QProcessEnvironment& environment)
{
    const QString xdg = environment.value(QStringLiteral("XDG_CONFIG_HOME"));
    if (QDir::isAbsolutePath(xdg))
        return xdg;
    const QString home = environment.value(QStringLiteral("HOME"));
    return home.isEmpty() ? QString() : QDir(home).filePath(QStringLiteral(".config"));
}

} // namespace

CDesktopWallpaper::CDesktopWallpaper(const QString& folder)
    : m_ownRunner(std::make_unique<CProcessRunner>())
    , m_session(DetectSession(QProcessEnvironment::systemEnvironment()))
    , m_folder(folder)
{
    // The session bus is opened only when a portal request needs it, after
    // Begin has seen it answer.
    Choose(*m_ownRunner, QProcessEnvironment::systemEnvironment(), [] { return QDBusConnection::sessionBus(); });
}

CDesktopWallpaper::CDesktopWallpaper(IProcessRunner& runner, const QProcessEnvironment& environment,
                                     const QString& folder, const QDBusConnection& bus)
    : m_session(DetectSession(environment))
    , m_folder(folder)
{
    Choose(runner, environment, [bus] { return bus; });
}

CDesktopWallpaper::~CDesktopWallpaper() = default;

void CDesktopWallpaper::Choose(IProcessRunner& runner, const QProcessEnvironment& environment,
                               const std::function<QDBusConnection()>& bus)
{
    m_busAddress = SessionBusAddress(environment.value(QStringLiteral("DBUS_SESSION_BUS_ADDRESS")).toStdString(),
                                     environment.value(QStringLiteral("XDG_RUNTIME_DIR")).toStdString());
    switch (m_session.desktop) {
    case EDesktop::Gnome:
        m_setter = std::make_unique<CGSettingsWallpaperSetter>(runner, CGSettingsWallpaperSetter::Gnome());
        break;
    case EDesktop::Cinnamon:
        m_setter = std::make_unique<CGSettingsWallpaperSetter>(runner, CGSettingsWallpaperSetter::Cinnamon());
        break;
    case EDesktop::Mate:
        m_setter = std::make_unique<CGSettingsWallpaperSetter>(runner, CGSettingsWallpaperSetter::Mate());
        break;
    case EDesktop::Plasma:
        m_setter = std::make_unique<CPlasmaWallpaperSetter>(runner);
        break;
    case EDesktop::Xfce:
        m_setter = std::make_unique<CXfceWallpaperSetter>(runner);
        break;
    case EDesktop::Lxqt:
        m_setter = std::make_unique<CLxqtWallpaperSetter>(runner, ConfigFolder(environment));
        break;
    case EDesktop::Lxde:
        m_setter = CCommandWallpaperSetter::Lxde(runner);
        break;
    case EDesktop::Sway:
        m_setter = CCommandWallpaperSetter::Sway(runner);
        break;
    case EDesktop::Wlroots:
        m_setter = std::make_unique<CSwaybgWallpaperSetter>(runner);
        break;
    case EDesktop::X11:
        if (runner.IsAvailable(QStringLiteral("feh"))) {
            m_setter = CCommandWallpaperSetter::Feh(runner);
        } else if (runner.IsAvailable(QStringLiteral("xwallpaper"))) {
            m_setter = CCommandWallpaperSetter::Xwallpaper(runner);
        } else {
            m_choiceNote = QStringLiteral("feh, xwallpaper: not installed");
            m_setter = std::make_unique<CPortalWallpaperSetter>(bus);
        }
        break;
    case EDesktop::Other:
        m_setter = std::make_unique<CPortalWallpaperSetter>(bus);
        break;
    case EDesktop::Windows:
#ifdef Q_OS_WIN
        m_setter = std::make_unique<CWindowsWallpaperSetter>();
#endif
        break;
    case EDesktop::None:
        break;
    }
}

QString CDesktopWallpaper::DefaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

CWallpaperFiles CDesktopWallpaper::Files() const
{
    // Asked at each call: the application's name, part of the folder, may be
    // set after this object was made.
    const QDir folder(m_folder.isEmpty() ? DefaultFolder() : m_folder);
    return {folder.filePath(QStringLiteral("Quorrel Wallpaper.bmp")),
            folder.filePath(QStringLiteral("Quorrel Wallpaper.png")),
            folder.filePath(QStringLiteral("Quorrel Wallpaper Screen.png"))};
}

void CDesktopWallpaper::Set(const CWallpaperRequest& request, WallpaperDone done)
{
    CJob job{request, std::move(done), {}};
    job.result.session = m_session;
    job.result.imagePath = Files().bmp;
    if (m_running) {
        if (m_waiting) {
            CJob replaced = std::move(*m_waiting);
            replaced.result.superseded = true;
            QTimer::singleShot(0, &m_context, [replaced = std::move(replaced)] { replaced.done(replaced.result); });
        }
        m_waiting = std::move(job);
        return;
    }
    m_running = std::move(job);
    // From the event loop, like every later step: `done` never runs inside Set.
    QTimer::singleShot(0, &m_context, [this] { Begin(); });
}

void CDesktopWallpaper::Begin()
{
    if (!m_setter) {
        m_running->result.problem =
            m_session.desktop == EDesktop::None
                ? QStringLiteral("No desktop was recognised: no graphical session, no known XDG_CURRENT_DESKTOP.")
                : QStringLiteral("There is no way to set the wallpaper on this desktop.");
        WriteFiles();
        Finish();
        return;
    }
    if (!m_choiceNote.isEmpty())
        m_running->result.tried << m_choiceNote;
    // A bus that takes connections but never answers would hold every step
    // (and the helpers that use it) until their own time-outs: asked once,
    // within a short time, before anything talks to it.
    if (m_setter->UsesSessionBus() && ProbeBus(m_busAddress, kBusAnswerWait) == BusAnswer::Silent) {
        m_running->result.problem = QString::fromStdString(SilentBusText(m_busAddress)) + u'.';
        m_running->result.problem[0] = m_running->result.problem[0].toUpper();
        WriteFiles();
        Finish();
        return;
    }
    m_setter->SetTiledMode([this](const CStepOutcome& mode) {
        Note(mode);
        WriteFiles();
        m_setter->Load(Files(), [this](const CStepOutcome& load) {
            Note(load);
            Finish();
        });
    });
}

void CDesktopWallpaper::Note(const CStepOutcome& outcome)
{
    CWallpaperResult& result = m_running->result;
    result.tried << outcome.tried;
    if (result.problem.isEmpty())
        result.problem = outcome.problem;
}

void CDesktopWallpaper::WriteFiles()
{
    const CWallpaperRequest& request = m_running->request;
    CWallpaperResult& result = m_running->result;
    const CWallpaperFiles files = Files();
    QDir().mkpath(QFileInfo(files.bmp).path());
    result.saveStatus = SaveImage(request.tile, files.bmp);
    if (m_setter && m_setter->NeedsPng()) {
        const uint32_t status = SaveImage(request.tile, files.png);
        if (result.saveStatus == kStatusOk)
            result.saveStatus = status;
    }
    if (m_setter && m_setter->NeedsScreenImage()) {
        const QSize screen = request.screen;
        const bool known = screen.width() >= 1 && screen.height() >= 1 && screen.width() <= kMaxRepeatSide &&
                           screen.height() <= kMaxRepeatSide;
        if (!known) {
            if (result.problem.isEmpty()) {
                result.problem = QStringLiteral("The screen's size (%1 x %2) is unknown or too large.")
                                     .arg(screen.width())
                                     .arg(screen.height());
            }
        } else if (SaveFilledImage(request.tile, screen.width(), screen.height(), files.screen) != kStatusOk &&
                   result.problem.isEmpty()) {
            result.problem = QStringLiteral("%1 could not be written.").arg(files.screen);
        }
    }
}

void CDesktopWallpaper::Finish()
{
    QTimer::singleShot(0, &m_context, [this] {
        const CJob finished = std::move(*m_running);
        // Busy until `done` has returned: it may show a message box, and no
        // other result may come on top of it meanwhile.
        const QPointer<QObject> alive(&m_context);
        finished.done(finished.result);
        if (!alive)
            return;
        m_running.reset();
        if (m_waiting) {
            m_running = std::move(m_waiting);
            m_waiting.reset();
            QTimer::singleShot(0, &m_context, [this] { Begin(); });
        }
    });
}

} // namespace quorrel::output
