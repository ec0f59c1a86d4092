# What "cmake --install" puts under the prefix on Linux: the tool, the
# shared library with its soname links, the C header, a pkg-config file and
# a CMake package that gives the imported target qvmtsfrs::qvmtsfrs.

# A plain --prefix P gives P/lib, not the multiarch or lib64 folder
# GNUInstallDirs would pick for some prefixes; -DCMAKE_INSTALL_LIBDIR=...
# still chooses another.
if(NOT DEFINED CMAKE_INSTALL_LIBDIR)
  set(CMAKE_INSTALL_LIBDIR lib CACHE PATH "Object code libraries (lib)")
endif()
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set_target_properties(qvmtsfrs PROPERTIES
  VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}
  SOVERSION ${PROJECT_VERSION_MAJOR})
target_include_directories(qvmtsfrs INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
# The installed tool finds the library beside it, wherever the prefix is.
set_target_properties(qvmtsfrs_cli PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")

install(TARGETS qvmtsfrs EXPORT qvmtsfrsTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS qvmtsfrs_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/src/plugin/qvmtsfrs.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

# The .pc file finds the prefix from its own folder, so it holds for any
# --prefix given at install time.
set(QV_PC_FOLDER ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH QV_PC_TO_PREFIX /prefix/${QV_PC_FOLDER} /prefix)
string(REGEX REPLACE "/$" "" QV_PC_TO_PREFIX "${QV_PC_TO_PREFIX}")
foreach(kind LIBDIR INCLUDEDIR)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_${kind}}")
    set(QV_PC_${kind} "${CMAKE_INSTALL_${kind}}")
  else()
    set(QV_PC_${kind} "\${prefix}/${CMAKE_INSTALL_${kind}}")
  endif()
endforeach()
configure_file(${CMAKE_SOURCE_DIR}/cmake/qvmtsfrs.pc.in ${CMAKE_BINARY_DIR}/generated/qvmtsfrs.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/generated/qvmtsfrs.pc DESTINATION ${QV_PC_FOLDER})

set(QV_PACKAGE_FOLDER ${CMAKE_INSTALL_LIBDIR}/cmake/qvmtsfrs)
install(EXPORT qvmtsfrsTargets NAMESPACE qvmtsfrs:: DESTINATION ${QV_PACKAGE_FOLDER})
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/qvmtsfrsConfig.cmake.in
                              ${CMAKE_BINARY_DIR}/generated/qvmtsfrsConfig.cmake
                              INSTALL_DESTINATION ${QV_PACKAGE_FOLDER})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/generated/qvmtsfrsConfigVersion.cmake
                                 VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/generated/qvmtsfrsConfig.cmake
              ${CMAKE_BINARY_DIR}/generated/qvmtsfrsConfigVersion.cmake
        DESTINATION ${QV_PACKAGE_FOLDER})
