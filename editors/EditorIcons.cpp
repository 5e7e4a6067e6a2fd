#include "EditorIcons.h"

#include "SymmetryItems.h"

#include "controls/Contrast.h"

#include <QGuiApplication>

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <QTransform>

#include <functional>
#include <vector>

namespace quorrel::editors {

namespace {

using PaintFunction = std::function<void(QPainter&, const QRectF&, QIcon::Mode)>;

// An icon engine that paints its picture at whatever pixel size and density
// it is asked for.
class PaintedIconEngine final : public QIconEngine {
public:
    explicit PaintedIconEngine(PaintFunction paint)
        : m_paint(std::move(paint))
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        m_paint(*painter, QRectF(rect), mode);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override
    {
        QPixmap pixmap(size * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QIconEngine* clone() const override { return new PaintedIconEngine(m_paint); }

private:
    PaintFunction m_paint;
};

QIcon Painted(PaintFunction paint)
{
    return QIcon(new PaintedIconEngine(std::move(paint)));
}

// The palette colour the icons sit on: the dialog's face, or a button's.
QColor Background(QPalette::ColorRole role)
{
    return QGuiApplication::palette().color(role);
}

// A greyed mark on `background`: its own colour moved just far enough from
// the background to be seen, so that it stays behind every enabled mark,
// on a light palette as on a dark one.
QColor Faint(const QColor& background)
{
    return controls::LegibleOn(background, background, controls::kFaintContrast);
}

QColor Ink(QIcon::Mode mode, QColor normal, const QColor& background = Background(QPalette::Window))
{
    return mode == QIcon::Disabled ? Faint(background) : normal;
}

// Maps the unit square (0..1, y down) into the icon rectangle, kept square
// and centred.
QTransform UnitSquare(const QRectF& rect, qreal margin)
{
    const qreal side = std::min(rect.width(), rect.height()) - 2 * margin;
    QTransform t;
    t.translate(rect.center().x() - side / 2, rect.center().y() - side / 2);
    t.scale(side, side);
    return t;
}

void PaintTriangle(QPainter& p, const QRectF& rect, QIcon::Mode mode)
{
    const QTransform t = UnitSquare(rect, 1);
    QPolygonF tri({QPointF(0.2, 0.32), QPointF(0.8, 0.32), QPointF(0.5, 0.72)});
    p.setPen(Qt::NoPen);
    p.setBrush(Ink(mode, controls::LegibleOn(QColor(30, 30, 30), Background(QPalette::Button)),
                   Background(QPalette::Button)));
    p.drawPolygon(t.map(tri));
}

void PaintColumnHeading(QPainter& p, const QRectF& rect, QIcon::Mode mode, int column)
{
    const QTransform t = UnitSquare(rect, 1.5);
    const qreal unit = t.m11();
    p.setBrush(Qt::white);
    p.setPen(QPen(Ink(mode, QColor(70, 70, 70), Qt::white), std::max<qreal>(1.0, unit / 16)));
    p.drawRect(t.mapRect(QRectF(0, 0, 1, 1)));
    QPen line(Ink(mode, QColor(200, 40, 40), Qt::white), std::max<qreal>(1.2, unit / 10));
    line.setCapStyle(Qt::RoundCap);
    line.setJoinStyle(Qt::RoundJoin);
    p.setPen(line);
    p.setBrush(Qt::NoBrush);
    switch (column) {
    case 0: p.drawLine(t.map(QLineF(0, 0.5, 1, 0.5))); break;
    case 1: p.drawLine(t.map(QLineF(0.5, 0, 0.5, 1))); break;
    case 2: p.drawLine(t.map(QLineF(0, 1, 1, 0))); break;    // lower left to upper right
    case 3: p.drawLine(t.map(QLineF(0, 0, 1, 1))); break;    // upper left to lower right
    case 4:
        p.drawPolyline(t.map(QPolygonF({QPointF(0.22, 0.28), QPointF(0.68, 0.28),
                                        QPointF(0.32, 0.72), QPointF(0.78, 0.72)})));
        break;
    case 5: {
        // A toy pinwheel: four triangular blades turning around the centre.
        p.setPen(QPen(Ink(mode, QColor(200, 40, 40), Qt::white), std::max<qreal>(0.8, unit / 20)));
        p.setBrush(Ink(mode, QColor(230, 120, 110), Qt::white));
        const QPolygonF blade({QPointF(0.5, 0.5), QPointF(0.5, 0.12), QPointF(0.76, 0.38)});
        for (int quarter = 0; quarter < 4; ++quarter) {
            QTransform turn;
            turn.translate(0.5, 0.5);
            turn.rotate(90.0 * quarter);
            turn.translate(-0.5, -0.5);
            p.drawPolygon(t.map(turn.map(blade)));
        }
        break;
    }
    default: break;
    }
}

void PaintValue(QPainter& p, const QRectF& rect, QIcon::Mode mode, int value, bool grey)
{
    const QTransform t = UnitSquare(rect, 1);
    // Dark blue on a light dialog, a light blue on a dark one, well ahead
    // of the greyed marks of a cleared component.
    const QColor face = Background(QPalette::Window);
    const QColor colour = grey ? Faint(face) : Ink(mode, controls::LegibleOn(QColor(20, 20, 120), face,
                                                                             controls::kStrongContrast));
    QPen pen(colour, std::max<qreal>(1.5, t.m11() / 7));
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    if (value == 0) {
        p.drawEllipse(t.mapRect(QRectF(0.3, 0.3, 0.4, 0.4)));
        return;
    }
    p.drawLine(t.map(QLineF(0.2, 0.5, 0.8, 0.5)));
    if (value > 0)
        p.drawLine(t.map(QLineF(0.5, 0.2, 0.5, 0.8)));
}

// One element of the symmetry group: (u, v) -> (a u + b v, c u + d v), and
// the sign the value takes there.
struct GroupElement {
    int a, b, c, d;
    int sign;
    bool SameMap(const GroupElement& o) const
    {
        return a == o.a && b == o.b && c == o.c && d == o.d;
    }
    GroupElement Then(const GroupElement& g) const
    {
        // g after this
        return {g.a * a + g.b * c, g.a * b + g.b * d, g.c * a + g.d * c, g.c * b + g.d * d,
                sign * g.sign};
    }
};

// The maps of the six symmetry columns, in column order.
constexpr GroupElement kColumnMaps[6] = {
    {1, 0, 0, -1, 1},   // v -> -v
    {-1, 0, 0, 1, 1},   // u -> -u
    {0, -1, -1, 0, 1},  // (u, v) -> (-v, -u)
    {0, 1, 1, 0, 1},    // (u, v) -> (v, u)
    {-1, 0, 0, -1, 1},  // half turn
    {0, -1, 1, 0, 1},   // quarter turn
};

// The group the item's symmetries generate. Empty when they contradict
// each other (the only such value is zero everywhere).
std::vector<GroupElement> SymmetryGroup(int item)
{
    const SymmetryRow& row = SymmetryItemValues(item);
    std::vector<GroupElement> generators;
    for (int s = 0; s < 6; ++s) {
        if (row[static_cast<size_t>(s)] != 0) {
            GroupElement g = kColumnMaps[s];
            g.sign = row[static_cast<size_t>(s)];
            generators.push_back(g);
        }
    }
    std::vector<GroupElement> group{{1, 0, 0, 1, 1}};
    for (size_t i = 0; i < group.size(); ++i) {
        for (const GroupElement& g : generators) {
            const GroupElement next = group[i].Then(g);
            bool known = false;
            for (const GroupElement& e : group) {
                if (e.SameMap(next)) {
                    if (e.sign != next.sign)
                        return {};
                    known = true;
                }
            }
            if (!known)
                group.push_back(next);
        }
    }
    return group;
}

void PaintSymmetryPicture(QPainter& p, const QRectF& rect, QIcon::Mode mode, int item)
{
    // Tile coordinates as the renderer lays them out: u to the right, v
    // downwards (pixel rows run down), the square -1..1. So the reflection
    // (u, v) -> (v, u) is drawn across the diagonal from upper left to lower
    // right, as column heading 903 shows it.
    const qreal side = std::min(rect.width(), rect.height()) - 2;
    QTransform tile;
    tile.translate(rect.center().x(), rect.center().y());
    tile.scale(side / 2, side / 2);

    const bool disabled = mode == QIcon::Disabled;
    p.setPen(Qt::NoPen);
    p.setBrush(disabled ? QColor(240, 240, 240) : QColor(Qt::white));
    p.drawRect(tile.mapRect(QRectF(-1, -1, 2, 2)));

    // Faint axes and diagonals for orientation.
    QPen guide(QColor(215, 215, 215), 0);
    p.setPen(guide);
    p.drawLine(tile.map(QLineF(-1, 0, 1, 0)));
    p.drawLine(tile.map(QLineF(0, -1, 0, 1)));

    // The motif: a chiral flag inside the wedge 0 < v < u, so that all eight
    // of its images under the square's symmetries are distinct and apart.
    QPainterPath motif;
    motif.moveTo(0.16, 0.05);
    motif.lineTo(0.94, 0.13);
    motif.lineTo(0.86, 0.60);
    motif.quadTo(0.64, 0.36, 0.46, 0.41);
    motif.closeSubpath();
    QPainterPath dot;
    dot.addEllipse(QPointF(0.76, 0.28), 0.08, 0.08);

    const QColor keep = disabled ? QColor(150, 150, 150) : QColor(40, 100, 210);
    const QColor flip = disabled ? QColor(200, 200, 200) : QColor(245, 190, 20);
    const QColor outline = disabled ? QColor(120, 120, 120) : QColor(40, 40, 40);
    const std::vector<GroupElement> group = SymmetryGroup(item);
    for (const GroupElement& g : group) {
        const QTransform map(g.a, g.c, g.b, g.d, 0, 0);
        const QTransform full = map * tile;
        p.setPen(QPen(outline, 0.8));
        p.setBrush(g.sign > 0 ? keep : flip);
        p.drawPath(full.map(motif));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(full.map(dot));
    }

    p.setPen(QPen(QColor(90, 90, 90), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(tile.mapRect(QRectF(-1, -1, 2, 2)));
}

} // namespace

QIcon EditorIcon(int id)
{
    if (id == kTriangleIcon)
        return Painted(PaintTriangle);
    if (id >= kSymmetryColumnIcon && id <= kSymmetryColumnIcon + 5) {
        const int column = id - kSymmetryColumnIcon;
        return Painted([column](QPainter& p, const QRectF& r, QIcon::Mode m) {
            PaintColumnHeading(p, r, m, column);
        });
    }
    for (const int base : {kValueIcon, kGreyValueIcon}) {
        if (id >= base - 1 && id <= base + 1) {
            const int value = id - base;
            const bool grey = base == kGreyValueIcon;
            return Painted([value, grey](QPainter& p, const QRectF& r, QIcon::Mode m) {
                PaintValue(p, r, m, value, grey);
            });
        }
    }
    return {};
}

QIcon SymmetryPicture(int item)
{
    return Painted([item](QPainter& p, const QRectF& r, QIcon::Mode m) {
        PaintSymmetryPicture(p, r, m, item);
    });
}

} // namespace quorrel::editors
