#pragma once
// Whether this build runs under AddressSanitizer (gcc defines a macro, clang
// answers __has_feature): some checks cannot hold there, e.g. a limit on the
// address space, which the sanitizer's shadow memory alone exceeds.

namespace quorrel::test {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kAddressSanitizer = true;
#else
inline constexpr bool kAddressSanitizer = false;
#endif
#else
inline constexpr bool kAddressSanitizer = false;
#endif

} // namespace quorrel::test
