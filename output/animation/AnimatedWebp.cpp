// Animated WebP through libwebp's animation encoder: lossless, or lossy at a
// quality; frame times in milliseconds; a loop count of 0 (forever).

#include "AnimationEncoders.h"

#include "render/animation/LoopTiming.h"

#include <QImage>

#include <webp/encode.h>
#include <webp/mux.h>

#include <span>

namespace quorrel::output::animation {

namespace {

class CWebpAnimationEncoder final : public CAnimationEncoder {
public:
    CWebpAnimationEncoder(const AnimationSettings& settings, model::CStagedFile& file)
        : m_settings(settings), m_timing(settings.frames, settings.fps), m_file(file)
    {
        WebPAnimEncoderOptions options;
        if (!WebPAnimEncoderOptionsInit(&options))
            return;
        options.anim_params.loop_count = 0;
        options.anim_params.bgcolor = 0xFF000000u;
        m_encoder = WebPAnimEncoderNew(settings.width, settings.height, &options);
        m_configured = WebPConfigInit(&m_config);
        if (settings.quality) {
            m_config.lossless = 0;
            m_config.quality = float(*settings.quality);
            m_config.method = 3;
        } else {
            m_configured = m_configured && WebPConfigLosslessPreset(&m_config, 2);
        }
        m_configured = m_configured && WebPValidateConfig(&m_config);
    }

    ~CWebpAnimationEncoder() override
    {
        if (m_encoder)
            WebPAnimEncoderDelete(m_encoder);
    }

    bool AddFrame(const QImage& frame) override
    {
        if (!m_encoder || !m_configured)
            return Fail("the WebP encoder could not be set up");
        if (m_frame >= m_settings.frames)
            return Fail("more frames than the animation has");
        const QImage rgb = frame.convertToFormat(QImage::Format_RGB888);
        WebPPicture picture;
        if (!WebPPictureInit(&picture))
            return Fail("the WebP encoder could not be set up");
        picture.use_argb = 1;
        picture.width = rgb.width();
        picture.height = rgb.height();
        bool ok = WebPPictureImportRGB(&picture, rgb.constBits(), int(rgb.bytesPerLine())) &&
                  WebPAnimEncoderAdd(m_encoder, &picture, int(m_timing.StartIn(m_frame, 1000)), &m_config);
        WebPPictureFree(&picture);
        if (!ok)
            return Fail(std::string("a frame could not be encoded as WebP: ") + WebPAnimEncoderGetError(m_encoder));
        ++m_frame;
        return true;
    }

    bool Finish() override
    {
        if (!m_encoder || m_frame != m_settings.frames)
            return Fail("the animation lacks frames");
        // The end of the last frame, then the whole file.
        WebPData data;
        WebPDataInit(&data);
        if (!WebPAnimEncoderAdd(m_encoder, nullptr, int(m_timing.LengthMs()), nullptr) ||
            !WebPAnimEncoderAssemble(m_encoder, &data)) {
            return Fail(std::string("the WebP animation could not be assembled: ") +
                        WebPAnimEncoderGetError(m_encoder));
        }
        const bool written = m_file.Append(std::span<const uint8_t>(data.bytes, data.size));
        WebPDataClear(&data);
        return written || Fail(m_file.Failure().message);
    }

private:
    AnimationSettings m_settings;
    render::animation::CLoopTiming m_timing;
    model::CStagedFile& m_file;
    WebPAnimEncoder* m_encoder = nullptr;
    WebPConfig m_config{};
    bool m_configured = false;
    uint32_t m_frame = 0;
};

} // namespace

std::unique_ptr<CAnimationEncoder> MakeWebpEncoder(const AnimationSettings& settings, model::CStagedFile& file)
{
    return std::make_unique<CWebpAnimationEncoder>(settings, file);
}

} // namespace quorrel::output::animation
