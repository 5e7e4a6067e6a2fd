#include "RotationFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace quorrel::output::rotation {

std::unique_ptr<CRotationFiles> CRotationFiles::Open(const QString& dataHome, bool create, QString& error)
{
    std::unique_ptr<CRotationFiles> files(new CRotationFiles);
    files->m_literal = QDir::cleanPath(dataHome) + QStringLiteral("/quorrel/rotation");
    files->m_quorrel = CPrivateFolder::Open(dataHome, {QStringLiteral("quorrel")}, create, error);
    if (!files->m_quorrel)
        return nullptr;
    files->m_rotation = files->m_quorrel->Sub(QStringLiteral("rotation"), create, error);
    if (!files->m_rotation)
        return nullptr;
    files->m_images = files->m_rotation->Sub(QStringLiteral("images"), create, error);
    if (!files->m_images && !error.isEmpty())
        return nullptr;
    error.clear();
    return files;
}

std::optional<CRotationState> CRotationFiles::ReadState(QString& error) const
{
    const std::optional<QByteArray> text = m_rotation->Read(kStateName, kLargestStateFile, error);
    if (!text)
        return std::nullopt;
    auto state = rotation::ReadState(*text, error);
    if (!state) {
        error = QStringLiteral("%1: %2").arg(StatePath(), error);
        return std::nullopt;
    }
    return state;
}

bool CRotationFiles::WriteState(const CRotationState& state, QString& error) const
{
    return m_rotation->Write(kStateName, rotation::WriteState(state), error);
}

bool CRotationFiles::WriteFile(const QString& name, const QByteArray& bytes, QString& error) const
{
    return m_rotation->Write(name, bytes, error, 0644);
}

bool CRotationFiles::WriteImage(const QString& name, const QByteArray& bytes, QString& error) const
{
    if (!m_images) {
        error = QStringLiteral("%1 is not there").arg(ImagesFolder());
        return false;
    }
    return m_images->Write(name, bytes, error, 0644);
}

bool CRotationFiles::Ours(const QString& path) const
{
    if (!QDir::isAbsolutePath(path))
        return false;
    const QFileInfo info(QDir::cleanPath(path));
    if (!CPrivateFolder::IsPlainName(info.fileName()))
        return false;
    const QString folder = info.path();
    return folder == Folder() || folder == ImagesFolder() || folder == m_literal ||
           folder == m_literal + QStringLiteral("/images");
}

bool CRotationFiles::OfTheRotation(const QString& name, bool image)
{
    // The names the rotation writes, and the temporaries of its writes.
    static const QRegularExpression images(QStringLiteral("^quorrel-[0-9A-Za-z-]+-[0-9]+\\.png$"));
    static const QRegularExpression files(
        QStringLiteral("^(slide-show-[0-9A-Za-z-]+\\.xml|source-[0-9A-Za-z-]+\\.wpp|current\\.png|rotation\\.state)$"));
    if (name.startsWith(QLatin1String(".quorrel-tmp-")))
        return true;
    return (image ? images : files).match(name).hasMatch();
}

QStringList CRotationFiles::Leftovers(const CRotationState* state) const
{
    QStringList named;
    if (state) {
        for (const QString& file : state->files)
            named << QDir::cleanPath(file);
    }
    QStringList left;
    auto collect = [&](const CPrivateFolder* folder, bool image, const QString& literal) {
        if (!folder)
            return;
        for (const QString& name : folder->Names()) {
            if (name == kStateName || !OfTheRotation(name, image))
                continue;
            if (!named.contains(folder->FilePath(name)) && !named.contains(literal + u'/' + name))
                left << folder->FilePath(name);
        }
    };
    collect(m_rotation.get(), false, m_literal);
    collect(m_images.get(), true, m_literal + QStringLiteral("/images"));
    return left;
}

int CRotationFiles::RemoveAll(const CRotationState* state) const
{
    int removed = 0;
    // What the state names, where it lies in these folders.
    if (state) {
        for (const QString& file : state->files) {
            if (!Ours(file))
                continue;
            const QFileInfo info(QDir::cleanPath(file));
            const bool inImages = info.path() == ImagesFolder() || info.path().endsWith(QLatin1String("/images"));
            const CPrivateFolder* folder = inImages ? m_images.get() : m_rotation.get();
            if (folder && folder->Remove(info.fileName()))
                ++removed;
        }
    }
    // And whatever of the rotation's kind is left besides.
    for (const QString& path : Leftovers(nullptr)) {
        const QFileInfo info(path);
        const CPrivateFolder* folder = info.path() == ImagesFolder() ? m_images.get() : m_rotation.get();
        if (folder && folder->Remove(info.fileName()))
            ++removed;
    }
    if (m_rotation->Remove(kStateName))
        ++removed;
    // The folders go when nothing of the user's is in them.
    m_rotation->RemoveFolder(QStringLiteral("images"));
    m_quorrel->RemoveFolder(QStringLiteral("rotation"));
    if (m_quorrel->Names().isEmpty()) {
        QString error;
        const auto data = CPrivateFolder::Open(QFileInfo(m_quorrel->Path()).path(), {}, false, error);
        if (data)
            data->RemoveFolder(QStringLiteral("quorrel"));
    }
    return removed;
}

} // namespace quorrel::output::rotation
