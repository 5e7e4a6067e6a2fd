#include "Artwork.h"

#include "PaintedIconEngine.h"
#include "ToolbarCommands.h"

#include "controls/Contrast.h"

#include <QGuiApplication>

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPolygonF>
#include <QRadialGradient>

#include <algorithm>

namespace quorrel::desktop {

namespace {

// Every image is drawn on a 16 x 16 grid. Outlines run through pixel
// centres (x.5) with a one-unit pen, so at 16 and 32 pixels they fall on
// whole pixels.
const QColor kDarkInk(0x2b, 0x2b, 0x2b);
const QColor kDarkBlue(0x2f, 0x6f, 0xc4);
const QColor kPaper(0xff, 0xff, 0xff);
const QColor kPaperShade(0xe4, 0xe8, 0xee);
const QColor kFolder(0xf2, 0xc1, 0x4e);
const QColor kFolderDark(0xd4, 0x9a, 0x1e);
const QColor kLightBlue(0xa9, 0xcb, 0xf2);
const QColor kGreen(0x3d, 0xa3, 0x4a);
const QColor kRed(0xd0, 0x3b, 0x35);
const QColor kGrey(0x8a, 0x8f, 0x96);
const QColor kLightGrey(0xc9, 0xcd, 0xd3);

// The outline and the accent of the image being painted, chosen against
// the background it will sit on (the toolbar's, from the palette): dark ink
// and blue on a light theme, light ink and a lighter blue on a dark one.
// Marks on the images' own light surfaces (a lens, a screen) keep the dark
// ink.
QColor g_ink = kDarkInk;
QColor g_blue = kDarkBlue;
QColor g_blueEdge = kDarkBlue.darker(130);
QColor g_green = kGreen;

void ChooseColoursFor(const QColor& background)
{
    g_ink = controls::LegibleOn(kDarkInk, background, controls::kTextContrast);
    g_blue = controls::LegibleOn(kDarkBlue, background, controls::kMarkContrast);
    g_blueEdge = controls::LegibleOn(kDarkBlue.darker(130), background, controls::kMarkContrast);
    g_green = controls::LegibleOn(kGreen, background, controls::kMarkContrast);
}

QPen Ink(qreal width = 1.0, const QColor& color = g_ink)
{
    QPen pen(color, width);
    pen.setJoinStyle(Qt::MiterJoin);
    pen.setCapStyle(Qt::SquareCap);
    return pen;
}

void Box(QPainter& p, const QRectF& r, const QColor& fill, const QPen& pen = Ink())
{
    p.setPen(pen);
    p.setBrush(fill);
    p.drawRect(r);
}

void Shape(QPainter& p, const QPolygonF& poly, const QColor& fill, const QPen& pen = Ink())
{
    p.setPen(pen);
    p.setBrush(fill);
    p.drawPolygon(poly);
}

void Line(QPainter& p, QPointF a, QPointF b, const QPen& pen = Ink())
{
    p.setPen(pen);
    p.drawLine(a, b);
}

void Dot(QPainter& p, QPointF centre, qreal radius, const QColor& color)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(centre, radius, radius);
}

// Four copies of one radial motif: the repeat of a seamless tile, cut to
// `shape` when one is given. The cut is made with path intersections rather
// than a clip, so the icon exports to SVG (which the SVG generator writes
// without clips) as it paints.
void TileMotif(QPainter& p, const QRectF& area, const QPainterPath& shape = QPainterPath())
{
    const qreal w = area.width() / 2;
    const qreal h = area.height() / 2;
    p.save();
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 2; ++i) {
        for (int j = 0; j < 2; ++j) {
            const QRectF cell(area.left() + i * w, area.top() + j * h, w, h);
            QRadialGradient g(cell.center(), std::max(w, h) * 0.75);
            g.setColorAt(0.0, QColor(0xff, 0xe0, 0x6a));
            g.setColorAt(0.35, QColor(0xf0, 0x6b, 0x3a));
            g.setColorAt(0.7, QColor(0x9b, 0x3f, 0xb5));
            g.setColorAt(1.0, QColor(0x2c, 0x5b, 0xc9));
            p.setBrush(g);
            if (shape.isEmpty()) {
                p.drawRect(cell);
            } else {
                QPainterPath cellPath;
                cellPath.addRect(cell);
                p.drawPath(shape.intersected(cellPath));
            }
        }
    }
    p.restore();
}

QPolygonF Page(qreal left, qreal top, qreal right, qreal bottom, qreal fold)
{
    return QPolygonF({{left, top}, {right - fold, top}, {right, top + fold}, {right, bottom}, {left, bottom}});
}

