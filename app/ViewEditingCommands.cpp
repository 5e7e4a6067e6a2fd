// The view's editing commands: the property sheet and the coefficients
// dialog on the document's parameter set, and the sheet a new document opens
// with. The order of their steps lives in editors/EditingCommands; the view
// supplies generation, history, rendering and the modified mark.

#include "QuorrelView.h"

#include "AppEditorMessages.h"
#include "CommandTable.h"
#include "ModalScope.h"
#include "QuorrelDoc.h"

#include "editors/EditingCommands.h"
#include "platform/MessageBox.h"

namespace quorrel::app {

namespace {

CQuorrelView::PropertySheetRunner& SheetRunner()
{
    static CQuorrelView::PropertySheetRunner runner;
    return runner;
}

CQuorrelView::CoefficientsRunner& CoeffsRunner()
{
    static CQuorrelView::CoefficientsRunner runner;
    return runner;
}

editors::EditingSteps MakeEditingSteps(CQuorrelView& view, bool bNewDocument)
{
    editors::EditingSteps steps = editors::EditorSteps(&view, &AppEditorMessages());
    if (SheetRunner()) {
        steps.runPropertySheet = [&view, bNewDocument](model::CTileParams&, bool& regenerate) {
            return SheetRunner()(view, bNewDocument, regenerate);
        };
    }
    if (CoeffsRunner())
        steps.runCoefficients = [&view](model::CTileParams&) { return CoeffsRunner()(view); };
    // Timer ticks wait while an editor is open on the parameter set.
    steps.runPropertySheet = [run = std::move(steps.runPropertySheet)](model::CTileParams& params, bool& regenerate) {
        const CModalScope modal;
        return run(params, regenerate);
    };
    steps.runCoefficients = [run = std::move(steps.runCoefficients)](model::CTileParams& params) {
        const CModalScope modal;
        return run(params);
    };
    steps.randomGeneration = [&view] { view.OnRandomGeneration(); };
    steps.pushHistory = [&view] { view.PushHistory(); };
    steps.renderView = [&view] { view.RenderView(); };
    steps.setModified = [&view] { view.GetDocument()->SetModifiedFlag(); };
    return steps;
}

} // namespace

void CQuorrelView::SetPropertySheetRunner(PropertySheetRunner runner) { SheetRunner() = std::move(runner); }

void CQuorrelView::SetCoefficientsRunner(CoefficientsRunner runner) { CoeffsRunner() = std::move(runner); }

void CQuorrelView::AddEditingCommands()
{
    OnCommand(ID_PROPERTIES, [this] { OnProperties(); });
    OnCommand(ID_COEFFICIENTS, [this] { OnCoefficients(); });
    OnCommand(ID_EDIT_RESET_DEFAULTS, [this] { OnResetToDefaults(); });
}

bool CQuorrelView::DoProperties(bool bNewDocument)
{
    return editors::DoProperties(GetDocument()->m_params, bNewDocument, MakeEditingSteps(*this, bNewDocument));
}

bool CQuorrelView::DoFirstDisplay()
{
    const CQuorrelDoc* doc = GetDocument();
    return editors::DoFirstDisplay(GetDocument()->m_params, doc->m_bFromFile, MakeEditingSteps(*this, true));
}

void CQuorrelView::OnProperties() { DoProperties(false); }

void CQuorrelView::OnCoefficients()
{
    editors::DoCoefficients(GetDocument()->m_params, MakeEditingSteps(*this, false));
}

void CQuorrelView::OnResetToDefaults()
{
    {
        const CModalScope modal;
        if (platform::AfxMessageBox(tr(kResetDefaultsQuestion.toUtf8().constData()), platform::MsgButtons::YesNo,
                                    platform::MsgIcon::Question) != platform::MsgResult::Yes)
            return;
    }
    // Every setting as built in; the coefficients follow from them.
    GetDocument()->m_params = model::CTileParams();
    OnRandomGeneration();
}

} // namespace quorrel::app
