# The toolchain of the web build: Debian's Emscripten. Its compiler runs
# Debian's node tools, which a node of another origin finds only through
# NODE_PATH, and its own Python, which may not be the first on the PATH:
# CMake's own runs of it while it configures are given both, and so is
# every compile and link.
set(emscripten_environment NODE_PATH=/usr/share/nodejs EMSDK_PYTHON=/usr/bin/python3)
foreach(variable ${emscripten_environment})
    string(REGEX MATCH "^([^=]*)=(.*)$" _ ${variable})
    set(ENV{${CMAKE_MATCH_1}} ${CMAKE_MATCH_2})
endforeach()
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
set(CMAKE_CXX_COMPILER_LAUNCHER ${CMAKE_COMMAND} -E env ${emscripten_environment})
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env ${emscripten_environment})
