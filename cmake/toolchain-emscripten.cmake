# The WebAssembly build with the system's emscripten: its CMake platform file
# lives beside the compiler driver that emcc links to.
find_program(QV_EMCC emcc REQUIRED)
get_filename_component(QV_EMCC_REAL "${QV_EMCC}" REALPATH)
get_filename_component(QV_EMSCRIPTEN_ROOT "${QV_EMCC_REAL}" DIRECTORY)
include("${QV_EMSCRIPTEN_ROOT}/cmake/Modules/Platform/Emscripten.cmake")

# emcc's optimising link runs node scripts that need acorn, which Debian
# keeps among its node modules: found there whether or not the build runs
# under the preset's environment.
if(IS_DIRECTORY /usr/share/nodejs/acorn)
  set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
endif()
