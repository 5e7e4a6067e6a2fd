// Starting points: File > New from Preset opens the chosen preset as a new
// document (its settings and tile, rendered at once, counted like New), and
// Edit > Reset to Built-in Defaults puts every built-in value back, after a
// question, as one history entry.

#include "EditorFixture.h"
#include "app/ModalScope.h"
#include "output/RgbImageView.h"
#include "output/WhenModal.h"
#include "output/rotation/RotationDialog.h"

#include "editors/PresetGallery.h"
#include "model/DataObj.h"
#include "model/Presets.h"
#include "model/WppFile.h"
#include "platform/MDIChildWnd.h"
#include "platform/presets/PresetLibrary.h"
#include "render/TileRenderer.h"
#include "platform/SettingsLocation.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

using namespace quorrel;
using namespace quorrel::app;
using quorrel::test::EditorFixture;
using quorrel::test::TileOf;
using platform::MsgResult;

namespace {

class StartingPointTest : public EditorFixture {
protected:
    // Runs New from Preset; with no window manager the main window has to be
    // made active again after the gallery closes, for the keys to reach it.
    bool NewFromPreset()
    {
        const bool done = Frame()->Router().Execute(ID_FILE_NEW_FROM_PRESET);
        Frame()->activateWindow();
        return QTest::qWaitForWindowActive(Frame()) && done;
    }
};

model::CTileParams Preset(std::string_view id)
{
    model::CTileParams params;
    std::string error;
    EXPECT_TRUE(presets::LoadPreset(id, params, error)) << error;
    return params;
}

int IndexOf(std::string_view id)
{
    const auto all = model::Presets();
    return static_cast<int>(std::ranges::find(all, id, &model::PresetInfo::id) - all.begin());
}

QImage Rendered(const model::CTileParams& params)
{
    render::CRgbImage rgb(params.m_nWidth, params.m_nHeight);
    render::RenderTile(params, rgb);
    return output::ImageView(rgb).convertToFormat(QImage::Format_RGB32);
}

// Answers the gallery: `step` runs on it, then it is accepted.
void ChooseInGallery(std::function<void(editors::CPresetGallery*)> step)
{
    WhenModal<editors::CPresetGallery>([step](editors::CPresetGallery* gallery) {
        step(gallery);
        gallery->accept();
    });
}

// While it lives, any gallery that opens is cancelled at once and counted:
// a command that should not open one then fails its test instead of hanging.
class CancelAnyGallery final {
public:
    CancelAnyGallery()
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this] {
            if (auto* gallery = qobject_cast<editors::CPresetGallery*>(QApplication::activeModalWidget())) {
                ++opened;
                gallery->reject();
            }
        });
        m_poll.start(10);
    }
    int opened = 0;

private:
    QTimer m_poll;
};

