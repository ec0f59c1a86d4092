# The qvmtsfrs tool's own command line: help with examples, usage errors
# that start no work, and "convert --out-dir" against one-at-a-time runs.
# cmake -DPROGRAM=... -DSAMPLE=... -DWORK_DIR=... -P check_tool.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/expect_command.cmake)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/details/folder.html ${WORK_DIR}/other ${WORK_DIR}/loop ${WORK_DIR}/single)
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
expect("--jobs not a number" 2 "^$" "--jobs: .*'four'${hint}"
       convert --out-dir out --jobs four details/march.html)
expect("--jobs zero" 2 "^$" "--jobs: .*'0'${hint}" convert --out-dir out --jobs 0 details/march.html)
expect("--jobs without --out-dir" 2 "^$" "--jobs requires --out-dir${hint}"
       convert --jobs 2 details/march.html out.xml)
expect("unknown option" 2 "^$" "--frobnicate${hint}" convert --frobnicate details/march.html out.xml)
expect("--out-dir without inputs" 2 "^$" "at least one INPUT${hint}" convert --out-dir out)
expect("inputs sharing a file name" 2 "^$" "details/march\\.html and other/march\\.html have the same file name"
       convert --out-dir out details/april.html details/march.html other/march.html)
if(EXISTS ${WORK_DIR}/out)
  message(SEND_ERROR "a usage error made the output folder")
endif()
expect("--out-dir is a file" 1 "^$" "details/may\\.html is not a folder"
       convert --out-dir details/may.html details/march.html)

# The missing and the folder input are refused before any conversion, in
# input order; a non-terminal gets no progress line.
set(months march april may)
foreach(month IN LISTS months)
  expect("convert ${month} alone" 0 "^$" "^$" convert details/${month}.html single/${month}.html.xml)
endforeach()
set(refused "^qvmtsfrs: details/missing\\.html: no such file\nqvmtsfrs: details/folder\\.html: is a folder, not a detail file\n$")
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

# june.html's report would be the input june.html.xml; that one is refused,
# the other converted.
expect("report onto another input" 1 "^$" "^qvmtsfrs: loop/june\\.html: .*same file[^\n]*\n$"
       convert --out-dir loop loop/june.html loop/june.html.xml)
file(SHA256 ${SAMPLE} sample)
file(SHA256 ${WORK_DIR}/loop/june.html.xml kept)
if(NOT kept STREQUAL sample OR NOT EXISTS ${WORK_DIR}/loop/june.html.xml.xml)
  message(SEND_ERROR "an input was overwritten, or the other input was not converted")
endif()

# calls and summary: a failing input is named, the others are still listed.
# (execute_process gives CR LF line ends as LF.)
expect("calls help" 0 "calls --format csv --output calls\\.csv details/\\*\\.html\n.*Exit status" "^$"
       calls --help)
expect("summary help" 0 "summary march\\.html\n.*\n +total .*Exit status" "^$" summary --help)
expect("unknown --format" 2 "^$" "--format: xml not in \\{csv,jsonl,json\\}\nTry 'qvmtsfrs calls --help'\\.\n$"
       calls --format xml details/march.html)
expect("summary without inputs" 2 "^$" "INPUT is required\nTry 'qvmtsfrs summary --help'\\.\n$" summary)
expect("calls onto an input" 2 "^$" "same file" calls --output details/may.html details/may.html)
file(SHA256 ${WORK_DIR}/details/may.html kept)
if(NOT kept STREQUAL sample)
  message(SEND_ERROR "calls --output overwrote its input")
endif()
set(missing "^qvmtsfrs: details/missing\\.html: Unable to open file \"details/missing\\.html\"\n$")
expect("calls after a missing input" 1
       "^file,phone,[^\n]*\ndetails/march\\.html,9161234567,2011-03-01 09:05:17,out,4957654321,.*,mms\\.mts\\.ru,[^\n]*,0\\.25\n$"
       "${missing}" calls details/missing.html details/march.html)
expect("summary after a missing input" 1 "\ntotal +2011-03-01 09:05:17 +2011-03-31 23:58:00 +18 +8 +2552 +221\\.20 +12 +4 +2 +4 +2 +2\n$"
       "${missing}" summary details/march.html details/missing.html details/april.html)
