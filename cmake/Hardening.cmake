# Debian's hardening for every build of the tool: the flags dpkg-buildflags adds with
# DEB_BUILD_MAINT_OPTIONS=hardening=+all for the target's architecture, asked at configure time
# so that the build follows Debian's defaults as they change. Only what hardening adds is taken
# (+all against -all), so optimisation, debug information and file prefix maps stay as the
# project sets them. Included by Settings.cmake once its targets exist.

option(WLSURVEY_HARDEN "Debian's hardening flags (dpkg-buildflags, hardening=+all)" ON)
option(WLSURVEY_STATIC_PIE "Link a static build as a static PIE where the toolchain can" ON)

# The Debian architecture the build is for: a toolchain file names it, a native build asks dpkg.
if(NOT WLSURVEY_DEB_ARCHITECTURE)
    execute_process(COMMAND dpkg --print-architecture
        OUTPUT_VARIABLE WLSURVEY_DEB_ARCHITECTURE OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(NOT WLSURVEY_DEB_ARCHITECTURE)
    set(WLSURVEY_DEB_ARCHITECTURE ${CMAKE_SYSTEM_PROCESSOR})
endif()

# The least the build takes, and all of it where dpkg-buildflags is missing: Debian 12's dpkg
# knows neither stack clash nor branch protection, which later ones add. A flag dpkg-buildflags
# gives for the same option (-D_FORTIFY_SOURCE=3 one day) wins over the one written here.
set(_harden_compile -fstack-protector-strong -D_FORTIFY_SOURCE=2 -Wformat
    -Werror=format-security -fstack-clash-protection)
if(WLSURVEY_DEB_ARCHITECTURE STREQUAL "amd64")
    list(APPEND _harden_compile -fcf-protection)
elseif(WLSURVEY_DEB_ARCHITECTURE STREQUAL "arm64")
    list(APPEND _harden_compile -mbranch-protection=standard)
endif()
set(_harden_link -Wl,-z,relro -Wl,-z,now)

# _wlsurvey_buildflags(OUT KIND...): what hardening=+all adds to the KIND flags (CPPFLAGS...).
function(_wlsurvey_buildflags out)
    set(_added "")
    foreach(_kind ${ARGN})
        foreach(_setting +all -all)
            execute_process(COMMAND ${CMAKE_COMMAND} -E env
                DEB_HOST_ARCH=${WLSURVEY_DEB_ARCHITECTURE}
                DEB_BUILD_MAINT_OPTIONS=hardening=${_setting}
                ${WLSURVEY_DPKG_BUILDFLAGS} --get ${_kind}
                OUTPUT_VARIABLE _flags OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
            separate_arguments(_flags${_setting} UNIX_COMMAND "${_flags}")
        endforeach()
        foreach(_flag ${_flags+all})
            # PIE is the build's own choice below: a static file cannot take -pie.
            if(NOT _flag IN_LIST _flags-all AND NOT _flag MATCHES "^-(f?pie|fPIE)$")
                list(APPEND _added ${_flag})
            endif()
        endforeach()
    endforeach()
    set(${out} ${_added} PARENT_SCOPE)
endfunction()

# _wlsurvey_merge(LIST FROM...): LIST with each flag of FROM whose option it lacks.
function(_wlsurvey_merge list)
    set(_merged ${${list}})
    set(_options "")
    foreach(_flag ${_merged})
        string(REGEX REPLACE "^(-[DfmU][^=]*)=.*" "\\1" _option "${_flag}")
        list(APPEND _options ${_option})
    endforeach()
    foreach(_flag ${ARGN})
        string(REGEX REPLACE "^(-[DfmU][^=]*)=.*" "\\1" _option "${_flag}")
        if(NOT _option IN_LIST _options)
            list(APPEND _merged ${_flag})
        endif()
    endforeach()
    set(${list} ${_merged} PARENT_SCOPE)
endfunction()

if(WLSURVEY_HARDEN)
    find_program(WLSURVEY_DPKG_BUILDFLAGS dpkg-buildflags)
    set(_compile "")
    set(_link "")
    if(WLSURVEY_DPKG_BUILDFLAGS)
        _wlsurvey_buildflags(_compile CPPFLAGS CXXFLAGS)
        _wlsurvey_buildflags(_link LDFLAGS)
    endif()
    _wlsurvey_merge(_compile ${_harden_compile})
    _wlsurvey_merge(_link ${_harden_link})
    # _FORTIFY_SOURCE needs optimisation, and its checked functions stand between
    # AddressSanitizer and the calls it intercepts: neither Debug nor sanitizer builds take it.
    set(_fortify ${_compile})
    list(FILTER _fortify INCLUDE REGEX "_FORTIFY_SOURCE")
    list(FILTER _compile EXCLUDE REGEX "_FORTIFY_SOURCE")
    if(WLSURVEY_SANITIZE OR WLSURVEY_FUZZ)
        set(_fortify "")
    endif()
    string(REPLACE ";" " " _shown "${_compile};${_fortify};${_link}")
    message(STATUS "Hardening for ${WLSURVEY_DEB_ARCHITECTURE}: ${_shown}")
    target_compile_options(wlsurvey_settings INTERFACE -fPIE ${_compile}
        $<$<NOT:$<CONFIG:Debug>>:${_fortify}>)
    target_link_options(wlsurvey_settings INTERFACE ${_link})
    if(NOT WLSURVEY_STATIC)
        target_link_options(wlsurvey_program INTERFACE -pie)
    endif()
endif()

# The sanitizer and fuzzer builds check the C++ library's preconditions too (bounds of
# operator[], front() of an empty string); release builds do not pay for them.
if(WLSURVEY_SANITIZE OR WLSURVEY_FUZZ)
    target_compile_definitions(wlsurvey_settings INTERFACE _GLIBCXX_ASSERTIONS)
endif()

# Fully static programs, for boards where one file is copied and run; as a static PIE where the
# toolchain has the start files for it (Debian 12: x86-64 and arm64, not armhf), so that the
# one file too is loaded at a random address.
if(WLSURVEY_STATIC)
    set(_static -static)
    if(WLSURVEY_STATIC_PIE)
        include(CheckCXXSourceCompiles)
        set(CMAKE_REQUIRED_FLAGS -fPIE)
        set(CMAKE_REQUIRED_LINK_OPTIONS -static-pie)
        check_cxx_source_compiles("int main() { return 0; }" WLSURVEY_HAVE_STATIC_PIE)
        unset(CMAKE_REQUIRED_FLAGS)
        unset(CMAKE_REQUIRED_LINK_OPTIONS)
        if(WLSURVEY_HAVE_STATIC_PIE)
            set(_static -static-pie)
            target_compile_options(wlsurvey_settings INTERFACE -fPIE)
        else()
            message(STATUS "No static PIE: the toolchain cannot link one; a static executable")
        endif()
    endif()
    target_link_options(wlsurvey_program INTERFACE ${_static})
    # src/terminate.cpp: a static file takes the tool's first terminate handler at link time.
    target_compile_definitions(wlsurvey_program INTERFACE WLSURVEY_STATIC_LINK)
endif()
