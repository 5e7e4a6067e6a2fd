// Looping GIF that holds still where the loop does: one palette of 255
// colours for the whole loop, learned from frames spread over it; an
// ordered dither fixed to the pixel grid, so a pixel whose colour stays
// keeps its index (error diffusion would move its pattern every frame and
// make the whole picture shimmer); and after the first frame only the
// rectangle that changed, with the pixels in it that kept their index
// written as the transparent 256th entry, over the frame before. Each frame
// is shown for its duration in centiseconds, and the NETSCAPE2.0 block makes
// players repeat it forever.

#include "AnimationEncoders.h"

#include "output/GifPalette.h"
#include "output/StagedFileDevice.h"
#include "render/animation/LoopTiming.h"

#include <QImage>

#include <gif_lib.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace quorrel::output::animation {

namespace {

constexpr int kColours = 255;
constexpr GifByteType kTransparent = 255;

// An 8 x 8 Bayer matrix: thresholds 0..63 spread evenly in every window.
constexpr uint8_t kBayer[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26}, {12, 44, 4, 36, 14, 46, 6, 38},
    {60, 28, 52, 20, 62, 30, 54, 22}, {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};

// The nearest palette entry of every colour on a 64-level grid a channel,
// and the dither's reach: the typical distance between neighbouring
// palette colours, so the pattern spans one palette step.
class COrderedRemap final {
public:
    explicit COrderedRemap(const std::vector<GifColorType>& palette)
        : m_nearest(std::size_t(64) * 64 * 64)
    {
        double spacing = 0;
        for (std::size_t i = 0; i < palette.size(); ++i) {
            int best = std::numeric_limits<int>::max();
            for (std::size_t j = 0; j < palette.size(); ++j)
                if (j != i)
                    best = std::min(best, Distance(palette[i], palette[j].Red, palette[j].Green, palette[j].Blue));
            spacing += std::sqrt(double(best == std::numeric_limits<int>::max() ? 0 : best));
        }
        spacing = palette.empty() ? 0 : spacing / double(palette.size());
        // Per channel: the distance spread over three channels.
        const double reach = std::clamp(spacing / std::sqrt(3.0), 2.0, 48.0);
        for (int t = 0; t < 64; ++t)
            m_offset[t] = int(std::lround((double(t) + 0.5) / 64.0 * reach - reach / 2));
        for (int r = 0; r < 64; ++r)
            for (int g = 0; g < 64; ++g)
                for (int b = 0; b < 64; ++b) {
                    int best = std::numeric_limits<int>::max();
                    GifByteType index = 0;
                    for (std::size_t i = 0; i < palette.size(); ++i) {
                        const int d = Distance(palette[i], 4 * r + 2, 4 * g + 2, 4 * b + 2);
                        if (d < best) {
                            best = d;
                            index = GifByteType(i);
                        }
                    }
                    m_nearest[std::size_t((r * 64 + g) * 64 + b)] = index;
                }
    }

    void Remap(const QImage& rgb, std::vector<GifByteType>& indices) const
    {
        const int width = rgb.width();
        for (int y = 0; y < rgb.height(); ++y) {
            const uchar* in = rgb.constScanLine(y);
            GifByteType* out = &indices[std::size_t(y) * std::size_t(width)];
            for (int x = 0; x < width; ++x, in += 3) {
                const int d = m_offset[kBayer[y & 7][x & 7]];
                auto level = [d](int v) { return std::clamp(v + d, 0, 255) >> 2; };
                out[x] = m_nearest[std::size_t((level(in[0]) * 64 + level(in[1])) * 64 + level(in[2]))];
            }
        }
    }

private:
    static int Distance(const GifColorType& c, int r, int g, int b)
    {
        const int dr = c.Red - r, dg = c.Green - g, db = c.Blue - b;
        // Weighted roughly as the eye weighs the channels.
        return 2 * dr * dr + 4 * dg * dg + db * db;
    }

    std::vector<GifByteType> m_nearest;
    int m_offset[64] = {};
};

class CGifAnimationEncoder final : public CAnimationEncoder {
public:
    CGifAnimationEncoder(const AnimationSettings& settings, model::CStagedFile& file)
        : m_settings(settings), m_timing(settings.frames, settings.fps), m_file(file), m_device(file),
          m_shared(kColours)
    {
    }

    ~CGifAnimationEncoder() override
    {
        if (m_gif) {
            int error = 0;
            EGifCloseFile(m_gif, &error);
        }
    }

    bool WantsPaletteSamples() const override { return true; }

    bool AddPaletteSample(const QImage& sample) override
    {
        m_learned = true;
        return m_shared.Learn(sample) || Fail("not enough memory to make the GIF palette");
    }

