#include "Document.h"

#include "CommandIds.h"
#include "DocTemplate.h"
#include "FileDialogs.h"
#include "MDIChildWnd.h"
#include "MessageBox.h"
#include "NativePath.h"
#include "ScrollView.h"
#include "WinApp.h"

#include "model/Archive.h"
#include "model/SafeFileWriter.h"

#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace quorrel::platform {

CDocument::CDocument()
{
    OnCommand(ID_FILE_SAVE, [this] { DoFileSave(); });
    OnCommand(ID_FILE_SAVE_AS, [this] { DoSave(QString()); });
    OnCommand(ID_FILE_CLOSE, [this] {
        if (SaveModified())
            OnCloseDocument();
    });
}

CDocument::~CDocument() = default;

void CDocument::SetTitle(const QString& title)
{
    m_strTitle = title;
    emit titleChanged();
}

void CDocument::SetPathName(const QString& path, bool addToRecentFiles)
{
    m_strPathName = AbsolutePath(path);
    SetTitle(DisplayPath(QFileInfo(path).fileName()));
    if (addToRecentFiles && CWinApp::Instance())
        CWinApp::Instance()->AddToRecentFileList(m_strPathName);
}

bool CDocument::OnNewDocument()
{
    DeleteContents();
    m_strPathName.clear();
    SetModifiedFlag(false);
    return true;
}

bool CDocument::OnOpenDocument(const QString& path)
{
    // Only regular files: a pipe or a device is refused without being
    // opened, since opening one for reading can wait forever. Only the first
    // MaxFileSize() bytes can matter; the rest is never read.
    std::vector<uint8_t> bytes;
    model::CFileError error;
    if (!model::ReadFileStart(NativePath(path).toStdString(), std::size_t(MaxFileSize()), bytes, error,
                              model::FileKinds::RegularOnly)) {
        const bool missing = error.code == ENOENT || error.code == ENOTDIR;
        AfxMessageBox(missing ? texts::Translated(texts::kFileNotFound).arg(DisplayPath(path)) : texts::Translated(texts::kFailedToOpen));
        return false;
    }
    DeleteContents();
    try {
        model::CArchive ar(bytes);
        Serialize(ar);
    } catch (const model::CArchiveException&) {
        AfxMessageBox(texts::Translated(texts::kUnexpectedFormat));
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

bool CDocument::OnSaveDocument(const QString& path)
{
    model::CArchive ar;
    Serialize(ar);
    model::CFileError error;
    if (!model::WriteFileAtomically(NativePath(path).toStdString(), ar.Buffer(), error)) {
        AfxMessageBox(model::IsDiskFull(error) ? texts::Translated(texts::kDiskFull) : texts::Translated(texts::kFailedToSave));
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

void CDocument::OnCloseDocument()
{
    CloseViewsAndDestroy();
}

void CDocument::CloseViewsAndDestroy()
{
    // Views go first (their windows may still be on screen), then the
    // template destroys the document itself.
    const std::vector<CScrollView*> views = m_views;
    for (CScrollView* view : views) {
        if (CMDIChildWnd* frame = view->GetParentFrame())
            frame->DestroyFromDocument();
        view->m_pDocument = nullptr;
    }
    m_views.clear();
    DeleteContents();
    if (m_pDocTemplate)
        m_pDocTemplate->RemoveDocument(this);   // deletes this
}

bool CDocument::SaveModified()
{
    if (!IsModified())
        return true;
    // The file's name without its folder, or the title of an untitled document.
    const QString name = m_strPathName.isEmpty() ? m_strTitle : DisplayPath(QFileInfo(m_strPathName).fileName());
    switch (AfxMessageBox(texts::Translated(texts::kSaveChanges).arg(name), MsgButtons::YesNoCancel, MsgIcon::Question)) {
    case MsgResult::Yes: return DoFileSave();
    case MsgResult::No: return true;
    default: return false;
    }
}

bool CDocument::DoFileSave()
{
    return DoSave(m_strPathName);
}

bool CDocument::DoSave(const QString& path)
{
    QString target = path;
    if (target.isEmpty()) {
        FileDialogRequest request;
        request.save = true;
        request.title = QCoreApplication::translate("MessageBox", "Save As");
        const CMultiDocTemplate* tmpl = m_pDocTemplate;
        const QString ext = tmpl ? tmpl->GetDocString(CMultiDocTemplate::filterExt) : QString();
        if (tmpl)
            request.filters = {tmpl->GetDocString(CMultiDocTemplate::filterName),
                               QCoreApplication::translate("MessageBox", "All Files (*.*)")};
        QString suggested = m_strTitle;
        if (!ext.isEmpty() && QFileInfo(suggested).suffix().isEmpty())
            suggested += ext;
        request.suggestedName = suggested;
        target = AskForFile(nullptr, request);
        if (target.isEmpty())
            return false;
        if (!ext.isEmpty() && QFileInfo(target).suffix().isEmpty())
            target += ext;
    }
    if (!OnSaveDocument(target))
        return false;
    SetPathName(target);
    return true;
}

void CDocument::UpdateAllViews(CScrollView* sender)
{
    for (CScrollView* view : m_views) {
        if (view != sender)
            view->OnUpdate(sender);
    }
}

void CDocument::AddView(CScrollView* view)
{
    m_views.push_back(view);
    view->m_pDocument = this;
}

void CDocument::RemoveView(CScrollView* view)
{
    m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
    view->m_pDocument = nullptr;
}

} // namespace quorrel::platform
