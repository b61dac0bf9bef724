# Cross build for 32-bit Windows with MinGW-w64 (posix thread model), the
# width the library's callers use. Same static runtime as the 64-bit build.
set(QOR_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
