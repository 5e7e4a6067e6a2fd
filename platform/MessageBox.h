#pragma once
// Message boxes with the framework's texts. The box itself can be replaced
// (tests answer prompts without a person at the screen).

#include <QCoreApplication>
#include <QString>

#include <functional>

class QWidget;

namespace quorrel::platform {

enum class MsgButtons { Ok, YesNoCancel, YesNo };
enum class MsgIcon { None, Information, Warning, Question, Error };
enum class MsgResult { Ok, Yes, No, Cancel };

struct MessageRequest {
    QString caption;
    QString text;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
};

using MessageHandler = std::function<MsgResult(const MessageRequest&)>;

// Installs a replacement for the real box; an empty handler restores it.
void SetMessageHandler(MessageHandler handler);

// Caption defaults to the application title.
MsgResult AfxMessageBox(const QString& text, MsgButtons buttons = MsgButtons::Ok,
                        MsgIcon icon = MsgIcon::Warning, const QString& caption = {});

// The framework's own messages, worded exactly (the English source texts;
// Translated() gives them in the user's language).
namespace texts {
inline const QString kFailedToOpen = QStringLiteral(QT_TRANSLATE_NOOP("MessageBox", "Failed to open document."));
inline const QString kUnexpectedFormat = QStringLiteral(QT_TRANSLATE_NOOP("MessageBox", "Unexpected file format."));
inline const QString kFileNotFound =
    QStringLiteral(QT_TRANSLATE_NOOP("MessageBox", "%1\nCannot find this file.\nPlease verify that the correct path and file name are given."));
inline const QString kFailedToSave = QStringLiteral(QT_TRANSLATE_NOOP("MessageBox", "Failed to save document."));
inline const QString kDiskFull = QStringLiteral(QT_TRANSLATE_NOOP("MessageBox", "Destination disk drive is full."));
inline const QString kFailedToCreate = QStringLiteral(QT_TRANSLATE_NOOP("MessageBox", "Failed to create empty document."));
inline const QString kSaveChanges = QStringLiteral(QT_TRANSLATE_NOOP("MessageBox", "Save changes to %1?"));
QString Translated(const QString& text);
} // namespace texts

} // namespace quorrel::platform
