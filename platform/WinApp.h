#pragma once
// The application object of the framework: settings root and profile,
// the recent-file list, the document template and the document manager
// (New, Open, the recent files, saving and closing everything on Exit).

#include "CmdTarget.h"
#include "RecentFileList.h"

#include <QObject>
#include <QString>

#include <memory>

class QSettings;

namespace quorrel::platform {

class CDocument;
class CMDIFrameWnd;
class CMultiDocTemplate;

class CWinApp : public QObject, public CCmdTarget {
    Q_OBJECT
public:
    explicit CWinApp(const QString& appTitle);
    ~CWinApp() override;

    static CWinApp* Instance();

    // Start-up; false ends the application.
    virtual bool InitInstance() = 0;

    const QString& GetAppTitle() const { return m_strAppTitle; }

    // Settings live under "<root>\<application title>".
    void SetRegistryKey(const QString& root);
    const QString& GetRegistryKey() const { return m_strRegistryKey; }
    std::unique_ptr<QSettings> Profile() const;
    void LoadStdProfileSettings(int recentFiles);
    // Whole numbers under the settings root ("Settings", "PreviewPages").
    int GetProfileInt(const QString& section, const QString& entry, int defaultValue) const;
    void WriteProfileInt(const QString& section, const QString& entry, int value) const;

    void AddDocTemplate(std::unique_ptr<CMultiDocTemplate> tmpl);
    CMultiDocTemplate* GetDocTemplate() const { return m_pDocTemplate.get(); }

    CMDIFrameWnd* GetMainWnd() const { return m_pMainWnd.get(); }
    void SetMainWnd(std::unique_ptr<CMDIFrameWnd> frame);

    // Opens `path`, or brings its window forward when it is open already.
    CDocument* OpenDocumentFile(const QString& path);
    CDocument* OnFileNew();
    void OnFileOpen();
    void OnOpenRecentFile(int index);
    void OnAppExit();

    CRecentFileList* GetRecentFileList() const { return m_pRecentFileList.get(); }
    void AddToRecentFileList(const QString& path);

    // Asks about every modified document; false when one answer was Cancel.
    bool SaveAllModified();
    void CloseAllDocuments();

    // The main window has closed (Exit, or its close button): the
    // application ends, whatever other windows it still shows.
    virtual void OnMainWindowClosed();

private:
    void WriteRecentFileList() const;

    QString m_strAppTitle;
    QString m_strRegistryKey;
    std::unique_ptr<CRecentFileList> m_pRecentFileList;
    std::unique_ptr<CMultiDocTemplate> m_pDocTemplate;
    std::unique_ptr<CMDIFrameWnd> m_pMainWnd;
};

} // namespace quorrel::platform
