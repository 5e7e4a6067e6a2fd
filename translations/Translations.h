#pragma once
// The editor's user interface in the user's language: Qt's own texts
// (standard dialogs and buttons, from Qt's translations folder, e.g.
// Debian's qt6-translations-l10n) and the editor's (built into it).

#include <QLocale>
#include <QString>

class QCoreApplication;

namespace quorrel::translations {

// The languages the editor's own catalogue is written in ("de"), English
// (the source texts) not counted.
QStringList AvailableLanguages();

// Installs the translators for `locale` (by default the user's, from
// LANGUAGE, LC_ALL, LC_MESSAGES and LANG) on `app`; what is missing for a
// language is simply not installed, leaving those texts in English. Returns
// the number of catalogues installed.
int InstallTranslators(QCoreApplication& app, const QLocale& locale = QLocale());

} // namespace quorrel::translations
