#include "DesktopRotation.h"

#include "GSettingsRotation.h"
#include "PlasmaRotation.h"
#include "RotationInterval.h"
#include "SystemdRotation.h"
#include "SystemdUnits.h"
#include "XfceRotation.h"

#include "output/GSettingsWallpaperSetter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

namespace quorrel::output::rotation {

namespace {

QString Folder(const QProcessEnvironment& environment, const char* variable, const char* fallback)
{
    const QString xdg = environment.value(QString::fromLatin1(variable));
    if (QDir::isAbsolutePath(xdg))
        return QDir::cleanPath(xdg);
    const QString home = environment.value(QStringLiteral("HOME"));
    return QDir::isAbsolutePath(home) ? QDir::cleanPath(QDir(home).filePath(QString::fromLatin1(fallback))) : QString();
}

QString SessionText(EDesktop desktop, const QString& name, ESession session)
{
    QString text = DesktopName(desktop);
    if (!name.isEmpty())
        text += QStringLiteral(" (%1)").arg(name);
    return text + QStringLiteral(", ") + SessionName(session);
}

} // namespace

CDesktopRotation::CDesktopRotation()
    : m_ownRunner(std::make_unique<CProcessRunner>(10000))
    , m_runner(*m_ownRunner)
    , m_session(DetectSession(QProcessEnvironment::systemEnvironment()))
    , m_folders(Folders(QProcessEnvironment::systemEnvironment()))
{
}

CDesktopRotation::CDesktopRotation(IProcessRunner& runner, const QProcessEnvironment& environment)
    : m_runner(runner)
    , m_session(DetectSession(environment))
    , m_folders(Folders(environment))
{
}

CDesktopRotation::~CDesktopRotation() = default;

CRotationFolders CDesktopRotation::Folders(const QProcessEnvironment& environment)
{
    CRotationFolders folders;
    const QString data = Folder(environment, "XDG_DATA_HOME", ".local/share");
    const QString config = Folder(environment, "XDG_CONFIG_HOME", ".config");
    if (!data.isEmpty()) {
        folders.rotation = data + QStringLiteral("/quorrel/rotation");
        folders.images = folders.rotation + QStringLiteral("/images");
    }
    if (!config.isEmpty())
        folders.units = config + QStringLiteral("/systemd/user");
    return folders;
}

QString CDesktopRotation::StatePath() const
{
    return m_folders.rotation.isEmpty() ? QString() : m_folders.rotation + QStringLiteral("/rotation.state");
}

QString CDesktopRotation::Where() const
{
    return SessionText(m_session.desktop, m_session.name, m_session.session);
}

std::optional<EMethod> CDesktopRotation::Method(bool filled, QString& why) const
{
    switch (m_session.desktop) {
    case EDesktop::Gnome:
    case EDesktop::Cinnamon:
    case EDesktop::Mate: return EMethod::SlideShowXml;
    case EDesktop::Plasma: return EMethod::PlasmaSlideShow;
    case EDesktop::Xfce: return EMethod::XfceCycle;
    case EDesktop::Lxqt:
    case EDesktop::Lxde:
    case EDesktop::Sway:
    case EDesktop::Wlroots:
    case EDesktop::X11: return EMethod::SystemdTimer;
    case EDesktop::Other:
        if (filled)
            return EMethod::SystemdTimer;
        why = QStringLiteral("%1 cannot tile a wallpaper: give --fill WIDTHxHEIGHT with the screen's size")
                  .arg(Where());
        return std::nullopt;
    case EDesktop::None:
        why = QStringLiteral("no desktop was recognised (no graphical session, no known XDG_CURRENT_DESKTOP)");
        return std::nullopt;
    case EDesktop::Windows:
        why = QStringLiteral("Windows has no rotation of ours");
        return std::nullopt;
    }
    return std::nullopt;
}

std::unique_ptr<IRotationWriter> CDesktopRotation::Writer(EMethod method) const
{
    switch (method) {
    case EMethod::SlideShowXml: {
        // The state's desktop decides the schema: off runs where start ran.
        const EDesktop desktop = m_state.desktop;
        const CGSettingsWallpaperSetter::CSchema schema = desktop == EDesktop::Cinnamon
                                                              ? CGSettingsWallpaperSetter::Cinnamon()
                                                          : desktop == EDesktop::Mate ? CGSettingsWallpaperSetter::Mate()
                                                                                      : CGSettingsWallpaperSetter::Gnome();
        return std::make_unique<CGSettingsRotation>(m_runner, schema);
    }
    case EMethod::XfceCycle: return std::make_unique<CXfceRotation>(m_runner);
    case EMethod::PlasmaSlideShow: return std::make_unique<CPlasmaRotation>(m_runner);
    case EMethod::SystemdTimer: return std::make_unique<CSystemdRotation>(m_runner);
    }
    return nullptr;
}

bool CDesktopRotation::Ours(const QString& path) const
{
    if (!QDir::isAbsolutePath(path))
        return false;
    const QString clean = QDir::cleanPath(path);
    const QFileInfo info(clean);
    // The folder must be the one named, not a link to another place.
    const QString parent = info.path();
    const QString realParent = QFileInfo(parent).canonicalFilePath();
    if (!realParent.isEmpty() && realParent != parent)
        return false;
    if (!m_folders.rotation.isEmpty() && clean.startsWith(m_folders.rotation + u'/'))
        return true;
    return !m_folders.units.isEmpty() && parent == m_folders.units &&
           (info.fileName() == kTimerUnit || info.fileName() == kServiceUnit || info.fileName() == kSwaybgUnit);
}

std::optional<CRotationState> CDesktopRotation::Installed(QString& error) const
{
    error.clear();
    const QString path = StatePath();
    if (path.isEmpty() || !QFileInfo::exists(path))
        return std::nullopt;
    QFile file(path);
    if (QFileInfo(path).size() > kLargestStateFile || !file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1 cannot be read").arg(path);
        return std::nullopt;
    }
    auto state = ReadState(file.read(kLargestStateFile), error);
    if (!state) {
        error = QStringLiteral("%1: %2").arg(path, error);
        return std::nullopt;
    }
    // Only what lies in the rotation's own folders is ever deleted.
    QStringList files;
    for (const QString& each : state->files) {
        if (Ours(each))
            files << QDir::cleanPath(each);
    }
    state->files = files;
    return state;
}

void CDesktopRotation::Start(const CRotationSetup& setup, CRotationState state, bool filled, RotationDone done)
{
    m_done = std::move(done);
    QString why;
    const std::optional<EMethod> method = Method(filled, why);
    QString error;
    const std::optional<CRotationState> installed = Installed(error);
    if (!method) {
        Finish({{}, why, {}}, false);
        return;
    }
    if (installed || !error.isEmpty()) {
        Finish({{},
                error.isEmpty() ? QStringLiteral("a rotation is set up already (%1); stop it first")
                                      .arg(MethodName(installed->method))
                                : error,
                {}},
               false);
        return;
    }
    if (m_folders.rotation.isEmpty() || !QDir().mkpath(m_folders.images)) {
        Finish({{}, QStringLiteral("the rotation's folder (%1) could not be made").arg(m_folders.rotation), {}}, false);
        return;
    }
    m_state = std::move(state);
    m_state.method = *method;
    m_state.desktop = m_session.desktop;
    m_state.session = m_session.session;
    m_state.desktopName = m_session.name;
    m_state.intervalSeconds = setup.intervalSeconds;
    m_state.since = QDateTime::currentDateTimeUtc();
    for (const QString& image : setup.images) {
        if (Ours(image))
            m_state.files << QDir::cleanPath(image);
    }
    m_writer = Writer(*method);
    if (m_writer->NeedsImages() && setup.images.isEmpty()) {
        Finish({{}, QStringLiteral("no images were prepared"), {}}, true);
        return;
    }
    m_writer->Install(setup, m_state, [this](CStepOutcome installed) {
        if (installed.Ok()) {
            QString error;
            if (WriteTextFile(StatePath(), WriteState(m_state), error)) {
                Finish({installed.tried, {}, {}}, false);
                return;
            }
            installed.problem = error;
        }
        // Undone: the settings put back, the files removed.
        m_writer->Remove(m_state, [this, installed](const CStepOutcome& removed) {
            CRotationOutcome outcome{installed.tried + removed.tried, installed.problem, {}};
            if (!removed.Ok())
                outcome.notes << QStringLiteral("undoing it failed too: %1").arg(removed.problem);
            Finish(outcome, true);
        });
    });
}

void CDesktopRotation::Stop(RotationDone done)
{
    m_done = std::move(done);
    QString error;
    std::optional<CRotationState> installed = Installed(error);
    if (!installed) {
        if (error.isEmpty())
            Finish({{}, {}, {QStringLiteral("no rotation was set up")}}, false);
        else
            Finish({{}, error + QStringLiteral("; nothing was changed"), {}}, false);
        return;
    }
    m_state = std::move(*installed);
    m_writer = Writer(m_state.method);
    m_writer->Remove(m_state, [this](const CStepOutcome& removed) {
        CRotationOutcome outcome{removed.tried, removed.problem, {}};
        const QString mismatch = Mismatch(m_state);
        if (!outcome.Ok() && !mismatch.isEmpty())
            outcome.problem += QStringLiteral(" (") + mismatch + u')';
        if (m_state.method == EMethod::SystemdTimer) {
            outcome.notes << QStringLiteral("the wallpaper the timer set last stays: the one before cannot be read "
                                            "back on %1")
                                 .arg(DesktopName(m_state.desktop));
        }
        Finish(outcome, true);
    });
}

void CDesktopRotation::DeleteFiles(const CRotationState& state) const
{
    for (const QString& file : state.files) {
        if (Ours(file))
            QFile::remove(file);
    }
    QFile::remove(StatePath());
    // The folders go when nothing else of the user's is in them.
    QDir().rmdir(m_folders.images);
    QDir().rmdir(m_folders.rotation);
    QDir().rmdir(QFileInfo(m_folders.rotation).path());
    if (state.method == EMethod::SystemdTimer && !m_folders.units.isEmpty()) {
        QDir().rmdir(m_folders.units);
        QDir().rmdir(QFileInfo(m_folders.units).path());
    }
}

void CDesktopRotation::Finish(CRotationOutcome outcome, bool removeState)
{
    if (removeState)
        DeleteFiles(m_state);
    QTimer::singleShot(0, &m_context, [this, outcome = std::move(outcome)] {
        m_writer.reset();
        const RotationDone done = std::move(m_done);
        if (done)
            done(outcome);
    });
}

QString CDesktopRotation::Mismatch(const CRotationState& state) const
{
    if (state.desktop == m_session.desktop && state.session == m_session.session)
        return {};
    QString line = QStringLiteral("this rotation was set up on %1 as %2; this session is %3")
                       .arg(SessionText(state.desktop, state.desktopName, state.session), MethodName(state.method),
                            Where());
    if (state.method == EMethod::SystemdTimer)
        line += QStringLiteral(": the timer sets the wallpaper through this session's setter, if it has one");
    else
        line += QStringLiteral(", where it does not run (run quorrel-render --rotate off there, or set it up again "
                               "here)");
    return line;
}

QString CDesktopRotation::Status() const
{
    QString error;
    const std::optional<CRotationState> state = Installed(error);
    if (!state)
        return error.isEmpty() ? QStringLiteral("no rotation is set up") : error;
    QStringList lines;
    QString how = MethodName(state->method);
    how[0] = how[0].toUpper();
    lines << QStringLiteral("%1, every %2").arg(how, FormatInterval(state->intervalSeconds));
    QString what = state->count > 0 ? QStringLiteral("%1 images").arg(state->count) : QStringLiteral("a new image each time");
    if (!state->source.isEmpty())
        what += QStringLiteral(" from ") + state->source;
    lines << what;
    lines << QStringLiteral("set up on %1, %2")
                 .arg(SessionText(state->desktop, state->desktopName, state->session),
                      state->since.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    for (const QString& file : state->files) {
        if (file.startsWith(m_folders.units + u'/'))
            lines << QStringLiteral("unit %1").arg(file);
    }
    const QString mismatch = Mismatch(*state);
    if (!mismatch.isEmpty())
        lines << mismatch;
    return lines.join(u'\n');
}

QString RotationFailureLine(const QString& doing, const CDesktopSession& session, const CRotationOutcome& outcome)
{
    QString line = QStringLiteral("%1 failed on %2: %3")
                       .arg(doing, SessionText(session.desktop, session.name, session.session), outcome.problem);
    if (!outcome.tried.isEmpty())
        line += QStringLiteral(" (tried: %1)").arg(outcome.tried.join(QStringLiteral("; ")));
    for (const QString& note : outcome.notes)
        line += QStringLiteral("; ") + note;
    line.replace(u'\n', u' ');
    return line;
}

} // namespace quorrel::output::rotation
