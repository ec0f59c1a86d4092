# expect(LABEL STATUS STDOUT_REGEX STDERR_REGEX ARGUMENTS...): runs PROGRAM
# (under EMULATOR when given) in WORK_DIR and reports any difference.
function(expect label status stdout_regex stderr_regex)
  execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${ARGN}
                  WORKING_DIRECTORY ${WORK_DIR}
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE actual)
  if(NOT actual STREQUAL status OR NOT out MATCHES "${stdout_regex}" OR NOT err MATCHES "${stderr_regex}")
    message(SEND_ERROR "${label}: status ${actual} (expected ${status})\nstdout: [${out}]\nstderr: [${err}]")
  endif()
endfunction()
