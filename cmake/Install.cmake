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
install(FILES lcs/lcs_algorithms.h lcs/alignment.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/lcs)
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

foreach(page lcs.1 lcs-align.1 lcs-diff.1)
  configure_file(docs/man/${page}.in ${CMAKE_CURRENT_BINARY_DIR}/man/${page} @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/man/${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

set(CPACK_PACKAGE_NAME lcs)
set(CPACK_PACKAGE_VENDOR "the lcs project")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Longest common subsequence: lcs, lcs-align, the exact minimal lcs-diff and the C++ library")
set(CPACK_PACKAGE_CONTACT "lcs developers <lcs@localhost>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(LCS_PYTHON_DEPENDS)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${LCS_PYTHON_DEPENDS}")
endif()
set(CPACK_STRIP_FILES ON)
include(CPack)
