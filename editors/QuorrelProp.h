#pragma once
// The modal "Properties" sheet: five pages editing one parameter set in
// place. A page loads when it becomes active and stores when it is left or
// when OK is pressed while it is active; a page whose store fails keeps the
// sheet on it. The caller keeps a copy of the parameter set and restores it
// on Cancel.

#include <QDialog>

#include <array>

class QDialogButtonBox;
class QPushButton;
class QStackedWidget;
class QTabBar;

namespace quorrel::model { class CTileParams; }

namespace quorrel::editors {

class CWizardPage;
class CPropsGeneral;
class CPropsColors;
class CPropsShapes;
class CPropsSymmetries;
class CPropsCorrelations;
class IEditorMessages;

class CQuorrelProp final : public QDialog {
    Q_OBJECT
public:
    explicit CQuorrelProp(model::CTileParams& params, IEditorMessages* messages = nullptr,
                          QWidget* parent = nullptr);
    ~CQuorrelProp() override;

    model::CTileParams* m_pParams;
    // Set by the Shapes and Symmetries pages when the user accepted changes
    // that need new coefficients.
    bool m_bRegenerate = false;
    bool m_bWizardMode = false;

    static constexpr int kPageCount = 5;
    CWizardPage* Page(int index) const { return m_pages[static_cast<size_t>(index)]; }
    int ActivePageIndex() const;
    QTabBar* TabBar() const { return m_pTabs; }
    QPushButton* OkButton() const;
    QPushButton* CancelButton() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnTabChanged(int index);
    void OnOk();

    QTabBar* m_pTabs;
    QStackedWidget* m_pStack;
    QDialogButtonBox* m_pButtons;
    std::array<CWizardPage*, kPageCount> m_pages{};
    int m_nActive = -1;
};

} // namespace quorrel::editors
