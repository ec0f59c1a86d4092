# The plug-in library itself and the programs that drive it.
add_subdirectory(${CMAKE_SOURCE_DIR}/listing ${CMAKE_BINARY_DIR}/listing)
# What qvmtsfrs and qvhost share: the exports driven as the host drives them.
set(QV_DRIVER_SOURCES ${CMAKE_SOURCE_DIR}/driver/plugin_driver.cpp)

if(WIN32)
  include(${CMAKE_SOURCE_DIR}/windows/WindowsTargets.cmake)
else()
  add_library(qvmtsfrs SHARED ${CMAKE_SOURCE_DIR}/src/plugin/library_entry.cpp)
  target_link_libraries(qvmtsfrs PRIVATE $<LINK_LIBRARY:WHOLE_ARCHIVE,qvcore>)
  # Only the plug-in functions leave the library.
  target_link_options(qvmtsfrs PRIVATE -Wl,--version-script=${QV_EXPORTS_MAP} -Wl,--no-undefined)
  set_target_properties(qvmtsfrs PROPERTIES LINK_DEPENDS ${QV_EXPORTS_MAP})
endif()
include(${CMAKE_SOURCE_DIR}/cmake/Tool.cmake)
if(NOT WIN32)
  include(${CMAKE_SOURCE_DIR}/cmake/InstallLibrary.cmake)
endif()