    bool AddFrame(const QImage& frame) override
    {
        if (m_frame >= m_settings.frames)
            return Fail("more frames than the animation has");
        // A caller that gave no samples gets the palette of the first frame.
        if (!m_gif && ((!m_learned && !AddPaletteSample(frame)) || !Open()))
            return Failed();
        const QImage rgb = frame.convertToFormat(QImage::Format_RGB888);
        if (rgb.isNull())
            return Fail("not enough memory for a frame");
        const std::size_t width = std::size_t(m_settings.width);
        m_remap->Remap(rgb, m_indices);

        // The rectangle that changed since the frame before (all of the
        // first frame); a frame that changed nowhere still needs a pixel.
        int left = 0, top = 0, right = m_settings.width - 1, bottom = m_settings.height - 1;
        const bool partial = m_frame > 0;
        if (partial) {
            left = m_settings.width, top = m_settings.height, right = -1, bottom = -1;
            for (int y = 0; y < m_settings.height; ++y) {
                const GifByteType* now = &m_indices[std::size_t(y) * width];
                const GifByteType* was = &m_shown[std::size_t(y) * width];
                int first = 0;
                while (first < m_settings.width && now[first] == was[first])
                    ++first;
                if (first == m_settings.width)
                    continue;
                int last = m_settings.width - 1;
                while (now[last] == was[last])
                    --last;
                left = std::min(left, first);
                right = std::max(right, last);
                top = std::min(top, y);
                bottom = y;
            }
            if (right < 0)
                left = right = top = bottom = 0;
        }

        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSE_DO_NOT;
        control.UserInputFlag = false;
        control.DelayTime = int(m_timing.DurationIn(m_frame, 100));
        control.TransparentColor = partial ? kTransparent : NO_TRANSPARENT_COLOR;
        GifByteType extension[4];
        const size_t length = EGifGCBToExtension(&control, extension);
        const int w = right - left + 1;
        bool ok = EGifPutExtension(m_gif, GRAPHICS_EXT_FUNC_CODE, int(length), extension) == GIF_OK &&
                  EGifPutImageDesc(m_gif, left, top, w, bottom - top + 1, false, nullptr) == GIF_OK;
        std::vector<GifByteType> row(static_cast<std::size_t>(w));
        for (int y = top; ok && y <= bottom; ++y) {
            const GifByteType* now = &m_indices[std::size_t(y) * width + std::size_t(left)];
            GifByteType* was = &m_shown[std::size_t(y) * width + std::size_t(left)];
            for (int x = 0; x < w; ++x) {
                row[std::size_t(x)] = partial && now[x] == was[x] ? kTransparent : now[x];
                was[x] = now[x];
            }
            ok = EGifPutLine(m_gif, row.data(), w) == GIF_OK;
        }
        ++m_frame;
        return ok ? !m_file.Failed() || Failed() : Failed();
    }

    bool Finish() override
    {
        if (m_frame != m_settings.frames || !m_gif)
            return Fail("the animation lacks frames");
        int error = 0;
        const bool closed = EGifCloseFile(m_gif, &error) == GIF_OK;
        m_gif = nullptr;
        m_device.close();
        return closed && !m_file.Failed() ? true : Failed();
    }

private:
    bool Open()
    {
        if (!m_shared.Fit())
            return Fail("the GIF palette could not be made from the loop's frames");
        std::vector<GifColorType> palette = m_shared.Palette();
        if (palette.empty() || palette.size() > std::size_t(kColours))
            return Fail("the GIF palette could not be made from the loop's frames");
        try {
            m_remap = std::make_unique<COrderedRemap>(palette);
            const std::size_t pixels = std::size_t(m_settings.width) * std::size_t(m_settings.height);
            m_indices.assign(pixels, 0);
            m_shown.assign(pixels, 0);
        } catch (const std::bad_alloc&) {
            return Fail("not enough memory for the GIF's frames");
        }
        palette.resize(256, GifColorType{0, 0, 0});   // entry 255: transparent
        const GifColorMap global = MakeGifColorMap(palette);
        int error = 0;
        m_gif = EGifOpen(&m_device, &WriteGifToDevice, &error);
        if (!m_gif || !global)
            return false;
        EGifSetGifVersion(m_gif, true);
        if (EGifPutScreenDesc(m_gif, m_settings.width, m_settings.height, 8, 0, global.get()) != GIF_OK)
            return false;
        // Loop forever: the application extension "NETSCAPE2.0" with a
        // repeat count of 0.
        static const GifByteType kApplication[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
        static const GifByteType kForever[] = {1, 0, 0};
        return EGifPutExtensionLeader(m_gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
               EGifPutExtensionBlock(m_gif, sizeof kApplication, kApplication) == GIF_OK &&
               EGifPutExtensionBlock(m_gif, sizeof kForever, kForever) == GIF_OK &&
               EGifPutExtensionTrailer(m_gif) == GIF_OK;
    }

    // The reason of a failed write, or the encoder's own.
    bool Failed()
    {
        if (!Error().empty())
            return false;
        return Fail(m_file.Failed() ? m_file.Failure().message : std::string("the GIF could not be encoded"));
    }

    AnimationSettings m_settings;
    render::animation::CLoopTiming m_timing;
    bool m_learned = false;   // samples were given for the palette
    model::CStagedFile& m_file;
    CStagedFileDevice m_device;
    GifFileType* m_gif = nullptr;
    CSharedGifPalette m_shared;
    std::unique_ptr<COrderedRemap> m_remap;
    std::vector<GifByteType> m_indices;   // this frame
    std::vector<GifByteType> m_shown;     // what a player shows after the frame before
    uint32_t m_frame = 0;
};

} // namespace

std::unique_ptr<CAnimationEncoder> MakeGifEncoder(const AnimationSettings& settings, model::CStagedFile& file)
{
    return std::make_unique<CGifAnimationEncoder>(settings, file);
}

} // namespace quorrel::output::animation
