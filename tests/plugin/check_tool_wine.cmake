# qvmtsfrs.exe under Wine: the listings and a folder of reports, from a
# folder with a Cyrillic name, and a detail on standard input.
# cmake -DEMULATOR=... -DPROGRAM=... -DSAMPLE=... -DWORK_DIR=... -P check_tool_wine.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/expect_command.cmake)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/детали)
file(COPY_FILE ${SAMPLE} ${WORK_DIR}/детали/март.html)
expect("calls" 0 "^file,phone,[^\n]*\nдетали[/\\\\]март\\.html,9161234567,2011-03-01 09:05:17,out,4957654321,Москва,"
       "^$" calls детали)
expect("summary" 0 "\ntotal +2011-03-01 09:05:17 +2011-03-31 23:58:00 +9 +4 +1276 +110\\.60 " "^$"
       summary детали/март.html)
expect("convert --out-dir" 0 "^$" "^$" convert --out-dir отчёты детали)
file(READ ${WORK_DIR}/отчёты/март.html.xml report LIMIT 200)
if(NOT report MATCHES "<report>")
  message(SEND_ERROR "convert --out-dir wrote no report: [${report}]")
endif()
set(STDIN_FILE ${SAMPLE})
expect("name -" 0 " stdin\n$" "^$" name -)
expect("convert -" 0 "^$" "^$" convert - из-потока.xml)
file(READ ${WORK_DIR}/из-потока.xml piped)
file(READ ${WORK_DIR}/отчёты/март.html.xml folder)
string(REGEX REPLACE "<filename>[^<]*</filename>" "" piped "${piped}")
string(REGEX REPLACE "<filename>[^<]*</filename>" "" folder "${folder}")
if(NOT piped STREQUAL folder)
  message(SEND_ERROR "convert - wrote another report than the file's")
endif()
