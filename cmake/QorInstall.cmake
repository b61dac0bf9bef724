include(CMakePackageConfigHelpers)

file(GLOB QOR_PUBLIC_HEADERS ${PROJECT_SOURCE_DIR}/include/*.h)
install(FILES ${QOR_PUBLIC_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/QorCommonLib)
install(TARGETS QorCommonLib EXPORT QorCommonLibTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(EXPORT QorCommonLibTargets NAMESPACE QorCommonLib::
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/QorCommonLib)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/QorCommonLibConfig.cmake.in
  ${PROJECT_BINARY_DIR}/QorCommonLibConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/QorCommonLib)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/QorCommonLibConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/QorCommonLibConfig.cmake
  ${PROJECT_BINARY_DIR}/QorCommonLibConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/QorCommonLib)
# The .pc file finds its prefix relative to where it is installed, so an
# install with `cmake --install --prefix X` is found through X.
file(RELATIVE_PATH QOR_PC_TO_PREFIX "${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig" "${CMAKE_INSTALL_PREFIX}")
string(REGEX REPLACE "/$" "" QOR_PC_TO_PREFIX "${QOR_PC_TO_PREFIX}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/QorCommonLib.pc.in
  ${PROJECT_BINARY_DIR}/QorCommonLib.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/QorCommonLib.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
