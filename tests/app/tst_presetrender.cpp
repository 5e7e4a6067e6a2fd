// quorrel-render --preset renders the very tile that File > New from Preset
// opens in the editor, pixel for pixel.

#include "EditorFixture.h"
#include "output/WhenModal.h"

#include "../tools/ToolProcess.h"

#include "editors/PresetGallery.h"
#include "model/Presets.h"

#include <QImage>
#include <QTest>

#include <algorithm>

using namespace quorrel;
using namespace quorrel::app;
using quorrel::test::EditorFixture;

namespace {

class PresetRenderTest : public EditorFixture {};

} // namespace

TEST_F(PresetRenderTest, TheToolsPresetIsTheTileTheEditorOpens)
{
    ASSERT_TRUE(Start());
    const auto all = model::Presets();
    for (const char* id : {"ocean", "mist", "tartan"}) {
        SCOPED_TRACE(id);
        const int index = int(std::ranges::find(all, std::string_view(id), &model::PresetInfo::id) - all.begin());
        ASSERT_LT(index, int(all.size()));
        WhenModal<editors::CPresetGallery>([index](editors::CPresetGallery* gallery) {
            gallery->SetCurrentIndex(index);
            gallery->accept();
        });
        ASSERT_TRUE(Frame()->Router().Execute(ID_FILE_NEW_FROM_PRESET));
        Frame()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Frame()));
        const CQuorrelView* view = ActiveView();
        ASSERT_TRUE(view->IsRendered());
        const auto& params = view->GetDocument()->m_params;
        const QImage opened = view->RenderedBitmap()
                                  .copy(0, 0, int(params.m_nWidth), int(params.m_nHeight))
                                  .convertToFormat(QImage::Format_RGB32);

        const QString file = TempPath(QString::fromLatin1(id) + ".bmp");
        const test::ToolResult run =
            test::RunTool({QUORREL_RENDER_EXE, "--quiet", "--preset", id, "-o", file.toStdString()}, "/");
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const QImage rendered = QImage(file).convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(rendered.size(), opened.size());
        EXPECT_EQ(rendered, opened);
        // Another document each time, so that the next one opens too.
        answers = {platform::MsgResult::No};
        Frame()->Router().Execute(ID_FILE_CLOSE);
    }
}
