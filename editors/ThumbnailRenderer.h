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

// The top-left corner of the wallpaper `params` makes, at half its size, as
// large as `box`: the tile laid edge to edge, rendered by the fast renderer
// on the calling thread. One scale for every tile, so that a large, slow
// pattern looks as calm as it is. Null for a parameter set that breaks the
// renderer's invariants.
QImage RenderThumbnail(const model::CTileParams& params, QSize box);

class CThumbnailRenderer final : public QObject {
    Q_OBJECT
public:
    // Makes one picture; runs on the renderer's thread.
    using RenderFunction = std::function<QImage(const model::CTileParams& params, QSize box)>;

    explicit CThumbnailRenderer(RenderFunction render = RenderThumbnail, QObject* parent = nullptr);
    // Forgets the queued requests and waits for the picture being made.
    ~CThumbnailRenderer() override;

    // Queues a picture of a copy of `params` for `key`. It replaces a request
    // for the same key that is still queued, and a picture of an earlier
    // request that is being made is not delivered.
    void Request(int key, const model::CTileParams& params, QSize box);

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
