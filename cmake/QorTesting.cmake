# GoogleTest: Debian's package, or built from its shipped sources (for the
# cross builds, where no prebuilt library fits the toolchain).
if(QOR_GTEST_FROM_SOURCE OR CMAKE_CROSSCOMPILING)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  if(NOT TARGET GTest::gtest_main)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
    add_library(GTest::gmock ALIAS gmock)
  endif()
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# One test program per room, from its *_test.cpp files, registered with
# ctest. It links the room and the rooms it uses, and sees them and the
# shared test helpers (testsupport/) only.
function(qor_room_tests room)
  file(GLOB _tests CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${room}/*_test.cpp
       ${PROJECT_SOURCE_DIR}/${room}/*/*_test.cpp)
  if(NOT _tests)
    return()
  endif()
  get_property(_uses GLOBAL PROPERTY QOR_USES_${room})
  get_property(_links GLOBAL PROPERTY QOR_LINKS_${room})
  set(_rooms qor_${room})
  foreach(below ${_uses} ${_links})
    if(TARGET qor_${below})
      list(APPEND _rooms qor_${below})
    endif()
  endforeach()
  add_executable(${room}_tests ${_tests})
  qor_room_view(${room}_tests ${room}_tests ${room} ${_uses} testsupport)
  target_link_libraries(${room}_tests PRIVATE ${_rooms} GTest::gtest_main GTest::gmock)
  if(NOT WIN32)
    target_link_libraries(${room}_tests PRIVATE Threads::Threads)
  endif()
  qor_warnings(${room}_tests)
  if(CMAKE_CROSSCOMPILING AND WIN32)
    # Under Wine each start of a program is slow: one ctest test per
    # program, running all of its cases. qemu-i386 starts a program quickly,
    # so the 32-bit Linux build lists every case, as the native build does.
    add_test(NAME ${room}_tests COMMAND ${room}_tests)
    set_tests_properties(${room}_tests PROPERTIES
      ENVIRONMENT "QOR_TEST_DATA=${PROJECT_SOURCE_DIR}/examples")
  else()
    # QOR_TEST_LAUNCHER: the emulator a test puts before any program it
    # starts itself (unset on a native build).
    set(_launcher)
    if(CMAKE_CROSSCOMPILING_EMULATOR)
      set(_launcher ENVIRONMENT_MODIFICATION "QOR_TEST_LAUNCHER=set:${CMAKE_CROSSCOMPILING_EMULATOR}")
    endif()
    gtest_discover_tests(${room}_tests DISCOVERY_MODE PRE_TEST
      PROPERTIES ENVIRONMENT "QOR_TEST_DATA=${PROJECT_SOURCE_DIR}/examples" ${_launcher})
  endif()
endfunction()
