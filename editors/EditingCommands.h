#pragma once
// The view's editing commands as plain sequences over injected steps, so
// the order of backup, editor, generation, history, rendering and the
// modified mark is kept in one place and testable without a view.

#include <functional>

class QWidget;

namespace quorrel::model { class CTileParams; }

namespace quorrel::editors {

class IEditorMessages;

// What the view supplies.
struct EditingSteps {
    // Runs the modal property sheet on the parameter set; returns whether it
    // was confirmed and sets `regenerate` from the sheet's m_bRegenerate.
    std::function<bool(model::CTileParams&, bool& regenerate)> runPropertySheet;
    // Runs the modal coefficients dialog; returns whether it was confirmed.
    std::function<bool(model::CTileParams&)> runCoefficients;
    // Random Generation: generate, push, mark modified, render.
    std::function<void()> randomGeneration;
    // Generates what larger harmonic counts brought into use, keeping the
    // existing coefficients (`previous` is the state before the edit).
    std::function<void(model::CTileParams&, const model::CTileParams& previous)> extendRandom;
    std::function<void()> pushHistory;
    std::function<void()> renderView;
    std::function<void()> setModified;
    // The "Warning" box after confirmed coefficient edits.
    std::function<void()> warnSymmetries;
};

// Properties (and its new-document form). True when the sheet was confirmed.
// On Cancel the parameter set is restored exactly and nothing else happens.
// A confirmed sheet without regeneration extends the coefficients, pushes
// one history entry, renders and marks the document modified when the
// parameter set now differs from the backup: accepted edits must not be
// lost silently when the document is closed, and an untouched sheet must
// not make an unchanged document ask to be saved.
bool DoProperties(model::CTileParams& params, bool newDocument, const EditingSteps& steps);

// First display of a view: a document not opened from a file gets the
// sheet in its new-document form, and one more rendering when confirmed.
// A cancelled sheet renders nothing, so the placeholder stays.
bool DoFirstDisplay(model::CTileParams& params, bool fromFile, const EditingSteps& steps);

// Coefficients. True when the dialog was confirmed. The document is marked
// modified in both cases.
bool DoCoefficients(model::CTileParams& params, const EditingSteps& steps);

// The steps that open the real editors; the view fills in the rest.
EditingSteps EditorSteps(QWidget* parent, IEditorMessages* messages = nullptr);

} // namespace quorrel::editors
