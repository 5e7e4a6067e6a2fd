#include "LoopFiles.h"

#include "FramesFile.h"
#include "LivingFolder.h"

#include "output/RgbImageView.h"
#include "output/animation/AnimationExport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>

#include <algorithm>

namespace quorrel::output::living {

namespace {

std::string Native(const QString& path) { return QFile::encodeName(path).toStdString(); }

// Takes the export's frames and writes them as 0xffRRGGBB words.
class CFramesEncoder final : public animation::CAnimationEncoder {
public:
    explicit CFramesEncoder(CLivingFile& file) : m_file(file) {}

    bool AddFrame(const QImage& frame) override
    {
        const QImage words = frame.convertToFormat(QImage::Format_RGB32);
        if (words.isNull())
            return Fail("not enough memory");
        for (int y = 0; y < words.height(); ++y) {
            if (!m_file.Write(std::span(words.constScanLine(y), std::size_t(words.width()) * 4)))
                return Fail("the frames file could not be written");
        }
        return true;
    }
    bool Finish() override { return true; }

private:
    CLivingFile& m_file;
};

} // namespace

bool WriteFramesFile(const render::animation::CAnimationLoop& loop, const CLoopSize& size, const QString& folder,
                     QString& error, const std::function<void(int)>& progress, const std::atomic<bool>* cancel)
{
    animation::FrameLayout layout;
    layout.tileWidth = size.width;
    layout.tileHeight = size.height;
    layout.threads = size.threads;
    const QSize frame = layout.FrameSize(loop);
    std::string reason;
    const auto header = MakeFramesHeader(uint32_t(frame.width()), uint32_t(frame.height()), loop.Timing().Frames(),
                                         loop.Timing().Fps(), reason);
    CLivingFile file;
    if (!header || !file.Open(Native(folder), "loop.frames", reason)) {
        error = QString::fromStdString(reason);
        return false;
    }
    uint8_t bytes[kFramesHeaderBytes];
    EncodeFramesHeader(*header, bytes);
    file.Write(bytes);
    CFramesEncoder encoder(file);
    const animation::ExportOutcome outcome = animation::EncodeLoop(loop, layout, encoder, reason, progress, cancel);
    if (outcome == animation::ExportOutcome::Cancelled) {
        error = QStringLiteral("cancelled");
        return false;
    }
    if (outcome != animation::ExportOutcome::Written || !file.Commit(reason)) {
        error = QString::fromStdString(reason);
        return false;
    }
    return true;
}

int SlideCount(uint32_t frames) { return int(std::min<uint32_t>(frames, kMostSlides)); }

bool WriteSlides(const render::animation::CAnimationLoop& loop, const CLoopSize& size, const QString& slidesFolder,
                 QStringList& slides, QString& error, const std::function<void(int)>& progress)
{
    render::RenderSettings settings;
    settings.width = size.width ? size.width : loop.Settings().m_nWidth;
    settings.height = size.height ? size.height : loop.Settings().m_nHeight;
    settings.threads = size.threads;
    render::CRgbImage tile(settings.width, settings.height);
    const uint32_t frames = loop.Timing().Frames();
    const int count = SlideCount(frames);
    for (int s = 0; s < count; ++s) {
        loop.RenderFrame(uint64_t(s) * frames / uint64_t(count), tile, settings);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!ImageView(tile).save(&buffer, "PNG")) {
            error = QStringLiteral("a slide could not be encoded");
            return false;
        }
        const QString name = QStringLiteral("slide-%1.png").arg(s + 1, 3, 10, QLatin1Char('0'));
        std::string reason;
        if (!WriteLivingFile(Native(slidesFolder), Native(name),
                             std::span(reinterpret_cast<const uint8_t*>(png.constData()), std::size_t(png.size())),
                             reason)) {
            error = QString::fromStdString(reason);
            return false;
        }
        slides << QDir(slidesFolder).filePath(name);
        if (progress)
            progress((s + 1) * 100 / count);
    }
    return true;
}

} // namespace quorrel::output::living
