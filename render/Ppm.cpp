#include "Ppm.h"

#include <cctype>
#include <cstring>
#include <string>

namespace quorrel::render {

std::vector<uint8_t> EncodePpm(const CRgbImage& image)
{
    const std::string header =
        "P6\n" + std::to_string(image.Width()) + " " + std::to_string(image.Height()) + "\n255\n";
    std::vector<uint8_t> out(header.begin(), header.end());
    out.insert(out.end(), image.Bytes().begin(), image.Bytes().end());
    return out;
}

std::optional<CRgbImage> DecodePpm(std::span<const uint8_t> bytes)
{
    std::size_t pos = 0;
    auto skipSpace = [&] {
        while (pos < bytes.size()) {
            if (bytes[pos] == '#') {
                while (pos < bytes.size() && bytes[pos] != '\n')
                    ++pos;
            } else if (std::isspace(bytes[pos])) {
                ++pos;
            } else {
                break;
            }
        }
    };
    auto number = [&]() -> std::optional<uint32_t> {
        skipSpace();
        uint64_t v = 0;
        const std::size_t start = pos;
        while (pos < bytes.size() && std::isdigit(bytes[pos]) && v < 100000)
            v = v * 10 + (bytes[pos++] - '0');
        if (pos == start || v >= 100000)
            return std::nullopt;
        return static_cast<uint32_t>(v);
    };
    if (bytes.size() < 2 || bytes[0] != 'P' || bytes[1] != '6')
        return std::nullopt;
    pos = 2;
    const auto w = number(), h = number(), maxval = number();
    if (!w || !h || !maxval || *maxval != 255 || pos >= bytes.size())
        return std::nullopt;
    ++pos;  // the single whitespace byte before the raster
    const std::size_t size = std::size_t(*w) * *h * 3;
    if (bytes.size() - pos < size)
        return std::nullopt;
    CRgbImage image(*w, *h);
    std::memcpy(image.Bytes().data(), bytes.data() + pos, size);
    return image;
}

} // namespace quorrel::render
