#include "EditingCommands.h"

#include "Editors.h"
#include "EditorMessages.h"

#include "model/TileParams.h"

#include <QCoreApplication>

namespace quorrel::editors {

bool DoProperties(model::CTileParams& params, bool newDocument, const EditingSteps& steps)
{
    const model::CTileParams backup(params);
    bool regenerate = false;
    if (!steps.runPropertySheet(params, regenerate)) {
        params = backup;
        return false;
    }
    if (regenerate || newDocument) {
        steps.randomGeneration();
    } else {
        if (steps.extendRandom)
            steps.extendRandom(params, backup);
        else
            params.ExtendRandom(backup);
        steps.pushHistory();
        steps.renderView();
        // Accepted edits make the document differ from its file; a sheet
        // confirmed without any change (coefficients included) leaves the
        // document as it was, so closing it asks nothing.
        if (!model::SameParams(params, backup))
            steps.setModified();
    }
    return true;
}

bool DoFirstDisplay(model::CTileParams& params, bool fromFile, const EditingSteps& steps)
{
    if (fromFile || !DoProperties(params, true, steps))
        return false;
    steps.renderView();
    return true;
}

bool DoCoefficients(model::CTileParams& params, const EditingSteps& steps)
{
    const model::CTileParams backup(params);
    const bool confirmed = steps.runCoefficients(params);
    if (confirmed) {
        steps.warnSymmetries();
        steps.pushHistory();
        steps.renderView();
    } else {
        params = backup;
    }
    steps.setModified();
    return confirmed;
}

EditingSteps EditorSteps(QWidget* parent, IEditorMessages* messages)
{
    EditingSteps steps;
    steps.runPropertySheet = [parent, messages](model::CTileParams& params, bool& regenerate) {
        const PropertySheetResult result = RunPropertySheet(params, parent, messages);
        regenerate = result.regenerate;
        return result.accepted;
    };
    steps.runCoefficients = [parent, messages](model::CTileParams& params) {
        return RunCoefficients(params, parent, messages);
    };
    steps.warnSymmetries = [parent, messages] {
        (messages ? *messages : DefaultEditorMessages())
            .ShowWarning(parent, QCoreApplication::translate("EditingCommands", "Warning"),
                         QCoreApplication::translate("EditingCommands", "The changes made will modify the symmetries."));
    };
    return steps;
}

} // namespace quorrel::editors
