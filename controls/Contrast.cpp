#include "Contrast.h"

#include <algorithm>
#include <cmath>

namespace quorrel::controls {

namespace {

double Linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

QColor Blend(const QColor& from, const QColor& to, double t)
{
    const auto mix = [t](int a, int b) { return int(std::lround(a + (b - a) * t)); };
    return QColor(mix(from.red(), to.red()), mix(from.green(), to.green()), mix(from.blue(), to.blue()), from.alpha());
}

} // namespace

double RelativeLuminance(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return 0.2126 * Linear(rgb.redF()) + 0.7152 * Linear(rgb.greenF()) + 0.0722 * Linear(rgb.blueF());
}

double ContrastRatio(const QColor& a, const QColor& b)
{
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool IsDark(const QColor& background)
{
    return ContrastRatio(Qt::white, background) >= ContrastRatio(Qt::black, background);
}

QColor LegibleOn(const QColor& preferred, const QColor& background, double minimum)
{
    if (ContrastRatio(preferred, background) >= minimum)
        return preferred;
    // Away from the background: the side with the more room.
    const QColor end = IsDark(background) ? QColor(Qt::white) : QColor(Qt::black);
    constexpr int kSteps = 40;
    for (int step = 1; step <= kSteps; ++step) {
        const QColor candidate = Blend(preferred.toRgb(), end, double(step) / kSteps);
        if (ContrastRatio(candidate, background) >= minimum)
            return candidate;
    }
    return end;
}

} // namespace quorrel::controls
