#pragma once
// The editors' message boxes as the application shows them: through the
// framework's message box (which tests can answer), each inside a
// CModalScope.

#include "editors/EditorMessages.h"

namespace quorrel::app {

class CAppEditorMessages final : public editors::IEditorMessages {
public:
    void ShowError(QWidget* parent, const QString& text) override;
    bool AskYesNo(QWidget* parent, const QString& caption, const QString& text) override;
    void ShowWarning(QWidget* parent, const QString& caption, const QString& text) override;
};

editors::IEditorMessages& AppEditorMessages();

} // namespace quorrel::app
