# Runs "PROGRAM captions" (under EMULATOR when given) and compares its output
# with the four captions, byte for byte.
# cmake -DPROGRAM=... [-DEMULATOR=...] -DMAKER_URL=... -P check_captions.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${EMULATOR} ${PROGRAM} captions
                OUTPUT_VARIABLE actual RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "captions exited with ${status}")
endif()

set(menu "Детализации MTS (FORIS OSS), файлы в формате *.html")
set(detal "MTS биллинг FORIS в формате HTML, 2010-2011 г. Кодировка UTF-8;2")
set(ext "Файлы HTML|*.htm;*.html|Все файлы|*.*")
set(about "Расширение к программе quarvel для распознования детализаций МТС (биллинг FORIS) 2010-2011 г. Кодировка UTF-8")
# string(LENGTH) counts bytes.
foreach(pair "menu;75" "detal;89" "ext;50" "about;176")
  list(GET pair 0 name)
  list(GET pair 1 bytes)
  string(LENGTH "${${name}}" length)
  if(NOT length EQUAL bytes)
    message(FATAL_ERROR "this script's ${name} caption has ${length} bytes, not ${bytes}")
  endif()
endforeach()

set(expected "${menu}\n${detal}\n${ext}\n${about}\rURL=${MAKER_URL}\n")
if(NOT actual STREQUAL expected)
  string(HEX "${actual}" actualHex)
  string(HEX "${expected}" expectedHex)
  message(FATAL_ERROR "captions differ\nexpected: ${expectedHex}\nactual:   ${actualHex}")
endif()
