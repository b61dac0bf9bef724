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
expect_status(0 -f ${store} add HKCU\\SOFTWARE\\X -v GAMMA -t REG_DWORD -d 3)
expect_status(1 -f ${store} query HKCU\\SOFTWARE\\Y)
expect_status(0 validate ${store})
file(WRITE ${WORK}/cut.ini "REGEDIT4\n[HKEY_CURRENT_USER\\X]\n")
expect_status(1 validate ${WORK}/cut.ini)
