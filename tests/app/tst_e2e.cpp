// The editor end to end in a real X11 window: this program starts itself
// again under xvfb-run with the xcb platform (not offscreen), where it runs
// the real application and drives its real windows with input events:
// a new document with its Properties sheet confirmed, F5, zoom, save,
// export in all five formats, a screenshot of the X screen that must show
// the tiled image, reopening the saved file, and closing with the save
// prompt answered. The run never sees the real user's home or desktop.

#include "app/MainFrame.h"
#include "app/QuorrelApp.h"
#include "app/QuorrelDoc.h"
#include "app/QuorrelView.h"

#include "model/TileParams.h"
#include "model/WppFile.h"
#include "output/DesktopWallpaper.h"
#include "output/ExportDialog.h"
#include "output/ProcessRunner.h"
#include "support/FakeProcessRunner.h"
#include "support/XServerTest.h"
#include "platform/CommandIds.h"
#include "platform/FileDialogs.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QImageReader>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <functional>
#include <optional>

using namespace quorrel;
using namespace quorrel::app;
using namespace quorrel::platform;

namespace {


QByteArray Bytes(const std::vector<uint8_t>& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// --- The outer test, run by ctest: starts the X server and the driver. ---

TEST(EndToEnd, TheEditorWorksInARealX11Window)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    test::CXServerRunOptions options;
    options.home = home.path();
    options.filter = "InRealWindow.*";
    options.lsanSuppressions = QUORREL_E2E_LSAN_SUPPRESSIONS;
    const test::CXServerRun run = test::RunUnderXServer(options);
    test::ExpectEveryInnerCasePassed(run, 1);
    ASSERT_TRUE(run.finished);

    // Keep the screenshot next to the test for a look.
    const QString shot = home.filePath("work/screen.png");
    EXPECT_TRUE(QFile::exists(shot));
    QFile::remove(QStringLiteral("e2e-screen.png"));
    QFile::copy(shot, QStringLiteral("e2e-screen.png"));
}

// --- The driver, run under the X server. ---

// Answers modal windows as they open, in the order expected; any other
// modal window is noted and rejected so the run never hangs on it.
class ModalAnswerer final {
public:
    ModalAnswerer()
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this] { Poll(); });
        m_poll.start(50);
    }
    void Expect(std::function<void(QWidget*)> answer) { m_expected.push_back(std::move(answer)); }
    bool AllAnswered() const { return m_expected.empty(); }
    QStringList unexpected;

private:
    void Poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == m_last || !modal->isVisible())
            return;
        if (!QTest::qWaitForWindowExposed(modal, 2000))
            return;
        m_last = modal;
        QObject::connect(modal, &QObject::destroyed, [this] { m_last = nullptr; });
        if (m_expected.empty()) {
            QString text = modal->windowTitle();
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                text += ": " + box->text();
            unexpected << text;
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            return;
        }
        auto answer = std::move(m_expected.front());
        m_expected.pop_front();
        answer(modal);
    }

    QTimer m_poll;
    QWidget* m_last = nullptr;
    std::deque<std::function<void(QWidget*)>> m_expected;
};

void Click(QAbstractButton* button)
{
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
}

using CNoHelpers = test::CFakeRunner;   // finds no helper program

class CQueuedChooser final : public output::IExportFileChooser {
public:
    std::optional<output::CExportChoice> next;
    std::optional<output::CExportChoice> Choose(QWidget*, const output::CExportDialogSetup&) override
    {
        auto choice = next;
        next.reset();
        return choice;
    }
};

// The tile as the view shows it at scale 1.
QImage Tile(const CQuorrelView* view)
{
    const auto& params = view->GetDocument()->m_params;
    return view->RenderedBitmap()
        .copy(0, 0, int(params.m_nWidth), int(params.m_nHeight))
        .convertToFormat(QImage::Format_RGB32);
}

