# SPDX-License-Identifier: MIT
# Warnings, sanitizers and coverage, applied target by target so that nothing
# leaks into a consumer's build through the exported library.
function(lcs_apply_project_options target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 $<$<BOOL:${LCS_WARNINGS_AS_ERRORS}>:/WX>)
    return()
  endif()
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
    $<$<BOOL:${LCS_WARNINGS_AS_ERRORS}>:-Werror>)
  if(LCS_SANITIZE)
    target_compile_options(${target} PRIVATE
      -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
  if(LCS_SANITIZE_THREAD)
    target_compile_options(${target} PRIVATE -fsanitize=thread -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=thread)
  endif()
  if(LCS_COVERAGE)
    target_compile_options(${target} PRIVATE --coverage -O0)
    target_link_options(${target} PRIVATE --coverage)
  endif()
endfunction()
