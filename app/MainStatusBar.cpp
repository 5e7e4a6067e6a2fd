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

#include <algorithm>

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
    // Panes 1 to 3 are at least 120, 90 and 60 pixels wide (120 - 30 x i),
    // wider where the font needs it for their longest texts.
    m_panes[1] = MakePane(QString(10, QLatin1Char(' ')), this);
    m_panes[1]->setObjectName(QStringLiteral("ProgressPane"));
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
    }
}

void CMainStatusBar::ShowZoom(int factor)
{
    m_pZoomPane->setText(factor > 0 ? QStringLiteral("%1 %").arg(qint64(factor) * 100) : QString());
}

QString CMainStatusBar::ZoomText() const { return m_pZoomPane->text(); }

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
