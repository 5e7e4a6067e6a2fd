// The living wallpaper on a wlroots compositor: one layer-shell surface per
// output on the background layer, stretched over the output, drawn from
// shared-memory buffers holding the frame repeated from the output's
// top-left corner in the output's own pixels.

#include "Background.h"
#include "SwaybgPause.h"

#include "wlr-layer-shell-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>

namespace quorrel::living {

namespace {

using Clock = std::chrono::steady_clock;

// A frame callback unanswered this long means the compositor shows nothing
// of the surface: its output is off, the session is locked or something
// opaque covers it (compositors only answer for surfaces they draw).
constexpr auto kStalled = std::chrono::milliseconds(1000);
// Each wait for the compositor's answer at start.
constexpr int kRoundTripMs = 5000;
// A side beyond this (device pixels) is refused as a compositor's fault.
constexpr uint32_t kLargestSide = 32768;

// One wl_shm buffer of an output's size, mapped into our memory.
struct CBuffer {
    wl_buffer* buffer = nullptr;
    uint32_t* data = nullptr;
    size_t bytes = 0;
    int width = 0;
    int height = 0;
    bool busy = false;   // attached and not yet released by the compositor

    void Destroy()
    {
        if (buffer)
            wl_buffer_destroy(buffer);
        if (data)
            munmap(data, bytes);
        *this = {};
    }
};

class CWaylandBackground;

// One wl_output and the background surface on it.
struct COutput {
    CWaylandBackground* owner = nullptr;
    uint32_t globalName = 0;
    wl_output* output = nullptr;
    uint32_t outputVersion = 0;
    int32_t scale = 1;
    int32_t pendingScale = 1;
    wl_surface* surface = nullptr;
    zwlr_layer_surface_v1* layer = nullptr;
    bool configured = false;
    bool closed = false;           // the compositor closed the surface; a new one on the next `done`
    uint32_t width = 0;            // surface-local size from the last configure
    uint32_t height = 0;
    wl_callback* frame = nullptr;  // the pending frame callback
    Clock::time_point frameSince;
    CBuffer buffers[2];
};

class CWaylandBackground final : public IBackground {
public:
    ~CWaylandBackground() override;

    bool Connect(std::string& error);

    int Fd() const override { return wl_display_get_fd(m_display); }
    bool Dispatch(std::string& error) override;
    bool Show(const CFrameView& frame, std::string& error) override;
    bool Visible() const override;

    // Listener entry points (static trampolines below call these).
    void AddGlobal(wl_registry* registry, uint32_t name, const char* interface, uint32_t version);
    void RemoveGlobal(uint32_t name);
    void OutputDone(COutput& out);
    void Configure(COutput& out, uint32_t serial, uint32_t width, uint32_t height);
    void Closed(COutput& out);

private:
    void CreateSurface(COutput& out);
    void DestroySurface(COutput& out);
    void DestroyOutput(COutput& out);
    // Draws the kept frame on `out` when it has a free buffer.
    void Draw(COutput& out);
    CBuffer* FreeBuffer(COutput& out, int width, int height);
    bool CreateBuffer(CBuffer& buffer, int width, int height);
    bool RoundTrip(std::string& error);
    bool Failed(std::string& error) const;
    bool Flush(std::string& error);

    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    wl_compositor* m_compositor = nullptr;
    uint32_t m_compositorVersion = 0;
    wl_shm* m_shm = nullptr;
    zwlr_layer_shell_v1* m_layerShell = nullptr;
    std::vector<std::unique_ptr<COutput>> m_outputs;
    // The last frame shown, kept so that a surface configured later (a new
    // output, a new size) is drawn at once.
    std::vector<uint32_t> m_frame;
    int m_frameWidth = 0;
    int m_frameHeight = 0;
    // Stopped at the first frame, started again after the connection is
    // closed (a member: it outlives the destructor's body).
    CSwaybgPause m_swaybg;
    bool m_swaybgTried = false;
};

// --- listeners ------------------------------------------------------------

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version)
{
    static_cast<CWaylandBackground*>(data)->AddGlobal(registry, name, interface, version);
}

void OnGlobalRemove(void* data, wl_registry*, uint32_t name)
{
    static_cast<CWaylandBackground*>(data)->RemoveGlobal(name);
}

const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

void OnGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*, const char*, int32_t) {}
void OnMode(void*, wl_output*, uint32_t, int32_t, int32_t, int32_t) {}

