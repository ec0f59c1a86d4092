# expect(LABEL STATUS STDOUT_REGEX STDERR_REGEX ARGUMENTS...): runs PROGRAM
# (under EMULATOR when given) in WORK_DIR and reports any difference; the
# file STDIN_FILE, when set, is its standard input.
function(expect label status stdout_regex stderr_regex)
  set(input)
  if(STDIN_FILE)
    set(input INPUT_FILE ${STDIN_FILE})
  endif()
  execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${ARGN} ${input}
                  WORKING_DIRECTORY ${WORK_DIR}
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE actual)
  if(NOT actual STREQUAL status OR NOT out MATCHES "${stdout_regex}" OR NOT err MATCHES "${stderr_regex}")
    message(SEND_ERROR "${label}: status ${actual} (expected ${status})\nstdout: [${out}]\nstderr: [${err}]")
  endif()
endfunction()
