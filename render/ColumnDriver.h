#pragma once
// Hands the columns of one rendering to workers on the calling thread and on
// the shared pool's threads, and passes finished columns to the surface in
// order from the calling thread, with the progress reports. Every renderer
// that produces whole columns (exact or continuous) goes through it.

#include "PixelSurface.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace quorrel::render {

// Renders whole columns; one per thread, so it may keep scratch space.
class IColumnSource {
public:
    virtual ~IColumnSource() = default;
    // Columns x .. x + count - 1, one after the other, each height x 3 bytes
    // (red, green, blue from the top row down).
    virtual void Render(uint32_t x, uint32_t count, uint8_t* rgb) = 0;
    // True when Render lays the `count` columns out row by row instead
    // (row y's pixels at rgb + y * count * 3), as IPixelSurface::SetRows
    // takes them: a surface that stores rows then copies whole rows.
    virtual bool RendersRows() const { return false; }
};

using ColumnSourceFactory = std::function<std::unique_ptr<IColumnSource>()>;

// Below this much work (in terms; finishing a pixel counts as a few dozen)
// one thread is faster: handing columns to a pool thread costs a few tens of
// microseconds. Measured on two cores with the default parameters: 48 x 48
// takes 32 us alone and 37 us on two threads, 64 x 64 53 us and 38 us,
// 125 x 125 187 us and 116 us.
inline constexpr uint64_t kParallelMinWork = 200'000;
inline constexpr uint64_t kFinishWork = 40;

// The threads a rendering uses: `requested` (0: all cores, and one thread
// when width x height pixels of `workPerPixel` terms are below
// kParallelMinWork), at most one a column.
unsigned ColumnThreads(unsigned requested, uint32_t width, uint32_t height, uint64_t workPerPixel);

// Fills columns 0..width-1 of `surface` with `threads` workers made by
// `make` (all of them made before any thread starts), handed runs of
// `columnsPerRun` columns (the last may be shorter). Progress as
// RenderTile reports it: non-decreasing whole percentages 0..99 from the
// calling thread as columns reach the surface, then 0. When the pool is busy
// (another rendering, or one started from a progress report) the calling
// thread renders alone.
void DriveColumns(uint32_t width, uint32_t height, unsigned threads, const ColumnSourceFactory& make,
                  IPixelSurface& surface, const ProgressSink& progress, uint32_t columnsPerRun = 1);

} // namespace quorrel::render
