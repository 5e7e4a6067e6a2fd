#include "QuorrelDoc.h"

#include "QuorrelApp.h"
#include "QuorrelView.h"
#include "animation/ViewAnimation.h"

#include "model/Archive.h"
#include "model/DataObj.h"
#include "model/RegistryKey.h"
#include "model/WppFile.h"
#include "platform/MessageBox.h"

#include <QDir>

#include <vector>

namespace quorrel::app {

CQuorrelDoc::CQuorrelDoc() { LoadDefaults(); }

CQuorrelDoc::~CQuorrelDoc() { SaveDefaults(); }

void CQuorrelDoc::Serialize(model::CArchive& ar)
{
    if (ar.IsStoring()) {
        m_params.StoreParams(ar);
        m_params.StoreCoeffs(ar);
        return;
    }
    // Loading goes through LoadWpp, which reads the record, then the
    // coefficients by the counts just read, and changes nothing when the
    // bytes are short or invalid.
    std::vector<uint8_t> bytes(ar.Remaining());
    ar.ReadBytes(bytes);
    model::LoadWpp(bytes, m_params);
}

bool CQuorrelDoc::OnNewDocument()
{
    if (!CDocument::OnNewDocument())
        return false;
    m_bFromFile = 0;
    ++g_nOpenDocs;
    return true;
}

bool CQuorrelDoc::OnOpenDocument(const QString& path)
{
    if (!CDocument::OnOpenDocument(path))
        return false;
    m_bFromFile = 1;
    ++g_nOpenDocs;
    return true;
}

void CQuorrelDoc::OnCloseDocument()
{
    --g_nOpenDocs;
    CDocument::OnCloseDocument();   // destroys this document
}

qint64 CQuorrelDoc::MaxFileSize() const { return static_cast<qint64>(model::kMaxWppSize); }

void CQuorrelDoc::LoadDefaults()
{
    model::CRegistryKey key(model::RegistryRoot::CurrentUser);
    model::CObList list;
    if (key.Create(model::RegistryRoot::CurrentUser, kDefaultsKey))
        key.ReadObList(kDefaultsValue, list);
    if (!list.empty() && list.front())
        m_params = list.front()->m_params;
    key.Close();
}

void CQuorrelDoc::SaveDefaults()
{
    model::CRegistryKey key(model::RegistryRoot::CurrentUser);
    model::CObList list;
    list.push_back(std::make_unique<model::CDataObj>(m_params));
    if (key.Create(model::RegistryRoot::CurrentUser, kDefaultsKey))
        key.WriteObList(kDefaultsValue, list);
    key.Close();
}

bool CQuorrelDoc::SaveModified()
{
    for (platform::CScrollView* scrollView : GetViews()) {
        auto* view = dynamic_cast<CQuorrelView*>(scrollView);
        if (!view || !view->Animation().IsExporting())
            continue;
        const QString path = QDir::toNativeSeparators(view->Animation().Settings().path);
        if (platform::AfxMessageBox(kExportRunningQuestion.arg(path), platform::MsgButtons::YesNo,
                                    platform::MsgIcon::Question) != platform::MsgResult::Yes)
            return false;
        view->Animation().CancelExport();
    }
    return platform::CDocument::SaveModified();
}

} // namespace quorrel::app
