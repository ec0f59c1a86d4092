# The WebAssembly build with the system's emscripten: its CMake platform file
# lives beside the compiler driver that emcc links to.
find_program(QV_EMCC emcc REQUIRED)
get_filename_component(QV_EMCC_REAL "${QV_EMCC}" REALPATH)
get_filename_component(QV_EMSCRIPTEN_ROOT "${QV_EMCC_REAL}" DIRECTORY)
include("${QV_EMSCRIPTEN_ROOT}/cmake/Modules/Platform/Emscripten.cmake")
