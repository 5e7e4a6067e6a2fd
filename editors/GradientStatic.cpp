#include "GradientStatic.h"

#include "render/ColorConversion.h"

#include <QPainter>
#include <QPalette>

namespace quorrel::editors {

namespace {

uint32_t FromQColor(const QColor& c)
{
    return PackColor(uint32_t(c.red()), uint32_t(c.green()), uint32_t(c.blue()));
}

QColor ToQColor(uint32_t packed)
{
    return QColor(int(packed & 0xFF), int((packed >> 8) & 0xFF), int((packed >> 16) & 0xFF));
}

} // namespace

CGradientStatic::CGradientStatic(QWidget* parent)
    : QWidget(parent)
    , m_clrStart(FromQColor(palette().color(QPalette::Active, QPalette::Highlight)))
    , m_clrEnd(FromQColor(palette().color(QPalette::Button)))
    , m_clrText(FromQColor(palette().color(QPalette::Active, QPalette::HighlightedText)))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

uint32_t CGradientStatic::BandColor(int band) const
{
    uint32_t packed = 0;
    for (int k = 0; k < 3; ++k) {
        const int start = int((m_clrStart >> (8 * k)) & 0xFF);
        const int end = int((m_clrEnd >> (8 * k)) & 0xFF);
        const int channel = int(start + double(end - start) * band / kGradientBands);
        packed |= (uint32_t(channel) & 0xFF) << (8 * k);
    }
    return packed;
}

std::pair<int, int> CGradientStatic::BandExtent(int band, int width)
{
    return {int(int64_t(band) * width / kGradientBands),
            int(int64_t(band + 1) * width / kGradientBands)};
}

QSize CGradientStatic::sizeHint() const
{
    return {255, 8};
}

void CGradientStatic::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect r = rect();
    for (int i = 0; i < kGradientBands; ++i) {
        const auto [x0, x1] = BandExtent(i, r.width());
        if (x1 <= x0)
            continue;
        uint32_t packed = BandColor(i);
        if (m_bHsl)
            packed = render::HslColorToRgb(packed);
        painter.fillRect(QRect(r.left() + x0, r.top(), x1 - x0, r.height()), ToQColor(packed));
    }
    if (m_strText.isEmpty())
        return;
    if (m_font)
        painter.setFont(*m_font);
    painter.setPen(ToQColor(m_clrText));
    if (m_bCenter)
        painter.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, m_strText);
    else
        painter.drawText(r.adjusted(m_nLeftSpacing, 0, 0, 0),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_strText);
}

} // namespace quorrel::editors
