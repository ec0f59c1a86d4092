# qvhost.exe must not be large-address-aware: the real host is not, so the
# DLL is tested in the same 2 GB address space it meets there.
# cmake -DOBJDUMP=... -DHOST=... -P check_host.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${OBJDUMP} -p ${HOST} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT dump MATCHES "\nCharacteristics (0x[0-9a-fA-F]+)")
  message(FATAL_ERROR "${OBJDUMP} -p ${HOST} gave no file characteristics")
endif()
# IMAGE_FILE_LARGE_ADDRESS_AWARE
math(EXPR large_address_aware "${CMAKE_MATCH_1} & 0x20")
if(NOT large_address_aware EQUAL 0)
  message(FATAL_ERROR "${HOST} is large-address-aware (characteristics ${CMAKE_MATCH_1})")
endif()
