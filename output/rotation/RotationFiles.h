#pragma once
// The rotation's own folders, $XDG_DATA_HOME/quorrel/rotation and its
// images/, opened as private folders (made 0700, refused when they are links,
// another user's or writable by others), with the state file (the journal)
// and every file the rotation writes there. Nothing is written through a
// link, and the state file is read as a regular file only, without waiting
// on a pipe.

#include "RotationState.h"

#include "output/PrivateFolder.h"

#include <QString>

#include <memory>
#include <optional>

namespace quorrel::output::rotation {

class CRotationFiles final {
public:
    // Opens (with `create`, makes) the folders under `dataHome`. Nothing
    // with `error` empty when they are not there.
    static std::unique_ptr<CRotationFiles> Open(const QString& dataHome, bool create, QString& error);

    // The folders with the links above the data folder resolved: the paths
    // written into the state, the slide shows and the desktop's settings.
    QString Folder() const { return m_rotation->Path(); }
    QString ImagesFolder() const { return m_images ? m_images->Path() : Folder() + QStringLiteral("/images"); }
    QString StatePath() const { return m_rotation->FilePath(kStateName); }

    // The state file: nothing with `error` empty when there is none.
    std::optional<CRotationState> ReadState(QString& error) const;
    bool WriteState(const CRotationState& state, QString& error) const;
    // A file of the rotation (its slide show, the document's copy) or an image.
    bool WriteFile(const QString& name, const QByteArray& bytes, QString& error) const;
    bool WriteImage(const QString& name, const QByteArray& bytes, QString& error) const;

    // Whether `path` names a file directly in one of the folders, as the
    // environment names them or with the links resolved.
    bool Ours(const QString& path) const;

    // Removes everything the rotation writes: the state, the files it
    // names, every image, slide show, copy and temporary of the rotation's
    // kind in the folders, then the folders themselves when nothing else is
    // left in them. The count of files removed.
    int RemoveAll(const CRotationState* state) const;
    // The rotation's kind of files that `state` does not name (left by a
    // set-up that was killed before its journal named them).
    QStringList Leftovers(const CRotationState* state) const;

    static inline const QString kStateName = QStringLiteral("rotation.state");

private:
    CRotationFiles() = default;
    static bool OfTheRotation(const QString& name, bool image);

    QString m_literal;   // $XDG_DATA_HOME/quorrel/rotation as named
    std::unique_ptr<CPrivateFolder> m_quorrel;
    std::unique_ptr<CPrivateFolder> m_rotation;
    std::unique_ptr<CPrivateFolder> m_images;
};

} // namespace quorrel::output::rotation
