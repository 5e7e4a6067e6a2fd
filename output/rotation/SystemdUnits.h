#pragma once
// The systemd user units of a rotation where the desktop has no slide show
// of its own: a timer that starts a one-shot service at login and then at
// each interval; the service runs quorrel-render, which sets the wallpaper.
// On wlroots compositors other than sway the wallpaper shows only while a
// swaybg runs, so a third unit keeps one running and the service restarts it
// on the new image.

#include <QString>
#include <QList>
#include <QPair>
#include <QStringList>

#include <optional>

namespace quorrel::output::rotation {

inline const QString kTimerUnit = QStringLiteral("quorrel-rotation.timer");
inline const QString kServiceUnit = QStringLiteral("quorrel-rotation.service");
inline const QString kSwaybgUnit = QStringLiteral("quorrel-rotation-swaybg.service");

struct CUnitPlan {
    QStringList command;    // the absolute program, then its arguments
    int intervalSeconds = 0;
    QString swaybgImage;    // not empty: the image a swaybg unit of its own shows
    // Variables the service runs with (the XDG_* folders the rotation was
    // made with, which a user manager may not have).
    QList<QPair<QString, QString>> environment;
};

struct CUnitFile {
    QString name;   // kTimerUnit, ...
    QString text;
};

// The units' texts, or nothing with a reason when a word cannot be written
// in a unit (a control character, a program that is not an absolute path or
// whose path systemd does not take: a quote or a backslash in it).
std::optional<QList<CUnitFile>> UnitFiles(const CUnitPlan& plan, QString& error);

// One word as a unit's command line reads it: plain, or in double quotes with
// \ and " escaped; % and $ doubled so systemd expands nothing. Nothing for a
// word with a control character.
std::optional<QString> UnitWord(const QString& word);
// The program's path as the first word of a command line: systemd expands
// specifiers there (% doubled) but no variables ($ stays single), and takes
// no quote or backslash in it (nothing then).
std::optional<QString> UnitProgram(const QString& path);

} // namespace quorrel::output::rotation
