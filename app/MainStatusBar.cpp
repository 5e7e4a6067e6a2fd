#include "MainStatusBar.h"

#include "ColorIndicator.h"
#include "ColorStatic.h"

#include "controls/WidestText.h"
#include "platform/KeyLockState.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QSizeGrip>
#include <QStyleOption>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <cmath>

namespace quorrel::app {

namespace {

// The small pointer icon in front of the position pane's text.
QPixmap PointerIcon()
{
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap pixmap(QSize(16, 16) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath arrow;
    arrow.moveTo(3, 1);
    arrow.lineTo(3, 13);
    arrow.lineTo(6, 10);
    arrow.lineTo(8.5, 15);
    arrow.lineTo(10.5, 14);
    arrow.lineTo(8, 9.2);
    arrow.lineTo(12, 9.2);
    arrow.closeSubpath();
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawPath(arrow);
    return pixmap;
}

// The progress indicator: an empty bar while nothing renders is not drawn
// at all (a sunken empty box would look like a text field), so the idle
// pane is plain status bar.
class CProgressIndicator final : public QProgressBar {
public:
    using QProgressBar::QProgressBar;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (value() > minimum())
            QProgressBar::paintEvent(event);
    }
};

QLabel* MakePane(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    return label;
}

} // namespace

CMainStatusBar::CMainStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("StatusBar"));
    setMinimumHeight(21);
    // The zoom factor, left of the indicator panes, wide enough for "9999 %".
    m_pZoomPane = MakePane(QString(), this);
    m_pZoomPane->setObjectName(QStringLiteral("ZoomPane"));
    m_pZoomPane->setAlignment(Qt::AlignCenter);
    m_pZoomPane->setFixedWidth(
        m_pZoomPane->fontMetrics().horizontalAdvance(controls::WidestText(QStringLiteral("9999 %"), fontMetrics()))
        + 12);
    m_pZoomPane->setAccessibleName(tr("Zoom"));
    addPermanentWidget(m_pZoomPane);
    // Shown only while the active view renders Continuous Colours.
    m_pRenderWayPane = MakePane(QStringLiteral("Continuous Colours"), this);
    m_pRenderWayPane->setObjectName(QStringLiteral("RenderWayPane"));
    m_pRenderWayPane->setAlignment(Qt::AlignCenter);
    m_pRenderWayPane->setToolTip(
        QStringLiteral("The view renders continuously: the same pattern without the exact tile's grain"));
    m_pRenderWayPane->hide();
    insertPermanentWidget(0, m_pRenderWayPane);
    // Panes 1 to 3 are at least 120, 90 and 60 pixels wide (120 - 30 x i),
    // wider where the font needs it for their longest texts.
    m_panes[1] = MakePane(QString(10, QLatin1Char(' ')), this);
    m_panes[1]->setObjectName(QStringLiteral("ProgressPane"));
    m_panes[1]->setAccessibleName(QStringLiteral("Progress"));
    m_panes[1]->setFrameShape(QFrame::NoFrame);   // blank, not an empty box
    m_panes[1]->setFixedWidth(std::max(120, m_panes[1]->sizeHint().width()));
    addPermanentWidget(m_panes[1]);

    // The position pane carries its icon in front of the text.
    auto* positionPane = new QFrame(this);
    positionPane->setFrameShape(QFrame::Panel);
    positionPane->setFrameShadow(QFrame::Sunken);
    auto* layout = new QHBoxLayout(positionPane);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(2);
    auto* icon = new QLabel(positionPane);
    icon->setObjectName(QStringLiteral("PaneIcon"));
    icon->setPixmap(PointerIcon());
    layout->addWidget(icon);
    // Room for the largest position of a 1024 x 1024 image.
    m_panes[2] = new QLabel(controls::WidestText(QStringLiteral("9999, 9999"), fontMetrics()), positionPane);
    m_panes[2]->setObjectName(QStringLiteral("PositionPane"));
    layout->addWidget(m_panes[2], 1);
    positionPane->setFixedWidth(std::max(90, positionPane->sizeHint().width()));
    m_panes[2]->setText(QStringLiteral("0, 0"));
    addPermanentWidget(positionPane);
    m_pPositionPane = positionPane;

    // Room for its own text and for the colour indicator's "#RRGGBB" in the
    // indicator's font (laid one pixel beyond the pane on each side).
    m_panes[3] = MakePane(QStringLiteral("RGB(0, 0, 0)"), this);
    m_panes[3]->setObjectName(QStringLiteral("ColorPane"));
    const QFontMetrics indicator(ColorIndicatorFont(QFontDatabase::families()));
    const int colorText =
        indicator.horizontalAdvance(controls::WidestText(QStringLiteral("#FFFFFF"), indicator)) + 4;
    m_panes[3]->setFixedWidth(std::max({60, m_panes[3]->sizeHint().width(), colorText}));
    addPermanentWidget(m_panes[3]);

    // Lock-key panes wide enough for their texts.
    const std::array<QString, 3> keys = {QStringLiteral("CAP"), QStringLiteral("NUM"), QStringLiteral("SCRL")};
    for (int i = 0; i < 3; ++i) {
        QLabel* pane = MakePane(QString(), this);
        pane->setObjectName(keys[i] + QStringLiteral("Pane"));
        pane->setAlignment(Qt::AlignCenter);
        pane->setFixedWidth(pane->fontMetrics().horizontalAdvance(tr(qPrintable(keys[i]))) + 12);
        addPermanentWidget(pane);
        m_panes[4 + i] = pane;
    }

    connect(this, &QStatusBar::messageChanged, this, [this] { FitMessage(); });

    // The indicators follow their panes wherever the layout moves them.
    m_panes[1]->installEventFilter(this);
    m_panes[3]->installEventFilter(this);
    // The lock states are read again when a lock key goes down or up in any
    // window of the application, and when the application becomes active.
    if (qApp)
        qApp->installEventFilter(this);
    UpdateKeyStates();
}

