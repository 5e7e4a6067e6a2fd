// What one paint of the editor's view costs: a 1024 x 1024 tile in a
// 1280 x 1024 view at zoom 1, 4 and 16, each iteration one scroll step and
// a synchronous repaint (what scrolling does). The editor runs for real on
// the offscreen platform, with its settings in a temporary folder.
//
//   build/bench/quorrel_bench_paint                  the paint times
//   build/bench/quorrel_bench_paint --peak-memory 12 the peak resident size
//       (VmHWM) of the editor after scrolling through the view at zoom 12
//
// Paint time is wall-clock time: painting runs on the one GUI thread.

#include "app/MainFrame.h"
#include "app/QuorrelApp.h"
#include "app/QuorrelDoc.h"
#include "app/QuorrelView.h"

#include "model/TileParams.h"
#include "platform/MessageBox.h"

#include <QApplication>
#include <QFile>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

using namespace quorrel;

namespace {

constexpr QSize kClient(1280, 1024);
constexpr uint32_t kTile = 1024;

// Resident-set figures of this process in kB ("VmHWM", "VmRSS").
long StatusKb(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLong();
    return -1;
}

// The editor with one document of a rendered 1024 x 1024 tile, its view's
// client area sized to 1280 x 1024.
class Editor final {
public:
    Editor()
    {
        platform::SetMessageHandler([](const platform::MessageRequest&) { return platform::MsgResult::No; });
        app::CQuorrelView::SetPropertySheetRunner([](app::CQuorrelView&, bool, bool&) { return true; });
        m_app = std::make_unique<app::CQuorrelApp>();
        if (!m_app->InitInstance())
            std::abort();
        app::CQuorrelView* view = View();
        auto* doc = static_cast<app::CQuorrelDoc*>(view->GetDocument());
        doc->m_params.m_nWidth = doc->m_params.m_nHeight = kTile;
        doc->m_params.GenerateRandom(2024u);
        view->RenderView();
        // Grow the main window until the view's client area is the wanted size.
        app::CMainFrame* frame = m_app->MainFrame();
        frame->showNormal();
        for (int attempt = 0; attempt < 4 && view->viewport()->size() != kClient; ++attempt) {
            const QSize delta = kClient - view->viewport()->size();
            frame->resize(frame->size() + delta);
            QApplication::processEvents();
        }
        if (view->viewport()->size() != kClient) {
            std::fprintf(stderr, "the view's client area is %dx%d, not %dx%d\n", view->viewport()->width(),
                         view->viewport()->height(), kClient.width(), kClient.height());
            std::abort();
        }
    }
    ~Editor()
    {
        m_app.reset();
        app::CQuorrelView::SetPropertySheetRunner({});
        platform::SetMessageHandler({});
    }

    app::CQuorrelView* View() const { return static_cast<app::CQuorrelView*>(m_app->MainFrame()->GetActiveView()); }

    void SetZoom(int zoom)
    {
        app::CQuorrelView* view = View();
        while (view->ZoomFactor() > zoom)
            view->OnZoomOut();
        while (view->ZoomFactor() < zoom)
            view->OnZoomIn();
        QApplication::processEvents();
    }

    // One scroll step (down, or back up at the end of the range) and the
    // repaint it causes.
    void ScrollAndPaint()
    {
        QScrollBar* bar = View()->verticalScrollBar();
        const int step = bar->singleStep();
        m_down = m_down ? bar->value() + step <= bar->maximum() : bar->value() - step < bar->minimum();
        bar->setValue(bar->value() + (m_down ? step : -step));
        View()->viewport()->repaint();
    }

private:
    std::unique_ptr<app::CQuorrelApp> m_app;
    bool m_down = true;
};

Editor* g_editor = nullptr;

void Paint(benchmark::State& state)
{
    g_editor->SetZoom(static_cast<int>(state.range(0)));
    g_editor->ScrollAndPaint();   // the first paint at this zoom is not timed
    for (auto _ : state)
        g_editor->ScrollAndPaint();
    state.counters["VmHWM_MB"] = double(StatusKb("VmHWM")) / 1024.0;
}

int PeakMemory(int zoom)
{
    const long before = StatusKb("VmHWM");
    g_editor->SetZoom(zoom);
    for (int i = 0; i < 20; ++i)
        g_editor->ScrollAndPaint();
    std::printf("1024x1024 tile, 1280x1024 view, zoom %d: VmHWM %ld kB before painting, %ld kB after 20 "
                "scroll steps (VmRSS now %ld kB)\n",
                zoom, before, StatusKb("VmHWM"), StatusKb("VmRSS"));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // Never the real user's settings or display.
    QTemporaryDir home;
    if (!home.isValid())
        return 2;
    for (const char* var : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
        setenv(var, (home.path() + "/" + var).toLocal8Bit().constData(), 1);
    setenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit().constData(), 1);
    setenv("HOME", home.path().toLocal8Bit().constData(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication qapp(argc, argv);

    int peakZoom = 0;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--peak-memory") == 0)
            peakZoom = std::atoi(argv[i + 1]);

    auto editor = std::make_unique<Editor>();
    g_editor = editor.get();
    if (peakZoom > 0)
        return PeakMemory(peakZoom);

    benchmark::Initialize(&argc, argv);
    benchmark::RegisterBenchmark("paint_1280x1024/tile_1024/zoom", Paint)
        ->Arg(1)
        ->Arg(4)
        ->Arg(16)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
