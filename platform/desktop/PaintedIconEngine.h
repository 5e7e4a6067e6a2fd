#pragma once
// A QIconEngine that paints its image in code at whatever pixel size is
// asked for, so toolbar images stay crisp at 1x, 2x and beyond.

#include <QIconEngine>

namespace quorrel::desktop {

class PaintedIconEngine final : public QIconEngine {
public:
    // `artworkId` as for PaintArtwork().
    explicit PaintedIconEngine(int artworkId);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QIconEngine* clone() const override;
    QString key() const override;
    bool isNull() override;

private:
    int m_artworkId;
};

} // namespace quorrel::desktop