void OnDone(void* data, wl_output*)
{
    auto* out = static_cast<COutput*>(data);
    out->owner->OutputDone(*out);
}

void OnScale(void* data, wl_output*, int32_t factor)
{
    // A scale below 1 or absurdly large is the compositor's fault: keep 1.
    static_cast<COutput*>(data)->pendingScale = factor >= 1 && factor <= 16 ? factor : 1;
}

const wl_output_listener kOutputListener = {OnGeometry, OnMode, OnDone, OnScale, nullptr, nullptr};

void OnConfigure(void* data, zwlr_layer_surface_v1*, uint32_t serial, uint32_t width, uint32_t height)
{
    auto* out = static_cast<COutput*>(data);
    out->owner->Configure(*out, serial, width, height);
}

void OnClosed(void* data, zwlr_layer_surface_v1*)
{
    auto* out = static_cast<COutput*>(data);
    out->owner->Closed(*out);
}

const zwlr_layer_surface_v1_listener kLayerListener = {OnConfigure, OnClosed};

void OnFrameDone(void* data, wl_callback* callback, uint32_t)
{
    auto* out = static_cast<COutput*>(data);
    wl_callback_destroy(callback);
    if (out->frame == callback)
        out->frame = nullptr;
}

const wl_callback_listener kFrameListener = {OnFrameDone};

void OnBufferRelease(void* data, wl_buffer*)
{
    static_cast<CBuffer*>(data)->busy = false;
}

const wl_buffer_listener kBufferListener = {OnBufferRelease};

void OnSyncDone(void* data, wl_callback* callback, uint32_t)
{
    if (data)
        *static_cast<bool*>(data) = true;
    wl_callback_destroy(callback);
}

const wl_callback_listener kSyncListener = {OnSyncDone};

// Fills `pixels` (width x height, rows `width` words apart) with `tile`
// repeated from the top-left corner: the first tile row band is built by
// copying each tile row across, every later row is a copy of the row one
// tile height above it.
void Tile(uint32_t* pixels, int width, int height, const uint32_t* tile, int tileWidth, int tileHeight)
{
    const int band = std::min(tileHeight, height);
    for (int y = 0; y < band; ++y) {
        uint32_t* row = pixels + size_t(y) * size_t(width);
        const uint32_t* source = tile + size_t(y) * size_t(tileWidth);
        for (int x = 0; x < width; x += tileWidth)
            std::memcpy(row + x, source, size_t(std::min(tileWidth, width - x)) * 4);
    }
    for (int y = band; y < height; ++y)
        std::memcpy(pixels + size_t(y) * size_t(width), pixels + size_t(y - tileHeight) * size_t(width),
                    size_t(width) * 4);
}

} // namespace

// --- the background -------------------------------------------------------

CWaylandBackground::~CWaylandBackground()
{
    for (auto& out : m_outputs)
        DestroyOutput(*out);
    if (m_layerShell)
        zwlr_layer_shell_v1_destroy(m_layerShell);
    if (m_shm)
        wl_shm_destroy(m_shm);
    if (m_compositor)
        wl_compositor_destroy(m_compositor);
    if (m_registry)
        wl_registry_destroy(m_registry);
    if (m_display) {
        wl_display_flush(m_display);
        wl_display_disconnect(m_display);
    }
}

bool CWaylandBackground::Connect(std::string& error)
{
    m_display = wl_display_connect(nullptr);
    if (!m_display) {
        error = "cannot connect to the Wayland compositor (WAYLAND_DISPLAY): " + std::string(std::strerror(errno));
        return false;
    }
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &kRegistryListener, this);
    // The globals; then the outputs' first state (their surfaces are made
    // on `done`); then the surfaces' first configure.
    for (int i = 0; i < 3; ++i) {
        if (!RoundTrip(error))
            return false;
        if (i == 0 && (!m_compositor || !m_shm || !m_layerShell)) {
            error = !m_layerShell ? "the compositor offers no wlr layer shell (not a wlroots compositor)"
                                  : "the compositor offers no shared-memory buffers";
            return false;
        }
    }
    return true;
}

