#pragma once
// Whether Caps Lock, Num Lock and Scroll Lock are on, where the windowing
// system tells (X11 keyboard indicators). Elsewhere the answer is unknown.

#include <optional>

namespace quorrel::platform {

enum class KeyLock { Caps, Num, Scroll };

// Empty when the platform cannot tell.
std::optional<bool> IsKeyLockOn(KeyLock key);

} // namespace quorrel::platform
