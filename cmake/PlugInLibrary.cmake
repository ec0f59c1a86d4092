# The plug-in library itself and the programs that drive it.
set(QV_CLI_SOURCES ${CMAKE_SOURCE_DIR}/cli/commands.cpp)

if(WIN32)
  include(${CMAKE_SOURCE_DIR}/windows/WindowsTargets.cmake)
else()
  add_library(qvmtsfrs SHARED ${CMAKE_SOURCE_DIR}/src/plugin/library_entry.cpp)
  target_link_libraries(qvmtsfrs PRIVATE $<LINK_LIBRARY:WHOLE_ARCHIVE,qvcore>)
  # Only the plug-in functions leave the library.
  target_link_options(qvmtsfrs PRIVATE -Wl,--version-script=${QV_EXPORTS_MAP} -Wl,--no-undefined)
  set_target_properties(qvmtsfrs PROPERTIES LINK_DEPENDS ${QV_EXPORTS_MAP})

  add_executable(qvmtsfrs_cli ${CMAKE_SOURCE_DIR}/cli/main.cpp ${QV_CLI_SOURCES})
  set_target_properties(qvmtsfrs_cli PROPERTIES OUTPUT_NAME qvmtsfrs)
  target_include_directories(qvmtsfrs_cli PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_BINARY_DIR}/generated)
  target_link_libraries(qvmtsfrs_cli PRIVATE qvmtsfrs)
  include(${CMAKE_SOURCE_DIR}/cmake/InstallLibrary.cmake)
endif()