std::string MenuItems(CMainFrame* frame, const QString& title, int from, int count)
{
    QStringList items;
    for (QAction* menu : frame->menuBar()->actions()) {
        if (menu->text() != title)
            continue;
        for (QAction* action : menu->menu()->actions())
            items << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return items.mid(from, count).join(QStringLiteral(" | ")).toStdString();
}

// Every setting of `params` against the built-in defaults, one by one.
void ExpectBuiltInSettings(const model::CTileParams& params)
{
    const model::CTileParams builtIn;
    EXPECT_EQ(params.m_nWidth, builtIn.m_nWidth);
    EXPECT_EQ(params.m_nHeight, builtIn.m_nHeight);
    for (int c = 0; c < model::kComponents; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(params.m_bEnabled[c], builtIn.m_bEnabled[c]);
        EXPECT_EQ(params.m_nHorzHarm[c], builtIn.m_nHorzHarm[c]);
        EXPECT_EQ(params.m_nVertHarm[c], builtIn.m_nVertHarm[c]);
        EXPECT_EQ(params.m_nColorLow[c], builtIn.m_nColorLow[c]);
        EXPECT_EQ(params.m_nColorHigh[c], builtIn.m_nColorHigh[c]);
        EXPECT_EQ(params.m_nAmplMin[c], builtIn.m_nAmplMin[c]);
        EXPECT_EQ(params.m_nAmplMax[c], builtIn.m_nAmplMax[c]);
        EXPECT_EQ(params.m_nTileStyle[c], builtIn.m_nTileStyle[c]);
        EXPECT_EQ(params.m_nWrapMode[c], builtIn.m_nWrapMode[c]);
        for (int s = 0; s < model::kSymmetries; ++s)
            EXPECT_EQ(params.m_nSymmetry[c][s], builtIn.m_nSymmetry[c][s]) << "symmetry " << s;
        for (int e = 0; e < model::kCorrelEntries; ++e)
            EXPECT_EQ(params.m_dCorrel[c][e], builtIn.m_dCorrel[c][e]) << "correlation " << e;
    }
}

TEST_F(StartingPointTest, NewFromPresetSitsAfterNewInBothFileMenusAndResetEndsTheEditMenu)
{
    ASSERT_TRUE(Start());
    EXPECT_EQ(MenuItems(Frame(), "&File", 0, 3), "&New\tCtrl+N | New &from Preset... | &Open...\tCtrl+O");
    EXPECT_EQ(MenuItems(Frame(), "&Edit", 8, -1),
              "Random &Generation\tF5 | Slide &Show\tF6 | Random Desktop\tF7 | Desktop &Rotation... | - | "
              "Reset to Built-in &Defaults");
    EXPECT_EQ(Frame()->Action(ID_FILE_NEW_FROM_PRESET)->statusTip(), "Create a new document from a preset");
    Frame()->Router().Execute(ID_FILE_CLOSE);
    QApplication::processEvents();
    EXPECT_EQ(MenuItems(Frame(), "&File", 0, 3), "&New\tCtrl+N | New &from Preset... | &Open...\tCtrl+O");
    // Without a document there is nothing to reset; a preset can still be opened.
    EXPECT_FALSE(IsEnabled(ID_EDIT_RESET_DEFAULTS));
    EXPECT_TRUE(IsEnabled(ID_FILE_NEW_FROM_PRESET));
}

TEST_F(StartingPointTest, DesktopRotationOpensOnTheActiveDocumentAndPausesTheSlideShow)
{
    ASSERT_TRUE(Start());
    bool shown = false;
    WhenModal<output::rotation::CRotationDialog>([&](output::rotation::CRotationDialog* dialog) {
        shown = true;
        const output::rotation::CRotationRequest request = dialog->Request();
        EXPECT_TRUE(request.fromDocument);
        EXPECT_EQ(request.source, "Quorrel1") << request.source.toStdString();
        EXPECT_EQ(request.intervalSeconds, 1800);
        EXPECT_TRUE(app::CModalScope::IsModalOpen());
        static_cast<QDialog*>(dialog)->reject();
    });
    EXPECT_TRUE(Frame()->Router().Execute(ID_DESKTOP_ROTATION));
    EXPECT_TRUE(shown);
}

TEST_F(StartingPointTest, NewFromPresetOpensTheChosenPresetRenderedAtOnce)
{
    int sheets = 0;
    CQuorrelView::SetPropertySheetRunner([&](CQuorrelView&, bool, bool&) {
        ++sheets;
        return true;
    });
    ASSERT_TRUE(Start());
    ASSERT_EQ(sheets, 1);   // the start-up document's
    messages.clear();

    ChooseInGallery([](editors::CPresetGallery* gallery) { gallery->SetCurrentIndex(IndexOf("ocean")); });
    EXPECT_TRUE(NewFromPreset());
    ASSERT_EQ(DocumentCount(), 2);
    EXPECT_EQ(g_nOpenDocs, 2);
    CQuorrelDoc* doc = ActiveDoc();
    CQuorrelView* view = ActiveView();
    const model::CTileParams ocean = Preset("ocean");
    EXPECT_EQ(model::SaveWpp(doc->m_params), model::SaveWpp(ocean));
    EXPECT_EQ(doc->GetTitle(), "Quorrel2");
    EXPECT_EQ(sheets, 1);   // no Properties sheet: it has its tile
    EXPECT_TRUE(view->IsRendered());
    EXPECT_EQ(TileOf(view), Rendered(ocean));
    EXPECT_EQ(view->GetTotalSize(), QSize(160, 160));
    EXPECT_TRUE(doc->IsModified());   // in no file yet
    EXPECT_EQ(view->History().Size(), 1u);
    EXPECT_FALSE(IsEnabled(ID_EDIT_UNDO));

    // A new tile can be undone back to the preset's.
    Press(Qt::Key_F5);
    EXPECT_NE(model::SaveWpp(doc->m_params), model::SaveWpp(ocean));
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(model::SaveWpp(doc->m_params), model::SaveWpp(ocean));
    EXPECT_EQ(TileOf(view), Rendered(ocean));

    // A second window on it renders at once as well.
    Frame()->Router().Execute(ID_WINDOW_NEW);
    ASSERT_NE(ActiveView(), view);
    EXPECT_TRUE(ActiveView()->IsRendered());
    EXPECT_EQ(TileOf(ActiveView()), Rendered(ocean));
    EXPECT_EQ(sheets, 1);
    EXPECT_TRUE(messages.isEmpty());

    // Closing asks to save, like any new document with a tile.
    answers = {MsgResult::No, MsgResult::No};
    Frame()->Router().Execute(ID_FILE_CLOSE);
    EXPECT_EQ(messages, QStringList{"Save changes to Quorrel2?"});
}

TEST_F(StartingPointTest, ChoosingAfterAnotherOpensTheTileOfTheNewSeed)
{
    ASSERT_TRUE(Start());
    uint32_t seed = 0;
    ChooseInGallery([&seed](editors::CPresetGallery* gallery) {
        gallery->SetCurrentIndex(IndexOf("linen"));
        QTest::mouseClick(gallery->AnotherButton(), Qt::LeftButton);
        seed = gallery->Seed(gallery->CurrentIndex());
    });
    EXPECT_TRUE(NewFromPreset());
    ASSERT_EQ(DocumentCount(), 2);
    model::CTileParams expected = Preset("linen");
    EXPECT_NE(seed, model::FindPreset("linen")->seed);
    expected.GenerateRandom(seed);
    EXPECT_EQ(model::SaveWpp(ActiveDoc()->m_params), model::SaveWpp(expected));
    EXPECT_EQ(TileOf(ActiveView()), Rendered(expected));
}

TEST_F(StartingPointTest, CancellingTheGalleryOpensNothing)
{
    ASSERT_TRUE(Start());
    WhenModal<editors::CPresetGallery>([](editors::CPresetGallery* gallery) { gallery->reject(); });
    Frame()->Router().Execute(ID_FILE_NEW_FROM_PRESET);
    EXPECT_EQ(DocumentCount(), 1);
    EXPECT_EQ(g_nOpenDocs, 1);
}

TEST_F(StartingPointTest, NewFromPresetCountsAgainstTheFiveDocumentLimit)
{
    ASSERT_TRUE(Start());
    for (int i = 0; i < 3; ++i)
        Press(Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(DocumentCount(), 4);
    EXPECT_TRUE(IsEnabled(ID_FILE_NEW_FROM_PRESET));
    ChooseInGallery([](editors::CPresetGallery* gallery) { gallery->SetCurrentIndex(IndexOf("neon")); });
    EXPECT_TRUE(NewFromPreset());
    EXPECT_EQ(DocumentCount(), 5);
    EXPECT_EQ(g_nOpenDocs, 5);

    // The fifth document was the preset: New, Open and New from Preset are
    // disabled and the command does nothing (no gallery opens).
    EXPECT_FALSE(IsEnabled(ID_FILE_NEW_FROM_PRESET));
    EXPECT_FALSE(IsEnabled(ID_FILE_NEW));
    {
        CancelAnyGallery cancel;
        EXPECT_FALSE(Frame()->Router().Execute(ID_FILE_NEW_FROM_PRESET));
        EXPECT_EQ(cancel.opened, 0);
    }
    EXPECT_EQ(DocumentCount(), 5);

    answers = {MsgResult::No};
    Frame()->Router().Execute(ID_FILE_CLOSE);   // the preset document
    EXPECT_EQ(DocumentCount(), 4);
    EXPECT_TRUE(IsEnabled(ID_FILE_NEW_FROM_PRESET));
}

TEST_F(StartingPointTest, ResetDeclinedChangesNothing)
{
    ASSERT_TRUE(Start());
    CQuorrelDoc* doc = ActiveDoc();
    CQuorrelView* view = ActiveView();
    doc->m_params.m_nHorzHarm[model::Hue] = 30;
    doc->m_params.m_nVertHarm[model::Hue] = 30;
    Press(Qt::Key_F5);
    doc->SetModifiedFlag(false);
    const std::vector<uint8_t> before = model::SaveWpp(doc->m_params);
    const QImage image = TileOf(view);
    const std::size_t entries = view->History().Size();

    answers = {MsgResult::No};
    EXPECT_TRUE(Frame()->Router().Execute(ID_EDIT_RESET_DEFAULTS));
    EXPECT_EQ(messages, QStringList{CQuorrelView::kResetDefaultsQuestion});
    EXPECT_EQ(model::SaveWpp(doc->m_params), before);
    EXPECT_EQ(view->History().Size(), entries);
    EXPECT_EQ(TileOf(view), image);
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(StartingPointTest, ResetRestoresEveryBuiltInValueAsOneHistoryEntry)
{
    ASSERT_TRUE(Start());
    // A preset differs from the built-in defaults almost everywhere:
    // size, ranges, counts, amplitudes, symmetries, correlations, styles.
    ChooseInGallery([](editors::CPresetGallery* gallery) { gallery->SetCurrentIndex(IndexOf("tartan")); });
    ASSERT_TRUE(NewFromPreset());
    CQuorrelDoc* doc = ActiveDoc();
    CQuorrelView* view = ActiveView();
    doc->m_params.m_nTileStyle[model::Hue] = 1;
    doc->m_params.m_nWrapMode[model::Luminosity] = 2;
    doc->m_params.m_nAmplMin[model::Saturation] = 20;
    const model::CTileParams before(doc->m_params);
    view->PushHistory();
    const std::size_t entries = view->History().Size();
    doc->SetModifiedFlag(false);

    answers = {MsgResult::Yes};
    EXPECT_TRUE(Frame()->Router().Execute(ID_EDIT_RESET_DEFAULTS));
    EXPECT_EQ(messages, QStringList{CQuorrelView::kResetDefaultsQuestion});
    ExpectBuiltInSettings(doc->m_params);
    // New coefficients, made with those settings.
    bool anyCoefficient = false;
    for (int c = model::Hue; c <= model::Luminosity; ++c)
        for (int h = 0; h < 3; ++h)
            for (int k = 0; k < 3; ++k)
                anyCoefficient = anyCoefficient || doc->m_params.m_nCosCos[c][h][k] != 0;
    EXPECT_TRUE(anyCoefficient);
    EXPECT_EQ(view->History().Size(), entries + 1);
    EXPECT_EQ(model::SaveWpp(view->History().Entry(*view->History().Position())), model::SaveWpp(doc->m_params));
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(TileOf(view), Rendered(doc->m_params));
    EXPECT_EQ(view->GetTotalSize(), QSize(125, 125));

    // One Undo brings the state before the reset back.
    EXPECT_TRUE(IsEnabled(ID_EDIT_UNDO));
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(model::SaveWpp(doc->m_params), model::SaveWpp(before));
}

TEST_F(StartingPointTest, ResetThenCloseGivesTheNextNewDocumentTheBuiltInDefaults)
{
    // The way back the stored defaults did not have: a noisy experiment is
    // carried into every new document until one is reset and closed.
    ASSERT_TRUE(Start());
    for (int c = 0; c < model::kComponents; ++c) {
        ActiveDoc()->m_params.m_nHorzHarm[c] = 30;
        ActiveDoc()->m_params.m_nVertHarm[c] = 30;
    }
    answers = {MsgResult::No};
    Frame()->Router().Execute(ID_FILE_CLOSE);
    Press(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(ActiveDoc()->m_params.m_nHorzHarm[model::Hue], 30u);

    answers = {MsgResult::Yes, MsgResult::No};
    Frame()->Router().Execute(ID_EDIT_RESET_DEFAULTS);
    Frame()->Router().Execute(ID_FILE_CLOSE);
    const QByteArray stored = quorrel::platform::OpenSettings("Vantorel", "Quorrel")->value("DefVals/DefVals").toByteArray();
    const auto decoded = model::DecodeDefaults(
        std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(stored.constData()), stored.size()));
    ASSERT_TRUE(decoded);
    ExpectBuiltInSettings(*decoded);

    Press(Qt::Key_N, Qt::ControlModifier);
    ExpectBuiltInSettings(ActiveDoc()->m_params);
}

} // namespace