QWidget* CMainStatusBar::Pane(int pane) const
{
    if (pane == 2)
        return m_pPositionPane;
    return pane > 0 && pane < kPaneCount ? m_panes[pane] : nullptr;
}

void CMainStatusBar::SetPaneText(int pane, const QString& text)
{
    if (pane == 0)
        showMessage(text);
    else if (pane > 0 && pane < kPaneCount)
        m_panes[pane]->setText(text);
}

QString CMainStatusBar::GetPaneText(int pane) const
{
    if (pane == 0)
        return currentMessage();
    return pane > 0 && pane < kPaneCount ? m_panes[pane]->text() : QString();
}

QRect CMainStatusBar::GetItemRect(int pane) const
{
    const QWidget* widget = Pane(pane);
    return widget ? widget->geometry() : QRect();
}

void CMainStatusBar::SetProgress(int percent)
{
    if (!m_pProgress) {
        // The first call only makes the bar; its value is not shown.
        m_pProgress = new CProgressIndicator(this);
        m_pProgress->setAccessibleName(tr("Progress"));
        m_pProgress->setObjectName(QStringLiteral("ProgressIndicator"));
        m_pProgress->setProperty("childId", kProgressId);
        m_pProgress->setRange(0, 100);
        m_pProgress->setValue(0);
        m_pProgress->setTextVisible(false);
        PlaceIndicators();
        m_pProgress->show();
        return;
    }
    if (m_pProgress->value() == percent)
        return;
    m_pProgress->setValue(percent);
    // Rendering holds the event loop; paint the step now so the bar moves.
    if (m_pProgress->isVisible())
        m_pProgress->repaint();
}

void CMainStatusBar::ShowPixelColor(uint32_t color)
{
    const QString text = PixelColorText(color);
    if (!m_pColor) {
        m_pColor = new CColorStatic(this);
        m_pColor->setObjectName(QStringLiteral("ColorIndicator"));
        m_pColor->setProperty("childId", kColorId);
        m_pColor->setText(text);
        m_pColor->setFont(ColorIndicatorFont(QFontDatabase::families()));
        PlaceIndicators();
        m_pColor->show();
    }
    m_pColor->setText(text);
    m_pColor->SetBkColor(color & 0xFFFFFF);
    m_pColor->SetTextColor(PixelColorTextColor(color));
}

void CMainStatusBar::PlaceIndicators()
{
    if (m_pProgress)
        m_pProgress->setGeometry(m_panes[1]->geometry());
    if (m_pColor) {
        m_pColor->setGeometry(m_panes[3]->geometry().adjusted(-1, -1, 1, 1));
        m_pColor->raise();
    }
}

void CMainStatusBar::UpdateKeyStates()
{
    using platform::KeyLock;
    const std::array<std::pair<KeyLock, const char*>, 3> keys = {
        {{KeyLock::Caps, QT_TR_NOOP("CAP")}, {KeyLock::Num, QT_TR_NOOP("NUM")}, {KeyLock::Scroll, QT_TR_NOOP("SCRL")}}};
    for (int i = 0; i < 3; ++i) {
        const std::optional<bool> on = platform::IsKeyLockOn(keys[i].first);
        m_panes[4 + i]->setText(on.value_or(false) ? tr(keys[i].second) : QString());
        // Where the platform cannot tell (Wayland) the pane would stay
        // blank for good: it gives its room to the message instead.
        m_panes[4 + i]->setVisible(on.has_value());
    }
}

