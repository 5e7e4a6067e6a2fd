#include "MessageBox.h"

#include "WinApp.h"

#include <QApplication>
#include <QMessageBox>

namespace quorrel::platform {

namespace {

MessageHandler& Handler()
{
    static MessageHandler handler;
    return handler;
}

MsgResult ShowRealBox(const MessageRequest& request)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(request.caption);
    box.setText(request.text);
    switch (request.icon) {
    case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Error: box.setIcon(QMessageBox::Critical); break;
    }
    if (request.buttons == MsgButtons::YesNoCancel) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return MsgResult::Yes;
    case QMessageBox::No: return MsgResult::No;
    case QMessageBox::Cancel: return MsgResult::Cancel;
    default: return request.buttons == MsgButtons::YesNoCancel ? MsgResult::Cancel : MsgResult::Ok;
    }
}

} // namespace

void SetMessageHandler(MessageHandler handler) { Handler() = std::move(handler); }

MsgResult AfxMessageBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& caption)
{
    QString title = caption;
    if (title.isEmpty())
        title = CWinApp::Instance() ? CWinApp::Instance()->GetAppTitle() : QApplication::applicationName();
    const MessageRequest request{title, text, buttons, icon};
    return Handler() ? Handler()(request) : ShowRealBox(request);
}

} // namespace quorrel::platform
