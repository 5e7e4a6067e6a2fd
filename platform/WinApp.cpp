#include "WinApp.h"

#include "DocTemplate.h"
#include "Document.h"
#include "FileDialogs.h"
#include "MDIChildWnd.h"
#include "MDIFrameWnd.h"
#include "ScrollView.h"
#include "SettingsLocation.h"

#include <QApplication>
#include <QFileInfo>
#include <QMdiArea>
#include <QSettings>

namespace quorrel::platform {

namespace {
CWinApp* g_pApp = nullptr;
}

CWinApp::CWinApp(const QString& appTitle) : m_strAppTitle(appTitle)
{
    // Not Qt's application display name: the X11 platform would append it
    // to every window's caption.
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    // Documents are destroyed before their windows' owner goes, so each
    // document's destructor still runs inside a whole application.
    CloseAllDocuments();
    m_pMainWnd.reset();
    m_pDocTemplate.reset();
    if (g_pApp == this)
        g_pApp = nullptr;
}

CWinApp* CWinApp::Instance() { return g_pApp; }

void CWinApp::SetRegistryKey(const QString& root) { m_strRegistryKey = root; }

std::unique_ptr<QSettings> CWinApp::Profile() const
{
    return OpenSettings(m_strRegistryKey, m_strAppTitle);
}

void CWinApp::LoadStdProfileSettings(int recentFiles)
{
    m_pRecentFileList = std::make_unique<CRecentFileList>(recentFiles);
    m_pRecentFileList->ReadList(*Profile());
}

int CWinApp::GetProfileInt(const QString& section, const QString& entry, int defaultValue) const
{
    bool ok = false;
    const int value = Profile()->value(section + QLatin1Char('/') + entry).toInt(&ok);
    return ok ? value : defaultValue;
}

void CWinApp::WriteProfileInt(const QString& section, const QString& entry, int value) const
{
    Profile()->setValue(section + QLatin1Char('/') + entry, value);
}

void CWinApp::AddDocTemplate(std::unique_ptr<CMultiDocTemplate> tmpl) { m_pDocTemplate = std::move(tmpl); }

void CWinApp::SetMainWnd(std::unique_ptr<CMDIFrameWnd> frame)
{
    m_pMainWnd = std::move(frame);
    if (m_pDocTemplate && m_pMainWnd)
        m_pDocTemplate->SetMdiArea(m_pMainWnd->MdiArea());
}

CDocument* CWinApp::OpenDocumentFile(const QString& path)
{
    if (!m_pDocTemplate)
        return nullptr;
    if (CDocument* open = m_pDocTemplate->FindDocument(path)) {
        const auto& views = open->GetViews();
        if (!views.empty() && views.front()->GetParentFrame() && m_pMainWnd)
            m_pMainWnd->MdiArea()->setActiveSubWindow(views.front()->GetParentFrame());
        return open;
    }
    return m_pDocTemplate->OpenDocumentFile(path);
}

CDocument* CWinApp::OnFileNew()
{
    return m_pDocTemplate ? m_pDocTemplate->OpenDocumentFile(QString()) : nullptr;
}

void CWinApp::OnFileOpen()
{
    FileDialogRequest request;
    request.title = QCoreApplication::translate("MessageBox", "Open");
    if (m_pDocTemplate)
        request.filters << m_pDocTemplate->GetDocString(CMultiDocTemplate::filterName);
    request.filters << QCoreApplication::translate("MessageBox", "All Files (*.*)");
    const QString path = AskForFile(m_pMainWnd.get(), request);
    if (!path.isEmpty())
        OpenDocumentFile(path);
}

void CWinApp::OnOpenRecentFile(int index)
{
    if (!m_pRecentFileList || index < 0 || index >= m_pRecentFileList->Entries().size())
        return;
    const QString path = m_pRecentFileList->Entries()[index];
    if (!OpenDocumentFile(path)) {
        // An entry that no longer opens leaves the list.
        m_pRecentFileList->Remove(index);
        WriteRecentFileList();
    }
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd)
        m_pMainWnd->close();
}

void CWinApp::OnMainWindowClosed()
{
    // Once the close has run to its end; without a running event loop
    // (tests, the print switches) there is nothing to end.
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
}

void CWinApp::AddToRecentFileList(const QString& path)
{
    if (!m_pRecentFileList)
        return;
    m_pRecentFileList->Add(path);
    WriteRecentFileList();
}

void CWinApp::WriteRecentFileList() const
{
    if (m_pRecentFileList)
        m_pRecentFileList->WriteList(*Profile());
}

bool CWinApp::SaveAllModified()
{
    if (!m_pDocTemplate)
        return true;
    std::vector<CDocument*> docs;
    for (const auto& doc : m_pDocTemplate->GetDocuments())
        docs.push_back(doc.get());
    for (CDocument* doc : docs) {
        if (!doc->SaveModified())
            return false;
    }
    return true;
}

void CWinApp::CloseAllDocuments()
{
    if (!m_pDocTemplate)
        return;
    while (!m_pDocTemplate->GetDocuments().empty())
        m_pDocTemplate->GetDocuments().back()->OnCloseDocument();
}

} // namespace quorrel::platform
