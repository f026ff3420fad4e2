# What every cross build with one of Debian's cross compilers shares: the compilers named by
# their triplet, libraries and headers from the triplet's folder, and tests run under qemu's
# user-mode emulation (the scanner they start stays a host program). The toolchain files set
# WLSURVEY_TRIPLET, CMAKE_SYSTEM_PROCESSOR and WLSURVEY_QEMU, then include this.
set(CMAKE_SYSTEM_NAME Linux)

set(CMAKE_C_COMPILER ${WLSURVEY_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${WLSURVEY_TRIPLET}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${WLSURVEY_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR ${WLSURVEY_QEMU} -L /usr/${WLSURVEY_TRIPLET})
