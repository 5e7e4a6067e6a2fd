#pragma once
// Finished columns of colour values to rows of three bytes a pixel,
// vectorised with run-time dispatch: the band a continuous worker finishes
// is laid out column by column, the image row by row.

#include <cstddef>
#include <cstdint>

namespace quorrel::render {

// `count` columns of colour values 0x00BBGGRR (`rows` each, `stride` apart,
// column i from colours + i * stride) to rows of three bytes a pixel (red,
// green, blue; row y at rgb + y * count * 3). Writes exactly rows x count x 3
// bytes.
void PackRows(const uint32_t* colours, std::size_t stride, uint32_t count, uint32_t rows, uint8_t* rgb);

} // namespace quorrel::render
