#include "DocTemplate.h"

#include "Document.h"
#include "MDIChildWnd.h"
#include "MessageBox.h"
#include "NativePath.h"
#include "ScrollView.h"

#include <QMdiArea>

#include <algorithm>

namespace quorrel::platform {

CMultiDocTemplate::CMultiDocTemplate(int resourceId, const QString& descriptor, DocFactory doc,
                                     FrameFactory frame, ViewFactory view)
    : m_nResourceId(resourceId),
      m_strings(descriptor.split(QLatin1Char('\n'))),
      m_docFactory(std::move(doc)),
      m_frameFactory(std::move(frame)),
      m_viewFactory(std::move(view))
{
}

CMultiDocTemplate::~CMultiDocTemplate()
{
    // Documents still open at the very end are destroyed here (their
    // destructors may store state); their windows are gone by then.
    while (!m_docs.empty())
        m_docs.pop_back();
}

QString CMultiDocTemplate::GetDocString(DocStringIndex index) const
{
    return index < m_strings.size() ? m_strings[index] : QString();
}

CDocument* CMultiDocTemplate::FindDocument(const QString& path) const
{
    const QString wanted = AbsolutePath(path);
    for (const auto& doc : m_docs) {
        if (!doc->GetPathName().isEmpty() && doc->GetPathName() == wanted)
            return doc.get();
    }
    return nullptr;
}

CDocument* CMultiDocTemplate::OpenDocumentFile(const QString& path)
{
    return Open(path, {});
}

CDocument* CMultiDocTemplate::OpenNewDocument(const PrepareDocument& prepare)
{
    return Open(QString(), prepare);
}

CDocument* CMultiDocTemplate::Open(const QString& path, const PrepareDocument& prepare)
{
    m_docs.push_back(m_docFactory());
    CDocument* doc = m_docs.back().get();
    doc->m_pDocTemplate = this;
    CMDIChildWnd* frame = CreateNewFrame(doc);

    bool ok = false;
    if (path.isEmpty()) {
        doc->SetTitle(GetDocString(docName) + QString::number(++m_nUntitledCount));
        ok = doc->OnNewDocument();
        if (!ok)
            AfxMessageBox(texts::Translated(texts::kFailedToCreate));
    } else {
        ok = doc->OnOpenDocument(path);   // reports its own failures
        if (ok)
            doc->SetPathName(path);
    }
    if (!ok) {
        doc->CloseViewsAndDestroy();   // takes the window with it
        return nullptr;
    }
    if (prepare)
        prepare(*doc);
    InitialUpdateFrame(frame);
    return doc;
}

CMDIChildWnd* CMultiDocTemplate::CreateNewFrame(CDocument* doc)
{
    CMDIChildWnd* frame = m_frameFactory();
    CScrollView* view = m_viewFactory();
    doc->AddView(view);
    frame->SetView(view);
    QObject::connect(doc, &CDocument::titleChanged, frame, &CMDIChildWnd::OnUpdateFrameTitle);
    if (m_pMdiArea)
        m_pMdiArea->addSubWindow(frame);
    return frame;
}

void CMultiDocTemplate::InitialUpdateFrame(CMDIChildWnd* frame)
{
    for (CScrollView* view : frame->GetActiveDocument()->GetViews())
        if (view->GetParentFrame())
            view->GetParentFrame()->OnUpdateFrameTitle();
    // Document windows open visible and maximised.
    frame->showMaximized();
    if (m_pMdiArea)
        m_pMdiArea->setActiveSubWindow(frame);
    frame->GetActiveView()->setFocus();
    frame->GetActiveView()->OnInitialUpdate();
}

void CMultiDocTemplate::RemoveDocument(CDocument* doc)
{
    const auto it = std::find_if(m_docs.begin(), m_docs.end(), [doc](const auto& p) { return p.get() == doc; });
    if (it == m_docs.end())
        return;
    std::unique_ptr<CDocument> owned = std::move(*it);
    m_docs.erase(it);
    owned.reset();
}

} // namespace quorrel::platform