void DrawPage(QPainter& p, qreal left, qreal top, qreal right, qreal bottom, qreal fold)
{
    Shape(p, Page(left, top, right, bottom, fold), kPaper);
    Shape(p, QPolygonF({{right - fold, top}, {right - fold, top + fold}, {right, top + fold}}), kPaperShade);
}

void TextLines(QPainter& p, qreal left, qreal right, std::initializer_list<qreal> ys)
{
    for (const qreal y : ys)
        Line(p, {left, y}, {right, y}, Ink(1.0, kGrey));
}

void Monitor(QPainter& p)
{
    Box(p, QRectF(1.5, 1.5, 13, 10), kDarkInk);
    Shape(p, QPolygonF({{6.5, 11.5}, {9.5, 11.5}, {10.5, 14.5}, {5.5, 14.5}}), kGrey);
    Line(p, {4.5, 14.5}, {11.5, 14.5});
}

void Magnifier(QPainter& p)
{
    p.setPen(Ink(2.0, g_ink));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(10.5, 10.5), QPointF(14.0, 14.0));
    p.setPen(Ink(1.0));
    p.setBrush(kLightBlue);
    p.drawEllipse(QPointF(6.5, 6.5), 5.0, 5.0);
}

void CurvedArrow(QPainter& p, bool toLeft)
{
    p.save();
    if (!toLeft) {
        p.translate(16, 0);
        p.scale(-1, 1);
    }
    QPainterPath arc;
    arc.moveTo(13.0, 13.0);
    arc.cubicTo(14.5, 7.0, 9.0, 3.5, 4.5, 7.0);
    QPen pen(g_blue, 2.0);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    Shape(p, QPolygonF({{1.0, 10.5}, {2.5, 3.5}, {8.0, 8.5}}), g_blue, QPen(g_blue, 0.5));
    p.restore();
}

void Pips(QPainter& p, const QRectF& face, std::initializer_list<QPointF> where, qreal radius, const QColor& color)
{
    for (const QPointF& f : where)
        Dot(p, QPointF(face.left() + f.x() * face.width(), face.top() + f.y() * face.height()), radius, color);
}

// An arrow from the centre into a corner (Full Screen); dx, dy = +-1 point
// away from the corner.
void Corner(QPainter& p, QPointF corner, qreal dx, qreal dy)
{
    Shape(p, QPolygonF({corner, {corner.x() + 5 * dx, corner.y()}, {corner.x(), corner.y() + 5 * dy}}), kDarkBlue, Qt::NoPen);
    QPen pen(kDarkBlue, 1.5);
    pen.setCapStyle(Qt::FlatCap);
    Line(p, {corner.x() + 2 * dx, corner.y() + 2 * dy}, {corner.x() + 5.5 * dx, corner.y() + 5.5 * dy}, pen);
}

