#include "WallpaperStep.h"

#include "model/StagedFile.h"
#include "output/ErrorMessage.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>

namespace quorrel::tools {

CWallpaperStep::CWallpaperStep() = default;
CWallpaperStep::~CWallpaperStep() = default;

bool CWallpaperStep::Prepare(bool filled, std::string& error)
{
    // The editor's data folder: its application name decides it.
    QCoreApplication::setApplicationName(QStringLiteral("Quorrel"));
    m_wallpaper = std::make_unique<output::CDesktopWallpaper>();
    const output::CDesktopSession& session = m_wallpaper->Session();
    if (!m_wallpaper->HasSetter()) {
        error = session.desktop == output::EDesktop::None
                    ? "--set-wallpaper: no desktop was recognised (no graphical session, no known "
                      "XDG_CURRENT_DESKTOP)"
                    : "--set-wallpaper: there is no way to set the wallpaper on this desktop (" +
                          output::DesktopName(session.desktop).toStdString() + ")";
        return false;
    }
    if (m_wallpaper->EndsWithProcess()) {
        error = "--set-wallpaper: on this desktop (" + output::DesktopName(session.desktop).toStdString() +
                ") a wallpaper shows only while the program that set it runs, and this one ends now; use the "
                "editor's Set As Wallpaper, or swaybg -m tile -i FILE";
        return false;
    }
    if (m_wallpaper->NeedsScreenSize() && !filled) {
        error = "--set-wallpaper: this desktop (" + output::DesktopName(session.desktop).toStdString() +
                ") cannot tile a wallpaper; give --fill WIDTHxHEIGHT with the screen's size";
        return false;
    }
    const QString file = m_wallpaper->Files().bmp;
    if (!QDir().mkpath(QFileInfo(file).path())) {
        error = QFileInfo(file).path().toStdString() + ": the folder could not be made";
        return false;
    }
    // Proves that the file can be written; the setter writes it itself.
    model::CFileError failure;
    if (!model::CStagedFile::Create(QFile::encodeName(file).toStdString(), failure)) {
        error = failure.message;
        return false;
    }
    return true;
}

bool CWallpaperStep::Set(const QImage& image, QSize screen, std::string& error)
{
    if (!m_wallpaper) {
        error = "--set-wallpaper: not prepared";
        return false;
    }
    QEventLoop loop;
    output::CWallpaperResult result;
    m_wallpaper->Set({image, screen}, [&](const output::CWallpaperResult& answer) {
        result = answer;
        loop.quit();
    });
    loop.exec();
    if (result.WallpaperSet() && result.saveStatus == output::kStatusOk)
        return true;
    error = WallpaperFailureLine(result);
    return false;
}

std::string WallpaperFailureLine(const output::CWallpaperResult& result)
{
    QString desktop = output::DesktopName(result.session.desktop);
    if (!result.session.name.isEmpty())
        desktop += QStringLiteral(" (%1)").arg(result.session.name);
    QString line = QStringLiteral("the wallpaper could not be set on %1: ").arg(desktop);
    if (result.saveStatus != output::kStatusOk) {
        line += QStringLiteral("%1 could not be written (%2)")
                    .arg(result.imagePath, output::ErrorMessageText(result.saveStatus));
        if (!result.problem.isEmpty())
            line += QStringLiteral("; ") + result.problem;
    } else {
        line += result.problem + QStringLiteral(" (");
        if (!result.tried.isEmpty())
            line += QStringLiteral("tried: ") + result.tried.join(QStringLiteral("; ")) + QStringLiteral("; ");
        line += QStringLiteral("the image is in %1)").arg(result.imagePath);
    }
    line.replace(u'\n', u' ');
    return line.toStdString();
}

} // namespace quorrel::tools
