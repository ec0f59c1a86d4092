# Reports read by a real XML parser (Python's expat): the bundled sample's,
# and that of a detail whose cells hold every control character, which the
# report writes as "?" where XML forbids it.
# cmake -DPROGRAM=... -DPYTHON=... -DSAMPLE=... -DWORK_DIR=... -P check_report_xml.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
file(READ ${SAMPLE} sample)
set(controls "")
foreach(code RANGE 1 31)
  string(ASCII ${code} character)
  string(APPEND controls "${character}")
endforeach()
string(REPLACE "<td>Москва</td>" "<td>Мос${controls}ква</td>" detail "${sample}")
file(WRITE ${WORK_DIR}/controls.html "${detail}")
file(COPY_FILE ${SAMPLE} ${WORK_DIR}/sample.html)

foreach(name sample controls)
  execute_process(COMMAND ${PROGRAM} convert ${name}.html ${name}.xml WORKING_DIRECTORY ${WORK_DIR}
                  RESULT_VARIABLE status ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(SEND_ERROR "converting ${name}.html failed: ${err}")
    continue()
  endif()
  execute_process(COMMAND ${PYTHON} -c
                          "import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])"
                          ${name}.xml
                  WORKING_DIRECTORY ${WORK_DIR} RESULT_VARIABLE status ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(SEND_ERROR "${name}.xml is not XML to the parser: ${err}")
  endif()
endforeach()
file(READ ${WORK_DIR}/controls.xml report)
if(NOT report MATCHES "Мос\\?+")
  message(SEND_ERROR "the control characters did not reach the report as \"?\"")
endif()
