#include "support/EditorSession.h"

#include "output/DesktopWallpaper.h"
#include "platform/DocTemplate.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBox.h"
#include "platform/SettingsLocation.h"
#include "support/XServerTest.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTest>

namespace quorrel::test {

using namespace quorrel::app;
using namespace quorrel::platform;

QString WorkDir() { return XServerWorkFolder(); }

void Xdo(const QStringList& args, int settleMs)
{
    QProcess::execute(QStringLiteral("xdotool"), args);
    // A round trip to the X server: the events xdotool made are then in
    // this process's queue, and are handled here.
    QGuiApplication::sync();
    QCoreApplication::processEvents();
    if (settleMs > 0)
        QTest::qWait(settleMs);
}

QString XProperty(WId window, const char* property)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {"-id", QString::number(window), "-notype", property});
    if (!xprop.waitForFinished(5000))
        return QStringLiteral("<xprop hung>");
    const QString line = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("= \"(.*)\"$")).match(line);
    return match.hasMatch() ? match.captured(1) : line;
}

QImage Screenshot(const QString& name) { return XScreenshot(WorkDir() + "/x11-" + name + ".png"); }

QImage Tile(const CQuorrelView* view)
{
    const auto& params = view->GetDocument()->m_params;
    return view->RenderedBitmap()
        .copy(0, 0, int(params.m_nWidth), int(params.m_nHeight))
        .convertToFormat(QImage::Format_RGB32);
}

double ShareShowingTile(const QImage& screen, const CQuorrelView* view, int zoom, const QWidget* area, qreal ratio)
{
    const QImage tile = Tile(view);
    const QWidget* viewport = view->viewport();
    if (!area)
        area = viewport;
    const auto device = [ratio](QPoint p) { return QPoint(qRound(p.x() * ratio), qRound(p.y() * ratio)); };
    const QRect visible(device(viewport->mapToGlobal(QPoint(0, 0))), (QSizeF(viewport->size()) * ratio).toSize());
    const QRect onScreen = QRect(device(area->mapToGlobal(QPoint(0, 0))), (QSizeF(area->size()) * ratio).toSize())
                               .intersected(screen.rect());
    if (onScreen.isEmpty() || tile.isNull())
        return 0;
    const QPoint scroll = device(view->GetScrollPosition());
    qint64 same = 0;
    for (int y = onScreen.top(); y <= onScreen.bottom(); ++y) {
        for (int x = onScreen.left(); x <= onScreen.right(); ++x) {
            const QPoint p = QPoint(x, y) - visible.topLeft() + scroll;
            same += (screen.pixel(x, y) & 0xFFFFFF) ==
                    (tile.pixel((p.x() / zoom) % tile.width(), (p.y() / zoom) % tile.height()) & 0xFFFFFF);
        }
    }
    return double(same) / (double(onScreen.width()) * onScreen.height());
}

QStringList XWindows(const QString& pattern)
{
    QProcess search;
    search.start(QStringLiteral("xdotool"), {"search", "--onlyvisible", "--name", pattern});
    search.waitForFinished(5000);
    return QString::fromUtf8(search.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

QStringList WaitForXWindows(const QString& pattern, int timeoutMs)
{
    QStringList found;
    (void)QTest::qWaitFor([&] { return !(found = XWindows(pattern)).isEmpty(); }, timeoutMs);
    return found;
}

InEditorSession::InEditorSession(const char* platform, bool inside, QString work)
    : m_platform(platform), m_inside(inside), m_work(std::move(work))
{}

void InEditorSession::SetUp()
{
    if (!m_inside)
        GTEST_SKIP() << "runs only inside the session the outer test starts";
    ASSERT_EQ(QGuiApplication::platformName(), m_platform);
    ASSERT_TRUE(QDir().mkpath(m_work));
    quorrel::platform::OpenSettings("Vantorel", "Quorrel")->clear();
    quorrel::platform::OpenSettings("Local AppWizard-Generated Applications", "Quorrel")->clear();
    CQuorrelView::SetPropertySheetRunner([](CQuorrelView&, bool, bool&) { return true; });
    SetMessageHandler([this](const MessageRequest& request) {
        prompts << request.caption + "|" + request.text;
        return MsgResult::No;
    });
}

void InEditorSession::TearDown()
{
    m_app.reset();
    CQuorrelView::SetPropertySheetRunner({});
    CQuorrelView::SetCoefficientsRunner({});
    CQuorrelView::SetTimerInterval(CQuorrelView::kTimerInterval);
    SetMessageHandler({});
    SetFileDialogHandler({});
}

void InEditorSession::Start()
{
    m_app = std::make_unique<CQuorrelApp>();
    m_app->SetDesktopWallpaper(
        std::make_unique<output::CDesktopWallpaper>(m_noHelpers, QProcessEnvironment(), m_work + "/wallpaper"));
    ASSERT_TRUE(m_app->InitInstance());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Frame(), 5000));
    Frame()->raise();
    Frame()->activateWindow();
    ASSERT_NE(View(), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return View()->IsRendered(); }, 10000));
}

CQuorrelView* InEditorSession::View() const { return static_cast<CQuorrelView*>(Frame()->GetActiveView()); }

CQuorrelDoc* InEditorSession::Doc() const { return static_cast<CQuorrelDoc*>(Frame()->GetActiveDocument()); }

int InEditorSession::Documents() const { return int(m_app->GetDocTemplate()->GetDocuments().size()); }

InX11Session::InX11Session() : InEditorSession("xcb", UnderXServer(), WorkDir()) {}

void InX11Session::Start()
{
    InEditorSession::Start();
    if (!HasFatalFailure())
        Focus();
}

void InX11Session::Focus()
{
    Frame()->raise();
    Frame()->activateWindow();
    (void)QTest::qWaitForWindowActive(Frame(), 3000);
}

void InX11Session::MenuItem(const QString& menu, const QString& key)
{
    QMenuBar* bar = Frame()->menuBar();
    QAction* title = nullptr;
    for (QAction* action : bar->actions())
        if (action->text() == menu)
            title = action;
    ASSERT_NE(title, nullptr) << menu.toStdString();
    const QPoint at = bar->mapToGlobal(bar->actionGeometry(title).center());
    Xdo({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return title->menu()->isVisible(); }, 3000)) << "the menu did not open";
    Xdo({"key", key});
}

} // namespace quorrel::test
