# Build for 32-bit Linux (i686) with the host's multilib compiler. The data
# model is that of 32-bit Windows: 4-byte pointers, 4-byte long. The programs
# run through qemu-i386 (user-mode emulation), since the kernels this project
# builds on need not run 32-bit programs themselves. Off_t is 64 bits, so files
# past 2 GiB behave as on the 64-bit build.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)

set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32 -D_FILE_OFFSET_BITS=64")
set(CMAKE_CXX_FLAGS_INIT "-m32 -D_FILE_OFFSET_BITS=64")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-m32")

# Every test program (and every program a test starts) runs through this.
if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(QOR_QEMU_I386 NAMES qemu-i386 qemu-i386-static)
  if(QOR_QEMU_I386)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${QOR_QEMU_I386})
  endif()
endif()
