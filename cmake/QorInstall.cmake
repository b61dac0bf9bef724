include(CMakePackageConfigHelpers)

# Folders an install creates get the usual permissions, whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

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

# An installed program finds the library relative to itself: $ORIGIN and
# the path from the program folder to the library folder (lib/<multiarch>
# for a Debian /usr prefix), so an install runs from any prefix and after a
# move. The library itself carries no run path; Windows looks beside the
# program instead.
if(NOT WIN32)
  file(RELATIVE_PATH QOR_BIN_TO_LIB "${CMAKE_INSTALL_FULL_BINDIR}" "${CMAKE_INSTALL_FULL_LIBDIR}")
  set(QOR_PROGRAM_INSTALL_RPATH "$ORIGIN/${QOR_BIN_TO_LIB}")
endif()
function(qor_install_program target)
  if(NOT WIN32)
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "${QOR_PROGRAM_INSTALL_RPATH}")
  endif()
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endfunction()

# The documentation, in one folder named as the Debian package is.
set(QOR_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/qorcommonlib)
file(GLOB QOR_DOC_FILES ${PROJECT_SOURCE_DIR}/docs/*.md ${PROJECT_SOURCE_DIR}/docs/*.png ${PROJECT_SOURCE_DIR}/docs/*.svg)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${QOR_DOC_FILES} DESTINATION ${QOR_DOC_DIR})

# A .def file beside the import library, from which other toolchains make
# their own import library (lib.exe /def:, dlltool -d).
if(WIN32 AND NOT MSVC)
  target_link_options(QorCommonLib PRIVATE "-Wl,--output-def,${PROJECT_BINARY_DIR}/QorCommonLib.def")
  install(FILES ${PROJECT_BINARY_DIR}/QorCommonLib.def DESTINATION ${CMAKE_INSTALL_LIBDIR})
endif()

# A manual page of the given section, with the version of its .TH line
# ("QorCommonLib X") set to this project's, compressed as Debian wants it
# (gzip -9n: no name, no time stamp). Manual pages are not installed on
# Windows.
find_program(QOR_GZIP gzip)
function(qor_install_manual page section)
  if(WIN32)
    return()
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${page})
  file(READ ${CMAKE_CURRENT_SOURCE_DIR}/${page} text)
  string(REGEX REPLACE "\"QorCommonLib [0-9.]+\"" "\"QorCommonLib ${PROJECT_VERSION}\"" text "${text}")
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${page})
  file(WRITE ${out} "${text}")
  if(QOR_GZIP)
    execute_process(COMMAND ${QOR_GZIP} -9nc INPUT_FILE ${out} OUTPUT_FILE ${out}.gz COMMAND_ERROR_IS_FATAL ANY)
    set(out ${out}.gz)
  endif()
  install(FILES ${out} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endfunction()
