#pragma once
// A strip filled with a colour ramp of 255 bands from a start to an end
// colour, optionally with a line of text on it. Colours are packed 24-bit
// values with the first channel in the low byte: red, green, blue, or in HSL
// mode hue, saturation, luminosity (each 0..255), converted for display.

#include <QFont>
#include <QWidget>

#include <cstdint>
#include <optional>

namespace quorrel::editors {

class CGradientStatic final : public QWidget {
    Q_OBJECT
public:
    explicit CGradientStatic(QWidget* parent = nullptr);

    void SetHslMode(bool hsl) { m_bHsl = hsl; }
    bool IsHslMode() const { return m_bHsl; }
    void SetStartColor(uint32_t color) { m_clrStart = color; }
    void SetEndColor(uint32_t color) { m_clrEnd = color; }
    uint32_t GetStartColor() const { return m_clrStart; }
    uint32_t GetEndColor() const { return m_clrEnd; }
    void SetTextColor(uint32_t color) { m_clrText = color; }
    void SetText(const QString& text) { m_strText = text; }
    void SetCenterText(bool centred) { m_bCenter = centred; }
    void SetLeftSpacing(int pixels) { m_nLeftSpacing = pixels; }
    void SetTextFont(const QFont& font) { m_font = font; }

    // Band i's packed colour (before any HSL conversion), i = 0..254.
    uint32_t BandColor(int band) const;
    // Band i's horizontal extent [left, right) in a strip `width` wide.
    static std::pair<int, int> BandExtent(int band, int width);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_strText;
    int m_nLeftSpacing = 10;
    std::optional<QFont> m_font;
    uint32_t m_clrStart;
    uint32_t m_clrEnd;
    uint32_t m_clrText;
    bool m_bCenter = false;
    bool m_bHsl = false;
};

inline constexpr int kGradientBands = 255;

// Packs three 0..255 channels, the first in the low byte.
constexpr uint32_t PackColor(uint32_t first, uint32_t second, uint32_t third)
{
    return (first & 0xFF) | ((second & 0xFF) << 8) | ((third & 0xFF) << 16);
}

} // namespace quorrel::editors