TEST(InRealWindow, CreateGenerateZoomSaveExportReopenAndClose)
{
    if (!test::UnderXServer())
        GTEST_SKIP() << "runs only under the X server the outer test starts";
    ASSERT_EQ(QGuiApplication::platformName(), "xcb");
    const QString dir = test::XServerWorkFolder();
    ASSERT_TRUE(QDir().mkpath(dir));

    ModalAnswerer modals;
    QString sheetTitle;
    modals.Expect([&](QWidget* sheet) {
        sheetTitle = sheet->windowTitle();
        auto* buttons = sheet->findChild<QDialogButtonBox*>();
        ASSERT_NE(buttons, nullptr);
        Click(buttons->button(QDialogButtonBox::Ok));
    });
    std::deque<QString> chosenFiles;
    platform::SetFileDialogHandler([&](const platform::FileDialogRequest&) {
        if (chosenFiles.empty())
            return QString();
        const QString path = chosenFiles.front();
        chosenFiles.pop_front();
        return path;
    });
    CQueuedChooser chooser;
    CQuorrelView::SetExportFileChooser(&chooser);

    CNoHelpers noHelpers;
    auto app = std::make_unique<CQuorrelApp>();
    app->SetDesktopWallpaper(std::make_unique<output::CDesktopWallpaper>(noHelpers, QProcessEnvironment(),
                                                                         dir + "/wallpaper"));
    ASSERT_TRUE(app->InitInstance());
    EXPECT_EQ(sheetTitle, "Properties");
    CMainFrame* frame = app->MainFrame();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    frame->activateWindow();
    (void)QTest::qWaitForWindowActive(frame, 3000);   // no window manager may make it active
    auto view = [&] { return static_cast<CQuorrelView*>(frame->GetActiveView()); };
    auto doc = [&] { return static_cast<CQuorrelDoc*>(frame->GetActiveDocument()); };
    ASSERT_NE(view(), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view()->IsRendered(); }, 10000));

    // Generate, then zoom in once.
    const model::CTileParams first = doc()->m_params;
    QTest::keyClick(frame, Qt::Key_F5);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view()->IsRendered(); }, 10000));
    EXPECT_FALSE(model::SameParams(doc()->m_params, first));
    EXPECT_EQ(view()->History().Size(), 2u);
    QTest::keyClick(frame, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(view()->ZoomFactor(), 2);

    // Save.
    const QString saved = dir + "/e2e.wpp";
    chosenFiles = {saved};
    QTest::keyClick(frame, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(ReadAll(saved), Bytes(model::SaveWpp(doc()->m_params)));
    EXPECT_FALSE(doc()->IsModified());
    const model::CTileParams savedParams = doc()->m_params;
    const QImage tile = Tile(view());

    // Export all five formats: each decodes as its format at the tile's
    // own size, the lossless ones pixel for pixel.
    struct Format { const char* extension; uint32_t index; const char* reader; bool lossless; };
    for (const Format& format : {Format{"bmp", 1, "bmp", true}, Format{"jpg", 2, "jpeg", false},
                                 Format{"png", 3, "png", true}, Format{"gif", 4, "gif", false},
                                 Format{"tif", 5, "tiff", true}}) {
        SCOPED_TRACE(format.extension);
        const QString path = dir + "/tile." + format.extension;
        chooser.next = output::CExportChoice{path, format.index};
        frame->Action(ID_EXPORT_IMAGE)->trigger();
        QImageReader reader(path);
        EXPECT_EQ(reader.format(), format.reader);
        const QImage written = reader.read().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(written.size(), tile.size());
        if (format.lossless) {
            EXPECT_EQ(written, tile);
        }
    }

    // The X screen shows the tile repeated edge to edge at the zoom: every
    // visible pixel of the view is the tile's pixel at its place.
    frame->raise();
    QTest::qWait(500);
    QApplication::processEvents();
    const QImage screen = test::XScreenshot(dir + "/screen.png");
    ASSERT_FALSE(screen.isNull());
    QWidget* viewport = view()->viewport();
    const QRect visible(viewport->mapToGlobal(QPoint(0, 0)), viewport->size());
    const QRect onScreen = visible.intersected(screen.rect());
    ASSERT_GT(onScreen.width(), 2 * tile.width() * 2) << "the view is too small to show the tiling";
    ASSERT_GT(onScreen.height(), tile.height() * 2);
    qint64 same = 0, total = 0;
    QSet<QRgb> colours;
    for (int y = onScreen.top(); y <= onScreen.bottom(); ++y) {
        for (int x = onScreen.left(); x <= onScreen.right(); ++x) {
            const QPoint local = QPoint(x, y) - visible.topLeft();
            const QRgb expected = tile.pixel((local.x() / 2) % tile.width(), (local.y() / 2) % tile.height());
            const QRgb shown = screen.pixel(x, y);
            colours.insert(shown);
            same += (shown & 0xFFFFFF) == (expected & 0xFFFFFF);
            ++total;
        }
    }
    std::printf("screenshot: view at %d,%d %dx%d, %lld of %lld pixels as the tile, %lld colours\n", visible.x(),
                visible.y(), visible.width(), visible.height(), static_cast<long long>(same),
                static_cast<long long>(total), static_cast<long long>(colours.size()));
    EXPECT_GT(colours.size(), 50) << "the window looks blank";
    EXPECT_GE(same, total * 99 / 100) << "the window does not show the tiled image";

    // Close (unmodified: no prompt), reopen the saved file and compare.
    frame->Router().Execute(ID_FILE_CLOSE);
    ASSERT_EQ(frame->GetActiveDocument(), nullptr);
    chosenFiles = {saved};
    QTest::keyClick(frame, Qt::Key_O, Qt::ControlModifier);
    ASSERT_NE(doc(), nullptr);
    EXPECT_EQ(doc()->GetPathName(), saved);
    EXPECT_TRUE(model::SameParams(doc()->m_params, savedParams));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view()->IsRendered(); }, 10000));
    EXPECT_EQ(Tile(view()), tile);

    // Change it and close the main window: the prompt is answered Yes, which
    // saves the new state over the file.
    QTest::keyClick(frame, Qt::Key_F5);
    ASSERT_TRUE(doc()->IsModified());
    const QByteArray changed = Bytes(model::SaveWpp(doc()->m_params));
    QString prompt;
    modals.Expect([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        prompt = box->text();
        Click(box->button(QMessageBox::Yes));
    });
    frame->close();
    (void)QTest::qWaitFor([&] { return !frame->isVisible(); }, 5000);
    EXPECT_EQ(prompt, "Save changes to e2e.wpp?");
    EXPECT_FALSE(frame->isVisible());
    EXPECT_EQ(ReadAll(saved), changed);

    EXPECT_TRUE(modals.AllAnswered());
    EXPECT_TRUE(modals.unexpected.isEmpty()) << modals.unexpected.join('\n').toStdString();
    app.reset();
    CQuorrelView::SetExportFileChooser(nullptr);
    platform::SetFileDialogHandler({});
}

} // namespace

int main(int argc, char** argv)
{
    return quorrel::test::XServerTestMain(argc, argv);
}
