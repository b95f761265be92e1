# The toolchain of the web build: Debian's Emscripten. Its compiler runs
# Debian's node tools, which a node of another origin finds only through
# NODE_PATH, and its own Python, which may not be the first on the PATH:
# every compile and link is given both.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
set(emscripten_environment ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs
    EMSDK_PYTHON=/usr/bin/python3)
set(CMAKE_CXX_COMPILER_LAUNCHER ${emscripten_environment})
set(CMAKE_CXX_LINKER_LAUNCHER ${emscripten_environment})
