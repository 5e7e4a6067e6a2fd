#pragma once
// The application object: start-up, the one document template, and the
// count of open documents that limits New and Open.

#include "platform/WinApp.h"

#include <QStringList>

#include <cstdint>

namespace quorrel::app {

class CMainFrame;

// Open documents, counted by the documents themselves. Set to 0 when the
// application object is constructed.
extern int32_t g_nOpenDocs;

class CQuorrelApp final : public platform::CWinApp {
    Q_OBJECT
public:
    // `arguments`: the command line without the program name.
    explicit CQuorrelApp(QStringList arguments = {});
    ~CQuorrelApp() override;

    bool InitInstance() override;

    CMainFrame* MainFrame() const;

private:
    bool ProcessShellCommand();

    QStringList m_arguments;
};

} // namespace quorrel::app