void PaintGlyph(QPainter& p, int id)
{
    switch (id) {
    case ID_FILE_NEW:
        DrawPage(p, 3.5, 1.5, 12.5, 14.5, 3);
        Dot(p, {4.5, 3.0}, 1.6, kFolder);
        break;
    case ID_FILE_OPEN:
        Shape(p, QPolygonF({{1.5, 13.5}, {1.5, 3.5}, {5.5, 3.5}, {6.5, 4.5}, {12.5, 4.5}, {12.5, 7.5}, {3.5, 7.5}}), kFolderDark);
        Shape(p, QPolygonF({{1.5, 13.5}, {3.5, 7.5}, {15.0, 7.5}, {12.5, 13.5}}), kFolder);
        Line(p, {9.5, 1.0}, {11.5, 3.0}, Ink(1.0, g_green));
        Line(p, {11.5, 3.0}, {13.5, 1.0}, Ink(1.0, g_green));
        break;
    case ID_FILE_SAVE:
        Shape(p, QPolygonF({{1.5, 1.5}, {13.5, 1.5}, {14.5, 2.5}, {14.5, 14.5}, {1.5, 14.5}}), g_blue);
        Box(p, QRectF(4.5, 1.5, 7, 5), kLightGrey);
        Box(p, QRectF(8.5, 2.5, 1, 3), kDarkInk, Qt::NoPen);
        Box(p, QRectF(3.5, 9.5, 9, 5), kPaper);
        break;
    case ID_EXPORT_IMAGE:
        Box(p, QRectF(1.5, 1.5, 10, 9), kLightBlue);
        Shape(p, QPolygonF({{2.0, 10.0}, {5.0, 6.0}, {7.0, 8.0}, {8.5, 6.5}, {11.0, 10.0}}), kGreen, Qt::NoPen);
        Dot(p, {8.5, 4.0}, 1.3, kFolder);
        Shape(p, QPolygonF({{6.5, 11.5}, {11.5, 11.5}, {11.5, 9.5}, {15.0, 12.5}, {11.5, 15.5}, {11.5, 13.5}, {6.5, 13.5}}), kRed, Ink(0.75, g_ink));
        break;
    case ID_SET_AS_WALLPAPER:
        Monitor(p);
        TileMotif(p, QRectF(2.0, 2.0, 12, 9));
        break;
    case ID_FILE_PRINT:
        Box(p, QRectF(4.5, 1.5, 7, 5), kPaper);
        Box(p, QRectF(1.5, 6.5, 13, 6), kLightGrey);
        Dot(p, {12.5, 8.5}, 0.9, kGreen);
        Box(p, QRectF(4.5, 10.5, 7, 4), kPaper);
        TextLines(p, 6.0, 10.0, {12.5});
        break;
    case ID_EDIT_UNDO:
        CurvedArrow(p, true);
        break;
    case ID_EDIT_REDO:
        CurvedArrow(p, false);
        break;
    case ID_EDIT_COPY:
        DrawPage(p, 1.5, 1.5, 9.5, 11.5, 2);
        TextLines(p, 3.0, 7.0, {4.5, 6.5});
        DrawPage(p, 6.5, 4.5, 14.5, 14.5, 2);
        TextLines(p, 8.0, 13.0, {7.5, 9.5, 11.5});
        break;
    case ID_PROPERTIES:
        Box(p, QRectF(1.5, 1.5, 5, 2), kPaper);
        Box(p, QRectF(1.5, 3.5, 13, 11), kPaper);
        for (const auto& [y, knob] : {std::pair{6.5, 5.0}, std::pair{9.5, 10.0}, std::pair{12.5, 7.5}}) {
            Line(p, {3.5, y}, {12.5, y}, Ink(1.0, kGrey));
            Box(p, QRectF(knob - 1.0, y - 1.5, 2, 3), kDarkBlue, Qt::NoPen);
        }
        break;
    case ID_COEFFICIENTS:
        Box(p, QRectF(1.5, 1.5, 13, 13), kPaper);
        p.setPen(Qt::NoPen);
        p.setBrush(kLightBlue);
        p.drawRect(QRectF(2.0, 2.0, 12, 3));
        p.drawRect(QRectF(2.0, 2.0, 4, 12));
        Line(p, {1.5, 5.5}, {14.5, 5.5});
        Line(p, {6.5, 1.5}, {6.5, 14.5});
        Line(p, {10.5, 1.5}, {10.5, 14.5}, Ink(1.0, kGrey));
        Line(p, {1.5, 9.5}, {14.5, 9.5}, Ink(1.0, kGrey));
        p.setPen(Ink());
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        break;
    case ID_RANDOM_GENERATION: {
        p.setPen(Ink());
        p.setBrush(kPaper);
        const QRectF face(1.5, 1.5, 13, 13);
        p.drawRoundedRect(face, 2.5, 2.5);
        Pips(p, face, {{0.25, 0.25}, {0.75, 0.25}, {0.5, 0.5}, {0.25, 0.75}, {0.75, 0.75}}, 1.35, kRed);
        break;
    }
    case ID_SLIDE_SHOW:
        Box(p, QRectF(0.5, 2.5, 15, 11), kDarkInk);
        for (int i = 0; i < 5; ++i) {
            p.setPen(Qt::NoPen);
            p.setBrush(kPaper);
            p.drawRect(QRectF(1.5 + i * 3, 3.0, 1.5, 1.0));
            p.drawRect(QRectF(1.5 + i * 3, 12.0, 1.5, 1.0));
        }
        TileMotif(p, QRectF(2.0, 4.5, 12, 7));
        Shape(p, QPolygonF({{6.0, 5.5}, {11.0, 8.0}, {6.0, 10.5}}), kPaper, Ink(0.75, kDarkInk));
        break;
    case ID_RANDOM_DESKTOP: {
        Monitor(p);
        TileMotif(p, QRectF(2.0, 2.0, 12, 9));
        const QRectF die(5.0, 3.0, 6, 6);
        p.setPen(Ink(0.75));
        p.setBrush(kPaper);
        p.drawRoundedRect(die, 1.2, 1.2);
        Pips(p, die, {{0.27, 0.27}, {0.5, 0.5}, {0.73, 0.73}}, 0.75, kRed);
        break;
    }
    case ID_ZOOM_IN:
        Magnifier(p);
        Line(p, {4.0, 6.5}, {9.0, 6.5}, QPen(kDarkInk, 1.5));
        Line(p, {6.5, 4.0}, {6.5, 9.0}, QPen(kDarkInk, 1.5));
        break;
    case ID_ZOOM_OUT:
        Magnifier(p);
        Line(p, {4.0, 6.5}, {9.0, 6.5}, QPen(kDarkInk, 1.5));
        break;
    case ID_ZOOM_NORMAL:
        Magnifier(p);
        Line(p, {6.75, 3.75}, {6.75, 9.5}, QPen(kDarkInk, 1.5));
        Line(p, {5.0, 5.0}, {6.75, 3.75}, QPen(kDarkInk, 1.25));
        break;
    case ID_FULL_SCREEN:
        Box(p, QRectF(1.5, 1.5, 13, 13), kPaper);
        Corner(p, {2.0, 2.0}, 1, 1);
        Corner(p, {14.0, 2.0}, -1, 1);
        Corner(p, {2.0, 14.0}, 1, -1);
        Corner(p, {14.0, 14.0}, -1, -1);
        break;
    case ID_APP_ABOUT:
        p.setPen(Ink(1.0, g_blueEdge));
        p.setBrush(g_blue);
        p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
        Dot(p, {8.0, 4.75}, 1.3, kPaper);
        Box(p, QRectF(7.0, 7.0, 2, 5.5), kPaper, Qt::NoPen);
        break;
    case ID_CONTEXT_HELP: {
        Shape(p, QPolygonF({{1.5, 1.5}, {1.5, 12.5}, {4.0, 10.0}, {6.0, 14.0}, {7.5, 13.25}, {5.5, 9.25}, {9.0, 9.25}}), kPaper);
        QPainterPath hook;
        hook.moveTo(10.0, 4.0);
        hook.cubicTo(10.0, 0.5, 15.5, 0.5, 15.0, 4.0);
        hook.cubicTo(14.75, 5.5, 12.5, 5.75, 12.5, 8.0);
        QPen pen(g_blue, 1.6);
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawPath(hook);
        Dot(p, {12.5, 10.75}, 1.0, g_blue);
        break;
    }
    default:
        break;
    }
}

