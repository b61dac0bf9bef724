# Shared body of the MinGW-w64 toolchain files; QOR_MINGW_TRIPLE names the
# target (x86_64-w64-mingw32 or i686-w64-mingw32).
set(CMAKE_SYSTEM_NAME Windows)
if(QOR_MINGW_TRIPLE MATCHES "^x86_64")
  set(CMAKE_SYSTEM_PROCESSOR AMD64)
else()
  set(CMAKE_SYSTEM_PROCESSOR x86)
endif()

# The posix thread model gives std::mutex and std::thread through winpthread.
set(CMAKE_C_COMPILER ${QOR_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QOR_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QOR_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QOR_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static runtime: libgcc, libstdc++ and winpthread go into the DLL and
# into every program. "-static-libgcc -static-libstdc++ -Wl,-Bstatic
# -lwinpthread" is not enough on its own: the driver closes its libstdc++
# with -Bdynamic and then adds -lpthread, which imports libwinpthread-1.dll.
# -static keeps the whole link static; the Windows import libraries
# (libkernel32.a and the rest) are archives and link as before.
set(_qor_static_runtime "-static")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${_qor_static_runtime}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${_qor_static_runtime}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${_qor_static_runtime}")
unset(_qor_static_runtime)

# Tests run through Wine when a loader for this width is installed, in a
# Wine prefix of the build folder so they never touch the user's own.
if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
  if(QOR_MINGW_TRIPLE MATCHES "^x86_64")
    find_program(QOR_WINE NAMES wine64 wine PATHS /usr/lib/wine /usr/lib64/wine /opt/wine-stable/bin)
  else()
    find_program(QOR_WINE NAMES wine PATHS /usr/lib/wine /opt/wine-stable/bin NO_DEFAULT_PATH)
  endif()
  if(QOR_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix WINEDEBUG=-all ${QOR_WINE})
  endif()
endif()
