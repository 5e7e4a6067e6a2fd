// Animated WebP, streamed into the file: each frame encoded on its own by
// libwebp (lossy at a quality, or lossless) and written at once as an ANMF
// chunk after the VP8X and ANIM chunks; the RIFF size is patched at the
// end. Only the frame being encoded is held in memory, whatever the loop's
// length. Frames are whole and opaque, each replacing the one before (no
// blending), shown for their durations in milliseconds, looping forever.

#include "AnimationEncoders.h"

#include "render/animation/LoopTiming.h"

#include <QImage>

#include <webp/encode.h>

#include <span>

namespace quorrel::output::animation {

namespace {

using Bytes = std::vector<uint8_t>;

void PutLe(Bytes& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(uint8_t(value >> (8 * i)));
}

void PutFourCc(Bytes& out, const char* code) { out.insert(out.end(), code, code + 4); }

// The lossy quality without --quality: where the presets' loops showed no
// difference at 1:1 in the measurements of scripts/loop-quality.py.
constexpr int kDefaultQuality = 80;

// libwebp's writer callback: appends to a byte vector.
int CollectBytes(const uint8_t* data, size_t size, const WebPPicture* picture)
{
    auto* out = static_cast<Bytes*>(picture->custom_ptr);
    out->insert(out->end(), data, data + size);
    return 1;
}

class CWebpAnimationEncoder final : public CAnimationEncoder {
public:
    CWebpAnimationEncoder(const AnimationSettings& settings, model::CStagedFile& file)
        : m_settings(settings), m_timing(settings.frames, settings.fps), m_file(file)
    {
        m_configured = WebPConfigInit(&m_config);
        if (settings.lossless) {
            m_configured = m_configured && WebPConfigLosslessPreset(&m_config, 2);
        } else {
            m_config.lossless = 0;
            m_config.quality = float(settings.quality.value_or(kDefaultQuality));
            m_config.method = 4;
        }
        m_configured = m_configured && WebPValidateConfig(&m_config);
    }

    bool AddFrame(const QImage& frame) override
    {
        if (!m_configured)
            return Fail("the WebP encoder could not be set up");
        if (m_frame >= m_settings.frames)
            return Fail("more frames than the animation has");
        if (m_frame == 0 && !WriteHeader())
            return Fail(m_file.Failure().message);
        const QImage rgb = frame.convertToFormat(QImage::Format_RGB888);
        if (rgb.isNull())
            return Fail("not enough memory for a frame");
        Bytes coded;
        WebPPicture picture;
        if (!WebPPictureInit(&picture))
            return Fail("the WebP encoder could not be set up");
        picture.use_argb = m_settings.lossless ? 1 : 0;
        picture.width = rgb.width();
        picture.height = rgb.height();
        picture.writer = &CollectBytes;
        picture.custom_ptr = &coded;
        const bool ok =
            WebPPictureImportRGB(&picture, rgb.constBits(), int(rgb.bytesPerLine())) && WebPEncode(&m_config, &picture);
        const WebPEncodingError failure = picture.error_code;
        WebPPictureFree(&picture);
        if (!ok) {
            return Fail(failure == VP8_ENC_ERROR_OUT_OF_MEMORY ? "not enough memory to encode a frame as WebP"
                                                                : "a frame could not be encoded as WebP");
        }
        // The encoder wrote a whole file: "RIFF" size "WEBP", then the
        // image's chunk (VP8 or VP8L), which the ANMF chunk takes as is.
        if (coded.size() < 20)
            return Fail("a frame could not be encoded as WebP");
        const std::span<const uint8_t> image(coded.data() + 12, coded.size() - 12);
        Bytes anmf;
        PutFourCc(anmf, "ANMF");
        PutLe(anmf, uint32_t(16 + image.size()), 4);
        PutLe(anmf, 0, 3);   // x / 2
        PutLe(anmf, 0, 3);   // y / 2
        PutLe(anmf, uint32_t(m_settings.width - 1), 3);
        PutLe(anmf, uint32_t(m_settings.height - 1), 3);
        PutLe(anmf, std::min<uint32_t>(m_timing.DurationIn(m_frame, 1000), 0xFFFFFF), 3);
        anmf.push_back(0x02);   // no blending, no disposal
        if (!Write(anmf) || !Write(image))
            return Fail(m_file.Failure().message);
        ++m_frame;
        return true;
    }

    bool Finish() override
    {
        if (!m_configured || m_frame != m_settings.frames)
            return Fail("the animation lacks frames");
        Bytes size;
        PutLe(size, uint32_t(m_at - 8), 4);
        if (m_at - 8 > 0xFFFFFFFEu)
            return Fail("the animation is larger than a WebP file holds (4 GB)");
        return m_file.WriteAt(4, size) || Fail(m_file.Failure().message);
    }

private:
    bool Write(std::span<const uint8_t> bytes)
    {
        if (!m_file.WriteAt(m_at, bytes))
            return false;
        m_at += bytes.size();
        // Chunks are padded to an even size.
        if (bytes.size() % 2 == 0)
            return true;
        const uint8_t pad = 0;
        return m_file.WriteAt(m_at++, std::span<const uint8_t>(&pad, 1));
    }

    bool WriteHeader()
    {
        Bytes header;
        PutFourCc(header, "RIFF");
        PutLe(header, 0, 4);   // patched at the end
        PutFourCc(header, "WEBP");
        PutFourCc(header, "VP8X");
        PutLe(header, 10, 4);
        header.push_back(0x02);   // animation
        PutLe(header, 0, 3);
        PutLe(header, uint32_t(m_settings.width - 1), 3);
        PutLe(header, uint32_t(m_settings.height - 1), 3);
        PutFourCc(header, "ANIM");
        PutLe(header, 6, 4);
        PutLe(header, 0xFF000000u, 4);   // background: opaque black
        PutLe(header, 0, 2);             // loop forever
        return Write(header);
    }

    AnimationSettings m_settings;
    render::animation::CLoopTiming m_timing;
    model::CStagedFile& m_file;
    WebPConfig m_config{};
    bool m_configured = false;
    uint32_t m_frame = 0;
    uint64_t m_at = 0;
};

} // namespace

std::unique_ptr<CAnimationEncoder> MakeWebpEncoder(const AnimationSettings& settings, model::CStagedFile& file)
{
    return std::make_unique<CWebpAnimationEncoder>(settings, file);
}

} // namespace quorrel::output::animation
