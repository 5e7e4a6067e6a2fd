#include "EditorMessages.h"

#include <QMessageBox>

namespace quorrel::editors {

namespace {

class QtEditorMessages final : public IEditorMessages {
public:
    void ShowError(QWidget* parent, const QString& text) override
    {
        QMessageBox::warning(parent, QStringLiteral("Quorrel"), text);
    }

    bool AskYesNo(QWidget* parent, const QString& caption, const QString& text) override
    {
        return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::Yes)
            == QMessageBox::Yes;
    }

    void ShowWarning(QWidget* parent, const QString& caption, const QString& text) override
    {
        QMessageBox::warning(parent, caption, text, QMessageBox::Ok);
    }
};

} // namespace

IEditorMessages& DefaultEditorMessages()
{
    static QtEditorMessages messages;
    return messages;
}

} // namespace quorrel::editors
