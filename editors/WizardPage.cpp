#include "WizardPage.h"

#include "EditorMessages.h"
#include "TextParsing.h"

#include <QLineEdit>

namespace quorrel::editors {

CWizardPage::CWizardPage(int position, int formId, const QString& title,
                         IEditorMessages& messages, QWidget* parent)
    : QWidget(parent)
    , m_nPosition(position)
    , m_nFormId(formId)
    , m_strTitle(title)
    , m_messages(messages)
{
}

int CWizardPage::WizardButtonsFor(int position)
{
    switch (position) {
    case OnlyPage: return Finish;
    case FirstPage: return Next;
    case MiddlePage: return Back | Next;
    case LastPage: return Back | Finish;
    default: return 0;
    }
}

void CWizardPage::OnSetActive()
{
    if (m_bWizardMode)
        emit wizardButtonsChanged(WizardButtonsFor(m_nPosition));
    if (!m_bStarted) {
        m_bStarted = true;
        OnInitDialog();
    } else {
        Load();
    }
}

bool CWizardPage::OnKillActive()
{
    return !m_bStarted || Store();
}

bool CWizardPage::OnWizardFinish()
{
    return OnKillActive();
}

void CWizardPage::OnInitDialog()
{
    Load();
}

bool CWizardPage::Refuse(QWidget* control, const QString& message)
{
    m_messages.ShowError(this, message);
    if (control) {
        control->setFocus(Qt::OtherFocusReason);
        if (auto* edit = control->findChild<QLineEdit*>())
            edit->selectAll();
        else if (auto* ownEdit = qobject_cast<QLineEdit*>(control))
            ownEdit->selectAll();
    }
    return false;
}

bool CWizardPage::ExchangeUnsigned(QWidget* control, const QString& text, uint32_t minimum,
                                   uint32_t maximum, uint32_t& value)
{
    const std::optional<int64_t> parsed = ParseUnsignedText(text);
    if (!parsed)
        return Refuse(control, tr("Please enter a positive integer."));
    if (*parsed < int64_t(minimum) || *parsed > int64_t(maximum))
        return Refuse(control, tr("Please enter an integer between %1 and %2.")
                                   .arg(minimum)
                                   .arg(maximum));
    value = static_cast<uint32_t>(*parsed);
    return true;
}

} // namespace quorrel::editors
