#include "EditorTestSupport.h"
#include "FakeEditorMessages.h"

#include "editors/ControlIds.h"
#include "editors/EditingCommands.h"
#include "editors/QuorrelProp.h"
#include "editors/WizardPage.h"
#include "editors/SpinEdit.h"

#include "model/TileParams.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

#include <cstring>
#include <functional>

#include <gtest/gtest.h>

using namespace quorrel;
using namespace quorrel::editors;
using namespace quorrel::editors::testing;

namespace {

enum { General, Colors, Shapes, Symmetries, Correlations };

// The view's side of the commands, recording each step in order.
struct FakeView {
    QStringList log;
    EditingSteps steps;
    std::function<bool(CQuorrelProp&)> driveSheet;  // true: OK, false: Cancel
    std::function<bool(model::CTileParams&)> coefficients;
    FakeEditorMessages messages;

    FakeView()
    {
        steps.runPropertySheet = [this](model::CTileParams& params, bool& regenerate) {
            log << "sheet";
            CQuorrelProp sheet(params, &messages);
            sheet.show();
            const bool ok = driveSheet(sheet);
            QTest::mouseClick(ok ? sheet.OkButton() : sheet.CancelButton(), Qt::LeftButton);
            regenerate = sheet.m_bRegenerate;
            return sheet.result() == QDialog::Accepted;
        };
        steps.runCoefficients = [this](model::CTileParams& params) {
            log << "coefficients";
            return coefficients(params);
        };
        steps.randomGeneration = [this] { log << "random"; };
        steps.extendRandom = [this](model::CTileParams&, const model::CTileParams& previous) {
            log << QString("extend:%1").arg(previous.m_nWidth);
        };
        steps.pushHistory = [this] { log << "push"; };
        steps.renderView = [this] { log << "render"; };
        steps.setModified = [this] { log << "modified"; };
        steps.warnSymmetries = [this] { log << "warning"; };
    }
};

template <typename T>
T* Control(CQuorrelProp& sheet, int page, int id)
{
    T* control = FindControl<T>(sheet.Page(page), id);
    EXPECT_NE(control, nullptr) << id;
    return control;
}

void ChooseSymmetry(QComboBox* list, int item)
{
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = 0; i < item; ++i)
        QTest::keyClick(list, Qt::Key_Down);
}

bool SameEverywhere(const model::CTileParams& a, const model::CTileParams& b)
{
    return model::SameParams(a, b)
        && std::memcmp(a.m_nCosCos, b.m_nCosCos, sizeof a.m_nCosCos) == 0
        && std::memcmp(a.m_nCosSin, b.m_nCosSin, sizeof a.m_nCosSin) == 0
        && std::memcmp(a.m_nSinCos, b.m_nSinCos, sizeof a.m_nSinCos) == 0
        && std::memcmp(a.m_nSinSin, b.m_nSinSin, sizeof a.m_nSinSin) == 0;
}

} // namespace

