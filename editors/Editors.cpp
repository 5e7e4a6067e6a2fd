#include "Editors.h"

#include "CoeffsMainDlg.h"
#include "QuorrelProp.h"

namespace quorrel::editors {

PropertySheetResult RunPropertySheet(model::CTileParams& params, QWidget* parent,
                                     IEditorMessages* messages)
{
    CQuorrelProp sheet(params, messages, parent);
    PropertySheetResult result;
    result.accepted = sheet.exec() == QDialog::Accepted;
    result.regenerate = sheet.m_bRegenerate;
    return result;
}

bool RunCoefficients(model::CTileParams& params, QWidget* parent, IEditorMessages* messages)
{
    CCoeffsMainDlg dialog(params, messages, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace quorrel::editors
