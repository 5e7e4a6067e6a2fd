#include "RepeatedImageEncoders.h"

#include "TileRepeat.h"

#include <QIODevice>
#include <QtMath>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include <jpeglib.h>
#include <png.h>

namespace quorrel::output {

namespace {

// Little-endian pieces of the BMP and TIFF headers.
void Put16(std::vector<uchar>& out, uint32_t value)
{
    out.push_back(uchar(value));
    out.push_back(uchar(value >> 8));
}

void Put32(std::vector<uchar>& out, uint32_t value)
{
    Put16(out, value & 0xffff);
    Put16(out, value >> 16);
}

bool WriteAll(QIODevice& device, const void* bytes, qint64 size)
{
    return device.write(static_cast<const char*>(bytes), size) == size;
}

int DotsPerMeter(const QImage& tile, bool vertical)
{
    const int dots = vertical ? tile.dotsPerMeterY() : tile.dotsPerMeterX();
    return dots > 0 ? dots : 2834;
}

} // namespace

bool WriteRepeatedBmp(CRepeatedRows& rows, QIODevice& device)
{
    if (rows.IsNull())
        return false;
    const int width = rows.Width();
    const int height = rows.Height();
    const uint32_t rowBytes = (uint32_t(width) * 3 + 3) & ~3u;   // rows end on 4 bytes
    const uint32_t pixelBytes = rowBytes * uint32_t(height);
    std::vector<uchar> header;
    header.push_back('B');
    header.push_back('M');
    Put32(header, 14 + 40 + pixelBytes);   // the file's size
    Put32(header, 0);
    Put32(header, 14 + 40);   // where the pixels start
    Put32(header, 40);        // the information header's size
    Put32(header, uint32_t(width));
    Put32(header, uint32_t(height));   // positive: the bottom row first
    Put16(header, 1);
    Put16(header, 24);
    Put32(header, 0);   // not compressed
    Put32(header, pixelBytes);
    Put32(header, uint32_t(DotsPerMeter(rows.Tile(), false)));
    Put32(header, uint32_t(DotsPerMeter(rows.Tile(), true)));
    Put32(header, 0);
    Put32(header, 0);
    if (!WriteAll(device, header.data(), qint64(header.size())))
        return false;
    std::vector<uchar> line(rowBytes, 0);
    for (int y = height - 1; y >= 0; --y) {
        const uchar* rgb = rows.Row(y);
        for (int x = 0; x < width; ++x) {
            line[3 * std::size_t(x)] = rgb[3 * std::size_t(x) + 2];
            line[3 * std::size_t(x) + 1] = rgb[3 * std::size_t(x) + 1];
            line[3 * std::size_t(x) + 2] = rgb[3 * std::size_t(x)];
        }
        if (!WriteAll(device, line.data(), rowBytes))
            return false;
    }
    return true;
}

namespace {

void PngWrite(png_structp png, png_bytep data, png_size_t length)
{
    auto* device = static_cast<QIODevice*>(png_get_io_ptr(png));
    if (!WriteAll(*device, data, qint64(length)))
        png_error(png, "write failed");
}

void PngFlush(png_structp) {}

[[noreturn]] void PngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void PngWarning(png_structp, png_const_charp) {}

// Apart from the rows, which may not be C++ objects across the jump.
bool PngRows(png_structp png, png_infop info, CRepeatedRows& rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, png_uint_32(rows.Width()), png_uint_32(rows.Height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_set_pHYs(png, info, png_uint_32(DotsPerMeter(rows.Tile(), false)),
                 png_uint_32(DotsPerMeter(rows.Tile(), true)), PNG_RESOLUTION_METER);
    png_write_info(png, info);
    for (int y = 0; y < rows.Height(); ++y)
        png_write_row(png, rows.Row(y));
    png_write_end(png, info);
    return true;
}

} // namespace

bool WriteRepeatedPng(CRepeatedRows& rows, QIODevice& device)
{
    if (rows.IsNull())
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, &PngError, &PngWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    png_set_write_fn(png, &device, &PngWrite, &PngFlush);
    const bool written = PngRows(png, info, rows);
    png_destroy_write_struct(&png, &info);
    return written;
}

namespace {

struct CJpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void JpegError(j_common_ptr info) { std::longjmp(reinterpret_cast<CJpegError*>(info->err)->jump, 1); }

void JpegMessage(j_common_ptr) {}

// Compressed bytes gathered in pieces and handed to the device.
struct CJpegDestination {
    jpeg_destination_mgr manager;
    QIODevice* device;
    bool failed;
    JOCTET buffer[1 << 16];
};

void JpegInit(j_compress_ptr info)
{
    auto* destination = reinterpret_cast<CJpegDestination*>(info->dest);
    destination->manager.next_output_byte = destination->buffer;
    destination->manager.free_in_buffer = sizeof destination->buffer;
}

boolean JpegEmpty(j_compress_ptr info)
{
    auto* destination = reinterpret_cast<CJpegDestination*>(info->dest);
    if (!WriteAll(*destination->device, destination->buffer, sizeof destination->buffer))
        destination->failed = true;
    JpegInit(info);
    return TRUE;
}

void JpegTerm(j_compress_ptr info)
{
    auto* destination = reinterpret_cast<CJpegDestination*>(info->dest);
    const qint64 used = qint64(sizeof destination->buffer - destination->manager.free_in_buffer);
    if (used > 0 && !WriteAll(*destination->device, destination->buffer, used))
        destination->failed = true;
}

bool JpegCreate(jpeg_compress_struct& info, CJpegError& error)
{
    if (setjmp(error.jump))
        return false;
    jpeg_create_compress(&info);
    return true;
}

bool JpegCompress(jpeg_compress_struct& info, CJpegError& error, CRepeatedRows& rows)
{
    if (setjmp(error.jump))
        return false;
    info.image_width = JDIMENSION(rows.Width());
    info.image_height = JDIMENSION(rows.Height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    // The resolution in whole dots an inch or a centimetre, whichever is
    // nearer to the image's own.
    const double dotsX = DotsPerMeter(rows.Tile(), false);
    const double dotsY = DotsPerMeter(rows.Tile(), true);
    const double offInch = qAbs(dotsX * 0.0254 - qRound(dotsX * 0.0254)) + qAbs(dotsY * 0.0254 - qRound(dotsY * 0.0254));
    const double offCm = (qAbs(dotsX / 100 - qRound(dotsX / 100)) + qAbs(dotsY / 100 - qRound(dotsY / 100))) * 2.54;
    if (offInch < offCm) {
        info.density_unit = 1;
        info.X_density = UINT16(qRound(dotsX * 0.0254));
        info.Y_density = UINT16(qRound(dotsY * 0.0254));
    } else {
        info.density_unit = 2;
        info.X_density = UINT16((int(dotsX) + 50) / 100);
        info.Y_density = UINT16((int(dotsY) + 50) / 100);
    }
    // The tiles are smooth gradients: a high quality keeps them free of
    // blocks (as for the tile itself).
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    for (int y = 0; y < rows.Height(); ++y) {
        JSAMPROW row = const_cast<JSAMPROW>(rows.Row(y));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    return true;
}

} // namespace

bool WriteRepeatedJpeg(CRepeatedRows& rows, QIODevice& device)
{
    if (rows.IsNull() || rows.Width() > 65500 || rows.Height() > 65500)
        return false;
    jpeg_compress_struct info {};
    CJpegError error {};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = &JpegError;
    error.manager.output_message = &JpegMessage;
    if (!JpegCreate(info, error))
        return false;
    auto destination = std::make_unique<CJpegDestination>();
    destination->manager.init_destination = &JpegInit;
    destination->manager.empty_output_buffer = &JpegEmpty;
    destination->manager.term_destination = &JpegTerm;
    destination->device = &device;
    destination->failed = false;
    info.dest = &destination->manager;
    const bool written = JpegCompress(info, error, rows);
    jpeg_destroy_compress(&info);
    return written && !destination->failed;
}

bool WriteRepeatedTiff(CRepeatedRows& rows, QIODevice& device)
{
    if (rows.IsNull())
        return false;
    // One little-endian header and image file directory, then the strips of
    // uncompressed RGB rows, about 64 KiB each.
    const uint32_t width = uint32_t(rows.Width());
    const uint32_t height = uint32_t(rows.Height());
    const uint32_t rowBytes = width * 3;
    const uint32_t rowsPerStrip = std::max<uint32_t>(1, (1u << 16) / rowBytes);
    const uint32_t strips = (height + rowsPerStrip - 1) / rowsPerStrip;
    constexpr uint16_t kEntries = 13;
    const uint32_t directoryEnd = 8 + 2 + kEntries * 12 + 4;
    const uint32_t bitsAt = directoryEnd;   // 3 x SHORT, padded to 8 bytes
    const uint32_t xResolutionAt = bitsAt + 8;
    const uint32_t yResolutionAt = xResolutionAt + 8;
    const uint32_t offsetsAt = yResolutionAt + 8;
    const uint32_t countsAt = offsetsAt + 4 * strips;
    const uint32_t pixelsAt = countsAt + 4 * strips;

    std::vector<uchar> header;
    header.push_back('I');
    header.push_back('I');
    Put16(header, 42);
    Put32(header, 8);
    Put16(header, kEntries);
    auto entry = [&](uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
        Put16(header, tag);
        Put16(header, type);
        Put32(header, count);
        if (type == 3 && count == 1) {   // a SHORT sits in the first half
            Put16(header, value);
            Put16(header, 0);
        } else {
            Put32(header, value);
        }
    };
    constexpr uint16_t kShort = 3, kLong = 4, kRational = 5;
    entry(256, kLong, 1, width);
    entry(257, kLong, 1, height);
    entry(258, kShort, 3, bitsAt);
    entry(259, kShort, 1, 1);   // no compression
    entry(262, kShort, 1, 2);   // RGB
    entry(273, kLong, strips, strips == 1 ? pixelsAt : offsetsAt);
    entry(277, kShort, 1, 3);
    entry(278, kLong, 1, rowsPerStrip);
    entry(279, kLong, strips, strips == 1 ? rowBytes * height : countsAt);
    entry(282, kRational, 1, xResolutionAt);
    entry(283, kRational, 1, yResolutionAt);
    entry(284, kShort, 1, 1);   // the samples of a pixel together
    entry(296, kShort, 1, 3);   // resolution per centimetre
    Put32(header, 0);           // no further directory
    for (int i = 0; i < 3; ++i)
        Put16(header, 8);
    Put16(header, 0);
    Put32(header, uint32_t(DotsPerMeter(rows.Tile(), false)));
    Put32(header, 100);
    Put32(header, uint32_t(DotsPerMeter(rows.Tile(), true)));
    Put32(header, 100);
    for (uint32_t strip = 0; strip < strips; ++strip)
        Put32(header, pixelsAt + strip * rowsPerStrip * rowBytes);
    for (uint32_t strip = 0; strip < strips; ++strip)
        Put32(header, std::min(rowsPerStrip, height - strip * rowsPerStrip) * rowBytes);
    if (!WriteAll(device, header.data(), qint64(header.size())))
        return false;
    for (int y = 0; y < rows.Height(); ++y) {
        if (!WriteAll(device, rows.Row(y), rowBytes))
            return false;
    }
    return true;
}

} // namespace quorrel::output
