# Cross build for 32-bit ARM hard-float boards with Debian's g++-arm-linux-gnueabihf.
set(WLSURVEY_TRIPLET arm-linux-gnueabihf)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(WLSURVEY_QEMU qemu-arm)
set(WLSURVEY_DEB_ARCHITECTURE armhf CACHE STRING "Debian architecture of the package")
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
