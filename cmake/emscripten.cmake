# SPDX-License-Identifier: MIT
# WebAssembly build with Debian's Emscripten: its own toolchain file, after
# a check that it is there. Its tools run on Node.js and look for their npm
# packages (acorn) where Debian puts them.
set(lcs_emscripten_toolchain /usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
if(NOT EXISTS ${lcs_emscripten_toolchain})
  message(FATAL_ERROR "The WebAssembly build needs Emscripten and Node.js: "
    "apt-get install emscripten nodejs")
endif()
set(ENV{NODE_PATH} /usr/share/nodejs)
include(${lcs_emscripten_toolchain})
