#pragma once
// File names on Linux are bytes and need not be valid UTF-8. A QString path
// here carries such a name without loss: every byte that is not part of
// valid UTF-8 is held as the lone surrogate U+DC80 + byte (no valid name
// decodes to one), and NativePath() gives the bytes back. Everything that
// hands a path to the system goes through NativePath().

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quorrel::platform {

QString PathFromNative(const QByteArray& bytes);
QByteArray NativePath(const QString& path);

// The program's arguments from main()'s argv, names kept byte for byte
// (QCoreApplication::arguments() turns bytes that are not UTF-8 into U+FFFD).
// Call after the application object has taken out its own options.
QStringList ArgumentsFromNative(int argc, const char* const* argv);

// `path` made absolute against the current folder and cleaned of "." and
// ".." by its text, as QFileInfo::absoluteFilePath() does, but keeping the
// bytes that are not UTF-8 (QFileInfo loses them for a relative path).
QString AbsolutePath(const QString& path);

// For titles and messages: the held bytes shown as U+FFFD.
QString DisplayPath(const QString& path);

// File dialogs list names that are not UTF-8 with U+FFFD in place of the
// bytes they cannot show, a name that does not exist. When `path` does not
// exist, each such component is matched against the real names in its
// folder; a component that matches exactly one is replaced by it. Returns
// `path` unchanged otherwise.
QString ResolveShownPath(const QString& path);

} // namespace quorrel::platform
