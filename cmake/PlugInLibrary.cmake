# The plug-in library itself and the programs that drive it.
# The code that drives the exports, shared by qvmtsfrs and qvhost; qvhost
# reads its small command line by hand (commands.cpp).
set(QV_HOST_DRIVER_SOURCES ${CMAKE_SOURCE_DIR}/cli/host_commands.cpp
                           ${CMAKE_SOURCE_DIR}/cli/file_identity.cpp)
set(QV_CLI_SOURCES ${CMAKE_SOURCE_DIR}/cli/commands.cpp ${QV_HOST_DRIVER_SOURCES})
# The tool's "calls" and "summary", which walk details with the core itself;
# the tests build them too.
set(QV_LISTING_SOURCES)
foreach(name listing_commands input_walk output_buffer)
  list(APPEND QV_LISTING_SOURCES ${CMAKE_SOURCE_DIR}/cli/${name}.cpp)
endforeach()
add_subdirectory(${CMAKE_SOURCE_DIR}/listing ${CMAKE_BINARY_DIR}/listing)

if(WIN32)
  include(${CMAKE_SOURCE_DIR}/windows/WindowsTargets.cmake)
else()
  add_library(qvmtsfrs SHARED ${CMAKE_SOURCE_DIR}/src/plugin/library_entry.cpp)
  target_link_libraries(qvmtsfrs PRIVATE $<LINK_LIBRARY:WHOLE_ARCHIVE,qvcore>)
  # Only the plug-in functions leave the library.
  target_link_options(qvmtsfrs PRIVATE -Wl,--version-script=${QV_EXPORTS_MAP} -Wl,--no-undefined)
  set_target_properties(qvmtsfrs PROPERTIES LINK_DEPENDS ${QV_EXPORTS_MAP})

  # The option parser and the threads are the tool's alone, never the library's.
  find_package(CLI11 CONFIG REQUIRED)
  find_package(Threads REQUIRED)
  add_executable(qvmtsfrs_cli ${QV_HOST_DRIVER_SOURCES}
    ${CMAKE_SOURCE_DIR}/cli/main.cpp ${CMAKE_SOURCE_DIR}/cli/tool_commands.cpp
    ${CMAKE_SOURCE_DIR}/cli/help_format.cpp
    ${CMAKE_SOURCE_DIR}/cli/batch_plan.cpp ${CMAKE_SOURCE_DIR}/cli/batch_convert.cpp
    ${CMAKE_SOURCE_DIR}/cli/progress.cpp ${CMAKE_SOURCE_DIR}/cli/progress_text.cpp
    ${CMAKE_SOURCE_DIR}/cli/listing_options.cpp ${QV_LISTING_SOURCES})
  set_target_properties(qvmtsfrs_cli PROPERTIES OUTPUT_NAME qvmtsfrs)
  target_include_directories(qvmtsfrs_cli PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_BINARY_DIR}/generated)
  # The tool holds the plug-in's functions itself, so that its commands that
  # go beyond the exports walk details with the same code.
  target_link_libraries(qvmtsfrs_cli PRIVATE qvlisting qvcore CLI11::CLI11 Threads::Threads)
  include(${CMAKE_SOURCE_DIR}/cmake/InstallLibrary.cmake)
endif()
