# The qvmtsfrs tool's own command line: help with examples, usage errors
# that start no work, and "convert --out-dir" against one-at-a-time runs.
# cmake -DPROGRAM=... -DSAMPLE=... -DWORK_DIR=... -P check_tool.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/expect_command.cmake)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/details/folder.html ${WORK_DIR}/other ${WORK_DIR}/loop ${WORK_DIR}/single)
file(WRITE ${WORK_DIR}/other/not-a-detail.txt "hello\n")
foreach(copy details/march.html details/april.html details/may.html other/march.html
             loop/june.html loop/june.html.xml)
  file(COPY_FILE ${SAMPLE} ${WORK_DIR}/${copy})
endforeach()

set(batch_example "convert --out-dir reports/ --jobs 4 details/\\*\\.html")
expect("help" 0 "${batch_example}.*Exit status" "^$" --help)
expect("convert help" 0 "convert \"2011-03 detail\\.html\" report\\.xml\n.*${batch_example}.*Exit status"
       "^$" convert --help)
expect("name help" 0 "name \"2011-03 detail\\.html\".*Exit status" "^$" name --help)

set(hint "\nTry 'qvmtsfrs convert --help'\\.\n$")
expect("--jobs not a number" 2 "^$" "--jobs: [^\n]*four[^\n]*${hint}"
       convert --out-dir out --jobs four details/march.html)
expect("--jobs zero" 2 "^$" "--jobs: [^\n]* 0 [^\n]*${hint}" convert --out-dir out --jobs 0 details/march.html)
expect("-o in convert" 2 "^$" "convert takes no -o; [^\n]*-d DIR[^\n]*${hint}"
       convert -o report.xml details/march.html)
expect("--jobs without --out-dir" 2 "^$" "--jobs requires --out-dir${hint}"
       convert --jobs 2 details/march.html out.xml)
expect("unknown option" 2 "^$" "--frobnicate${hint}" convert --frobnicate details/march.html out.xml)
expect("--out-dir without inputs" 2 "^$" "at least one INPUT${hint}" convert --out-dir out)
expect("inputs sharing a file name" 2 "^$" "details/march\\.html and other/march\\.html have the same file name"
       convert --out-dir out details/april.html details/march.html other/march.html)
# Paths ending in a slash name no file, so no two of them share a name.
expect("two paths without a file name" 1 "^$" "nowhere/: Unable to open file[^\n]*\n.*elsewhere/: "
       convert --out-dir out --jobs 1 nowhere/ elsewhere/)
file(REMOVE_RECURSE ${WORK_DIR}/out)
if(EXISTS ${WORK_DIR}/out)
  message(SEND_ERROR "a usage error made the output folder")
endif()
expect("--out-dir is a file" 1 "^$" "details/may\\.html is not a folder"
       convert --out-dir details/may.html details/march.html)

# A missing input fails with the system's cause; a folder stands for its
# details (none here); a non-terminal gets no progress line.
set(months march april may)
foreach(month IN LISTS months)
  expect("convert ${month} alone" 0 "^$" "^$" convert details/${month}.html single/${month}.html.xml)
