#include "WallpaperSetter.h"

#include <QUrl>

namespace quorrel::output {

QString GVariantString(const QString& text)
{
    QString quoted = text;
    quoted.replace(u'\\', QLatin1String("\\\\")).replace(u'\'', QLatin1String("\\'"));
    return u'\'' + quoted + u'\'';
}

QString FileUrl(const QString& path)
{
    return QString::fromLatin1(QUrl::fromLocalFile(path).toEncoded());
}

} // namespace quorrel::output
