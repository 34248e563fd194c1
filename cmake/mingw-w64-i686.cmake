# SPDX-License-Identifier: MIT
# The 32-bit Windows console: the program's original platform.
set(lcs_mingw_processor i686)
set(lcs_mingw_wine wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
