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
    } else if (request.buttons == MsgButtons::YesNo) {
        // A question whose Yes changes something: No is what Enter and Esc give.
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return MsgResult::Yes;
    case QMessageBox::No: return MsgResult::No;
    case QMessageBox::Cancel: return MsgResult::Cancel;
    default:
        switch (request.buttons) {
        case MsgButtons::YesNoCancel: return MsgResult::Cancel;
        case MsgButtons::YesNo: return MsgResult::No;
        case MsgButtons::Ok: break;
        }
        return MsgResult::Ok;
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

QString texts::Translated(const QString& text)
{
    return QCoreApplication::translate("MessageBox", text.toUtf8().constData());
}

} // namespace quorrel::platform
