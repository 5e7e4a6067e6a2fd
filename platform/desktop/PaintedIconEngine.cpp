#include "PaintedIconEngine.h"

#include "Artwork.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>

namespace quorrel::desktop {

namespace {

// Disabled images: grey and half transparent.
void MakeDisabled(QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            const int alpha = qAlpha(p) / 2;
            // Premultiplied pixels: grey level scaled with the new alpha.
            const int grey = qGray(qRed(p), qGreen(p), qBlue(p)) / 2;
            line[x] = qRgba(grey, grey, grey, alpha);
        }
    }
}

} // namespace

PaintedIconEngine::PaintedIconEngine(int artworkId) : m_artworkId(artworkId) {}

void PaintedIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state)
{
    if (mode == QIcon::Disabled) {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap pm = pixmap(rect.size() * ratio, mode, state);
        pm.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect, pm);
        return;
    }
    painter->save();
    PaintArtwork(*painter, m_artworkId, QRectF(rect));
    painter->restore();
}

QPixmap PaintedIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State)
{
    if (size.isEmpty())
        return {};
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        PaintArtwork(painter, m_artworkId, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    if (mode == QIcon::Disabled)
        MakeDisabled(image);
    return QPixmap::fromImage(image);
}

QSize PaintedIconEngine::actualSize(const QSize& size, QIcon::Mode, QIcon::State)
{
    return size;
}

QList<QSize> PaintedIconEngine::availableSizes(QIcon::Mode, QIcon::State)
{
    return {QSize(16, 16), QSize(22, 22), QSize(24, 24), QSize(32, 32), QSize(48, 48),
            QSize(64, 64), QSize(128, 128), QSize(256, 256)};
}

QIconEngine* PaintedIconEngine::clone() const
{
    return new PaintedIconEngine(m_artworkId);
}

QString PaintedIconEngine::key() const
{
    return QStringLiteral("quorrel-painted");
}

bool PaintedIconEngine::isNull()
{
    return false;
}

} // namespace quorrel::desktop
