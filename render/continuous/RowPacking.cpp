// Compiled once per instruction set by Highway's foreach_target.

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "render/continuous/RowPacking.cpp"
#include <hwy/foreach_target.h>   // IWYU pragma: keep

#include <hwy/highway.h>

#include "render/continuous/RowPacking.h"

#include <bit>
#include <cstring>

HWY_BEFORE_NAMESPACE();
namespace quorrel::render {
namespace HWY_NAMESPACE {

namespace hn = hwy::HWY_NAMESPACE;

static_assert(std::endian::native == std::endian::little, "a colour value's low three bytes are its levels");

// Columns i0 .. i0 + n - 1 of rows y0 .. y0 + m - 1, one pixel at a time.
// Each pixel but a row's last is stored as four bytes, its fourth
// overwritten by the next pixel of its row (stored after it); nothing past
// a row's last pixel is touched.
void PackPixels(const uint32_t* colours, std::size_t stride, uint32_t count, uint32_t i0, uint32_t n, uint32_t y0,
                uint32_t m, uint8_t* rgb)
{
    const std::size_t rowBytes = std::size_t(count) * 3;
    for (uint32_t y = y0; y < y0 + m; ++y) {
        uint8_t* row = rgb + y * rowBytes;
        for (uint32_t i = i0; i < i0 + n; ++i) {
            const uint32_t colour = colours[i * stride + y];
            if (i + 1 < count) {
                std::memcpy(row + std::size_t(i) * 3, &colour, 4);
            } else {
                row[std::size_t(i) * 3] = static_cast<uint8_t>(colour);
                row[std::size_t(i) * 3 + 1] = static_cast<uint8_t>(colour >> 8);
                row[std::size_t(i) * 3 + 2] = static_cast<uint8_t>(colour >> 16);
            }
        }
    }
}

void PackRowsImpl(const uint32_t* HWY_RESTRICT colours, std::size_t stride, uint32_t count, uint32_t rows,
                  uint8_t* HWY_RESTRICT rgb)
{
    uint32_t y0 = 0;
#if HWY_TARGET != HWY_SCALAR
    const hn::CappedTag<uint32_t, 16> d;
    const std::size_t N = hn::Lanes(d);
    // Four columns of N rows at a time: 4 x 4 transposes within each
    // 128-bit block leave block b of vector j holding row 4b + j's four
    // pixels, whose twelve bytes are then gathered at the block's start and
    // stored with the block (its last four bytes overwritten by the next
    // columns, stored after). Groups stop six columns before a row's end,
    // so no block reaches past it.
    const hn::RepartitionToWide<decltype(d)> dw;
    const hn::Repartition<uint8_t, decltype(d)> d8;
    alignas(16) static constexpr uint8_t kGather[16] = {0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, 15, 15, 15, 15};
    const auto gather = hn::LoadDup128(d8, kGather);
    const std::size_t rowBytes = std::size_t(count) * 3;
    const uint32_t groups = count >= 6 ? (count - 6) / 4 + 1 : 0;
    HWY_ALIGN uint32_t lanes[4][hn::MaxLanes(d)];
    for (; y0 + N <= rows; y0 += N) {
        for (uint32_t g = 0; g < groups; ++g) {
            const uint32_t* column = colours + std::size_t(4 * g) * stride + y0;
            const auto c0 = hn::LoadU(d, column);
            const auto c1 = hn::LoadU(d, column + stride);
            const auto c2 = hn::LoadU(d, column + 2 * stride);
            const auto c3 = hn::LoadU(d, column + 3 * stride);
            const auto a = hn::BitCast(dw, hn::InterleaveLower(d, c0, c1));
            const auto b = hn::BitCast(dw, hn::InterleaveLower(d, c2, c3));
            const auto c = hn::BitCast(dw, hn::InterleaveUpper(d, c0, c1));
            const auto e = hn::BitCast(dw, hn::InterleaveUpper(d, c2, c3));
            const decltype(c0) row[4] = {hn::BitCast(d, hn::InterleaveLower(dw, a, b)),
                                         hn::BitCast(d, hn::InterleaveUpper(dw, a, b)),
                                         hn::BitCast(d, hn::InterleaveLower(dw, c, e)),
                                         hn::BitCast(d, hn::InterleaveUpper(dw, c, e))};
            for (int j = 0; j < 4; ++j)
                hn::Store(hn::BitCast(d, hn::TableLookupBytes(hn::BitCast(d8, row[j]), gather)), d, lanes[j]);
            uint8_t* out = rgb + std::size_t(y0) * rowBytes + std::size_t(12) * g;
            for (std::size_t block = 0; block < N / 4; ++block) {
                for (int j = 0; j < 4; ++j)
                    std::memcpy(out + (4 * block + j) * rowBytes, &lanes[j][4 * block], 16);
            }
        }
        PackPixels(colours, stride, count, 4 * groups, count - 4 * groups, y0, uint32_t(N), rgb);
    }
#endif
    PackPixels(colours, stride, count, 0, count, y0, rows - y0, rgb);
}

} // namespace HWY_NAMESPACE
} // namespace quorrel::render
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace quorrel::render {

HWY_EXPORT(PackRowsImpl);

void PackRows(const uint32_t* colours, std::size_t stride, uint32_t count, uint32_t rows, uint8_t* rgb)
{
    HWY_DYNAMIC_DISPATCH(PackRowsImpl)(colours, stride, count, rows, rgb);
}

} // namespace quorrel::render
#endif
