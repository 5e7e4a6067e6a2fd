#pragma once
// The multiple-document template: binds a document class, a document-window
// class and a view class, creates all three for New and Open, names new
// documents from its descriptor string and owns the open documents.

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QMdiArea;

namespace quorrel::platform {

class CDocument;
class CMDIChildWnd;
class CScrollView;

class CMultiDocTemplate final {
public:
    // The seven newline-separated fields of the descriptor string.
    enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };

    using DocFactory = std::function<std::unique_ptr<CDocument>()>;
    using FrameFactory = std::function<CMDIChildWnd*()>;
    using ViewFactory = std::function<CScrollView*()>;

    CMultiDocTemplate(int resourceId, const QString& descriptor, DocFactory doc, FrameFactory frame,
                      ViewFactory view);
    ~CMultiDocTemplate();

    int GetResourceId() const { return m_nResourceId; }
    QString GetDocString(DocStringIndex index) const;

    // Where new document windows go.
    void SetMdiArea(QMdiArea* area) { m_pMdiArea = area; }

    // An empty path makes a new document. Returns nothing on failure, after
    // the failure has been reported and everything made for it destroyed.
    CDocument* OpenDocumentFile(const QString& path);
    // A new document that `prepare` fills in after OnNewDocument and before
    // its first window's first display.
    using PrepareDocument = std::function<void(CDocument& doc)>;
    CDocument* OpenNewDocument(const PrepareDocument& prepare);

    // One more document window and view on `doc` (New Window, and the first
    // window of every document), shown and given its first display.
    CMDIChildWnd* CreateNewFrame(CDocument* doc);
    void InitialUpdateFrame(CMDIChildWnd* frame);

    const std::vector<std::unique_ptr<CDocument>>& GetDocuments() const { return m_docs; }
    CDocument* FindDocument(const QString& path) const;
    // Destroys the document (called by its OnCloseDocument).
    void RemoveDocument(CDocument* doc);

private:
    CDocument* Open(const QString& path, const PrepareDocument& prepare);

    int m_nResourceId;
    QStringList m_strings;
    DocFactory m_docFactory;
    FrameFactory m_frameFactory;
    ViewFactory m_viewFactory;
    QMdiArea* m_pMdiArea = nullptr;
    std::vector<std::unique_ptr<CDocument>> m_docs;
    int m_nUntitledCount = 0;
};

} // namespace quorrel::platform
