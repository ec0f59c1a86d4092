# Installs the build into a fresh prefix and uses it as a client would: the
# files and links, a C program built through pkg-config and one built
# through find_package(qvmtsfrs), each converting the sample, and the
# installed tool running from the prefix.
# cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DWORK_DIR=... -DGENERATOR=... -P check_install.cmake
cmake_minimum_required(VERSION 3.25)
set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${ARGN}\nfailed (${status}):\n${out}${err}")
  endif()
  set(run_output "${out}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

foreach(file IN ITEMS bin/qvmtsfrs include/qvmtsfrs.h lib/libqvmtsfrs.so.1.0.0
                      lib/pkgconfig/qvmtsfrs.pc lib/cmake/qvmtsfrs/qvmtsfrsConfigVersion.cmake)
  if(NOT EXISTS ${prefix}/${file})
    message(SEND_ERROR "not installed: ${file}")
  endif()
endforeach()
foreach(link_target IN ITEMS "libqvmtsfrs.so.1;libqvmtsfrs.so.1.0.0" "libqvmtsfrs.so;libqvmtsfrs.so.1")
  list(GET link_target 0 link)
  list(GET link_target 1 target)
  file(READ_SYMLINK ${prefix}/lib/${link} actual)
  if(NOT actual STREQUAL target)
    message(SEND_ERROR "lib/${link} is not a link to ${target}")
  endif()
endforeach()
# The static core is inside the library; a client never links it.
file(GLOB package_files ${prefix}/lib/cmake/qvmtsfrs/*)
foreach(file IN LISTS package_files)
  file(STRINGS ${file} mentions REGEX "qvcore")
  if(mentions)
    message(SEND_ERROR "${file} names the static core: ${mentions}")
  endif()
endforeach()

# The sample's report was made under Russian settings (a comma in minutes),
# from the path examples/sample.html, which the report names.
set(expected_output "marker 1\nmenu Детализации MTS (FORIS OSS), файлы в формате *.html\n")
function(expect_conversion label program)
  set(report ${WORK_DIR}/${label}.report.xml)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=ru_RU.UTF-8 LD_LIBRARY_PATH=${prefix}/lib
                          ${program} examples/sample.html ${report}
                  WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0 OR NOT out STREQUAL expected_output)
    message(SEND_ERROR "${label}: ${program} exited with ${status}\nstdout: [${out}]\nstderr: [${err}]")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${report}
                          ${SOURCE_DIR}/examples/sample.report.xml RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    message(SEND_ERROR "${label}: ${report} differs from examples/sample.report.xml")
  endif()
endfunction()

find_program(PKG_CONFIG NAMES pkg-config pkgconf REQUIRED)
find_program(C_COMPILER NAMES cc gcc REQUIRED)
set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
run(${PKG_CONFIG} --cflags --libs qvmtsfrs)
separate_arguments(flags UNIX_COMMAND "${run_output}")
run(${C_COMPILER} -std=c99 -Wall -Wextra -Wpedantic -Werror ${SOURCE_DIR}/tests/install/use_library.c
    ${flags} -o ${WORK_DIR}/use_library)
expect_conversion(pkg-config ${WORK_DIR}/use_library)

run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/install -B ${WORK_DIR}/package -G ${GENERATOR}
    -DCMAKE_PREFIX_PATH=${prefix})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/package)
expect_conversion(find_package ${WORK_DIR}/package/use_library)

# The installed tool finds the library beside it, without help.
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH ${prefix}/bin/qvmtsfrs captions
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT out MATCHES "^Детализации MTS")
  message(SEND_ERROR "the installed qvmtsfrs exited with ${status}\nstdout: [${out}]\nstderr: [${err}]")
endif()
