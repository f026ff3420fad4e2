# Debian packages through CPack: `cpack -G DEB` in a build folder.
# A dynamic build's dependencies are computed by dpkg-shlibdeps; a static build needs no
# library, so a board's package can carry the static binary and depend only on the scanner.

set(CPACK_PACKAGE_NAME wlsurvey)
set(CPACK_PACKAGE_VENDOR "wlsurvey developers")
set(CPACK_PACKAGE_CONTACT "wlsurvey developers <wlsurvey@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "Runs iwlist on one wireless interface, keeps the strongest access point of each network\n\
name, orders the networks by link quality and prints an eight-line block per network,\n\
marking the one the caller is connected to. Made for user interfaces that poll it.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DEPENDS wireless-tools)
if(WLSURVEY_STATIC)
    # Nothing to compute: the binary needs no shared library.
elseif(CMAKE_CROSSCOMPILING)
    # dpkg-shlibdeps cannot see a cross toolchain's libraries as installed packages.
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libgcc-s1, wireless-tools")
else()
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
if(WLSURVEY_DEB_ARCHITECTURE)
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${WLSURVEY_DEB_ARCHITECTURE})
endif()

include(CPack)
