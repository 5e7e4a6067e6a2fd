#pragma once
// Where a rendering goes: any surface that accepts (x, y, red, green, blue),
// and the progress sink that receives whole percentages.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

namespace quorrel::render {

class IPixelSurface {
public:
    virtual ~IPixelSurface() = default;
    virtual void SetPixel(uint32_t x, uint32_t y, uint8_t red, uint8_t green, uint8_t blue) = 0;

    // Pixels (x, 0) to (x, height - 1), three bytes each (red, green, blue)
    // from the top. A surface that can store a column faster than pixel by
    // pixel overrides it.
    virtual void SetColumn(uint32_t x, uint32_t height, const uint8_t* rgb)
    {
        for (uint32_t y = 0; y < height; ++y, rgb += 3)
            SetPixel(x, y, rgb[0], rgb[1], rgb[2]);
    }

    // Columns x .. x + count - 1, one after the other in `rgb` as
    // SetColumn takes each. A surface that stores rows can write a block of
    // columns row by row, touching each row once instead of once a column.
    virtual void SetColumns(uint32_t x, uint32_t count, uint32_t height, const uint8_t* rgb)
    {
        for (uint32_t i = 0; i < count; ++i)
            SetColumn(x + i, height, rgb + std::size_t(i) * height * 3);
    }

    // The same block of columns laid out row by row: row y holds the
    // `count` pixels (x, y) .. (x + count - 1, y) at rgb + y * count * 3. A
    // surface that stores rows copies each row at once; any other receives
    // the block through SetColumns, column after column.
    virtual void SetRows(uint32_t x, uint32_t count, uint32_t height, const uint8_t* rgb)
    {
        std::vector<uint8_t> columns(std::size_t(count) * height * 3);
        for (uint32_t y = 0; y < height; ++y) {
            for (uint32_t i = 0; i < count; ++i) {
                const uint8_t* in = rgb + (std::size_t(y) * count + i) * 3;
                uint8_t* out = columns.data() + (std::size_t(i) * height + y) * 3;
                out[0] = in[0];
                out[1] = in[1];
                out[2] = in[2];
            }
        }
        SetColumns(x, count, height, columns.data());
    }
};

// Receives 0..99 once per column, then 0 when the image is complete.
using ProgressSink = std::function<void(int percent)>;

// A plain RGB buffer, rows from the top, three bytes a pixel.
class CRgbImage final : public IPixelSurface {
public:
    CRgbImage() = default;
    CRgbImage(uint32_t width, uint32_t height)
        : m_width(width), m_height(height), m_rgb(std::size_t(width) * height * 3, 0)
    {
    }

    void SetPixel(uint32_t x, uint32_t y, uint8_t red, uint8_t green, uint8_t blue) override
    {
        uint8_t* p = &m_rgb[(std::size_t(y) * m_width + x) * 3];
        p[0] = red;
        p[1] = green;
        p[2] = blue;
    }

    void SetColumn(uint32_t x, uint32_t height, const uint8_t* rgb) override
    {
        uint8_t* p = &m_rgb[std::size_t(x) * 3];
        const std::size_t stride = std::size_t(m_width) * 3;
        for (uint32_t y = 0; y < height; ++y, p += stride, rgb += 3) {
            p[0] = rgb[0];
            p[1] = rgb[1];
            p[2] = rgb[2];
        }
    }

    // In tiles of 16 x 16 pixels, so that the pages of the source columns
    // and of the image rows in use at a time stay within the processor's
    // first address cache.
    void SetColumns(uint32_t x, uint32_t count, uint32_t height, const uint8_t* rgb) override
    {
        constexpr uint32_t kTile = 16;
        const std::size_t stride = std::size_t(m_width) * 3;
        const std::size_t columnBytes = std::size_t(height) * 3;
        for (uint32_t i0 = 0; i0 < count; i0 += kTile) {
            const uint32_t i1 = std::min(count, i0 + kTile);
            for (uint32_t y0 = 0; y0 < height; y0 += kTile) {
                const uint32_t y1 = std::min(height, y0 + kTile);
                for (uint32_t y = y0; y < y1; ++y) {
                    uint8_t* p = &m_rgb[y * stride + (std::size_t(x) + i0) * 3];
                    const uint8_t* in = rgb + i0 * columnBytes + std::size_t(y) * 3;
                    for (uint32_t i = i0; i < i1; ++i, p += 3, in += columnBytes) {
                        p[0] = in[0];
                        p[1] = in[1];
                        p[2] = in[2];
                    }
                }
            }
        }
    }

    void SetRows(uint32_t x, uint32_t count, uint32_t height, const uint8_t* rgb) override
    {
        // The image is far larger than the caches and its rows far apart:
        // the lines a few rows ahead are requested early, so that their
        // reads overlap the copies instead of each copy waiting for its own.
        constexpr uint32_t kAhead = 8;
        const std::size_t rowBytes = std::size_t(count) * 3;
        const std::size_t stride = std::size_t(m_width) * 3;
        uint8_t* out = m_rgb.data() + std::size_t(x) * 3;
        for (uint32_t y = 0; y < height; ++y, out += stride) {
            if (y + kAhead < height) {
                const uint8_t* ahead = out + kAhead * stride;
                for (std::size_t b = 0; b < rowBytes; b += 64)
                    __builtin_prefetch(ahead + b, 1);
                __builtin_prefetch(ahead + rowBytes - 1, 1);
            }
            std::memcpy(out, rgb + y * rowBytes, rowBytes);
        }
    }

    uint32_t Width() const { return m_width; }
    uint32_t Height() const { return m_height; }
    const uint8_t* Pixel(uint32_t x, uint32_t y) const { return &m_rgb[(std::size_t(y) * m_width + x) * 3]; }
    const std::vector<uint8_t>& Bytes() const { return m_rgb; }
    std::vector<uint8_t>& Bytes() { return m_rgb; }

private:
    uint32_t m_width = 0;
    uint32_t m_height = 0;
    std::vector<uint8_t> m_rgb;
};

} // namespace quorrel::render