void CMainStatusBar::ShowZoom(int factor)
{
    m_pZoomPane->setText(factor > 0 ? QStringLiteral("%1 %").arg(qint64(factor) * 100) : QString());
    // A label's given name hides its text: the name carries the value.
    m_pZoomPane->setAccessibleName(factor > 0 ? QStringLiteral("Zoom %1").arg(m_pZoomPane->text())
                                             : QStringLiteral("Zoom"));
}

QString CMainStatusBar::ZoomText() const { return m_pZoomPane->text(); }

void CMainStatusBar::ShowRenderWay(bool continuous)
{
    if (m_pRenderWayPane->isVisibleTo(this) != continuous)
        m_pRenderWayPane->setVisible(continuous);
}

QString CMainStatusBar::RenderWayText() const
{
    return m_pRenderWayPane->isVisibleTo(this) ? m_pRenderWayPane->text() : QString();
}

void CMainStatusBar::ResetReadout()
{
    m_panes[2]->setText(QStringLiteral("0, 0"));
    if (m_pColor) {
        // The pane's own text shows again until the pointer reads a colour.
        delete m_pColor;
        m_pColor = nullptr;
    }
}

QTextOption CMainStatusBar::MessageOption()
{
    // Lines break between words, and inside a word (a long path) only
    // where one does not fit.
    QTextOption option(Qt::AlignLeading | Qt::AlignVCenter);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

QRect CMainStatusBar::MessageRect() const
{
    // From the left edge to the first visible permanent pane, as the bar
    // lays its message.
    int right = width() - 4;
    for (QWidget* pane : Panes())
        right = std::min(right, pane->x() - 4);
    return QRect(4, m_nMessageBand, std::max(0, right - 4), height() - m_nMessageBand);
}

int CMainStatusBar::MessageHeight(const QString& text, int width) const
{
    QTextLayout layout(text, font());
    layout.setTextOption(MessageOption());
    layout.beginLayout();
    qreal height = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(40, width));
        height += line.height();
    }
    layout.endLayout();
    return int(std::ceil(height));
}

void CMainStatusBar::FitMessage()
{
    // A message that fits beside the panes is shown there, as always; a
    // longer one (a narrow window) gets a band of its own above them, over
    // the bar's whole width, as many lines high as it needs.
    const QString text = currentMessage();
    int band = 0;
    if (!text.isEmpty() && fontMetrics().horizontalAdvance(text) > MessageRect().width())
        band = MessageHeight(text, width() - 8) + 2;
    if (band != m_nMessageBand) {
        m_nMessageBand = band;
        setContentsMargins(0, band, 0, 0);
        // The row of panes keeps its height below the band (the frame's
        // layout goes by the minimum: 21 pixels without a band).
        const int paneRow = std::max(21, m_panes[3]->sizeHint().height() + 5);
        setMinimumHeight(band > 0 ? band + paneRow : 21);
        update();
    }
}

void CMainStatusBar::paintEvent(QPaintEvent* event)
{
    const QString text = currentMessage();
    if (text.isEmpty()) {
        QStatusBar::paintEvent(event);
        return;
    }
    // As the bar paints itself while a message shows (its panel and the
    // frames of its panes, which are all permanent), but with the message
    // wrapped over the height FitMessage gave the bar, not cut.
    QPainter painter(this);
    QStyleOption panel;
    panel.initFrom(this);
    style()->drawPrimitive(QStyle::PE_PanelStatusBar, &panel, &painter, this);
    for (QWidget* pane : Panes()) {
        QStyleOption frame(0);
        frame.rect = pane->geometry().adjusted(-2, -1, 2, 1);
        frame.palette = palette();
        frame.state = QStyle::State_None;
        style()->drawPrimitive(QStyle::PE_FrameStatusBarItem, &frame, &painter, pane);
    }
    painter.setPen(palette().windowText().color());
    const QRect where = m_nMessageBand > 0 ? QRect(4, 1, width() - 8, m_nMessageBand - 1) : MessageRect();
    painter.drawText(QRectF(where), text, MessageOption());
}

std::vector<QWidget*> CMainStatusBar::Panes() const
{
    std::vector<QWidget*> panes;
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isVisible() && !child->isWindow() && child != m_pProgress && child != m_pColor &&
            !qobject_cast<QSizeGrip*>(child))
            panes.push_back(child);
    return panes;
}

void CMainStatusBar::resizeEvent(QResizeEvent* event)
{
    QStatusBar::resizeEvent(event);
    FitMessage();
}

bool CMainStatusBar::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
        if (watched == m_panes[1] || watched == m_panes[3])
            PlaceIndicators();
        break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        if (const int key = static_cast<QKeyEvent*>(event)->key();
            key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock)
            UpdateKeyStates();
        break;
    case QEvent::ApplicationActivate:
        UpdateKeyStates();
        break;
    default:
        break;
    }
    return QStatusBar::eventFilter(watched, event);
}

} // namespace quorrel::app
