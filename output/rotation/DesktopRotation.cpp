#include "DesktopRotation.h"

#include "GSettingsRotation.h"
#include "PlasmaRotation.h"
#include "RotationFiles.h"
#include "RotationInterval.h"
#include "SystemdRotation.h"
#include "SystemdUnits.h"
#include "XfceRotation.h"

#include "model/Seeds.h"
#include "model/WppFile.h"
#include "output/GSettingsWallpaperSetter.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QRegularExpression>
#include <QTimer>

namespace quorrel::output::rotation {

namespace {

QString ImageName(const QString& stamp, int k)
{
    return QStringLiteral("quorrel-%1-%2.png").arg(stamp).arg(k, 3, 10, QLatin1Char('0'));
}

QByteArray Png(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    return writer.write(image) ? bytes : QByteArray();
}

// A new stamp for the names of a set-up's files: the clock to the millisecond.
QString NewStamp()
{
    return QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
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

CDesktopRotation::~CDesktopRotation()
{
    m_cancel = true;
    if (m_rendering.valid())
        m_rendering.wait();
}

CRotationFolders CDesktopRotation::Folders(const QProcessEnvironment& environment)
{
    CRotationFolders folders;
    folders.dataHome = XdgFolder(environment, "XDG_DATA_HOME", ".local/share");
    folders.configHome = XdgFolder(environment, "XDG_CONFIG_HOME", ".config");
    if (!folders.dataHome.isEmpty()) {
        folders.rotation = folders.dataHome + QStringLiteral("/quorrel/rotation");
        folders.images = folders.rotation + QStringLiteral("/images");
    }
    if (!folders.configHome.isEmpty())
        folders.units = folders.configHome + QStringLiteral("/systemd/user");
    return folders;
}

QString CDesktopRotation::StatePath() const
{
    return m_folders.rotation.isEmpty() ? QString() : m_folders.rotation + u'/' + CRotationFiles::kStateName;
}

QString CDesktopRotation::Where() const
{
    return DescribeSession(m_session.desktop, m_session.name, m_session.session);
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
        why = QStringLiteral("%1 cannot tile a wallpaper: the images must fill the screen (Fill the screen in the "
                             "editor, or give --fill WIDTHxHEIGHT with the screen's size)")
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

bool CDesktopRotation::CanShuffle(EMethod method)
{
    return method == EMethod::XfceCycle || method == EMethod::PlasmaSlideShow;
}

std::unique_ptr<IRotationWriter> CDesktopRotation::Writer(EMethod method, EDesktop desktop) const
{
    switch (method) {
    case EMethod::SlideShowXml: {
        // The state's desktop decides the schema: off runs where start ran.
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

bool CDesktopRotation::OursOrUnit(const QString& path) const
{
    if (m_files && m_files->Ours(path))
        return true;
    const QFileInfo info(QDir::cleanPath(path));
    const QString name = info.fileName();
    return QDir::isAbsolutePath(path) && !m_folders.units.isEmpty() && info.path() == m_folders.units &&
           (name == kTimerUnit || name == kServiceUnit || name == kSwaybgUnit);
}

std::optional<CRotationState> CDesktopRotation::Installed(QString& error) const
{
    error.clear();
    const auto files = CRotationFiles::Open(m_folders.dataHome, false, error);
    if (!files)
        return std::nullopt;
    auto state = files->ReadState(error);
    if (!state)
        return std::nullopt;
    // Only what lies in the rotation's own folders (or is one of its units)
    // is ever deleted.
    QStringList kept;
    for (const QString& each : state->files) {
        const QFileInfo info(QDir::cleanPath(each));
        const bool unit = info.path() == m_folders.units &&
                          (info.fileName() == kTimerUnit || info.fileName() == kServiceUnit ||
                           info.fileName() == kSwaybgUnit);
        if (files->Ours(each) || (QDir::isAbsolutePath(each) && unit))
            kept << QDir::cleanPath(each);
    }
    state->files = kept;
    return state;
}

QStringList CDesktopRotation::TickCommand(const QString& program, const QStringList& source, const QStringList& options,
                                          const QString& swaybgImage)
{
    QStringList command{program};
    command << source << QStringLiteral("--generate") << options << QStringLiteral("--quiet");
    if (swaybgImage.isEmpty())
        command << QStringLiteral("--set-wallpaper");
    else
        command << QStringLiteral("-o") << swaybgImage;
    command << QStringLiteral("--rotation-tick");
    return command;
}

void CDesktopRotation::Begin(CRotationRequest request, RotationDone done)
{
    m_done = std::move(done);
    m_cancel = false;
    QString why;
    const std::optional<EMethod> method = Method(request.filled, why);
    if (!method) {
        Finish({{}, why, {}});
        return;
    }
    if (*method == EMethod::SystemdTimer && (request.count || request.seed)) {
        Finish({{},
                QStringLiteral("on %1 a timer renders a new image at each change: --count and --seed choose the "
                               "images of a slide show and have no use here (leave them out)")
                    .arg(Where()),
                {}});
        return;
    }
    if (request.seed && request.count && uint64_t(*request.seed) + uint64_t(*request.count) - 1 > UINT32_MAX) {
        Finish({{},
                QStringLiteral("the seeds %1 and on run past 4294967295 for %2 images: give a smaller --seed")
                    .arg(*request.seed)
                    .arg(*request.count),
                {}});
        return;
    }
    static const QRegularExpression control(QStringLiteral("[\\x00-\\x1f\\x7f]"));
    if (m_folders.dataHome.contains(control) || m_folders.configHome.contains(control)) {
        Finish({{},
                QStringLiteral("the data or configuration folder's path holds a control character, which a slide "
                               "show, a desktop setting or a unit cannot name; set XDG_DATA_HOME and XDG_CONFIG_HOME "
                               "to plain paths"),
                {}});
        return;
    }
    QString error;
    m_files = CRotationFiles::Open(m_folders.dataHome, true, error);
    if (!m_files) {
        Finish({{}, QStringLiteral("the rotation's folder cannot be used: %1").arg(error), {}});
        return;
    }
    auto shared = std::make_shared<CRotationRequest>(std::move(request));
    // One rotation at a time: whatever is recorded (installed, or a set-up
    // that was interrupted) is taken down first.
    QString stateError;
    const bool recorded = m_files->ReadState(stateError).has_value() || !stateError.isEmpty() ||
                          !m_files->Leftovers(nullptr).isEmpty();
    if (!recorded) {
        Prepare(shared, *method, {});
        return;
    }
    TakeDown([this, shared, method = *method](CRotationOutcome stopped) {
        if (!stopped.Ok()) {
            stopped.problem = QStringLiteral("the rotation set up before could not be stopped: %1").arg(stopped.problem);
            Finish(stopped);
            return;
        }
        QString error;
        m_files = CRotationFiles::Open(m_folders.dataHome, true, error);
        if (!m_files) {
            Finish({stopped.tried, QStringLiteral("the rotation's folder cannot be used: %1").arg(error), {}});
            return;
        }
        QStringList notes = stopped.notes;
        notes.removeAll(QStringLiteral("no rotation was set up"));
        notes.prepend(QStringLiteral("the rotation set up before was stopped"));
        Prepare(shared, method, notes);
    });
}

void CDesktopRotation::Prepare(std::shared_ptr<CRotationRequest> request, EMethod method, QStringList notes)
{
    CRotationSetup setup;
    setup.intervalSeconds = request->intervalSeconds;
    setup.stamp = NewStamp();
    setup.randomOrder = request->randomOrder && CanShuffle(method);
    setup.folders = m_folders;
    setup.folders.rotation = m_files->Folder();
    setup.folders.images = m_files->ImagesFolder();
    setup.files = m_files.get();

    m_state = {};
    m_state.method = method;
    m_state.phase = EPhase::Preparing;
    m_state.desktop = m_session.desktop;
    m_state.session = m_session.session;
    m_state.desktopName = m_session.name;
    m_state.intervalSeconds = request->intervalSeconds;
    m_state.since = QDateTime::currentDateTimeUtc();
    m_state.source = request->source;
    m_state.stamp = setup.stamp;
    m_state.randomOrder = setup.randomOrder;
    m_writer = Writer(method, m_session.desktop);

    // Every file is named in the journal before it is written.
    QString sourceCopy;
    if (m_writer->NeedsImages()) {
        m_state.count = request->count.value_or(kRotationImages);
        for (int k = 1; k <= m_state.count; ++k) {
            setup.images << m_files->ImagesFolder() + u'/' + ImageName(setup.stamp, k);
            m_state.files << setup.images.last();
        }
    } else {
        QStringList source = request->tickSource;
        if (request->fromDocument) {
            // The document is copied: the timer must not depend on a file that
            // may move or change.
            sourceCopy = QStringLiteral("source-%1.wpp").arg(setup.stamp);
            source = QStringList{m_files->Folder() + u'/' + sourceCopy};
            m_state.files << source.first();
        }
        if (m_session.desktop == EDesktop::Wlroots) {
            setup.swaybgImage = m_files->Folder() + QStringLiteral("/current.png");
            m_state.files << setup.swaybgImage;
        }
        if (!QDir::isAbsolutePath(request->program)) {
            Finish({{}, QStringLiteral("the rotation's program (quorrel-render) was not found"), notes});
            return;
        }
        setup.tickCommand = TickCommand(request->program, source, request->tickOptions, setup.swaybgImage);
    }
    QString error;
    if (!m_files->WriteState(m_state, error)) {
        Finish({{}, error, notes});
        return;
    }
    if (!sourceCopy.isEmpty()) {
        const std::vector<uint8_t> bytes = model::SaveWpp(request->params);
        if (!m_files->WriteFile(sourceCopy,
                                QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())), error)) {
            m_files->RemoveAll(&m_state);
            Finish({{}, error, notes});
            return;
        }
    }
    if (setup.images.isEmpty()) {
        Install(request, setup, notes);
        return;
    }
    // The images on a worker: a dialog stays responsive, and Cancel is heard.
    const std::vector<uint32_t> seeds =
        model::BatchSeeds(request->seed, uint32_t(m_state.count), model::ClockForSeeds());
    const CRotationFiles* files = m_files.get();
    m_rendering = std::async(std::launch::async, [this, request, setup, notes, seeds, files] {
        QString failure;
        for (qsizetype k = 0; k < setup.images.size() && failure.isEmpty(); ++k) {
            if (m_cancel) {
                failure = QStringLiteral("cancelled");
                break;
            }
            try {
                model::CTileParams tile = request->params;
                tile.GenerateRandom(seeds[std::size_t(k)]);
                const QImage image = request->render ? request->render(tile) : QImage();
                const QByteArray png = image.isNull() ? QByteArray() : Png(image);
                if (png.isEmpty())
                    failure = QStringLiteral("%1 could not be rendered").arg(setup.images[k]);
                else
                    files->WriteImage(QFileInfo(setup.images[k]).fileName(), png, failure);
            } catch (const std::bad_alloc&) {
                failure = QStringLiteral("not enough memory to render %1").arg(setup.images[k]);
            }
        }
        QMetaObject::invokeMethod(
            &m_context,
            [this, request, setup, notes, failure] {
                m_rendering.get();
                if (!failure.isEmpty()) {
                    m_files->RemoveAll(&m_state);
                    Finish({{}, failure, notes});
                    return;
                }
                Install(request, setup, notes);
            },
            Qt::QueuedConnection);
    });
}

void CDesktopRotation::Install(std::shared_ptr<CRotationRequest> request, CRotationSetup setup, QStringList notes)
{
    Q_UNUSED(request);
    // The settings about to be replaced go into the journal before any changes.
    const JournalStep journal = [this](QString& error) {
        m_state.phase = EPhase::Installing;
        return m_files->WriteState(m_state, error);
    };
    m_writer->Install(setup, m_state, journal, [this, notes](const CStepOutcome& installed) {
        CRotationOutcome outcome{installed.tried, installed.problem, notes};
        if (outcome.Ok()) {
            m_state.phase = EPhase::Installed;
            QString error;
            if (m_files->WriteState(m_state, error)) {
                Finish(outcome);
                return;
            }
            outcome.problem = error;
        }
        if (m_state.phase == EPhase::Preparing) {
            // Nothing of the desktop's was changed.
            m_files->RemoveAll(&m_state);
            Finish(outcome);
            return;
        }
        // Undone: the settings put back, then the files removed; when the
        // desktop does not take them back, the journal stays for off.
        m_writer->Remove(m_state, [this, outcome](const CStepOutcome& removed) mutable {
            outcome.tried += removed.tried;
            if (removed.Ok()) {
                m_files->RemoveAll(&m_state);
            } else {
                outcome.notes << QStringLiteral("undoing it failed too (%1): the rotation stays recorded, and "
                                                "stopping it (Stop, or quorrel-render --rotate off) tries again")
                                     .arg(removed.problem);
            }
            Finish(outcome);
        });
    });
}

void CDesktopRotation::Stop(RotationDone done)
{
    m_done = std::move(done);
    QString error;
    m_files = CRotationFiles::Open(m_folders.dataHome, false, error);
    if (!m_files) {
        if (error.isEmpty())
            Finish({{}, {}, {QStringLiteral("no rotation was set up")}});
        else
            Finish({{}, error + QStringLiteral("; nothing was changed"), {}});
        return;
    }
    TakeDown([this](CRotationOutcome outcome) { Finish(std::move(outcome)); });
}

void CDesktopRotation::TakeDown(std::function<void(CRotationOutcome)> done)
{
    QString error;
    std::optional<CRotationState> state = m_files->ReadState(error);
    if (!state && !error.isEmpty()) {
        // A state that cannot be read must not block the way out: the
        // rotation's own files go, and the user hears what is lost.
        const int removed = m_files->RemoveAll(nullptr);
        done({{},
              QStringLiteral("%1; %2, but the settings it replaced are not known: set the wallpaper again")
                  .arg(error, removed == 1 ? QStringLiteral("the rotation's 1 file was removed")
                                           : QStringLiteral("the rotation's %1 files were removed").arg(removed)),
              {}});
        return;
    }
    if (!state) {
        const int left = int(m_files->Leftovers(nullptr).size());
        m_files->RemoveAll(nullptr);
        if (left > 0)
            done({{}, {}, {left == 1 ? QStringLiteral("1 file left by an interrupted set-up was removed")
                                     : QStringLiteral("%1 files left by an interrupted set-up were removed").arg(left)}});
        else
            done({{}, {}, {QStringLiteral("no rotation was set up")}});
        return;
    }
    m_state = std::move(*state);
    QStringList kept;
    for (const QString& file : m_state.files) {
        if (OursOrUnit(file))
            kept << QDir::cleanPath(file);
    }
    m_state.files = kept;
    if (m_state.phase == EPhase::Preparing) {
        // Interrupted before any setting was changed: its files are all there is.
        m_files->RemoveAll(&m_state);
        done({{}, {}, {QStringLiteral("a set-up interrupted while preparing its files was undone")}});
        return;
    }
    m_writer = Writer(m_state.method, m_state.desktop);
    m_writer->Remove(m_state, [this, done = std::move(done)](const CStepOutcome& removed) {
        CRotationOutcome outcome{removed.tried, removed.problem, {}};
        if (!outcome.Ok()) {
            const QString mismatch = Mismatch(m_state);
            if (!mismatch.isEmpty())
                outcome.problem += QStringLiteral(" (") + mismatch + u')';
            // Kept until the settings are really back: off can be tried again.
            outcome.problem += QStringLiteral("; the rotation stays set up and its files are kept: stop it again "
                                              "(Stop, or quorrel-render --rotate off) once %1 can be reached")
                                   .arg(DesktopName(m_state.desktop));
            done(outcome);
            return;
        }
        if (m_state.method == EMethod::SystemdTimer) {
            outcome.notes << QStringLiteral("the wallpaper the timer set last stays: the one before cannot be read "
                                            "back on %1")
                                 .arg(DesktopName(m_state.desktop));
        }
        if (m_state.phase == EPhase::Installing)
            outcome.notes << QStringLiteral("a set-up that was interrupted was undone");
        m_files->RemoveAll(&m_state);
        if (m_state.method == EMethod::SystemdTimer && !m_folders.units.isEmpty()) {
            QDir().rmdir(m_folders.units);
            QDir().rmdir(QFileInfo(m_folders.units).path());
        }
        done(outcome);
    });
}

void CDesktopRotation::Finish(CRotationOutcome outcome)
{
    QTimer::singleShot(0, &m_context, [this, outcome = std::move(outcome)] {
        m_writer.reset();
        m_files.reset();
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
                       .arg(DescribeSession(state.desktop, state.desktopName, state.session), MethodName(state.method),
                            Where());
    if (state.method == EMethod::SystemdTimer)
        line += QStringLiteral(": the timer sets the wallpaper through this session's setter, if it has one");
    else
        line += QStringLiteral(", where it does not run (stop it there with Stop or quorrel-render --rotate off, or "
                               "set it up again here)");
    return line;
}

QString CDesktopRotation::Status() const
{
    QString error;
    const std::optional<CRotationState> state = Installed(error);
    if (!state) {
        if (!error.isEmpty())
            return error + QStringLiteral("\nStop (quorrel-render --rotate off) removes the rotation's files");
        return QStringLiteral("no rotation is set up");
    }
    QStringList lines;
    if (state->phase != EPhase::Installed) {
        lines << QStringLiteral("a set-up was interrupted while %1: Stop (quorrel-render --rotate off) undoes it, and a new "
                                "rotation replaces it")
                     .arg(PhaseName(state->phase));
    }
    QString how = MethodName(state->method);
    how[0] = how[0].toUpper();
    lines << QStringLiteral("%1, every %2").arg(how, FormatInterval(state->intervalSeconds));
    QString what = state->count == 1  ? QStringLiteral("1 image")
                   : state->count > 0 ? QStringLiteral("%1 images").arg(state->count)
                                      : QStringLiteral("a new image each time");
    if (!state->source.isEmpty())
        what += QStringLiteral(" from ") + state->source;
    if (state->randomOrder)
        what += QStringLiteral(", in a random order");
    lines << what;
    lines << QStringLiteral("set up on %1, %2")
                 .arg(DescribeSession(state->desktop, state->desktopName, state->session),
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
                       .arg(doing, DescribeSession(session.desktop, session.name, session.session), outcome.problem);
    if (!outcome.tried.isEmpty())
        line += QStringLiteral(" (tried: %1)").arg(outcome.tried.join(QStringLiteral("; ")));
    for (const QString& note : outcome.notes)
        line += QStringLiteral("; ") + note;
    line.replace(u'\n', u' ');
    return line;
}

} // namespace quorrel::output::rotation
