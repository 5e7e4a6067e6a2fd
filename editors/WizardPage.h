#pragma once
// Base of the property sheet's pages. The sheet activates a page (start-up
// and first load the first time, a load every later time) and deactivates
// it (a store that may refuse, keeping the page active).

#include <QString>
#include <QWidget>

namespace quorrel::editors {

class IEditorMessages;

class CWizardPage : public QWidget {
    Q_OBJECT
public:
    enum Position { OnlyPage = 0, FirstPage = 1, MiddlePage = 2, LastPage = 3 };
    enum WizardButton { Back = 1, Next = 2, Finish = 4 };

    CWizardPage(int position, int formId, const QString& title, IEditorMessages& messages,
                QWidget* parent = nullptr);

    bool m_bWizardMode = false;
    int m_nPosition;

    int FormId() const { return m_nFormId; }
    QString Title() const { return m_strTitle; }
    bool IsStarted() const { return m_bStarted; }

    // The wizard buttons a page shows at its position (only in wizard mode).
    static int WizardButtonsFor(int position);

    // The sheet's side: becomes the active page / is left or confirmed.
    void OnSetActive();
    bool OnKillActive();
    // Wizard finish: stores first and finishes only when that succeeds.
    bool OnWizardFinish();

protected:
    // Start-up; the base runs the first load. Pages extend it.
    virtual void OnInitDialog();
    // Fill the controls from the parameter set.
    virtual void Load() = 0;
    // Validate the controls and write them into the parameter set; on a
    // failure show the message, focus the control and return false.
    virtual bool Store() = 0;

    IEditorMessages& Messages() const { return m_messages; }
    // A failed validation: message, focus on the control, false.
    bool Refuse(QWidget* control, const QString& message);
    // Reads an unsigned decimal from the start of the text of an edit box or
    // spin edit and checks it against [minimum, maximum].
    bool ExchangeUnsigned(QWidget* control, const QString& text, uint32_t minimum,
                          uint32_t maximum, uint32_t& value);

signals:
    void wizardButtonsChanged(int buttons);

private:
    int m_nFormId;
    QString m_strTitle;
    IEditorMessages& m_messages;
    bool m_bStarted = false;
};

} // namespace quorrel::editors
