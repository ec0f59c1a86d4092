# cpack on the Windows build makes one zip holding exactly the DLL,
# qvhost.exe, qvmtsfrs.exe and README.txt.
# cmake -DCPACK=... -DCONFIG=<build>/CPackConfig.cmake -DWORK_DIR=... -P check_windows_zip.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(COMMAND ${CPACK} --config ${CONFIG} -B ${WORK_DIR}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
file(GLOB zips ${WORK_DIR}/*.zip)
list(LENGTH zips count)
if(NOT status EQUAL 0 OR NOT count EQUAL 1)
  message(FATAL_ERROR "cpack exited with ${status} and made ${count} zips\n${out}${err}")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${zips} OUTPUT_VARIABLE listing RESULT_VARIABLE status)
string(REGEX MATCHALL "[^\n]+" entries "${listing}")
list(SORT entries)
set(expected README.txt qvhost.exe qvmtsfrs.dll qvmtsfrs.exe)
if(NOT status EQUAL 0 OR NOT entries STREQUAL expected)
  message(FATAL_ERROR "${zips} holds [${entries}], not [${expected}]")
endif()
