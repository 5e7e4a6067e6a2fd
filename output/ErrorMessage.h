#pragma once
// Status codes of the image output and the texts the user sees for them.

#include <QString>

#include <cstdint>

namespace quorrel::output {

// Success, and the one code every failure of an image save yields.
inline constexpr uint32_t kStatusOk = 0;
inline constexpr uint32_t kStatusUnspecifiedFailure = 0x80004005u;

// The system text for a status code without its trailing line break, or,
// for a code without one, "IDispatch error #n" / "Unknown error 0x...".
QString ErrorMessageText(uint32_t code);

// "Save image failed:\n<code in lower-case hex> - <ErrorMessageText>".
QString SaveImageFailedText(uint32_t code);

} // namespace quorrel::output
