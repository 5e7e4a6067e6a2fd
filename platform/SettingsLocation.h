#pragma once
// Where the editor keeps what it remembers between runs. On Windows: the
// registry keys "Software\<root>\<application>" of the current user. Elsewhere
// one file in the program's own configuration folder,
// $XDG_CONFIG_HOME/quorrel/quorrel.conf (~/.config/quorrel/ without the
// variable), whichever root a key names: the roots hold different groups
// ("Recent File List" and "Settings" under one, "DefVals" under the other),
// so the keys and values stay exactly as they were.

#include <QString>
#include <QStringList>

#include <memory>

class QSettings;

namespace quorrel::platform {

// $XDG_CONFIG_HOME/quorrel
QString SettingsFolder();
// The file of the settings of `application` in that folder: "quorrel.conf".
QString SettingsFile(const QString& application);

// The settings of `application` under the settings root `root`.
std::unique_ptr<QSettings> OpenSettings(const QString& root, const QString& application);

// Earlier versions kept each root's settings in a folder of its own,
// $XDG_CONFIG_HOME/<root>/<application>.conf. Moves them into the settings
// file once: each key the file does not hold yet is copied, and when the
// file has been written the old file is removed, with its folder if that is
// left empty. An old name that is not a regular file (a pipe, a device, a
// folder) or is larger than any settings file is left alone, unread.
// Returns the number of old files moved.
int MoveEarlierSettings(const QStringList& roots, const QString& application);

} // namespace quorrel::platform
