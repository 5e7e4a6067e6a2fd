#pragma once
// The framework's document: title and path, the modified flag, its views,
// and the hooks New, Open, Save and Close call in this order: construction;
// OnNewDocument or OnOpenDocument (which loads through Serialize);
// OnSaveDocument (which stores through Serialize); OnCloseDocument (which
// closes the views and destroys the document).

#include "CmdTarget.h"

#include <QObject>
#include <QString>

#include <vector>

namespace quorrel::model { class CArchive; }

namespace quorrel::platform {

class CMultiDocTemplate;
class CScrollView;

class CDocument : public QObject, public CCmdTarget {
    Q_OBJECT
public:
    CDocument();
    ~CDocument() override;

    const QString& GetTitle() const { return m_strTitle; }
    void SetTitle(const QString& title);
    const QString& GetPathName() const { return m_strPathName; }
    // Sets the path and a title made of the file name; optionally adds the
    // path to the recent-file list.
    void SetPathName(const QString& path, bool addToRecentFiles = true);

    bool IsModified() const { return m_bModified; }
    void SetModifiedFlag(bool modified = true) { m_bModified = modified; }

    CMultiDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }
    const std::vector<CScrollView*>& GetViews() const { return m_views; }

    virtual bool OnNewDocument();
    virtual bool OnOpenDocument(const QString& path);
    virtual bool OnSaveDocument(const QString& path);
    virtual void OnCloseDocument();
    virtual void Serialize(model::CArchive& ar) = 0;
    virtual void DeleteContents() {}

    // Asks "Save changes to %1?" when modified; false means keep it open.
    virtual bool SaveModified();
    // Saves under `path`, asking for one when it is empty; false when
    // cancelled or failed (the failure has been reported).
    bool DoSave(const QString& path);
    bool DoFileSave();

    void UpdateAllViews(CScrollView* sender);

    // How much of a file Open reads at most.
    virtual qint64 MaxFileSize() const { return 64 * 1024 * 1024; }

signals:
    void titleChanged();

private:
    friend class CMultiDocTemplate;
    friend class CScrollView;
    void AddView(CScrollView* view);
    // What the base OnCloseDocument does, also used when a document fails
    // to initialise: that one was never counted as open, so its close hook
    // must not run.
    void CloseViewsAndDestroy();
    void RemoveView(CScrollView* view);

    QString m_strTitle;
    QString m_strPathName;
    bool m_bModified = false;
    CMultiDocTemplate* m_pDocTemplate = nullptr;
    std::vector<CScrollView*> m_views;
};

} // namespace quorrel::platform
