#include "WallpaperResult.h"

#include <QCoreApplication>
#include <QDir>

#include <algorithm>

namespace quorrel::output {

namespace {
// Lines of "Tried" shown; the last ones, where the failure is.
constexpr qsizetype kTriedShown = 6;
}

QString WallpaperFailureText(const CWallpaperResult& result)
{
    QString desktop = DesktopName(result.session.desktop);
    if (!result.session.name.isEmpty())
        desktop += QStringLiteral(" (%1)").arg(result.session.name);
    QString text = QCoreApplication::translate("WallpaperResult", "The wallpaper could not be set.\n\nDesktop: %1, %2.\n")
                       .arg(desktop, SessionName(result.session.session));
    if (result.tried.isEmpty()) {
        text += QCoreApplication::translate("WallpaperResult", "Tried: nothing.\n");
    } else {
        text += QCoreApplication::translate("WallpaperResult", "Tried:\n");
        const qsizetype skipped = std::max<qsizetype>(0, result.tried.size() - kTriedShown);
        if (skipped > 0)
            text += QCoreApplication::translate("WallpaperResult", "  (%1 earlier steps)\n").arg(skipped);
        for (qsizetype i = skipped; i < result.tried.size(); ++i)
            text += QStringLiteral("  %1\n").arg(result.tried[i]);
    }
    text += QCoreApplication::translate("WallpaperResult", "Problem: %1\n\n").arg(result.problem);
    const QString path = QDir::toNativeSeparators(result.imagePath);
    if (result.saveStatus == kStatusOk)
        text += QCoreApplication::translate("WallpaperResult", "The image is in:\n%1\nSet it as a tiled wallpaper by hand.").arg(path);
    else
        text += QCoreApplication::translate("WallpaperResult", "The image could not be written to:\n%1").arg(path);
    return text;
}

} // namespace quorrel::output
