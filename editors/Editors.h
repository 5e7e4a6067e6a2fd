#pragma once
// What the application calls: the modal editors on a parameter set.

class QWidget;

namespace quorrel::model { class CTileParams; }

namespace quorrel::editors {

class IEditorMessages;

struct PropertySheetResult {
    bool accepted = false;    // OK was pressed
    bool regenerate = false;  // a page accepted changes that need new coefficients
};

// The "Properties" sheet, run modally on the parameter set, which it edits in
// place. The caller keeps a backup and restores it when not accepted (or
// uses DoProperties, which does).
PropertySheetResult RunPropertySheet(model::CTileParams& params, QWidget* parent = nullptr,
                                     IEditorMessages* messages = nullptr);

// The "Coefficients" dialog, run modally; true for OK. Edits in place like
// the sheet.
bool RunCoefficients(model::CTileParams& params, QWidget* parent = nullptr,
                     IEditorMessages* messages = nullptr);

} // namespace quorrel::editors
