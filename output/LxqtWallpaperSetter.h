#pragma once
// LXQt: the running pcmanfm-qt desktop is told the file and the tiled mode.
// pcmanfm-qt shows the tiling but stores its old mode, so the setter also
// writes WallpaperMode=tile into each profile's settings file.

#include "ProcessRunner.h"
#include "WallpaperSetter.h"

#include <QByteArray>
#include <QObject>
#include <QString>

namespace quorrel::output {

class CLxqtWallpaperSetter final : public IWallpaperSetter {
public:
    // `configFolder`: the user's configuration folder ($XDG_CONFIG_HOME or
    // ~/.config), which holds pcmanfm-qt/<profile>/settings.conf.
    CLxqtWallpaperSetter(IProcessRunner& runner, QString configFolder)
        : m_runner(runner), m_configFolder(std::move(configFolder))
    {
    }

    void Load(const CWallpaperFiles& files, StepDone done) override;

    // `ini` with `key`=`value` in [`section`]: the line replaced where the
    // key is there, otherwise added at the end of the section. Every other
    // byte stays as it was.
    static QByteArray WithIniValue(const QByteArray& ini, const QByteArray& section, const QByteArray& key,
                                   const QByteArray& value);

private:
    // The profiles' settings files that have a [Desktop] section; the
    // problem in words when one cannot be rewritten.
    QString StoreTileMode() const;

    IProcessRunner& m_runner;
    QString m_configFolder;
    QObject m_context;   // last: gone first, so no helper reports to a dead setter
};

} // namespace quorrel::output
