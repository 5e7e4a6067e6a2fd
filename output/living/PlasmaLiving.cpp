#include "PlasmaLiving.h"

#include "FramesFile.h"
#include "LivingFolder.h"
#include "PlasmaLivingScripts.h"

#include "model/StagedFile.h"
#include "output/PlasmaWallpaperSetter.h"
#include "output/animation/AnimationEncoder.h"
#include "output/rotation/PlasmaRotation.h"
#include "output/rotation/RotationWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>

// The package's files are built into the program (resources/plasma/plasma.qrc);
// a static library's resources are registered by hand.
static void RegisterPlasmaPackage()
{
    Q_INIT_RESOURCE(plasma);
}

namespace quorrel::output::living {

namespace {

const QStringList kPackageFiles = {QStringLiteral("metadata.json"), QStringLiteral("contents/ui/main.qml"),
                                   QStringLiteral("contents/config/main.xml")};

QString PackageFolder(const QString& dataHome)
{
    return dataHome + QStringLiteral("/plasma/wallpapers/") + kPlasmaLivingPluginId;
}

// $XDG_DATA_HOME from the living folder, which is $XDG_DATA_HOME/quorrel/living.
QString DataHome(const CLivingSetup& setup)
{
    return QDir::cleanPath(setup.folder + QStringLiteral("/../.."));
}

} // namespace

bool CPlasmaLiving::WriteLoopGif(const QString& framesFile, const QString& folder, QString& error)
{
    std::string reason;
    CFramesFile frames;
    if (!frames.Open(QFile::encodeName(framesFile).toStdString(), reason)) {
        error = QString::fromStdString(reason);
        return false;
    }
    const CFramesHeader& header = frames.Header();
    // The encoder writes a staged file; it is made in a private temporary
    // folder and its bytes then written into the living folder, where
    // nothing is written through a link.
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        error = QStringLiteral("no temporary folder for the GIF: %1").arg(scratch.errorString());
        return false;
    }
    const QString path = scratch.filePath(QString::fromLatin1(kGifName));
    model::CFileError fileError;
    auto file = model::CStagedFile::Create(QFile::encodeName(path).toStdString(), fileError);
    if (!file) {
        error = QStringLiteral("the GIF could not be written");
        return false;
    }
    animation::AnimationSettings settings;
    settings.width = int(header.width);
    settings.height = int(header.height);
    settings.frames = header.frames;
    settings.fps = header.fps;
    std::string encoderError;
    auto encoder = animation::CreateAnimationEncoder(animation::AnimationFormat::Gif, settings, {file.get()},
                                                     encoderError);
    if (!encoder) {
        error = QString::fromStdString(encoderError);
        return false;
    }
    auto frameAt = [&](uint32_t f) {
        return QImage(reinterpret_cast<const uchar*>(frames.Frame(f)), int(header.width), int(header.height),
                      qsizetype(header.strideWords) * 4, QImage::Format_RGB32);
    };
    // One palette for the whole loop, learned from frames spread across it.
    if (encoder->WantsPaletteSamples()) {
        constexpr uint32_t kSamples = 8;
        const uint32_t samples = std::min(kSamples, header.frames);
        for (uint32_t s = 0; s < samples; ++s) {
            if (!encoder->AddPaletteSample(frameAt(uint32_t(uint64_t(s) * header.frames / samples)))) {
                error = QString::fromStdString(encoder->Error());
                return false;
            }
        }
    }
    for (uint32_t f = 0; f < header.frames; ++f) {
        const QImage frame = frameAt(f);
        if (!encoder->AddFrame(frame)) {
            error = QString::fromStdString(encoder->Error());
            return false;
        }
    }
    if (!encoder->Finish() || !file->Commit(fileError)) {
        error = encoder->Error().empty() ? QStringLiteral("the GIF could not be written")
                                         : QString::fromStdString(encoder->Error());
        return false;
    }
    QFile gif(path);
    if (!gif.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("the GIF could not be read back: %1").arg(gif.errorString());
        return false;
    }
    const QByteArray bytes = gif.readAll();
    if (!WriteLivingFile(QFile::encodeName(folder).toStdString(), kGifName,
                         std::span(reinterpret_cast<const uint8_t*>(bytes.constData()), std::size_t(bytes.size())),
                         reason)) {
        error = QString::fromStdString(reason);
        return false;
    }
    return true;
}

