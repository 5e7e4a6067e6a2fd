#include "ErrorMessage.h"

#include <array>
#include <cerrno>
#include <optional>

namespace quorrel::output {

namespace {

struct CSystemText {
    uint32_t code;
    const char* text;
};

// The system message texts of the codes this program can meet, as the
// platform words them (with the platform's line end).
constexpr std::array kSystemTexts = {
    CSystemText{0x00000000u, "The operation completed successfully.\r\n"},
    CSystemText{0x80004001u, "Not implemented\r\n"},
    CSystemText{0x80004005u, "Unspecified error\r\n"},
    CSystemText{0x80070003u, "The system cannot find the path specified.\r\n"},
    CSystemText{0x80070005u, "Access is denied.\r\n"},
    CSystemText{0x8007000Eu, "Not enough memory resources are available to complete this operation.\r\n"},
    CSystemText{0x80070013u, "The media is write protected.\r\n"},
    CSystemText{0x80070057u, "The parameter is incorrect.\r\n"},
    CSystemText{0x80070070u, "There is not enough space on the disk.\r\n"},
    CSystemText{0x800700CEu, "The filename or extension is too long.\r\n"},
    CSystemText{0x800700DFu, "The file size exceeds the limit allowed and cannot be saved.\r\n"},
    CSystemText{0x800704C7u, "The operation was canceled by the user.\r\n"},
};

std::optional<QString> SystemText(uint32_t code)
{
    for (const CSystemText& entry : kSystemTexts) {
        if (entry.code == code)
            return QString::fromLatin1(entry.text);
    }
    return std::nullopt;
}

} // namespace

uint32_t StatusFromErrno(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return kStatusPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
        return kStatusAccessDenied;
    case EROFS:
        return kStatusWriteProtected;
    case ENOSPC:
    case EDQUOT:
        return kStatusDiskFull;
    case ENAMETOOLONG:
        return kStatusNameTooLong;
    case EFBIG:
        return kStatusFileTooLarge;
    case ENOMEM:
        return kStatusOutOfMemory;
    default:
        return kStatusUnspecifiedFailure;
    }
}

QString ErrorMessageText(uint32_t code)
{
    if (std::optional<QString> text = SystemText(code)) {
        if (text->size() > 1 && text->endsWith(u'\n')) {
            text->chop(1);
            if (text->endsWith(u'\r'))
                text->chop(1);
        }
        return *text;
    }
    constexpr uint32_t kDispatchFirst = 0x80040200u;
    constexpr uint32_t kDispatchLast = 0x8004FFFFu;
    if (code >= kDispatchFirst && code <= kDispatchLast && code - kDispatchFirst != 0)
        return QStringLiteral("IDispatch error #%1").arg(code - kDispatchFirst);
    return QStringLiteral("Unknown error 0x") + QString::number(code, 16).toUpper();
}

QString SaveImageFailedText(uint32_t code)
{
    return QStringLiteral("Save image failed:\n%1 - %2").arg(QString::number(code, 16), ErrorMessageText(code));
}

} // namespace quorrel::output
