#include "SlowLiving.h"

#include "LivingFolder.h"

#include "output/XfceWallpaperSetter.h"
#include "output/rotation/RotationWriter.h"
#include "output/rotation/XfceRotation.h"

#include <QDir>

#include <algorithm>

namespace quorrel::output::living {

namespace {
const QString kOptions = QStringLiteral("picture-options");
// A key that held its default: off resets it instead of writing the value.
const QString kDefault = QStringLiteral("default");
// How an XFCE property was kept: its value after "set:", or that there was none.
const QString kSet = QStringLiteral("set:");
const QString kAbsent = QStringLiteral("absent");
} // namespace

rotation::CSlideShowTiming SlowTiming(int periodSeconds, int slides)
{
    const double slot = double(periodSeconds) / std::max(1, slides);
    return {slot / 20.0, slot - slot / 20.0};
}

QString SlowSlideShowXml(const QStringList& slides, int periodSeconds, const QDateTime& start)
{
    return rotation::SlideShowXml(slides, SlowTiming(periodSeconds, int(slides.size())), start);
}

// ---- GNOME, Cinnamon, MATE ----

CHelperCall CSlideShowLiving::Call(const QString& verb, const QString& key, const QString& value, bool optional) const
{
    QStringList arguments{verb, m_schema.schema, key};
    if (!value.isNull())
        arguments << value;
    return {QStringLiteral("gsettings"), arguments, optional};
}

void CSlideShowLiving::Install(const CLivingSetup& setup, CLivingState& state, StepDone done)
{
    // What is there now, read first as the rotation's writer does: gsettings
    // for the value, dconf for whether it is the default.
    QList<CHelperCall> reads;
    for (const QString& key : QStringList{kOptions} + m_schema.pictureKeys + m_schema.optionalKeys) {
        reads << Call(QStringLiteral("get"), key, {}, !(key == kOptions || m_schema.pictureKeys.contains(key)));
        reads << CHelperCall{QStringLiteral("dconf"), {QStringLiteral("read"), m_schema.dconfPath + key}, true};
    }
    rotation::CollectInTurn(
        m_runner, &m_context, reads,
        [this, reads, setup, &state, done = std::move(done)](const QList<CProcessResult>& results,
                                                             const QStringList& tried) {
            const CStepOutcome read = rotation::FirstFailure(m_runner, reads, results, tried);
            if (!read.Ok()) {
                done(read);
                return;
            }
            QStringList present;
            for (qsizetype i = 0; i + 1 < results.size(); i += 2) {
                if (!results[i].Succeeded())
                    continue;
                const QString key = reads[i].arguments[2];
                present << key;
                const bool atDefault = results[i + 1].Succeeded() && results[i + 1].output.trimmed().isEmpty();
                state.previous.append({key, atDefault ? kDefault : QString::fromUtf8(results[i].output).trimmed()});
            }
            state.files << QString::fromLatin1(kXmlName);
            QString error;
            if (!setup.saveState(error)) {
                done({tried, error});
                return;
            }
            const QByteArray xml = SlowSlideShowXml(setup.slides, setup.periodSeconds, QDateTime::currentDateTime()).toUtf8();
            std::string reason;
            if (!WriteLivingFile(QFile::encodeName(setup.folder).toStdString(), kXmlName,
                                 std::span(reinterpret_cast<const uint8_t*>(xml.constData()), std::size_t(xml.size())),
                                 reason)) {
                done({tried, QString::fromStdString(reason)});
                return;
            }
            const QString path = QDir(setup.folder).filePath(QString::fromLatin1(kXmlName));
            const QString picture = GVariantString(m_schema.pictureAsUrl ? FileUrl(path) : path);
            QList<CHelperCall> writes{Call(QStringLiteral("set"), kOptions, GVariantString(QStringLiteral("wallpaper")))};
            for (const QString& key : m_schema.pictureKeys + m_schema.optionalKeys) {
                if (present.contains(key))
                    writes << Call(QStringLiteral("set"), key, picture);
            }
            RunInTurn(m_runner, &m_context, writes, done, {tried, {}});
        });
}

void CSlideShowLiving::Remove(const CLivingSetup&, const CLivingState& state, StepDone done)
{
    // Only the keys this way reads: a state file naming others is not ours.
    const QStringList known = QStringList{kOptions} + m_schema.pictureKeys + m_schema.optionalKeys;
    QList<CHelperCall> writes;
    for (const auto& [key, value] : state.previous) {
        if (known.contains(key))
            writes << (value == kDefault ? Call(QStringLiteral("reset"), key) : Call(QStringLiteral("set"), key, value));
    }
    rotation::CollectInTurn(m_runner, &m_context, writes,
                            [this, writes, done = std::move(done)](const QList<CProcessResult>& results,
                                                                   const QStringList& tried) {
                                done(rotation::FirstFailure(m_runner, writes, results, tried));
                            });
}

// ---- XFCE ----

int CXfceLiving::SlideSeconds(int periodSeconds, int slides) { return std::max(1, periodSeconds / std::max(1, slides)); }

CHelperCall CXfceLiving::Query(const QStringList& arguments, bool optional) const
{
    return {QStringLiteral("xfconf-query"), QStringList{QStringLiteral("-c"), QStringLiteral("xfce4-desktop")} + arguments,
            optional};
}

void CXfceLiving::Install(const CLivingSetup& setup, CLivingState& state, StepDone done)
{
    // The rotation's cycling properties, with the slides as its images.
    rotation::CRotationSetup cycle;
    cycle.intervalSeconds = SlideSeconds(setup.periodSeconds, int(setup.slides.size()));
    cycle.images = setup.slides;
    const QList<rotation::CXfceRotation::CProperty> properties = rotation::CXfceRotation::Properties(cycle);
    const CHelperCall list = Query({QStringLiteral("-l")});
    rotation::CollectInTurn(m_runner, &m_context, {list}, [this, setup, properties, &state, done = std::move(done),
                                                           list](const QList<CProcessResult>& listed,
                                                                 const QStringList& tried) {
        if (listed[0].status != CProcessResult::EStatus::Exited) {
            done({tried, listed[0].Problem(list.program, m_runner.TimeoutMs())});
            return;
        }
        const QStringList backdrops =
            CXfceWallpaperSetter::Backdrops(listed[0].exitCode == 0 ? listed[0].output : QByteArray());
        QList<CHelperCall> reads;
        for (const QString& backdrop : backdrops) {
            for (const auto& property : properties)
                reads << Query({QStringLiteral("-p"), backdrop + property.name}, true);
        }
        rotation::CollectInTurn(m_runner, &m_context, reads, [this, reads, backdrops, properties, setup, &state, done,
                                                              tried](const QList<CProcessResult>& results,
                                                                     const QStringList& readTried) {
            for (qsizetype i = 0; i < results.size(); ++i) {
                const bool there = results[i].status == CProcessResult::EStatus::Exited && results[i].exitCode == 0;
                QByteArray value = results[i].output;
                if (value.endsWith('\n'))
                    value.chop(1);
                state.previous.append({reads[i].arguments[3], there ? kSet + QString::fromUtf8(value) : kAbsent});
            }
            QString error;
            if (!setup.saveState(error)) {
                done({tried + readTried, error});
                return;
            }
            QList<CHelperCall> writes;
            for (const QString& backdrop : backdrops) {
                for (const auto& property : properties) {
                    writes << Query({QStringLiteral("-p"), backdrop + property.name, QStringLiteral("-n"),
                                     QStringLiteral("-t"), property.type, QStringLiteral("-s"), property.value});
                }
            }
            RunInTurn(m_runner, &m_context, writes, done, {tried + readTried, {}});
        });
    });
}

void CXfceLiving::Remove(const CLivingSetup&, const CLivingState& state, StepDone done)
{
    // Cycling stops first: xfdesktop writes last-image itself at each change.
    QList<QPair<QString, QString>> previous = state.previous;
    std::stable_partition(previous.begin(), previous.end(), [](const QPair<QString, QString>& entry) {
        return entry.first.endsWith(QLatin1String("/backdrop-cycle-enable"));
    });
    QList<CHelperCall> writes;
    for (const auto& [property, value] : previous) {
        if (!property.startsWith(QLatin1String("/backdrop/")))
            continue;   // only backdrop properties are ours to put back
        if (value.startsWith(kSet))
            writes << Query({QStringLiteral("-p"), property, QStringLiteral("-s"), value.mid(kSet.size())});
        else
            writes << Query({QStringLiteral("-p"), property, QStringLiteral("-r")});
    }
    rotation::CollectInTurn(m_runner, &m_context, writes,
                            [this, writes, done = std::move(done)](const QList<CProcessResult>& results,
                                                                   const QStringList& tried) {
                                done(rotation::FirstFailure(m_runner, writes, results, tried));
                            });
}

} // namespace quorrel::output::living
