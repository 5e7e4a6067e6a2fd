#include "Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace quorrel::translations {

namespace {

// Where lrelease's catalogues are built into the editor.
const QString kOwnCatalogues = QStringLiteral(":/quorrel/translations");

} // namespace

QStringList AvailableLanguages()
{
    QStringList languages;
    const QStringList files = QDir(kOwnCatalogues).entryList({QStringLiteral("quorrel_*.qm")}, QDir::Files, QDir::Name);
    for (const QString& file : files)
        languages << file.mid(8, file.size() - 8 - 3);
    return languages;
}

int InstallTranslators(QCoreApplication& app, const QLocale& locale)
{
    int installed = 0;
    // QTranslator::load(locale, ...) walks the locale's UI languages
    // ("de-DE", "de") and takes the first catalogue found. An English
    // locale loads nothing: the source texts are English.
    const auto install = [&](const QString& name, const QString& folder) {
        auto* translator = new QTranslator(&app);
        if (translator->load(locale, name, QStringLiteral("_"), folder) && !translator->isEmpty()
            && QCoreApplication::installTranslator(translator)) {
            ++installed;
        } else {
            delete translator;
        }
    };
    install(QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    install(QStringLiteral("quorrel"), kOwnCatalogues);
    return installed;
}

} // namespace quorrel::translations
