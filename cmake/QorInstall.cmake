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
configure_file(${PROJECT_SOURCE_DIR}/cmake/QorCommonLib.pc.in
  ${PROJECT_BINARY_DIR}/QorCommonLib.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/QorCommonLib.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
