# Cross build for 64-bit ARM boards with Debian's g++-aarch64-linux-gnu.
set(WLSURVEY_TRIPLET aarch64-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(WLSURVEY_QEMU qemu-aarch64)
set(WLSURVEY_DEB_ARCHITECTURE arm64 CACHE STRING "Debian architecture of the package")
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
