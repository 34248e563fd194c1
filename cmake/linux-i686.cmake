# SPDX-License-Identifier: MIT
# 32-bit x86 Linux build (g++ -m32, Debian's g++-multilib), run under QEMU's
# user-mode emulator: the 32-bit behaviour of the code (32-bit size_t, x87
# arithmetic for double, no SSE2, no 128-bit integers) on a machine whose
# kernel cannot run 32-bit programs itself.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32")
set(CMAKE_CXX_FLAGS_INIT "-m32")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE NEVER)

set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386-static)
