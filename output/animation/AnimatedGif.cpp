// Looping GIF: the project's GIF colour reduction (a dithered palette of 256
// colours, one a frame or one shared by all), each frame shown for its
// duration in centiseconds, and the NETSCAPE2.0 block that makes players
// repeat it forever.

#include "AnimationEncoders.h"

#include "output/GifPalette.h"
#include "output/StagedFileDevice.h"
#include "render/animation/LoopTiming.h"

#include <QImage>

#include <gif_lib.h>

namespace quorrel::output::animation {

namespace {

class CGifAnimationEncoder final : public CAnimationEncoder {
public:
    CGifAnimationEncoder(const AnimationSettings& settings, model::CStagedFile& file)
        : m_settings(settings), m_timing(settings.frames, settings.fps), m_file(file), m_device(file)
    {
    }

    ~CGifAnimationEncoder() override
    {
        if (m_gif) {
            int error = 0;
            EGifCloseFile(m_gif, &error);
        }
    }

    bool WantsPaletteSamples() const override { return m_settings.sharedPalette; }

    bool AddPaletteSample(const QImage& sample) override
    {
        return !m_settings.sharedPalette || m_shared.Learn(sample) || Fail("the GIF palette could not be made");
    }

    bool AddFrame(const QImage& frame) override
    {
        if (m_frame >= m_settings.frames)
            return Fail("more frames than the animation has");
        CIndexedImage indexed;
        if (m_settings.sharedPalette) {
            if (!m_fitted && !(m_fitted = m_shared.Fit()))
                return Fail("the GIF palette could not be made");
            if (!m_shared.Remap(frame, indexed))
                return Fail("a frame could not be reduced to the GIF palette");
        } else if (!QuantizeForGif(frame, indexed)) {
            return Fail("a frame could not be reduced to 256 colours");
        }
        if (!m_gif && !Open(indexed.palette))
            return Failed();
        // A frame whose palette is the global one needs no table of its own.
        const bool own = !m_settings.sharedPalette || !SamePalette(indexed.palette, m_globalPalette);
        const GifColorMap map = own ? MakeGifColorMap(indexed.palette) : nullptr;
        if (own && !map)
            return Fail("out of memory");

        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSE_DO_NOT;
        control.UserInputFlag = false;
        control.DelayTime = int(m_timing.DurationIn(m_frame, 100));
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        GifByteType extension[4];
        const size_t length = EGifGCBToExtension(&control, extension);
        bool ok = EGifPutExtension(m_gif, GRAPHICS_EXT_FUNC_CODE, int(length), extension) == GIF_OK &&
                  EGifPutImageDesc(m_gif, 0, 0, m_settings.width, m_settings.height, false, map.get()) == GIF_OK;
        for (int y = 0; ok && y < m_settings.height; ++y) {
            auto* row = &indexed.indices[std::size_t(y) * std::size_t(m_settings.width)];
            ok = EGifPutLine(m_gif, row, m_settings.width) == GIF_OK;
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
    static bool SamePalette(const std::vector<GifColorType>& a, const std::vector<GifColorType>& b)
    {
        if (a.size() != b.size())
            return false;
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (a[i].Red != b[i].Red || a[i].Green != b[i].Green || a[i].Blue != b[i].Blue)
                return false;
        }
        return true;
    }

    bool Open(const std::vector<GifColorType>& firstPalette)
    {
        int error = 0;
        m_gif = EGifOpen(&m_device, &WriteGifToDevice, &error);
        if (!m_gif)
            return false;
        EGifSetGifVersion(m_gif, true);
        GifColorMap global;
        if (m_settings.sharedPalette) {
            m_globalPalette = firstPalette;
            global = MakeGifColorMap(firstPalette);
            if (!global)
                return false;
        }
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
        return Fail(m_file.Failed() ? m_file.Failure().message : std::string("the GIF could not be encoded"));
    }

    AnimationSettings m_settings;
    render::animation::CLoopTiming m_timing;
    model::CStagedFile& m_file;
    CStagedFileDevice m_device;
    GifFileType* m_gif = nullptr;
    CSharedGifPalette m_shared;
    bool m_fitted = false;
    std::vector<GifColorType> m_globalPalette;
    uint32_t m_frame = 0;
};

} // namespace

std::unique_ptr<CAnimationEncoder> MakeGifEncoder(const AnimationSettings& settings, model::CStagedFile& file)
{
    return std::make_unique<CGifAnimationEncoder>(settings, file);
}

} // namespace quorrel::output::animation
