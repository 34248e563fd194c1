# SPDX-License-Identifier: MIT
# Cross build for the Windows console with Debian's MinGW-w64 (the -posix
# thread model, which GoogleTest's std::mutex needs), run under Wine. Included
# by the toolchain file of each target, which sets:
#   lcs_mingw_processor  i686 or x86_64
#   lcs_mingw_wine       the Wine loader that runs the target's programs
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${lcs_mingw_processor})

set(triple ${lcs_mingw_processor}-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# lcs.exe and the tests need nothing beside the system DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

set(CMAKE_CROSSCOMPILING_EMULATOR ${lcs_mingw_wine})
