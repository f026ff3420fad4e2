# What a release publishes. A dynamic build makes a Debian package (`cpack -G DEB`) whose
# Depends dpkg-shlibdeps computes from the binary and the libraries of its architecture; a
# static build makes one stripped file and its SHA-256 sum (target `release-file`), which no
# package carries. Packages take their file times from SOURCE_DATE_EPOCH when it is set.

set(WLSURVEY_MAINTAINER "The wlsurvey developers <wlsurvey@maintainer.invalid>"
    CACHE STRING "Maintainer field of the Debian packages (the default address reaches no one)")

# The manual page and the changelog compressed as Debian wants them: gzip -9n leaves the name
# and time out of the header, so the bytes depend on the text alone.
set(_docs ${CMAKE_CURRENT_BINARY_DIR}/docs)
set(_gzipped "")
foreach(_text man/wlsurvey.1 packaging/changelog)
    get_filename_component(_name ${_text} NAME)
    add_custom_command(OUTPUT ${_docs}/${_name}.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${_docs}
        COMMAND gzip -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/${_text} > ${_docs}/${_name}.gz
        DEPENDS ${_text}
        VERBATIM)
    list(APPEND _gzipped ${_docs}/${_name}.gz)
endforeach()
add_custom_target(compressed-docs ALL DEPENDS ${_gzipped})

install(FILES ${_docs}/wlsurvey.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${_docs}/changelog.gz packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

if(WLSURVEY_STATIC)
    set(_release wlsurvey-${PROJECT_VERSION}-${WLSURVEY_DEB_ARCHITECTURE}-static)
    add_custom_command(OUTPUT ${_release} ${_release}.sha256
        COMMAND ${CMAKE_STRIP} -o ${_release} $<TARGET_FILE:wlsurvey>
        COMMAND sha256sum ${_release} > ${_release}.sha256
        DEPENDS wlsurvey
        WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
        VERBATIM)
    add_custom_target(release-file DEPENDS ${_release} ${_release}.sha256)
    return()
endif()

# Lintian's word on a tag that does not apply to this binary, with the reason.
install(FILES packaging/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
    RENAME wlsurvey)

set(CPACK_PACKAGE_NAME wlsurvey)
set(CPACK_PACKAGE_VENDOR "The wlsurvey developers")
set(CPACK_PACKAGE_CONTACT "${WLSURVEY_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION [[
wlsurvey runs the scanner (iwlist, or iw where iwlist cannot scan) on one
wireless interface, keeps the strongest access point of each network name,
orders the networks by link quality and prints an eight-line block per
network, marking the one the caller is connected to. It is made for user
interfaces on small boards that poll it every few seconds.]])
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${WLSURVEY_DEB_ARCHITECTURE})
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# A cross build's libraries are found through their multiarch packages (libc6:armhf and so
# on), so the versions come from those packages' symbol lists as for a native build.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "wireless-tools | iw")

include(CPack)
