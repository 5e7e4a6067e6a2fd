#include "ThumbnailRenderer.h"

#include "model/TileParams.h"
#include "output/RgbImageView.h"
#include "render/TileRenderer.h"
#include "render/continuous/TileLook.h"

#include <QPainter>

#include <algorithm>
#include <cmath>


namespace quorrel::editors {

QSize ThumbnailTileSize(QSize tile, QSize box, QSize screen)
{
    if (tile.isEmpty() || box.isEmpty() || screen.isEmpty())
        return {};
    const double scale = std::min(double(box.width()) / screen.width(), double(box.height()) / screen.height());
    return {std::max(1, int(std::lround(tile.width() * scale))), std::max(1, int(std::lround(tile.height() * scale)))};
}

QImage RenderThumbnail(const model::CTileParams& params, QSize box, QSize screen, int scale)
{
    if (!params.IsValid() || box.isEmpty() || screen.isEmpty() || scale < 1 || uint32_t(scale) > render::kMaxScale)
        return {};
    const QSize tileSize(static_cast<int>(params.m_nWidth) * scale, static_cast<int>(params.m_nHeight) * scale);
    const QSize shown = ThumbnailTileSize(tileSize, box, screen);

    // The series itself, seamless at any size, on this thread alone (the
    // renderer's shared pool belongs to the views): at twice the size shown
    // (never more than its own), then reduced smoothly, so that fine
    // patterns average out as they do to an eye far from the screen.
    render::RenderSettings settings;
    settings.threads = 1;
    settings.width = static_cast<uint32_t>(std::min(tileSize.width(), 2 * shown.width()));
    settings.height = static_cast<uint32_t>(std::min(tileSize.height(), 2 * shown.height()));
    render::CRgbImage rgb(settings.width, settings.height);
    render::RenderTileAs(scale > 1, params, rgb, settings, 1);
    QImage tile = output::ImageView(rgb).convertToFormat(QImage::Format_RGB32);
    if (tile.size() != shown)
        tile = tile.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);

    QImage picture(box, QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.fillRect(picture.rect(), QBrush(tile));
    return picture;
}

CThumbnailRenderer::CThumbnailRenderer(RenderFunction render, QObject* parent)
    : QObject(parent), m_render(std::move(render))
{
    m_thread = std::thread([this] { Run(); });
}

CThumbnailRenderer::~CThumbnailRenderer()
{
    {
        const std::lock_guard lock(m_mutex);
        m_bStop = true;
        m_queue.clear();
    }
    m_wake.notify_all();
    m_thread.join();
    // Pictures posted before the join die with this object's posted events.
}

void CThumbnailRenderer::Request(int key, const model::CTileParams& params, QSize box, QSize screen, int scale)
{
    const uint64_t ticket = ++m_nTicket;
    m_latest[key] = ticket;
    {
        const std::lock_guard lock(m_mutex);
        std::erase_if(m_queue, [key](const Job& job) { return job.key == key; });
        m_queue.push_back(Job{key, ticket, std::make_unique<model::CTileParams>(params), box, screen, scale});
    }
    m_wake.notify_one();
}

void CThumbnailRenderer::Run()
{
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_bStop || !m_queue.empty(); });
            if (m_bStop)
                return;
            job = std::move(m_queue.front());
            m_queue.pop_front();
        }
        QImage image;
        try {
            image = m_render(*job.params, job.box, job.screen, job.scale);
        } catch (const std::exception&) {
            image = QImage();   // delivered as no picture; the request is done
        }
        QMetaObject::invokeMethod(
            this, [this, key = job.key, ticket = job.ticket, image] { Deliver(key, ticket, image); },
            Qt::QueuedConnection);
    }
}

void CThumbnailRenderer::Deliver(int key, uint64_t ticket, const QImage& image)
{
    const auto it = m_latest.find(key);
    if (it == m_latest.end() || it->second != ticket)
        return;   // a later request for the key is on its way
    m_latest.erase(it);
    emit ThumbnailReady(key, image);
}

} // namespace quorrel::editors