bool CPlasmaLiving::EnsurePackage(const QString& dataHome, bool& written, QString& error)
{
    written = false;
    const QString metadata = QStringLiteral("plasma/wallpapers/%1/metadata.json").arg(kPlasmaLivingPluginId);
    if (QFileInfo::exists(dataHome + u'/' + metadata) ||
        !QStandardPaths::locate(QStandardPaths::GenericDataLocation, metadata).isEmpty())
        return true;
    RegisterPlasmaPackage();
    const QString folder = PackageFolder(dataHome);
    for (const QString& name : kPackageFiles) {
        QFile source(QStringLiteral(":/plasma/living/") + name);
        const QString target = folder + u'/' + name;
        if (!source.open(QIODevice::ReadOnly) || !QDir().mkpath(QFileInfo(target).path())) {
            error = QStringLiteral("Quorrel's Plasma wallpaper package could not be written into %1").arg(folder);
            return false;
        }
        QFile::remove(target);
        QFile out(target);
        if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly) || out.write(source.readAll()) != source.size() ||
            !out.flush()) {
            error = QStringLiteral("%1 could not be written: %2").arg(target, out.errorString());
            return false;
        }
        written = true;
    }
    return true;
}

void CPlasmaLiving::Install(const CLivingSetup& setup, CLivingState& state, StepDone done)
{
    QString error;
    state.files << QString::fromLatin1(kGifName);
    bool written = false;
    const bool ready = setup.saveState(error) && WriteLoopGif(setup.framesFile, setup.folder, error) &&
                       EnsurePackage(DataHome(setup), written, error);
    if (written)
        state.previous.append({QString::fromLatin1(kPackageKey), PackageFolder(DataHome(setup))});
    if (!ready || !setup.saveState(error)) {
        done({{}, error});
        return;
    }
    const QString loop = QDir(setup.folder).filePath(QString::fromLatin1(kGifName));
    const CHelperCall call = CPlasmaWallpaperSetter::ScriptCall(
        m_runner, PlasmaLivingInstallScript(kPlasmaLivingPluginId, FileUrl(loop)));
    rotation::CollectInTurn(m_runner, &m_context, {call},
                            [this, call, &state, done = std::move(done)](const QList<CProcessResult>& results,
                                                                         const QStringList& tried) {
                                state.previous << rotation::CPlasmaRotation::PreviousWallpapers(results[0].output);
                                done(rotation::FirstFailure(m_runner, {call}, results, tried));
                            });
}

void CPlasmaLiving::Remove(const CLivingSetup& setup, const CLivingState& state, StepDone done)
{
    const CHelperCall call =
        CPlasmaWallpaperSetter::ScriptCall(m_runner, PlasmaLivingRemoveScript(state.previous));
    // The package goes only when we wrote it, and only from its own place.
    QString package;
    for (const auto& [key, value] : state.previous)
        if (key == QLatin1String(kPackageKey) && value == PackageFolder(DataHome(setup)))
            package = value;
    rotation::CollectInTurn(m_runner, &m_context, {call},
                            [this, call, package, done = std::move(done)](const QList<CProcessResult>& results,
                                                                          const QStringList& tried) {
                                CStepOutcome outcome = rotation::FirstFailure(m_runner, {call}, results, tried);
                                if (!package.isEmpty() && !QDir(package).removeRecursively() && outcome.Ok())
                                    outcome.problem = QStringLiteral("%1 could not be removed").arg(package);
                                done(outcome);
                            });
}

} // namespace quorrel::output::living