TEST(DoProperties, CancelRestoresEveryFieldAndDoesNothingElse)
{
    model::CTileParams params;
    params.GenerateRandom(11);
    model::CTileParams before;
    std::memcpy(static_cast<void*>(&before), &params, sizeof params);  // cells outside the active part too

    FakeView view;
    view.driveSheet = [](CQuorrelProp& sheet) {
        QTabBar* tabs = sheet.TabBar();
        TypeText(Control<CSpinEdit>(sheet, General, 2011), "640");
        ClickTab(tabs, Colors);
        ClickCheck(Control<QCheckBox>(sheet, Colors, 3200));
        DragMarker(Control<controls::CRangeSliderCtrl>(sheet, Colors, 3304), 0, 240.0f);
        ClickTab(tabs, Shapes);
        TypeText(Control<CSpinEdit>(sheet, Shapes, 2104), "7");
        QTest::keyClick(Control<QComboBox>(sheet, Shapes, 3505), Qt::Key_Home);
        ClickTab(tabs, Symmetries);
        ChooseSymmetry(Control<QComboBox>(sheet, Symmetries, 4005), 13);
        ClickTab(tabs, Correlations);
        TypeIntoCell(Control<controls::CGridCtrl>(sheet, Correlations, 6002), 2, 5, "0.75");
        ClickTab(tabs, General);  // stores the Correlations page
        // The pages did write into the document's set before the Cancel.
        const model::CTileParams& edited = *sheet.m_pParams;
        EXPECT_EQ(edited.m_nWidth, 640u);
        EXPECT_EQ(edited.m_bEnabled[model::Red], 1);
        EXPECT_GT(edited.m_nColorLow[model::Saturation], edited.m_nColorHigh[model::Saturation]);
        EXPECT_EQ(edited.m_nHorzHarm[model::Saturation], 7u);
        EXPECT_EQ(edited.m_nWrapMode[model::Luminosity], 0);
        EXPECT_EQ(edited.m_nSymmetry[model::Luminosity][2], 1);
        EXPECT_DOUBLE_EQ(edited.m_dCorrel[model::Green][model::Saturation], 0.75);
        return false;
    };
    EXPECT_FALSE(DoProperties(params, false, view.steps));
    EXPECT_EQ(view.log, QStringList{"sheet"});
    EXPECT_TRUE(SameEverywhere(params, before));
}

TEST(DoProperties, ConfirmedWithoutRegenerationExtendsPushesRendersAndMarks)
{
    model::CTileParams params;
    FakeView view;
    view.driveSheet = [](CQuorrelProp& sheet) {
        ClickTab(sheet.TabBar(), Colors);  // a colour range change needs no new coefficients
        DragMarker(Control<controls::CRangeSliderCtrl>(sheet, Colors, 3305), 1, 150.0f);
        TypeText(Control<CSpinEdit>(sheet, General, 2011), "90");
        return true;
    };
    EXPECT_TRUE(DoProperties(params, false, view.steps));
    // The backup handed to the generator is the state before the edit; the
    // document is marked modified so the accepted edit is not lost on close.
    EXPECT_EQ(view.log, (QStringList{"sheet", "extend:125", "push", "render", "modified"}));
    EXPECT_LT(params.m_nColorHigh[model::Luminosity], 182u);
}

TEST(DoProperties, NewDocumentAlwaysGeneratesOnce)
{
    model::CTileParams params;
    FakeView view;
    view.driveSheet = [](CQuorrelProp&) { return true; };
    EXPECT_TRUE(DoProperties(params, true, view.steps));
    EXPECT_EQ(view.log, (QStringList{"sheet", "random"}));

    view.log.clear();
    view.driveSheet = [](CQuorrelProp&) { return false; };
    EXPECT_FALSE(DoProperties(params, true, view.steps));
    EXPECT_EQ(view.log, QStringList{"sheet"});
}

TEST(DoFirstDisplay, NewDocumentOpensTheSheetAndRendersOnceMore)
{
    model::CTileParams params;
    FakeView view;
    view.driveSheet = [](CQuorrelProp&) { return true; };
    EXPECT_TRUE(DoFirstDisplay(params, false, view.steps));
    EXPECT_EQ(view.log, (QStringList{"sheet", "random", "render"}));

    view.log.clear();
    view.driveSheet = [](CQuorrelProp&) { return false; };
    EXPECT_FALSE(DoFirstDisplay(params, false, view.steps));
    EXPECT_EQ(view.log, QStringList{"sheet"});  // the placeholder stays

    view.log.clear();
    EXPECT_FALSE(DoFirstDisplay(params, true, view.steps));
    EXPECT_TRUE(view.log.isEmpty());
}

