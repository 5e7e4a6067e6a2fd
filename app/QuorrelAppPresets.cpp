// New from Preset: the application's side of the preset gallery.

#include "QuorrelApp.h"

#include "ModalScope.h"
#include "QuorrelDoc.h"
#include "QuorrelView.h"

#include "editors/PresetGallery.h"
#include "platform/DocTemplate.h"
#include "platform/MDIFrameWnd.h"

namespace quorrel::app {

void CQuorrelApp::OnFileNewFromPreset()
{
    editors::CPresetGallery gallery(GetMainWnd());
    {
        const CModalScope modal;
        if (gallery.exec() != QDialog::Accepted || gallery.CurrentIndex() < 0)
            return;
    }
    OpenPresetDocument(gallery.SelectedParams());
}

CQuorrelDoc* CQuorrelApp::OpenPresetDocument(const model::CTileParams& params)
{
    platform::CMultiDocTemplate* docTemplate = GetDocTemplate();
    if (!docTemplate)
        return nullptr;
    platform::CDocument* opened = docTemplate->OpenNewDocument([&params](platform::CDocument& doc) {
        auto& quorrelDoc = static_cast<CQuorrelDoc&>(doc);
        quorrelDoc.m_params = params;
        quorrelDoc.m_bFromPreset = true;
        // Like a new document after its first generation: not in any file yet.
        quorrelDoc.SetModifiedFlag();
    });
    auto* doc = static_cast<CQuorrelDoc*>(opened);
    if (doc && !doc->GetViews().empty()) {
        // Its window rendered it; a later change can be undone back to it.
        if (auto* view = dynamic_cast<CQuorrelView*>(doc->GetViews().front()))
            view->PushHistory();
    }
    return doc;
}

} // namespace quorrel::app
