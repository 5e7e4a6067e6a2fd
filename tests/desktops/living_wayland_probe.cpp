// Shows a few synthetic frames on the wlroots background at a given rate, as
// the living wallpaper's player would, for check-living-wayland.sh and the
// CPU figures: frames of their own (see Pixel: a wrong tiling origin or a
// stale frame shows in a screenshot), written as PPM for the references.
//   quorrel-living-wayland-probe [--size WxH] [--frames N] [--fps F]
//       [--seconds S] [--write-frames DIR]
// Prints "visible" / "hidden" whenever the background says so, and at the end
// how many frames it showed. Ends after S seconds (0: on SIGTERM or SIGINT).
//   quorrel-living-wayland-probe --cover
// Instead opens a black window (app id "quorrel-living-cover") to be made
// fullscreen over the background, until SIGTERM: what a locked or covered
// desktop looks like to the background.

#include "tools/living/Background.h"

#include "xdg-shell-client-protocol.h"

#include <wayland-client.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>

using quorrel::living::CFrameView;
using Clock = std::chrono::steady_clock;

namespace {

volatile std::sig_atomic_t g_stop = 0;

void OnSignal(int)
{
    g_stop = 1;
}

// Frame k's pixel: a red ramp across and a green ramp down the tile (so the
// tiling shows to the eye), a blue level of the frame's own, and a little
// noise, so that no shifted or stale frame can equal another.
uint32_t Pixel(uint32_t x, uint32_t y, uint32_t width, uint32_t height, uint32_t k)
{
    uint32_t h = x * 0x9e3779b1u ^ (y + 0x7f4a7c15u) * 0x85ebca6bu ^ (k + 1) * 0xc2b2ae35u;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    const uint32_t red = (x * 224 / width) | (h & 31);
    const uint32_t green = (y * 224 / height) | ((h >> 8) & 31);
    const uint32_t blue = ((k * 97) & 0xe0) | ((h >> 16) & 31);
    return 0xff000000u | red << 16 | green << 8 | blue;
}

bool WritePpm(const std::string& path, const std::vector<uint32_t>& pixels, int width, int height)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    std::fprintf(file, "P6\n%d %d\n255\n", width, height);
    for (uint32_t pixel : pixels) {
        const unsigned char rgb[3] = {static_cast<unsigned char>(pixel >> 16), static_cast<unsigned char>(pixel >> 8),
                                      static_cast<unsigned char>(pixel)};
        std::fwrite(rgb, 1, 3, file);
    }
    return std::fclose(file) == 0;
}

// The cover window: black, any size the compositor asks for.
struct CCover {
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    xdg_wm_base* shell = nullptr;
    wl_surface* surface = nullptr;
    int32_t width = 0;
    int32_t height = 0;
};

void Attach(CCover& cover)
{
    const int32_t width = cover.width > 0 ? cover.width : 64, height = cover.height > 0 ? cover.height : 64;
    const int32_t bytes = width * 4 * height;
    const int fd = memfd_create("quorrel-cover", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, bytes) != 0)
        return;
    // A new file reads as zeros: opaque black in XRGB8888.
    wl_shm_pool* pool = wl_shm_create_pool(cover.shm, fd, bytes);
    wl_buffer* buffer = wl_shm_pool_create_buffer(pool, 0, width, height, width * 4, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    wl_surface_attach(cover.surface, buffer, 0, 0);
    wl_surface_damage(cover.surface, 0, 0, width, height);
    wl_surface_commit(cover.surface);
}

int Cover()
{
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "no compositor\n");
        return 1;
    }
    CCover cover;
    static const wl_registry_listener registryListener = {
        [](void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
            auto& c = *static_cast<CCover*>(data);
            if (std::strcmp(interface, wl_compositor_interface.name) == 0)
                c.compositor = static_cast<wl_compositor*>(wl_registry_bind(registry, name, &wl_compositor_interface, 1));
            else if (std::strcmp(interface, wl_shm_interface.name) == 0)
                c.shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
            else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0)
                c.shell = static_cast<xdg_wm_base*>(wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
        },
        [](void*, wl_registry*, uint32_t) {}};
    wl_registry_add_listener(wl_display_get_registry(display), &registryListener, &cover);
    wl_display_roundtrip(display);
    if (!cover.compositor || !cover.shm || !cover.shell) {
        std::fprintf(stderr, "the compositor lacks xdg-shell\n");
        return 1;
    }
    static const xdg_wm_base_listener shellListener = {
        [](void*, xdg_wm_base* shell, uint32_t serial) { xdg_wm_base_pong(shell, serial); }};
    xdg_wm_base_add_listener(cover.shell, &shellListener, nullptr);
    cover.surface = wl_compositor_create_surface(cover.compositor);
    xdg_surface* window = xdg_wm_base_get_xdg_surface(cover.shell, cover.surface);
    static const xdg_surface_listener surfaceListener = {[](void* data, xdg_surface* surface, uint32_t serial) {
        xdg_surface_ack_configure(surface, serial);
        Attach(*static_cast<CCover*>(data));
    }};
    xdg_surface_add_listener(window, &surfaceListener, &cover);
    xdg_toplevel* toplevel = xdg_surface_get_toplevel(window);
    static const xdg_toplevel_listener toplevelListener = {
        [](void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*) {
            auto& c = *static_cast<CCover*>(data);
            c.width = width;
            c.height = height;
        },
        [](void*, xdg_toplevel*) { g_stop = 1; }, nullptr, nullptr};
    xdg_toplevel_add_listener(toplevel, &toplevelListener, &cover);
    xdg_toplevel_set_app_id(toplevel, "quorrel-living-cover");
    wl_surface_commit(cover.surface);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGINT, OnSignal);
    while (!g_stop) {
        wl_display_flush(display);
        pollfd pfd = {wl_display_get_fd(display), POLLIN, 0};
        if (poll(&pfd, 1, 500) > 0 && wl_display_dispatch(display) < 0)
            return 1;
    }
    wl_display_disconnect(display);
    return 0;
}

