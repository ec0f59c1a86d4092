# The command-line behaviour shared by qvmtsfrs and qvhost: exit statuses,
# messages, and the refusal to convert a file onto itself.
# cmake -DPROGRAM=... [-DEMULATOR=...] -DNAME=... -DWORK_DIR=... -P check_cli.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/sub)
file(WRITE ${WORK_DIR}/detail.html "<html>a detail that must survive</html>\n")

include(${CMAKE_CURRENT_LIST_DIR}/expect_command.cmake)

expect("no command" 2 "^$" "missing command")
expect("unknown command" 2 "^$" "unknown command" frobnicate)
expect("help" 0 "captions.*name FILE.*convert INPUT OUTPUT" "^$" --help)
expect("version" 0 "^${NAME} [0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+\n$" "^$" --version)
# qvhost states the rule; qvmtsfrs's option parser names the argument.
expect("captions with an argument" 2 "^$" "captions takes no arguments|not expected: extra\n"
       captions extra)
expect("name without files" 2 "^$" "at least one FILE" name)
expect("convert with one path" 2 "^$" "INPUT and OUTPUT" convert detail.html)
expect("name of a missing file" 1 "^\n$" "missing\\.html: ." name missing.html)
expect("name of two missing files" 1 "^\n\n$" "one\\.html.*two\\.html" name one.html two.html)
expect("convert a missing file" 1 "^$" "${NAME}: ." convert missing.html report.xml)
expect("convert onto itself" 2 "^$" "same file" convert detail.html detail.html)
expect("convert onto itself by another name" 2 "^$" "same file" convert detail.html sub/../detail.html)

file(READ ${WORK_DIR}/detail.html kept)
if(NOT kept STREQUAL "<html>a detail that must survive</html>\n")
  message(SEND_ERROR "the detail file was changed")
endif()
if(EXISTS ${WORK_DIR}/report.xml)
  message(SEND_ERROR "a failed conversion left report.xml")
endif()
