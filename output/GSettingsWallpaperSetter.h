#pragma once
// Desktops whose background lives in GSettings: GNOME and its relatives,
// Cinnamon, MATE. They read BMP and watch the file, so a new tile under the
// same name shows up.

#include "ProcessRunner.h"
#include "WallpaperSetter.h"

#include <QMap>
#include <QObject>
#include <QStringList>

namespace quorrel::output {

class CGSettingsWallpaperSetter final : public IWallpaperSetter {
public:
    struct CSchema {
        QString schema;               // "org.gnome.desktop.background"
        QStringList pictureKeys;      // "picture-uri"
        QStringList optionalKeys;     // set as well where the schema has them: "picture-uri-dark"
        bool pictureAsUrl = true;     // file URL, or a plain path (MATE)
        QString dconfPath;            // where dconf keeps the schema: "/org/gnome/desktop/background/"
    };
    static CSchema Gnome();
    static CSchema Cinnamon();
    static CSchema Mate();

    CGSettingsWallpaperSetter(IProcessRunner& runner, CSchema schema) : m_runner(runner), m_schema(std::move(schema)) {}

    bool UsesSessionBus() const override { return true; }   // dconf stores through it
    // picture-options 'wallpaper': the desktops' name for tiled.
    void SetTiledMode(StepDone done) override;
    // The picture keys, then the settings read back: a value gsettings did
    // not store is a failure.
    void Load(const CWallpaperFiles& files, StepDone done) override;

    // "SCHEMA KEY VALUE" lines of gsettings list-recursively: KEY -> VALUE.
    static QMap<QString, QString> ParseSettingsList(const QString& list);
    // The text of a GVariant string literal ('a\'b' -> a'b); other text as it is.
    static QString GVariantText(const QString& literal);

private:
    CHelperCall Set(const QString& key, const QString& value, bool optional = false) const;
    void ReadBack(const QMap<QString, QString>& expected, const CStepOutcome& soFar, const StepDone& done);

    IProcessRunner& m_runner;
    CSchema m_schema;
    QObject m_context;   // last: gone first, so no helper reports to a dead setter
};

} // namespace quorrel::output
