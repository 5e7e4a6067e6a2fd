#include "controls/InfoTip.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QExposeEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <qdrawutil.h>

#include <algorithm>

namespace quorrel::controls {

namespace {

// One border of the 3-D frame; the frame takes three of them on each side.
constexpr int kBorder = 1;
// The tip keeps its bottom this far above the bottom of the screen.
constexpr int kBottomGap = 20;
// Gap between a line's picture and its text.
constexpr int kImageGap = 2;
// The longest a shown tip waits for its window to be exposed.
constexpr int kExposeWaitMs = 250;

} // namespace

CInfoTip::CInfoTip(QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::ToolTipBase));
    pal.setColor(QPalette::WindowText, pal.color(QPalette::ToolTipText));
    setPalette(pal);
    setAutoFillBackground(false);
    hide();
}

CInfoTip::Line CInfoTip::ParseLine(const QString& raw)
{
    Line line;
    QString text = raw;
    if (text.startsWith(QLatin1Char('\r'))) {
        line.separator = true;
        text.remove(0, 1);
    }
    if (text.size() >= 3 && text[0] == QLatin1Char('\a') && text[1].isDigit() && text[2].isDigit()) {
        line.image = text.mid(1, 2).toInt();
        text.remove(0, 3);
    }
    // An empty line still takes the room of one blank.
    line.text = text.isEmpty() ? QStringLiteral(" ") : text;
    return line;
}

int CInfoTip::LineHeight() const
{
    const QFontMetrics fm(font());
    return fm.height() + fm.leading();
}

QSize CInfoTip::ComputeSize() const
{
    const QFontMetrics fm(font());
    int widest = 0;
    int height = 6 * kBorder;
    for (const Line& line : m_lines) {
        int w = fm.horizontalAdvance(line.text);
        int h = LineHeight();
        if (line.image >= 0 && line.image < m_images.size()) {
            const QPixmap& pm = m_images[line.image];
            w += pm.width() + kImageGap;
            h = std::max(h, pm.height());
        }
        widest = std::max(widest, w);
        height += h + (line.separator ? kSeparatorExtra : 0);
    }
    QSize size(widest + 6 * kBorder + 10, height);
    if (m_bShadow)
        size += QSize(kShadowSize, kShadowSize);
    return size;
}

void CInfoTip::SetText(const QString& text)
{
    m_strText = text;
    m_lines.clear();
    for (const QString& raw : text.split(QLatin1Char('\n')))
        m_lines.push_back(ParseLine(raw));
    m_size = ComputeSize();
    resize(m_size);
}

void CInfoTip::Show(const QString& text, QPoint ptGlobal)
{
    if (isVisible() && text == m_strText && ptGlobal == m_ptLast)
        return;
    SetText(text);
    QPoint pos = ptGlobal;
    const QScreen* screen = QGuiApplication::screenAt(ptGlobal);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->geometry();
        if (pos.x() + m_size.width() > area.right() + 1)
            pos.setX(area.right() + 1 - m_size.width());
        if (pos.y() + m_size.height() > area.bottom() + 1 - kBottomGap)
            pos.setY(area.bottom() + 1 - kBottomGap - m_size.height());
        pos.setX(std::max(pos.x(), area.left()));
        pos.setY(std::max(pos.y(), area.top()));
    }
    move(pos);
    const bool wasHidden = !isVisible();
    m_bExposed = false;
    show();
    raise();
    // A window just mapped shows nothing of its own (on X11 an empty black
    // box) until the server exposes it and it is painted: wait for that
    // exposure, then paint, so the tip is drawn when this returns.
    if (QWindow* window = windowHandle(); window && wasHidden) {
        window->removeEventFilter(this);
        window->installEventFilter(this);
        QElapsedTimer waited;
        waited.start();
        while (!m_bExposed && waited.elapsed() < kExposeWaitMs)
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 5);
    }
    repaint();
    m_ptLast = ptGlobal;
}

bool CInfoTip::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == windowHandle() && event->type() == QEvent::Expose
        && !static_cast<QExposeEvent*>(event)->region().isEmpty())
        m_bExposed = true;
    return QWidget::eventFilter(watched, event);
}

void CInfoTip::Hide()
{
    hide();
    m_strText.clear();
    m_lines.clear();
}

void CInfoTip::SetImageList(const QVector<QPixmap>& images)
{
    m_images = images;
    if (!m_strText.isNull())
        SetText(m_strText);
}

void CInfoTip::SetShadow(bool bShadow)
{
    m_bShadow = bShadow;
    if (!m_strText.isNull())
        SetText(m_strText);
}

void CInfoTip::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QRect frame = rect();
    if (m_bShadow) {
        frame.adjust(0, 0, -kShadowSize, -kShadowSize);
        // Dithered shadow: every other pixel darkened.
        QBrush dither(QColor(0, 0, 0, 160), Qt::Dense4Pattern);
        p.fillRect(QRect(frame.right() + 1, frame.top() + kShadowSize, kShadowSize, frame.height()), dither);
        p.fillRect(QRect(frame.left() + kShadowSize, frame.bottom() + 1, frame.width(), kShadowSize), dither);
    }
    p.fillRect(frame, palette().color(QPalette::ToolTipBase));
    qDrawShadePanel(&p, frame, palette(), false, kBorder);
    QRect inner = frame.adjusted(2 * kBorder, 2 * kBorder, -2 * kBorder, -2 * kBorder);
    qDrawShadePanel(&p, inner.adjusted(-kBorder, -kBorder, kBorder, kBorder), palette(), true, kBorder);

    p.setFont(font());
    p.setPen(palette().color(QPalette::ToolTipText));
    int y = frame.top() + 3 * kBorder;
    const int lineHeight = LineHeight();
    for (const Line& line : m_lines) {
        if (line.separator) {
            // A white line with a black line below it.
            const int sy = y + kSeparatorExtra / 2 - 1;
            p.setPen(Qt::white);
            p.drawLine(inner.left() + 1, sy, inner.right() - 1, sy);
            p.setPen(Qt::black);
            p.drawLine(inner.left() + 1, sy + 1, inner.right() - 1, sy + 1);
            p.setPen(palette().color(QPalette::ToolTipText));
            y += kSeparatorExtra;
        }
        int h = lineHeight;
        QRect box(inner.left(), y, inner.width(), h);
        if (line.image >= 0 && line.image < m_images.size()) {
            const QPixmap& pm = m_images[line.image];
            h = std::max(h, pm.height());
            box.setHeight(h);
            p.drawPixmap(inner.left() + 2, y + (h - pm.height()) / 2, pm);
            box.setLeft(inner.left() + 2 + pm.width() + kImageGap);
        }
        p.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, line.text);
        y += h;
    }
}

} // namespace quorrel::controls
