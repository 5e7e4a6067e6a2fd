# The hardening Debian builds its packages with (dpkg-buildflags with
# hardening=+all), applied to optimised builds of every target: the programs
# read documents, presets and state files from anywhere.
#   -fstack-protector-strong  a canary in every function with arrays or
#                             addressed locals
#   -fstack-clash-protection  large stack frames are probed page by page
#   -fcf-protection           indirect branch targets marked (CET)
#   -D_FORTIFY_SOURCE=2       the checked variants of memcpy, snprintf, ...
#   -Wformat -Werror=format-security
#   -z relro -z now           relocations resolved at start, then read-only
# None of these changes floating-point code generation (-ffp-contract=off
# and -fno-fast-math stay in force): the exact renderer's pixels are the same.
#
# Sanitizer and fuzzing builds go without: _FORTIFY_SOURCE's checks get in
# AddressSanitizer's way. QUORREL_HARDENING=OFF turns it off for profiling.
option(QUORREL_HARDENING "Build optimised builds with Debian's hardening flags" ON)

if(QUORREL_HARDENING AND NOT QUORREL_SANITIZE AND NOT QUORREL_BUILD_FUZZERS)
    set(_optimised "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
    add_compile_options(
        "$<${_optimised}:-fstack-protector-strong;-fstack-clash-protection;-fcf-protection>"
        "$<${_optimised}:-Wformat;-Werror=format-security>")
    # A distribution's own CPPFLAGS (dpkg-buildflags) may set another level;
    # defining it twice differently would warn on every file.
    if(NOT "${CMAKE_CXX_FLAGS} ${CMAKE_C_FLAGS}" MATCHES "_FORTIFY_SOURCE")
        add_compile_definitions("$<${_optimised}:_FORTIFY_SOURCE=2>")
    endif()
    add_link_options("$<${_optimised}:LINKER:-z,relro;LINKER:-z,now>")
    # Position-independent executables, so address layout randomisation
    # covers the programs' own code (Debian's compiler does it by default;
    # others may not).
    include(CheckPIESupported)
    check_pie_supported(OUTPUT_VARIABLE _pie_message LANGUAGES CXX)
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
endif()
