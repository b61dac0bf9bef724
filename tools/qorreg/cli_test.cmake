# Runs the qorreg program itself and checks the exit statuses a shell sees.
# Usage: cmake -DQORREG=<program> -DWORK=<scratch folder> [-DLAUNCHER=<emulator>] -P cli_test.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(store ${WORK}/store.ini)

function(expect_status expected)
  execute_process(COMMAND ${LAUNCHER} ${QORREG} ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status STREQUAL "${expected}")
    message(FATAL_ERROR "qorreg ${ARGN}: exit status ${status}, expected ${expected}\n${out}${err}")
  endif()
endfunction()

expect_status(0 --version)
expect_status(2 --bogus)
expect_status(2 -f ${WORK}/missing.ini query HKLM)
expect_status(0 -f ${store} add HKCU\\SOFTWARE\\X -v GAMMA -t REG_DWORD -d 3 --create)
expect_status(1 -f ${store} query HKCU\\SOFTWARE\\Y)
expect_status(0 validate ${store})
file(WRITE ${WORK}/cut.ini "REGEDIT4\n[HKEY_CURRENT_USER\\X]\n")
expect_status(1 validate ${WORK}/cut.ini)
# Slips are refused with status 2 and change nothing.
expect_status(2 -f ${WORK}/missing.ini add HKCU\\SOFTWARE\\X)
expect_status(2 -f ${store} delete HKCU)
expect_status(2 -f ${store} add HKCU\\SOFTWARE\\X -V NAME -d x)
expect_status(0 -f ${store} QUERY HKCU\\SOFTWARE\\X)
expect_status(1 compare ${store} ${WORK}/cut.ini -f ${store})
# Export then import into a new store gives the same store.
expect_status(0 -f ${store} export --all ${WORK}/all.reg)
expect_status(0 -f ${WORK}/back.ini import --create ${WORK}/all.reg)
expect_status(0 compare ${store} ${WORK}/back.ini)
if(EXISTS ${WORK}/missing.ini OR EXISTS ${WORK}/missing.ini.lock)
  message(FATAL_ERROR "a refused add made ${WORK}/missing.ini or its lock file")
endif()
