#pragma once
// The message boxes the editors show, behind a small interface so tests can
// answer them without a modal loop.

#include <QString>

class QWidget;

namespace quorrel::editors {

class IEditorMessages {
public:
    virtual ~IEditorMessages() = default;

    // A failed validation: caption "Quorrel", exclamation icon, OK.
    virtual void ShowError(QWidget* parent, const QString& text) = 0;
    // Yes/No with a question icon; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& caption, const QString& text) = 0;
    // An exclamation icon and a single OK button.
    virtual void ShowWarning(QWidget* parent, const QString& caption, const QString& text) = 0;
};

// The real boxes (QMessageBox).
IEditorMessages& DefaultEditorMessages();

} // namespace quorrel::editors
