# Emscripten, for the browser.
if(NOT EMSCRIPTEN)
    message(FATAL_ERROR "The web layer builds only with Emscripten")
endif()
# Every object of the build, GoogleTest's too, catches C++ exceptions,
# through JavaScript: the test programs pause for the browser's input,
# which WebAssembly's own exceptions do not allow yet.
string(APPEND CMAKE_CXX_FLAGS " -fexceptions")
string(APPEND CMAKE_EXE_LINKER_FLAGS " -fexceptions")
# An optimized build is optimized whole at the link, across the sources:
# a call to a function that can throw nothing is then made straight, not
# through that JavaScript, and more unused code leaves the page.
add_compile_options($<$<NOT:$<CONFIG:Debug>>:-flto>)
add_link_options($<$<NOT:$<CONFIG:Debug>>:-flto>)
# A page is as small as the compiler can make it.
set(CMAKE_CXX_FLAGS_MINSIZEREL "-Oz -DNDEBUG")
