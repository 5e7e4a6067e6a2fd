#pragma once
// Renders small pictures of parameter sets on a thread of its own, so that
// a window showing them opens at once and fills in as they arrive.

#include <QImage>
#include <QObject>
#include <QSize>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace quorrel::model { class CTileParams; }

namespace quorrel::editors {

// The desktop that `params` makes, as a picture of `box` pixels: the screen
// (`screen` pixels) scaled down to the box, with the tile laid over it edge
// to edge from the top-left corner at the same scale, as the desktop lays
// it. So a large, calm tile shows as a few large repeats and a small, busy
// one as many small ones, as they will look. Rendered by the fast renderer
// on the calling thread; with `scale` above 1 the tile is laid at that many
// times its own size and rendered continuously (the grain of the exact
// renderer would show when enlarged), as a preset's preferred scale makes it.
// Null for a parameter set that breaks the renderer's invariants, an empty
// box or screen, or a scale outside 1..render::kMaxScale.
QImage RenderThumbnail(const model::CTileParams& params, QSize box, QSize screen, int scale = 1);

// The size of the tile in such a picture: its own size times the scale of
// the box to the screen (the smaller of the two directions), at least one
// pixel.
QSize ThumbnailTileSize(QSize tile, QSize box, QSize screen);

class CThumbnailRenderer final : public QObject {
    Q_OBJECT
public:
    // Makes one picture; runs on the renderer's thread.
    using RenderFunction = std::function<QImage(const model::CTileParams& params, QSize box, QSize screen, int scale)>;

    explicit CThumbnailRenderer(RenderFunction render = DefaultRender(), QObject* parent = nullptr);
    // Forgets the queued requests and waits for the picture being made.
    ~CThumbnailRenderer() override;

    // Queues a picture of a copy of `params` for `key`. It replaces a request
    // for the same key that is still queued, and a picture of an earlier
    // request that is being made is not delivered.
    void Request(int key, const model::CTileParams& params, QSize box, QSize screen, int scale = 1);

    // RenderThumbnail as a RenderFunction.
    static RenderFunction DefaultRender()
    {
        return [](const model::CTileParams& params, QSize box, QSize screen, int scale) {
            return RenderThumbnail(params, box, screen, scale);
        };
    }

    // Requests whose picture has not been delivered yet.
    int Pending() const { return static_cast<int>(m_latest.size()); }

signals:
    // On the thread the renderer lives on, in the order the pictures are made.
    void ThumbnailReady(int key, const QImage& image);

private:
    struct Job {
        int key;
        uint64_t ticket;
        std::unique_ptr<model::CTileParams> params;
        QSize box;
        QSize screen;
        int scale;
    };

    void Run();
    void Deliver(int key, uint64_t ticket, const QImage& image);

    RenderFunction m_render;
    // The ticket of the latest request per key; touched on the owner's thread only.
    std::map<int, uint64_t> m_latest;
    uint64_t m_nTicket = 0;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_queue;
    bool m_bStop = false;
    std::thread m_thread;
};

} // namespace quorrel::editors
