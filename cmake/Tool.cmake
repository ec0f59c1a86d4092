# The qvmtsfrs tool: one file per command in cli/, over the listings
# (listing/) and the exports' driver (driver/). The option parser and the
# threads are the tool's alone, never the library's.
find_package(Threads REQUIRED)
if(CMAKE_CROSSCOMPILING)
  # CLI11 is header-only, from the build machine; the cross toolchain looks
  # only in its own root, and the build machine's other headers must stay out.
  find_path(QV_CLI11_ROOT CLI/CLI.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  file(CREATE_LINK ${QV_CLI11_ROOT}/CLI ${CMAKE_BINARY_DIR}/cli11/CLI SYMBOLIC)
  add_library(CLI11::CLI11 INTERFACE IMPORTED)
  target_include_directories(CLI11::CLI11 INTERFACE ${CMAKE_BINARY_DIR}/cli11)
else()
  find_package(CLI11 CONFIG REQUIRED)
endif()

file(GLOB QV_TOOL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/cli/*.cpp)
list(REMOVE_ITEM QV_TOOL_SOURCES ${CMAKE_SOURCE_DIR}/cli/main.cpp)
add_library(qvtool STATIC ${QV_TOOL_SOURCES} ${QV_DRIVER_SOURCES})
target_include_directories(qvtool PUBLIC ${CMAKE_SOURCE_DIR}/cli ${CMAKE_SOURCE_DIR}/driver)
target_link_libraries(qvtool PUBLIC qvlisting qvcore CLI11::CLI11 Threads::Threads)

# The tool holds the plug-in's functions itself, so that its commands that go
# beyond the exports walk details with the same code.
add_executable(qvmtsfrs_cli ${CMAKE_SOURCE_DIR}/cli/main.cpp)
set_target_properties(qvmtsfrs_cli PROPERTIES OUTPUT_NAME qvmtsfrs)
target_link_libraries(qvmtsfrs_cli PRIVATE qvtool)
if(WIN32)
  target_link_options(qvmtsfrs_cli PRIVATE -static)
endif()
