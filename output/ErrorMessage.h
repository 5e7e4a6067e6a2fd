#pragma once
// Status codes of the image output and the texts the user sees for them.

#include <QString>

#include <cstdint>

namespace quorrel::output {

// Success, and the code of a failure with no known cause (an extension no
// encoder lists, an encoder that gives up).
inline constexpr uint32_t kStatusOk = 0;
inline constexpr uint32_t kStatusUnspecifiedFailure = 0x80004005u;

// Failures whose cause the system tells, as the platform codes them.
inline constexpr uint32_t kStatusPathNotFound = 0x80070003u;
inline constexpr uint32_t kStatusAccessDenied = 0x80070005u;
inline constexpr uint32_t kStatusOutOfMemory = 0x8007000Eu;
inline constexpr uint32_t kStatusWriteProtected = 0x80070013u;
inline constexpr uint32_t kStatusDiskFull = 0x80070070u;
inline constexpr uint32_t kStatusNameTooLong = 0x800700CEu;
inline constexpr uint32_t kStatusFileTooLarge = 0x800700DFu;
// The user stopped the operation (nothing was written).
inline constexpr uint32_t kStatusCancelled = 0x800704C7u;

// The status code of a system error number; kStatusUnspecifiedFailure for
// one without a matching code (and for -1, "no system error").
uint32_t StatusFromErrno(int error);

// The system text for a status code without its trailing line break, or,
// for a code without one, "IDispatch error #n" / "Unknown error 0x...".
QString ErrorMessageText(uint32_t code);

// "Save image failed:\n<code in lower-case hex> - <ErrorMessageText>".
QString SaveImageFailedText(uint32_t code);

} // namespace quorrel::output