void PaintApplicationIcon(QPainter& p)
{
    QPainterPath outline;
    outline.addRoundedRect(QRectF(0.5, 0.5, 15, 15), 2.5, 2.5);
    TileMotif(p, QRectF(0.5, 0.5, 15, 15), outline);
    // A soft highlight over the top half.
    QLinearGradient shine(0, 0.5, 0, 8);
    shine.setColorAt(0, QColor(255, 255, 255, 90));
    shine.setColorAt(1, QColor(255, 255, 255, 0));
    QPainterPath topHalf;
    topHalf.addRect(QRectF(0.5, 0.5, 15, 8));
    p.fillPath(outline.intersected(topHalf), shine);
    // A one-pixel border at every size (the grid is scaled to the target).
    const qreal unitsPerPixel = 1.0 / std::max<qreal>(p.transform().m11(), 1e-6);
    p.setPen(QPen(QColor(0x3a, 0x24, 0x5c), std::clamp<qreal>(1.5 * unitsPerPixel, 0.12, 1.0)));
    p.setBrush(Qt::NoBrush);
    p.drawPath(outline);
}

void PaintDocumentIcon(QPainter& p)
{
    DrawPage(p, 2.5, 0.5, 13.5, 15.5, 3.5);
    TileMotif(p, QRectF(4.0, 5.0, 8, 8));
    p.setPen(Ink(0.5, kGrey));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(4.0, 5.0, 8, 8));
}

bool HasGlyph(int id)
{
    return id == 0 || id == -1 || std::find(kToolbarCommands.begin(), kToolbarCommands.end(), id) != kToolbarCommands.end();
}

} // namespace

bool PaintArtwork(QPainter& painter, int commandId, const QRectF& target)
{
    if (!HasGlyph(commandId) || target.isEmpty())
        return false;
    const qreal side = std::min(target.width(), target.height());
    // Painted on the user interface thread only (icons are pixmaps of it).
    ChooseColoursFor(qGuiApp ? QGuiApplication::palette().color(QPalette::Window) : QColor(Qt::white));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(target.left() + (target.width() - side) / 2, target.top() + (target.height() - side) / 2);
    painter.scale(side / 16.0, side / 16.0);
    if (commandId == 0)
        PaintApplicationIcon(painter);
    else if (commandId == -1)
        PaintDocumentIcon(painter);
    else
        PaintGlyph(painter, commandId);
    painter.restore();
    return true;
}

QIcon ApplicationIcon()
{
    return QIcon(new PaintedIconEngine(0));
}

QIcon DocumentIcon()
{
    return QIcon(new PaintedIconEngine(-1));
}

QIcon ToolbarIcon(int commandId)
{
    if (commandId <= 0 || !HasGlyph(commandId))
        return {};
    return QIcon(new PaintedIconEngine(commandId));
}

} // namespace quorrel::desktop