void CWaylandBackground::AddGlobal(wl_registry* registry, uint32_t name, const char* interface, uint32_t version)
{
    const std::string_view kind(interface);
    if (kind == wl_compositor_interface.name && !m_compositor) {
        // Version 4 for damage in buffer pixels; 3 for the buffer scale.
        m_compositorVersion = std::min<uint32_t>(version, 4);
        m_compositor = static_cast<wl_compositor*>(
            wl_registry_bind(registry, name, &wl_compositor_interface, m_compositorVersion));
    } else if (kind == wl_shm_interface.name && !m_shm) {
        m_shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    } else if (kind == zwlr_layer_shell_v1_interface.name && !m_layerShell) {
        m_layerShell = static_cast<zwlr_layer_shell_v1*>(
            wl_registry_bind(registry, name, &zwlr_layer_shell_v1_interface, 1));
    } else if (kind == wl_output_interface.name) {
        auto out = std::make_unique<COutput>();
        out->owner = this;
        out->globalName = name;
        // Version 2 tells the scale and when a change is complete; 3 can be
        // released.
        out->outputVersion = std::min<uint32_t>(version, 3);
        out->output = static_cast<wl_output*>(wl_registry_bind(registry, name, &wl_output_interface, out->outputVersion));
        wl_output_add_listener(out->output, &kOutputListener, out.get());
        COutput& added = *out;
        m_outputs.push_back(std::move(out));
        // Without `done` events there is nothing to wait for.
        if (added.outputVersion < 2)
            CreateSurface(added);
    }
}

void CWaylandBackground::RemoveGlobal(uint32_t name)
{
    const auto it = std::find_if(m_outputs.begin(), m_outputs.end(),
                                 [name](const auto& out) { return out->globalName == name; });
    if (it == m_outputs.end())
        return;
    DestroyOutput(**it);
    m_outputs.erase(it);
}

void CWaylandBackground::OutputDone(COutput& out)
{
    const bool rescaled = out.pendingScale != out.scale;
    out.scale = out.pendingScale;
    if (!out.surface) {
        out.closed = false;
        CreateSurface(out);
    } else if (rescaled && out.configured) {
        Draw(out);
    }
}

