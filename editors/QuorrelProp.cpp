#include "QuorrelProp.h"

#include "EditorMessages.h"
#include "PropsColors.h"
#include "PropsCorrelations.h"
#include "PropsGeneral.h"
#include "PropsShapes.h"
#include "PropsSymmetries.h"

#include "model/TileParams.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

namespace quorrel::editors {

CQuorrelProp::CQuorrelProp(model::CTileParams& params, IEditorMessages* messages,
                           QWidget* parent)
    : QDialog(parent)
    , m_pParams(&params)
    , m_pTabs(new QTabBar)
    , m_pStack(new QStackedWidget)
    , m_pButtons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel))
{
    setWindowTitle(tr("Properties"));
    // A dialog of the window it edits for: it blocks that window only, and
    // tiling compositors float it over it at its own size.
    setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    IEditorMessages& msgs = messages ? *messages : DefaultEditorMessages();

    m_pages = {
        new CPropsGeneral(params, msgs),
        new CPropsColors(params, msgs),
        new CPropsShapes(params, &m_bRegenerate, msgs),
        new CPropsSymmetries(params, &m_bRegenerate, msgs),
        new CPropsCorrelations(params, msgs),
    };
    m_pTabs->setDrawBase(false);
    m_pTabs->setExpanding(false);
    for (CWizardPage* page : m_pages) {
        page->m_bWizardMode = m_bWizardMode;
        const int tab = m_pTabs->addTab(page->Title());
        // Spoken without the blank some captions start with (" Colors").
        m_pTabs->setAccessibleTabName(tab, page->Title().trimmed());
        m_pStack->addWidget(page);
    }
    m_bRegenerate = false;

    // The tab bar over a framed page area, like a tabbed property sheet; the
    // pages are switched here (not by a QTabWidget) so that a refused store
    // keeps the old page on screen.
    auto* frame = new QFrame;
    frame->setFrameShape(QFrame::StyledPanel);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(m_pStack);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->addWidget(m_pTabs);
    layout->addWidget(frame, 1);
    layout->addSpacing(8);
    layout->addWidget(m_pButtons);

    connect(m_pTabs, &QTabBar::currentChanged, this, &CQuorrelProp::OnTabChanged);

    // The usual keys of a tabbed sheet; they go through the same store.
    const auto step = [this](int delta) {
        m_pTabs->setCurrentIndex((m_pTabs->currentIndex() + delta + kPageCount) % kPageCount);
    };
    for (const QKeySequence& next : {QKeySequence(Qt::CTRL | Qt::Key_Tab),
                                     QKeySequence(Qt::CTRL | Qt::Key_PageDown)})
        connect(new QShortcut(next, this), &QShortcut::activated, this, [step] { step(1); });
    for (const QKeySequence& previous : {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                                         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
                                         QKeySequence(Qt::CTRL | Qt::Key_PageUp)})
        connect(new QShortcut(previous, this), &QShortcut::activated, this, [step] { step(-1); });
    connect(m_pButtons, &QDialogButtonBox::accepted, this, &CQuorrelProp::OnOk);
    connect(m_pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

CQuorrelProp::~CQuorrelProp() = default;

int CQuorrelProp::ActivePageIndex() const
{
    return m_nActive;
}

QPushButton* CQuorrelProp::OkButton() const
{
    return m_pButtons->button(QDialogButtonBox::Ok);
}

QPushButton* CQuorrelProp::CancelButton() const
{
    return m_pButtons->button(QDialogButtonBox::Cancel);
}

void CQuorrelProp::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_nActive < 0) {
        // Opens on the first page.
        m_nActive = 0;
        {
            const QSignalBlocker block(m_pTabs);
            m_pTabs->setCurrentIndex(0);
        }
        m_pStack->setCurrentIndex(0);
        Page(0)->OnSetActive();
    }
}

void CQuorrelProp::OnTabChanged(int index)
{
    if (index == m_nActive || index < 0)
        return;
    if (m_nActive >= 0 && !Page(m_nActive)->OnKillActive()) {
        // The page refused to be left: stay on it.
        const QSignalBlocker block(m_pTabs);
        m_pTabs->setCurrentIndex(m_nActive);
        return;
    }
    m_nActive = index;
    m_pStack->setCurrentIndex(index);
    Page(index)->OnSetActive();
}

void CQuorrelProp::OnOk()
{
    if (m_nActive >= 0 && !Page(m_nActive)->OnKillActive())
        return;
    accept();
}

} // namespace quorrel::editors
