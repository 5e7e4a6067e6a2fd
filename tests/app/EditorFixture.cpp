#include "EditorFixture.h"

#include "output/DesktopWallpaper.h"
#include "output/ExportFileTypes.h"
#include "platform/DocTemplate.h"
#include "platform/MDIChildWnd.h"
#include "platform/SettingsLocation.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTest>

namespace quorrel::test {

QImage TileOf(const app::CQuorrelView* view)
{
    const auto& params = view->GetDocument()->m_params;
    return view->RenderedBitmap().copy(0, 0, int(params.m_nWidth), int(params.m_nHeight));
}

void EditorFixture::SetUp()
{
    // Every test starts from a first run: no stored defaults, no recent files
    // (the two settings roots share one file).
    platform::OpenSettings("Vantorel", "Quorrel")->clear();
    // ... and a run that has exported nothing yet.
    output::RememberExportFilterIndex(output::kFirstExportFilterIndex);
    platform::SetMessageHandler([this](const platform::MessageRequest& request) {
        messages << request.text;
        if (!answers.empty()) {
            const platform::MsgResult answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return request.buttons == platform::MsgButtons::YesNoCancel ? platform::MsgResult::No
                                                                     : platform::MsgResult::Ok;
    });
    platform::SetFileDialogHandler([this](const platform::FileDialogRequest&) {
        ++fileDialogs;
        if (chosenFiles.empty())
            return QString();
        const QString path = chosenFiles.front();
        chosenFiles.pop_front();
        return path;
    });
    // A new document's first sheet is confirmed unchanged unless a test
    // answers it otherwise.
    app::CQuorrelView::SetPropertySheetRunner([](app::CQuorrelView&, bool, bool&) { return true; });
}

void EditorFixture::TearDown()
{
    m_app.reset();
    app::CQuorrelView::SetPropertySheetRunner({});
    platform::SetMessageHandler({});
    platform::SetFileDialogHandler({});
}

bool EditorFixture::Start(const QStringList& arguments)
{
    m_app = std::make_unique<app::CQuorrelApp>(arguments);
    // Never the real desktop: a GNOME whose helpers all succeed, the file in
    // the test's folder.
    m_desktopHelpers.allAvailable = true;
    QProcessEnvironment gnome;
    gnome.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("GNOME"));
    m_app->SetDesktopWallpaper(std::make_unique<output::CDesktopWallpaper>(
        m_desktopHelpers, gnome, m_dir.filePath(QStringLiteral("wallpaper"))));
    if (!m_app->InitInstance())
        return false;
    Frame()->activateWindow();
    return QTest::qWaitForWindowActive(Frame());
}

app::CMainFrame* EditorFixture::Frame() const { return m_app ? m_app->MainFrame() : nullptr; }

app::CQuorrelView* EditorFixture::ActiveView() const
{
    return Frame() ? static_cast<app::CQuorrelView*>(Frame()->GetActiveView()) : nullptr;
}

app::CQuorrelDoc* EditorFixture::ActiveDoc() const
{
    return Frame() ? static_cast<app::CQuorrelDoc*>(Frame()->GetActiveDocument()) : nullptr;
}

int EditorFixture::DocumentCount() const
{
    return static_cast<int>(m_app->GetDocTemplate()->GetDocuments().size());
}

void EditorFixture::Press(int key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(Frame(), static_cast<Qt::Key>(key), modifiers);
    QApplication::processEvents();
}

bool EditorFixture::IsEnabled(int id) const
{
    Frame()->Router().UpdateActions();
    return Frame()->Action(id)->isEnabled();
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace quorrel::test