void CWaylandBackground::CreateSurface(COutput& out)
{
    if (!m_compositor || !m_layerShell)
        return;
    out.surface = wl_compositor_create_surface(m_compositor);
    // Clicks and touches on the desktop go to the compositor, not to us.
    wl_region* nothing = wl_compositor_create_region(m_compositor);
    wl_surface_set_input_region(out.surface, nothing);
    wl_region_destroy(nothing);
    out.layer = zwlr_layer_shell_v1_get_layer_surface(m_layerShell, out.surface, out.output,
                                                      ZWLR_LAYER_SHELL_V1_LAYER_BACKGROUND, "wallpaper");
    zwlr_layer_surface_v1_add_listener(out.layer, &kLayerListener, &out);
    zwlr_layer_surface_v1_set_size(out.layer, 0, 0);
    zwlr_layer_surface_v1_set_anchor(out.layer,
                                     ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                         ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    // Under panels too, as a wallpaper lies.
    zwlr_layer_surface_v1_set_exclusive_zone(out.layer, -1);
    // The first commit carries no buffer: the compositor answers with the size.
    wl_surface_commit(out.surface);
}

void CWaylandBackground::Configure(COutput& out, uint32_t serial, uint32_t width, uint32_t height)
{
    zwlr_layer_surface_v1_ack_configure(out.layer, serial);
    if (width == 0 || height == 0 || width > kLargestSide || height > kLargestSide) {
        // Anchored to all edges the compositor must give a size; without one
        // nothing can be drawn.
        out.configured = false;
        return;
    }
    out.width = width;
    out.height = height;
    out.configured = true;
    Draw(out);
}

void CWaylandBackground::Closed(COutput& out)
{
    // The output went away or was switched off; a new surface is made when
    // the output reports itself again.
    DestroySurface(out);
    out.closed = true;
}

void CWaylandBackground::DestroySurface(COutput& out)
{
    if (out.frame) {
        wl_callback_destroy(out.frame);
        out.frame = nullptr;
    }
    if (out.layer) {
        zwlr_layer_surface_v1_destroy(out.layer);
        out.layer = nullptr;
    }
    if (out.surface) {
        wl_surface_destroy(out.surface);
        out.surface = nullptr;
    }
    for (CBuffer& buffer : out.buffers)
        buffer.Destroy();
    out.configured = false;
}

void CWaylandBackground::DestroyOutput(COutput& out)
{
    DestroySurface(out);
    if (out.output) {
        if (out.outputVersion >= WL_OUTPUT_RELEASE_SINCE_VERSION)
            wl_output_release(out.output);
        else
            wl_output_destroy(out.output);
        out.output = nullptr;
    }
}

bool CWaylandBackground::CreateBuffer(CBuffer& buffer, int width, int height)
{
    const size_t stride = size_t(width) * 4;
    const size_t bytes = stride * size_t(height);
    if (bytes > size_t(INT32_MAX))
        return false;
    const int fd = memfd_create("quorrel-living", MFD_CLOEXEC);
    if (fd < 0)
        return false;
    if (ftruncate(fd, off_t(bytes)) != 0) {
        close(fd);
        return false;
    }
    void* data = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (data == MAP_FAILED) {
        close(fd);
        return false;
    }
    wl_shm_pool* pool = wl_shm_create_pool(m_shm, fd, int32_t(bytes));
    buffer.buffer = wl_shm_pool_create_buffer(pool, 0, width, height, int32_t(stride), WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    buffer.data = static_cast<uint32_t*>(data);
    buffer.bytes = bytes;
    buffer.width = width;
    buffer.height = height;
    buffer.busy = false;
    wl_buffer_add_listener(buffer.buffer, &kBufferListener, &buffer);
    return true;
}

CBuffer* CWaylandBackground::FreeBuffer(COutput& out, int width, int height)
{
    for (CBuffer& buffer : out.buffers)
        if (!buffer.busy && buffer.buffer && buffer.width == width && buffer.height == height)
            return &buffer;
    // None of this size is free: replace a free one of another size (or an
    // empty slot).
    for (CBuffer& buffer : out.buffers)
        if (!buffer.busy) {
            buffer.Destroy();
            return CreateBuffer(buffer, width, height) ? &buffer : nullptr;
        }
    return nullptr;
}

void CWaylandBackground::Draw(COutput& out)
{
    if (!out.configured || !out.surface || m_frame.empty())
        return;
    const int width = int(out.width) * out.scale;
    const int height = int(out.height) * out.scale;
    CBuffer* buffer = FreeBuffer(out, width, height);
    if (!buffer)
        return;   // both still on screen: the next frame comes soon enough
    Tile(buffer->data, width, height, m_frame.data(), m_frameWidth, m_frameHeight);
    wl_surface_attach(out.surface, buffer->buffer, 0, 0);
    buffer->busy = true;
    if (m_compositorVersion >= 3)
        wl_surface_set_buffer_scale(out.surface, out.scale);
    if (m_compositorVersion >= 4)
        wl_surface_damage_buffer(out.surface, 0, 0, width, height);
    else
        wl_surface_damage(out.surface, 0, 0, int32_t(out.width), int32_t(out.height));
    if (!out.frame) {
        out.frame = wl_surface_frame(out.surface);
        wl_callback_add_listener(out.frame, &kFrameListener, &out);
        out.frameSince = Clock::now();
    }
    wl_surface_commit(out.surface);
}

bool CWaylandBackground::Show(const CFrameView& frame, std::string& error)
{
    if (!frame.pixels || frame.width <= 0 || frame.height <= 0 || frame.strideWords < frame.width ||
        frame.width > int(kLargestSide) || frame.height > int(kLargestSide)) {
        error = "the frame has no pixels or a wrong size";
        return false;
    }
    if (Failed(error))
        return false;
    if (!m_swaybgTried) {
        // Without it the loop may lie hidden under swaybg; it still plays.
        std::string ignored;
        m_swaybgTried = true;
        m_swaybg.Pause(ignored);
    }
    m_frameWidth = frame.width;
    m_frameHeight = frame.height;
    m_frame.resize(size_t(frame.width) * size_t(frame.height));
    for (int y = 0; y < frame.height; ++y)
        std::memcpy(m_frame.data() + size_t(y) * size_t(frame.width),
                    frame.pixels + size_t(y) * size_t(frame.strideWords), size_t(frame.width) * 4);
    // A surface whose last frame the compositor has not shown yet is left
    // out: drawing faster than the screen shows is work for nothing.
    for (auto& out : m_outputs)
        if (!out->frame)
            Draw(*out);
    return Flush(error);
}

bool CWaylandBackground::Visible() const
{
    const auto now = Clock::now();
    for (const auto& out : m_outputs)
        if (out->configured && (!out->frame || now - out->frameSince < kStalled))
            return true;
    return false;
}

bool CWaylandBackground::Failed(std::string& error) const
{
    const int code = wl_display_get_error(m_display);
    if (code == 0)
        return false;
    if (code == EPROTO) {
        const wl_interface* interface = nullptr;
        uint32_t id = 0;
        const uint32_t protocolCode = wl_display_get_protocol_error(m_display, &interface, &id);
        error = "the compositor ended the connection: protocol error " + std::to_string(protocolCode) + " on " +
                (interface ? interface->name : "an unknown object");
    } else {
        error = "the connection to the compositor is gone: " + std::string(std::strerror(code));
    }
    return true;
}

bool CWaylandBackground::Flush(std::string& error)
{
    // A full socket (EAGAIN) keeps the rest for the next flush.
    if (wl_display_flush(m_display) < 0 && errno != EAGAIN) {
        if (!Failed(error))
            error = "cannot write to the compositor: " + std::string(std::strerror(errno));
        return false;
    }
    return !Failed(error);
}

bool CWaylandBackground::Dispatch(std::string& error)
{
    while (wl_display_prepare_read(m_display) != 0)
        if (wl_display_dispatch_pending(m_display) < 0)
            return !Failed(error);
    if (!Flush(error)) {
        wl_display_cancel_read(m_display);
        return false;
    }
    pollfd pfd = {wl_display_get_fd(m_display), POLLIN, 0};
    if (poll(&pfd, 1, 0) > 0 && (pfd.revents & (POLLIN | POLLHUP | POLLERR))) {
        if (wl_display_read_events(m_display) < 0) {
            if (!Failed(error))
                error = "the connection to the compositor is gone: " + std::string(std::strerror(errno));
            return false;
        }
    } else {
        wl_display_cancel_read(m_display);
    }
    if (wl_display_dispatch_pending(m_display) < 0) {
        Failed(error);
        return false;
    }
    return Flush(error);
}

bool CWaylandBackground::RoundTrip(std::string& error)
{
    bool done = false;
    wl_callback* sync = wl_display_sync(m_display);
    wl_callback_add_listener(sync, &kSyncListener, &done);
    const auto deadline = Clock::now() + std::chrono::milliseconds(kRoundTripMs);
    while (!done) {
        if (!Dispatch(error))
            return false;
        if (done)
            break;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            // The callback stays registered with a flag that dies with this
            // frame: forget it so a late answer cannot write there.
            wl_proxy_set_user_data(reinterpret_cast<wl_proxy*>(sync), nullptr);
            error = "the compositor did not answer within " + std::to_string(kRoundTripMs / 1000) + " s";
            return false;
        }
        pollfd pfd = {wl_display_get_fd(m_display), POLLIN, 0};
        if (poll(&pfd, 1, int(left)) < 0 && errno != EINTR) {
            error = "cannot wait for the compositor: " + std::string(std::strerror(errno));
            return false;
        }
    }
    return true;
}

std::unique_ptr<IBackground> OpenWaylandBackground(std::string& error)
{
    auto background = std::make_unique<CWaylandBackground>();
    if (!background->Connect(error))
        return nullptr;
    return background;
}

} // namespace quorrel::living