int Usage()
{
    std::fprintf(stderr, "usage: quorrel-living-wayland-probe [--size WxH] [--frames N] [--fps F] [--seconds S]"
                         " [--write-frames DIR]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    int width = 97, height = 61, count = 4;
    double fps = 10, seconds = 0;
    std::string folder;
    if (argc == 2 && std::strcmp(argv[1], "--cover") == 0)
        return Cover();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc)
            return Usage();
        const char* value = argv[++i];
        if (arg == "--size") {
            if (std::sscanf(value, "%dx%d", &width, &height) != 2)
                return Usage();
        } else if (arg == "--frames") {
            count = std::atoi(value);
        } else if (arg == "--fps") {
            fps = std::atof(value);
        } else if (arg == "--seconds") {
            seconds = std::atof(value);
        } else if (arg == "--write-frames") {
            folder = value;
        } else {
            return Usage();
        }
    }
    if (width < 1 || height < 1 || width > 4096 || height > 4096 || count < 1 || count > 1000 || !(fps > 0) ||
        fps > 1000 || seconds < 0)
        return Usage();

    std::vector<std::vector<uint32_t>> frames(size_t(count), std::vector<uint32_t>(size_t(width) * size_t(height)));
    for (int k = 0; k < count; ++k) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                frames[size_t(k)][size_t(y) * size_t(width) + size_t(x)] = Pixel(uint32_t(x), uint32_t(y), uint32_t(width), uint32_t(height), uint32_t(k));
        if (!folder.empty() &&
            !WritePpm(folder + "/frame-" + std::to_string(k) + ".ppm", frames[size_t(k)], width, height)) {
            std::fprintf(stderr, "cannot write the frames into %s\n", folder.c_str());
            return 1;
        }
    }

    std::string error;
    auto background = quorrel::living::OpenWaylandBackground(error);
    if (!background) {
        std::fprintf(stderr, "no background: %s\n", error.c_str());
        return 1;
    }
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGINT, OnSignal);

    const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / fps));
    const auto start = Clock::now();
    auto next = start;
    long shown = 0;
    int current = 0;
    int visible = -1;
    while (!g_stop) {
        const auto now = Clock::now();
        if (seconds > 0 && now - start >= std::chrono::duration<double>(seconds))
            break;
        const bool isVisible = background->Visible();
        if (int(isVisible) != visible) {
            visible = isVisible;
            std::printf("%s %.2f\n", isVisible ? "visible" : "hidden",
                        std::chrono::duration<double>(now - start).count());
            std::fflush(stdout);
        }
        if (now >= next) {
            if (isVisible) {
                const CFrameView view{frames[size_t(current)].data(), width, height, width};
                if (!background->Show(view, error)) {
                    std::fprintf(stderr, "cannot show a frame: %s\n", error.c_str());
                    return 1;
                }
                current = (current + 1) % count;
                ++shown;
            }
            next += period;
            if (next < now)
                next = now + period;
        }
        // Hidden: wake for the compositor's news, or once a second to tell.
        const auto wait = isVisible ? next - Clock::now() : std::chrono::seconds(1);
        const int waitMs = int(std::max<long long>(
            0, std::chrono::duration_cast<std::chrono::milliseconds>(wait).count()));
        pollfd pfd = {background->Fd(), POLLIN, 0};
        poll(&pfd, 1, waitMs);
        if (!background->Dispatch(error)) {
            std::fprintf(stderr, "the compositor is gone: %s\n", error.c_str());
            return 1;
        }
    }
    std::printf("shown %ld\n", shown);
    return 0;
}
