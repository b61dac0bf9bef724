# Runs one of the facade examples twice against a product tree made for it
# and checks what it prints and the root.ini it saves, so that the examples
# keep working as the library changes. All three examples do the same work,
# so they share one set of expected files (examples/product/).
#
#   cmake -DPROGRAM=<example> -DWORK=<scratch folder> -DDATA=<examples/product> \
#         [-DLAUNCHER=<emulator>] -P RunProductExample.cmake
#
# The tree, left in WORK for a look afterwards:
#
#   WORK/machine.ini     the lookup key, ROOT1 = "\Orvane Corp\DocScan"
#   WORK/appdata/        the common application-data folder of the run
#                        (QOR_COMMON_APPDATA)
#     Orvane Corp/DocScan/DocScan Pro 5/DocScan Pro 5.ini   empty; marks a product folder
#     Orvane Corp/DocScan/DocScan Pro 5/root.ini            from root.ini.in, whose
#                        "System Directory" is the example's own folder
#
# The first run finds defaults and stores them; the second finds what the
# first one saved.
cmake_minimum_required(VERSION 3.20)

foreach(arg PROGRAM WORK DATA)
  if(NOT DEFINED ${arg})
    message(FATAL_ERROR "RunProductExample.cmake needs -D${arg}=...")
  endif()
endforeach()

set(appdata "${WORK}/appdata")
set(product "${appdata}/Orvane Corp/DocScan/DocScan Pro 5")
get_filename_component(SYSTEM_DIRECTORY "${PROGRAM}" DIRECTORY)
string(APPEND SYSTEM_DIRECTORY "/")

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${product}")
file(COPY "${DATA}/machine.ini" DESTINATION "${WORK}")
file(WRITE "${product}/DocScan Pro 5.ini" "")
configure_file("${DATA}/root.ini.in" "${product}/root.ini" @ONLY NEWLINE_STYLE CRLF)
set(ENV{QOR_COMMON_APPDATA} "${appdata}")

# Fails the test when actual differs from the expected file; actual is left
# in WORK beside the tree, named after the expected file.
function(expect_same actual expectedFile what)
  file(READ "${expectedFile}" expected)
  if(NOT actual STREQUAL expected)
    get_filename_component(name "${expectedFile}" NAME)
    file(WRITE "${WORK}/actual-${name}" "${actual}")
    message(FATAL_ERROR "${what} differs from ${expectedFile}; it is in ${WORK}/actual-${name}:\n${actual}")
  endif()
endfunction()

# The product folder is printed as the library builds it: the app-data
# folder, then the ROOT1 text and the product name with either separator.
function(run_and_check expectedFile)
  execute_process(COMMAND ${LAUNCHER} "${PROGRAM}" "${WORK}/machine.ini"
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} exited with ${status}\n${out}${err}")
  endif()
  string(REGEX MATCH "product folder: [^\n]*" folderLine "${out}")
  string(REPLACE "\\" "/" shownLine "${folderLine}")
  string(REPLACE "${appdata}" "<appdata>" shownLine "${shownLine}")
  string(REPLACE "${folderLine}" "${shownLine}" out "${out}")
  expect_same("${out}" "${expectedFile}" "the output of ${PROGRAM}")
endfunction()

# file(READ) drops the CR of each CR LF, so the line ends are checked apart.
function(expect_crlf_lines file)
  file(READ "${file}" hex HEX)
  string(REGEX REPLACE "(..)" "\\1 " bytes "${hex}")
  string(REGEX MATCHALL "0a " lineFeeds "${bytes}")
  string(REGEX MATCHALL "0d 0a " lineEnds "${bytes}")
  list(LENGTH lineFeeds feeds)
  list(LENGTH lineEnds ends)
  if(feeds EQUAL 0 OR NOT feeds EQUAL ends)
    message(FATAL_ERROR "${file}: ${ends} of ${feeds} lines end in CR LF")
  endif()
endfunction()

run_and_check("${DATA}/first-run.txt")
expect_crlf_lines("${product}/root.ini")
file(READ "${product}/root.ini" saved)
string(REPLACE "${SYSTEM_DIRECTORY}" "@SYSTEM_DIRECTORY@" saved "${saved}")
expect_same("${saved}" "${DATA}/saved-root.ini" "the saved root.ini")
run_and_check("${DATA}/second-run.txt")
