#include "AppEditorMessages.h"

#include "ModalScope.h"

#include "platform/MessageBox.h"

namespace quorrel::app {

void CAppEditorMessages::ShowError(QWidget* parent, const QString& text)
{
    const CModalScope modal;
    editors::DefaultEditorMessages().ShowError(parent, text);
}

bool CAppEditorMessages::AskYesNo(QWidget* parent, const QString& caption, const QString& text)
{
    // Yes/No has no counterpart among the framework's boxes.
    const CModalScope modal;
    return editors::DefaultEditorMessages().AskYesNo(parent, caption, text);
}

void CAppEditorMessages::ShowWarning(QWidget*, const QString& caption, const QString& text)
{
    const CModalScope modal;
    platform::AfxMessageBox(text, platform::MsgButtons::Ok, platform::MsgIcon::Warning, caption);
}

editors::IEditorMessages& AppEditorMessages()
{
    static CAppEditorMessages messages;
    return messages;
}

} // namespace quorrel::app
