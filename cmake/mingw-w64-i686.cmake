# The 32-bit build: the same toolchain for i686.
set(HALCYRA_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
