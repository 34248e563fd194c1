# Installs the header, the library and a CMake package so that another
# project can write find_package(lcs_algorithms) and link lcs::algorithms.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set_target_properties(lcs_algorithms PROPERTIES EXPORT_NAME algorithms)
install(TARGETS lcs_algorithms EXPORT lcs_algorithmsTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES lcs/lcs_algorithms.h lcs/alignment.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/lcs)
install(TARGETS lcs RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

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
