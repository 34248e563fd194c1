# SPDX-License-Identifier: MIT
# Installs the headers, the library, a CMake package (find_package(lcs_algorithms),
# lcs::algorithms) and a pkg-config file, the programs with their manual pages;
# and describes the Debian package that cpack -G DEB makes of all of it.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set_target_properties(lcs_algorithms PROPERTIES EXPORT_NAME algorithms)
install(TARGETS lcs_algorithms EXPORT lcs_algorithmsTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES lcs/lcs_algorithms.h lcs/alignment.h lcs/many.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/lcs)
install(TARGETS lcs lcs-align lcs-diff RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(lcs_package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/lcs_algorithms)
install(EXPORT lcs_algorithmsTargets NAMESPACE lcs:: DESTINATION ${lcs_package_dir})
configure_package_config_file(cmake/lcs_algorithmsConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/lcs_algorithmsConfig.cmake
  INSTALL_DESTINATION ${lcs_package_dir})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/lcs_algorithmsConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${CMAKE_CURRENT_BINARY_DIR}/lcs_algorithmsConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/lcs_algorithmsConfigVersion.cmake
  DESTINATION ${lcs_package_dir})

# pkg-config, relocatable: the prefix is found from where the file lies.
set(lcs_pc_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH lcs_pc_to_prefix /prefix/${lcs_pc_dir} /prefix)
string(REGEX REPLACE "/$" "" lcs_pc_to_prefix "${lcs_pc_to_prefix}")
configure_file(cmake/lcs_algorithms.pc.in ${CMAKE_CURRENT_BINARY_DIR}/lcs_algorithms.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/lcs_algorithms.pc DESTINATION ${lcs_pc_dir})

# Manual pages and the changelog compressed as Debian wants them (gzip -9n:
# no name, no time, so that the package is the same from build to build).
find_program(LCS_GZIP gzip)
set(lcs_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/lcs)
configure_file(cmake/debian/changelog.in ${CMAKE_CURRENT_BINARY_DIR}/doc/changelog @ONLY)
set(lcs_compressed)
set(lcs_pages lcs.1 lcs-align.1 lcs-diff.1)
if(LCS_PYTHON_DEPENDS)  # lcs-match comes with the Python module
  list(APPEND lcs_pages lcs-match.1)
endif()
foreach(page IN LISTS lcs_pages)
  configure_file(docs/man/${page}.in ${CMAKE_CURRENT_BINARY_DIR}/man/${page} @ONLY)
  list(APPEND lcs_compressed man/${page})
endforeach()
list(APPEND lcs_compressed doc/changelog)
foreach(file IN LISTS lcs_compressed)
  set(built ${CMAKE_CURRENT_BINARY_DIR}/${file})
  if(file MATCHES "^man/")
    set(destination ${CMAKE_INSTALL_MANDIR}/man1)
  else()
    set(destination ${lcs_doc_dir})
  endif()
  if(LCS_GZIP)
    add_custom_command(OUTPUT ${built}.gz
      COMMAND ${LCS_GZIP} -9nc ${built} > ${built}.gz
      DEPENDS ${built} VERBATIM)
    list(APPEND lcs_compressed_outputs ${built}.gz)
    install(FILES ${built}.gz DESTINATION ${destination})
  else()
    install(FILES ${built} DESTINATION ${destination})
  endif()
endforeach()
if(lcs_compressed_outputs)
  add_custom_target(lcs_compressed_docs ALL DEPENDS ${lcs_compressed_outputs})
endif()
install(FILES cmake/debian/copyright DESTINATION ${lcs_doc_dir})

set(CPACK_PACKAGE_NAME lcs)
set(CPACK_PACKAGE_VENDOR "the lcs authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "exact longest common subsequence: alignment, diff, C++ and Python")
set(CPACK_PACKAGE_DESCRIPTION
  "The longest common subsequence of two sequences, exact and fast: bit-parallel
passes in linear memory on every core.

lcs-align compares two files by bytes, UTF-8 characters, words or lines, or
FASTA records, and draws how they line up. lcs-diff prints the exact minimal
unified diff of two files or two trees, for patch. The Python module lcs is
an exact drop-in for difflib's SequenceMatcher. The C++ library has the
classic algorithms and the alignment layer; lcs is the classic console
program.")
set(CPACK_PACKAGE_CONTACT "lcs maintainers <maintainers@users.noreply.c-seed-2dde058b.example>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(LCS_PYTHON_DEPENDS)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${LCS_PYTHON_DEPENDS}")
  # lcs.process returns numpy arrays, lcs-match and lcs.dask pandas tables;
  # the rest of the module does without. lcs.dask runs on a Dask cluster.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "python3-numpy, python3-pandas")
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS "python3-distributed")
endif()
set(CPACK_STRIP_FILES ON)
include(CPack)
