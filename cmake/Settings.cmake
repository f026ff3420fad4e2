# Language level, warnings and optional instrumentation, as INTERFACE targets that the tool,
# its benchmarks and fuzzer link; third-party code never sees them.

add_library(wlsurvey_settings INTERFACE)
target_compile_features(wlsurvey_settings INTERFACE cxx_std_17)
# 64-bit file offsets on 32-bit ARM too: without them readdir fails with EOVERFLOW on a
# filesystem whose directory offsets need 64 bits (ext4 seen by qemu-arm on a 64-bit host).
target_compile_definitions(wlsurvey_settings INTERFACE _FILE_OFFSET_BITS=64)

add_library(wlsurvey_warnings INTERFACE)
target_compile_options(wlsurvey_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow)
if(WLSURVEY_WERROR)
    target_compile_options(wlsurvey_warnings INTERFACE -Werror)
endif()

if(WLSURVEY_SANITIZE)
    # The vptr check probes memory through a pipe of its own, which the test that runs the
    # tool out of file descriptors takes away; the tool has no class hierarchy to check.
    set(_sanitize -fsanitize=address,undefined -fno-sanitize=vptr -fno-sanitize-recover=all
        -fno-omit-frame-pointer)
    target_compile_options(wlsurvey_settings INTERFACE ${_sanitize})
    target_link_options(wlsurvey_settings INTERFACE ${_sanitize})
endif()

if(WLSURVEY_FUZZ)
    # Coverage for libFuzzer in every target; the fuzzer itself links its driver.
    target_compile_options(wlsurvey_settings INTERFACE -fsanitize=fuzzer-no-link)
endif()

# What the tool's programs link: the tool and the benchmarks' floor, not the benchmarks, as
# Google Benchmark ships no static library.
add_library(wlsurvey_program INTERFACE)
# Drops the parts of the C and C++ libraries that nothing calls: a quarter of a static binary.
target_link_options(wlsurvey_program INTERFACE -Wl,--gc-sections)
if(WLSURVEY_STATIC AND WLSURVEY_SANITIZE)
    message(FATAL_ERROR "WLSURVEY_STATIC and WLSURVEY_SANITIZE cannot be combined")
endif()

include(${CMAKE_CURRENT_LIST_DIR}/Hardening.cmake)
