// VP9 video in a WebM file that loops: libvpx in its good-quality mode at a
// constant quality, the frames turned from RGB into 4:2:0 YUV (BT.601,
// studio range, as players expect), one key frame at the loop's start (a
// player loops from there, so a key frame anywhere else would show as a
// pop where its quality differs from the frames around it), streamed into
// the file by our CWebmMuxer.

#include "AnimationEncoders.h"
#include "WebmMuxer.h"

#include "render/animation/LoopTiming.h"

#include <QImage>

#include <vpx/vp8cx.h>
#include <vpx/vpx_encoder.h>

#include <algorithm>
#include <span>
#include <thread>

namespace quorrel::output::animation {

namespace {

// The constant-quality level (0 best .. 63) without --quality, and libvpx's
// good-quality speed. Measured with scripts/loop-quality.py on the presets'
// 8-second loops: the real-time mode coded frames unevenly (steps between
// decoded neighbours alternating small and large, 3.2 times the median at
// the loop point); the good-quality mode at level 16 keeps the largest step
// within 1.5 times the median, and Ocean at 1920 x 1080 within 4 MB. Lower
// levels still alternate (the codec defers changes below its quantiser's
// step), only less; alternate reference frames and look-ahead did not help
// and cost memory, so both are off and each frame is coded as it comes.
constexpr int kDefaultCqLevel = 16;
constexpr int kCpuUsed = 4;
constexpr unsigned long kDeadline = VPX_DL_GOOD_QUALITY;

int CqLevel(std::optional<int> quality)
{
    return quality ? (100 - *quality) * 63 / 100 : kDefaultCqLevel;
}

// One RGB row pair into the Y rows and one row of U and V; averages each
// 2 x 2 block (or what of it is inside the image) before the chroma.
void ConvertToI420(const QImage& rgb, vpx_image_t& image)
{
    const int width = rgb.width(), height = rgb.height();
    for (int y = 0; y < height; ++y) {
        const uchar* in = rgb.constScanLine(y);
        uint8_t* luma = image.planes[VPX_PLANE_Y] + std::ptrdiff_t(y) * image.stride[VPX_PLANE_Y];
        for (int x = 0; x < width; ++x, in += 3)
            luma[x] = uint8_t(((66 * in[0] + 129 * in[1] + 25 * in[2] + 128) >> 8) + 16);
    }
    for (int y = 0; y < height; y += 2) {
        const uchar* row0 = rgb.constScanLine(y);
        const uchar* row1 = rgb.constScanLine(std::min(y + 1, height - 1));
        uint8_t* u = image.planes[VPX_PLANE_U] + std::ptrdiff_t(y / 2) * image.stride[VPX_PLANE_U];
        uint8_t* v = image.planes[VPX_PLANE_V] + std::ptrdiff_t(y / 2) * image.stride[VPX_PLANE_V];
        for (int x = 0; x < width; x += 2) {
            const int x1 = std::min(x + 1, width - 1);
            int sum[3];
            for (int c = 0; c < 3; ++c)
                sum[c] = row0[3 * x + c] + row0[3 * x1 + c] + row1[3 * x + c] + row1[3 * x1 + c];
            const int r = (sum[0] + 2) >> 2, g = (sum[1] + 2) >> 2, b = (sum[2] + 2) >> 2;
            u[x / 2] = uint8_t(((-38 * r - 74 * g + 112 * b + 128) >> 8) + 128);
            v[x / 2] = uint8_t(((112 * r - 94 * g - 18 * b + 128) >> 8) + 128);
        }
    }
}

class CWebmAnimationEncoder final : public CAnimationEncoder {
public:
    CWebmAnimationEncoder(const AnimationSettings& settings, model::CStagedFile& file)
        : m_settings(settings), m_timing(settings.frames, settings.fps), m_file(file),
          m_muxer(file, uint32_t(settings.width), uint32_t(settings.height), settings.fps, "V_VP9",
                  m_timing.LengthMs())
    {
        vpx_codec_iface_t* iface = vpx_codec_vp9_cx();
        vpx_codec_enc_cfg_t config;
        if (vpx_codec_enc_config_default(iface, &config, 0) != VPX_CODEC_OK)
            return;
        config.g_w = unsigned(settings.width);
        config.g_h = unsigned(settings.height);
        config.g_timebase = {1, int(settings.fps)};
        config.g_threads = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
        config.g_lag_in_frames = 0;
        config.g_pass = VPX_RC_ONE_PASS;
        config.rc_end_usage = VPX_Q;
        config.rc_min_quantizer = 0;
        config.rc_max_quantizer = 63;
        // Only the first frame is a key frame.
        config.kf_mode = VPX_KF_DISABLED;
        config.kf_min_dist = 0;
        config.kf_max_dist = settings.frames;
        const vpx_codec_err_t init = vpx_codec_enc_init(&m_codec, iface, &config, 0);
        m_outOfMemory = init == VPX_CODEC_MEM_ERROR;
        if (init != VPX_CODEC_OK)
            return;
        m_open = true;
        vpx_codec_control(&m_codec, VP8E_SET_CQ_LEVEL, CqLevel(settings.quality));
        vpx_codec_control(&m_codec, VP8E_SET_CPUUSED, kCpuUsed);
        vpx_codec_control(&m_codec, VP9E_SET_ROW_MT, 1);
        vpx_codec_control(&m_codec, VP9E_SET_TILE_COLUMNS, settings.width >= 1280 ? 2 : 0);
        vpx_codec_control(&m_codec, VP8E_SET_ENABLEAUTOALTREF, 0);
        vpx_codec_control(&m_codec, VP8E_SET_ARNR_MAXFRAMES, 0);
        vpx_codec_control(&m_codec, VP9E_SET_FRAME_PERIODIC_BOOST, 0);
        vpx_codec_control(&m_codec, VP9E_SET_AQ_MODE, 0);
        vpx_codec_control(&m_codec, VP9E_SET_COLOR_SPACE, VPX_CS_BT_601);
        vpx_codec_control(&m_codec, VP9E_SET_COLOR_RANGE, VPX_CR_STUDIO_RANGE);
        m_image = vpx_img_alloc(nullptr, VPX_IMG_FMT_I420, unsigned(settings.width), unsigned(settings.height), 16);
    }

