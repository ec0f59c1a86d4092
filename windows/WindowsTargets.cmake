# qvmtsfrs.dll as the host loads it, and qvhost.exe, which stands in for the host.
enable_language(RC)

set(QV_MANIFEST ${CMAKE_SOURCE_DIR}/windows/qvmtsfrs.manifest)
configure_file(${CMAKE_SOURCE_DIR}/windows/version.rc.in ${CMAKE_BINARY_DIR}/generated/version.rc @ONLY)

# The .def file alone decides the export table: names, ordinals, module name.
add_library(qvmtsfrs SHARED
  ${CMAKE_SOURCE_DIR}/src/plugin/library_entry.cpp
  ${QV_EXPORTS_DEF}
  ${CMAKE_BINARY_DIR}/generated/version.rc)
target_link_libraries(qvmtsfrs PRIVATE $<LINK_LIBRARY:WHOLE_ARCHIVE,qvcore>)
# The C++ runtime goes inside, so the library imports system DLLs only.
target_link_options(qvmtsfrs PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(qvmtsfrs PROPERTIES
  PREFIX ""
  OUTPUT_NAME qvmtsfrs
  LINK_DEPENDS "${QV_EXPORTS_DEF};${QV_MANIFEST}")
set_source_files_properties(${CMAKE_BINARY_DIR}/generated/version.rc PROPERTIES
  OBJECT_DEPENDS ${QV_MANIFEST})

add_executable(qvhost ${CMAKE_SOURCE_DIR}/windows/qvhost.cpp ${QV_DRIVER_SOURCES})
target_include_directories(qvhost PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/driver
                                          ${CMAKE_BINARY_DIR}/generated)
target_compile_definitions(qvhost PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX)
# Not large-address-aware, as the real host is not: the DLL runs in the same
# 2 GB address space as there (tests/plugin/check_host.cmake).
target_link_options(qvhost PRIVATE -static)
add_dependencies(qvhost qvmtsfrs)
include(${CMAKE_SOURCE_DIR}/windows/WindowsPackage.cmake)
