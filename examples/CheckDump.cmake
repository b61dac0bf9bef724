# Runs dump_store on a store file and compares its output with the expected
# listing: a check of the example file and of the loader on a real file.
# Usage: cmake -DPROGRAM=... -DSTORE=... -DEXPECTED=... [-DLAUNCHER=<emulator>] -P CheckDump.cmake
execute_process(COMMAND ${LAUNCHER} ${PROGRAM} ${STORE} OUTPUT_VARIABLE actual RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "dump_store ${STORE} exited with ${result}")
endif()
file(READ ${EXPECTED} expected)
if(NOT actual STREQUAL expected)
  message(FATAL_ERROR "dump_store output differs from ${EXPECTED}:\n${actual}")
endif()
