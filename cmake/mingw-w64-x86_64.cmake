# SPDX-License-Identifier: MIT
# The 64-bit Windows console. Debian's "wine" starts the 32-bit loader whenever
# wine32 is installed, so the 64-bit loader is named directly.
set(lcs_mingw_processor x86_64)
set(lcs_mingw_wine /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
