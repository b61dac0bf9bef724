# Packages from the install rules, with CPack: `cpack` in a build folder
# (or `make package`, scripts/package.sh) writes
#   - Linux: qorcommonlib_<version>_<arch>.deb, laid out for /usr, its
#     dependencies computed by dpkg-shlibdeps;
#   - MinGW builds: QorCommonLib-<version>-win32.zip or -win64.zip, with a
#     README.txt on which compilers can use what.
# The version is the project's, the one place it is written.
set(CPACK_PACKAGE_NAME QorCommonLib)
set(CPACK_PACKAGE_VENDOR "Orvane Corp")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "registry-style settings store with REGEDIT4-layout store files")
set(CPACK_PACKAGE_CONTACT "Orvane Corp <support@orvane.example>")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_SYSTEM_NAME win64)
    set(QOR_WINDOWS_WIDTH 64-bit)
    set(QOR_LIB_MACHINE x64)
  else()
    set(CPACK_SYSTEM_NAME win32)
    set(QOR_WINDOWS_WIDTH 32-bit)
    set(QOR_LIB_MACHINE x86)
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/README.txt.in ${PROJECT_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${PROJECT_BINARY_DIR}/README.txt DESTINATION .)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright DESTINATION ${QOR_DOC_DIR})
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_PACKAGE_NAME qorcommonlib)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Orvane Corp <support@orvane.example>")
  set(CPACK_DEBIAN_PACKAGE_SECTION libs)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "QorCommonLib keeps the settings of a document-scanner product suite in a
registry-style store of its own, held in memory and kept in REGEDIT4-layout
text files (root.ini). Programs reach it through the C++ class CRegExt or a
table of plain C functions.
.
This package holds the shared library, its headers, CMake package and
pkg-config file, the command-line tool qorreg with its manual page and bash
completion, and the documentation.")
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  # The library's folder is in the loader's cache: ldconfig runs once after
  # dpkg's run through the trigger (CPack adds its postinst and postrm
  # calling ldconfig as well); no other maintainer script.
  set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/debian/triggers)
  # The copyright file and a one-entry Debian changelog, compressed as
  # Debian wants it (gzip -9n).
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright DESTINATION ${QOR_DOC_DIR})
  configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/changelog.in ${PROJECT_BINARY_DIR}/changelog.Debian @ONLY)
  if(QOR_GZIP)
    execute_process(COMMAND ${QOR_GZIP} -9nc INPUT_FILE ${PROJECT_BINARY_DIR}/changelog.Debian
      OUTPUT_FILE ${PROJECT_BINARY_DIR}/changelog.Debian.gz COMMAND_ERROR_IS_FATAL ANY)
    install(FILES ${PROJECT_BINARY_DIR}/changelog.Debian.gz DESTINATION ${QOR_DOC_DIR})
  endif()
endif()

include(CPack)
