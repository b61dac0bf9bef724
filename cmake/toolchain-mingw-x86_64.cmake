# Cross build for 64-bit Windows with MinGW-w64 (posix thread model).
# The DLL and the test programs carry their own copies of libgcc, libstdc++
# and winpthread, so they run under Wine or on Windows without extra DLLs.
set(QOR_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
