// The grain of the exact tile rendered larger is gone in the continuous
// one: on presets at four times their size, the mean absolute 3 x 3
// Laplacian of the grey image (a measure of fine, pixel-to-pixel detail) of
// the continuous rendering is well under the exact rendering's.
//
// Measured (exact -> continuous, ratio): Ocean 8.32 -> 3.55 (0.43), Pastel
// 3.69 -> 2.14 (0.58), Forest 9.61 -> 2.95 (0.31), Graphite 12.69 -> 2.67
// (0.21), Sunset 8.60 -> 4.46 (0.52). The bound of each case is its measured
// ratio plus about 0.07: a continuous rendering that let the grain back in
// (terms truncated one by one again) gives the exact value, ratio 1.

#include "model/TileParams.h"
#include "model/WppFile.h"
#include "render/TileRenderer.h"
#include "render/continuous/TileLook.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

using namespace quorrel::model;
using namespace quorrel::render;

namespace {

// Mean over every pixel of |8 g(x, y) - sum of its 8 neighbours|, with
// g = 0.299 R + 0.587 G + 0.114 B; the tile wraps at its edges.
double MeanLaplacian(const CRgbImage& image)
{
    const int w = int(image.Width()), h = int(image.Height());
    auto grey = [&](int x, int y) {
        const uint8_t* p = image.Pixel(uint32_t((x + w) % w), uint32_t((y + h) % h));
        return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
    };
    double total = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            double around = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    around += (dx || dy) ? grey(x + dx, y + dy) : 0.0;
            total += std::fabs(8 * grey(x, y) - around);
        }
    }
    return total / (double(w) * h);
}

struct GrainCase {
    const char* preset;
    double maxRatio;   // continuous / exact
};

void PrintTo(const GrainCase& c, std::ostream* out) { *out << c.preset; }

class ContinuousGrain : public testing::TestWithParam<GrainCase> {};

} // namespace

INSTANTIATE_TEST_SUITE_P(Presets, ContinuousGrain,
                         testing::Values(GrainCase{"ocean", 0.5}, GrainCase{"pastel", 0.65},
                                         GrainCase{"forest", 0.38}, GrainCase{"graphite", 0.28},
                                         GrainCase{"sunset", 0.6}),
                         [](const testing::TestParamInfo<GrainCase>& info) {
                             std::string name = info.param.preset;
                             return name;
                         });

TEST_P(ContinuousGrain, FourTimesLargerTheContinuousTileHasFarLessFineDetail)
{
    auto params = std::make_unique<CTileParams>();
    std::string error;
    const std::string path = std::string(QUORREL_PRESETS_DIR) + "/" + GetParam().preset + ".wpp";
    ASSERT_TRUE(ReadWppFile(path, *params, error)) << path << ": " << error;

    const CRgbImage exact = RenderLook(*params, TileLook{false, 4});
    const CRgbImage continuous = RenderLook(*params, TileLook{true, 4});
    ASSERT_EQ(exact.Width(), params->m_nWidth * 4);
    const double exactGrain = MeanLaplacian(exact);
    const double continuousGrain = MeanLaplacian(continuous);
    std::cout << GetParam().preset << ": exact " << exactGrain << ", continuous " << continuousGrain << std::endl;
    RecordProperty("exact", std::to_string(exactGrain));
    RecordProperty("continuous", std::to_string(continuousGrain));
    EXPECT_GT(exactGrain, 1.0);   // the exact tile does show grain
    EXPECT_LT(continuousGrain, exactGrain * GetParam().maxRatio);
}
