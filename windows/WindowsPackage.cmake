# "cpack" (or "cpack --preset mingw32") makes qvmtsfrs-VERSION-win32.zip:
# the DLL, qvhost.exe, the qvmtsfrs.exe tool and README.txt, side by side at
# the top of the zip.
# README.txt gets Windows line ends.
configure_file(${CMAKE_SOURCE_DIR}/windows/README.txt.in ${CMAKE_BINARY_DIR}/generated/README.txt
               @ONLY NEWLINE_STYLE CRLF)
install(TARGETS qvmtsfrs qvhost qvmtsfrs_cli RUNTIME DESTINATION .)
install(FILES ${CMAKE_BINARY_DIR}/generated/README.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME qvmtsfrs)
set(CPACK_PACKAGE_VENDOR "${QV_MAKER_NAME}")
set(CPACK_PACKAGE_FILE_NAME qvmtsfrs-${PROJECT_VERSION}-win32)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES ON)
include(CPack)