endforeach()
set(refused "^qvmtsfrs: details/missing\\.html: Unable to open file \"details/missing\\.html\": No such file or directory\n$")
foreach(run "1;--quiet;convert" "2;convert;--quiet")
  list(POP_FRONT run jobs)
  expect("--jobs ${jobs}" 1 "^$" "${refused}" ${run} --out-dir out/${jobs} --jobs ${jobs}
         details/march.html details/missing.html details/april.html details/folder.html details/may.html)
  file(GLOB reports RELATIVE ${WORK_DIR}/out/${jobs} ${WORK_DIR}/out/${jobs}/*)
  list(SORT reports)
  if(NOT reports STREQUAL "april.html.xml;march.html.xml;may.html.xml")
    message(SEND_ERROR "--jobs ${jobs} wrote [${reports}]")
  endif()
  foreach(month IN LISTS months)
    file(SHA256 ${WORK_DIR}/single/${month}.html.xml alone)
    file(SHA256 ${WORK_DIR}/out/${jobs}/${month}.html.xml together)
    if(NOT alone STREQUAL together)
      message(SEND_ERROR "--jobs ${jobs}: the report of ${month} differs from converting it alone")
    endif()
  endforeach()
endforeach()

# june.html's report would be the input june.html.xml: a usage error before
# any work, as an output onto an input is in every command.
expect("report onto another input" 2 "^$" "^qvmtsfrs: loop/june\\.html\\.xml is one of the inputs"
       convert --out-dir loop loop/june.html loop/june.html.xml)
file(SHA256 ${SAMPLE} sample)
file(SHA256 ${WORK_DIR}/loop/june.html.xml kept)
if(NOT kept STREQUAL sample OR EXISTS ${WORK_DIR}/loop/june.html.xml.xml)
  message(SEND_ERROR "an input was overwritten, or work started after a usage error")
endif()

# calls and summary: a failing input is named, the others are still listed.
expect("calls help" 0 "calls --output calls\\.csv details/\n.*Exit status" "^$" calls --help)
expect("summary help" 0 "summary march\\.html\n.*\n +total .*Exit status" "^$" summary --help)
expect("unknown --format" 2 "^$" "--format: xml not in \\{csv,jsonl,json\\}\nTry 'qvmtsfrs calls --help'\\.\n$"
       calls --format xml details/march.html)
expect("summary without inputs" 2 "^$" "INPUT is required\nTry 'qvmtsfrs summary --help'\\.\n$" summary)
expect("calls onto an input" 2 "^$" "same file" calls --output details/may.html details/may.html)
file(SHA256 ${WORK_DIR}/details/may.html kept)
if(NOT kept STREQUAL sample)
  message(SEND_ERROR "calls --output overwrote its input")
endif()
set(missing "^qvmtsfrs: details/missing\\.html: Unable to open file \"details/missing\\.html\": No such file or directory\n$")
expect("calls after a missing input" 1
       "^file,phone,[^\n]*\ndetails/march\\.html,9161234567,2011-03-01 09:05:17,out,4957654321,.*,mms\\.mts\\.ru,[^\n]*,0\\.25\n$"
       "${missing}" calls details/missing.html details/march.html)
expect("summary after a missing input" 1 "\ntotal +2011-03-01 09:05:17 +2011-03-31 23:58:00 +18 +8 +2552 +221\\.20 +12 +4 +2 +4 +2 +2\n$"
       "${missing}" summary details/march.html details/missing.html details/april.html)

# The conventions of other tools: standard input and output as -, -- before
# any INPUT, a folder as its details in name order, the format from the
# output's extension; and what a file that is no detail means.
set(first_row "details/march\\.html,9161234567,2011-03-01 09:05:17,out,4957654321,")
set(STDIN_FILE ${SAMPLE})
expect("standard input" 0 "\n-,9161234567,2011-03-01 09:05:17,out,4957654321," "^$" calls -o - -)
unset(STDIN_FILE)
file(COPY_FILE ${SAMPLE} ${WORK_DIR}/--odd.html)
expect("-- after an input" 0 "\n${first_row}.*\n--odd\\.html,9161234567," "^$"
       calls details/march.html -- --odd.html)
expect("a folder" 0 "\ndetails/april\\.html,.*\n${first_row}.*\ndetails/may\\.html,[^\n]*\n$" "^$"
       calls details)
expect("format from the extension" 0 "^$" "^$" calls -o listing.jsonl details/march.html)
file(READ ${WORK_DIR}/listing.jsonl jsonl LIMIT 10)
if(NOT jsonl MATCHES "^{\"file\":\"d")
  message(SEND_ERROR "-o listing.jsonl wrote [${jsonl}]")
endif()
expect("not a detail" 1 "" "other/not-a-detail\\.txt: List index \\(1\\) out of bounds: not an MTS FORIS call-detail page"
       calls other/not-a-detail.txt)

# Rows reach standard output before the message of a later failing input.
execute_process(COMMAND ${PROGRAM} calls details/march.html details/missing.html
                WORKING_DIRECTORY ${WORK_DIR} OUTPUT_VARIABLE merged ERROR_VARIABLE merged)
if(NOT merged MATCHES ",0\\.25\nqvmtsfrs: details/missing\\.html: [^\n]*\n$")
  message(SEND_ERROR "rows and messages out of order: [${merged}]")
endif()

# Lost standard output is a failure in every command; a reader that goes
# away ends the tool without a word; an interrupt leaves no temporary file.
foreach(command "--help" "captions" "name details/march.html" "calls details/march.html")
  foreach(output "> /dev/full" ">&-")
    execute_process(COMMAND sh -c "\"${PROGRAM}\" ${command} ${output}" WORKING_DIRECTORY ${WORK_DIR}
                    RESULT_VARIABLE status ERROR_VARIABLE err)
    if(NOT status EQUAL 1 OR NOT err MATCHES "^qvmtsfrs: Unable to write to standard output: [A-Z]")
      message(SEND_ERROR "${command} ${output}: status ${status}, [${err}]")
    endif()
  endforeach()
endforeach()
string(REPEAT "details/march.html " 100 many)
execute_process(COMMAND sh -c "\"${PROGRAM}\" calls ${many} | head -c 10"
                WORKING_DIRECTORY ${WORK_DIR} OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT out STREQUAL "file,phone" OR NOT err STREQUAL "")
  message(SEND_ERROR "a closed pipe: [${out}] [${err}]")
endif()
file(MAKE_DIRECTORY ${WORK_DIR}/interrupted)
execute_process(
  COMMAND sh -c "mkfifo detail; \"${PROGRAM}\" calls -o calls.csv detail & exec 3>detail
                 printf '<html>' >&3
                 for i in $(seq 500); do ls -a | grep -q '\\.tmp$' && break; sleep 0.01; done
                 kill -TERM $!; wait $!; echo $?; ls -a"
  WORKING_DIRECTORY ${WORK_DIR}/interrupted OUTPUT_VARIABLE out)
if(NOT out STREQUAL "143\n.\n..\ndetail\n")
  message(SEND_ERROR "SIGTERM: [${out}]")
endif()