    ~CWebmAnimationEncoder() override
    {
        if (m_image)
            vpx_img_free(m_image);
        if (m_open)
            vpx_codec_destroy(&m_codec);
    }

    bool AddFrame(const QImage& frame) override
    {
        if (m_outOfMemory || (m_open && !m_image))
            return Fail("not enough memory for the VP9 encoder");
        if (!m_open)
            return Fail("the VP9 encoder could not be set up");
        if (m_frame >= m_settings.frames)
            return Fail("more frames than the animation has");
        const QImage rgb = frame.convertToFormat(QImage::Format_RGB888);
        if (rgb.isNull())
            return Fail("not enough memory for a frame");
        ConvertToI420(rgb, *m_image);
        const vpx_enc_frame_flags_t flags = m_frame == 0 ? VPX_EFLAG_FORCE_KF : 0;
        const vpx_codec_err_t coded = vpx_codec_encode(&m_codec, m_image, m_frame, 1, flags, kDeadline);
        if (coded == VPX_CODEC_MEM_ERROR)
            return Fail("not enough memory to encode a frame as VP9");
        if (coded != VPX_CODEC_OK)
            return Fail(std::string("a frame could not be encoded as VP9: ") + vpx_codec_error(&m_codec));
        ++m_frame;
        return TakePackets();
    }

    bool Finish() override
    {
        if (!m_open || m_frame != m_settings.frames)
            return Fail("the animation lacks frames");
        // Drain what the encoder still holds.
        do {
            if (vpx_codec_encode(&m_codec, nullptr, 0, 1, 0, kDeadline) != VPX_CODEC_OK)
                return Fail(std::string("the VP9 stream could not be finished: ") + vpx_codec_error(&m_codec));
        } while (TakePackets() && m_gotPacket);
        if (!m_error.empty())
            return false;
        if (m_muxer.Frames() != m_settings.frames)
            return Fail("the VP9 encoder gave " + std::to_string(m_muxer.Frames()) + " frames, not " +
                        std::to_string(m_settings.frames));
        return m_muxer.Finish() || Fail(m_file.Failure().message);
    }

private:
    bool TakePackets()
    {
        m_gotPacket = false;
        vpx_codec_iter_t iter = nullptr;
        while (const vpx_codec_cx_pkt_t* packet = vpx_codec_get_cx_data(&m_codec, &iter)) {
            if (packet->kind != VPX_CODEC_CX_FRAME_PKT)
                continue;
            m_gotPacket = true;
            const auto* data = static_cast<const uint8_t*>(packet->data.frame.buf);
            const bool key = (packet->data.frame.flags & VPX_FRAME_IS_KEY) != 0;
            try {
                if (!m_muxer.AddFrame(std::span<const uint8_t>(data, packet->data.frame.sz),
                                      m_timing.StartIn(uint64_t(packet->data.frame.pts), 1000), key)) {
                    m_error = m_file.Failure().message;
                    return Fail(m_error);
                }
            } catch (const std::invalid_argument& e) {
                m_error = e.what();
                return Fail(e.what());
            }
        }
        return true;
    }

    AnimationSettings m_settings;
    render::animation::CLoopTiming m_timing;
    model::CStagedFile& m_file;
    CWebmMuxer m_muxer;
    vpx_codec_ctx_t m_codec{};
    bool m_open = false;
    bool m_outOfMemory = false;
    vpx_image_t* m_image = nullptr;
    uint32_t m_frame = 0;
    bool m_gotPacket = false;
    std::string m_error;
};

} // namespace

std::unique_ptr<CAnimationEncoder> MakeWebmEncoder(const AnimationSettings& settings, model::CStagedFile& file)
{
    return std::make_unique<CWebmAnimationEncoder>(settings, file);
}

} // namespace quorrel::output::animation
