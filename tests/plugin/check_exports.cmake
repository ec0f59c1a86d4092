# The shared library's dynamic symbol table holds the plug-in functions and
# nothing else of ours.
# cmake -DNM=... -DLIBRARY=... -P check_exports.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
                OUTPUT_VARIABLE table RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${table}")
set(actual)
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^[0-9a-fA-F]* *[A-Za-z] +" "" symbol "${line}")
  list(APPEND actual "${symbol}")
endforeach()
list(SORT actual)
set(expected PlugInAbout PlugInDetalTypeName PlugInDoFile PlugInExtTypeName
             PlugInLastError PlugInMenuName PlugInNameDetal PlugInQuarvel)
if(NOT actual STREQUAL expected)
  message(FATAL_ERROR "exported symbols differ\nexpected: ${expected}\nactual:   ${actual}")
endif()