TEST(DoProperties, OneYesCoversTheRunAndGivesOneGeneration)
{
    model::CTileParams params;
    FakeView view;
    view.driveSheet = [&view](CQuorrelProp& sheet) {
        ClickTab(sheet.TabBar(), Shapes);
        const float narrow[2] = {10.0f, 20.0f};
        Control<controls::CRangeSliderCtrl>(sheet, Shapes, 3523)->SetMarkers(0, 100, 2, narrow);
        view.messages.answers = {true};
        ClickTab(sheet.TabBar(), Symmetries);  // asks once: Yes
        ChooseSymmetry(Control<QComboBox>(sheet, Symmetries, 4004), 2);  // forbids CosCos
        return true;  // OK stores Symmetries without a second question
    };
    EXPECT_TRUE(DoProperties(params, false, view.steps));
    EXPECT_EQ(view.messages.questions.size(), 1);
    EXPECT_EQ(view.log, (QStringList{"sheet", "random"}));
    EXPECT_EQ(params.m_nAmplMin[model::Hue], 10u);
    EXPECT_EQ(params.m_nSymmetry[model::Saturation][0], -1);
}

TEST(DoProperties, DeclinedSymmetryKeepsTheExtendPath)
{
    model::CTileParams params;
    FakeView view;
    view.driveSheet = [&view](CQuorrelProp& sheet) {
        ClickTab(sheet.TabBar(), Symmetries);
        ChooseSymmetry(Control<QComboBox>(sheet, Symmetries, 4004), 2);
        view.messages.answers = {false};
        return true;
    };
    EXPECT_TRUE(DoProperties(params, false, view.steps));
    // Declined, so nothing changed: the document is not marked.
    EXPECT_EQ(view.log, (QStringList{"sheet", "extend:125", "push", "render"}));
    EXPECT_EQ(params.m_nSymmetry[model::Saturation][0], 1);
}

TEST(DoProperties, AnUntouchedSheetConfirmedLeavesTheDocumentUnmarked)
{
    model::CTileParams params;
    params.GenerateRandom(5);
    FakeView view;
    // Every page visited, nothing changed.
    view.driveSheet = [](CQuorrelProp& sheet) {
        for (const int page : {Colors, Shapes, Symmetries, Correlations, General})
            ClickTab(sheet.TabBar(), page);
        return true;
    };
    view.steps.extendRandom = {};   // the real generator: nothing grew, so nothing new
    EXPECT_TRUE(DoProperties(params, false, view.steps));
    EXPECT_EQ(view.log, (QStringList{"sheet", "push", "render"}));

    // A real change on the same path still marks it.
    view.log.clear();
    view.driveSheet = [](CQuorrelProp& sheet) {
        TypeText(Control<CSpinEdit>(sheet, General, 2011), "126");
        return true;
    };
    EXPECT_TRUE(DoProperties(params, false, view.steps));
    EXPECT_EQ(view.log, (QStringList{"sheet", "push", "render", "modified"}));
    EXPECT_EQ(params.m_nWidth, 126u);
}

TEST(DoCoefficients, ConfirmedWarnsBeforeOnePushAndRender)
{
    model::CTileParams params;
    FakeView view;
    view.coefficients = [](model::CTileParams& p) {
        p.m_nCosCos[model::Hue][1][1] = 42;
        return true;
    };
    EXPECT_TRUE(DoCoefficients(params, view.steps));
    EXPECT_EQ(view.log, (QStringList{"coefficients", "warning", "push", "render", "modified"}));
    EXPECT_EQ(params.m_nCosCos[model::Hue][1][1], 42);
}

TEST(DoCoefficients, CancelledRestoresAndStillMarksModified)
{
    model::CTileParams params;
    params.m_nSinSin[model::Hue][2][2] = 5;
    FakeView view;
    view.coefficients = [](model::CTileParams& p) {
        p.m_nSinSin[model::Hue][2][2] = -1;
        p.m_bEnabled[model::Red] = 1;
        return false;
    };
    EXPECT_FALSE(DoCoefficients(params, view.steps));
    EXPECT_EQ(view.log, (QStringList{"coefficients", "modified"}));
    EXPECT_EQ(params.m_nSinSin[model::Hue][2][2], 5);
    EXPECT_EQ(params.m_bEnabled[model::Red], 0);
}

TEST(EditorSteps, WarningHasItsCaptionAndText)
{
    FakeEditorMessages messages;
    const EditingSteps steps = EditorSteps(nullptr, &messages);
    steps.warnSymmetries();
    EXPECT_EQ(messages.warnings,
              QStringList{"Warning|The changes made will modify the symmetries."});
}
